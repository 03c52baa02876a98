// The national-language services' system part on Windows: locale names as Windows knows them,
// its local clock and its own date and time formats (GetDateFormatEx, GetTimeFormatEx).
#include <windows.h>

#include <string>

#include "../nls_system.h"

namespace vplatform::nls {
namespace {

// The Windows name of a locale named the POSIX way ("de_DE.UTF-8@euro" is "de-DE"); "C" and
// "POSIX" are the invariant locale (""). Names already in the Windows form pass unchanged.
std::wstring WindowsName(const std::string& name) {
    if (name == "C" || name == "POSIX") return std::wstring();
    std::wstring windowsName;
    for (char ch : name) {
        if (ch == '.' || ch == '@') break;
        windowsName.push_back(ch == '_' ? L'-'
                                        : static_cast<wchar_t>(static_cast<unsigned char>(ch)));
    }
    return windowsName;
}

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; *text; ++text) narrow.push_back(static_cast<char>(*text));
    return narrow;
}

SYSTEMTIME ToSystemTime(const DateTime& t) {
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(t.year);
    time.wMonth = static_cast<WORD>(t.month);
    time.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    time.wDay = static_cast<WORD>(t.day);
    time.wHour = static_cast<WORD>(t.hour);
    time.wMinute = static_cast<WORD>(t.minute);
    time.wSecond = static_cast<WORD>(t.second);
    time.wMilliseconds = static_cast<WORD>(t.milliseconds);
    return time;
}

}  // namespace

bool IsInstalled(const std::string& name) {
    const std::wstring windowsName = WindowsName(name);
    return windowsName.empty() || IsValidLocaleName(windowsName.c_str());
}

std::string DefaultLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) == 0) return "C";
    return Narrow(name);
}

DateTime LocalNow() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
            now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

bool Format(const std::string& name, Picture picture, const DateTime& when, std::wstring* out) {
    if (!IsInstalled(name)) return false;
    const std::wstring windowsName = WindowsName(name);
    const wchar_t* locale = windowsName.empty() ? LOCALE_NAME_INVARIANT : windowsName.c_str();
    const SYSTEMTIME time = ToSystemTime(when);
    wchar_t text[256];
    const int written =
        picture == Picture::kShortDate
            ? GetDateFormatEx(locale, DATE_SHORTDATE, &time, nullptr, text, 256, nullptr)
            : GetTimeFormatEx(locale, picture == Picture::kTime ? 0 : TIME_NOSECONDS, &time,
                              nullptr, text, 256);
    if (written == 0) return false;
    out->assign(text);
    return true;
}

}  // namespace vplatform::nls
