// The headless window system's drawing: device contexts, fonts, drawing into the window
// surfaces, system colours and metrics.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <limits>
#include <map>

#include "bitmap_font.h"
#include "window_registry.h"

namespace vplatform::detail {

namespace {

constexpr int kDefaultFontHeight = 16;
constexpr int kMaxFontHeight = 4096;

struct DeviceContext {
    HWND window = nullptr;
    HGDIOBJ font = nullptr;
    COLORREF text = 0x000000;
    COLORREF background = 0xFFFFFF;
    int mode = OPAQUE;
};

struct Font {
    int height = kDefaultFontHeight;
    bool stock = false;
};

struct Gdi {
    std::map<HDC, std::unique_ptr<DeviceContext>> contexts;
    std::map<HGDIOBJ, std::unique_ptr<Font>> fonts;
    std::uintptr_t lastContext = 0x20000000;
    std::uintptr_t lastObject = 0x30000000;
    HGDIOBJ systemFont = nullptr;
    HGDIOBJ guiFont = nullptr;

    HGDIOBJ AddFont(int height, bool stock) {
        lastObject += 0x10;
        auto handle = reinterpret_cast<HGDIOBJ>(lastObject);
        auto font = std::make_unique<Font>();
        font->height = height;
        font->stock = stock;
        fonts.emplace(handle, std::move(font));
        return handle;
    }

