#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli.h"

namespace cli {

namespace {

// Where the digits start, past one optional sign; null when the text is not shaped like a
// decimal number there (empty, "inf", "nan", a blank, a second sign).
const char* DigitsStart(const std::string& text) {
    const char* p = text.c_str();
    if (*p == '+' || *p == '-') ++p;
    return (*p >= '0' && *p <= '9') || *p == '.' ? p : nullptr;
}

// A bound as a person writes it: 0, 1, 1000000.
std::string Bound(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

template <typename Real>
Real ParseReal(const std::string& text, const std::string& what, const Range& range) {
    const std::string quoted = what + ": '" + text + "'";
    const char* digits = DigitsStart(text);
    if (!digits) throw UsageError(quoted + " is not a number");
    // from_chars takes a minus sign but not a plus.
    const char* begin = text[0] == '+' ? digits : text.c_str();
    const char* end = text.c_str() + text.size();
    Real value{};
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (stop != end || (error != std::errc() && error != std::errc::result_out_of_range))
        throw UsageError(quoted + " is not a number");
    if (error != std::errc() || !std::isfinite(value))
        throw UsageError(quoted + " is out of range");
    const double v = value;
    if (range.lowOpen ? !(v > range.low) : !(v >= range.low))
        throw UsageError(quoted + (range.lowOpen ? " is not above " : " is below ") +
                         Bound(range.low));
    if (range.highOpen ? !(v < range.high) : !(v <= range.high))
        throw UsageError(quoted + (range.highOpen ? " is not below " : " is above ") +
                         Bound(range.high));
    return value;
}

}  // namespace

float ParseFloat(const std::string& text, const std::string& what, const Range& range) {
    return ParseReal<float>(text, what, range);
}

double ParseDouble(const std::string& text, const std::string& what, const Range& range) {
    return ParseReal<double>(text, what, range);
}

long long ParseWhole(const std::string& text, const std::string& what, long long low,
                     long long high) {
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+' && begin + 1 != end && begin[1] != '-') ++begin;
    long long value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || stop != end || error != std::errc() || value < low || value > high)
        throw UsageError(what + ": '" + text + "' is not a whole number " +
                         (high == std::numeric_limits<long long>::max()
                              ? "of " + std::to_string(low) + " or more"
                              : "from " + std::to_string(low) + " to " + std::to_string(high)));
    return value;
}

}  // namespace cli
