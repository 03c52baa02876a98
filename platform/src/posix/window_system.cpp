// The headless window system: the window registry, the window functions and the building of
// windows.
#include <algorithm>
#include <cstdint>
#include <map>

#include "vantrel_platform/message_box.h"
#include "window_registry.h"

namespace vplatform::detail {

namespace {

struct Registry {
    std::map<HWND, std::unique_ptr<WindowRecord>> windows;
    std::uintptr_t lastHandle = 0x10000;
    HWND focus = nullptr;
};

// Never destroyed: framework objects destroyed during static destruction still find it.
Registry& WindowRegistry() {
    static Registry* instance = new Registry;
    return *instance;
}

}  // namespace

WindowRecord* FindWindowRecord(HWND hWnd) {
    if (!hWnd) return nullptr;
    auto& windows = WindowRegistry().windows;
    auto found = windows.find(hWnd);
    return found == windows.end() ? nullptr : found->second.get();
}

// SendMessageW finds the window's object at each message.
void RouteMessagesToObject(HWND) {}

// Headless: no box is shown, and the answer is OK.
int ShowMessageBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    return IDOK;
}

}  // namespace vplatform::detail

using vplatform::detail::FindWindowRecord;
using vplatform::detail::WindowAccess;
using vplatform::detail::WindowRecord;

// ---------------------------------------------------------------------------------------------
// Building windows

namespace vplatform {

HWND CreateWindow(WindowKind kind, HWND parent, int id, int width, int height, DWORD style,
                  LPCWSTR text) {
    WindowRecord* parentRecord = FindWindowRecord(parent);
    if (parent && !parentRecord) return nullptr;
    auto& reg = detail::WindowRegistry();
    reg.lastHandle += 0x10;
    auto record = std::make_unique<WindowRecord>();
    record->handle = reinterpret_cast<HWND>(reg.lastHandle);
    record->kind = kind;
    record->style = style;
    record->text = text ? text : L"";
    record->id = id;
    record->parent = parent;
    record->width = std::max(width, 0);
    record->height = std::max(height, 0);
    record->pixels.assign(static_cast<size_t>(record->width) * static_cast<size_t>(record->height),
                          0);
    HWND handle = record->handle;
    if (parentRecord) parentRecord->children.push_back(handle);
    reg.windows.emplace(handle, std::move(record));
    return handle;
}

WindowKind GetWindowKind(HWND hWnd) {
    const WindowRecord* record = FindWindowRecord(hWnd);
    return record ? record->kind : WindowKind::Generic;
}

int CountWindows() {
    return static_cast<int>(detail::WindowRegistry().windows.size());
}

}  // namespace vplatform

// ---------------------------------------------------------------------------------------------
// Window functions

BOOL IsWindow(HWND hWnd) {
    return FindWindowRecord(hWnd) != nullptr;
}

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindWindowRecord(hWnd);
    if (!record) return 0;
    if (CWnd* object = vplatform::detail::WindowObjects().Permanent(hWnd))
        return WindowAccess::WindowProc(object, message, wParam, lParam);
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

namespace {

LRESULT CopyText(const std::wstring& text, WPARAM capacity, LPARAM buffer) {
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    if (!out || capacity == 0) return 0;
    size_t count = std::min(text.size(), static_cast<size_t>(capacity) - 1);
    std::copy_n(text.data(), count, out);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

void EraseBackground(WindowRecord& window, HDC hDC) {
    RECT client{0, 0, window.width, window.height};
    COLORREF previous = SetBkColor(hDC, vplatform::detail::BackgroundColor(window.kind));
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    SetBkColor(hDC, previous);
}

}  // namespace

LRESULT DefWindowProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* window = FindWindowRecord(hWnd);
    if (!window) return 0;
    LRESULT result = 0;
    if (vplatform::detail::ControlProc(*window, message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_SETTEXT:
            window->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
            return TRUE;
        case WM_GETTEXT:
            return CopyText(window->text, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(window->text.size());
        case WM_SETFONT:
            window->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(static_cast<std::uintptr_t>(lParam))) {
                InvalidateRect(hWnd, nullptr, TRUE);
                UpdateWindow(hWnd);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(window->font);
        case WM_ERASEBKGND:
            EraseBackground(*window, reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC hDC = BeginPaint(hWnd, &paint);
            if (hDC) vplatform::detail::PaintControl(hWnd, hDC);
            EndPaint(hWnd, &paint);
            return 0;
        }
        default:
            return 0;
    }
}

HWND GetParent(HWND hWnd) {
    const WindowRecord* record = FindWindowRecord(hWnd);
    return record ? record->parent : nullptr;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    const WindowRecord* dialog = FindWindowRecord(hDlg);
    if (!dialog) return nullptr;
    for (HWND child : dialog->children) {
        const WindowRecord* record = FindWindowRecord(child);
        if (record && record->id == nIDDlgItem) return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    const WindowRecord* record = FindWindowRecord(hWnd);
    return record ? record->id : 0;
}

BOOL GetClientRect(HWND hWnd, LPRECT rect) {
    const WindowRecord* record = FindWindowRecord(hWnd);
    if (!record || !rect) return FALSE;
    *rect = RECT{0, 0, record->width, record->height};
    return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL erase) {
    WindowRecord* record = FindWindowRecord(hWnd);
    if (!record) return FALSE;
    record->invalid = true;
    record->erase = record->erase || erase;
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    WindowRecord* record = FindWindowRecord(hWnd);
    if (!record) return FALSE;
    if (record->invalid) SendMessageW(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

HWND SetFocus(HWND hWnd) {
    auto& reg = vplatform::detail::WindowRegistry();
    HWND previous = reg.focus;
    if (hWnd && !IsWindow(hWnd)) return nullptr;
    reg.focus = hWnd;
    return previous;
}

HWND GetFocus() {
    auto& reg = vplatform::detail::WindowRegistry();
    if (!IsWindow(reg.focus)) reg.focus = nullptr;
    return reg.focus;
}

BOOL DestroyWindow(HWND hWnd) {
    WindowRecord* record = FindWindowRecord(hWnd);
    if (!record) return FALSE;
    std::vector<HWND> children = record->children;
    for (HWND child : children) DestroyWindow(child);
    record = FindWindowRecord(hWnd);
    if (!record) return TRUE;
    if (WindowRecord* parent = FindWindowRecord(record->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
    }
    vplatform::detail::ForgetWindow(hWnd);
    vplatform::detail::ForgetWindowDeviceContexts(hWnd);
    auto& reg = vplatform::detail::WindowRegistry();
    if (reg.focus == hWnd) reg.focus = nullptr;
    reg.windows.erase(hWnd);
    return TRUE;
}
