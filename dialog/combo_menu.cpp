// Combo boxes filled from menu strings: item texts, each followed by the delimiter that ends
// the whole text.
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <limits>

#include "vantrel/dialog.h"
#include "vantrel_platform/gdi.h"

namespace {

// An item keeps at most 127 code units; a resource text is split from a copy of at most 255.
constexpr int kItemCapacity = 128;
constexpr int kResourceCapacity = 256;
constexpr const wchar_t* kNoSuchItem = L"\\\\";

// Calls visit(item) for each item of the menu string, in order, while it returns true.
template <typename Visit>
void ForEachItem(const wchar_t* menu, size_t length, Visit visit) {
    if (length == 0) return;
    const wchar_t delimiter = menu[length - 1];
    size_t pos = 0;
    while (pos < length) {
        wchar_t item[kItemCapacity];
        int used = 0;
        for (; pos < length && menu[pos] != delimiter; ++pos)
            if (used < kItemCapacity - 1) item[used++] = menu[pos];
        item[used] = L'\0';
        if (!visit(static_cast<const wchar_t*>(item))) return;
        ++pos;  // over the delimiter
    }
}

size_t Length(const wchar_t* text) {
    return text ? std::wcslen(text) : 0;
}

}  // namespace

void LoadMenuItem(unsigned int nResourceID, CComboBox* pCombo) {
    CString menu;
    {
        // The id names a string of the calling application, not of this library.
        AFX_MAINTAIN_STATE2 appState(AfxGetAppModuleState());
        menu.LoadStringW(nResourceID);
    }
    int length = menu.GetLength();
    if (length >= kResourceCapacity) {
        // Keep the whole items that end within the work buffer.
        const wchar_t delimiter = menu[length - 1];
        length = kResourceCapacity - 1;
        while (length > 0 && menu[length - 1] != delimiter) --length;
    }
    wchar_t buffer[kResourceCapacity];
    std::copy_n(menu.GetString(), length, buffer);
    buffer[length] = L'\0';
    LoadMenuItem(buffer, pCombo);
}

void LoadMenuItem(wchar_t* pszMenu, CComboBox* pCombo) {
    if (!pCombo) return;
    for (int count = pCombo->GetCount(); count > 0; --count) pCombo->DeleteString(0);
    ForEachItem(pszMenu, Length(pszMenu), [pCombo](const wchar_t* item) {
        pCombo->AddString(item);
        return true;
    });
}

CString GetIthMenuItemDesc(const wchar_t* pszMenu, unsigned int nIndex) {
    CString result(kNoSuchItem);
    unsigned int index = 0;
    ForEachItem(pszMenu, Length(pszMenu), [&](const wchar_t* item) {
        if (index++ != nIndex) return true;
        result = item;
        return false;
    });
    return result;
}

void PostFillComboBox(CComboBox& combo) {
    HDC hDC = ::GetDC(combo.m_hWnd);
    if (!hDC) return;
    CDC* pDC = CDC::FromHandle(hDC);
    auto hFont = reinterpret_cast<HFONT>(combo.SendMessage(WM_GETFONT));
    CFont* pFont = hFont ? CFont::FromHandle(hFont) : nullptr;
    if (!pFont) {
        ::ReleaseDC(combo.m_hWnd, hDC);
        return;
    }
    CFont* pPrevious = pDC->SelectObject(pFont);

    std::int64_t widest = 0;
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString item;
        combo.GetLBText(i, item);
        SIZE size{0, 0};
        ::GetTextExtentPoint32W(pDC->m_hAttribDC, item, item.GetLength(), &size);
        pDC->LPtoDP(&size);
        widest = std::max<std::int64_t>(widest, size.cx);
    }
    const std::int64_t width =
        widest + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE);

    if (pPrevious) pDC->SelectObject(pPrevious);
    ::ReleaseDC(combo.m_hWnd, hDC);
    combo.SetDroppedWidth(
        static_cast<UINT>(std::min<std::int64_t>(width, std::numeric_limits<int>::max())));
}
