// XYZ <-> L*a*b* <-> LCh. The L*a*b* conversions against their steps written out plainly (the
// general power function, one branch per segment, the clamps as stores and reads), bit for bit
// over many colours, on both sides of every threshold and with outputs that share storage; the
// fast cube root against the power function it stands in for; worked values beside them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "color/cube_root.h"
#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Bits;
using testing_support::Hex;
using testing_support::SameBits;
using testing_support::SameBitsOrNaN;

void PlainXyzToLab(float X, float Y, float Z, float* L, float* a, float* b) {
    auto f = [](float t) {
        if (static_cast<double>(t) > 0.008856)
            return static_cast<float>(std::pow(static_cast<double>(t), 0.333333));
        return 7.787f * t + 0.137931f;
    };
    const float ty = Y / 100.0f;
    *L = static_cast<double>(ty) > 0.008856
             ? static_cast<float>(std::pow(static_cast<double>(ty), 0.333333)) * 116.0f - 16.0f
             : 903.3f * ty;
    const float fx = f(X / 96.42f), fz = f(Z / 82.49f), fy = (*L + 16.0f) / 116.0f;
    *a = (fx - fy) * 500.0f;
    *b = (fy - fz) * 200.0f;
}

void PlainLabToXyz(float L, float a, float b, const float* white, float* X, float* Y, float* Z) {
    auto ratio = [](float f, float white) {
        if (static_cast<double>(f) > 0.2069) return f * f * f * white;
        return ((f - 0.137931f) / 7.787f) * white;
    };
    const float fy = (L + 16.0f) / 116.0f;
    *Y = L > 8.0f ? fy * fy * fy * white[1] : (L / 903.3f) * white[1];
    *X = ratio(a * 0.002f + fy, white[0]);
    *Z = ratio(fy - b * 0.005f, white[2]);
    if (*X < 0.0f) *X = 0.0f;
    if (*Z < 0.0f) *Z = 0.0f;
}

// Values around the thresholds and the awkward ones, mixed with uniform ones.
float Value(std::mt19937& rng, float low, float high) {
    static const float kSpecial[] = {0.0f,    -0.0f,  8.0f,    7.9999995f, 8.0000005f,
                                     0.8856f, -16.0f, 100.0f,  INFINITY,   -INFINITY,
                                     NAN,     1e-30f, -1e-30f, 500.0f,     -500.0f};
    const int p = std::uniform_int_distribution<int>(0, 39)(rng);
    return p < 15 ? kSpecial[p] : std::uniform_real_distribution<float>(low, high)(rng);
}

void ExpectSame(const float* got, const float* expected, float x, float y, float z) {
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(SameBitsOrNaN(got[k], expected[k]))
            << x << " " << y << " " << z << " component " << k << ": " << got[k] << " instead of "
            << expected[k];
}

TEST(ConversionSteps, BothDirectionsMatchThePlainStepsBitForBit) {
    std::mt19937 rng(11), rngXyz(12);
    const float whites[][3] = {{96.42f, 100.0f, 82.49f}, {0.9505f, 1.0f, 1.089f}, {1, 1, 1}};
    for (int i = 0; i < 300000 && !HasFatalFailure(); ++i) {
        const float* w = whites[i % 3];
        const float L = Value(rng, -20.0f, 120.0f), a = Value(rng, -150.0f, 150.0f),
                    b = Value(rng, -150.0f, 150.0f);
        float got[3], expected[3];
        CX_LAB2XYZ_float(L, a, b, w[0], w[1], w[2], &got[0], &got[1], &got[2]);
        PlainLabToXyz(L, a, b, w, &expected[0], &expected[1], &expected[2]);
        ExpectSame(got, expected, L, a, b);
        // One pointer for all three outputs: the last store and the clamps decide.
        CX_LAB2XYZ_float(L, a, b, w[0], w[1], w[2], &got[0], &got[0], &got[0]);
        PlainLabToXyz(L, a, b, w, &expected[0], &expected[0], &expected[0]);
        ASSERT_TRUE(SameBitsOrNaN(got[0], expected[0])) << L << " " << a << " " << b;

        const float X = Value(rngXyz, -10.0f, 110.0f), Y = Value(rngXyz, -10.0f, 110.0f),
                    Z = Value(rngXyz, -10.0f, 110.0f);
        CX_D50XYZ2LAB(X, Y, Z, &got[0], &got[1], &got[2]);
        PlainXyzToLab(X, Y, Z, &expected[0], &expected[1], &expected[2]);
        ExpectSame(got, expected, X, Y, Z);
    }
    // Every float L* from 7.99 to 8.01 with a* = b* = 0: L* crosses 8 and f(X) = f(Z) = f(Y)
    // crosses 0.2069 (at L* = 8.0004), one float step at a time.
    for (float L = 7.99f; L <= 8.01f && !HasFatalFailure(); L = std::nextafter(L, 9.0f)) {
        float got[3], expected[3];
        CX_D50LAB2XYZ(L, 0.0f, 0.0f, &got[0], &got[1], &got[2]);
        PlainLabToXyz(L, 0.0f, 0.0f, whites[0], &expected[0], &expected[1], &expected[2]);
        ExpectSame(got, expected, L, 0, 0);
    }
}

