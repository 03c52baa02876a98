// The library frame: loading, the string table and the module-state rule of string lookups.
#include <gtest/gtest.h>

#include "frame/string_ids.h"
#include "vantrel/vantrel.h"
#include "vantrel_platform/afx.h"

namespace {

TEST(StringTable, UnknownIdLoadsNothing) {
    CString s(L"previous");
    EXPECT_FALSE(s.LoadString(VANTREL_IDS_DITHER_NAMES + 1));  // an id the table lacks
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringTable, HostStringWinsOverTheLibrarys) {
    AFX_MODULE_STATE* host = AfxGetAppModuleState();
    host->SetString(VANTREL_IDS_DITHER_NAMES, L"A;B;");
    CString s;
    s.LoadString(VANTREL_IDS_DITHER_NAMES);
    host->RemoveString(VANTREL_IDS_DITHER_NAMES);
    EXPECT_EQ(s, L"A;B;");
    // The library's list again, names 2 and 4 included, which no dither lookup reaches.
    s.LoadString(VANTREL_IDS_DITHER_NAMES);
    EXPECT_EQ(s,
              L"KF Diffusion,Error Diffusion,QC Diffusion,Random Diffusion,FS Diffusion,"
              L"LX Diffusion,Angled Screen,Vexaline,");
}

TEST(StringTable, LookupFollowsTheCallersModuleState) {
    AFX_MODULE_STATE other(L"plug-in");
    other.SetString(vantrel::kIdsCalculatingGamut, L"Gamut wird berechnet...");
    CString s;
    {
        AFX_MAINTAIN_STATE2 switched(&other);
        EXPECT_EQ(AfxGetModuleState(), &other);
        s.LoadString(vantrel::kIdsCalculatingGamut);
    }
    EXPECT_EQ(s, L"Gamut wird berechnet...");
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    s.LoadString(vantrel::kIdsCalculatingGamut);
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
