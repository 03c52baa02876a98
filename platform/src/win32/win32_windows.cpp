// Windows of the stand-in's kinds on Win32: the platform's own window class, the system's
// controls, the platform's window procedure, and the pixel surfaces windows are drawn into.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After <windows.h>.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "win32_api.h"

static_assert(sizeof(RECT) == vplatform::win32::kRectSize &&
              sizeof(POINT) == vplatform::win32::kPointSize &&
              sizeof(SIZE) == vplatform::win32::kSizeSize &&
              sizeof(PAINTSTRUCT) == vplatform::win32::kPaintStructSize &&
              sizeof(LOGFONTW) == vplatform::win32::kLogFontSize);

// The module this code is linked into: the platform's DLL.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace vplatform::win32 {

namespace {

constexpr const wchar_t* kOwnClass = L"VantrelWindow";
// The window property that keeps the procedure Hook replaced.
constexpr const wchar_t* kOwnProcedure = L"VantrelOwnProcedure";

HINSTANCE Instance() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;  // the bitmap the new memory context had
    DWORD* bits = nullptr;       // 0x00RRGGBB, top-down
    int width = 0;
    int height = 0;
    int lentState = 0;  // SaveDC's level while the context is lent, else 0
};

// Surfaces of the windows of this process. Windows belong to the thread that made them, and so
// do their surfaces; the map itself is shared.
std::mutex gSurfacesLock;
std::map<HWND, Surface> gSurfaces;

Surface* FindSurface(HWND window) {
    std::lock_guard<std::mutex> lock(gSurfacesLock);
    auto found = gSurfaces.find(window);
    return found == gSurfaces.end() ? nullptr : &found->second;
}

Surface& EnsureSurface(HWND window) {
    if (Surface* surface = FindSurface(window)) return *surface;
    Surface surface;
    RECT client{};
    ::GetClientRect(window, &client);
    surface.width = std::max<LONG>(client.right, 1);
    surface.height = std::max<LONG>(client.bottom, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surface.width;
    info.bmiHeader.biHeight = -surface.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    surface.dc = ::CreateCompatibleDC(nullptr);
    surface.bitmap = ::CreateDIBSection(surface.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    surface.bits = static_cast<DWORD*>(bits);
    surface.original = ::SelectObject(surface.dc, surface.bitmap);
    std::lock_guard<std::mutex> lock(gSurfacesLock);
    return gSurfaces.emplace(window, surface).first->second;
}

void DropSurface(HWND window) {
    Surface surface;
    {
        std::lock_guard<std::mutex> lock(gSurfacesLock);
        auto found = gSurfaces.find(window);
        if (found == gSurfaces.end()) return;
        surface = found->second;
        gSurfaces.erase(found);
    }
    ::SelectObject(surface.dc, surface.original);
    ::DeleteObject(surface.bitmap);
    ::DeleteDC(surface.dc);
}

bool IsOwnClass(HWND window) {
    wchar_t name[32];
    return ::GetClassNameW(window, name, 32) > 0 && ::lstrcmpiW(name, kOwnClass) == 0;
}

// A window of the platform's own class shows its surface.
void CopySurface(HWND window, HDC target) {
    const Surface* surface = FindSurface(window);
    if (surface && target != surface->dc)
        ::BitBlt(target, 0, 0, surface->width, surface->height, surface->dc, 0, 0, SRCCOPY);
}

LRESULT CALLBACK OwnClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the surface covers the client area
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            CopySurface(window, dc);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            CopySurface(window, reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK PlatformProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PRINTCLIENT)
        return vplatform::detail::RoutePrint(window, reinterpret_cast<HDC>(wParam));
    const LRESULT result = vplatform::detail::RouteMessage(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        vplatform::detail::WindowDestroyed(window);
        DropSurface(window);
        ::RemovePropW(window, kOwnProcedure);
    }
    return result;
}

// The progress control comes from the common controls; the own class is registered once.
void RegisterClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        WNDCLASSEXW own{};
        own.cbSize = sizeof own;
        own.lpfnWndProc = OwnClassProcedure;
        own.cbWndExtra = sizeof(LONG_PTR);  // the kind: Generic or Dialog
        own.hInstance = Instance();
        own.lpszClassName = kOwnClass;
        ::RegisterClassExW(&own);
    });
}

}  // namespace

Wnd CreateKindWindow(Kind kind, Wnd parent, int id, int width, int height, unsigned style,
                     const wchar_t* text) {
    RegisterClasses();
    DWORD windowStyle = style | (parent ? WS_CHILD : WS_POPUP);
    const wchar_t* className = kOwnClass;
    if (kind == kEdit) {
        className = L"EDIT";
        windowStyle |= ES_AUTOHSCROLL;
    } else if (kind == kComboBox) {
        className = L"COMBOBOX";
        windowStyle |= CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL;
    } else if (kind == kProgress) {
        className = PROGRESS_CLASSW;
    }
    // A child's id travels in place of a menu; a pop-up window's is set afterwards.
    HMENU menu = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    HWND window = ::CreateWindowExW(0, className, text, windowStyle, 0, 0, width, height, parent,
                                    menu, Instance(), nullptr);
    if (!window) return nullptr;
    if (!parent) ::SetWindowLongPtrW(window, GWLP_ID, id);
    if (className == kOwnClass) {
        ::SetWindowLongPtrW(window, 0, kind);
        EnsureSurface(window);
    }
    Hook(window);
    return window;
}

