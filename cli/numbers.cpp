#include "numbers.h"

#include <charconv>
#include <cstdio>

#include "cli.h"
#include "measure/decimal.h"

namespace cli {

namespace {

// A bound as a person writes it: 0, 1, 1000000.
std::string Bound(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

template <typename Real>
Real ParseReal(const std::string& text, const std::string& what, const Range& range) {
    const std::string quoted = what + ": '" + text + "'";
    Real value{};
    switch (vantrel::measure::ReadDecimal(text, &value)) {
        case vantrel::measure::NumberResult::NotANumber:
            throw UsageError(quoted + " is not a number");
        case vantrel::measure::NumberResult::OutOfRange:
            throw UsageError(quoted + " is out of range");
        case vantrel::measure::NumberResult::Ok:
            break;
    }
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
