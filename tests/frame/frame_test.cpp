// The library frame: loading, the string table and the module-state rule of string lookups.
#include <gtest/gtest.h>

#include "vantrel/vantrel.h"
#include "vantrel_platform/afx.h"

namespace {

struct StringCase {
    unsigned id;
    const wchar_t* text;
};

const StringCase kStringTable[] = {
    {28673,
     L"KF Diffusion,Error Diffusion,QC Diffusion,Random Diffusion,FS Diffusion,LX Diffusion,"
     L"Angled Screen,Vexaline,"},
    {28772, L"A number between %1 and %2 is required. Closest value inserted"},
    {28786, L"Calculating gamut..."},
    {28787, L"Building ICC perceptual table..."},
    {28788, L"Building ICC relative colorimetric table..."},
    {28789, L"Building ICC saturation table..."},
    {28790, L"Building ICC gamut table..."},
    {28791, L"Smoothing look-up tables..."},
    {28792, L"Building ICC forward look-up table..."},
    {28793, L"Building look-up tables..."},
    {28794, L"Building ICC Hifi-ink perceptual table..."},
    {28795, L"Building ICC Hifi-ink relative colorimetric table..."},
    {28796, L"Building ICC Hifi-ink saturation table..."},
    {28797, L"Building ICC preview0Tag..."},
    {28798, L"Building ICC preview1Tag..."},
    {28799, L"Building ICC preview2Tag..."},
};

TEST(StringTable, EveryIdResolvesToItsExactText) {
    for (const StringCase& c : kStringTable) {
        CString s;
        EXPECT_TRUE(s.LoadString(c.id)) << c.id;
        EXPECT_EQ(s, c.text) << c.id;
    }
}

TEST(StringTable, UnknownIdLoadsNothing) {
    CString s(L"previous");
    EXPECT_FALSE(s.LoadString(28674));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringTable, HostStringWinsOverTheLibrarys) {
    AFX_MODULE_STATE* host = AfxGetAppModuleState();
    host->SetString(VANTREL_IDS_DITHER_NAMES, L"A;B;");
    CString s;
    s.LoadString(VANTREL_IDS_DITHER_NAMES);
    host->RemoveString(VANTREL_IDS_DITHER_NAMES);
    EXPECT_EQ(s, L"A;B;");
    s.LoadString(VANTREL_IDS_DITHER_NAMES);
    EXPECT_EQ(s.GetAt(s.GetLength() - 1), L',');
}

TEST(StringTable, LookupFollowsTheCallersModuleState) {
    AFX_MODULE_STATE other(L"plug-in");
    other.SetString(28786, L"Gamut wird berechnet...");
    CString s;
    {
        AFX_MAINTAIN_STATE2 switched(&other);
        EXPECT_EQ(AfxGetModuleState(), &other);
        s.LoadString(28786);
    }
    EXPECT_EQ(s, L"Gamut wird berechnet...");
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    s.LoadString(28786);
    EXPECT_EQ(s, L"Calculating gamut...");
}

// A host application object that counts the framework's calls.
class CountingApp : public CWinApp {
  public:
    BOOL InitInstance() override {
        ++inits;
        return FALSE;
    }
    int ExitInstance() override { return ++exits; }
    int inits = 0, exits = 0;
};

TEST(LibraryLoad, AttachRunsInitInstanceAndDetachRunsExitInstance) {
    AFX_MODULE_STATE state(L"module");
    CountingApp app;
    EXPECT_EQ(AfxLibraryAttach(&state, &app), FALSE);  // the framework passes the result on
    EXPECT_EQ(app.inits, 1);
    EXPECT_EQ(state.m_pCurrentWinApp, &app);
    EXPECT_EQ(AfxLibraryDetach(&state, &app), 1);
    EXPECT_EQ(state.m_pCurrentWinApp, nullptr);
}

}  // namespace