Kind KindOf(Wnd window) {
    wchar_t name[32];
    if (::GetClassNameW(window, name, 32) == 0) return kGeneric;
    if (::lstrcmpiW(name, kOwnClass) == 0) return static_cast<Kind>(::GetWindowLongPtrW(window, 0));
    if (::lstrcmpiW(name, L"Edit") == 0) return kEdit;
    if (::lstrcmpiW(name, L"ComboBox") == 0) return kComboBox;
    if (::lstrcmpiW(name, PROGRESS_CLASSW) == 0) return kProgress;
    return kGeneric;
}

void Hook(Wnd window) {
    if (!::IsWindow(window) || ::GetPropW(window, kOwnProcedure) ||
        ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return;
    LONG_PTR own =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlatformProcedure));
    if (own) ::SetPropW(window, kOwnProcedure, reinterpret_cast<HANDLE>(own));
}

LParam CallOwnProcedure(Wnd window, unsigned message, WParam wParam, LParam lParam) {
    auto own = reinterpret_cast<WNDPROC>(::GetPropW(window, kOwnProcedure));
    if (!own) own = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(window, GCLP_WNDPROC));
    return own ? ::CallWindowProcW(own, window, message, wParam, lParam) : 0;
}

LParam PrintOwn(Wnd window, Dc dc) {
    return CallOwnProcedure(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

LParam Send(Wnd window, unsigned message, WParam wParam, LParam lParam) {
    return ::SendMessageW(window, message, wParam, lParam);
}

bool IsLiveWindow(Wnd window) {
    return window && ::IsWindow(window);
}

Wnd ParentOf(Wnd window) {
    return ::GetParent(window);
}

Wnd ChildWithId(Wnd dialog, int id) {
    return dialog ? ::GetDlgItem(dialog, id) : nullptr;
}

int IdOf(Wnd window) {
    return ::GetDlgCtrlID(window);
}

bool ClientRectOf(Wnd window, tagRECT* rect) {
    return rect && ::GetClientRect(window, rect);
}

bool Invalidate(Wnd window, const tagRECT* rect, bool erase) {
    return window && ::InvalidateRect(window, rect, erase);
}

bool Update(Wnd window) {
    return window && ::UpdateWindow(window);
}

Wnd Focus(Wnd window) {
    return ::SetFocus(window);
}

Wnd FocusedWindow() {
    return ::GetFocus();
}

bool Destroy(Wnd window) {
    return window && ::DestroyWindow(window);
}

int ShowMessageBox(Wnd owner, const wchar_t* text, const wchar_t* caption, unsigned type) {
    return ::MessageBoxW(owner, text, caption, type);
}

Dc WindowDc(Wnd window) {
    if (!IsOwnClass(window)) return ::GetDC(window);
    Surface& surface = EnsureSurface(window);
    if (surface.lentState) return nullptr;
    surface.lentState = ::SaveDC(surface.dc);
    return surface.dc;
}

bool ReleaseWindowDc(Wnd window, Dc dc) {
    Surface* surface = FindSurface(window);
    if (!surface || surface->dc != dc) return ::ReleaseDC(window, dc) != 0;
    if (!surface->lentState) return false;
    ::RestoreDC(dc, surface->lentState);
    surface->lentState = 0;
    return true;
}

void RenderSurface(Wnd window) {
    Surface& surface = EnsureSurface(window);
    const int state = ::SaveDC(surface.dc);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc), PRF_CLIENT);
    ::RestoreDC(surface.dc, state);
}

void ReadSurface(Wnd window, int* width, int* height, std::vector<std::uint32_t>* pixels) {
    const Surface& surface = EnsureSurface(window);
    ::GdiFlush();
    *width = surface.width;
    *height = surface.height;
    pixels->resize(static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height));
    // 0x00RRGGBB in the DIB, 0x00BBGGRR as COLORREF.
    std::transform(surface.bits, surface.bits + pixels->size(), pixels->begin(),
                   [](DWORD p) { return RGB(GetBValue(p), GetGValue(p), GetRValue(p)); });
}

void FillSurface(Wnd window, std::uint32_t colorref) {
    const Surface& surface = EnsureSurface(window);
    ::GdiFlush();
    std::fill_n(surface.bits,
                static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height),
                RGB(GetBValue(colorref), GetGValue(colorref), GetRValue(colorref)));
}

}  // namespace vplatform::win32
