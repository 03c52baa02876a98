// Decimal numbers, read exactly: the nearest double (or float) to the decimal text, whatever
// the locale, by one grammar for measurement files and the command alike. Most measured values
// are short decimals ("12.34", "-0.5"); those are read from their digits with one rounding,
// and everything else goes through std::from_chars. And the one rule for a fixed-point zero
// written with a sign.
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
        // At most 15 digits: the signed conversion, the cheaper one, is exact.
        const double magnitude =
            static_cast<double>(static_cast<std::int64_t>(mantissa)) / kPowersOfTen[decimals];
        return negative ? -magnitude : magnitude;
    }

    // The nearest float, which is also the nearest double narrowed, when there are at most 7
    // decimals and the digits fit a float: such a value lies further than 2^-48 (relative)
    // from any midpoint between two floats, so the product with the rounded reciprocal
    // (relative error below 2^-52) rounds to the same float. False otherwise.
    bool ToFloat(float* value) const {
        static constexpr double kReciprocals[] = {1, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};
        if (decimals > 7 || mantissa > (1u << 24)) return false;
        const double magnitude =
            static_cast<double>(static_cast<std::int64_t>(mantissa)) * kReciprocals[decimals];
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

// Whether the 8 bytes at `p` (`values`: each byte xor '0') begin with `Integer` digits, a
// point, `Fraction` digits and a byte that is no digit (the number's end); gives the digits as
// an integer. `nonDigits` has bits in the bytes that are not digits. All shifts and masks are
// constants, and the check is one comparison, so that a run of numbers of one shape costs no
// mispredicted branch. A number of 8 bytes has its end in the byte after them, read only when
// the 8 bytes match: then they are text, and the byte after them is text or the byte after
// the text.
template <int Integer, int Fraction>
__attribute__((always_inline)) inline bool MatchFixedDecimal(const char* p, std::uint64_t values,
                                                             std::uint64_t nonDigits,
                                                             std::uint64_t* mantissa) {
    static_assert(Integer >= 1 && Fraction >= 1 && Integer + Fraction <= 7);
    constexpr int kLength = Integer + 1 + Fraction;
    constexpr std::uint64_t kNumber =
        kLength == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (kLength % 8))) - 1;
    constexpr std::uint64_t kPoint = std::uint64_t{0xFF} << (8 * Integer);
    constexpr std::uint64_t kEnd = kLength == 8 ? 0 : std::uint64_t{0xFF} << (8 * (kLength % 8));
    // The point is the only byte of the number that is not a digit, and is '.' ^ '0'.
    if (((nonDigits & kNumber & ~kPoint) | (values & kPoint)) !=
        (std::uint64_t{'.' ^ '0'} << (8 * Integer)))
        return false;
    if constexpr (kLength < 8) {
        if ((nonDigits & kEnd) == 0) return false;
    } else {
        const unsigned next = static_cast<unsigned char>(p[8]) - unsigned{'0'};
        if (next < 10 || p[8] == '.') return false;
    }
    constexpr std::uint64_t kInteger = (std::uint64_t{1} << (8 * Integer)) - 1;
    if constexpr (Integer + Fraction <= 4) {
        // Up to four digits: closed up over the point and moved up so that leading zeros fill
        // 4 bytes, the first digit lowest; then pairs, and the two pairs, are summed.
        constexpr int kDigits = Integer + Fraction;
        const std::uint64_t digits =
            (values & kInteger) |
            (values >> 8 & ((std::uint64_t{1} << (8 * kDigits)) - 1) & ~kInteger);
        std::uint64_t value = digits << (8 * (4 - kDigits));
        value = value * 10 + (value >> 8);
        *mantissa = (value & 0xFF) * 100 + (value >> 16 & 0xFF);
        return true;
    }
    // The digits close up over the point, and leading zeros fill the 8 bytes, the first digit
    // lowest; then pairs, fours and the eight are summed.
    const std::uint64_t digits =
        (values & kInteger) << 8 | (values & kNumber & ~kPoint & ~kInteger);
    std::uint64_t value = digits << (8 * (8 - kLength));
    value = value * 10 + (value >> 8);
    value = ((value & 0x000000FF000000FFu) * (100 + (std::uint64_t{1000000} << 32)) +
             ((value >> 16) & 0x000000FF000000FFu) * (1 + (std::uint64_t{10000} << 32))) >>
            32;
    *mantissa = value & 0xFFFFFFFFu;
    return true;
}

