// Resolution text, the current date and time under two locales, progress messages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "frame/string_ids.h"
#include "support/test_support.h"
#include "vantrel/text.h"
#include "vantrel_platform/afx.h"

namespace {

TEST(GetResolutionString, EachNumberGetsTheDecimalsItNeeds) {
    const struct {
        float x, y;
        const wchar_t* text;
    } cases[] = {
        {300, 0, L"300"},
        {0, 0, L"0"},
        {600, 600, L"600"},
        {600, 300, L"600x300"},
        {0.5f, 0.5f, L"0.5"},
        {1.5f, 2, L"1.5x2"},
        {1200, 0.25f, L"1200x0.25"},
        {0.1f, 0, L"0.1"},  // 0.1f times 10 rounds to exactly 1
        {0.0625f, 0, L"0.0625"},
        {0.03125f, 0, L"0.03125"},
        {0.123456f, 0, L"0.12346"},         // more than 4 decimals: exactly 5
        {2147483520.0f, 0, L"2147483520"},  // the largest float below 2^31 is whole
        {-2147483648.0f, 0, L"-2147483648"},
        {2147483648.0f, 0, L"2147483648.00000"},  // 2^31 fails the 32-bit test
        {std::nanf(""), 0, L"nanxnan"},
    };
    for (const auto& c : cases) {
        CString text(L"previous");
        GetResolutionString(c.x, c.y, text);
        EXPECT_EQ(text, c.text) << c.x << " " << c.y;
    }
    CString text;
    GetResolutionString(3e38f, 1, text);
    EXPECT_EQ(text.GetLength(), 31);
}

TEST(GetResolutionString, BufferFormCopiesAsWcsncpy) {
    const struct {
        std::uint32_t capacity;
        std::wstring buffer;  // all 10 units afterwards
    } cases[] = {
        {9, std::wstring(L"600x300\0\0#", 10)},  // rest zero-filled
        {7, L"600x300###"},                      // full: no terminator
        {3, L"600#######"},
        {0, L"##########"},
    };
    for (const auto& c : cases) {
        wchar_t out[10];
        std::fill_n(out, 10, L'#');
        GetResolutionString(600, 300, out, c.capacity);
        EXPECT_EQ(std::wstring(out, 10), c.buffer) << c.capacity;
    }
}

TEST(GetProgressMessageText, EveryCodeAndTheFallback) {
    const struct {
        short code;
        const wchar_t* message;
    } cases[] = {
        {0, L"Building ICC perceptual table..."},
        {1, L"Building ICC relative colorimetric table..."},
        {2, L"Building ICC saturation table..."},
        {10, L"Calculating gamut..."},
        {16, L"Building ICC Hifi-ink perceptual table..."},
        {17, L"Building ICC Hifi-ink relative colorimetric table..."},
        {18, L"Building ICC Hifi-ink saturation table..."},
        {20, L"Building ICC gamut table..."},
        {30, L"Smoothing look-up tables..."},
        {40, L"Building ICC forward look-up table..."},
        {51, L"Building ICC preview0Tag..."},
        {52, L"Building ICC preview1Tag..."},
        {53, L"Building ICC preview2Tag..."},
    };
    CString text(L"previous");
    for (const auto& c : cases) {
        GetProgressMessageText(c.code, text);
        EXPECT_EQ(text, c.message) << c.code;
    }
    for (short code : {3, 11, 50, 54, -1, 32767, -32768}) {
        GetProgressMessageText(code, text);
        EXPECT_EQ(text, L"Building look-up tables...") << code;
    }
    AFX_MODULE_STATE plugin(L"plug-in");
    plugin.SetString(vantrel::kIdsCalculatingGamut, L"Gamut wird berechnet...");
    AFX_MAINTAIN_STATE2 switched(&plugin);
    GetProgressMessageText(10, text);
    EXPECT_EQ(text, L"Gamut wird berechnet...");
}

std::wstring Expected(const char* format, std::time_t when) {
    const std::tm local = testing_support::LocalTime(when);
    char text[128];
    return std::wstring(text, text + std::strftime(text, sizeof text, format, &local));
}

// The time text under the locale that LC_ALL names, against the clock read around the call.
TEST(GetCurrentTimeStr, ShortDateOneBlankTimeWithoutSeconds) {
    // Locale, strftime format: the C library's formats, or Windows' own US one ("M/d/yyyy
    // h:mm tt", where '#' drops a leading zero). Wine's German short date is not Windows'
    // (d.M.yyyy against dd.MM.yyyy), so only the US form is pinned there.
#if defined(_WIN32)
    const char* cases[][2] = {{"en_US.UTF-8", "%#m/%#d/%Y %#I:%M %p"}};
#else
    const char* cases[][2] = {{"en_US.UTF-8", "%m/%d/%Y %I:%M %p"},
                              {"de_DE.UTF-8", "%d.%m.%Y %H:%M"}};
#endif
    for (const auto& c : cases) {
        if (!testing_support::LocaleInstalled(c[0])) continue;
        testing_support::SetEnvironment("LC_ALL", c[0]);  // each test runs in a process of its own
        const std::time_t before = std::time(nullptr);
        wchar_t out[128];
        GetCurrentTimeStr(out);
        const std::wstring text = out;
        EXPECT_TRUE(text == Expected(c[1], before) || text == Expected(c[1], std::time(nullptr)))
            << c[0] << ": " << testing::PrintToString(text);
    }
}

}  // namespace
