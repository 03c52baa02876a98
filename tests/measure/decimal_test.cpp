// The fast reading of short decimals gives exactly what the general reading gives: the same
// stop and digits whatever the text, the nearest double, and for samples the nearest double
// narrowed to float.
#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>

#include "measure/decimal.h"

namespace {

namespace measure = vantrel::measure;

// Random words over digits, points, signs and a few other bytes, each followed by a line
// end: the unbounded scan stops where the bounded one does, with the same number, and what
// either accepts is the nearest double to its text.
TEST(ShortDecimal, TerminatedScanMatchesBoundedScanAndFromChars) {
    static const char kAlphabet[] = "0123456789012345678901234567890123456789...-+ e#\t";
    std::mt19937 random(13);
    std::uniform_int_distribution<std::size_t> length(0, 18);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    int accepted = 0;
    for (int round = 0; round < 400000; ++round) {
        std::string text(length(random), ' ');
        for (char& c : text) c = kAlphabet[pick(random)];
        const std::string terminated = text + "\n\0\0\0\0\0\0\0";
        const char* begin = terminated.data();
        measure::ShortDecimal bounded, fast, padded;
        const char* boundedStop = measure::ScanShortDecimal(begin, begin + text.size(), &bounded);
        const char* fastStop = measure::ScanTerminatedShortDecimal(begin, &fast);
        ASSERT_EQ(fastStop, boundedStop) << '"' << text << '"';
        ASSERT_EQ(measure::ScanPaddedShortDecimal(begin, &padded), fastStop) << text;
        if (!fastStop) continue;
        ASSERT_EQ(padded.mantissa, fast.mantissa) << text;
        ASSERT_EQ(padded.decimals, fast.decimals) << text;
        ASSERT_EQ(padded.negative, fast.negative) << text;
        ASSERT_EQ(fast.mantissa, bounded.mantissa) << text;
        ASSERT_EQ(fast.decimals, bounded.decimals) << text;
        ASSERT_EQ(fast.negative, bounded.negative) << text;
        double nearest = 0;
        const char* digits = begin + (*begin == '+');
        std::from_chars(digits, fastStop, nearest);
        ASSERT_EQ(fast.ToDouble(), nearest) << text;
        ++accepted;
    }
    EXPECT_GT(accepted, 100000);
}

// Every string of up to 5 digits, and a million of 6 to 8 digits, with the point anywhere or
// nowhere, after each sign and before each kind of end: the 8-byte reading of the common
// shapes stops where the byte-wise scan does, with the same number.
TEST(ShortDecimal, PaddedScanMatchesTerminatedScanOnEveryShortShape) {
    auto check = [](int length, long digits, int point, char sign, char end) {
        char text[24] = {};
        int at = 0;
        if (sign) text[at++] = sign;
        for (int k = length - 1; k >= 0; --k, digits /= 10)
            text[at + k + (point >= 0 && k >= point)] = char('0' + digits % 10);
        if (point >= 0) text[at + point] = '.';
        text[at + length + (point >= 0)] = end;
        measure::ShortDecimal expected, padded;
        const char* stop = measure::ScanTerminatedShortDecimal(text, &expected);
        ASSERT_EQ(measure::ScanPaddedShortDecimal(text, &padded), stop) << text;
        if (!stop) return;
        ASSERT_EQ(padded.mantissa, expected.mantissa) << text;
        ASSERT_EQ(padded.decimals, expected.decimals) << text;
        ASSERT_EQ(padded.negative, expected.negative) << text;
    };
    static const char kEnds[] = {' ', '\n', '\0', '.', '5', 'e', '#'};
    for (int length = 1; length <= 5; ++length) {
        int limit = 1;
        for (int k = 0; k < length; ++k) limit *= 10;
        for (int digits = 0; digits < limit; ++digits)
            for (int point = -1; point <= length; ++point)
                for (const char sign : {'\0', '-', '+'})
                    for (const char end : kEnds) check(length, digits, point, sign, end);
    }
    std::mt19937_64 random(7);
    for (int round = 0; round < 1000000; ++round) {
        const int length = 6 + static_cast<int>(random() % 3);
        check(length, static_cast<long>(random() % 100000000), static_cast<int>(random() % 10) - 1,
              "\0-+"[random() % 3], kEnds[random() % 7]);
    }
}

// Every digit string of up to 2^24 with 0 to 7 decimals: the product with the reciprocal gives
// the float that the correctly rounded quotient narrows to.
TEST(ShortDecimal, FloatOfEveryMantissaAndScaleIsTheNearestDoubleNarrowed) {
    for (int decimals = 0; decimals <= 7; ++decimals) {
        measure::ShortDecimal number;
        number.decimals = decimals;
        for (std::uint64_t mantissa = 0; mantissa <= (1u << 24); ++mantissa) {
            number.mantissa = mantissa;
            float sample = 0;
            ASSERT_TRUE(number.ToFloat(&sample));
            ASSERT_EQ(sample, static_cast<float>(number.ToDouble()))
                << mantissa << " / 10^" << decimals;
        }
    }
}

}  // namespace
