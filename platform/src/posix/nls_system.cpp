// The national-language services' system part on POSIX: the C library's locales (newlocale,
// nl_langinfo_l), strftime and the local time zone.
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <ctime>
#include <cwchar>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "../nls_system.h"
#include "vantrel_platform/winnls.h"

namespace vplatform::nls {
namespace {

// The C library's locale object for `name`, or null when that locale is not installed. Objects
// are made once per name and kept for the life of the process: freeing one releases character
// conversion data that another thread may be using through another object of the same locale.
locale_t CachedLocale(const std::string& name) {
    static std::mutex mutex;
    static auto* cache = new std::vector<std::pair<std::string, locale_t>>();
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& entry : *cache)
        if (entry.first == name) return entry.second;
    locale_t made = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, name.c_str(), locale_t(0));
    cache->emplace_back(name, made);
    return made;
}

// A locale with the categories that formatting needs; the C locale when `name` is not installed.
class LocaleHandle {
  public:
    explicit LocaleHandle(const std::string& name) : locale_(CachedLocale(name)) {
        if (!locale_) locale_ = CachedLocale("C");
    }

    locale_t Get() const { return locale_; }
    static bool IsInstalled(const std::string& name) { return CachedLocale(name) != locale_t(0); }

  private:
    locale_t locale_;
};

// Makes a locale the calling thread's for a scope, for the conversions that read it.
class ThreadLocaleScope {
  public:
    explicit ThreadLocaleScope(locale_t locale) : previous_(uselocale(locale)) {}
    ~ThreadLocaleScope() { uselocale(previous_); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

  private:
    locale_t previous_;
};

// Converts text of the thread's current locale to wide text; empty when it does not convert.
std::wstring Widen(const char* text) {
    std::mbstate_t state{};
    const char* source = text;
    const size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<size_t>(-1)) return std::wstring();
    std::wstring wide(length, L'\0');
    state = std::mbstate_t{};
    source = text;
    std::mbsrtowcs(&wide[0], &source, length, &state);
    return wide;
}

// strftime into wide text, growing the buffer until the text fits.
std::wstring FormatTime(const std::wstring& format, const std::tm& time) {
    if (format.empty()) return std::wstring();
    for (size_t size = 128; size <= 65536; size *= 4) {
        std::vector<wchar_t> buffer(size);
        const size_t written = std::wcsftime(buffer.data(), size, format.c_str(), &time);
        if (written > 0) return std::wstring(buffer.data(), written);
    }
    return std::wstring();  // a format whose every conversion prints nothing
}

// The broken-down time of `t`, with its weekday and day of the year worked out.
std::tm ToTm(const DateTime& t) {
    std::tm time{};
    time.tm_year = t.year - 1900;
    time.tm_mon = t.month - 1;
    time.tm_mday = t.day;
    time.tm_hour = t.hour;
    time.tm_min = t.minute;
    time.tm_sec = t.second;
    std::tm normalised = time;
    timegm(&normalised);
    time.tm_wday = normalised.tm_wday;
    time.tm_yday = normalised.tm_yday;
    return time;
}

// The strftime format of `picture` in `locale`, which must be the thread's current locale
// (the conversion to wide text reads its character set).
std::wstring LocaleFormat(Picture picture, locale_t locale) {
    switch (picture) {
        case Picture::kShortDate:
            return Widen(nl_langinfo_l(D_FMT, locale));
        case Picture::kTime:
            return Widen(nl_langinfo_l(T_FMT, locale));
        case Picture::kTimeWithoutSeconds:
            return vplatform::TimeFormatWithoutSeconds(Widen(nl_langinfo_l(T_FMT, locale)),
                                                       Widen(nl_langinfo_l(T_FMT_AMPM, locale)));
    }
    return std::wstring();
}

}  // namespace

bool IsInstalled(const std::string& name) {
    return LocaleHandle::IsInstalled(name);
}

std::string DefaultLocaleName() {
    return "C";
}

DateTime LocalNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    DateTime when;
    when.year = local.tm_year + 1900;
    when.month = local.tm_mon + 1;
    when.dayOfWeek = local.tm_wday;
    when.day = local.tm_mday;
    when.hour = local.tm_hour;
    when.minute = local.tm_min;
    when.second = std::min(local.tm_sec, 59);  // no leap second
    when.milliseconds = static_cast<int>(now.tv_nsec / 1000000);
    return when;
}

bool Format(const std::string& name, Picture picture, const DateTime& when, std::wstring* out) {
    LocaleHandle locale(name);
    if (!locale.Get()) return false;
    ThreadLocaleScope scope(locale.Get());
    *out = FormatTime(LocaleFormat(picture, locale.Get()), ToTm(when));
    return true;
}

}  // namespace vplatform::nls
