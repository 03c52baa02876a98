// Built-in behaviour of the headless control kinds: edit controls, combo boxes and progress
// controls.
#include <algorithm>
#include <cstdint>
#include <cwctype>

#include "window_registry.h"

namespace vplatform::detail {

namespace {

// ASCII letters compare without case; ties keep the order in which the items were added.
bool SortsBefore(const std::wstring& a, const std::wstring& b) {
    auto fold = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](wchar_t x, wchar_t y) { return fold(x) < fold(y); });
}

void Repaint(HWND hWnd) {
    InvalidateRect(hWnd, nullptr, TRUE);
    UpdateWindow(hWnd);
}

bool EditProc(WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case EM_SETSEL: {
            int length = static_cast<int>(window.text.size());
            auto limit = [length](int v) { return (v < 0 || v > length) ? length : v; };
            window.selStart = limit(static_cast<int>(wParam));
            window.selEnd = limit(static_cast<int>(lParam));
            *result = 0;
            return true;
        }
        case EM_GETSEL:
            if (auto* start = reinterpret_cast<DWORD*>(wParam)) *start = window.selStart;
            if (auto* end = reinterpret_cast<DWORD*>(lParam)) *end = window.selEnd;
            *result =
                MAKELPARAM(static_cast<WORD>(window.selStart), static_cast<WORD>(window.selEnd));
            return true;
        default:
            return false;
    }
}

bool ComboProc(WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto& items = window.combo.items;
    const bool validIndex = wParam < items.size();
    switch (message) {
        case CB_ADDSTRING: {
            std::wstring text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
            auto at = items.end();
            if (window.style & CBS_SORT)
                at = std::upper_bound(items.begin(), items.end(), text, SortsBefore);
            *result = items.insert(at, std::move(text)) - items.begin();
            return true;
        }
        case CB_DELETESTRING:
            if (!validIndex) {
                *result = CB_ERR;
                return true;
            }
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(wParam));
            *result = static_cast<LRESULT>(items.size());
            return true;
        case CB_GETCOUNT:
            *result = static_cast<LRESULT>(items.size());
            return true;
        case CB_GETLBTEXT: {
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            if (!validIndex || !out) {
                *result = CB_ERR;
                return true;
            }
            const std::wstring& item = items[wParam];
            std::copy(item.begin(), item.end(), out);
            out[item.size()] = L'\0';
            *result = static_cast<LRESULT>(item.size());
            return true;
        }
        case CB_GETLBTEXTLEN:
            *result = validIndex ? static_cast<LRESULT>(items[wParam].size()) : CB_ERR;
            return true;
        case CB_RESETCONTENT:
            items.clear();
            *result = 0;
            return true;
        case CB_SETDROPPEDWIDTH: {
            int width = static_cast<int>(wParam);
            if (width < 0) {
                *result = CB_ERR;
                return true;
            }
            window.combo.droppedWidth = width;
            *result = width;
            return true;
        }
        case CB_GETDROPPEDWIDTH:
            *result = window.combo.droppedWidth;
            return true;
        default:
            return false;
    }
}

std::int64_t ClampToRange(const ProgressState& p, std::int64_t pos) {
    std::int64_t low = std::min(p.lower, p.upper), high = std::max(p.lower, p.upper);
    return std::clamp(pos, low, high);
}

// PBM_STEPIT starts over from the other end of the range once the position leaves it.
std::int64_t WrapIntoRange(const ProgressState& p, std::int64_t pos) {
    std::int64_t low = std::min(p.lower, p.upper), high = std::max(p.lower, p.upper);
    std::int64_t span = high - low;
    if (span == 0) return low;
    if (pos > high) return low + (pos - low) % span;
    if (pos < low) return high - (high - pos) % span;
    return pos;
}

bool ProgressProc(WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam,
                  LRESULT* result) {
    ProgressState& p = window.progress;
    const int argument = static_cast<int>(wParam);
    switch (message) {
        case PBM_SETRANGE: {
            *result = MAKELPARAM(static_cast<WORD>(p.lower), static_cast<WORD>(p.upper));
            auto bounds = static_cast<std::uintptr_t>(lParam);
            p.lower = LOWORD(bounds);
            p.upper = HIWORD(bounds);
            p.pos = static_cast<int>(ClampToRange(p, p.pos));
            break;
        }
        case PBM_SETPOS:
            *result = p.pos;
            p.pos = static_cast<int>(ClampToRange(p, argument));
            break;
        case PBM_DELTAPOS:
            *result = p.pos;
            p.pos = static_cast<int>(ClampToRange(p, std::int64_t{p.pos} + argument));
            break;
        case PBM_SETSTEP:
            *result = p.step;
            p.step = argument;
            break;
        case PBM_STEPIT:
            *result = p.pos;
            p.pos = static_cast<int>(WrapIntoRange(p, std::int64_t{p.pos} + p.step));
            break;
        case PBM_GETRANGE:
            *result = wParam ? p.lower : p.upper;
            return true;
        case PBM_GETPOS:
            *result = p.pos;
            return true;
        default:
            return false;
    }
    Repaint(window.handle);
    return true;
}

void PaintText(HWND hWnd, HDC hDC, const WindowRecord& window) {
    RECT client{0, 0, window.width, window.height};
    COLORREF previous = SetBkColor(hDC, BackgroundColor(window.kind));
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    SetBkColor(hDC, previous);
    HGDIOBJ oldFont =
        window.font ? SelectObject(hDC, reinterpret_cast<HGDIOBJ>(window.font)) : nullptr;
    int oldMode = SetBkMode(hDC, TRANSPARENT);
    std::wstring text = window.text;  // the record may not outlive the drawing calls
    DrawTextW(hDC, text.c_str(), -1, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(hDC, oldMode);
    if (oldFont) SelectObject(hDC, oldFont);
    (void)hWnd;
}

void PaintProgress(HDC hDC, const WindowRecord& window) {
    const ProgressState& p = window.progress;
    std::int64_t low = std::min(p.lower, p.upper), high = std::max(p.lower, p.upper);
    std::int64_t filled = high > low ? window.width * (p.pos - low) / (high - low) : 0;
    RECT bar{0, 0, static_cast<LONG>(filled), window.height};
    RECT rest{static_cast<LONG>(filled), 0, window.width, window.height};
    COLORREF previous = SetBkColor(hDC, GetSysColor(COLOR_HIGHLIGHT));
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
    SetBkColor(hDC, GetSysColor(COLOR_BTNFACE));
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
    SetBkColor(hDC, previous);
}

}  // namespace

bool ControlProc(WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam,
                 LRESULT* result) {
    switch (window.kind) {
        case WindowKind::Edit:
            return EditProc(window, message, wParam, lParam, result);
        case WindowKind::ComboBox:
            return ComboProc(window, message, wParam, lParam, result);
        case WindowKind::Progress:
            return ProgressProc(window, message, wParam, lParam, result);
        default:
            return false;
    }
}

void PaintControl(HWND hWnd, HDC hDC) {
    const WindowRecord* window = FindWindowRecord(hWnd);
    if (!window) return;
    switch (window->kind) {
        case WindowKind::Edit:
        case WindowKind::ComboBox:
            PaintText(hWnd, hDC, *window);
            break;
        case WindowKind::Progress:
            PaintProgress(hDC, *window);
            break;
        default:
            break;
    }
}

COLORREF BackgroundColor(WindowKind kind) {
    return (kind == WindowKind::Edit || kind == WindowKind::ComboBox) ? GetSysColor(COLOR_WINDOW)
                                                                      : GetSysColor(COLOR_BTNFACE);
}

}  // namespace vplatform::detail
