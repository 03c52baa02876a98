// Drawing on Windows: the stand-in's device-context and GDI functions over the real GDI, the
// drawing log they keep, and the windows' pixel surfaces.
#include <cwchar>
#include <map>
#include <set>
#include <utility>

#include "../window_system.h"
#include "win32_api.h"

static_assert(sizeof(POINT) == vplatform::win32::kPointSize &&
              sizeof(SIZE) == vplatform::win32::kSizeSize &&
              sizeof(PAINTSTRUCT) == vplatform::win32::kPaintStructSize &&
              sizeof(LOGFONTW) == vplatform::win32::kLogFontSize);

namespace win32 = vplatform::win32;
using vplatform::DrawCall;
using vplatform::DrawOp;

namespace {

struct DeviceContext {
    HWND window = nullptr;
    bool printing = false;  // WM_PRINTCLIENT's context, which BeginPaint only borrows
};

struct Drawing {
    std::map<HDC, DeviceContext> contexts;
    std::map<HWND, std::vector<DrawCall>> logs;
    std::set<HWND> withoutContexts;
};

// Never destroyed, like the handle maps.
Drawing& State() {
    static auto* drawing = new Drawing;
    return *drawing;
}

const DeviceContext* FindContext(HDC hDC) {
    auto found = State().contexts.find(hDC);
    return found == State().contexts.end() ? nullptr : &found->second;
}

void AddContext(HDC hDC, HWND hWnd, bool printing) {
    State().contexts[hDC] = DeviceContext{hWnd, printing};
}

void DropContext(HDC hDC) {
    vplatform::detail::ForgetDeviceContext(hDC);
    State().contexts.erase(hDC);
}

DrawCall Call(DrawOp op, const RECT& rect = RECT{}, COLORREF color = 0) {
    DrawCall call;
    call.op = op;
    call.rect = rect;
    call.color = color;
    return call;
}

void Log(HDC hDC, DrawCall call) {
    if (const DeviceContext* context = FindContext(hDC))
        State().logs[context->window].push_back(std::move(call));
}

// The stand-in's records have the layout of Win32's (checked above).
const tagRECT* Win32(const RECT* rect) {
    return reinterpret_cast<const tagRECT*>(rect);
}
tagRECT* Win32(RECT* rect) {
    return reinterpret_cast<tagRECT*>(rect);
}
tagPOINT* Win32(POINT* points) {
    return reinterpret_cast<tagPOINT*>(points);
}
tagSIZE* Win32(SIZE* size) {
    return reinterpret_cast<tagSIZE*>(size);
}
tagPAINTSTRUCT* Win32(PAINTSTRUCT* paint) {
    return reinterpret_cast<tagPAINTSTRUCT*>(paint);
}
const tagPAINTSTRUCT* Win32(const PAINTSTRUCT* paint) {
    return reinterpret_cast<const tagPAINTSTRUCT*>(paint);
}
const tagLOGFONTW* Win32(const LOGFONTW* font) {
    return reinterpret_cast<const tagLOGFONTW*>(font);
}

}  // namespace

namespace vplatform::detail {

bool IsDeviceContext(HDC hDC) {
    return FindContext(hDC) != nullptr;
}

UINT GdiObjectType(HGDIOBJ object) {
    return win32::ObjectType(object);
}

void ForgetWindowDrawing(HWND hWnd) {
    std::vector<HDC> owned;
    for (const auto& [hDC, context] : State().contexts)
        if (context.window == hWnd) owned.push_back(hDC);
    for (HDC hDC : owned) DropContext(hDC);
    State().logs.erase(hWnd);
    State().withoutContexts.erase(hWnd);
}

}  // namespace vplatform::detail

// ---------------------------------------------------------------------------------------------
// Device contexts

HDC GetDC(HWND hWnd) {
    if (!IsWindow(hWnd) || State().withoutContexts.count(hWnd)) return nullptr;
    HDC hDC = win32::WindowDc(hWnd);
    if (hDC) AddContext(hDC, hWnd, false);
    return hDC;
}

int ReleaseDC(HWND hWnd, HDC hDC) {
    const DeviceContext* context = FindContext(hDC);
    if (!context || context->window != hWnd) return 0;
    DropContext(hDC);
    return win32::ReleaseWindowDc(hWnd, hDC) ? 1 : 0;
}

