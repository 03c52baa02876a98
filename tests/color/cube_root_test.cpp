// The fast L*a*b* cube root against the general power function it stands in for: the same
// float for every input it can meet (t above 0.008856, up to infinity).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "color/cube_root.h"
#include "support/test_support.h"

namespace {

using testing_support::Bits;
using testing_support::FloatFromBits;

// Every `stride`-th float from just above the threshold to infinity; returns the first that
// differs, or 0.
std::uint32_t FirstDifference(std::uint32_t stride) {
    const std::uint32_t first = Bits(0.008856f), last = Bits(INFINITY);
    for (std::uint64_t b = first; b <= last; b += stride) {
        const float t = FloatFromBits(static_cast<std::uint32_t>(b));
        const float expected = static_cast<float>(
            std::pow(static_cast<double>(t), vantrel::detail::kCubeRootExponent));
        if (Bits(vantrel::detail::CubeRoot(t)) != Bits(expected))
            return static_cast<std::uint32_t>(b);
    }
    return 0;
}

TEST(CubeRoot, SameFloatAsThePowerFunctionOnASampleOfEveryBinade) {
    EXPECT_EQ(FirstDifference(997), 0u);
}

// Every one of the 1.1 billion inputs; about a minute. Run with
// --gtest_also_run_disabled_tests --gtest_filter='*EveryFloat*'.
TEST(CubeRoot, DISABLED_SameFloatAsThePowerFunctionForEveryFloat) {
    EXPECT_EQ(FirstDifference(1), 0u);
}

}  // namespace
