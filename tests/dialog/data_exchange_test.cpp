// Percentage fields and range checks in dialog data exchange: parsing, display, the standard
// validators, the corrective validators and the message they show.
#include <gtest/gtest.h>

#include <cfloat>
#include <cwchar>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/shown_boxes.h"
#include "support/test_support.h"
#include "vantrel/dialog.h"
#include "vantrel/frame.h"
#include "vantrel_platform/message_box.h"

namespace {

using testing_support::Hex;
constexpr UINT kEdit = 1001;

// Runs `exchange`; true when it failed the exchange (CDataExchange::Fail).
template <typename Exchange>
bool Fails(Exchange&& exchange) {
    try {
        exchange();
    } catch (const CUserException&) {
        return true;
    }
    return false;
}

// A dialog with one edit control, the application named, message boxes recorded.
class DataExchange : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog_.Attach(vplatform::CreateDialog(
            L"Settings", 300, 200,
            {{kEdit, vplatform::WindowKind::Edit, 80, 20, 0, L"untouched"}}));
        vplatform::ClearMessageBoxLog();
        testing_support::TakeShownBoxes();
        AfxGetAppModuleState()->m_lpszCurrentAppName = L"Profiler";
    }
    void TearDown() override {
        AfxGetAppModuleState()->m_lpszCurrentAppName = nullptr;
        vplatform::ClearMessageBoxLog();
    }
    HWND Control() const { return ::GetDlgItem(dialog_.m_hWnd, kEdit); }
    std::wstring Text() const {
        wchar_t buffer[128];
        GetWindowTextW(Control(), buffer, 128);
        return buffer;
    }
    void Type(const wchar_t* text) { SetWindowTextW(Control(), text); }
    static std::vector<vplatform::MessageBoxRecord> Boxes() {
        return vplatform::GetMessageBoxLog();
    }
    CWnd dialog_;
};

// What each type reads from a text; nullopt: the parse prompt, and the variable keeps 77.
struct ParseCase {
    const wchar_t* text;
    std::optional<int> asInt;
    std::optional<UINT> asUInt;
    std::optional<float> asFloat;
};

const ParseCase kParseCases[] = {
    {L"50%", 50, 50u, 50.0f},
    {L"  50%", 50, 50u, 50.0f},
    {L"50abc", 50, 50u, 50.0f},
    {L"", 0, 0u, 0.0f},
    {L"-", 0, 0u, 0.0f},
    {L"abc", std::nullopt, std::nullopt, std::nullopt},
    {L"%5", std::nullopt, std::nullopt, std::nullopt},
    {L"   ", std::nullopt, std::nullopt, std::nullopt},
    {L"12.5%", 12, 12u, 12.5f},
    {L"1e2", 1, 1u, 100.0f},
    {L"-5%", -5, 4294967291u, -5.0f},                    // the runtime's %u takes a minus sign
    {L"                              78", 7, 7u, 7.0f},  // the 32nd code unit is not read
};

template <typename T, typename Exchange>
void CheckParsing(CWnd& dialog, std::optional<T> ParseCase::*expected, Exchange ddx,
                  const wchar_t* prompt) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "'");
        vplatform::ClearMessageBoxLog();
        SetWindowTextW(::GetDlgItem(dialog.m_hWnd, kEdit), c.text);
        T value = T(77);
        CDataExchange dx(&dialog, TRUE);
        const bool failed = Fails([&] { ddx(&dx, kEdit, value); });
        const std::optional<T>& want = c.*expected;
        EXPECT_EQ(failed, !want.has_value());
        EXPECT_EQ(value, want.value_or(T(77)));
        auto boxes = vplatform::GetMessageBoxLog();
        ASSERT_EQ(boxes.size(), failed ? 1u : 0u);
        if (!failed) continue;
        EXPECT_EQ(boxes[0].text, prompt);
        EXPECT_EQ(boxes[0].helpId, UINT(-1));
        EXPECT_EQ(boxes[0].style, 0x30u);  // MB_OK; the framework adds the exclamation mark
    }
}

TEST_F(DataExchange, PercentageTextsParseOrRaiseThePromptOfTheirType) {
    CheckParsing<int>(dialog_, &ParseCase::asInt, DDX_Percentage_Integer, L"Enter a whole number.");
    CheckParsing<UINT>(dialog_, &ParseCase::asUInt, DDX_Percentage_UINT,
                       L"Enter a whole number of 0 or more.");
    CheckParsing<float>(dialog_, &ParseCase::asFloat, DDX_Percentage_float, L"Enter a number.");
}

TEST_F(DataExchange, PercentagesShowWithAPercentSign) {
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
        Type(L"");
        show();
        EXPECT_EQ(Text(), text);
    }
}

// The standard validators (Ddv*) and the corrective ones, plain and in percentage form.
enum class Form { kInt, kIntPct, kUIntPct, kFloat, kFloatPct, kDdvInt, kDdvUInt, kDdvFloat };

struct ValidateCase {
    const char* what;
    Form form;
    double value, min, max;
    double expected;         // the variable afterwards
    const wchar_t* text;     // the control afterwards
    const wchar_t* message;  // null: passes
};

