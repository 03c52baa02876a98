// CCustomProgressCtrl: its state, the messages it passes on, and what it paints.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "vantrel/dialog.h"

namespace {

using vplatform::DrawOp;
using Texts = std::vector<std::wstring>;

constexpr COLORREF kMarker = 0x00ABCDEF;  // painted first; no paint may leave it anywhere
constexpr int kWidth = 200;
constexpr int kHeight = 20;

class ProgressBar : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bar_.Attach(
            vplatform::CreateWindow(vplatform::WindowKind::Progress, nullptr, 1, kWidth, kHeight)));
    }

    // Repaints the whole control over the marker colour and returns what it painted.
    struct Painted {
        vplatform::Surface surface;
        std::vector<vplatform::DrawCall> log;
        int fill = -1;  // progress-coloured pixels from the left of the top row
        Texts texts;
        bool covered = true;
        bool restIsBackground = true;  // the top row right of the fill
        int textPixels = 0;            // neither the progress nor the background colour
    };
    Painted Paint() {
        vplatform::FillSurface(bar_.m_hWnd, kMarker);
        vplatform::ClearDrawLog(bar_.m_hWnd);
        bar_.Invalidate(TRUE);
        bar_.UpdateWindow();
        Painted p;
        p.surface = vplatform::GetSurface(bar_.m_hWnd);
        p.log = vplatform::GetDrawLog(bar_.m_hWnd);
        for (COLORREF pixel : p.surface.pixels) {
            p.covered = p.covered && pixel != kMarker;
            p.textPixels += pixel != bar_.GetProgressColor() && pixel != bar_.GetBkColor();
        }
        p.fill = 0;
        while (p.fill < kWidth && p.surface.at(p.fill, 0) == bar_.GetProgressColor()) ++p.fill;
        for (const auto& call : p.log)
            if (call.op == DrawOp::DrawText) p.texts.push_back(call.text);
        for (int x = p.fill; x < kWidth; ++x)
            p.restIsBackground = p.restIsBackground && p.surface.at(x, 0) == bar_.GetBkColor();
        return p;
    }
    CCustomProgressCtrl bar_;
};

struct PaintCase {
    const char* what;
    int lower, upper, pos;
    int fill;  // of 200 pixels
    const wchar_t* text;
};

TEST_F(ProgressBar, PaintsTheFilledFractionAndThePercentage) {
    const PaintCase cases[] = {
        {"a third, truncated", 0, 3, 1, 66, L"33%"},
        {"the lower bound shifts the fill, not the text", 50, 150, 100, 100, L"67%"},
        {"at the upper bound", 0, 100, 100, 200, L"100%"},
        {"beyond 16 bits the full bounds count", 0, 100000, 50000, 100, L"50%"},
        {"equal bounds paint full", 50, 50, 50, 200, L"100%"},
        {"equal bounds at 0", 0, 0, 0, 200, L"100%"},
        {"an upper bound of 0 shows the fraction", -100, 0, -50, 100, L"50%"},
        {"an upper bound of 0 at the lower bound", -100, 0, -100, 0, L"0%"},
        {"the widest range in the middle", INT_MIN, INT_MAX, 0, 100, L"0%"},
        {"the widest range at the top", INT_MIN, INT_MAX, INT_MAX, 200, L"100%"},
    };
    for (const PaintCase& c : cases) {
        SCOPED_TRACE(c.what);
        bar_.SetRange(c.lower, c.upper);
        bar_.SetPos(c.pos);
        Painted p = Paint();
        EXPECT_TRUE(p.covered && p.restIsBackground);
        EXPECT_GT(p.textPixels, 0);
        EXPECT_EQ(p.fill, c.fill);
        ASSERT_EQ(p.texts, Texts{c.text});
        const auto& text = p.log[p.log.size() - 2];  // before EndPaint
        EXPECT_EQ(text.format, UINT{DT_CENTER | DT_VCENTER | DT_SINGLELINE});
        EXPECT_EQ(text.rect.right, kWidth);
        EXPECT_EQ(text.rect.bottom, kHeight);
        EXPECT_EQ(text.color, bar_.GetTextColor());
    }
}

TEST_F(ProgressBar, StateMessagesAndWhatTheyPaint) {
    EXPECT_EQ(Paint().texts, Texts{L"0%"});  // 0 of 0 to 100
    bar_.SetPos(60);
    bar_.SetRange(20, 80);                    // back to the lower bound
    EXPECT_EQ(Paint().texts, Texts{L"25%"});  // 20 * 100 / 80
    bar_.SetPos(40);
    bar_.ShowPercent(FALSE);
    Painted p = Paint();
    EXPECT_TRUE(p.texts.empty() && p.covered && p.textPixels == 0);
    EXPECT_EQ(p.fill, 66);  // (40 - 20) / 60 of 200
    bar_.ShowPercent(TRUE);

    // Erasing the background leaves the picture alone.
    const auto before = vplatform::GetSurface(bar_.m_hWnd).pixels;
    HDC hDC = GetDC(bar_.m_hWnd);
    SendMessage(bar_.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC));
    ReleaseDC(bar_.m_hWnd, hDC);
    EXPECT_EQ(vplatform::GetSurface(bar_.m_hWnd).pixels, before);

    // The platform control keeps 16 bits of each bound and answers the previous values.
    bar_.SetRange(0, 100000);
    EXPECT_EQ(SendMessage(bar_.m_hWnd, PBM_GETRANGE, FALSE), 100000 & 0xFFFF);
    EXPECT_EQ(bar_.SetPos(40000), 40);
    EXPECT_EQ(bar_.SetPos(95), 34464);
    EXPECT_EQ(bar_.SetStep(10), 10);

    // Outside the range: the face colour and no text, whatever the bar's colours.
    bar_.SetRange(0, 100);
    bar_.SetBkColor(RGB(0, 0, 255));
    bar_.SetPos(95);
    EXPECT_EQ(bar_.StepIt(), 95);  // no wrap-around at the upper bound
    for (int pos : {105, -1}) {
        if (pos < 0) bar_.SetPos(pos);
        p = Paint();
        EXPECT_TRUE(p.texts.empty()) << pos;
        for (COLORREF pixel : p.surface.pixels) ASSERT_EQ(pixel, GetSysColor(COLOR_BTNFACE)) << pos;
    }
}

}  // namespace
