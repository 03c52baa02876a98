// Painting and the GDI functions, as the stand-in's drawing unit calls them on Windows.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdlib>

#include "win32_api.h"

namespace vplatform::win32 {

Dc StartPaint(Wnd window, tagPAINTSTRUCT* paint) {
    return ::BeginPaint(window, paint);
}

void FinishPaint(Wnd window, const tagPAINTSTRUCT* paint) {
    ::EndPaint(window, paint);
}

GdiObject StockObject(int object) {
    return ::GetStockObject(object);
}

GdiObject NewFont(const tagLOGFONTW* font) {
    return ::CreateFontIndirectW(font);
}

bool DeleteGdiObject(GdiObject object) {
    return object && ::DeleteObject(object);
}

GdiObject SelectInto(Dc dc, GdiObject object) {
    return ::SelectObject(dc, object);
}

unsigned ObjectType(GdiObject object) {
    return object ? ::GetObjectType(object) : 0;
}

int FontPixelHeight(GdiObject font) {
    LOGFONTW description{};
    if (::GetObjectW(font, sizeof description, &description) != sizeof description) return 0;
    return std::abs(description.lfHeight);
}

std::uint32_t SetTextColour(Dc dc, std::uint32_t colorref) {
    return ::SetTextColor(dc, colorref);
}

std::uint32_t TextColour(Dc dc) {
    return ::GetTextColor(dc);
}

std::uint32_t SetBackgroundColour(Dc dc, std::uint32_t colorref) {
    return ::SetBkColor(dc, colorref);
}

std::uint32_t BackgroundColour(Dc dc) {
    return ::GetBkColor(dc);
}

int SetBackgroundMode(Dc dc, int mode) {
    return ::SetBkMode(dc, mode);
}

bool TextOutAt(Dc dc, int x, int y, unsigned options, const tagRECT* rect, const wchar_t* text,
               unsigned count, const int* dx) {
    return ::ExtTextOutW(dc, x, y, options, rect, text, count, dx);
}

int DrawTextIn(Dc dc, const wchar_t* text, int count, tagRECT* rect, unsigned format) {
    return ::DrawTextW(dc, text, count, rect, format);
}

bool TextExtent(Dc dc, const wchar_t* text, int count, tagSIZE* size) {
    return ::GetTextExtentPoint32W(dc, text, count, size);
}

bool LogicalToDevice(Dc dc, tagPOINT* points, int count) {
    return ::LPtoDP(dc, points, count);
}

std::uint32_t SystemColour(int index) {
    return ::GetSysColor(index);
}

int SystemMetric(int index) {
    return ::GetSystemMetrics(index);
}

}  // namespace vplatform::win32
