// A host dialog for the dialog-support tests: a dialog window with two edit controls attached
// to a framework object, the application named, and message boxes recorded.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "vantrel/dialog.h"
#include "vantrel_platform/message_box.h"

namespace dialog_testing {

// Runs `exchange`; true when it failed the exchange (CDataExchange::Fail).
template <typename Exchange>
bool Fails(Exchange&& exchange) {
    try {
        exchange();
    } catch (const CUserException&) {
        return true;
    }
    return false;
}

class DialogTest : public ::testing::Test {
  protected:
    static constexpr UINT kEdit = 1001;
    static constexpr UINT kOtherEdit = 1002;

    void SetUp() override {
        dialog_.Attach(vplatform::CreateDialog(
            L"Settings", 300, 200,
            {{kEdit, vplatform::WindowKind::Edit, 80, 20, 0, L"untouched"},
             {kOtherEdit, vplatform::WindowKind::Edit, 80, 20, 0, L"other"}}));
        vplatform::ClearMessageBoxLog();
        AfxGetAppModuleState()->m_lpszCurrentAppName = L"Profiler";
    }
    void TearDown() override {
        AfxGetAppModuleState()->m_lpszCurrentAppName = nullptr;
        vplatform::ClearMessageBoxLog();
    }

    HWND Control(UINT id) const { return ::GetDlgItem(dialog_.m_hWnd, static_cast<int>(id)); }
    std::wstring Text(UINT id) const {
        wchar_t buffer[128];
        GetWindowTextW(Control(id), buffer, 128);
        return buffer;
    }
    void Type(UINT id, const wchar_t* text) { SetWindowTextW(Control(id), text); }
    static std::vector<vplatform::MessageBoxRecord> Boxes() {
        return vplatform::GetMessageBoxLog();
    }

    CWnd dialog_;
};

}  // namespace dialog_testing