    Gdi() {
        systemFont = AddFont(16, true);
        guiFont = AddFont(8, true);
    }
};

// Never destroyed, like the window registry.
Gdi& GdiState() {
    static Gdi* instance = new Gdi;
    return *instance;
}

DeviceContext* FindContext(HDC hDC) {
    if (!hDC) return nullptr;
    auto& contexts = GdiState().contexts;
    auto found = contexts.find(hDC);
    return found == contexts.end() ? nullptr : found->second.get();
}

Font* FindFont(HGDIOBJ handle) {
    if (!handle) return nullptr;
    auto& fonts = GdiState().fonts;
    auto found = fonts.find(handle);
    return found == fonts.end() ? nullptr : found->second.get();
}

HDC NewContext(HWND hWnd) {
    auto& g = GdiState();
    g.lastContext += 0x10;
    auto handle = reinterpret_cast<HDC>(g.lastContext);
    auto context = std::make_unique<DeviceContext>();
    context->window = hWnd;
    context->font = g.systemFont;
    g.contexts.emplace(handle, std::move(context));
    return handle;
}

void DropContext(HDC hDC) {
    auto& contexts = GdiState().contexts;
    auto found = contexts.find(hDC);
    if (found == contexts.end()) return;
    ForgetDeviceContext(hDC);
    contexts.erase(found);
}

struct Metrics {
    int advance;
    int lineHeight;
    int scale;
};

Metrics FontMetrics(HGDIOBJ handle) {
    const Font* font = FindFont(handle);
    int height = font ? font->height : kDefaultFontHeight;
    int scale = std::max(1, height / kCellHeight);
    return {kCellWidth * scale, kCellHeight * scale, scale};
}

// The window a device context draws on, or null when either is gone.
WindowRecord* TargetWindow(const DeviceContext& context) {
    return FindWindowRecord(context.window);
}

DrawCall Call(DrawOp op, const RECT& rect = RECT{}, COLORREF color = 0) {
    DrawCall call;
    call.op = op;
    call.rect = rect;
    call.color = color;
    return call;
}

void Log(const DeviceContext& context, DrawCall call) {
    if (WindowRecord* window = TargetWindow(context)) window->log.push_back(std::move(call));
}

struct Box {  // half-open, 64-bit so that no sum of coordinates overflows
    std::int64_t left, top, right, bottom;
};

Box Intersect(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Box ToBox(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

Box ClientBox(const WindowRecord& window) {
    return {0, 0, window.width, window.height};
}

void FillBox(WindowRecord& window, const Box& box, COLORREF color) {
    Box clipped = Intersect(box, ClientBox(window));
    for (std::int64_t y = clipped.top; y < clipped.bottom; ++y)
        std::fill_n(window.pixels.begin() + y * window.width + clipped.left,
                    std::max<std::int64_t>(clipped.right - clipped.left, 0), color);
}

void DrawGlyphs(WindowRecord& window, std::int64_t x, std::int64_t y, const wchar_t* text,
                int count, int scale, COLORREF color, const Box& clip) {
    for (int i = 0; i < count; ++i, x += std::int64_t{kCellWidth} * scale) {
        const std::uint8_t* rows = GlyphRows(text[i]);
        for (int row = 0; row < kGlyphRows; ++row)
            for (int column = 0; column < kGlyphColumns; ++column) {
                if (!(rows[row] & (0x10 >> column))) continue;
                Box dot{x + column * scale, y + row * scale, x + (column + 1) * scale,
                        y + (row + 1) * scale};
                FillBox(window, Intersect(dot, clip), color);
            }
    }
}

}  // namespace

bool IsDeviceContext(HDC hDC) {
    return FindContext(hDC) != nullptr;
}

// Fonts are the only GDI objects here.
UINT GdiObjectType(HGDIOBJ object) {
    return FindFont(object) ? OBJ_FONT : 0;
}

void ForgetWindowDeviceContexts(HWND hWnd) {
    std::vector<HDC> owned;
    for (const auto& [handle, context] : GdiState().contexts)
        if (context->window == hWnd) owned.push_back(handle);
    for (HDC handle : owned) DropContext(handle);
}

}  // namespace vplatform::detail

using namespace vplatform::detail;
using vplatform::DrawCall;
using vplatform::DrawOp;

// ---------------------------------------------------------------------------------------------
// Device contexts

HDC GetDC(HWND hWnd) {
    const WindowRecord* window = FindWindowRecord(hWnd);
    if (!window || !window->dcAvailable) return nullptr;
    return NewContext(hWnd);
}

int ReleaseDC(HWND hWnd, HDC hDC) {
    const DeviceContext* context = FindContext(hDC);
    if (!context || context->window != hWnd) return 0;
    DropContext(hDC);
    return 1;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* paint) {
    WindowRecord* window = FindWindowRecord(hWnd);
    if (!window || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    bool erase = window->erase;
    window->invalid = window->erase = false;
    paint->rcPaint = RECT{0, 0, window->width, window->height};
    if (!window->dcAvailable) return nullptr;
    HDC hDC = NewContext(hWnd);
    paint->hdc = hDC;
    Log(*FindContext(hDC), Call(DrawOp::BeginPaint, paint->rcPaint));
    if (erase)
        paint->fErase = SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0) == 0;
    return hDC;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    const DeviceContext* context = FindContext(paint->hdc);
    if (!context || context->window != hWnd) return TRUE;
    Log(*context, Call(DrawOp::EndPaint));
    DropContext(paint->hdc);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Fonts

HGDIOBJ GetStockObject(int object) {
    switch (object) {
        case SYSTEM_FONT:
            return GdiState().systemFont;
        case DEFAULT_GUI_FONT:
            return GdiState().guiFont;
        default:
            return nullptr;
    }
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) return nullptr;
    std::int64_t height = std::abs(std::int64_t{font->lfHeight});
    if (height == 0) height = kDefaultFontHeight;
    height = std::min<std::int64_t>(height, kMaxFontHeight);
    return reinterpret_cast<HFONT>(GdiState().AddFont(static_cast<int>(height), false));
}

BOOL DeleteObject(HGDIOBJ object) {
    auto& g = GdiState();
    auto found = g.fonts.find(object);
    if (found == g.fonts.end() || found->second->stock) return FALSE;
    for (const auto& entry : g.contexts)
        if (entry.second->font == object) return FALSE;  // still selected
    ForgetGdiObject(object);
    g.fonts.erase(found);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object) {
    DeviceContext* context = FindContext(hDC);
    if (!context || !FindFont(object)) return nullptr;
    HGDIOBJ previous = context->font;
    context->font = object;
    DrawCall call = Call(DrawOp::SelectFont);
    call.object = object;
    Log(*context, std::move(call));
    return previous;
}

// ---------------------------------------------------------------------------------------------
// Drawing state

COLORREF SetTextColor(HDC hDC, COLORREF color) {
    DeviceContext* context = FindContext(hDC);
    if (!context) return 0;
    COLORREF previous = context->text;
    context->text = color;
    DrawCall call = Call(DrawOp::SetTextColor);
    call.color = color;
    Log(*context, std::move(call));
    return previous;
}

COLORREF GetTextColor(HDC hDC) {
    const DeviceContext* context = FindContext(hDC);
    return context ? context->text : 0;
}

COLORREF SetBkColor(HDC hDC, COLORREF color) {
    DeviceContext* context = FindContext(hDC);
    if (!context) return 0;
    COLORREF previous = context->background;
    context->background = color;
    DrawCall call = Call(DrawOp::SetBkColor);
    call.color = color;
    Log(*context, std::move(call));
    return previous;
}

COLORREF GetBkColor(HDC hDC) {
    const DeviceContext* context = FindContext(hDC);
    return context ? context->background : 0;
}

int SetBkMode(HDC hDC, int mode) {
    DeviceContext* context = FindContext(hDC);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = context->mode;
    context->mode = mode;
    DrawCall call = Call(DrawOp::SetBkMode);
    call.value = mode;
    Log(*context, std::move(call));
    return previous;
}

// ---------------------------------------------------------------------------------------------
// Drawing

BOOL ExtTextOutW(HDC hDC, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int*) {
    const DeviceContext* context = FindContext(hDC);
    if (!context) return FALSE;
    if ((options & ETO_OPAQUE) && rect) {
        if (WindowRecord* window = TargetWindow(*context))
            FillBox(*window, ToBox(*rect), context->background);
        DrawCall call = Call(DrawOp::Fill, *rect);
        call.color = context->background;
        Log(*context, std::move(call));
    }
    if (text && count > 0) {
        int length = static_cast<int>(std::min<UINT>(count, std::numeric_limits<int>::max()));
        Metrics m = FontMetrics(context->font);
        if (WindowRecord* window = TargetWindow(*context))
            DrawGlyphs(*window, x, y, text, length, m.scale, context->text, ClientBox(*window));
        DrawCall call = Call(DrawOp::DrawText);
        call.rect = RECT{x, y, x, y};
        call.color = context->text;
        call.text.assign(text, static_cast<size_t>(length));
        Log(*context, std::move(call));
    }
    return TRUE;
}

int DrawTextW(HDC hDC, LPCWSTR text, int count, LPRECT rect, UINT format) {
    const DeviceContext* context = FindContext(hDC);
    if (!context || !text || !rect) return 0;
    if (count < 0) count = static_cast<int>(std::wcslen(text));
    Metrics m = FontMetrics(context->font);
    const std::int64_t width = std::int64_t{count} * m.advance;
    if (format & DT_CALCRECT) {
        rect->right = static_cast<LONG>(
            std::min<std::int64_t>(rect->left + width, std::numeric_limits<LONG>::max()));
        rect->bottom = static_cast<LONG>(std::min<std::int64_t>(
            std::int64_t{rect->top} + m.lineHeight, std::numeric_limits<LONG>::max()));
        return m.lineHeight;
    }
    const Box box = ToBox(*rect);
    std::int64_t x = box.left, y = box.top;
    if (format & DT_CENTER)
        x = box.left + (box.right - box.left - width) / 2;
    else if (format & DT_RIGHT)
        x = box.right - width;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = box.top + (box.bottom - box.top - m.lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = box.bottom - m.lineHeight;
    }
    if (WindowRecord* window = TargetWindow(*context)) {
        Box clip = (format & DT_NOCLIP) ? ClientBox(*window) : Intersect(box, ClientBox(*window));
        if (context->mode == OPAQUE)
            FillBox(*window, Intersect(Box{x, y, x + width, y + m.lineHeight}, clip),
                    context->background);
        DrawGlyphs(*window, x, y, text, count, m.scale, context->text, clip);
    }
    DrawCall call = Call(DrawOp::DrawText, *rect);
    call.color = context->text;
    call.format = format;
    call.text.assign(text, static_cast<size_t>(count));
    Log(*context, std::move(call));
    return m.lineHeight;
}

BOOL GetTextExtentPoint32W(HDC hDC, LPCWSTR text, int count, SIZE* size) {
    const DeviceContext* context = FindContext(hDC);
    if (!context || !size || count < 0 || (!text && count > 0)) return FALSE;
    Metrics m = FontMetrics(context->font);
    size->cx = static_cast<LONG>(
        std::min<std::int64_t>(std::int64_t{count} * m.advance, std::numeric_limits<LONG>::max()));
    size->cy = m.lineHeight;
    return TRUE;
}

BOOL LPtoDP(HDC hDC, POINT* points, int count) {
    return FindContext(hDC) && (points || count <= 0) ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------------------------
// System colours and metrics

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        default:
            return RGB(0, 0, 0);
    }
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXVSCROLL:
            return 17;
        case SM_CXEDGE:
            return 2;
        default:
            return 0;
    }
}

int CFont::GetPixelHeight() const {
    const Font* font = FindFont(m_hObject);
    return font ? font->height : 0;
}

// ---------------------------------------------------------------------------------------------
// Observing

namespace vplatform {

std::vector<DrawCall> GetDrawLog(HWND hWnd) {
    const WindowRecord* window = FindWindowRecord(hWnd);
    return window ? window->log : std::vector<DrawCall>{};
}

void ClearDrawLog(HWND hWnd) {
    if (WindowRecord* window = FindWindowRecord(hWnd)) window->log.clear();
}

Surface GetSurface(HWND hWnd) {
    const WindowRecord* window = FindWindowRecord(hWnd);
    if (!window) return {};
    return Surface{window->width, window->height, window->pixels};
}

void FillSurface(HWND hWnd, COLORREF color) {
    if (WindowRecord* window = FindWindowRecord(hWnd))
        std::fill(window->pixels.begin(), window->pixels.end(), color);
}

void SetDeviceContextsAvailable(HWND hWnd, BOOL available) {
    if (WindowRecord* window = FindWindowRecord(hWnd)) window->dcAvailable = available != FALSE;
}

int CountDeviceContexts() {
    return static_cast<int>(GdiState().contexts.size());
}

}  // namespace vplatform
