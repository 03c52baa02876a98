// Colour differences. Worked values are rounded, so they are compared with a tolerance that
// fits their digits; the CMC hue-branch cases are independent double-precision evaluations,
// held to 2e-5 while the two branches differ by about 0.005.
#include <gtest/gtest.h>

#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

enum class Metric { kAb, k94, kCmc };

struct Case {
    const char* what;
    Metric metric;
    float ref[3];
    float sample[3];
    float k1, k2, k3;  // kL, kC, kH for 94; l, c for CMC
    double expected;
    double tolerance;  // 0: exact
};

float Evaluate(const Case& c) {
    switch (c.metric) {
        case Metric::kAb:
            return DeltaE(c.ref, c.sample);
        case Metric::k94:
            return DeltaE94(c.ref, c.sample, c.k1, c.k2, c.k3);
        case Metric::kCmc:
            return DeltaECMC(c.ref, c.sample, c.k1, c.k2);
    }
    return NAN;
}

TEST(DeltaE, WorkedDifferences) {
    const Case cases[] = {
        {"ab: a 3-4-5 triangle", Metric::kAb, {50, 0, 0}, {50, 3, 4}, 0, 0, 0, 5, 0},
        {"ab is symmetric", Metric::kAb, {50, 3, 4}, {50, 0, 0}, 0, 0, 0, 5, 0},
        {"94: neutral reference weighs chroma by 1",
         Metric::k94,
         {50, 0, 0},
         {50, 3, 4},
         1,
         1,
         1,
         5,
         0},
        {"94: chromatic reference divides by SC = 1.225",
         Metric::k94,
         {50, 3, 4},
         {50, 0, 0},
         1,
         1,
         1,
         5 / 1.225,
         1e-5},
        {"94: only the lightness difference, halved by kL",
         Metric::k94,
         {50, 20, 0},
         {60, 20, 0},
         2,
         1,
         1,
         5,
         0},
        {"CMC: reference below L* 16 uses SL = 0.511",
         Metric::kCmc,
         {10, 0, 0},
         {12, 0, 0},
         1,
         1,
         0,
         3.91389,
         1e-5},
        {"CMC 2:1 with a neutral reference",
         Metric::kCmc,
         {50, 0, 0},
         {50, 3, 4},
         2,
         1,
         0,
         7.83699,
         1e-5},
        {"CMC 2:1 swapped", Metric::kCmc, {50, 3, 4}, {50, 0, 0}, 2, 1, 0, 5.33396, 1e-5},
    };
    for (const Case& c : cases) {
        float result = Evaluate(c);
        if (c.tolerance == 0)
            EXPECT_EQ(result, static_cast<float>(c.expected)) << c.what;
        else
            EXPECT_NEAR(result, c.expected, c.tolerance) << c.what;
    }
}

TEST(DeltaE, IdenticalColoursDifferByZero) {
    const float colours[][3] = {{50, 0, 0}, {73.2f, -41.7f, 12.9f}, {5, 80, -90}};
    for (const auto& lab : colours) {
        EXPECT_EQ(DeltaE(lab, lab), 0.0f);
        EXPECT_EQ(DeltaE94(lab, lab, 1, 1, 1), 0.0f);
        EXPECT_EQ(DeltaECMC(lab, lab, 2, 1), 0.0f);
    }
}

TEST(DeltaE, CmcHueBoundariesBelongToTheInnerCurve) {
    // References at hues of exactly 164 and 345 degrees (as the hue comes out in float), and
    // just outside; each sample has the same L* and C* at a hue 6 degrees away.
    const Case cases[] = {
        {"164 exactly: inner",
         Metric::kCmc,
         {50, -28.8378506f, 8.26911736f},
         {50, -29.5442333f, 5.20944548f},
         1,
         1,
         0,
         2.1179363,
         2e-5},
        {"163.99: outer",
         Metric::kCmc,
         {50, -28.8364067f, 8.27414227f},
         {50, -29.5433235f, 5.21460152f},
         1,
         1,
         0,
         2.1132320,
         2e-5},
        {"345 exactly: inner",
         Metric::kCmc,
         {50, 28.9777756f, -7.76456356f},
         {50, 28.007412f, -10.7510386f},
         1,
         1,
         0,
         2.1133268,
         2e-5},
        {"345.01: outer",
         Metric::kCmc,
         {50, 28.9791298f, -7.75950003f},
         {50, 28.0092888f, -10.74615f},
         1,
         1,
         0,
         2.1200634,
         2e-5},
        // A hue just below 0 becomes just below 360, still on the outer curve, like +0.
        {"tiny negative b*: outer",
         Metric::kCmc,
         {50, 30, -1e-6f},
         {50, 29.8356569f, 3.1358538f},
         1,
         1,
         0,
         2.2683791,
         2e-5},
        {"tiny positive b*: outer",
         Metric::kCmc,
         {50, 30, 1e-6f},
         {50, 29.8356569f, 3.1358538f},
         1,
         1,
         0,
         2.2683777,
         2e-5},
    };
    for (const Case& c : cases) EXPECT_NEAR(Evaluate(c), c.expected, c.tolerance) << c.what;
}

TEST(DeltaE, RoundingNeverLendsAPureChromaDifferenceAHueTerm) {
    // The sample lies on the reference's hue line, a few float steps out. The Euclidean
    // difference squared falls short of the chroma difference squared (both rounded), and the
    // negative squared hue difference would take about 5% (94) and 11% (CMC) off the result:
    // floored at 0, only the chroma term remains.
    const float ref[3] = {50, 30, 40};
    const float sample[3] = {50, 30.0000305f, 40.0000381f};
    auto chroma = [](const float* lab) {
        return static_cast<float>(
            std::sqrt(static_cast<double>(lab[1] * lab[1] + lab[2] * lab[2])));
    };
    double dC = static_cast<double>(chroma(ref)) - static_cast<double>(chroma(sample));
    ASSERT_NE(dC, 0.0);
    double sc94 = 1 + 0.045 * 50, scCmc = 0.0638 * 50 / (1 + 0.0131 * 50) + 0.638;
    EXPECT_NEAR(DeltaE94(ref, sample, 1, 1, 1), std::fabs(dC) / sc94, 1e-5 * std::fabs(dC));
    EXPECT_NEAR(DeltaECMC(ref, sample, 1, 1), std::fabs(dC) / scCmc, 1e-5 * std::fabs(dC));
}

}  // namespace
