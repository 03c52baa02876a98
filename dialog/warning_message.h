// The corrective message box of the range checks (internal).
#pragma once

#include "vantrel_platform/wintypes.h"

namespace vantrel::detail {

// Shows `text` in a modal message box with an OK button and the exclamation icon, captioned
// with the current module state's application name and owned by `hOwner`, or by the calling
// thread's main window when `hOwner` is null (no owner when there is none).
void ShowWarningMessage(HWND hOwner, const wchar_t* text);

}  // namespace vantrel::detail
