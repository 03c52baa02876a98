// The platform's clock and locale services: which locale the environment names, the short
// date and time formats taken from it, and the Win32 buffer protocol.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "support/test_support.h"
#include "vantrel_platform/winnls.h"

namespace {

using testing_support::LocaleInstalled;

// Names the user's locale through LC_ALL, LC_TIME and LANG (null unsets). Each test runs in a
// process of its own, and nothing else here reads these variables.
void SetLocaleEnvironment(const char* all, const char* time, const char* lang) {
    testing_support::SetEnvironment("LC_ALL", all);
    testing_support::SetEnvironment("LC_TIME", time);
    testing_support::SetEnvironment("LANG", lang);
}

std::wstring NameOf(LCID id) {
    wchar_t name[64] = L"?";
    LCIDToLocaleName(id, name, 64, 0);
    return name;
}

TEST(UserLocale, LcAllThenLcTimeThenLang) {
    if (!LocaleInstalled("de_DE.UTF-8") || !LocaleInstalled("en_US.UTF-8"))
        GTEST_SKIP() << "en_US.UTF-8 or de_DE.UTF-8 is not installed";
        // With no name in the environment: "C" on POSIX, the system's user locale on Windows.
#if defined(_WIN32)
    SetLocaleEnvironment(nullptr, nullptr, nullptr);
    const std::wstring unnamed = NameOf(LOCALE_USER_DEFAULT);
    EXPECT_NE(unnamed, L"C");
    EXPECT_NE(unnamed, L"?");
#else
    const std::wstring unnamed = L"C";
#endif
    const struct {
        const char *all, *time, *lang;
        const wchar_t* chosen;
    } cases[] = {
        {"de_DE.UTF-8", "en_US.UTF-8", "en_US.UTF-8", L"de_DE.UTF-8"},
        {"", "de_DE.UTF-8", "en_US.UTF-8", L"de_DE.UTF-8"},  // empty is skipped
        {nullptr, nullptr, "en_US.UTF-8", L"en_US.UTF-8"},
        {nullptr, nullptr, nullptr, unnamed.c_str()},
        {"xx_YY.UTF-8", "de_DE.UTF-8", nullptr, L"C"},  // not installed
        {"POSIX", nullptr, nullptr, L"C"},
    };
    for (const auto& c : cases) {
        SetLocaleEnvironment(c.all, c.time, c.lang);
        EXPECT_EQ(NameOf(GetUserDefaultLCID()), c.chosen);
        EXPECT_EQ(NameOf(LOCALE_USER_DEFAULT), c.chosen);
    }
}

const SYSTEMTIME kAfternoon = {2024, 3, 2, 5, 15, 7, 9, 250};  // 5 March 2024 15:07:09

std::wstring Format(bool date, LCID id, DWORD flags, const SYSTEMTIME& t = kAfternoon) {
    wchar_t out[128];
    const int n = date ? GetDateFormatW(id, flags, &t, nullptr, out, 128)
                       : GetTimeFormatW(id, flags, &t, nullptr, out, 128);
    return n ? out : L"(failed)";
}

// The invariant locale's short date: the C library's "%m/%d/%y", Windows' "MM/dd/yyyy".
#if defined(_WIN32)
const wchar_t* const kInvariantLeapDay = L"02/29/2000";
#else
const wchar_t* const kInvariantLeapDay = L"02/29/00";
#endif

TEST(DateAndTimeFormats, BufferProtocolAndRefusals) {
    const int units = static_cast<int>(std::wcslen(kInvariantLeapDay)) + 1;
    wchar_t out[16] = L"#";
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, 0, &kAfternoon, nullptr, out, 0), units);
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, 0, &kAfternoon, nullptr, out, units - 1), 0);
    EXPECT_EQ(out[0], L'#');
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, 0, &kAfternoon, L"dd.MM.yy", out, 16), 0);
    EXPECT_EQ(GetDateFormatW(0x12345678, 0, &kAfternoon, nullptr, out, 16), 0);
    EXPECT_EQ(Format(true, LOCALE_INVARIANT, 0, {2023, 2, 0, 29, 0, 0, 0, 0}), L"(failed)");
    EXPECT_EQ(Format(true, LOCALE_INVARIANT, 0, {2000, 2, 0, 29, 0, 0, 0, 0}), kInvariantLeapDay);
    EXPECT_EQ(Format(false, LOCALE_INVARIANT, 0), L"15:07:09");
    EXPECT_EQ(Format(false, LOCALE_INVARIANT, TIME_NOSECONDS), L"15:07");
}

TEST(TimeFormatWithoutSeconds, DropsTheSecondsWithTheirSeparatorOrUnit) {
    const struct {
        const wchar_t *format, *ampm, *expected;
    } cases[] = {
        {L"%T", L"", L"%H:%M"},
        {L"%r", L"%I:%M:%S %p", L"%I:%M %p"},
        {L"%Z %I:%M:%S %p", L"", L"%Z %I:%M %p"},
        {L"%l:%M:%S\u1361%p", L"", L"%l:%M\u1361%p"},
        {L"%H\u6642%M\u5206%S\u79d2", L"", L"%H\u6642%M\u5206"},
        {L"%p %I\u6642%M\u5206%S\u79d2 %Z", L"", L"%p %I\u6642%M\u5206 %Z"},
        {L"%H\uc2dc %M\ubd84 %S\ucd08", L"", L"%H\uc2dc %M\ubd84"},
        {L"100%% %H:%M:%S", L"", L"100%% %H:%M"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vplatform::TimeFormatWithoutSeconds(c.format, c.ampm), c.expected);
}

}  // namespace
