// The Win32 calls of the window system on Windows (internal to the platform library).
//
// The stand-in's own units cannot include <windows.h>: its names and types clash with the
// stand-in headers'. They reach Win32 through these functions instead, which name only the
// handle types both sides declare alike (HWND__, HDC__), plain integers and pointers to the
// Win32 records by their tags; win32_windows.cpp and win32_gdi.cpp implement them over
// <windows.h>. The stand-in's RECT, POINT, SIZE, PAINTSTRUCT and LOGFONTW have the layout of
// Win32's: both sides check the sizes below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct HWND__;
struct HDC__;
struct tagRECT;
struct tagPOINT;
struct tagSIZE;
struct tagPAINTSTRUCT;
struct tagLOGFONTW;

namespace vplatform::win32 {

using Wnd = HWND__*;
using Dc = HDC__*;
using GdiObject = void*;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;  // and LRESULT

constexpr std::size_t kRectSize = 16;
constexpr std::size_t kPointSize = 8;
constexpr std::size_t kSizeSize = 8;
constexpr std::size_t kPaintStructSize = 72;
constexpr std::size_t kLogFontSize = 92;

// The stand-in's control kinds, numbered as vplatform::WindowKind numbers them.
enum Kind : int { kGeneric, kDialog, kEdit, kComboBox, kProgress };

// ---------------------------------------------------------------------------------------------
// Windows (win32_windows.cpp)

// A new window of `kind` with a client area of `width` by `height` pixels, child of `parent`
// (a hidden pop-up window when null): Generic and Dialog windows are of the platform's own
// class, which keeps its client area in a pixel surface; Edit, ComboBox and Progress windows
// are the system's EDIT, COMBOBOX (a drop-down list) and progress controls. The window gets the
// platform's window procedure (Hook). Null when the system refuses.
Wnd CreateKindWindow(Kind kind, Wnd parent, int id, int width, int height, unsigned style,
                     const wchar_t* text);
// The kind of a window by its class (kGeneric for another class or a stale handle).
Kind KindOf(Wnd window);

// Gives a window of the calling thread the platform's window procedure, once: it hands the
// window's messages to RouteMessage (WM_PRINTCLIENT to RoutePrint) and reports WM_NCDESTROY to
// WindowDestroyed.
void Hook(Wnd window);
// The window's own procedure: that of its class, or the one Hook replaced.
LParam CallOwnProcedure(Wnd window, unsigned message, WParam wParam, LParam lParam);
// The window's own procedure drawing its client area into `dc` (WM_PRINTCLIENT).
LParam PrintOwn(Wnd window, Dc dc);

LParam Send(Wnd window, unsigned message, WParam wParam, LParam lParam);
bool IsLiveWindow(Wnd window);
Wnd ParentOf(Wnd window);
Wnd ChildWithId(Wnd dialog, int id);
int IdOf(Wnd window);
bool ClientRectOf(Wnd window, tagRECT* rect);
bool Invalidate(Wnd window, const tagRECT* rect, bool erase);
bool Update(Wnd window);
Wnd Focus(Wnd window);
Wnd FocusedWindow();
bool Destroy(Wnd window);
int ShowMessageBox(Wnd owner, const wchar_t* text, const wchar_t* caption, unsigned type);

// Each window has a pixel surface, a 32-bit DIB section of its client size made when first
// needed. A window of the platform's own class draws straight into it; any window is drawn
// into it by RenderSurface.

// GetDC, except for a window of the platform's own class: its surface's device context, with
// its state saved (null while it is lent already).
Dc WindowDc(Wnd window);
// ReleaseDC, or for the surface's context the state restored.
bool ReleaseWindowDc(Wnd window, Dc dc);
// Sends the window WM_PRINTCLIENT with the surface's device context.
void RenderSurface(Wnd window);
// The surface's pixels as COLORREF values, row by row from the top left.
void ReadSurface(Wnd window, int* width, int* height, std::vector<std::uint32_t>* pixels);
void FillSurface(Wnd window, std::uint32_t colorref);

// ---------------------------------------------------------------------------------------------
// Drawing (win32_gdi.cpp): BeginPaint, EndPaint and the GDI functions of the same names.

Dc StartPaint(Wnd window, tagPAINTSTRUCT* paint);
void FinishPaint(Wnd window, const tagPAINTSTRUCT* paint);
GdiObject StockObject(int object);
GdiObject NewFont(const tagLOGFONTW* font);
bool DeleteGdiObject(GdiObject object);
GdiObject SelectInto(Dc dc, GdiObject object);
unsigned ObjectType(GdiObject object);
int FontPixelHeight(GdiObject font);
std::uint32_t SetTextColour(Dc dc, std::uint32_t colorref);
std::uint32_t TextColour(Dc dc);
std::uint32_t SetBackgroundColour(Dc dc, std::uint32_t colorref);
std::uint32_t BackgroundColour(Dc dc);
int SetBackgroundMode(Dc dc, int mode);
bool TextOutAt(Dc dc, int x, int y, unsigned options, const tagRECT* rect, const wchar_t* text,
               unsigned count, const int* dx);
int DrawTextIn(Dc dc, const wchar_t* text, int count, tagRECT* rect, unsigned format);
bool TextExtent(Dc dc, const wchar_t* text, int count, tagSIZE* size);
bool LogicalToDevice(Dc dc, tagPOINT* points, int count);
std::uint32_t SystemColour(int index);
int SystemMetric(int index);

}  // namespace vplatform::win32

namespace vplatform::detail {

// The stand-in's side (win32/window_system.cpp): a message of a hooked window, for its framework
// object if it has one; WM_PRINTCLIENT into `dc`; the window's end.
win32::LParam RouteMessage(win32::Wnd window, unsigned message, win32::WParam wParam,
                           win32::LParam lParam);
win32::LParam RoutePrint(win32::Wnd window, win32::Dc dc);
void WindowDestroyed(win32::Wnd window);

// Between the stand-in's window and drawing units: the device context that WM_PRINTCLIENT gave
// for the window's paint under way, or null; and the window's end for the drawing unit.
win32::Dc PrintTarget(win32::Wnd window);
void ForgetWindowDrawing(win32::Wnd window);

}  // namespace vplatform::detail
