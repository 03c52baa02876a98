// Combo-box menus: filling from menu strings and resources, picking items, the dropped width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vantrel/dialog.h"
#include "vantrel_platform/gdi.h"

namespace {

using vplatform::WindowKind;
using Items = std::vector<std::wstring>;

class ComboMenu : public ::testing::Test {
  protected:
    void Make(DWORD style = 0) {
        combo_.DestroyWindow();
        combo_.Attach(vplatform::CreateWindow(WindowKind::ComboBox, nullptr, 7, 10, 20, style));
    }
    Items Contents() const {
        Items items;
        for (int i = 0; i < combo_.GetCount(); ++i) {
            CString text;
            combo_.GetLBText(i, text);
            items.push_back(text.str());
        }
        return items;
    }
    void SetUp() override { Make(); }
    CComboBox combo_;
};

// Each menu loaded into a combo box holding five items, and each of its items picked by index;
// past the last item the pick gives two backslashes.
TEST_F(ComboMenu, MenusFillTheListAndGiveTheirItemsByIndex) {
    const std::wstring longMenu = std::wstring(130, L'x') + L",";
    const struct {
        const char* what;
        const wchar_t* menu;
        DWORD style;
        Items expected;
    } cases[] = {
        {"three items replace five", L"Red,Green,Blue,", 0, {L"Red", L"Green", L"Blue"}},
        {"sorting combo box sorts", L"Red,Green,Blue,", CBS_SORT, {L"Blue", L"Green", L"Red"}},
        {"the last character is the delimiter", L"a,b;c,d;", 0, {L"a,b", L"c,d"}},
        {"without a final delimiter the last character splits", L"cat,dog", 0, {L"cat,do"}},
        {"two delimiters in a row make an empty item", L"a,,b,", 0, {L"a", L"", L"b"}},
        {"a lone delimiter is one empty item", L",", 0, {L""}},
        {"an empty text empties the combo box", L"", 0, {}},
        {"an item keeps 127 code units", longMenu.c_str(), 0, {std::wstring(127, L'x')}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Make(c.style);
        for (const wchar_t* old : {L"1", L"2", L"3", L"4", L"5"}) combo_.AddString(old);
        std::wstring menu = c.menu;
        LoadMenuItem(menu.data(), &combo_);
        EXPECT_EQ(Contents(), c.expected);
        if (c.style == CBS_SORT) continue;
        for (unsigned i = 0; i <= c.expected.size(); ++i)
            EXPECT_EQ(GetIthMenuItemDesc(c.menu, i).str(),
                      i < c.expected.size() ? c.expected[i] : L"\\\\");
    }
    EXPECT_EQ(GetIthMenuItemDesc(nullptr, 0), L"\\\\");
}

TEST_F(ComboMenu, ResourceMenusComeFromTheApplicationsStringTable) {
    AFX_MODULE_STATE* app = AfxGetAppModuleState();
    app->SetString(5000, L"Low;Medium;High;");
    AFX_MODULE_STATE plugIn(L"plug-in");
    plugIn.SetString(5000, L"Other;");
    {
        AFX_MAINTAIN_STATE2 switched(&plugIn);
        LoadMenuItem(5000u, &combo_);
        EXPECT_EQ(AfxGetModuleState(), &plugIn);  // restored after the load
    }
    EXPECT_EQ(Contents(), (Items{L"Low", L"Medium", L"High"}));

    LoadMenuItem(5001u, &combo_);  // no such string: an empty menu
    EXPECT_TRUE(Contents().empty());

    // 40 items of 7 code units: only the 36 that end within 255 code units are kept.
    std::wstring menu;
    for (int i = 0; i < 40; ++i) menu += L"item" + std::to_wstring(10 + i) + L",";
    app->SetString(5002, menu.c_str());
    LoadMenuItem(5002u, &combo_);
    Items items = Contents();
    ASSERT_EQ(items.size(), 36u);
    EXPECT_EQ(items.back(), L"item45");
    app->RemoveString(5000);
    app->RemoveString(5002);
}

struct WidthCase {
    const char* what;
    Items items;
    bool font;
    bool deviceContext;
    int expected;  // the dropped width afterwards; 55 (set before): unchanged
};

TEST_F(ComboMenu, PostFillComboBoxWidensTheListToItsWidestItem) {
    LOGFONTW lf{};
    lf.lfHeight = 16;
    CFont font;
    font.CreateFontIndirect(&lf);
    HDC hDC = GetDC(combo_.m_hWnd);
    HGDIOBJ previous = SelectObject(hDC, font.m_hObject);
    SIZE widest{};
    GetTextExtentPoint32W(hDC, L"0123456789", 10, &widest);
    SelectObject(hDC, previous);
    ReleaseDC(combo_.m_hWnd, hDC);
    const int frame = GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE);
    const WidthCase cases[] = {
        {"the widest item", {L"Short", L"0123456789", L"Mid"}, true, true, widest.cx + frame},
        {"an empty list gets the scroll bar and two edges", {}, true, true, frame},
        {"no font: unchanged", {L"0123456789"}, false, true, 55},
        {"no device context: unchanged", {L"0123456789"}, true, false, 55},
    };
    for (const WidthCase& c : cases) {
        Make();
        for (const std::wstring& item : c.items) combo_.AddString(item.c_str());
        if (c.expected == 55) combo_.SetDroppedWidth(55);  // Win32 lists narrow only to their box
        if (c.font) combo_.SetFont(&font, FALSE);
        vplatform::SetDeviceContextsAvailable(combo_.m_hWnd, c.deviceContext);
        PostFillComboBox(combo_);
        EXPECT_EQ(combo_.GetDroppedWidth(), c.expected) << c.what;
        EXPECT_EQ(vplatform::CountDeviceContexts(), 0) << c.what;
    }
    // The font was selected in and the previous one back.
    Make();
    combo_.SetFont(&font, FALSE);
    PostFillComboBox(combo_);
    std::vector<HGDIOBJ> selected;
    for (const auto& call : vplatform::GetDrawLog(combo_.m_hWnd))
        if (call.op == vplatform::DrawOp::SelectFont) selected.push_back(call.object);
    EXPECT_EQ(selected, (std::vector<HGDIOBJ>{font.m_hObject, GetStockObject(SYSTEM_FONT)}));
}

}  // namespace
