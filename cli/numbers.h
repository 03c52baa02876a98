// The one way the command reads a number from text, for every argument, option and line of
// input: the measurement library's decimal grammar (measure/decimal.h), whatever the locale,
// then the range the subcommand documents.
#pragma once

#include <limits>
#include <string>

namespace cli {

// The values a real-number argument may take: finite, and within [low, high], where an open
// end excludes its bound.
struct Range {
    double low = -std::numeric_limits<double>::infinity();
    bool lowOpen = false;
    double high = std::numeric_limits<double>::infinity();
    bool highOpen = false;
};

constexpr Range kAnyNumber{};
constexpr Range kNonNegative{0.0, false};
constexpr Range kPositive{0.0, true};

// A decimal number: an optional sign, digits with an optional point (at least one digit) and
// an optional exponent ("5e-01", "-.5", "+2"). NaN, infinities, hexadecimal, blanks and
// anything after the number are refused. ParseFloat gives the float nearest the decimal
// value, ParseDouble the nearest double; each refuses a value beyond its type's range. Every
// failure is a UsageError "WHAT: 'TEXT' is not a number" (or "is out of range", "is below 0",
// "is not above 0", ...).
float ParseFloat(const std::string& text, const std::string& what, const Range& range = {});
double ParseDouble(const std::string& text, const std::string& what, const Range& range = {});

// A whole number from `low` to `high`, decimal digits with an optional sign; a UsageError
// "WHAT: 'TEXT' is not a whole number from LOW to HIGH" otherwise.
long long ParseWhole(const std::string& text, const std::string& what, long long low,
                     long long high = std::numeric_limits<long long>::max());

}  // namespace cli
