// The platform's clock and locale services: which locale the environment names, the short
// date and time formats taken from it, and the Win32 buffer protocol.
#include <gtest/gtest.h>
#include <locale.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "vantrel_platform/winnls.h"

namespace {

bool IsInstalled(const char* name) {
    locale_t probe = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, name, locale_t(0));
    if (probe) freelocale(probe);
    return probe != locale_t(0);
}

// Sets LC_ALL, LC_TIME and LANG (null unsets) for the lifetime of the object.
class ScopedLocaleEnvironment {
  public:
    ScopedLocaleEnvironment(const char* all, const char* time, const char* lang) {
        const char* values[] = {all, time, lang};
        for (int i = 0; i < 3; ++i) {
            const char* old = std::getenv(kNames[i]);
            m_had[i] = old != nullptr;
            if (old) m_saved[i] = old;
            if (values[i])
                setenv(kNames[i], values[i], 1);
            else
                unsetenv(kNames[i]);
        }
    }
    ~ScopedLocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (m_had[i])
                setenv(kNames[i], m_saved[i].c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }

  private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_TIME", "LANG"};
    bool m_had[3];
    std::string m_saved[3];
};

std::wstring NameOf(LCID id) {
    wchar_t name[64] = L"?";
    LCIDToLocaleName(id, name, 64, 0);
    return name;
}

struct ChoiceCase {
    const char* what;
    const char *all, *time, *lang;
    const wchar_t* chosen;
};

TEST(UserLocale, LcAllThenLcTimeThenLang) {
    if (!IsInstalled("de_DE.UTF-8") || !IsInstalled("en_US.UTF-8"))
        GTEST_SKIP() << "en_US.UTF-8 or de_DE.UTF-8 is not installed";
    const ChoiceCase cases[] = {
        {"LC_ALL first", "de_DE.UTF-8", "en_US.UTF-8", "en_US.UTF-8", L"de_DE.UTF-8"},
        {"empty LC_ALL is skipped", "", "de_DE.UTF-8", "en_US.UTF-8", L"de_DE.UTF-8"},
        {"LANG last", nullptr, nullptr, "en_US.UTF-8", L"en_US.UTF-8"},
        {"nothing set", nullptr, nullptr, nullptr, L"C"},
        {"not installed", "xx_YY.UTF-8", "de_DE.UTF-8", nullptr, L"C"},
        {"POSIX", "POSIX", nullptr, nullptr, L"C"},
    };
    for (const ChoiceCase& c : cases) {
        ScopedLocaleEnvironment env(c.all, c.time, c.lang);
        EXPECT_EQ(NameOf(GetUserDefaultLCID()), c.chosen) << c.what;
        EXPECT_EQ(NameOf(LOCALE_USER_DEFAULT), c.chosen) << c.what;
    }
    ScopedLocaleEnvironment env(nullptr, nullptr, "de_DE.UTF-8");
    const LCID german = GetUserDefaultLCID();
    EXPECT_EQ(GetUserDefaultLCID(), german);
    EXPECT_NE(german, LOCALE_INVARIANT);
}

const SYSTEMTIME kAfternoon = {2024, 3, 2, 5, 15, 7, 9, 250};  // Tuesday 5 March 2024 15:07:09

struct FormatCase {
    const char* locale;
    const wchar_t *date, *time, *timeWithoutSeconds;
};

std::wstring Date(LCID id, const SYSTEMTIME& t, DWORD flags = DATE_SHORTDATE) {
    wchar_t out[128] = L"?";
    return GetDateFormatW(id, flags, &t, nullptr, out, 128) ? out : L"(failed)";
}

std::wstring Time(LCID id, const SYSTEMTIME& t, DWORD flags) {
    wchar_t out[128] = L"?";
    return GetTimeFormatW(id, flags, &t, nullptr, out, 128) ? out : L"(failed)";
}

class LocaleFormats : public testing::TestWithParam<FormatCase> {};

TEST_P(LocaleFormats, FollowTheLocalesData) {
    const FormatCase& c = GetParam();
    if (!IsInstalled(c.locale)) GTEST_SKIP() << c.locale << " is not installed";
    ScopedLocaleEnvironment env(nullptr, c.locale, nullptr);
    for (LCID id : {GetUserDefaultLCID(), LOCALE_USER_DEFAULT}) {
        EXPECT_EQ(Date(id, kAfternoon), c.date);
        EXPECT_EQ(Date(id, kAfternoon, 0), c.date);
        EXPECT_EQ(Time(id, kAfternoon, 0), c.time);
        EXPECT_EQ(Time(id, kAfternoon, TIME_NOSECONDS), c.timeWithoutSeconds);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleFormats,
    testing::Values(FormatCase{"en_US.UTF-8", L"03/05/2024", L"03:07:09 PM", L"03:07 PM"},
                    FormatCase{"de_DE.UTF-8", L"05.03.2024", L"15:07:09", L"15:07"},
                    FormatCase{"C", L"03/05/24", L"15:07:09", L"15:07"}),
    [](const testing::TestParamInfo<FormatCase>& info) {
        std::string name = info.param.locale;
        return name.substr(0, name.find('.'));
    });

TEST(DateAndTimeFormats, BufferProtocol) {
    ScopedLocaleEnvironment env("C", nullptr, nullptr);
    wchar_t out[16];
    std::fill_n(out, 16, L'#');
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, DATE_SHORTDATE, &kAfternoon, nullptr, out, 0), 9);
    EXPECT_EQ(out[0], L'#');
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, DATE_SHORTDATE, &kAfternoon, nullptr, out, 8), 0);
    EXPECT_EQ(out[0], L'#');
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, DATE_SHORTDATE, &kAfternoon, nullptr, out, 9), 9);
    EXPECT_EQ(std::wstring(out), L"03/05/24");
    EXPECT_EQ(GetTimeFormatW(LOCALE_INVARIANT, TIME_NOSECONDS, &kAfternoon, nullptr, nullptr, 0),
              6);
}

