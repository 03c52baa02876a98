// Decimal numbers of measurement files, read exactly: the nearest double to the decimal text,
// whatever the locale. Most values are short decimals ("12.34", "-0.5"); those are read from
// their digits with one rounding, and everything else goes through std::from_chars.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vantrel::measure {

enum class NumberResult { Ok, NotANumber, OutOfRange };

// The common form of a measured value: an optional sign, then up to 15 digits with an
// optional point and no exponent; its value is negative x mantissa / 10^decimals.
struct ShortDecimal {
    std::uint64_t mantissa = 0;
    int decimals = 0;
    bool negative = false;

    // The nearest double: the digits and the power of ten are exact doubles, so one division
    // rounds correctly.
    double ToDouble() const {
        static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[decimals];
        return negative ? -magnitude : magnitude;
    }

    // The nearest float, which is also the nearest double narrowed, when there are at most 7
    // decimals and the digits fit a float: such a value lies further than 2^-48 (relative)
    // from any midpoint between two floats, so the product with the rounded reciprocal
    // (relative error below 2^-52) rounds to the same float. False otherwise.
    bool ToFloat(float* value) const {
        static constexpr double kReciprocals[] = {1, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};
        if (decimals > 7 || mantissa > (1u << 24)) return false;
        const double magnitude = static_cast<double>(mantissa) * kReciprocals[decimals];
        *value = static_cast<float>(negative ? -magnitude : magnitude);
        return true;
    }
};

// Reads a ShortDecimal at `begin`; returns where it stops, or null when the text does not
// start that way (or has more digits).
__attribute__((always_inline)) inline const char* ScanShortDecimal(const char* begin,
                                                                   const char* end,
                                                                   ShortDecimal* number) {
    const char* p = begin;
    number->negative = p != end && *p == '-';
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
    number->mantissa = mantissa;
    number->decimals = decimals;
    return p;
}

// The same as ScanShortDecimal where the text goes on to a byte that is neither a digit nor
// a point (a line end, or a zero byte put after the text): the scan needs no bound, and reads
// the digits before and after the point in two loops, counting each run once.
__attribute__((always_inline)) inline const char* ScanTerminatedShortDecimal(const char* begin,
                                                                             ShortDecimal* number) {
    const char* p = begin;
    number->negative = *p == '-';
    p += *p == '-' || *p == '+';
    const char* const first = p;
    std::uint64_t mantissa = 0;
    unsigned digit;
    // Past 15 digits the mantissa wraps, and the number is refused.
    while ((digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10) {
        mantissa = mantissa * 10 + digit;
        ++p;
    }
    std::ptrdiff_t count = p - first;
    int decimals = 0;
    if (*p == '.') {
        const char* const fraction = ++p;
        while ((digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10) {
            mantissa = mantissa * 10 + digit;
            ++p;
        }
        decimals = static_cast<int>(p - fraction);
        count += decimals;
    }
    if (count == 0 || count > 15) return nullptr;
    number->mantissa = mantissa;
    number->decimals = decimals;
    return p;
}

// A decimal number: an optional sign, digits with an optional point (at least one digit) and
// an optional exponent, as in "5e-01", "1E+2", ".5" or "-0". Gives the nearest double;
// NotANumber for anything else (hexadecimal, "inf", "nan", trailing characters), OutOfRange
// beyond the range of float, where the colour functions work.
inline NumberResult ParseNumber(std::string_view text, double* value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    ShortDecimal decimal;
    if (ScanShortDecimal(begin, end, &decimal) == end) {
        *value = decimal.ToDouble();
        return NumberResult::Ok;
    }
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

}  // namespace vantrel::measure
