// The framework's drawing classes: GDI objects, fonts and device contexts.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "window_system.h"

using namespace vplatform::detail;

// ---------------------------------------------------------------------------------------------
// CGdiObject and CFont

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) {
    const UINT type = GdiObjectType(handle);
    if (type == 0) return nullptr;
    return GdiObjects().FromHandle(handle, [handle, type] {
        std::unique_ptr<CGdiObject> temporary;
        if (type == OBJ_FONT)
            temporary = std::make_unique<CFont>();
        else
            temporary = std::make_unique<CGdiObject>();
        temporary->m_hObject = handle;
        return temporary;
    });
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    if (m_hObject || GdiObjectType(handle) == 0 || !GdiObjects().Attach(handle, this)) return FALSE;
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    GdiObjects().Detach(handle, this);
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    if (GdiObjects().Permanent(m_hObject) != this) {  // a temporary or stale object owns nothing
        m_hObject = nullptr;
        return FALSE;
    }
    if (::DeleteObject(m_hObject)) return TRUE;  // clears m_hObject
    Detach();
    return FALSE;
}

CFont::~CFont() = default;

CFont* CFont::FromHandle(HFONT handle) {
    return dynamic_cast<CFont*>(CGdiObject::FromHandle(reinterpret_cast<HGDIOBJ>(handle)));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* font) {
    if (m_hObject) return FALSE;
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(CreateFontIndirectW(font));
    return handle ? Attach(handle) : FALSE;
}

// ---------------------------------------------------------------------------------------------
// CDC, CPaintDC, CClientDC

CDC::~CDC() {
    Detach();
}

CDC* CDC::FromHandle(HDC hDC) {
    if (!IsDeviceContext(hDC)) return nullptr;
    return DeviceContextObjects().FromHandle(hDC, [hDC] {
        auto temporary = std::make_unique<CDC>();
        temporary->m_hDC = temporary->m_hAttribDC = hDC;
        return temporary;
    });
}

BOOL CDC::Attach(HDC hDC) {
    if (m_hDC || !IsDeviceContext(hDC) || !DeviceContextObjects().Attach(hDC, this)) return FALSE;
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    DeviceContextObjects().Detach(hDC, this);
    m_hDC = m_hAttribDC = nullptr;
    return hDC;
}

CFont* CDC::SelectObject(CFont* pFont) {
    if (!pFont) return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, pFont->m_hObject);
    return CFont::FromHandle(reinterpret_cast<HFONT>(previous));
}

CGdiObject* CDC::SelectStockObject(int index) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, GetStockObject(index)));
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return ::SetTextColor(m_hDC, color);
}
COLORREF CDC::GetTextColor() const {
    return ::GetTextColor(m_hAttribDC);
}
COLORREF CDC::SetBkColor(COLORREF color) {
    return ::SetBkColor(m_hDC, color);
}
COLORREF CDC::GetBkColor() const {
    return ::GetBkColor(m_hAttribDC);
}
int CDC::SetBkMode(int mode) {
    return ::SetBkMode(m_hDC, mode);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    auto clamp = [](std::int64_t v) {
        return static_cast<LONG>(std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(),
                                                          std::numeric_limits<LONG>::max()));
    };
    RECT rect{x, y, clamp(std::int64_t{x} + cx), clamp(std::int64_t{y} + cy)};
    FillSolidRect(&rect, color);
}

int CDC::DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) {
    return ::DrawTextW(m_hDC, text, count, rect, format);
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
    return ::DrawTextW(m_hDC, text.GetString(), text.GetLength(), rect, format);
}

void CDC::LPtoDP(POINT* points, int count) const {
    ::LPtoDP(m_hDC, points, count);
}
void CDC::LPtoDP(LPRECT rect) const {
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    ::LPtoDP(m_hDC, corners, 2);
    *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}
void CDC::LPtoDP(LPSIZE size) const {
    POINT ends[2] = {{0, 0}, {size->cx, size->cy}};
    ::LPtoDP(m_hDC, ends, 2);
    *size = SIZE{ends[1].x - ends[0].x, ends[1].y - ends[0].y};
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    HDC hDC = m_hDC;
    Detach();
    ::ReleaseDC(m_hWnd, hDC);
}