// Runs the validator of c.form on a variable holding c.value, value and bounds converted to the
// form's own type (4e9 is no int); returns the variable afterwards.
double Validate(CWnd* w, CDataExchange* dx, const ValidateCase& c, bool& failed) {
    const Form f = c.form;
    const bool isInt = f == Form::kInt || f == Form::kIntPct || f == Form::kDdvInt;
    const bool isUInt = f == Form::kUIntPct || f == Form::kDdvUInt;
    const auto lo = [&] { return static_cast<int>(c.min); };
    const auto hi = [&] { return static_cast<int>(c.max); };
    const UINT ulo = static_cast<UINT>(c.min), uhi = static_cast<UINT>(c.max);
    const float flo = static_cast<float>(c.min), fhi = static_cast<float>(c.max);
    int i = isInt ? static_cast<int>(c.value) : 0;
    UINT u = isUInt ? static_cast<UINT>(c.value) : 0;
    float x = static_cast<float>(c.value);
    const auto run = [&] {
        if (f == Form::kInt) return CustomValidate(w, dx, kEdit, i, lo(), hi(), nullptr);
        if (f == Form::kIntPct) return CustomValidate_Int_Percentage(w, dx, kEdit, i, lo(), hi());
        if (f == Form::kUIntPct) return CustomValidate_UINT_Percentage(w, dx, kEdit, u, ulo, uhi);
        if (f == Form::kFloat) return CustomValidate(w, dx, kEdit, x, flo, fhi, nullptr);
        if (f == Form::kFloatPct) return CustomValidate_float_Percentage(w, dx, kEdit, x, flo, fhi);
        if (f == Form::kDdvInt) return DDV_MinMax_Int_Percentage(dx, i, lo(), hi()), 1;
        if (f == Form::kDdvUInt) return DDV_MinMax_UINT_Percentage(dx, u, ulo, uhi), 1;
        return DDV_MinMax_float_Percentage(dx, x, flo, fhi), 1;
    };
    failed = Fails([&] { EXPECT_EQ(run(), 1); });
    return isInt ? i : isUInt ? u : static_cast<double>(x);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const wchar_t* const k0To100 = L"A number between 0 and 100 is required. Closest value inserted";
const wchar_t* const kHalfTo99 =
    L"A number between 0.50 and 99.50 is required. Closest value inserted";
const wchar_t* const k10To5 = L"A number between 10 and 5 is required. Closest value inserted";
const wchar_t* const k0ToLarge =
    L"A number between 0 and -294967296 is required. Closest value inserted";
const wchar_t* const kDdvInt = L"Enter a whole number from 0 to 100.";
const wchar_t* const kDdvUInt = L"Enter a whole number from 5 to 4000000000.";
const wchar_t* const kDdvFloat = L"Enter a number from 0.5 to 99.5.";

const ValidateCase kValidateCases[] = {
    {"int at the upper bound", Form::kInt, 100, 0, 100, 100, L"untouched", nullptr},
    {"int above", Form::kInt, 101, 0, 100, 100, L"100", k0To100},
    {"int below", Form::kInt, -5, 0, 100, 0, L"0", k0To100},
    {"int percentage above", Form::kIntPct, 101, 0, 100, 100, L"100%", k0To100},
    {"an inverted range gives its upper bound", Form::kInt, 7, 10, 5, 5, L"5", k10To5},
    {"float at the upper bound", Form::kFloat, 99.5, 0.5, 99.5, 99.5, L"untouched", nullptr},
    {"float above", Form::kFloat, 120, 0.5, 99.5, 99.5, L"99.50", kHalfTo99},
    {"float below", Form::kFloat, 0.25, 0.5, 99.5, 0.5, L"0.50", kHalfTo99},
    {"float percentage above", Form::kFloatPct, 120, 0.5, 99.5, 99.5, L"99.50%", kHalfTo99},
    {"NaN fails and stays NaN", Form::kFloat, kNaN, 0.5, 99.5, kNaN, L"nan", kHalfTo99},
    {"unsigned at the lower bound", Form::kUIntPct, 0, 0, 100, 0, L"untouched", nullptr},
    {"unsigned above", Form::kUIntPct, 150, 0, 100, 100, L"100%", k0To100},
    // The unsigned check runs on the bits read as signed numbers.
    {"a large value reads as negative", Form::kUIntPct, 4e9, 0, 100, 0, L"0%", k0To100},
    {"a large bound reads as negative", Form::kUIntPct, 7, 0, 4e9, 4e9, L"4000000000%", k0ToLarge},
    {"standard int in range", Form::kDdvInt, 100, 0, 100, 100, L"untouched", nullptr},
    {"standard int above", Form::kDdvInt, 101, 0, 100, 101, L"untouched", kDdvInt},
    {"standard unsigned past INT_MAX", Form::kDdvUInt, 3e9, 0, 4e9, 3e9, L"untouched", nullptr},
    {"standard unsigned at the lower bound", Form::kDdvUInt, 5, 5, 4e9, 5, L"untouched", nullptr},
    {"standard unsigned below", Form::kDdvUInt, 1, 5, 4e9, 1, L"untouched", kDdvUInt},
    {"standard float lower bound", Form::kDdvFloat, 0.5, 0.5, 99.5, 0.5, L"untouched", nullptr},
    {"standard float above", Form::kDdvFloat, 99.75, 0.5, 99.5, 99.75, L"untouched", kDdvFloat},
    {"standard float NaN", Form::kDdvFloat, kNaN, 0.5, 99.5, kNaN, L"untouched", kDdvFloat},
};

TEST_F(DataExchange, ValidatorsPassOrCorrectTellAndFail) {
    for (const ValidateCase& c : kValidateCases) {
        SCOPED_TRACE(c.what);
        bool failed = true;
        Type(L"untouched");
        vplatform::ClearMessageBoxLog();
        CDataExchange into(&dialog_, FALSE);  // into the controls nothing is checked
        EXPECT_EQ(Hex(Validate(&dialog_, &into, c, failed)), Hex(c.value));
        EXPECT_FALSE(failed);
        EXPECT_EQ(Text(), L"untouched");
        EXPECT_TRUE(Boxes().empty());

        SetFocus(nullptr);
        CDataExchange dx(&dialog_, TRUE);
        if (c.form >= Form::kDdvInt) dx.PrepareEditCtrl(kEdit);
        EXPECT_EQ(Hex(Validate(&dialog_, &dx, c, failed)), Hex(c.expected));
        EXPECT_EQ(failed, c.message != nullptr);
        EXPECT_EQ(Text(), c.text);
        ASSERT_EQ(Boxes().size(), c.message ? 1u : 0u);
        if (!c.message) continue;
        EXPECT_EQ(Boxes()[0].text, c.message);
        EXPECT_EQ(Boxes()[0].caption, L"Profiler");
        EXPECT_EQ(Boxes()[0].style, 0x30u);
        EXPECT_EQ(GetFocus(), Control());
        int start = -1, end = -1;  // the whole text selected
        static_cast<CEdit*>(CWnd::FromHandle(Control()))->GetSel(start, end);
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, int(std::wcslen(c.text))));
        // Windows shows the box for real, over the dialog with the corrected control.
        const auto shown = testing_support::TakeShownBoxes();
        if (c.form >= Form::kDdvInt) continue;
        EXPECT_EQ(Boxes()[0].owner, dialog_.m_hWnd);
        if (!testing_support::kSystemShowsBoxes) continue;
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].owner, dialog_.m_hWnd);
        EXPECT_EQ(shown[0].caption + L": " + shown[0].text,
                  std::wstring(L"Profiler: ") + c.message);
        EXPECT_EQ(shown[0].ownerTexts, std::vector<std::wstring>{c.text});
    }
}