// The same as ScanTerminatedShortDecimal, where the 8 bytes after the sign may be read: the
// shapes instruments write most ("47.13", "5.02", "0.4713", "47.13245", "0.471325") are
// recognised in those 8 bytes at once, any other text is scanned byte by byte.
__attribute__((always_inline)) inline const char* ScanPaddedShortDecimal(const char* begin,
                                                                         ShortDecimal* number) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const bool negative = *begin == '-';
    const char* const p = begin + (negative || *begin == '+');
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    // Each digit becomes its value; any other byte keeps a bit in its high half, or a low half
    // of 10 or more.
    const std::uint64_t values = word ^ 0x3030303030303030u;
    const std::uint64_t nonDigits =
        (values & 0xF0F0F0F0F0F0F0F0u) |
        (((values & 0x0F0F0F0F0F0F0F0Fu) + 0x0606060606060606u) & 0x1010101010101010u);
    std::uint64_t mantissa;
    if (MatchFixedDecimal<2, 2>(p, values, nonDigits, &mantissa)) {
        *number = ShortDecimal{mantissa, 2, negative};
        return p + 5;
    }
    if (MatchFixedDecimal<1, 2>(p, values, nonDigits, &mantissa)) {
        *number = ShortDecimal{mantissa, 2, negative};
        return p + 4;
    }
    if (MatchFixedDecimal<1, 4>(p, values, nonDigits, &mantissa)) {
        *number = ShortDecimal{mantissa, 4, negative};
        return p + 6;
    }
    if (MatchFixedDecimal<2, 5>(p, values, nonDigits, &mantissa)) {
        *number = ShortDecimal{mantissa, 5, negative};
        return p + 8;
    }
    if (MatchFixedDecimal<1, 6>(p, values, nonDigits, &mantissa)) {
        *number = ShortDecimal{mantissa, 6, negative};
        return p + 8;
    }
#endif
    return ScanTerminatedShortDecimal(begin, number);
}

// The grammar of a decimal number, the one every number of a measurement file and of the
// command is read by: an optional sign, digits with an optional point (at least one digit) and
// an optional exponent, as in "5e-01", "1E+2", ".5" or "-0"; whatever the locale. Gives the
// nearest `Real` (float or double) to the decimal value; NotANumber for any other text
// (blanks, hexadecimal, "inf", "nan", a second sign, anything after the number), OutOfRange
// for a value beyond Real's range or too small for it to hold.
template <typename Real>
inline NumberResult ReadDecimal(std::string_view text, Real* value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    // std::from_chars takes a minus sign but not a plus.
    if (begin != end && *begin == '+') ++begin;
    const char* digits = begin != end && *begin == '-' && begin == text.data() ? begin + 1 : begin;
    if (digits == end || !((*digits >= '0' && *digits <= '9') || *digits == '.'))
        return NumberResult::NotANumber;
    auto [stop, error] = std::from_chars(begin, end, *value, std::chars_format::general);
    if (stop != end || (error != std::errc() && error != std::errc::result_out_of_range))
        return NumberResult::NotANumber;
    return error == std::errc() ? NumberResult::Ok : NumberResult::OutOfRange;
}

// A measured value: the decimal grammar read as the nearest double, OutOfRange also for a value
// that does not narrow to a finite float, the colour functions' type. Short decimals take the
// quick path.
inline NumberResult ParseNumber(std::string_view text, double* value) {
    ShortDecimal decimal;
    if (ScanShortDecimal(text.data(), text.data() + text.size(), &decimal) ==
        text.data() + text.size()) {
        *value = decimal.ToDouble();
        return NumberResult::Ok;
    }
    const NumberResult result = ReadDecimal(text, value);
    // The largest float and everything up to the midpoint above it narrow to the largest
    // float; the midpoint itself rounds to infinity.
    constexpr double kNarrowsToFloatMax = 0x1.ffffffp127;
    if (result == NumberResult::Ok &&
        !(*value > -kNarrowsToFloatMax && *value < kNarrowsToFloatMax))
        return NumberResult::OutOfRange;
    return result;
}

// A fixed-point text ("%.2f") without its sign when it shows nothing but zeros ("-0.00"): a
// negative value that rounds to zero would read as a difference where there is none.
inline std::string_view WithoutNegativeZero(std::string_view text) {
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);
    return text;
}

}  // namespace vantrel::measure
