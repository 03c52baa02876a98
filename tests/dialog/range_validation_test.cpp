// Corrective range checks: CustomValidate in its three forms and the percentage forms.
#include <cmath>
#include <limits>

#include "dialog_fixture.h"
#include "vantrel/frame.h"

namespace {

using dialog_testing::DialogTest;
using dialog_testing::Fails;
using RangeValidation = DialogTest;

const wchar_t* const kMessage0To100 =
    L"A number between 0 and 100 is required. Closest value inserted";

struct IntCase {
    const char* what;
    int value;
    int min, max;
    bool percentage;  // CustomValidate_Int_Percentage instead of CustomValidate
    bool corrected;
    int expected;
    const wchar_t* text;  // of the control afterwards
};

TEST_F(RangeValidation, SignedValuesOutsideTheRangeTakeTheNearestBound) {
    const IntCase cases[] = {
        {"the upper bound passes", 100, 0, 100, false, false, 100, L"untouched"},
        {"one above becomes the upper bound", 101, 0, 100, false, true, 100, L"100"},
        {"below becomes the lower bound", -5, 0, 100, false, true, 0, L"0"},
        {"the percentage form shows a percent sign", 101, 0, 100, true, true, 100, L"100%"},
        {"the percentage form below", -5, 0, 100, true, true, 0, L"0%"},
        {"an inverted range corrects everything to its upper bound", 7, 10, 5, false, true, 5,
         L"5"},
    };
    for (const IntCase& c : cases) {
        vplatform::ClearMessageBoxLog();
        Type(kEdit, L"untouched");
        SetFocus(nullptr);
        CDataExchange dx(&dialog_, TRUE);
        int value = c.value;
        bool failed = false;
        try {
            int result =
                c.percentage
                    ? CustomValidate_Int_Percentage(&dialog_, &dx, kEdit, value, c.min, c.max)
                    : CustomValidate(&dialog_, &dx, kEdit, value, c.min, c.max, nullptr);
            EXPECT_EQ(result, 1) << c.what;
        } catch (const CUserException&) {
            failed = true;
        }
        EXPECT_EQ(failed, c.corrected) << c.what;
        EXPECT_EQ(value, c.expected) << c.what;
        EXPECT_EQ(Text(kEdit), c.text) << c.what;
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), c.corrected ? 1u : 0u) << c.what;
        if (!c.corrected) continue;
        EXPECT_EQ(GetFocus(), Control(kEdit)) << c.what;
        EXPECT_EQ(boxes[0].owner, dialog_.m_hWnd) << c.what;
        EXPECT_EQ(boxes[0].caption, L"Profiler") << c.what;
        EXPECT_EQ(boxes[0].style, 0x30u) << c.what;
        if (c.min == 0) {
            EXPECT_EQ(boxes[0].text, kMessage0To100) << c.what;
        }
    }
    EXPECT_EQ(Boxes().back().text,
              L"A number between 10 and 5 is required. Closest value inserted");
}

TEST_F(RangeValidation, VariableAndControlAreCorrectedBeforeTheMessageShows) {
    int value = 101;
    std::wstring textAtMessage;
    int valueAtMessage = 0;
    auto previous = vplatform::SetMessageBoxSink([&](const vplatform::MessageBoxRecord&) {
        textAtMessage = Text(kEdit);
        valueAtMessage = value;
        return IDOK;
    });
    CDataExchange dx(&dialog_, TRUE);
    EXPECT_THROW(CustomValidate_Int_Percentage(&dialog_, &dx, kEdit, value, 0, 100),
                 CUserException);
    vplatform::SetMessageBoxSink(previous);
    EXPECT_EQ(valueAtMessage, 100);
    EXPECT_EQ(textAtMessage, L"100%");
}

TEST_F(RangeValidation, IntoTheControlsEveryFormReturnsOneAndChangesNothing) {
    CDataExchange dx(&dialog_, FALSE);
    int i = 500;
    UINT u = 500;
    float f = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(CustomValidate(&dialog_, &dx, kEdit, i, 0, 100, nullptr), 1);
    EXPECT_EQ(CustomValidate(&dialog_, &dx, kEdit, u, 0u, 100u, nullptr), 1);
    EXPECT_EQ(CustomValidate(&dialog_, &dx, kEdit, f, 0.0f, 1.0f, nullptr), 1);
    EXPECT_EQ(i, 500);
    EXPECT_EQ(u, 500u);
    EXPECT_TRUE(std::isnan(f));
    EXPECT_EQ(Text(kEdit), L"untouched");
    EXPECT_TRUE(Boxes().empty());
}

