// Drawing: device contexts, fonts, system colours and metrics.
//
// A device context belongs to a window. Every drawing call on it is appended to the window's
// drawing log (vplatform::GetDrawLog) and paints into the window's pixel surface, one COLORREF
// (0x00BBGGRR) per pixel of the client area, clipped to the client area. Fills are exact.
//
// On Windows the drawing is GDI's, with the system's fonts, and a window's surface is a DIB
// section that GetSurface has the window paint into (WM_PRINTCLIENT). What follows is the
// headless system's. Text is drawn with a built-in 5x7 bitmap font. Fonts have fixed metrics so
// that measurement is deterministic: a font of pixel height h (the absolute value of lfHeight, at
// most 4096; 16 when lfHeight is 0) draws the glyphs at the integer scale s = max(1, h / 8); every
// code unit advances 6*s pixels and a line is 8*s pixels high. A device context starts with
// SYSTEM_FONT (h = 16), black text, a white background colour and the OPAQUE background mode.
// Logical and device units are the same (LPtoDP is the identity).
#pragma once

#include <string>
#include <vector>

#include "vantrel_platform/cstring.h"
#include "vantrel_platform/wintypes.h"

class CWnd;
class CDC;

// ---------------------------------------------------------------------------------------------
// Constants

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT OBJ_FONT = 6;

// System colours (GetSysColor); every other index gives black.
constexpr int COLOR_WINDOW = 5;      // 0xFFFFFF
constexpr int COLOR_WINDOWTEXT = 8;  // 0x000000
constexpr int COLOR_HIGHLIGHT = 13;  // 0xD77800, RGB(0, 120, 215)
constexpr int COLOR_BTNFACE = 15;    // 0xF0F0F0, RGB(240, 240, 240)

// System metrics (GetSystemMetrics); every other index gives 0.
constexpr int SM_CXVSCROLL = 2;  // 17 pixels
constexpr int SM_CXEDGE = 45;    // 2 pixels

// Stock objects (GetStockObject).
constexpr int SYSTEM_FONT = 13;       // pixel height 16
constexpr int DEFAULT_GUI_FONT = 17;  // pixel height 8

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[32];
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // TRUE when the background still needs erasing (WM_ERASEBKGND returned 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// ---------------------------------------------------------------------------------------------
// Free functions. A null or stale handle does nothing and gives 0, FALSE or null.

// A device context for the window's client area, or null when the window has none available
// (see vplatform::SetDeviceContextsAvailable). Release it with ReleaseDC.
VPLATFORM_API HDC GetDC(HWND hWnd);
VPLATFORM_API int ReleaseDC(HWND hWnd, HDC hDC);
// Starts painting: sends WM_ERASEBKGND when the invalidation asked for erasing, validates the
// window and returns a device context for the whole client area.
VPLATFORM_API HDC BeginPaint(HWND hWnd, PAINTSTRUCT* paint);
VPLATFORM_API BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* paint);

VPLATFORM_API HGDIOBJ GetStockObject(int object);
VPLATFORM_API HFONT CreateFontIndirectW(const LOGFONTW* font);
VPLATFORM_API BOOL DeleteObject(HGDIOBJ object);
// Selects a font into the device context and returns the one it replaces.
VPLATFORM_API HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object);

VPLATFORM_API COLORREF SetTextColor(HDC hDC, COLORREF color);
VPLATFORM_API COLORREF GetTextColor(HDC hDC);
VPLATFORM_API COLORREF SetBkColor(HDC hDC, COLORREF color);
VPLATFORM_API COLORREF GetBkColor(HDC hDC);
VPLATFORM_API int SetBkMode(HDC hDC, int mode);

// With ETO_OPAQUE, fills `rect` with the background colour; then draws the text, if any, at
// (x, y) in the text colour.
VPLATFORM_API BOOL ExtTextOutW(HDC hDC, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                               UINT count, const int* dx);
// Draws one line of text (line breaks are not interpreted) aligned in `rect` by DT_LEFT,
// DT_CENTER, DT_RIGHT and, with DT_SINGLELINE, DT_TOP, DT_VCENTER, DT_BOTTOM; clipped to
// `rect` unless DT_NOCLIP. In the OPAQUE mode the text's cell is first filled with the
// background colour. DT_CALCRECT only sets rect's right and bottom to the text's extent.
// `count` -1 means a null-terminated text. Returns the height of the text.
VPLATFORM_API int DrawTextW(HDC hDC, LPCWSTR text, int count, LPRECT rect, UINT format);
VPLATFORM_API BOOL GetTextExtentPoint32W(HDC hDC, LPCWSTR text, int count, SIZE* size);
VPLATFORM_API BOOL LPtoDP(HDC hDC, POINT* points, int count);

