// The framework objects attached to windows, device contexts and GDI objects.
#include "window_system.h"

namespace vplatform::detail {

// Never destroyed: framework objects destroyed during static destruction still find them.
HandleMap<HWND, CWnd>& WindowObjects() {
    static auto* map = new HandleMap<HWND, CWnd>;
    return *map;
}

HandleMap<HDC, CDC>& DeviceContextObjects() {
    static auto* map = new HandleMap<HDC, CDC>;
    return *map;
}

HandleMap<HGDIOBJ, CGdiObject>& GdiObjects() {
    static auto* map = new HandleMap<HGDIOBJ, CGdiObject>;
    return *map;
}

void ForgetWindow(HWND hWnd) {
    WindowObjects().Forget(hWnd, [](CWnd& wnd) { wnd.m_hWnd = nullptr; });
}

void ForgetDeviceContext(HDC hDC) {
    DeviceContextObjects().Forget(hDC, [](CDC& dc) { dc.m_hDC = dc.m_hAttribDC = nullptr; });
}

void ForgetGdiObject(HGDIOBJ object) {
    GdiObjects().Forget(object, [](CGdiObject& gdi) { gdi.m_hObject = nullptr; });
}

LRESULT WindowAccess::WindowProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return wnd->WindowProc(message, wParam, lParam);
}

}  // namespace vplatform::detail
