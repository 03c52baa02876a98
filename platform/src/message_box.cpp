// Message boxes, delivered to a replaceable sink, and the framework's prompt strings.
#include "vantrel_platform/message_box.h"

#include "vantrel_platform/afx.h"
#include "window_system.h"

namespace {

struct FrameworkPrompt {
    UINT id;
    const wchar_t* text;
};

// The framework's own resources: consulted after every module's table.
constexpr FrameworkPrompt kPrompts[] = {
    {AFX_IDP_PARSE_INT, L"Enter a whole number."},
    {AFX_IDP_PARSE_REAL, L"Enter a number."},
    {AFX_IDP_PARSE_INT_RANGE, L"Enter a whole number from %1 to %2."},
    {AFX_IDP_PARSE_REAL_RANGE, L"Enter a number from %1 to %2."},
    {AFX_IDP_PARSE_UINT, L"Enter a whole number of 0 or more."},
};

const wchar_t* FindPrompt(UINT id) {
    if (const wchar_t* text = AfxFindStringResource(id)) return text;
    for (const FrameworkPrompt& prompt : kPrompts)
        if (prompt.id == id) return prompt.text;
    return nullptr;
}

std::vector<vplatform::MessageBoxRecord>& Log() {
    static auto* boxes = new std::vector<vplatform::MessageBoxRecord>;
    return *boxes;
}

int RecordAndShow(const vplatform::MessageBoxRecord& box) {
    Log().push_back(box);
    return vplatform::detail::ShowMessageBox(box.owner, box.text.c_str(), box.caption.c_str(),
                                             box.style);
}

vplatform::MessageBoxSink& Sink() {
    static auto* current = new vplatform::MessageBoxSink(RecordAndShow);
    return *current;
}

int Deliver(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style, UINT helpId) {
    vplatform::MessageBoxRecord box;
    box.owner = owner;
    box.caption = caption ? caption : L"Error";  // what the system shows without a caption
    box.text = text ? text : L"";
    box.style = style;
    box.helpId = helpId;
    // A copy: the sink may replace itself while it runs.
    vplatform::MessageBoxSink current = Sink();
    return current(box);
}

// Replaces "%1" to "%n" by texts[0] to texts[n - 1] in one pass from left to right; other
// placeholders stay as they are.
CString FormatPrompt(UINT id, const LPCWSTR* texts, int n) {
    const wchar_t* format = FindPrompt(id);
    std::wstring out;
    for (const wchar_t* p = format ? format : L""; *p; ++p) {
        int index = (p[0] == L'%' && p[1] >= L'1' && p[1] <= L'9') ? p[1] - L'1' : -1;
        if (index < 0 || index >= n) {
            out += *p;
            continue;
        }
        if (texts[index]) out += texts[index];
        ++p;
    }
    return CString(out);
}

}  // namespace

int MessageBoxW(HWND hWnd, LPCWSTR text, LPCWSTR caption, UINT type) {
    return Deliver(hWnd, text, caption, type, 0);
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT helpId) {
    if ((type & MB_ICONMASK) == 0) {
        UINT buttons = type & MB_TYPEMASK;
        type |= (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? MB_ICONQUESTION
                                                                   : MB_ICONEXCLAMATION;
    }
    CWnd* main = AfxGetMainWnd();
    return Deliver(main ? main->m_hWnd : nullptr, text, AfxGetAppName(), type, helpId);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
    const wchar_t* text = FindPrompt(promptId);
    return AfxMessageBox(text ? text : L"", type, helpId);
}

void AfxFormatString2(CString& result, UINT id, LPCWSTR text1, LPCWSTR text2) {
    const LPCWSTR texts[] = {text1, text2};
    result = FormatPrompt(id, texts, 2);
}

LPCWSTR AfxGetAppName() {
    return AfxGetModuleState()->m_lpszCurrentAppName;
}

namespace vplatform {

MessageBoxSink SetMessageBoxSink(MessageBoxSink replacement) {
    MessageBoxSink previous = std::move(Sink());
    Sink() = replacement ? std::move(replacement) : MessageBoxSink(RecordAndShow);
    return previous;
}

std::vector<MessageBoxRecord> GetMessageBoxLog() {
    return Log();
}

void ClearMessageBoxLog() {
    Log().clear();
}

}  // namespace vplatform
