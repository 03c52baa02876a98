// Corrective range checks: an out-of-range value is replaced by the nearest bound in the
// variable and the control, the user is told, and the exchange fails.
#include "frame/string_ids.h"
#include "vantrel/dialog.h"
#include "vantrel_platform/message_box.h"
#include "warning_message.h"

namespace {

void SetControlText(CWnd* pWnd, UINT nID, const CString& text) {
    if (CWnd* control = pWnd->GetDlgItem(static_cast<int>(nID))) control->SetWindowTextW(text);
}

// The range message with the bounds printed by `boundFormat`, shown over the dialog; then the
// exchange is abandoned.
template <typename Bound>
[[noreturn]] void ReportAndFail(CWnd* pWnd, CDataExchange* pDX, const wchar_t* boundFormat,
                                Bound nMin, Bound nMax) {
    CString prompt;
    AfxFormatString2(prompt, VANTREL_IDS_RANGE_MESSAGE, boundFormat, boundFormat);
    CString message;
    message.Format(prompt, nMin, nMax);
    vantrel::detail::ShowWarningMessage(pWnd->GetSafeHwnd(), message);
    pDX->Fail();
}

}  // namespace

int CustomValidate(CWnd* pWnd, CDataExchange* pDX, UINT nID, int& nValue, int nMin, int nMax,
                   const wchar_t* pszFormat) {
    pDX->PrepareEditCtrl(static_cast<int>(nID));
    if (!pDX->m_bSaveAndValidate) return 1;
    if (nMin <= nValue && nValue <= nMax) return 1;

    // With nMin > nMax this gives nMax for every value.
    int clamped = nValue < nMin ? nMin : nValue;
    if (clamped > nMax) clamped = nMax;
    nValue = clamped;
    CString text;
    text.Format(pszFormat ? pszFormat : L"%d", nValue);
    SetControlText(pWnd, nID, text);
    ReportAndFail(pWnd, pDX, L"%d", nMin, nMax);
}

int CustomValidate(CWnd* pWnd, CDataExchange* pDX, UINT nID, UINT& nValue, UINT nMin, UINT nMax,
                   const wchar_t* pszFormat) {
    // The check runs on the 32-bit patterns read as signed numbers.
    int value = static_cast<int>(nValue);
    try {
        CustomValidate(pWnd, pDX, nID, value, static_cast<int>(nMin), static_cast<int>(nMax),
                       pszFormat);
    } catch (...) {
        nValue = static_cast<UINT>(value);
        throw;
    }
    nValue = static_cast<UINT>(value);
    return 1;
}

int CustomValidate(CWnd* pWnd, CDataExchange* pDX, UINT nID, float& fValue, float fMin, float fMax,
                   const wchar_t* pszFormat) {
    pDX->PrepareEditCtrl(static_cast<int>(nID));
    if (!pDX->m_bSaveAndValidate) return 1;
    if (fValue <= fMax && fValue >= fMin) return 1;  // false for a NaN

    // Both comparisons are false for a NaN, which therefore stays NaN.
    float clamped = fValue < fMin ? fMin : fValue;
    if (clamped > fMax) clamped = fMax;
    fValue = clamped;
    CString text;
    text.Format(pszFormat ? pszFormat : L"%.2f", static_cast<double>(fValue));
    SetControlText(pWnd, nID, text);
    ReportAndFail(pWnd, pDX, L"%.2f", static_cast<double>(fMin), static_cast<double>(fMax));
}
