// What the national-language services take from the operating system (internal to the
// platform library): locale names, the local clock and date and time formatting. POSIX systems
// use the C library's locales (posix/nls_system.cpp); Windows its own national-language
// services (win32/nls_system.cpp). This header names no type of either system.
#pragma once

#include <string>

namespace vplatform::nls {

// A date and time of day as SYSTEMTIME holds them (month 1 to 12, day of week 0 Sunday).
struct DateTime {
    int year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

// Which locale format a call wants.
enum class Picture { kShortDate, kTime, kTimeWithoutSeconds };

// Whether the system can format in the locale `name` ("C" is always there).
bool IsInstalled(const std::string& name);
// The user's locale when the environment names none: "C" on POSIX, the user's locale of the
// system's settings on Windows.
std::string DefaultLocaleName();
// The current local date and time.
DateTime LocalNow();
// `when` in the locale `name`'s format for `picture`; false when the locale is not there or
// the system refuses.
bool Format(const std::string& name, Picture picture, const DateTime& when, std::wstring* out);

}  // namespace vplatform::nls
