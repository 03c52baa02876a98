// The XYZ <-> L*a*b* conversions against their steps written out plainly (the general power
// function, one branch per segment, the clamps as stores and reads), bit for bit over many
// colours, on both sides of every threshold, and with outputs that share storage.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::SameBitsOrNaN;

void PlainXyzToLab(float X, float Y, float Z, float Xn, float Yn, float Zn, float* L, float* a,
                   float* b) {
    auto f = [](float t) {
        if (static_cast<double>(t) > 0.008856)
            return static_cast<float>(std::pow(static_cast<double>(t), 0.333333));
        return 7.787f * t + 0.137931f;
    };
    const float ty = Y / Yn;
    *L = static_cast<double>(ty) > 0.008856
             ? static_cast<float>(std::pow(static_cast<double>(ty), 0.333333)) * 116.0f - 16.0f
             : 903.3f * ty;
    const float fx = f(X / Xn), fz = f(Z / Zn), fy = (*L + 16.0f) / 116.0f;
    *a = (fx - fy) * 500.0f;
    *b = (fy - fz) * 200.0f;
}

void PlainLabToXyz(float L, float a, float b, float Xn, float Yn, float Zn, float* X, float* Y,
                   float* Z) {
    auto ratio = [](float f, float white) {
        if (static_cast<double>(f) > 0.2069) return f * f * f * white;
        return ((f - 0.137931f) / 7.787f) * white;
    };
    const float fy = (L + 16.0f) / 116.0f;
    *Y = L > 8.0f ? fy * fy * fy * Yn : (L / 903.3f) * Yn;
    *X = ratio(a * 0.002f + fy, Xn);
    *Z = ratio(fy - b * 0.005f, Zn);
    if (*X < 0.0f) *X = 0.0f;
    if (*Z < 0.0f) *Z = 0.0f;
}

// Values around the thresholds and the awkward ones, mixed with uniform ones.
float Value(std::mt19937& rng, float low, float high) {
    static const float kSpecial[] = {0.0f,    -0.0f,  8.0f,    7.9999995f, 8.0000005f,
                                     0.8856f, -16.0f, 100.0f,  INFINITY,   -INFINITY,
                                     NAN,     1e-30f, -1e-30f, 500.0f,     -500.0f};
    std::uniform_int_distribution<int> pick(0, 39);
    const int p = pick(rng);
    if (p < 15) return kSpecial[p];
    return std::uniform_real_distribution<float>(low, high)(rng);
}

TEST(ConversionSteps, InverseMatchesThePlainStepsBitForBit) {
    std::mt19937 rng(11);
    const float whites[][3] = {{96.42f, 100.0f, 82.49f}, {0.9505f, 1.0f, 1.089f}, {1, 1, 1}};
    for (int i = 0; i < 300000; ++i) {
        const float* w = whites[i % 3];
        const float L = Value(rng, -20.0f, 120.0f), a = Value(rng, -150.0f, 150.0f),
                    b = Value(rng, -150.0f, 150.0f);
        float got[3], expected[3];
        CX_LAB2XYZ_float(L, a, b, w[0], w[1], w[2], &got[0], &got[1], &got[2]);
        PlainLabToXyz(L, a, b, w[0], w[1], w[2], &expected[0], &expected[1], &expected[2]);
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(SameBitsOrNaN(got[k], expected[k]))
                << "L*a*b* " << L << " " << a << " " << b << " component " << k << ": " << got[k]
                << " instead of " << expected[k];
        // One pointer for all three outputs: the last store and the clamps decide.
        float shared = 0.0f, sharedExpected = 0.0f;
        CX_LAB2XYZ_float(L, a, b, w[0], w[1], w[2], &shared, &shared, &shared);
        PlainLabToXyz(L, a, b, w[0], w[1], w[2], &sharedExpected, &sharedExpected, &sharedExpected);
        ASSERT_TRUE(SameBitsOrNaN(shared, sharedExpected)) << L << " " << a << " " << b;
    }
}

// Every float L* from 7.99 to 8.01 with a* = b* = 0: L* crosses 8 and f(X) = f(Z) = f(Y)
// crosses 0.2069 (at L* = 8.0004), one float step at a time.
TEST(ConversionSteps, InverseMatchesThePlainStepsAcrossBothThresholds) {
    for (float L = 7.99f; L <= 8.01f; L = std::nextafter(L, 9.0f)) {
        float got[3], expected[3];
        CX_D50LAB2XYZ(L, 0.0f, 0.0f, &got[0], &got[1], &got[2]);
        PlainLabToXyz(L, 0.0f, 0.0f, 96.42f, 100.0f, 82.49f, &expected[0], &expected[1],
                      &expected[2]);
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(SameBitsOrNaN(got[k], expected[k])) << "L* " << L << " component " << k;
    }
}

TEST(ConversionSteps, ForwardMatchesThePlainStepsBitForBit) {
    std::mt19937 rng(12);
    for (int i = 0; i < 300000; ++i) {
        const float X = Value(rng, -10.0f, 110.0f), Y = Value(rng, -10.0f, 110.0f),
                    Z = Value(rng, -10.0f, 110.0f);
        float got[3], expected[3];
        CX_D50XYZ2LAB(X, Y, Z, &got[0], &got[1], &got[2]);
        PlainXyzToLab(X, Y, Z, 96.42f, 100.0f, 82.49f, &expected[0], &expected[1], &expected[2]);
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(SameBitsOrNaN(got[k], expected[k]))
                << "XYZ " << X << " " << Y << " " << Z << " component " << k << ": " << got[k]
                << " instead of " << expected[k];
    }
}

}  // namespace
