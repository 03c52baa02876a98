// The window system on Windows: the stand-in's window functions over real Win32 windows, the
// building of windows of the stand-in's kinds, and the routing of their messages to the
// framework objects attached to them.
#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "../window_system.h"
#include "vantrel_platform/controls.h"
#include "win32_api.h"

static_assert(sizeof(RECT) == vplatform::win32::kRectSize);
static_assert(static_cast<int>(vplatform::WindowKind::Progress) == vplatform::win32::kProgress &&
              static_cast<int>(vplatform::WindowKind::Dialog) == vplatform::win32::kDialog);

namespace vplatform::detail {

namespace {

// The windows CreateWindow made that are alive.
std::set<HWND>& CreatedWindows() {
    static auto* windows = new std::set<HWND>;
    return *windows;
}

// The paints under way because of WM_PRINTCLIENT, innermost last.
std::vector<std::pair<HWND, HDC>>& PrintTargets() {
    static auto* targets = new std::vector<std::pair<HWND, HDC>>;
    return *targets;
}

}  // namespace

void RouteMessagesToObject(HWND hWnd) {
    win32::Hook(hWnd);
}

int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return win32::ShowMessageBox(owner, text, caption, type);
}

LRESULT RouteMessage(HWND hWnd, unsigned message, WPARAM wParam, LPARAM lParam) {
    if (CWnd* object = WindowObjects().Permanent(hWnd))
        return WindowAccess::WindowProc(object, message, wParam, lParam);
    return win32::CallOwnProcedure(hWnd, message, wParam, lParam);
}

// A window whose object paints it paints into `hDC` through its WM_PAINT handler: BeginPaint
// gives that context meanwhile (and DefWindowProcW hands WM_PAINT on as WM_PRINTCLIENT).
LRESULT RoutePrint(HWND hWnd, HDC hDC) {
    CWnd* object = WindowObjects().Permanent(hWnd);
    if (!object) return win32::PrintOwn(hWnd, hDC);
    PrintTargets().emplace_back(hWnd, hDC);
    const LRESULT result = WindowAccess::WindowProc(object, WM_PAINT, 0, 0);
    PrintTargets().pop_back();
    return result;
}

HDC PrintTarget(HWND hWnd) {
    const auto& targets = PrintTargets();
    auto found = std::find_if(targets.rbegin(), targets.rend(),
                              [hWnd](const auto& target) { return target.first == hWnd; });
    return found == targets.rend() ? nullptr : found->second;
}

void WindowDestroyed(HWND hWnd) {
    ForgetWindow(hWnd);
    ForgetWindowDrawing(hWnd);
    CreatedWindows().erase(hWnd);
}

}  // namespace vplatform::detail

namespace win32 = vplatform::win32;

namespace {

// The stand-in's RECT has the layout of Win32's (checked above).
tagRECT* Win32(RECT* rect) {
    return reinterpret_cast<tagRECT*>(rect);
}
const tagRECT* Win32(const RECT* rect) {
    return reinterpret_cast<const tagRECT*>(rect);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Building windows

namespace vplatform {

HWND CreateWindow(WindowKind kind, HWND parent, int id, int width, int height, DWORD style,
                  LPCWSTR text) {
    if (parent && !IsWindow(parent)) return nullptr;
    HWND window =
        win32::CreateKindWindow(static_cast<win32::Kind>(kind), parent, id, std::max(width, 0),
                                std::max(height, 0), style, text ? text : L"");
    if (window) detail::CreatedWindows().insert(window);
    return window;
}

WindowKind GetWindowKind(HWND hWnd) {
    return static_cast<WindowKind>(win32::KindOf(hWnd));
}

int CountWindows() {
    return static_cast<int>(detail::CreatedWindows().size());
}

}  // namespace vplatform

// ---------------------------------------------------------------------------------------------
// Window functions

BOOL IsWindow(HWND hWnd) {
    return win32::IsLiveWindow(hWnd);
}

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::Send(hWnd, message, wParam, lParam);
}

// The window's own procedure: its control's behaviour.
LRESULT DefWindowProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT)
        if (HDC target = vplatform::detail::PrintTarget(hWnd)) return win32::PrintOwn(hWnd, target);
    return win32::CallOwnProcedure(hWnd, message, wParam, lParam);
}

HWND GetParent(HWND hWnd) {
    return win32::ParentOf(hWnd);
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    return win32::ChildWithId(hDlg, nIDDlgItem);
}

int GetDlgCtrlID(HWND hWnd) {
    return win32::IdOf(hWnd);
}

BOOL GetClientRect(HWND hWnd, LPRECT rect) {
    return win32::ClientRectOf(hWnd, Win32(rect));
}

BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase) {
    return win32::Invalidate(hWnd, Win32(rect), erase != FALSE);
}

BOOL UpdateWindow(HWND hWnd) {
    return win32::Update(hWnd);
}

HWND SetFocus(HWND hWnd) {
    return win32::Focus(hWnd);
}

HWND GetFocus() {
    return win32::FocusedWindow();
}

BOOL DestroyWindow(HWND hWnd) {
    return win32::Destroy(hWnd);
}
