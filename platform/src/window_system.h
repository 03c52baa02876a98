// What the framework classes share with each system's window system (internal to the platform
// library): the framework objects attached to handles, and what the framework takes from the
// system (posix/: the headless emulation; win32/: the real Win32 interface).
//
// A handle has at most one permanent object, which its owner attached (CWnd::Attach,
// CDC::Attach, CGdiObject::Attach), and otherwise a temporary one that FromHandle made and the
// map owns. Both lose the handle when it goes: the window destroyed, the device context
// released, the GDI object deleted.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "vantrel_platform/gdi.h"
#include "vantrel_platform/window.h"

namespace vplatform::detail {

template <typename Handle, typename Object>
class HandleMap {
  public:
    Object* Permanent(Handle handle) const {
        auto found = permanent_.find(handle);
        return found == permanent_.end() ? nullptr : found->second;
    }
    // The permanent object, else the temporary one, which `make` makes when there is none.
    template <typename Make>
    Object* FromHandle(Handle handle, Make make) {
        if (Object* object = Permanent(handle)) return object;
        std::unique_ptr<Object>& temporary = temporary_[handle];
        if (!temporary) temporary = make();
        return temporary.get();
    }
    // False when the handle already has a permanent object.
    bool Attach(Handle handle, Object* object) { return permanent_.emplace(handle, object).second; }
    void Detach(Handle handle, const Object* object) {
        if (Permanent(handle) == object) permanent_.erase(handle);
    }
    // The handle is gone: `unlink` clears it from its objects, and the temporary one is deleted.
    template <typename Unlink>
    void Forget(Handle handle, Unlink unlink) {
        if (Object* object = Permanent(handle)) unlink(*object);
        permanent_.erase(handle);
        auto found = temporary_.find(handle);
        if (found == temporary_.end()) return;
        std::unique_ptr<Object> temporary = std::move(found->second);
        temporary_.erase(found);
        unlink(*temporary);
    }

  private:
    std::map<Handle, Object*> permanent_;
    std::map<Handle, std::unique_ptr<Object>> temporary_;
};

HandleMap<HWND, CWnd>& WindowObjects();
HandleMap<HDC, CDC>& DeviceContextObjects();
HandleMap<HGDIOBJ, CGdiObject>& GdiObjects();

// Each system's window system calls these when a handle goes.
void ForgetWindow(HWND hWnd);
void ForgetDeviceContext(HDC hDC);
void ForgetGdiObject(HGDIOBJ object);

// A new temporary framework object of the class matching the window's control kind.
std::unique_ptr<CWnd> NewTemporaryObject(WindowKind kind);

// Gives CWnd's protected dispatch to the window systems.
struct WindowAccess {
    static LRESULT WindowProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// What the framework takes from the system's window system (posix/ or win32/):
// messages to `hWnd` go to its permanent object from now on (POSIX: SendMessageW looks the
// object up at each message; Windows: the window gets the platform's window procedure).
void RouteMessagesToObject(HWND hWnd);
// Whether `hDC` is a device context that GetDC or BeginPaint gave and that is not released.
bool IsDeviceContext(HDC hDC);
// OBJ_FONT for a font, another nonzero type for another live GDI object, 0 for none.
UINT GdiObjectType(HGDIOBJ object);
// Shows a message box and returns the user's answer (POSIX: none is shown, the answer is IDOK).
int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

}  // namespace vplatform::detail
