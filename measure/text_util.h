// Small text helpers of the measurement library: ASCII case-insensitive comparison, strict
// decimal numbers, and text made safe to quote in a one-line message.
#pragma once

#include <charconv>
#include <cstdint>
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

enum class NumberResult { Ok, NotANumber, OutOfRange };

// The common form of a measured value at `begin`: an optional sign, then up to 15 digits with
// an optional point and no exponent. The digits and the power of ten are exact doubles, so one
// division gives the nearest double. Returns where the number stops, or null when the text
// does not start that way (or has more digits).
__attribute__((always_inline)) inline const char* ParseShortDecimal(const char* begin,
                                                                    const char* end,
                                                                    double* value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    std::uint64_t mantissa = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit < 10) {
            mantissa = mantissa * 10 + digit;
            ++count;
            decimals += point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (count == 0 || count > 15) return nullptr;
    const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    *value = negative ? -magnitude : magnitude;
    return p;
}

// A decimal number: an optional sign, digits with an optional point (at least one digit) and
// an optional exponent, as in "5e-01", "1E+2", ".5" or "-0". Gives the nearest double;
// NotANumber for anything else (hexadecimal, "inf", "nan", trailing characters), OutOfRange
// beyond the range of float, where the colour functions work.
inline NumberResult ParseNumber(std::string_view text, double* value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (ParseShortDecimal(begin, end, value) == end) return NumberResult::Ok;
    if (begin != end && *begin == '+') ++begin;
    const char* digits = begin != end && *begin == '-' && begin == text.data() ? begin + 1 : begin;
    if (digits == end || !((*digits >= '0' && *digits <= '9') || *digits == '.'))
        return NumberResult::NotANumber;
    auto [stop, error] = std::from_chars(begin, end, *value, std::chars_format::general);
    if (stop != end || (error != std::errc() && error != std::errc::result_out_of_range))
        return NumberResult::NotANumber;
    constexpr double kFloatMax = 3.4028234663852886e38;
    if (error != std::errc() || !(*value >= -kFloatMax && *value <= kFloatMax))
        return NumberResult::OutOfRange;
    return NumberResult::Ok;
}

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or truncated sequences).
bool IsUtf8(std::string_view text);

// `text` for a message: control bytes, and every byte outside ASCII when the text is not
// UTF-8, as \xNN; cut after 40 bytes with "...".
std::string Printable(std::string_view text);

}  // namespace vantrel::measure