// Within WM_PRINTCLIENT the window paints into the context it gave, and its update region
// stays as it was.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* paint) {
    if (!IsWindow(hWnd) || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    HDC hDC = vplatform::detail::PrintTarget(hWnd);
    const bool printing = hDC != nullptr;
    if (printing) {
        GetClientRect(hWnd, &paint->rcPaint);
        paint->hdc = hDC;
    } else {
        hDC = win32::StartPaint(hWnd, Win32(paint));
    }
    if (!hDC || State().withoutContexts.count(hWnd)) {
        if (hDC && !printing) win32::FinishPaint(hWnd, Win32(paint));
        paint->hdc = nullptr;
        return nullptr;
    }
    AddContext(hDC, hWnd, printing);
    Log(hDC, Call(DrawOp::BeginPaint, paint->rcPaint));
    return hDC;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    const DeviceContext* context = FindContext(paint->hdc);
    if (!context || context->window != hWnd) return TRUE;
    const bool printing = context->printing;
    Log(paint->hdc, Call(DrawOp::EndPaint));
    DropContext(paint->hdc);
    if (!printing) win32::FinishPaint(hWnd, Win32(paint));
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Fonts and other GDI objects

HGDIOBJ GetStockObject(int object) {
    return static_cast<HGDIOBJ>(win32::StockObject(object));
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    return font ? static_cast<HFONT>(win32::NewFont(Win32(font))) : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!win32::DeleteGdiObject(object)) return FALSE;
    vplatform::detail::ForgetGdiObject(object);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object) {
    auto previous = static_cast<HGDIOBJ>(win32::SelectInto(hDC, object));
    if (!previous) return nullptr;
    DrawCall call = Call(DrawOp::SelectFont);
    call.object = object;
    Log(hDC, std::move(call));
    return previous;
}

int CFont::GetPixelHeight() const {
    return m_hObject ? win32::FontPixelHeight(m_hObject) : 0;
}

// ---------------------------------------------------------------------------------------------
// Drawing state

COLORREF SetTextColor(HDC hDC, COLORREF color) {
    COLORREF previous = win32::SetTextColour(hDC, color);
    Log(hDC, Call(DrawOp::SetTextColor, RECT{}, color));
    return previous;
}

COLORREF GetTextColor(HDC hDC) {
    return win32::TextColour(hDC);
}

COLORREF SetBkColor(HDC hDC, COLORREF color) {
    COLORREF previous = win32::SetBackgroundColour(hDC, color);
    Log(hDC, Call(DrawOp::SetBkColor, RECT{}, color));
    return previous;
}

COLORREF GetBkColor(HDC hDC) {
    return win32::BackgroundColour(hDC);
}

int SetBkMode(HDC hDC, int mode) {
    int previous = win32::SetBackgroundMode(hDC, mode);
    if (!previous) return 0;
    DrawCall call = Call(DrawOp::SetBkMode);
    call.value = mode;
    Log(hDC, std::move(call));
    return previous;
}

// ---------------------------------------------------------------------------------------------
// Drawing

BOOL ExtTextOutW(HDC hDC, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* dx) {
    if (!win32::TextOutAt(hDC, x, y, options, Win32(rect), text, count, dx)) return FALSE;
    if ((options & ETO_OPAQUE) && rect) Log(hDC, Call(DrawOp::Fill, *rect, GetBkColor(hDC)));
    if (text && count > 0) {
        DrawCall call = Call(DrawOp::DrawText, RECT{x, y, x, y}, GetTextColor(hDC));
        call.text.assign(text, count);
        Log(hDC, std::move(call));
    }
    return TRUE;
}

int DrawTextW(HDC hDC, LPCWSTR text, int count, LPRECT rect, UINT format) {
    if (!text || !rect) return 0;
    if (count < 0) count = static_cast<int>(std::wcslen(text));
    const RECT given = *rect;
    const int height = win32::DrawTextIn(hDC, text, count, Win32(rect), format);
    if (height == 0 || (format & DT_CALCRECT)) return height;
    DrawCall call = Call(DrawOp::DrawText, given, GetTextColor(hDC));
    call.format = format;
    call.text.assign(text, static_cast<size_t>(count));
    Log(hDC, std::move(call));
    return height;
}

BOOL GetTextExtentPoint32W(HDC hDC, LPCWSTR text, int count, SIZE* size) {
    return size && win32::TextExtent(hDC, text, count, Win32(size));
}

BOOL LPtoDP(HDC hDC, POINT* points, int count) {
    return win32::LogicalToDevice(hDC, Win32(points), count);
}

// ---------------------------------------------------------------------------------------------
// System colours and metrics

COLORREF GetSysColor(int index) {
    return win32::SystemColour(index);
}

int GetSystemMetrics(int index) {
    return win32::SystemMetric(index);
}

// ---------------------------------------------------------------------------------------------
// Observing

namespace vplatform {

std::vector<DrawCall> GetDrawLog(HWND hWnd) {
    auto found = State().logs.find(hWnd);
    return found == State().logs.end() ? std::vector<DrawCall>{} : found->second;
}

void ClearDrawLog(HWND hWnd) {
    State().logs.erase(hWnd);
}

// The window drawn into its surface now (WM_PRINTCLIENT), and the surface's pixels.
Surface GetSurface(HWND hWnd) {
    if (!IsWindow(hWnd)) return {};
    win32::RenderSurface(hWnd);
    Surface surface;
    win32::ReadSurface(hWnd, &surface.width, &surface.height, &surface.pixels);
    return surface;
}

void FillSurface(HWND hWnd, COLORREF color) {
    if (IsWindow(hWnd)) win32::FillSurface(hWnd, color);
}

void SetDeviceContextsAvailable(HWND hWnd, BOOL available) {
    if (available)
        State().withoutContexts.erase(hWnd);
    else if (IsWindow(hWnd))
        State().withoutContexts.insert(hWnd);
}

int CountDeviceContexts() {
    return static_cast<int>(State().contexts.size());
}

}  // namespace vplatform
