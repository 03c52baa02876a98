// The owner and caption of the corrective message box.
#include <gtest/gtest.h>

#include "dialog/warning_message.h"
#include "vantrel_platform/message_box.h"
#include "vantrel_platform/window.h"

namespace {

TEST(WarningMessage, OwnerIsTheGivenWindowElseTheMainWindowElseNone) {
    CWinApp app(L"Profiler");
    CWnd main;
    main.Attach(vplatform::CreateWindow(vplatform::WindowKind::Generic, nullptr, 0, 10, 10));
    HWND given = vplatform::CreateWindow(vplatform::WindowKind::Dialog, nullptr, 0, 10, 10);
    AFX_MODULE_STATE plugIn(L"plug-in");
    plugIn.m_lpszCurrentAppName = L"Plug-in";
    vplatform::ClearMessageBoxLog();

    vantrel::detail::ShowWarningMessage(given, L"given");
    vantrel::detail::ShowWarningMessage(nullptr, L"no application");
    AfxGetAppModuleState()->m_pCurrentWinApp = &app;
    vantrel::detail::ShowWarningMessage(nullptr, L"no main window");
    app.m_pMainWnd = &main;
    {
        AFX_MAINTAIN_STATE2 switched(&plugIn);
        vantrel::detail::ShowWarningMessage(nullptr, L"main window");
    }
    AfxGetAppModuleState()->m_pCurrentWinApp = nullptr;

    auto boxes = vplatform::GetMessageBoxLog();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].owner, given);
    EXPECT_EQ(boxes[1].owner, nullptr);
    EXPECT_EQ(boxes[2].owner, nullptr);
    EXPECT_EQ(boxes[3].owner, main.m_hWnd);
    EXPECT_EQ(boxes[3].caption, L"Plug-in");  // the current module state's name
    for (const auto& box : boxes) EXPECT_EQ(box.style, 0x30u);
    DestroyWindow(given);
}

}  // namespace
