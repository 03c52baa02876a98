// Drawing into window surfaces: exact fills, text with the built-in font and fixed font
// metrics. The progress bar's tests read the drawing log; the command's progress tests check
// the PNG output.
#include <gtest/gtest.h>

#include <string>

#include "vantrel_platform/controls.h"
#include "vantrel_platform/gdi.h"

namespace {

using vplatform::WindowKind;

class Drawing : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = vplatform::CreateWindow(WindowKind::Generic, nullptr, 0, 40, 20);
        vplatform::FillSurface(window_, kMarker);
    }
    void TearDown() override {
        DestroyWindow(window_);
        EXPECT_EQ(vplatform::CountDeviceContexts(), 0);
    }
    int Count(COLORREF color) const {
        int n = 0;
        for (COLORREF pixel : vplatform::GetSurface(window_).pixels) n += pixel == color;
        return n;
    }
    static constexpr COLORREF kMarker = 0x123456;
    HWND window_ = nullptr;
};

TEST_F(Drawing, FillsAreExactAndClippedToTheClientArea) {
    HDC hDC = GetDC(window_);
    CDC* dc = CDC::FromHandle(hDC);
    RECT inside{2, 3, 7, 5};
    dc->FillSolidRect(&inside, 0x0000FF);
    RECT overlapping{-5, 18, 100, 100};
    dc->FillSolidRect(&overlapping, 0x00FF00);
    RECT empty{10, 10, 5, 12};
    dc->FillSolidRect(&empty, 0xFF0000);
    EXPECT_EQ(dc->GetBkColor(), 0xFF0000u);  // a fill sets the background colour
    ReleaseDC(window_, hDC);

    auto surface = vplatform::GetSurface(window_);
    EXPECT_EQ(Count(0x0000FF), 5 * 2);
    EXPECT_EQ(surface.at(2, 3), 0x0000FFu);
    EXPECT_EQ(surface.at(6, 4), 0x0000FFu);
    EXPECT_EQ(surface.at(7, 4), kMarker);
    EXPECT_EQ(Count(0x00FF00), 40 * 2);
    EXPECT_EQ(Count(0xFF0000), 0);
}

TEST_F(Drawing, FontMetricsFollowThePixelHeight) {
    struct Case {
        LONG height;
        LONG advance;
        LONG line;
    };
    HDC hDC = GetDC(window_);
    for (const Case& c : {Case{0, 12, 16}, Case{-8, 6, 8}, Case{7, 6, 8}, Case{-20, 12, 16},
                          Case{24, 18, 24}, Case{-1000000, 3072, 4096}}) {
        LOGFONTW lf{};
        lf.lfHeight = c.height;
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        HGDIOBJ previous = SelectObject(hDC, font.m_hObject);
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32W(hDC, L"abcde", 5, &size));
        EXPECT_EQ(size.cx, 5 * c.advance) << c.height;
        EXPECT_EQ(size.cy, c.line) << c.height;
        EXPECT_FALSE(DeleteObject(font.m_hObject)) << "a selected font is not deleted";
        SelectObject(hDC, previous);
    }
    SIZE size{};
    GetTextExtentPoint32W(hDC, L"ab", 2, &size);  // the system font again
    EXPECT_EQ(size.cx, 24);
    ReleaseDC(window_, hDC);
}

TEST_F(Drawing, TextIsPlacedByTheFormatAndDrawnInTheTextColour) {
    HDC hDC = GetDC(window_);
    CDC* dc = CDC::FromHandle(hDC);
    dc->SelectStockObject(DEFAULT_GUI_FONT);  // 6 by 8 cells
    dc->SetTextColor(0x0000FF);
    dc->SetBkMode(TRANSPARENT);
    RECT client{0, 0, 40, 20};
    EXPECT_EQ(dc->DrawText(CString(L"|"), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 8);
    // A 6-pixel cell centred in 40 starts at 17; the bar is its middle column, 19, and
    // seven rows from (20 - 8) / 2 = 6.
    auto surface = vplatform::GetSurface(window_);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(surface.at(x, y) == 0x0000FF, x == 19 && y >= 6 && y < 13) << x << "," << y;

    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(0x00FF00);
    RECT right{0, 0, 40, 20};
    dc->DrawText(L"ab", -1, &right, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(vplatform::GetSurface(window_).at(28, 12), 0x00FF00u);  // the cell's background
    EXPECT_EQ(vplatform::GetSurface(window_).at(27, 12), kMarker);
    ReleaseDC(window_, hDC);
}

}  // namespace
