// The headless window system: windows, message dispatch through message maps, data exchange
// and message boxes. The library's dialog tests drive the controls, focus and window texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vantrel_platform/controls.h"
#include "vantrel_platform/dialog_exchange.h"
#include "vantrel_platform/gdi.h"
#include "vantrel_platform/message_box.h"

namespace {

using vplatform::WindowKind;

// Records which class of the chain handled each message.
class BaseWnd : public CWnd {
  public:
    std::vector<std::string> handled;

  protected:
    void OnPaint() {
        handled.push_back("base paint");
        CPaintDC dc(this);
    }
    BOOL OnEraseBkgnd(CDC*) {
        handled.push_back("base erase");
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
  protected:
    BOOL OnEraseBkgnd(CDC* pDC) {
        handled.push_back(pDC ? "derived erase with dc" : "derived erase");
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(MessageMaps, DerivedEntriesWinBaseEntriesServeTheRestDefaultsHandleOthers) {
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.Attach(vplatform::CreateWindow(WindowKind::Generic, nullptr, 0, 4, 4)));
    wnd.Invalidate(TRUE);
    wnd.UpdateWindow();  // WM_PAINT -> base handler, whose BeginPaint sends WM_ERASEBKGND
    EXPECT_EQ(wnd.handled, (std::vector<std::string>{"base paint", "derived erase with dc"}));
    wnd.UpdateWindow();  // nothing invalid any more
    EXPECT_EQ(wnd.handled.size(), 2u);
}

TEST(Windows, DialogChildrenTemporaryObjectsAndDestruction) {
    const int before = vplatform::CountWindows();
    {
        CWnd dialog;
        dialog.Attach(vplatform::CreateDialog(L"Options", 300, 200,
                                              {{10, WindowKind::Edit, 80, 20},
                                               {11, WindowKind::ComboBox, 80, 20, CBS_SORT},
                                               {12, WindowKind::Progress, 200, 16}}));
        EXPECT_EQ(vplatform::CountWindows(), before + 4);
        EXPECT_EQ(dialog.GetDlgItem(13), nullptr);
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

TEST(DialogExchange, FailReturnsToTheEditControlSelectsItsTextAndThrows) {
    CWnd dialog;
    dialog.Attach(
        vplatform::CreateDialog(L"Dialog", 100, 100, {{20, WindowKind::Edit, 50, 20, 0, L"text"}}));
    CDataExchange dx(&dialog, TRUE);
    HWND edit = dx.PrepareEditCtrl(20);
    EXPECT_THROW(dx.Fail(), CUserException);
    int start, end;
    static_cast<CEdit*>(CWnd::FromHandle(edit))->GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 4);
    EXPECT_EQ(CDataExchange(&dialog, TRUE).PrepareEditCtrl(99), nullptr);
}

// The prompts' texts, style and help id of the framework's own prompts are checked by the
// percentage fields' tests (tests/dialog).
TEST(MessageBoxes, PromptsOwnersCaptionsAndFormattedStrings) {
    AFX_MODULE_STATE* state = AfxGetAppModuleState();
    vplatform::ClearMessageBoxLog();
    state->m_lpszCurrentAppName = L"Host";
    CWinApp app(L"Host");
    CWnd main;
    main.Attach(vplatform::CreateWindow(WindowKind::Generic, nullptr, 0, 10, 10));
    app.m_pMainWnd = &main;
    state->m_pCurrentWinApp = &app;
    state->SetString(AFX_IDP_PARSE_REAL, L"Zahl eingeben.");
    state->SetString(0x7001, L"%2 before %1, 100%, %3");

    EXPECT_EQ(AfxMessageBox(AFX_IDP_PARSE_REAL), IDOK);  // a module's string wins
    MessageBoxW(nullptr, L"plain", nullptr, MB_OK);
    CString text;
    AfxFormatString2(text, 0x7001, L"one%2", L"two");  // one pass: the arguments stay
    EXPECT_EQ(text, L"two before one%2, 100%, %3");
    AfxFormatString2(text, 0x7002, L"a", L"b");
    EXPECT_TRUE(text.IsEmpty());
    text.Format(L"%ls|", std::wstring(1000, L'x').c_str());  // beyond Format's first buffer
    EXPECT_EQ(text.GetLength(), 1001);

    state->m_pCurrentWinApp = nullptr;
    state->m_lpszCurrentAppName = nullptr;
    state->RemoveString(AFX_IDP_PARSE_REAL);
    state->RemoveString(0x7001);
    auto boxes = vplatform::GetMessageBoxLog();
    vplatform::ClearMessageBoxLog();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"Zahl eingeben.");
    EXPECT_EQ(boxes[0].owner, main.m_hWnd);
    EXPECT_EQ(boxes[0].caption, L"Host");
    EXPECT_EQ(boxes[1].caption, L"Error");
    EXPECT_EQ(boxes[1].owner, nullptr);
}

}  // namespace
