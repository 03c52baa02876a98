#include "warning_message.h"

#include "vantrel_platform/afx.h"
#include "vantrel_platform/message_box.h"
#include "vantrel_platform/window.h"

namespace vantrel::detail {

void ShowWarningMessage(HWND hOwner, const wchar_t* text) {
    if (!hOwner) {
        CWinThread* thread = AfxGetThread();
        CWnd* main = thread ? thread->GetMainWnd() : nullptr;
        hOwner = main ? main->GetSafeHwnd() : nullptr;
    }
    MessageBoxW(hOwner, text, AfxGetModuleState()->m_lpszCurrentAppName,
                MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace vantrel::detail
