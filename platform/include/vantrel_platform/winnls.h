// The local clock and the user's locale: SYSTEMTIME, GetLocalTime, locale ids and the date and
// time formatting of the Win32 national-language services.
//
// The user's locale is named by the environment as the C library reads it: LC_ALL, then
// LC_TIME, then LANG, the first that is set and not empty; a name that the C library cannot
// load (not installed) or no name at all means the "C" locale. Formats come from the C
// library's locale data (nl_langinfo_l): the short date is the locale's D_FMT; the time is its
// T_FMT, which is the locale's 12-hour form (T_FMT_AMPM) where T_FMT names that form, as it does
// for en_US ("03:07 PM"), and a 24-hour form elsewhere (de_DE "15:07"). Fields are printed as
// those formats say (strftime), leading zeros included.
#pragma once

#include <string>

#include "vantrel_platform/wintypes.h"

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;      // 1 to 12
    WORD wDayOfWeek;  // 0 Sunday to 6 Saturday; GetLocalTime fills it, the formatters ignore it
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

// The current local date and time, by the C library's local time zone.
VPLATFORM_API void GetLocalTime(SYSTEMTIME* lpSystemTime);

// A locale id. Apart from the constants below, ids are handles that this platform gives to
// locale names as it meets them: the same name keeps the same id for the life of the process.
using LCID = DWORD;
constexpr LCID LOCALE_INVARIANT = 0x007F;     // the "C" locale
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;  // the user's locale at the time of the call

// The id of the user's locale as the environment names it now (LOCALE_INVARIANT for "C",
// "POSIX", no name or a locale that is not installed).
VPLATFORM_API LCID GetUserDefaultLCID();
// The locale name behind `Locale` (as the environment gave it, such as "de_DE.UTF-8"; "C" for
// LOCALE_INVARIANT) into `lpName` of `cchName` units. Returns the units written with the
// terminator; with `cchName` 0, the units needed; 0 for an unknown id or a short buffer.
VPLATFORM_API int LCIDToLocaleName(LCID Locale, LPWSTR lpName, int cchName, DWORD dwFlags);

constexpr DWORD DATE_SHORTDATE = 0x00000001;
constexpr DWORD TIME_NOSECONDS = 0x00000002;

// Formats the date of `lpDate` (null: the current local time) in the locale's short date
// format. `dwFlags` is 0 or DATE_SHORTDATE; `lpFormat` must be null (explicit pictures are not
// supported). Returns the units written into `lpDateStr` with the terminator; with `cchDate`
// 0, the units needed (nothing is written). 0 on failure: unknown locale id, unsupported flags
// or picture, a date out of range (year 1601 to 30827, a real day of the month), a buffer too
// short (then nothing is written).
VPLATFORM_API int GetDateFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate,
                                 LPCWSTR lpFormat, LPWSTR lpDateStr, int cchDate);
// Formats the time of day of `lpTime` (null: the current local time) in the locale's time
// format, or with TIME_NOSECONDS in that format without its seconds. `dwFlags` is 0 or
// TIME_NOSECONDS; otherwise as GetDateFormatW (hours below 24, minutes and seconds below 60,
// milliseconds below 1000).
VPLATFORM_API int GetTimeFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime,
                                 LPCWSTR lpFormat, LPWSTR lpTimeStr, int cchTime);

namespace vplatform {

// The strftime format that GetTimeFormatW uses with TIME_NOSECONDS, from a locale's T_FMT and
// T_FMT_AMPM. %T, %R and %r are spelled out first (%r as `ampmFormat`, or "%I:%M:%S %p" when
// that is empty). Each seconds conversion (%S, %OS, %ES) then goes with its unit word, the
// text right after it when that text is followed by a blank or ends the format ("%H時%M分%S秒"
// gives "%H時%M分"); otherwise with the separator before it ("%I:%M:%S %p" gives "%I:%M %p").
// Blanks left at either end are trimmed.
VPLATFORM_API std::wstring TimeFormatWithoutSeconds(const std::wstring& timeFormat,
                                                    const std::wstring& ampmFormat);

}  // namespace vplatform
