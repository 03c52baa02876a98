// Small text helpers of the measurement library: ASCII case-insensitive comparison, strict
// decimal numbers, and text made safe to quote in a one-line message.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

namespace vantrel::measure {

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// A decimal number: an optional sign, digits with an optional point (at least one digit) and
// an optional exponent, as in "5e-01", "1E+2", ".5" or "-0". Gives the nearest double; false
// for anything else (hexadecimal, "inf", "nan", trailing characters) and beyond the range of
// double.
inline bool ParseNumber(std::string_view text, double* value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') ++begin;
    const char* digits = begin != end && *begin == '-' && begin == text.data() ? begin + 1 : begin;
    if (digits == end || !((*digits >= '0' && *digits <= '9') || *digits == '.')) return false;
    auto [stop, error] = std::from_chars(begin, end, *value, std::chars_format::general);
    return error == std::errc() && stop == end;
}

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or truncated sequences).
bool IsUtf8(std::string_view text);

// `text` for a message: control bytes, and every byte outside ASCII when the text is not
// UTF-8, as \xNN; cut after 40 bytes with "...".
std::string Printable(std::string_view text);

}  // namespace vantrel::measure
