// The library's own application object (internal), reached through the static archive.
#include <gtest/gtest.h>

#include "frame/app.h"

namespace {

TEST(VantrelApp, InitInstanceAlwaysSucceedsAndTheLibraryIsAttached) {
    EXPECT_EQ(vantrel::TheApp().InitInstance(), TRUE);
    EXPECT_EQ(vantrel::TheApp().m_pszAppName, nullptr);
    EXPECT_EQ(vantrel::LibraryModuleState()->m_pCurrentWinApp, &vantrel::TheApp());
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

}  // namespace
