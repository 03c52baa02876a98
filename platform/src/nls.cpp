// The local clock and the user's locale, over the operating system's (nls_system.h).
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "vantrel_platform/winnls.h"

#include "nls_system.h"

namespace {

constexpr LCID kFirstNamedLocale = 0x10000;  // clear of the Win32 constants

// ---------------------------------------------------------------------------------------------
// Locale names and ids

bool IsCLocaleName(const std::string& name) {
    return name == "C" || name == "POSIX";
}

std::string UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        const std::string name = value;
        return IsCLocaleName(name) || !vplatform::nls::IsInstalled(name) ? "C" : name;
    }
    return vplatform::nls::DefaultLocaleName();
}

std::mutex gNamesMutex;
std::vector<std::string>& NamedLocales() {
    static std::vector<std::string> names;
    return names;
}

LCID IdOfName(const std::string& name) {
    if (IsCLocaleName(name)) return LOCALE_INVARIANT;
    std::lock_guard<std::mutex> lock(gNamesMutex);
    std::vector<std::string>& names = NamedLocales();
    auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) found = names.insert(names.end(), name);
    return kFirstNamedLocale + static_cast<LCID>(found - names.begin());
}

bool NameOfId(LCID id, std::string* name) {
    if (id == LOCALE_USER_DEFAULT) {
        *name = UserLocaleName();
        return true;
    }
    if (id == LOCALE_INVARIANT) {
        *name = "C";
        return true;
    }
    std::lock_guard<std::mutex> lock(gNamesMutex);
    const std::vector<std::string>& names = NamedLocales();
    if (id < kFirstNamedLocale || id - kFirstNamedLocale >= names.size()) return false;
    *name = names[id - kFirstNamedLocale];
    return true;
}

// ---------------------------------------------------------------------------------------------
// Formatting

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValidDate(const SYSTEMTIME& t) {
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1)
        return false;
    const int days = kDaysInMonth[t.wMonth - 1] + (t.wMonth == 2 && IsLeapYear(t.wYear) ? 1 : 0);
    return t.wDay <= days;
}