TEST(DateAndTimeFormats, RefusedArguments) {
    SYSTEMTIME t = kAfternoon;
    wchar_t out[32];
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, 2, &t, nullptr, out, 32), 0);  // long date
    EXPECT_EQ(GetDateFormatW(LOCALE_INVARIANT, 0, &t, L"dd.MM.yyyy", out, 32), 0);
    EXPECT_EQ(GetTimeFormatW(LOCALE_INVARIANT, 8, &t, nullptr, out, 32), 0);
    EXPECT_EQ(GetDateFormatW(0x12345678, 0, &t, nullptr, out, 32), 0);
    EXPECT_EQ(LCIDToLocaleName(0x12345678, out, 32, 0), 0);

    struct Bad {
        const char* what;
        WORD year, month, day, hour, minute, second;
        bool date;  // checked by the date (else the time) formatter
    };
    for (const Bad& b :
         {Bad{"30 February", 2024, 2, 30, 0, 0, 0, true},
          Bad{"29 February of a common year", 2023, 2, 29, 0, 0, 0, true},
          Bad{"month 13", 2024, 13, 1, 0, 0, 0, true}, Bad{"year 1600", 1600, 1, 1, 0, 0, 0, true},
          Bad{"hour 24", 2024, 1, 1, 24, 0, 0, false},
          Bad{"second 60", 2024, 1, 1, 0, 0, 60, false}}) {
        t = {b.year, b.month, 0, b.day, b.hour, b.minute, b.second, 0};
        const int written = b.date ? GetDateFormatW(LOCALE_INVARIANT, 0, &t, nullptr, out, 32)
                                   : GetTimeFormatW(LOCALE_INVARIANT, 0, &t, nullptr, out, 32);
        EXPECT_EQ(written, 0) << b.what;
    }
    t = {2000, 2, 0, 29, 23, 59, 59, 999};
    EXPECT_EQ(Date(LOCALE_INVARIANT, t), L"02/29/00");
    EXPECT_EQ(Time(LOCALE_INVARIANT, t, 0), L"23:59:59");
}

TEST(TimeFormatWithoutSeconds, DropsTheSecondsWithTheirSeparatorOrUnit) {
    struct Case {
        const wchar_t *format, *ampm, *expected;
    };
    const Case cases[] = {
        {L"%T", L"", L"%H:%M"},
        {L"%H:%M:%S", L"", L"%H:%M"},
        {L"%r", L"%I:%M:%S %p", L"%I:%M %p"},
        {L"%r", L"", L"%I:%M %p"},
        {L"%I:%M:%S %p %Z", L"", L"%I:%M %p %Z"},
        {L"%Z %I:%M:%S %p", L"", L"%Z %I:%M %p"},
        {L"%l:%M:%S\u1361%p", L"", L"%l:%M\u1361%p"},
        {L"%H.%M.%S", L"", L"%H.%M"},
        {L"%OH:%OM:%OS", L"", L"%OH:%OM"},
        {L"%H\u6642%M\u5206%S\u79d2", L"", L"%H\u6642%M\u5206"},
        {L"%p %I\u6642%M\u5206%S\u79d2 %Z", L"", L"%p %I\u6642%M\u5206 %Z"},
        {L"%H\uc2dc %M\ubd84 %S\ucd08", L"", L"%H\uc2dc %M\ubd84"},
        {L"kl. %H.%M %z", L"", L"kl. %H.%M %z"},
        {L"%R", L"", L"%H:%M"},
        {L"100%% %H:%M:%S", L"", L"100%% %H:%M"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vplatform::TimeFormatWithoutSeconds(c.format, c.ampm), c.expected)
            << testing::PrintToString(std::wstring(c.format));
}

TEST(LocalTime, ReadsTheLocalClock) {
    const std::time_t before = std::time(nullptr);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::time_t after = std::time(nullptr);
    std::tm tm{};
    tm.tm_year = now.wYear - 1900;
    tm.tm_mon = now.wMonth - 1;
    tm.tm_mday = now.wDay;
    tm.tm_hour = now.wHour;
    tm.tm_min = now.wMinute;
    tm.tm_sec = now.wSecond;
    tm.tm_isdst = -1;
    const std::time_t read = std::mktime(&tm);
    EXPECT_GE(read, before);
    EXPECT_LE(read, after);
    EXPECT_EQ(now.wDayOfWeek, tm.tm_wday);
    EXPECT_LT(now.wMilliseconds, 1000);
}

}  // namespace
