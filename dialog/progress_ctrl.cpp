// CCustomProgressCtrl: a progress bar that paints its fill and percentage itself.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "vantrel/dialog.h"

namespace {

constexpr COLORREF kDefaultProgressColor = 0xFF0000;  // blue
constexpr COLORREF kDefaultTextColor = 0xFFFFFF;      // white
constexpr UINT kPercentFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// (pos - lower) / (upper - lower) for lower <= pos <= upper. The differences are exact in 64
// bits (in 32 bits they overflow for ranges wider than 2^31) and then rounded to float. Equal
// bounds leave the position nothing to be a fraction of: the bar is then full.
float FilledFraction(int lower, int upper, int pos) {
    if (upper == lower) return 1.0f;
    float done = static_cast<float>(std::int64_t{pos} - lower);
    float span = static_cast<float>(std::int64_t{upper} - lower);
    return done / span;
}

// fraction * width truncated toward zero, kept within [0, width] so that the conversion to
// int is always defined (a float product can round above a width beyond 2^24).
int FilledWidth(float fraction, int width) {
    float filled = fraction * static_cast<float>(width);
    if (!(filled > 0.0f)) return 0;
    if (filled >= static_cast<float>(width)) return width;
    return static_cast<int>(filled);
}

int SaturatedInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace

CCustomProgressCtrl::CCustomProgressCtrl()
    : m_nLower(0),
      m_nUpper(100),
      m_nStep(10),
      m_nPos(0),
      m_crProgress(kDefaultProgressColor),
      m_crBk(GetSysColor(COLOR_BTNFACE)),
      m_crText(kDefaultTextColor),
      m_bShowPercent(TRUE) {}

CCustomProgressCtrl::~CCustomProgressCtrl() = default;

BEGIN_MESSAGE_MAP(CCustomProgressCtrl, CProgressCtrl)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

void CCustomProgressCtrl::SetProgressColor(COLORREF crProgress) {
    m_crProgress = crProgress;
}
void CCustomProgressCtrl::SetBkColor(COLORREF crBk) {
    m_crBk = crBk;
}
void CCustomProgressCtrl::SetTextColor(COLORREF crText) {
    m_crText = crText;
}
COLORREF CCustomProgressCtrl::GetProgressColor() const {
    return m_crProgress;
}
COLORREF CCustomProgressCtrl::GetBkColor() const {
    return m_crBk;
}
COLORREF CCustomProgressCtrl::GetTextColor() const {
    return m_crText;
}
void CCustomProgressCtrl::ShowPercent(BOOL bShowPercent) {
    m_bShowPercent = bShowPercent;
}

void CCustomProgressCtrl::SetRange(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nPos = nLower;
    // The platform control keeps 16 bits of each bound; the bar paints from the full ones.
    SendMessage(PBM_SETRANGE, 0,
                MAKELPARAM(static_cast<WORD>(nLower & 0xFFFF), static_cast<WORD>(nUpper & 0xFFFF)));
}

void CCustomProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    nLower = m_nLower;
    nUpper = m_nUpper;
}

int CCustomProgressCtrl::SetPos(int nPos) {
    m_nPos = nPos;
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos), 0));
}

int CCustomProgressCtrl::SetStep(int nStep) {
    m_nStep = nStep;
    return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep), 0));
}

int CCustomProgressCtrl::StepIt() {
    // No wrap-around and no limit: past the upper bound the bar paints empty. Only the limits
    // of int stop the sum, which saturates there instead of overflowing.
    m_nPos = SaturatedInt(std::int64_t{m_nPos} + m_nStep);
    return static_cast<int>(SendMessage(PBM_STEPIT, 0, 0));
}

void CCustomProgressCtrl::DrawProgressBar(CPaintDC* pDC, const RECT& rc, const int& nFillWidth) {
    const int split = SaturatedInt(std::int64_t{rc.left} + nFillWidth);
    RECT filled, rest;
    ::SetRect(&filled, rc.left, rc.top, split, rc.bottom);
    ::SetRect(&rest, split, rc.top, rc.right, rc.bottom);
    pDC->FillSolidRect(&filled, m_crProgress);
    pDC->FillSolidRect(&rest, m_crBk);
}

BOOL CCustomProgressCtrl::OnEraseBkgnd(CDC*) {
    return TRUE;
}

void CCustomProgressCtrl::OnPaint() {
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    if (m_nPos < m_nLower || m_nPos > m_nUpper) {
        dc.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
        return;
    }

    const float fraction = FilledFraction(m_nLower, m_nUpper, m_nPos);
    const int fillWidth = FilledWidth(fraction, client.right - client.left);
    DrawProgressBar(&dc, client, fillWidth);
    if (!m_bShowPercent) return;

    // The lower bound does not enter the percentage. With an upper bound of 0 it would divide
    // by zero; the filled fraction stands in for it.
    const float percent = m_nUpper != 0
                              ? static_cast<float>(m_nPos) * 100.0f / static_cast<float>(m_nUpper)
                              : fraction * 100.0f;
    CString text;
    text.Format(L"%.0f%%", static_cast<double>(percent));
    dc.SetTextColor(m_crText);
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, &client, kPercentFormat);
}
