// RGB encodings and HSV. Clipped and exact results are compared bit for bit; encodings of
// rounded worked values within 2e-5, whites within single-precision rounding (2e-6); colours
// drawn at random pin the order of every operation.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Hex;

using Encoder = void (*)(float, float, float, float*, float*, float*);

struct Case {
    const char* what;
    Encoder encode;
    float in[3];
    float out[3];     // RGB, or H, S, V
    float tolerance;  // 0: bit for bit (H only for HSV)
};

TEST(RgbEncoding, PurePowerCurveAfterPerChannelClipping) {
    const float w[3] = {0.9642f, 1.0f, 0.8249f}, half = 0.72974f, cm = 0.68041f, dark = 0.04329f;
    const Case cases[] = {
        // clang-format off
        {"sRGB white", XYZ2SRGB, {w[0], w[1], w[2]}, {1, 1, 1}, 2e-6f},
        {"ColorMatch white", XYZ2ColorMatchRGB, {w[0], w[1], w[2]}, {1, 1, 1}, 2e-6f},
        {"sRGB L* 100", LAB2SRGB, {100, 0, 0}, {1, 1, 1}, 2e-6f},
        {"ColorMatch L* 100", LAB2ColorMatchRGB, {100, 0, 0}, {1, 1, 1}, 2e-6f},
        {"sRGB 0.5", XYZ2SRGB, {w[0] / 2, 0.5f, w[2] / 2}, {half, half, half}, 2e-5f},
        {"ColorMatch 0.5", XYZ2ColorMatchRGB, {w[0] / 2, 0.5f, w[2] / 2}, {cm, cm, cm}, 2e-5f},
        // A linear segment near black would give 0.0129.
        {"sRGB 0.001", XYZ2SRGB, {w[0] / 1000, 0.001f, w[2] / 1000}, {dark, dark, dark}, 2e-5f},
        // At L* = 0, X and Z stay a few ten-millionths above 0 and the curve lifts them.
        {"sRGB L* 0 lifted", LAB2SRGB, {0, 0, 0}, {0.00023f, 0, 0.00016f}, 1e-5f},
        {"sRGB of pure Y clips per channel", XYZ2SRGB, {0, 1, 0}, {0, 1, 0}, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        float rgb[3];
        c.encode(c.in[0], c.in[1], c.in[2], &rgb[0], &rgb[1], &rgb[2]);
        for (int i = 0; i < 3; ++i) {
            EXPECT_LE(rgb[i], 1.0f) << c.what;
            EXPECT_NEAR(rgb[i], c.out[i], c.tolerance) << c.what << " [" << i << "]";
        }
    }
    // With all three outputs on one float every step lands on it: Z, written last, is divided
    // by 100 three times before the identity matrix passes it on.
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    float X, Y, Z, shared;
    CX_D50LAB2XYZ(50, 0, 0, &X, &Y, &Z);
    LAB2CalibratedRGB(identity, 1, 50, 0, 0, &shared, &shared, &shared);
    EXPECT_EQ(shared, Z / 100.0f / 100.0f / 100.0f);
}

TEST(Hsv, HueSaturationValue) {
    const Case cases[] = {
        {"black", nullptr, {0, 0, 0}, {0, 0, 0}, 0},
        {"below 1e-7 is black", nullptr, {5e-8f, 0, 0}, {0, 0, 5e-8f}, 0},
        {"grey", nullptr, {0.5f, 0.5f, 0.5f}, {0, 0, 0.5f}, 0},
        {"a near-grey keeps its tiny S", nullptr, {1, 1, 0.99999994f}, {0, 5.9604645e-8f, 1}, 0},
        {"red", nullptr, {1, 0, 0}, {0, 1, 1}, 0},
        {"blue", nullptr, {0, 0, 1}, {240, 1, 1}, 0},
        {"magenta", nullptr, {1, 0, 1}, {300, 1, 1}, 0},
        {"yellow: R wins the tie", nullptr, {1, 1, 0}, {60, 1, 1}, 0},
        {"cyan: G wins the tie", nullptr, {0, 1, 1}, {180, 1, 1}, 0},
        {"negative sector wraps", nullptr, {1, 0, 0.5f}, {330, 1, 1}, 0},
        {"0..255 scale", nullptr, {255, 128, 0}, {30.117647f, 1, 255}, 1e-4f},
    };
    for (const Case& c : cases) {
        float hsv[3];
        RGB2HSV(c.in[0], c.in[1], c.in[2], &hsv[0], &hsv[1], &hsv[2]);
        EXPECT_NEAR(hsv[0], c.out[0], c.tolerance) << c.what;
        EXPECT_EQ(hsv[1], c.out[1]) << c.what;
        EXPECT_EQ(hsv[2], c.out[2]) << c.what;
    }
}

// Colours drawn at random: a change in the order of any operation shows. Each colour's XYZ in
// sRGB and in ColorMatch RGB, its L*a*b* in calibrated RGB (kCalibration, gamma 2.2) and in
// sRGB, and the XYZ taken as RGB in HSV.
TEST(RgbEncoding, RandomColoursGiveTheseBits) {
    const float kCalibration[9] = {3.2f, -1.6f, -0.5f, -0.97f, 1.9f, 0.04f, 0.07f, -0.23f, 1.4f};
    const struct {
        float xyz[3], lab[3];
        float expected[5][3];  // in the order of the calls below
    } cases[] = {
        // clang-format off
        {{0.367641866f, 0.700933993f, 0.679954588f}, {26.9453373f, -50.1049728f, 21.5597229f},
         {{0, 1, 0x1.d44beep-1f}, {0, 1, 0x1.cbc10ap-1f}, {0, 0x1.424378p-2f, 0x1.02751ap-3f},
          {0x1.60724ep+7f, 0x1.e6e8bap-2f, 0x1.66e0d2p-1f}, {0, 0x1.434cdep-2f, 0x1.047282p-3f}}},
        {{0.843295574f, 0.449995607f, 0.928194284f}, {65.3590546f, 40.4290314f, 46.0414734f},
         {{1, 0x1.2d85a6p-2f, 1}, {1, 0x1.c09d36p-5f, 1},
          {0x1.e3805ep-1f, 0x1.f93514p-2f, 0x1.390ff6p-2f},
          {0x1.2159p+8f, 0x1.07c74ep-1f, 0x1.db3c48p-1f},
          {0x1.da944p-1f, 0x1.fa314cp-2f, 0x1.3c7e46p-2f}}},
        {{0.694864511f, 0.644595802f, 0.0922445953f}, {36.337204f, 20.3946533f, -41.1797485f},
         {{1, 0x1.88c08ep-1f, 0x1.ad5a7cp-3f}, {1, 0x1.713dc8p-1f, 0x1.449f2ep-4f},
          {0x1.6d1bc4p-2f, 0x1.36a61ep-2f, 0x1.2ea6fap-1f},
          {0x1.b7f5bcp+5f, 0x1.bc07fp-1f, 0x1.63c548p-1f},
          {0x1.61ad9ap-2f, 0x1.349b5ep-2f, 0x1.2f5da2p-1f}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        float out[5][3];
        XYZ2SRGB(c.xyz[0], c.xyz[1], c.xyz[2], &out[0][0], &out[0][1], &out[0][2]);
        XYZ2ColorMatchRGB(c.xyz[0], c.xyz[1], c.xyz[2], &out[1][0], &out[1][1], &out[1][2]);
        LAB2CalibratedRGB(kCalibration, 2.2f, c.lab[0], c.lab[1], c.lab[2], &out[2][0], &out[2][1],
                          &out[2][2]);
        RGB2HSV(c.xyz[0], c.xyz[1], c.xyz[2], &out[3][0], &out[3][1], &out[3][2]);
        LAB2SRGB(c.lab[0], c.lab[1], c.lab[2], &out[4][0], &out[4][1], &out[4][2]);
        for (int k = 0; k < 5; ++k)
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(Hex(out[k][i]), Hex(c.expected[k][i])) << c.xyz[0] << ": " << k << i;
    }
}

}  // namespace
