// Windows: handles with a text, a control id, a parent and children, a client size, an
// optional framework object (a CWnd subclass) and a control kind. On Windows they are real
// windows (the system's EDIT, COMBOBOX and progress controls, and a window class of the
// platform's own for the others), whose messages reach the framework object through the
// platform's window procedure; what follows the first paragraph is the headless system's.
//
// SendMessage delivers a message to the window's framework object, whose WindowProc looks it
// up in its message map (chained from the derived class to its bases) and otherwise passes it
// on to DefWindowProc, the built-in behaviour of the control kind. A window without an object
// gets the built-in behaviour directly.
//
// There is no message queue: painting is synchronous. InvalidateRect marks the whole client
// area for repainting, UpdateWindow sends WM_PAINT at once when something is invalid, and
// BeginPaint sends WM_ERASEBKGND first when the invalidation asked for erasing.
//
// The window system belongs to the thread that uses it; it takes no locks.
#pragma once

#include <initializer_list>

#include "vantrel_platform/afx.h"
#include "vantrel_platform/cstring.h"
#include "vantrel_platform/wintypes.h"

class CDC;
class CFont;
class CDataExchange;
struct PAINTSTRUCT;

// ---------------------------------------------------------------------------------------------
// Messages

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;

// Window styles (only the ones the stand-in looks at).
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;

// ---------------------------------------------------------------------------------------------
// Free functions of the window interface. Every one of them accepts a null or stale handle and
// then does nothing (result 0, FALSE or null).

VPLATFORM_API BOOL IsWindow(HWND hWnd);
VPLATFORM_API LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(hWnd, message, wParam, lParam);
}
// The built-in behaviour of the window's control kind.
VPLATFORM_API LRESULT DefWindowProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

VPLATFORM_API BOOL SetWindowTextW(HWND hWnd, LPCWSTR text);
// Copies at most maxCount - 1 code units of the window's text and a terminator into `buffer`;
// returns the number of code units copied (without the terminator).
VPLATFORM_API int GetWindowTextW(HWND hWnd, LPWSTR buffer, int maxCount);
VPLATFORM_API int GetWindowTextLengthW(HWND hWnd);

VPLATFORM_API HWND GetParent(HWND hWnd);
VPLATFORM_API HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
VPLATFORM_API int GetDlgCtrlID(HWND hWnd);
// The client rectangle: left and top are 0, right and bottom the client width and height.
VPLATFORM_API BOOL GetClientRect(HWND hWnd, LPRECT rect);
VPLATFORM_API BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);

// Marks the whole client area invalid (the rectangle is not looked at: every repaint covers
// the whole client area); `erase` asks BeginPaint to send WM_ERASEBKGND first.
VPLATFORM_API BOOL InvalidateRect(HWND hWnd, const RECT* rect, BOOL erase);
// Sends WM_PAINT when the window has an invalid area.
VPLATFORM_API BOOL UpdateWindow(HWND hWnd);

VPLATFORM_API HWND SetFocus(HWND hWnd);
VPLATFORM_API HWND GetFocus();

// Destroys the window and its children. Framework objects attached to them lose their handle.
VPLATFORM_API BOOL DestroyWindow(HWND hWnd);

// ---------------------------------------------------------------------------------------------
// CWnd: the framework's window class.

namespace vplatform::detail {
struct WindowAccess;
}

class VPLATFORM_API CWnd : public CCmdTarget {
  public:
    CWnd();
    // Destroys the window when this object is attached to it, as the framework does.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }  // NOLINT: as in the framework

    // The object attached to `hWnd`, or else a temporary object of the class matching the
    // window's control kind (CEdit, CComboBox, CProgressCtrl or CWnd), owned by the window
    // system and valid until the window is destroyed. Null for a null or stale handle.
    static CWnd* FromHandle(HWND hWnd);

    // Attaches this object to a window that has none: messages to the window then go through
    // this object's message map. FALSE when this object already has a window or the window
    // already has an object.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

    CWnd* GetDlgItem(int nID) const;
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;

    void SetWindowTextW(LPCWSTR text);
    int GetWindowTextW(LPWSTR buffer, int maxCount) const;
    void GetWindowTextW(CString& text) const;
    int GetWindowTextLength() const;
    void GetClientRect(LPRECT rect) const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    CWnd* SetFocus();
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    BOOL DestroyWindow();

    // Dialog data exchange: runs DoDataExchange with a new exchange object; FALSE when the
    // exchange failed (CDataExchange::Fail).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Runs the handler of the message map, or DefWindowProc when there is none.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

  private:
    friend struct vplatform::detail::WindowAccess;
};

// The main window of the calling thread's application object, or null.
VPLATFORM_API CWnd* AfxGetMainWnd();

// ---------------------------------------------------------------------------------------------
// Message-map entries for the messages the library's controls handle. Use them between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; the class declares
//   void OnPaint();  BOOL OnEraseBkgnd(CDC* pDC);

#define ON_WM_PAINT()                                              \
    {WM_PAINT, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnPaint();               \
         return 0;                                                 \
     }},
#define ON_WM_ERASEBKGND()                                                     \
    {WM_ERASEBKGND, [](CCmdTarget* target, WPARAM wParam, LPARAM) -> LRESULT { \
         return static_cast<ThisClass*>(target)->OnEraseBkgnd(                 \
             CDC::FromHandle(reinterpret_cast<HDC>(wParam)));                  \
     }},

// ---------------------------------------------------------------------------------------------
// Building windows. These belong to the stand-in, not to the Win32 interface: a host or a test
// builds its dialogs and controls with them.

namespace vplatform {

enum class WindowKind {
    Generic,   // a plain window: erases to the 3-D face colour, paints nothing else
    Dialog,    // a dialog box: like Generic
    Edit,      // an edit control: erases to the window colour and paints its text
    ComboBox,  // a combo box: holds its list (sorted with CBS_SORT)
    Progress,  // a progress control: range, position and step; repaints after each change
};

// Creates a window of `kind` with a client area of `width` by `height` pixels (negative sizes
// count as 0), child of `parent` (or top-level when null), with control id `id`.
VPLATFORM_API HWND CreateWindow(WindowKind kind, HWND parent, int id, int width, int height,
                                DWORD style = 0, LPCWSTR text = L"");

struct DialogItem {
    int id;
    WindowKind kind;
    int width;
    int height;
    DWORD style = 0;
    LPCWSTR text = L"";
};

// Creates a top-level dialog window with the given caption and client size and one child
// control per item.
VPLATFORM_API HWND CreateDialog(LPCWSTR caption, int width, int height,
                                std::initializer_list<DialogItem> items);

// The control kind of a window (Generic for a null or stale handle).
VPLATFORM_API WindowKind GetWindowKind(HWND hWnd);
// The number of windows alive (tests use it to check that nothing leaks).
VPLATFORM_API int CountWindows();

}  // namespace vplatform