bool IsValidTime(const SYSTEMTIME& t) {
    return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

SYSTEMTIME Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

// Copies `text` and its terminator into `out` as the Win32 formatters do.
int Deliver(const std::wstring& text, LPWSTR out, int capacity) {
    const int needed = static_cast<int>(text.size()) + 1;
    if (capacity == 0) return needed;
    if (!out || capacity < needed) return 0;
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = L'\0';
    return needed;
}

using vplatform::nls::Picture;

int Format(LCID id, Picture picture, const SYSTEMTIME& t, LPWSTR out, int capacity) {
    if (capacity < 0) return 0;
    std::string name;
    if (!NameOfId(id, &name)) return 0;
    const vplatform::nls::DateTime when = {t.wYear, t.wMonth,  t.wDayOfWeek, t.wDay,
                                           t.wHour, t.wMinute, t.wSecond,    t.wMilliseconds};
    std::wstring text;
    if (!vplatform::nls::Format(name, picture, when, &text)) return 0;
    return Deliver(text, out, capacity);
}

// ---------------------------------------------------------------------------------------------
// The picture without seconds

struct Token {
    bool conversion;    // a % conversion, else literal text
    std::wstring text;  // as written
    wchar_t conversionChar;
};

// Splits a strftime format into conversions (with their flags, width and E/O modifier) and
// runs of literal text; "%%" is literal.
std::vector<Token> Tokenize(const std::wstring& format) {
    std::vector<Token> tokens;
    auto literal = [&](const std::wstring& text) {
        if (!tokens.empty() && !tokens.back().conversion)
            tokens.back().text += text;
        else
            tokens.push_back({false, text, 0});
    };
    for (size_t i = 0; i < format.size();) {
        if (format[i] != L'%' || i + 1 >= format.size()) {
            literal(format.substr(i, 1));
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < format.size() && std::wcschr(L"_-0^#", format[j])) ++j;
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9') ++j;
        if (j < format.size() && (format[j] == L'E' || format[j] == L'O')) ++j;
        if (j >= format.size()) {
            literal(format.substr(i));
            break;
        }
        if (format[j] == L'%')
            literal(format.substr(i, j + 1 - i));
        else
            tokens.push_back({true, format.substr(i, j + 1 - i), format[j]});
        i = j + 1;
    }
    return tokens;
}

std::wstring Join(const std::vector<Token>& tokens) {
    std::wstring text;
    for (const Token& t : tokens) text += t.text;
    return text;
}

// Spells out the composite conversions so that the seconds stand alone.
std::wstring SpellOut(const std::wstring& format, const std::wstring& ampmFormat, bool expandAmPm) {
    std::wstring result;
    for (const Token& t : Tokenize(format)) {
        if (!t.conversion)
            result += t.text;
        else if (t.conversionChar == L'T')
            result += L"%H:%M:%S";
        else if (t.conversionChar == L'R')
            result += L"%H:%M";
        else if (t.conversionChar == L'r' && expandAmPm)
            result += SpellOut(ampmFormat.empty() ? L"%I:%M:%S %p" : ampmFormat, L"", false);
        else
            result += t.text;
    }
    return result;
}

bool IsBlank(wchar_t ch) {
    return ch == L' ' || ch == L'\t' || ch == L'\u00A0' || ch == L'\u2009' || ch == L'\u202F' ||
           ch == L'\u3000';
}

std::wstring TrimBlanks(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

namespace vplatform {

std::wstring TimeFormatWithoutSeconds(const std::wstring& timeFormat,
                                      const std::wstring& ampmFormat) {
    std::vector<Token> tokens = Tokenize(SpellOut(timeFormat, ampmFormat, true));
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].conversion || tokens[i].conversionChar != L'S') continue;
        const bool hasAfter = i + 1 < tokens.size() && !tokens[i + 1].conversion;
        const std::wstring after = hasAfter ? tokens[i + 1].text : std::wstring();
        const size_t unitEnd = std::find_if(after.begin(), after.end(), IsBlank) - after.begin();
        const bool unitStandsAlone = unitEnd < after.size() || i + 2 >= tokens.size();
        if (unitEnd > 0 && unitStandsAlone) {
            tokens[i + 1].text.erase(0, unitEnd);  // the seconds' unit word, "秒"
        } else if (i > 0 && !tokens[i - 1].conversion) {
            tokens[i - 1].text.clear();  // the separator before the seconds, ":"
        }
        tokens[i].text.clear();
    }
    return TrimBlanks(Join(tokens));
}

}  // namespace vplatform

void GetLocalTime(SYSTEMTIME* lpSystemTime) {
    if (!lpSystemTime) return;
    const vplatform::nls::DateTime now = vplatform::nls::LocalNow();
    lpSystemTime->wYear = static_cast<WORD>(now.year);
    lpSystemTime->wMonth = static_cast<WORD>(now.month);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(now.dayOfWeek);
    lpSystemTime->wDay = static_cast<WORD>(now.day);
    lpSystemTime->wHour = static_cast<WORD>(now.hour);
    lpSystemTime->wMinute = static_cast<WORD>(now.minute);
    lpSystemTime->wSecond = static_cast<WORD>(now.second);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.milliseconds);
}

LCID GetUserDefaultLCID() {
    return IdOfName(UserLocaleName());
}

int LCIDToLocaleName(LCID Locale, LPWSTR lpName, int cchName, DWORD /*dwFlags*/) {
    std::string name;
    if (cchName < 0 || !NameOfId(Locale, &name)) return 0;
    return Deliver(std::wstring(name.begin(), name.end()), lpName, cchName);
}

int GetDateFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCWSTR lpFormat,
                   LPWSTR lpDateStr, int cchDate) {
    if (lpFormat || (dwFlags != 0 && dwFlags != DATE_SHORTDATE)) return 0;
    const SYSTEMTIME when = lpDate ? *lpDate : Now();
    if (!IsValidDate(when)) return 0;
    return Format(Locale, Picture::kShortDate, when, lpDateStr, cchDate);
}

int GetTimeFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCWSTR lpFormat,
                   LPWSTR lpTimeStr, int cchTime) {
    if (lpFormat || (dwFlags != 0 && dwFlags != TIME_NOSECONDS)) return 0;
    const SYSTEMTIME when = lpTime ? *lpTime : Now();
    if (!IsValidTime(when)) return 0;
    const Picture picture =
        dwFlags == TIME_NOSECONDS ? Picture::kTimeWithoutSeconds : Picture::kTime;
    return Format(Locale, picture, when, lpTimeStr, cchTime);
}
