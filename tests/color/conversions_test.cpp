// XYZ <-> L*a*b* <-> LCh. Exact results are compared bit for bit (EXPECT_EQ on floats); the
// rounded worked values with a tolerance fitting their digits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Hex;
using testing_support::SameBits;

TEST(XyzToLab, D50WhiteIsExactlyNeutralButBlackIsNot) {
    float L, a, b;
    CX_D50XYZ2LAB(96.42f, 100.0f, 82.49f, &L, &a, &b);
    EXPECT_EQ(L, 100.0f);
    EXPECT_TRUE(SameBits(a, 0.0f));
    EXPECT_TRUE(SameBits(b, 0.0f));
    // f of X and Z is the literal 0.137931 while f(Y) is recomputed as 16/116.
    CX_D50XYZ2LAB(0, 0, 0, &L, &a, &b);
    EXPECT_EQ(L, 0.0f);
    EXPECT_NEAR(a, -0.000015f, 0.0000015f);
    EXPECT_NEAR(b, 0.000006f, 0.0000015f);
    EXPECT_NE(a, 0.0f);
}

TEST(LabAndXyz, LinearBranchBelowAndAtTheJunction) {
    float L, a, b, X, Y, Z;
    CX_D50XYZ2LAB(0.5f, 0.5f, 0.5f, &L, &a, &b);  // ratio 0.005 < 0.008856: 903.3 x 0.005
    EXPECT_EQ(Hex(L), Hex(0x1.210e56p+2f));
    CX_D50LAB2XYZ(8.0f, 0.0f, 0.0f, &X, &Y, &Z);  // (8 / 903.3) x 100
    EXPECT_EQ(Hex(Y), Hex(0x1.c572dp-1f));
    CX_L255ABToXYZ255(20.4f, 0.0f, 0.0f, &X, &Y, &Z, nullptr);  // (20.4 / 2303.415) x 127.50195
    EXPECT_EQ(Hex(Y), Hex(0x1.2113ecp+0f));
}

TEST(Scale255, WhiteGivesOneStepBelow255AndNeutralAlsoScaledByWhiteFactors) {
    float L, a, b, factors[3] = {2.0f, 2.0f, 2.0f};
    CX_XYZ255ToL255AB(122.93738f, 127.50195f, 105.17635f, &L, &a, &b, nullptr);
    EXPECT_EQ(L, 295.8f - 40.8f);
    EXPECT_EQ(L, 254.99998f);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, 0.0f);
    CX_XYZ255ToL255AB(2 * 122.93738f, 2 * 127.50195f, 2 * 105.17635f, &L, &a, &b, factors);
    EXPECT_EQ(L, 254.99998f);
    EXPECT_EQ(a, 0.0f);
}

struct HueCase {
    const char* what;
    float a, b;
    float hue;  // radians
};

TEST(LabToLch, HueInRadiansFromZeroToTwoPi) {
    const HueCase cases[] = {
        {"neutral", 0.0f, 0.0f, 0.0f},
        {"+a axis", 10.0f, 0.0f, 0.0f},
        {"+b axis", 0.0f, 10.0f, 1.5707964f},
        {"-a axis", -10.0f, 0.0f, 3.1415927f},
        {"-b axis", 0.0f, -10.0f, 4.712389f},
        {"negative zero a*", -0.0f, 0.0f, 3.1415927f},
        {"negative zero b* stays below zero", 10.0f, -0.0f, -0.0f},
    };
    for (const HueCase& c : cases) {
        float lab[3] = {50.0f, c.a, c.b}, lch[3];
        LAB2LCH(lab, lch);
        EXPECT_EQ(lch[0], 50.0f) << c.what;
        EXPECT_EQ(Hex(lch[2]), Hex(c.hue)) << c.what;
        EXPECT_EQ(lch[1], std::fabs(c.a) + std::fabs(c.b)) << c.what;
    }
}

TEST(LabToLch, InPlaceEqualsSeparateArrays) {
    float lab[3] = {62.5f, -31.25f, 17.0f}, separate[3];
    LAB2LCH(lab, separate);
    LAB2LCH(lab, lab);
    EXPECT_EQ(0, std::memcmp(lab, separate, sizeof lab));
}

TEST(LchToLab, TakesDegreesNotTheRadiansOfLabToLch) {
    float L, a, b;
    CX_LCH2LAB(50.0f, 10.0f, 90.0f, &L, &a, &b);
    EXPECT_EQ(L, 50.0f);
    EXPECT_NEAR(a, 0.0f, 1e-6f);
    EXPECT_NEAR(b, 10.0f, 1e-6f);

    float lab[3] = {50.0f, 3.0f, 4.0f}, lch[3];
    LAB2LCH(lab, lch);
    CX_LCH2LAB(lch[0], lch[1], lch[2], &L, &a, &b);  // radians passed unconverted
    EXPECT_GT(std::fabs(a - 3.0f), 0.5f);
    CX_LCH2LAB(lch[0], lch[1], lch[2] * 180.0f / 3.1415927f, &L, &a, &b);
    EXPECT_NEAR(a, 3.0f, 1e-5f);
    EXPECT_NEAR(b, 4.0f, 1e-5f);
    // A hue drawn at random: a change in the order of the conversion to radians shows.
    CX_LCH2LAB(20.2578278f, 19.1686535f, 286.037262f, &L, &a, &b);
    EXPECT_EQ(Hex(a), Hex(0x1.52eae2p+2f));
    EXPECT_EQ(Hex(b), Hex(-0x1.26c32cp+4f));
}

}  // namespace
