// The framework classes of the controls: edit control, combo box and progress control.
#include <vector>

#include "vantrel_platform/controls.h"
#include "window_system.h"

namespace vplatform::detail {

std::unique_ptr<CWnd> NewTemporaryObject(WindowKind kind) {
    switch (kind) {
        case WindowKind::Edit:
            return std::make_unique<CEdit>();
        case WindowKind::ComboBox:
            return std::make_unique<CComboBox>();
        case WindowKind::Progress:
            return std::make_unique<CProgressCtrl>();
        default:
            return std::make_unique<CWnd>();
    }
}

}  // namespace vplatform::detail

namespace {

HWND CreateChild(vplatform::WindowKind kind, DWORD style, const RECT& rect, CWnd* pParent,
                 UINT nID) {
    return vplatform::CreateWindow(kind, pParent ? pParent->m_hWnd : nullptr, static_cast<int>(nID),
                                   rect.right - rect.left, rect.bottom - rect.top, style);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CEdit

CEdit::~CEdit() = default;

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* pParent, UINT nID) {
    HWND hWnd = CreateChild(vplatform::WindowKind::Edit, style, rect, pParent, nID);
    if (Attach(hWnd)) return TRUE;
    ::DestroyWindow(hWnd);
    return FALSE;
}

void CEdit::GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

// ---------------------------------------------------------------------------------------------
// CComboBox

CComboBox::~CComboBox() = default;

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* pParent, UINT nID) {
    HWND hWnd = CreateChild(vplatform::WindowKind::ComboBox, style, rect, pParent, nID);
    if (Attach(hWnd)) return TRUE;
    ::DestroyWindow(hWnd);
    return FALSE;
}

int CComboBox::GetCount() const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0));
}

int CComboBox::AddString(LPCWSTR text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::DeleteString(UINT index) {
    return static_cast<int>(SendMessage(CB_DELETESTRING, index, 0));
}

int CComboBox::GetLBTextLen(int index) const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
}

int CComboBox::GetLBText(int index, LPWSTR buffer) const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(buffer)));
}

void CComboBox::GetLBText(int index, CString& text) const {
    int length = GetLBTextLen(index);
    if (length < 0) {
        text.Empty();
        return;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    GetLBText(index, buffer.data());
    text = CString(buffer.data(), length);
}

int CComboBox::SetDroppedWidth(UINT width) {
    return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, width, 0));
}

int CComboBox::GetDroppedWidth() const {
    return static_cast<int>(::SendMessageW(m_hWnd, CB_GETDROPPEDWIDTH, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// CProgressCtrl

CProgressCtrl::~CProgressCtrl() = default;

BEGIN_MESSAGE_MAP(CProgressCtrl, CWnd)
END_MESSAGE_MAP()

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* pParent, UINT nID) {
    HWND hWnd = CreateChild(vplatform::WindowKind::Progress, style, rect, pParent, nID);
    if (Attach(hWnd)) return TRUE;
    ::DestroyWindow(hWnd);
    return FALSE;
}

void CProgressCtrl::SetRange(short lower, short upper) {
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(lower), static_cast<WORD>(upper)));
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
    lower = static_cast<int>(::SendMessageW(m_hWnd, PBM_GETRANGE, TRUE, 0));
    upper = static_cast<int>(::SendMessageW(m_hWnd, PBM_GETRANGE, FALSE, 0));
}

int CProgressCtrl::SetPos(int pos) {
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos), 0));
}

int CProgressCtrl::SetStep(int step) {
    return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step), 0));
}

int CProgressCtrl::StepIt() {
    return static_cast<int>(SendMessage(PBM_STEPIT, 0, 0));
}