VPLATFORM_API COLORREF GetSysColor(int index);
VPLATFORM_API int GetSystemMetrics(int index);

// ---------------------------------------------------------------------------------------------
// Framework classes

class VPLATFORM_API CGdiObject {
  public:
    CGdiObject() = default;
    // Deletes the object it holds.
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }  // NOLINT: as in the framework

    // The object attached to the handle, or else a temporary object (a CFont for a font) owned
    // by the platform, valid until the GDI object is deleted. Null for a null or stale handle.
    static CGdiObject* FromHandle(HGDIOBJ handle);

    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();
};

class VPLATFORM_API CFont : public CGdiObject {
  public:
    CFont() = default;
    ~CFont() override;

    static CFont* FromHandle(HFONT handle);
    operator HFONT() const { return reinterpret_cast<HFONT>(m_hObject); }  // NOLINT

    BOOL CreateFontIndirect(const LOGFONTW* font);
    // The font's pixel height (see the metrics above), or 0 without a font.
    int GetPixelHeight() const;
};

class VPLATFORM_API CDC {
  public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    operator HDC() const { return m_hDC; }  // NOLINT: as in the framework

    // The object attached to the handle, or else a temporary object owned by the platform,
    // valid until the device context is released. Null for a null or stale handle.
    static CDC* FromHandle(HDC hDC);

    BOOL Attach(HDC hDC);
    HDC Detach();

    CFont* SelectObject(CFont* pFont);
    CGdiObject* SelectStockObject(int index);

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);

    // Fills the rectangle with `color`; the background colour becomes `color`.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format);
    int DrawText(const CString& text, LPRECT rect, UINT format);

    void LPtoDP(POINT* points, int count = 1) const;
    void LPtoDP(LPRECT rect) const;
    void LPtoDP(LPSIZE size) const;
};

// The device context of a paint: BeginPaint on construction, EndPaint on destruction.
class VPLATFORM_API CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

  protected:
    HWND m_hWnd;
};

// A device context for a window's client area: GetDC on construction, ReleaseDC on destruction.
class VPLATFORM_API CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

  protected:
    HWND m_hWnd;
};

// ---------------------------------------------------------------------------------------------
// Observing what was drawn. These belong to the stand-in, not to the Win32 interface.

namespace vplatform {

enum class DrawOp {
    BeginPaint,  // rect: the paint rectangle
    EndPaint,
    SelectFont,    // object: the font selected in
    SetTextColor,  // color
    SetBkColor,    // color
    SetBkMode,     // value: TRANSPARENT or OPAQUE
    Fill,          // rect (as given, before clipping), color
    DrawText,      // text, rect (as given), format, color: the text colour
};

struct DrawCall {
    DrawOp op = DrawOp::BeginPaint;
    RECT rect{};
    COLORREF color = 0;
    int value = 0;
    UINT format = 0;
    HGDIOBJ object = nullptr;
    std::wstring text;
};

// The drawing calls made on the window's device contexts since it was created or the log was
// last cleared, in order.
VPLATFORM_API std::vector<DrawCall> GetDrawLog(HWND hWnd);
VPLATFORM_API void ClearDrawLog(HWND hWnd);

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // row by row from the top left, 0x00BBGGRR

    COLORREF at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// A copy of the window's pixel surface (empty for a null or stale handle). A new window's
// surface is black (0). On Windows the window paints its client area into it first.
VPLATFORM_API Surface GetSurface(HWND hWnd);
// Sets every pixel of the window's surface to `color` (tests paint a marker colour first to
// see which pixels a paint covers).
VPLATFORM_API void FillSurface(HWND hWnd, COLORREF color);
// Writes the window's surface as an 8-bit RGB PNG file. False when the window is unknown,
// its surface is empty, or the file cannot be written.
VPLATFORM_API bool SaveSurfacePng(HWND hWnd, const char* path);

// Makes GetDC and BeginPaint on the window fail (FALSE) or work again (TRUE).
VPLATFORM_API void SetDeviceContextsAvailable(HWND hWnd, BOOL available);
// The number of device contexts not yet released.
VPLATFORM_API int CountDeviceContexts();

}  // namespace vplatform
