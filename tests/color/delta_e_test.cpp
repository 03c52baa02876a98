// Colour differences. Worked values held to 1e-5; the CMC hue-branch cases (double-precision
// evaluations) to 2e-5, while the two branches differ by about 0.005.
#include <gtest/gtest.h>

#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

struct Case {
    const char* what;
    char metric;  // 'a' dE*ab, '4' dE94, 'c' CMC
    float ref[3], sample[3];
    float k1, k2, k3;  // kL, kC, kH for dE94; l, c for CMC
    double expected;
};

float Evaluate(const Case& c) {
    if (c.metric == 'a') return DeltaE(c.ref, c.sample);
    if (c.metric == '4') return DeltaE94(c.ref, c.sample, c.k1, c.k2, c.k3);
    return DeltaECMC(c.ref, c.sample, c.k1, c.k2);
}

TEST(DeltaE, Differences) {
    const Case cases[] = {
        {"ab: 3-4-5", 'a', {50, 0, 0}, {50, 3, 4}, 0, 0, 0, 5},
        {"ab is symmetric", 'a', {50, 3, 4}, {50, 0, 0}, 0, 0, 0, 5},
        {"94: neutral reference, SC = 1", '4', {50, 0, 0}, {50, 3, 4}, 1, 1, 1, 5},
        {"94: reference chroma 5, SC = 1.225", '4', {50, 3, 4}, {50, 0, 0}, 1, 1, 1, 5 / 1.225},
        {"94: lightness halved by kL", '4', {50, 20, 0}, {60, 20, 0}, 2, 1, 1, 5},
        {"CMC: L1 below 16 uses SL 0.511", 'c', {10, 0, 0}, {12, 0, 0}, 1, 1, 0, 3.91389},
        {"CMC 2:1, neutral reference", 'c', {50, 0, 0}, {50, 3, 4}, 2, 1, 0, 7.83699},
        {"CMC 2:1 swapped", 'c', {50, 3, 4}, {50, 0, 0}, 2, 1, 0, 5.33396},
        {"identical: ab", 'a', {73, -41, 12}, {73, -41, 12}, 0, 0, 0, 0},
        {"identical: 94", '4', {73, -41, 12}, {73, -41, 12}, 1, 1, 1, 0},
        {"identical: CMC", 'c', {73, -41, 12}, {73, -41, 12}, 2, 1, 0, 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(Evaluate(c), c.expected, 1e-5) << c.what;
}

TEST(DeltaE, CmcHueBoundariesBelongToTheInnerCurve) {
    // References whose hue comes out as exactly 164 or 345 degrees in float, and just
    // outside; each sample (L* 50, CMC 1:1) has the same C* at a hue 6 degrees away.
    const struct {
        const char* what;
        float ref[2], sample[2];  // a*, b*
        double expected;
    } cases[] = {
        {"164: inner", {-28.8378506f, 8.26911736f}, {-29.5442333f, 5.20944548f}, 2.1179363},
        {"163.99: outer", {-28.8364067f, 8.27414227f}, {-29.5433235f, 5.21460152f}, 2.1132320},
        {"345: inner", {28.9777756f, -7.76456356f}, {28.007412f, -10.7510386f}, 2.1133268},
        {"345.01: outer", {28.9791298f, -7.75950003f}, {28.0092888f, -10.74615f}, 2.1200634},
        // Just below 0 becomes just below 360: the outer curve, like a tiny positive b*.
        {"tiny negative b*", {30, -1e-6f}, {29.8356569f, 3.1358538f}, 2.2683791},
        {"tiny positive b*", {30, 1e-6f}, {29.8356569f, 3.1358538f}, 2.2683777},
    };
    for (const auto& c : cases) {
        const float ref[3] = {50, c.ref[0], c.ref[1]}, sample[3] = {50, c.sample[0], c.sample[1]};
        EXPECT_NEAR(DeltaECMC(ref, sample, 1, 1), c.expected, 2e-5) << c.what;
    }
}

TEST(DeltaE, RoundingNeverLendsAPureChromaDifferenceAHueTerm) {
    // The sample lies on the reference's hue line, a few float steps out: the Euclidean
    // difference squared falls short of the chroma difference squared, and the negative hue
    // term would take about 5% (94) and 11% (CMC) off; floored, only the chroma term remains.
    const float ref[3] = {50, 30, 40}, sample[3] = {50, 30.0000305f, 40.0000381f};
    auto chroma = [](const float* c) {
        return static_cast<float>(std::sqrt(static_cast<double>(c[1] * c[1] + c[2] * c[2])));
    };
    double dC = std::fabs(static_cast<double>(chroma(ref)) - chroma(sample));
    ASSERT_GT(dC, 0.0);
    double sc94 = 1 + 0.045 * 50, scCmc = 0.0638 * 50 / (1 + 0.0131 * 50) + 0.638;
    EXPECT_NEAR(DeltaE94(ref, sample, 1, 1, 1), dC / sc94, 1e-5 * dC);
    EXPECT_NEAR(DeltaECMC(ref, sample, 1, 1), dC / scCmc, 1e-5 * dC);
}

}  // namespace
