// Drawing into window surfaces: exact fills, and on the headless system text with its built-in
// font and fixed font metrics (Windows draws with the system's fonts, whose metrics are the
// fonts' own). The progress bar's tests read the drawing log and the pixels; the command's
// progress tests check the PNG output.
#include <gtest/gtest.h>

#include <string>

#include "vantrel_platform/controls.h"
#include "vantrel_platform/gdi.h"

namespace {

using vplatform::WindowKind;

// A 40 by 20 window painted in the marker colour, and a device context for it.
class Drawing : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = vplatform::CreateWindow(WindowKind::Generic, nullptr, 0, 40, 20);
        vplatform::FillSurface(window_, kMarker);
        hDC_ = GetDC(window_);
        dc_ = CDC::FromHandle(hDC_);
    }
    void TearDown() override {
        ReleaseDC(window_, hDC_);
        DestroyWindow(window_);
        EXPECT_EQ(vplatform::CountDeviceContexts(), 0);
    }
    COLORREF At(int x, int y) const { return vplatform::GetSurface(window_).at(x, y); }
    int Count(COLORREF color) const {
        int n = 0;
        for (COLORREF pixel : vplatform::GetSurface(window_).pixels) n += pixel == color;
        return n;
    }
    static constexpr COLORREF kMarker = 0x123456;
    HWND window_ = nullptr;
    HDC hDC_ = nullptr;
    CDC* dc_ = nullptr;
};

TEST_F(Drawing, FillsAreExactAndClippedToTheClientArea) {
    RECT inside{2, 3, 7, 5}, overlapping{-5, 18, 100, 100}, empty{10, 10, 10, 12};
    dc_->FillSolidRect(&inside, 0x0000FF);
    dc_->FillSolidRect(&overlapping, 0x00FF00);
    dc_->FillSolidRect(&empty, 0xFF0000);
    EXPECT_EQ(dc_->GetBkColor(), 0xFF0000u);  // a fill sets the background colour
    EXPECT_EQ(Count(0x0000FF), 5 * 2);
    EXPECT_EQ(At(2, 3), 0x0000FFu);
    EXPECT_EQ(At(6, 4), 0x0000FFu);
    EXPECT_EQ(At(7, 4), kMarker);
    EXPECT_EQ(Count(0x00FF00), 40 * 2);
    EXPECT_EQ(Count(0xFF0000), 0);
}

#ifndef _WIN32
TEST_F(Drawing, FontMetricsFollowThePixelHeight) {
    struct Case {
        LONG height;
        LONG advance;
        LONG line;
    };
    for (const Case& c : {Case{0, 12, 16}, Case{-8, 6, 8}, Case{7, 6, 8}, Case{-20, 12, 16},
                          Case{24, 18, 24}, Case{-1000000, 3072, 4096}}) {
        LOGFONTW lf{};
        lf.lfHeight = c.height;
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        HGDIOBJ previous = SelectObject(hDC_, font.m_hObject);
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32W(hDC_, L"abcde", 5, &size));
        EXPECT_EQ(size.cx, 5 * c.advance) << c.height;
        EXPECT_EQ(size.cy, c.line) << c.height;
        EXPECT_FALSE(DeleteObject(font.m_hObject)) << "a selected font is not deleted";
        SelectObject(hDC_, previous);
    }
    SIZE size{};
    GetTextExtentPoint32W(hDC_, L"ab", 2, &size);  // the system font again
    EXPECT_EQ(size.cx, 24);
}

TEST_F(Drawing, TextIsPlacedByTheFormatAndDrawnInTheTextColour) {
    dc_->SelectStockObject(DEFAULT_GUI_FONT);  // 6 by 8 cells
    dc_->SetTextColor(0x0000FF);
    dc_->SetBkMode(TRANSPARENT);
    RECT client{0, 0, 40, 20};
    EXPECT_EQ(dc_->DrawText(CString(L"|"), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 8);
    // A 6-pixel cell centred in 40 starts at 17; the bar is its middle column, 19, and
    // seven rows from (20 - 8) / 2 = 6.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(At(x, y) == 0x0000FF, x == 19 && y >= 6 && y < 13) << x << "," << y;

    dc_->SetBkMode(OPAQUE);
    dc_->SetBkColor(0x00FF00);
    dc_->DrawText(L"ab", -1, &client, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(At(28, 12), 0x00FF00u);  // the cell's background
    EXPECT_EQ(At(27, 12), kMarker);
}
#endif

}  // namespace
