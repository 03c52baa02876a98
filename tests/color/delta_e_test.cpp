// Colour differences. Every result is exact and compared bit for bit; the worked values beside
// the bits (rounded to their digits, or double-precision evaluations of the CMC hue branches,
// which differ by about 0.005) show what the bits stand for.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Hex;

struct Case {
    const char* what;
    char metric;  // 'a' dE*ab, '4' dE94, 'c' CMC
    float ref[3], sample[3];
    float k1, k2, k3;  // kL, kC, kH for dE94; l, c for CMC
    double worked;
    float bits;
};

float Evaluate(const Case& c) {
    if (c.metric == 'a') return DeltaE(c.ref, c.sample);
    if (c.metric == '4') return DeltaE94(c.ref, c.sample, c.k1, c.k2, c.k3);
    return DeltaECMC(c.ref, c.sample, c.k1, c.k2);
}

TEST(DeltaE, Differences) {
    // clang-format off
    const Case cases[] = {
        {"ab: 3-4-5", 'a', {50, 0, 0}, {50, 3, 4}, 0, 0, 0, 5, 0x1.4p+2f},
        {"ab is symmetric", 'a', {50, 3, 4}, {50, 0, 0}, 0, 0, 0, 5, 0x1.4p+2f},
        {"94: neutral reference, SC = 1", '4', {50, 0, 0}, {50, 3, 4}, 1, 1, 1, 5, 0x1.4p+2f},
        {"94: reference chroma 5, SC = 1.225", '4', {50, 3, 4}, {50, 0, 0},
         1, 1, 1, 5 / 1.225, 0x1.053978p+2f},
        {"94: lightness halved by kL", '4', {50, 20, 0}, {60, 20, 0}, 2, 1, 1, 5, 0x1.4p+2f},
        {"CMC: L1 below 16 uses SL 0.511", 'c', {10, 0, 0}, {12, 0, 0},
         1, 1, 0, 3.91389, 0x1.f4fa7ep+1f},
        {"CMC 2:1, neutral reference", 'c', {50, 0, 0}, {50, 3, 4},
         2, 1, 0, 7.83699, 0x1.f5914p+2f},
        {"CMC 2:1 swapped", 'c', {50, 3, 4}, {50, 0, 0}, 2, 1, 0, 5.33396, 0x1.555f98p+2f},
        {"identical: ab", 'a', {73, -41, 12}, {73, -41, 12}, 0, 0, 0, 0, 0},
        {"identical: 94", '4', {73, -41, 12}, {73, -41, 12}, 1, 1, 1, 0, 0},
        {"identical: CMC", 'c', {73, -41, 12}, {73, -41, 12}, 2, 1, 0, 0, 0},
        // CMC 1:1 references whose hue comes out as exactly 164 or 345 degrees in float, and
        // just outside; each sample has the same C* at a hue 6 degrees away.
        {"164: inner", 'c', {50, -28.8378506f, 8.26911736f}, {50, -29.5442333f, 5.20944548f},
         1, 1, 0, 2.1179363, 0x1.0f1888p+1f},
        {"163.99: outer", 'c', {50, -28.8364067f, 8.27414227f}, {50, -29.5433235f, 5.21460152f},
         1, 1, 0, 2.1132320, 0x1.0e7e6p+1f},
        {"345: inner", 'c', {50, 28.9777756f, -7.76456356f}, {50, 28.007412f, -10.7510386f},
         1, 1, 0, 2.1133268, 0x1.0e817cp+1f},
        {"345.01: outer", 'c', {50, 28.9791298f, -7.75950003f}, {50, 28.0092888f, -10.74615f},
         1, 1, 0, 2.1200634, 0x1.0f5e3ap+1f},
        // Just below 0 becomes just below 360: the outer curve, like a tiny positive b*.
        {"tiny negative b*", 'c', {50, 30, -1e-6f}, {50, 29.8356569f, 3.1358538f},
         1, 1, 0, 2.2683791, 0x1.225a3cp+1f},
        {"tiny positive b*", 'c', {50, 30, 1e-6f}, {50, 29.8356569f, 3.1358538f},
         1, 1, 0, 2.2683777, 0x1.225a32p+1f},
        // On the reference's hue line, a few float steps out: the Euclidean difference squared
        // falls short of the chroma difference squared, and a negative hue term would take
        // about 5% (94) and 11% (CMC) off; floored, only the chroma difference over SC remains.
        {"94: no negative hue term", '4', {50, 30, 40}, {50, 30.0000305f, 40.0000381f},
         1, 1, 1, 1.52588e-5, 0x1p-16f},
        {"CMC: no negative hue term", 'c', {50, 30, 40}, {50, 30.0000305f, 40.0000381f},
         1, 1, 0, 1.93300e-5, 0x1.444dep-16f},
    };
    // clang-format on
    for (const Case& c : cases) {
        const float got = Evaluate(c);
        EXPECT_NEAR(got, c.worked, 2e-5) << c.what;
        EXPECT_EQ(Hex(got), Hex(c.bits)) << c.what;
    }
}

// Pairs drawn at random (and the weights): a change in the order of any operation shows.
TEST(DeltaE, RandomPairsGiveTheseBits) {
    const struct {
        float ref[3], sample[3], k1, k2, k3;  // l = k1, c = k2 for CMC
        float ab, e94, cmc;
    } cases[] = {
        // clang-format off
        {{61.5909157f, 2.84103012f, 9.58053589f}, {49.2922401f, 11.9915085f, 27.8245392f},
         1.03163826f, 0.529161513f, 1.0693717f, 0x1.7d448ap+4f, 0x1.d144b6p+4f, 0x1.0c9a52p+5f},
        {{87.1364059f, 28.3577576f, 38.9772873f}, {88.4571838f, -48.6956711f, 22.107933f},
         1.22209692f, 1.34841144f, 0.5710181f, 0x1.3b8ed6p+6f, 0x1.40085ap+6f, 0x1.53ba76p+6f},
        {{71.7917099f, 1.2425766f, -15.2670822f}, {91.4992752f, -55.7810974f, -15.4184837f},
         0.805326223f, 0.524738848f, 1.14339375f, 0x1.e2aaa8p+5f, 0x1.e2254ep+5f, 0x1.26896p+6f},
        {{39.2867165f, -6.03077316f, 2.82146835f}, {78.1853485f, 21.0451355f, -28.2913933f},
         1.06251788f, 0.626801968f, 2.00686884f, 0x1.c58d7ap+5f, 0x1.a3db62p+5f, 0x1.11958p+6f},
        {{31.1966305f, 10.3227692f, -36.0886993f}, {44.9154243f, -51.0398521f, 16.5761871f},
         0.557516932f, 2.41070318f, 0.857011914f, 0x1.4813c6p+6f, 0x1.0076d6p+6f, 0x1.11d232p+6f},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(DeltaE(c.ref, c.sample)), Hex(c.ab)) << c.ref[0];
        EXPECT_EQ(Hex(DeltaE94(c.ref, c.sample, c.k1, c.k2, c.k3)), Hex(c.e94)) << c.ref[0];
        EXPECT_EQ(Hex(DeltaECMC(c.ref, c.sample, c.k1, c.k2)), Hex(c.cmc)) << c.ref[0];
    }
}

}  // namespace