struct FloatCase {
    const char* what;
    float value;
    bool percentage;
    bool corrected;
    float expected;  // NaN: stays NaN
    const wchar_t* text;
};

TEST_F(RangeValidation, FloatValuesAreCorrectedAndNaNNeverPasses) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const FloatCase cases[] = {
        {"the upper bound passes", 99.5f, false, false, 99.5f, L"untouched"},
        {"above, default format", 120.0f, false, true, 99.5f, L"99.50"},
        {"above, percentage form", 120.0f, true, true, 99.5f, L"99.50%"},
        {"below", 0.25f, false, true, 0.5f, L"0.50"},
        {"NaN fails and stays NaN", nan, false, true, nan, L"nan"},
    };
    for (const FloatCase& c : cases) {
        vplatform::ClearMessageBoxLog();
        Type(kEdit, L"untouched");
        CDataExchange dx(&dialog_, TRUE);
        float value = c.value;
        bool failed = Fails([&] {
            if (c.percentage)
                CustomValidate_float_Percentage(&dialog_, &dx, kEdit, value, 0.5f, 99.5f);
            else
                CustomValidate(&dialog_, &dx, kEdit, value, 0.5f, 99.5f, nullptr);
        });
        EXPECT_EQ(failed, c.corrected) << c.what;
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(value)) << c.what;
        else
            EXPECT_EQ(value, c.expected) << c.what;
        EXPECT_EQ(Text(kEdit), c.text) << c.what;
        if (c.corrected) {
            EXPECT_EQ(Boxes().at(0).text,
                      L"A number between 0.50 and 99.50 is required. Closest value inserted")
                << c.what;
        }
    }
}

struct UIntCase {
    const char* what;
    UINT value;
    UINT max;
    bool corrected;
    UINT expected;
    const wchar_t* text;
    const wchar_t* message;
};

TEST_F(RangeValidation, UnsignedValuesGoThroughTheSignedCheck) {
    const UIntCase cases[] = {
        {"in range", 50u, 100u, false, 50u, L"untouched", nullptr},
        {"above", 150u, 100u, true, 100u, L"100%", kMessage0To100},
        {"a large value reads as negative and takes the lower bound", 4000000000u, 100u, true, 0u,
         L"0%", kMessage0To100},
        {"a large upper bound reads as negative: every value takes it", 7u, 4000000000u, true,
         4000000000u, L"4000000000%",
         L"A number between 0 and -294967296 is required. Closest value inserted"},
    };
    for (const UIntCase& c : cases) {
        vplatform::ClearMessageBoxLog();
        Type(kEdit, L"untouched");
        CDataExchange dx(&dialog_, TRUE);
        UINT value = c.value;
        bool failed =
            Fails([&] { CustomValidate_UINT_Percentage(&dialog_, &dx, kEdit, value, 0u, c.max); });
        EXPECT_EQ(failed, c.corrected) << c.what;
        EXPECT_EQ(value, c.expected) << c.what;
        EXPECT_EQ(Text(kEdit), c.text) << c.what;
        if (c.message) {
            EXPECT_EQ(Boxes().at(0).text, c.message) << c.what;
        }
    }
}

TEST_F(RangeValidation, TheMessageComesFromTheCallersStringTable) {
    AfxGetAppModuleState()->SetString(VANTREL_IDS_RANGE_MESSAGE,
                                      L"Zahl zwischen %1 und %2 eingeben");
    CDataExchange dx(&dialog_, TRUE);
    int value = 200;
    EXPECT_THROW(CustomValidate(&dialog_, &dx, kEdit, value, 0, 100, nullptr), CUserException);
    AfxGetAppModuleState()->RemoveString(VANTREL_IDS_RANGE_MESSAGE);
    EXPECT_EQ(Boxes().at(0).text, L"Zahl zwischen 0 und 100 eingeben");
}

}  // namespace
