// Range validators for dialog data exchange.
#include "orvane/ddv.h"

#include "vantrel_platform/message_box.h"

namespace {

// Tells the user the range, then abandons the exchange.
template <typename T>
[[noreturn]] void FailWithRange(CDataExchange* pDX, const wchar_t* format, T minVal, T maxVal,
                                UINT promptId) {
    CString low, high, prompt;
    low.Format(format, minVal);
    high.Format(format, maxVal);
    AfxFormatString2(prompt, promptId, low, high);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, promptId);
    pDX->Fail();
}

}  // namespace

void DDV_MinMaxInt_OV(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate) return;
    if (value >= minVal && value <= maxVal) return;
    FailWithRange(pDX, L"%d", minVal, maxVal, AFX_IDP_PARSE_INT_RANGE);
}

void DDV_MinMaxUInt_OV(CDataExchange* pDX, unsigned value, unsigned minVal, unsigned maxVal) {
    if (!pDX->m_bSaveAndValidate) return;
    if (value >= minVal && value <= maxVal) return;
    FailWithRange(pDX, L"%u", minVal, maxVal, AFX_IDP_PARSE_INT_RANGE);
}

void DDV_MinMaxFloat_OV(CDataExchange* pDX, const float& value, float minVal, float maxVal) {
    if (!pDX->m_bSaveAndValidate) return;
    if (value >= minVal && value <= maxVal) return;
    FailWithRange(pDX, L"%.6g", static_cast<double>(minVal), static_cast<double>(maxVal),
                  AFX_IDP_PARSE_REAL_RANGE);
}
