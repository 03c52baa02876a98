// Percentage fields: exchange in both directions, the standard validators, and display.
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "dialog_fixture.h"

namespace {

using dialog_testing::DialogTest;
using dialog_testing::Fails;
using Percentage = DialogTest;

// What each type reads from a text; nullopt: the parse prompt, and the variable keeps 77.
struct ParseCase {
    const wchar_t* text;
    std::optional<int> asInt;
    std::optional<UINT> asUInt;
    std::optional<float> asFloat;
};

const ParseCase kParseCases[] = {
    {L"50%", 50, 50u, 50.0f},
    {L"50", 50, 50u, 50.0f},
    {L"  50%", 50, 50u, 50.0f},
    {L"50abc", 50, 50u, 50.0f},
    {L"", 0, 0u, 0.0f},
    {L"-", 0, 0u, 0.0f},
    {L"abc", std::nullopt, std::nullopt, std::nullopt},
    {L"%5", std::nullopt, std::nullopt, std::nullopt},
    {L"   ", std::nullopt, std::nullopt, std::nullopt},
    {L"12.5%", 12, 12u, 12.5f},
    {L"1e2", 1, 1u, 100.0f},
    {L"-5%", -5, 4294967291u, -5.0f},  // the runtime's %u takes a minus sign
};

// Runs one exchange out of control kEdit holding `text`; returns whether it failed.
template <typename T, typename Exchange>
bool ExchangeOut(CWnd& dialog, const wchar_t* text, T& value, Exchange ddx) {
    SetWindowTextW(::GetDlgItem(dialog.m_hWnd, 1001), text);
    CDataExchange dx(&dialog, TRUE);
    return Fails([&] { ddx(&dx, 1001, value); });
}

template <typename T, typename Exchange>
void CheckParsing(CWnd& dialog, std::optional<T> ParseCase::*expected, Exchange ddx,
                  const wchar_t* prompt) {
    for (const ParseCase& c : kParseCases) {
        vplatform::ClearMessageBoxLog();
        T value = T(77);
        bool failed = ExchangeOut(dialog, c.text, value, ddx);
        const std::optional<T>& want = c.*expected;
        EXPECT_EQ(failed, !want.has_value()) << "'" << c.text << "'";
        EXPECT_EQ(value, want.value_or(T(77))) << "'" << c.text << "'";
        auto boxes = vplatform::GetMessageBoxLog();
        ASSERT_EQ(boxes.size(), failed ? 1u : 0u);
        if (!failed) continue;
        EXPECT_EQ(boxes[0].text, prompt);
        EXPECT_EQ(boxes[0].helpId, UINT(-1));
        EXPECT_EQ(boxes[0].style, 0x30u);  // MB_OK; the framework adds the exclamation mark
    }
}

TEST_F(Percentage, TextsParseOrRaiseThePromptOfTheirType) {
    CheckParsing<int>(dialog_, &ParseCase::asInt, DDX_Percentage_Integer, L"Enter a whole number.");
    CheckParsing<UINT>(dialog_, &ParseCase::asUInt, DDX_Percentage_UINT,
                       L"Enter a whole number of 0 or more.");
    CheckParsing<float>(dialog_, &ParseCase::asFloat, DDX_Percentage_float, L"Enter a number.");
    std::wstring text = std::wstring(30, L' ') + L"78";  // the 8 is the 32nd code unit: unread
    int value = 0;
    ExchangeOut(dialog_, text.c_str(), value, DDX_Percentage_Integer);
    EXPECT_EQ(value, 7);
}

TEST_F(Percentage, IntoTheControlAndDrawStringShowTheValueWithAPercentSign) {
    CDataExchange dx(&dialog_, FALSE);
    int i = 5;
    UINT u = 4000000000u;
    float a = 7.25f, b = 7.256f, widest = -FLT_MAX;
    const wchar_t* const kWidest = L"-340282346638528859811704183484516925440.00%";
    const std::pair<std::function<void()>, const wchar_t*> cases[] = {
        {[&] { DDX_Percentage_Integer(&dx, kEdit, i); }, L"5%"},
        {[&] { DDX_Percentage_float(&dx, kEdit, a); }, L"7.25%"},
        {[&] { DDX_Percentage_float(&dx, kEdit, b); }, L"7.26%"},
        {[&] { DDX_Percentage_UINT(&dx, kEdit, u); }, L"4000000000%"},
        {[&] { DDX_Percentage_float(&dx, kEdit, widest); }, kWidest},
        {[&] { DrawString_Int_Percentage(&dialog_, kEdit, 5); }, L"5%"},
        {[&] { DrawString_float_Percentage(&dialog_, kEdit, 7.256f); }, L"7.26%"},
        {[&] { DrawString_UINT_Percentage(&dialog_, kEdit, 4000000000u); }, L"4000000000%"},
        {[&] { DrawString_float_Percentage(&dialog_, kEdit, -FLT_MAX); }, kWidest},
    };
    for (const auto& [show, text] : cases) {
        Type(kEdit, L"");
        show();
        EXPECT_EQ(Text(kEdit), text);
    }
}

struct ValidatorCase {
    const char* what;
    void (*validate)(CDataExchange* pDX);
    const wchar_t* message;  // null: passes
};

const ValidatorCase kValidatorCases[] = {
    {"int in range", [](CDataExchange* d) { DDV_MinMax_Int_Percentage(d, 100, 0, 100); }, nullptr},
    {"int above", [](CDataExchange* d) { DDV_MinMax_Int_Percentage(d, 101, 0, 100); },
     L"Enter a whole number from 0 to 100."},
    {"unsigned compares unsigned",
     [](CDataExchange* d) { DDV_MinMax_UINT_Percentage(d, 3000000000u, 0u, 4000000000u); },
     nullptr},
    {"unsigned below", [](CDataExchange* d) { DDV_MinMax_UINT_Percentage(d, 1u, 5u, 4000000000u); },
     L"Enter a whole number from 5 to 4000000000."},
    {"float above", [](CDataExchange* d) { DDV_MinMax_float_Percentage(d, 99.75f, 0.5f, 99.5f); },
     L"Enter a number from 0.5 to 99.5."},
    {"float NaN",
     [](CDataExchange* d) {
         DDV_MinMax_float_Percentage(d, std::numeric_limits<float>::quiet_NaN(), 0.5f, 99.5f);
     },
     L"Enter a number from 0.5 to 99.5."},
};

TEST_F(Percentage, StandardValidatorsNameTheRangeThenFail) {
    for (const ValidatorCase& c : kValidatorCases) {
        vplatform::ClearMessageBoxLog();
        CDataExchange into(&dialog_, FALSE);
        c.validate(&into);  // into the controls nothing is checked
        EXPECT_TRUE(Boxes().empty()) << c.what;
        CDataExchange dx(&dialog_, TRUE);
        dx.PrepareEditCtrl(kEdit);
        EXPECT_EQ(Fails([&] { c.validate(&dx); }), c.message != nullptr) << c.what;
        if (!c.message) continue;
        ASSERT_EQ(Boxes().size(), 1u) << c.what;
        EXPECT_EQ(Boxes()[0].text, c.message) << c.what;
        EXPECT_EQ(GetFocus(), Control(kEdit)) << c.what;
    }
}

// A host dialog with one percentage field validated correctively.
class OpacityDialog : public CWnd {
  public:
    int opacity = 40;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Percentage_Integer(pDX, 1001, opacity);
        CustomValidate_Int_Percentage(this, pDX, 1001, opacity, 0, 100);
    }
};

TEST_F(Percentage, AHostDialogShowsParsesAndCorrectsItsField) {
    OpacityDialog host;
    host.Attach(vplatform::CreateDialog(L"Opacity", 100, 50,
                                        {{1001, vplatform::WindowKind::Edit, 60, 20}}));
    HWND field = ::GetDlgItem(host.m_hWnd, 1001);
    wchar_t text[32];
    EXPECT_TRUE(host.UpdateData(FALSE));
    GetWindowTextW(field, text, 32);
    EXPECT_STREQ(text, L"40%");

    SetWindowTextW(field, L"150 %");
    EXPECT_FALSE(host.UpdateData(TRUE));
    EXPECT_EQ(host.opacity, 100);
    GetWindowTextW(field, text, 32);
    EXPECT_STREQ(text, L"100%");
    EXPECT_TRUE(host.UpdateData(TRUE));
}

}  // namespace
