// Message boxes and the framework's prompt strings.
//
// Every message box goes to a replaceable sink, which receives what the user would see and
// gives the answer. The default sink appends the box to a log (vplatform::GetMessageBoxLog) and
// shows it: on Windows as a real modal message box, whose answer it returns; the headless
// system shows none and answers IDOK.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vantrel_platform/cstring.h"
#include "vantrel_platform/wintypes.h"

// Styles and answers.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// The framework's prompts (found in its own resources unless a module registers the id).
constexpr UINT AFX_IDP_PARSE_INT = 0xF110;         // "Enter a whole number."
constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;        // "Enter a number."
constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF113;   // "Enter a whole number from %1 to %2."
constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF114;  // "Enter a number from %1 to %2."
constexpr UINT AFX_IDP_PARSE_UINT = 0xF117;        // "Enter a whole number of 0 or more."

// Shows a modal message box owned by `hWnd` (may be null); returns the sink's answer. A null
// caption shows as "Error".
VPLATFORM_API int MessageBoxW(HWND hWnd, LPCWSTR text, LPCWSTR caption, UINT type);

// The framework's message box: owned by the main window of the calling thread (or none),
// captioned with the current module's application name (AfxGetAppName). When `type` has no icon, a
// yes/no question gets MB_ICONQUESTION and every other box MB_ICONEXCLAMATION.
VPLATFORM_API int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
// The same with the text of string `promptId`: the current module's table, the resource
// modules, then the framework's own prompts; an unknown id shows an empty text.
VPLATFORM_API int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = UINT(-1));

// Loads string `id` (as AfxMessageBox finds its prompt) into `result` and replaces, in one
// pass from left to right, "%1" by `text1` and "%2" by `text2` (null counts as empty); the
// replacements are not scanned again. An unknown id gives an empty result.
VPLATFORM_API void AfxFormatString2(CString& result, UINT id, LPCWSTR text1, LPCWSTR text2);

// The current module state's application name, or null.
VPLATFORM_API LPCWSTR AfxGetAppName();

namespace vplatform {

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    UINT style = 0;
    UINT helpId = 0;  // AfxMessageBox's help id; 0 for MessageBoxW
};

using MessageBoxSink = std::function<int(const MessageBoxRecord&)>;

// Replaces the sink (an empty function restores the default one) and returns the previous.
VPLATFORM_API MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);
// The boxes the default sink has received, in order.
VPLATFORM_API std::vector<MessageBoxRecord> GetMessageBoxLog();
VPLATFORM_API void ClearMessageBoxLog();

}  // namespace vplatform
