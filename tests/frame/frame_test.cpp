// The library's application object and string table (internal), reached through the static
// archive. The lookups through other module states are driven by the text and dialog tests.
#include <gtest/gtest.h>

#include "frame/app.h"
#include "frame/string_ids.h"

namespace {

TEST(VantrelApp, AttachedAtLoadAndInitInstanceAlwaysSucceeds) {
    EXPECT_EQ(vantrel::LibraryModuleState()->m_pCurrentWinApp, &vantrel::TheApp());
    EXPECT_EQ(vantrel::TheApp().InitInstance(), TRUE);
    EXPECT_EQ(vantrel::TheApp().m_pszAppName, nullptr);
}

TEST(VantrelApp, MessageMapIsEmptyAndChainsToTheApplicationClass) {
    struct Peek : CVantrelApp {
        static const AFX_MSGMAP* Map() { return GetThisMessageMap(); }
        static const AFX_MSGMAP* Base() { return CWinApp::GetThisMessageMap(); }
    };
    const AFX_MSGMAP* map = Peek::Map();
    EXPECT_EQ(map->lpEntries[0].pfn, nullptr);
    EXPECT_EQ(map->pfnGetBaseMap(), Peek::Base());
    EXPECT_EQ(static_cast<CCmdTarget&>(vantrel::TheApp()).GetMessageMap(), map);
}

// The whole dither list, names 2 and 4 included, which no dither lookup reaches.
TEST(StringTable, DitherNamesInFull) {
    CString s;
    EXPECT_TRUE(s.LoadString(VANTREL_IDS_DITHER_NAMES));
    EXPECT_EQ(s,
              L"KF Diffusion,Error Diffusion,QC Diffusion,Random Diffusion,FS Diffusion,"
              L"LX Diffusion,Angled Screen,Vexaline,");
}

}  // namespace
