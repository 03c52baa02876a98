// The headless window system: windows, their objects and message boxes. The library's dialog
// tests drive message maps, painting, the controls, data exchange, focus and window texts.
#include <gtest/gtest.h>

#include <string>

#include "vantrel_platform/controls.h"
#include "vantrel_platform/gdi.h"
#include "vantrel_platform/message_box.h"

namespace {

using vplatform::WindowKind;

TEST(Windows, DialogChildrenTemporaryObjectsAndDestruction) {
    const int before = vplatform::CountWindows();
    {
        CWnd dialog;
        dialog.Attach(vplatform::CreateDialog(L"Options", 300, 200,
                                              {{10, WindowKind::Edit, 80, 20, 0, L"text"},
                                               {11, WindowKind::ComboBox, 80, 20, CBS_SORT},
                                               {12, WindowKind::Progress, 200, 16}}));
        EXPECT_EQ(vplatform::CountWindows(), before + 4);
        EXPECT_EQ(dialog.GetDlgItem(13), nullptr);
        EXPECT_EQ(SendMessage(dialog.GetDlgItem(10)->m_hWnd, WM_GETTEXTLENGTH), 4);
        EXPECT_NE(dynamic_cast<CComboBox*>(dialog.GetDlgItem(11)), nullptr);
        EXPECT_EQ(dialog.GetDlgItem(11), dialog.GetDlgItem(11));  // one temporary per window
        EXPECT_EQ(dialog.GetDlgItem(11)->GetParent(), &dialog);

        CProgressCtrl progress;  // an attached object replaces the temporary
        ASSERT_TRUE(progress.SubclassDlgItem(12, &dialog));
        EXPECT_EQ(dialog.GetDlgItem(12), &progress);
        EXPECT_FALSE(CWnd().Attach(progress.m_hWnd));  // one object per window

        dialog.DestroyWindow();
        EXPECT_EQ(progress.m_hWnd, nullptr);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
    {
        CWnd owner;  // destroying the object destroys its window
        owner.Attach(vplatform::CreateWindow(WindowKind::Generic, nullptr, 0, 1, 1));
    }
    EXPECT_EQ(vplatform::CountWindows(), before);
    EXPECT_EQ(SendMessage(nullptr, WM_GETTEXTLENGTH), 0);
}

// The prompts' texts, captions, owners and styles are checked by the percentage fields' tests
// (tests/dialog).
TEST(MessageBoxes, PromptsAreFormattedInOnePassAndFormatGrowsItsBuffer) {
    AfxGetAppModuleState()->SetString(0x7001, L"%2 before %1, 100%, %3");
    CString text;
    AfxFormatString2(text, 0x7001, L"one%2", L"two");
    AfxGetAppModuleState()->RemoveString(0x7001);
    EXPECT_EQ(text, L"two before one%2, 100%, %3");
    text.Format(L"%ls|", std::wstring(1000, L'x').c_str());
    EXPECT_EQ(text.GetLength(), 1001);
}

}  // namespace
