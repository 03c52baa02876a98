// Percentage fields: a number shown with a percent sign and accepted back with or without it.
#include <cwchar>

#include "orvane/orvane.h"
#include "vantrel/dialog.h"
#include "vantrel_platform/message_box.h"

namespace {

// Out of the control at most 31 code units are read. Into it, the buffer holds the widest
// float, "-340282346638528859811704183484516925440.00%" (44 code units).
constexpr int kReadCapacity = 32;
constexpr int kDisplayCapacity = 64;

constexpr const wchar_t* kIntDisplay = L"%d%%";
constexpr const wchar_t* kUIntDisplay = L"%u%%";
constexpr const wchar_t* kFloatDisplay = L"%.2f%%";

double Printable(float value) {
    return static_cast<double>(value);
}
int Printable(int value) {
    return value;
}
UINT Printable(UINT value) {
    return value;
}

template <typename T>
void ExchangePercentage(CDataExchange* pDX, int nIDC, T& value, const wchar_t* display,
                        const wchar_t* scan, UINT parsePrompt) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        wchar_t text[kDisplayCapacity];
        std::swprintf(text, kDisplayCapacity, display, Printable(value));
        ::SetWindowTextW(control, text);
        return;
    }
    wchar_t text[kReadCapacity];
    ::GetWindowTextW(control, text, kReadCapacity);
    // An empty field and a lone minus sign both mean zero.
    if (text[0] == L'\0' || (text[0] == L'-' && text[1] == L'\0')) {
        value = T(0);
        return;
    }
    // The number is taken whether a percent sign follows or not; the rest is ignored.
    if (std::swscanf(text, scan, &value) == 1) return;
    AfxMessageBox(parsePrompt, MB_OK, UINT(-1));
    pDX->Fail();
}

void SetControlText(CWnd* pWnd, UINT nID, const CString& text) {
    if (!pWnd) return;
    if (CWnd* control = pWnd->GetDlgItem(static_cast<int>(nID))) control->SetWindowTextW(text);
}

}  // namespace

void DDX_Percentage_Integer(CDataExchange* pDX, int nIDC, int& nValue) {
    ExchangePercentage(pDX, nIDC, nValue, kIntDisplay, L"%d%%", AFX_IDP_PARSE_INT);
}

void DDX_Percentage_UINT(CDataExchange* pDX, int nIDC, UINT& nValue) {
    ExchangePercentage(pDX, nIDC, nValue, kUIntDisplay, L"%u%%", AFX_IDP_PARSE_UINT);
}

void DDX_Percentage_float(CDataExchange* pDX, int nIDC, float& fValue) {
    ExchangePercentage(pDX, nIDC, fValue, kFloatDisplay, L"%f", AFX_IDP_PARSE_REAL);
}

void DDV_MinMax_Int_Percentage(CDataExchange* pDX, int nValue, int nMin, int nMax) {
    DDV_MinMaxInt_OV(pDX, nValue, nMin, nMax);
}

void DDV_MinMax_UINT_Percentage(CDataExchange* pDX, UINT nValue, UINT nMin, UINT nMax) {
    DDV_MinMaxUInt_OV(pDX, nValue, nMin, nMax);
}

void DDV_MinMax_float_Percentage(CDataExchange* pDX, float fValue, float fMin, float fMax) {
    DDV_MinMaxFloat_OV(pDX, fValue, fMin, fMax);
}

int CustomValidate_Int_Percentage(CWnd* pWnd, CDataExchange* pDX, UINT nID, int& nValue, int nMin,
                                  int nMax) {
    return CustomValidate(pWnd, pDX, nID, nValue, nMin, nMax, kIntDisplay);
}

int CustomValidate_UINT_Percentage(CWnd* pWnd, CDataExchange* pDX, UINT nID, UINT& nValue,
                                   UINT nMin, UINT nMax) {
    return CustomValidate(pWnd, pDX, nID, nValue, nMin, nMax, kUIntDisplay);
}

int CustomValidate_float_Percentage(CWnd* pWnd, CDataExchange* pDX, UINT nID, float& fValue,
                                    float fMin, float fMax) {
    return CustomValidate(pWnd, pDX, nID, fValue, fMin, fMax, kFloatDisplay);
}

void DrawString_Int_Percentage(CWnd* pWnd, UINT nID, int nValue) {
    CString text;
    text.Format(kIntDisplay, nValue);
    SetControlText(pWnd, nID, text);
}

void DrawString_UINT_Percentage(CWnd* pWnd, UINT nID, UINT nValue) {
    CString text;
    text.Format(kUIntDisplay, nValue);
    SetControlText(pWnd, nID, text);
}

void DrawString_float_Percentage(CWnd* pWnd, UINT nID, float fValue) {
    CString text;
    text.Format(kFloatDisplay, static_cast<double>(fValue));
    SetControlText(pWnd, nID, text);
}
