// CWnd, and the window functions that every system builds on messages.
#include <algorithm>
#include <vector>

#include "vantrel_platform/dialog_exchange.h"
#include "window_system.h"

using vplatform::detail::WindowObjects;

BOOL SetWindowTextW(HWND hWnd, LPCWSTR text) {
    if (!IsWindow(hWnd)) return FALSE;
    return static_cast<BOOL>(SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextW(HWND hWnd, LPWSTR buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = L'\0';
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hWnd) {
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

HWND vplatform::CreateDialog(LPCWSTR caption, int width, int height,
                             std::initializer_list<DialogItem> items) {
    HWND dialog = CreateWindow(WindowKind::Dialog, nullptr, 0, width, height, 0, caption);
    for (const DialogItem& item : items)
        CreateWindow(item.kind, dialog, item.id, item.width, item.height,
                     item.style | WS_CHILD | WS_VISIBLE, item.text);
    return dialog;
}

// ---------------------------------------------------------------------------------------------
// CWnd

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && WindowObjects().Permanent(m_hWnd) == this) ::DestroyWindow(m_hWnd);
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!IsWindow(hWnd)) return nullptr;
    vplatform::detail::RouteMessagesToObject(hWnd);  // so that its destruction is seen
    return WindowObjects().FromHandle(hWnd, [hWnd] {
        auto temporary = vplatform::detail::NewTemporaryObject(vplatform::GetWindowKind(hWnd));
        temporary->m_hWnd = hWnd;
        return temporary;
    });
}

BOOL CWnd::Attach(HWND hWnd) {
    if (m_hWnd || !IsWindow(hWnd) || !WindowObjects().Attach(hWnd, this)) return FALSE;
    m_hWnd = hWnd;
    vplatform::detail::RouteMessagesToObject(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    WindowObjects().Detach(hWnd, this);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent) return FALSE;
    return Attach(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

void CWnd::SetWindowTextW(LPCWSTR text) {
    ::SetWindowTextW(m_hWnd, text);
}

int CWnd::GetWindowTextW(LPWSTR buffer, int maxCount) const {
    return ::GetWindowTextW(m_hWnd, buffer, maxCount);
}

void CWnd::GetWindowTextW(CString& text) const {
    std::vector<wchar_t> buffer(static_cast<size_t>(std::max(GetWindowTextLength(), 0)) + 1);
    int length = ::GetWindowTextW(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    text = CString(buffer.data(), length);
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    if (!::GetClientRect(m_hWnd, rect) && rect) *rect = RECT{0, 0, 0, 0};
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->GetSafeHandle() : nullptr),
                bRedraw);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC) {
    return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0;
}

BOOL CWnd::DestroyWindow() {
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

CWnd* AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}