// Every `stride`-th float from just above the threshold to infinity (all the fast cube root
// can meet); returns the first that differs from the power function, or 0.
std::uint32_t FirstCubeRootDifference(std::uint32_t stride) {
    for (std::uint64_t b = Bits(0.008856f); b <= Bits(INFINITY); b += stride) {
        const float t = testing_support::FloatFromBits(static_cast<std::uint32_t>(b));
        const float expected = static_cast<float>(
            std::pow(static_cast<double>(t), vantrel::detail::kCubeRootExponent));
        if (Bits(vantrel::detail::CubeRoot(t)) != Bits(expected))
            return static_cast<std::uint32_t>(b);
    }
    return 0;
}

TEST(CubeRoot, SameFloatAsThePowerFunctionOnASampleOfEveryBinade) {
    EXPECT_EQ(FirstCubeRootDifference(997), 0u);
}

// Every one of the 1.1 billion inputs; about a minute. Run with
// --gtest_also_run_disabled_tests --gtest_filter='*EveryFloat*'.
TEST(CubeRoot, DISABLED_SameFloatAsThePowerFunctionForEveryFloat) {
    EXPECT_EQ(FirstCubeRootDifference(1), 0u);
}

TEST(XyzToLab, WhitesAndBlack) {
    float L, a, b, X, Y, Z, factors[3] = {2.0f, 2.0f, 2.0f};
    CX_D50XYZ2LAB(96.42f, 100.0f, 82.49f, &L, &a, &b);
    EXPECT_EQ(L, 100.0f);
    EXPECT_TRUE(SameBits(a, 0.0f) && SameBits(b, 0.0f)) << a << " " << b;
    // f of X and Z is the literal 0.137931 while f(Y) is recomputed as 16/116.
    CX_D50XYZ2LAB(0, 0, 0, &L, &a, &b);
    EXPECT_EQ(L, 0.0f);
    EXPECT_NEAR(a, -0.000015f, 0.0000015f);
    EXPECT_NEAR(b, 0.000006f, 0.0000015f);
    // On the 0..255 scale the white gives one step below 255, also when scaled by the factors.
    for (float* f : {static_cast<float*>(nullptr), factors}) {
        const float k = f ? 2.0f : 1.0f;
        CX_XYZ255ToL255AB(k * 122.93738f, k * 127.50195f, k * 105.17635f, &L, &a, &b, f);
        EXPECT_EQ(L, 254.99998f);
        EXPECT_EQ(a, 0.0f);
        EXPECT_EQ(b, 0.0f);
    }
    CX_L255ABToXYZ255(20.4f, 0.0f, 0.0f, &X, &Y, &Z, nullptr);  // (20.4 / 2303.415) x 127.50195
    EXPECT_EQ(Hex(Y), Hex(0x1.2113ecp+0f));
}

TEST(LabToLch, HueInRadiansFromZeroToTwoPi) {
    const struct {
        const char* what;
        float a, b, hue;  // radians
    } cases[] = {
        {"neutral", 0.0f, 0.0f, 0.0f},
        {"+a axis", 10.0f, 0.0f, 0.0f},
        {"+b axis", 0.0f, 10.0f, 1.5707964f},
        {"-a axis", -10.0f, 0.0f, 3.1415927f},
        {"-b axis", 0.0f, -10.0f, 4.712389f},
        {"negative zero a*", -0.0f, 0.0f, 3.1415927f},
        {"negative zero b* stays below zero", 10.0f, -0.0f, -0.0f},
    };
    for (const auto& c : cases) {
        float lab[3] = {50.0f, c.a, c.b}, lch[3];
        LAB2LCH(lab, lch);
        EXPECT_EQ(lch[0], 50.0f) << c.what;
        EXPECT_EQ(Hex(lch[2]), Hex(c.hue)) << c.what;
        EXPECT_EQ(lch[1], std::fabs(c.a) + std::fabs(c.b)) << c.what;
        LAB2LCH(lab, lab);  // in place
        EXPECT_EQ(0, std::memcmp(lab, lch, sizeof lab)) << c.what;
    }
}

TEST(LchToLab, TakesDegreesNotTheRadiansOfLabToLch) {
    float L, a, b, lab[3] = {50.0f, 3.0f, 4.0f}, lch[3];
    LAB2LCH(lab, lch);
    CX_LCH2LAB(lch[0], lch[1], lch[2] * 180.0f / 3.1415927f, &L, &a, &b);
    EXPECT_EQ(L, 50.0f);
    EXPECT_NEAR(a, 3.0f, 1e-5f);
    EXPECT_NEAR(b, 4.0f, 1e-5f);
    // A hue drawn at random: a change in the order of the conversion to radians shows.
    CX_LCH2LAB(20.2578278f, 19.1686535f, 286.037262f, &L, &a, &b);
    EXPECT_EQ(Hex(a), Hex(0x1.52eae2p+2f));
    EXPECT_EQ(Hex(b), Hex(-0x1.26c32cp+4f));
}

}  // namespace