// The message, from the caller's string table, shows with the correction already in the control.
TEST_F(DataExchange, TheMessageFromTheStringTableShowsOverTheCorrectedControl) {
    AfxGetAppModuleState()->SetString(VANTREL_IDS_RANGE_MESSAGE, L"Zahl zwischen %1 und %2");
    std::wstring message, textAtMessage;
    auto previous = vplatform::SetMessageBoxSink([&](const vplatform::MessageBoxRecord& box) {
        message = box.text;
        textAtMessage = Text();
        return IDOK;
    });
    CDataExchange dx(&dialog_, TRUE);
    int value = 101;
    EXPECT_TRUE(Fails([&] { CustomValidate_Int_Percentage(&dialog_, &dx, kEdit, value, 0, 100); }));
    vplatform::SetMessageBoxSink(previous);
    AfxGetAppModuleState()->RemoveString(VANTREL_IDS_RANGE_MESSAGE);
    EXPECT_EQ(message, L"Zahl zwischen 0 und 100");
    EXPECT_EQ(textAtMessage, L"100%");
}

TEST_F(DataExchange, WithoutAWindowTheMessageGoesToTheMainWindowIfAny) {
    CWinApp app(L"Profiler");
    CWnd main, none;  // `none` has no window
    main.Attach(vplatform::CreateWindow(vplatform::WindowKind::Generic, nullptr, 0, 10, 10));
    AFX_MODULE_STATE plugIn(L"plug-in");
    plugIn.m_lpszCurrentAppName = L"Plug-in";
    for (int step = 0; step < 3; ++step) {
        if (step == 1) AfxGetAppModuleState()->m_pCurrentWinApp = &app;
        if (step == 2) app.m_pMainWnd = &main;
        AFX_MAINTAIN_STATE2 switched(&plugIn);
        CDataExchange dx(&dialog_, TRUE);
        int value = 200;
        EXPECT_TRUE(Fails([&] { CustomValidate(&none, &dx, kEdit, value, 0, 100, nullptr); }));
    }
    AfxGetAppModuleState()->m_pCurrentWinApp = nullptr;
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].owner, nullptr);  // no application
    EXPECT_EQ(boxes[1].owner, nullptr);  // no main window
    EXPECT_EQ(boxes[2].owner, main.m_hWnd);
    EXPECT_EQ(boxes[2].caption, L"Plug-in");  // the current module state's name
}

}  // namespace
