// RGB encodings and HSV. Clipped and exact results are compared bit for bit; encodings of
// rounded worked values within 2e-5, whites within single-precision rounding (2e-6).
#include <gtest/gtest.h>

#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

const float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

enum class Encoding { kSrgb, kColorMatch };

void FromXyz(Encoding e, float X, float Y, float Z, float* rgb) {
    if (e == Encoding::kSrgb)
        XYZ2SRGB(X, Y, Z, &rgb[0], &rgb[1], &rgb[2]);
    else
        XYZ2ColorMatchRGB(X, Y, Z, &rgb[0], &rgb[1], &rgb[2]);
}

void FromLab(Encoding e, float L, float a, float b, float* rgb) {
    if (e == Encoding::kSrgb)
        LAB2SRGB(L, a, b, &rgb[0], &rgb[1], &rgb[2]);
    else
        LAB2ColorMatchRGB(L, a, b, &rgb[0], &rgb[1], &rgb[2]);
}

struct GreyCase {
    const char* what;
    Encoding encoding;
    float scale;     // of the D50 white
    float expected;  // each channel
    float tolerance;
};

TEST(RgbEncoding, GreysFollowAPurePowerCurve) {
    const GreyCase cases[] = {
        {"sRGB white", Encoding::kSrgb, 1.0f, 1.0f, 2e-6f},
        {"ColorMatch white", Encoding::kColorMatch, 1.0f, 1.0f, 2e-6f},
        {"sRGB 0.5", Encoding::kSrgb, 0.5f, 0.72974f, 2e-5f},
        {"ColorMatch 0.5", Encoding::kColorMatch, 0.5f, 0.68041f, 2e-5f},
        // A linear segment would give 0.0129 here.
        {"sRGB 0.001, no linear segment", Encoding::kSrgb, 0.001f, 0.04329f, 2e-5f},
        {"ColorMatch 0.001", Encoding::kColorMatch, 0.001f, 0.02154f, 2e-5f},
    };
    for (const GreyCase& c : cases) {
        float rgb[3];
        FromXyz(c.encoding, 0.9642f * c.scale, c.scale, 0.8249f * c.scale, rgb);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgb[i], c.expected, c.tolerance) << c.what << i;
    }
}

TEST(RgbEncoding, LabWhiteEncodesToOne) {
    for (Encoding e : {Encoding::kSrgb, Encoding::kColorMatch}) {
        float rgb[3];
        FromLab(e, 100, 0, 0, rgb);
        for (int i = 0; i < 3; ++i) {
            EXPECT_LE(rgb[i], 1.0f) << i;
            EXPECT_NEAR(rgb[i], 1.0f, 2e-6f) << i;
        }
    }
}

TEST(RgbEncoding, LabBlackIsLiftedByTheCurve) {
    // At L* = 0 the inverse leaves X and Z a few ten-millionths above 0 and the pure power
    // curve lifts them; Y is exactly 0.
    float R, G, B;
    LAB2SRGB(0, 0, 0, &R, &G, &B);
    EXPECT_EQ(G, 0.0f);
    EXPECT_NEAR(R, 0.00023f, 0.00001f);
    EXPECT_NEAR(B, 0.00016f, 0.00001f);
}

struct ClipCase {
    const char* what;
    const float* matrix;  // null: sRGB
    float gamma;
    float xyz[3];
    float rgb[3];  // exact
};

TEST(RgbEncoding, ClipsEachChannelBeforeThePower) {
    const float swap[9] = {0, 0, 1, 0, 1, 0, 1, 0, 0};  // R from Z, G from Y, B from X
    const ClipCase cases[] = {
        {"sRGB of pure Y", nullptr, 0, {0, 1, 0}, {0, 1, 0}},
        {"identity, gamma 1, clips to 0..1", kIdentity, 1, {-0.5f, 0.25f, 2}, {0, 0.25f, 1}},
        {"identity, gamma 2", kIdentity, 2, {0.25f, 0.0625f, -1}, {0.5f, 0.25f, 0}},
        {"matrix rows are R, G, B", swap, 1, {0.1f, 0.2f, 0.3f}, {0.3f, 0.2f, 0.1f}},
    };
    for (const ClipCase& c : cases) {
        float rgb[3];
        if (c.matrix)
            XYZ2CalibratedRGB(c.matrix, c.gamma, c.xyz[0], c.xyz[1], c.xyz[2], &rgb[0], &rgb[1],
                              &rgb[2]);
        else
            XYZ2SRGB(c.xyz[0], c.xyz[1], c.xyz[2], &rgb[0], &rgb[1], &rgb[2]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(rgb[i], c.rgb[i]) << c.what << " [" << i << "]";
    }
}

TEST(RgbEncoding, LabFormsEqualTheXyzFormsOnTheConvertedColour) {
    const float labs[][3] = {{50, 20, -30}, {85, -60, 70}, {20, 5, 5}};
    const float matrix[9] = {3.13f, -1.62f, -0.49f, -0.98f, 1.92f, 0.03f, 0.07f, -0.23f, 1.41f};
    for (const auto& lab : labs) {
        float X, Y, Z;
        CX_D50LAB2XYZ(lab[0], lab[1], lab[2], &X, &Y, &Z);
        X = X / 100.0f, Y = Y / 100.0f, Z = Z / 100.0f;
        float viaLab[3], viaXyz[3];
        LAB2SRGB(lab[0], lab[1], lab[2], &viaLab[0], &viaLab[1], &viaLab[2]);
        XYZ2SRGB(X, Y, Z, &viaXyz[0], &viaXyz[1], &viaXyz[2]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(viaLab[i], viaXyz[i]) << "sRGB " << lab[0];
        LAB2ColorMatchRGB(lab[0], lab[1], lab[2], &viaLab[0], &viaLab[1], &viaLab[2]);
        XYZ2ColorMatchRGB(X, Y, Z, &viaXyz[0], &viaXyz[1], &viaXyz[2]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(viaLab[i], viaXyz[i]) << "ColorMatch " << lab[0];
        LAB2CalibratedRGB(matrix, 2.4f, lab[0], lab[1], lab[2], &viaLab[0], &viaLab[1], &viaLab[2]);
        XYZ2CalibratedRGB(matrix, 2.4f, X, Y, Z, &viaXyz[0], &viaXyz[1], &viaXyz[2]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(viaLab[i], viaXyz[i]) << "calibrated " << lab[0];
    }
}

TEST(RgbEncoding, LabFormsPassTheIntermediateXyzThroughTheOutputs) {
    // With all three outputs on one float, each intermediate step lands on it: Z (written
    // last) is divided by 100 three times before the identity matrix passes it on.
    float X, Y, Z;
    CX_D50LAB2XYZ(50, 0, 0, &X, &Y, &Z);
    float shared;
    LAB2CalibratedRGB(kIdentity, 1, 50, 0, 0, &shared, &shared, &shared);
    EXPECT_EQ(shared, Z / 100.0f / 100.0f / 100.0f);
}

struct HsvCase {
    const char* what;
    float rgb[3];
    float h, s, v;
    float hTolerance;  // 0: exact
};

TEST(Hsv, HueSaturationValue) {
    const HsvCase cases[] = {
        {"black", {0, 0, 0}, 0, 0, 0, 0},
        {"below 1e-7 is black", {5e-8f, 0, 0}, 0, 0, 5e-8f, 0},
        {"grey", {0.5f, 0.5f, 0.5f}, 0, 0, 0.5f, 0},
        {"a near-grey keeps its tiny saturation", {1, 1, 0.99999994f}, 0, 5.9604645e-8f, 1, 0},
        {"red", {1, 0, 0}, 0, 1, 1, 0},
        {"blue", {0, 0, 1}, 240, 1, 1, 0},
        {"magenta", {1, 0, 1}, 300, 1, 1, 0},
        {"yellow: R wins the tie with G", {1, 1, 0}, 60, 1, 1, 0},
        {"cyan: G wins the tie with B", {0, 1, 1}, 180, 1, 1, 0},
        {"negative sector wraps", {1, 0, 0.5f}, 330, 1, 1, 0},
        {"0..255 scale", {255, 128, 0}, 30.117647f, 1, 255, 1e-4f},
    };
    for (const HsvCase& c : cases) {
        float h, s, v;
        RGB2HSV(c.rgb[0], c.rgb[1], c.rgb[2], &h, &s, &v);
        if (c.hTolerance == 0)
            EXPECT_EQ(h, c.h) << c.what;
        else
            EXPECT_NEAR(h, c.h, c.hTolerance) << c.what;
        EXPECT_EQ(s, c.s) << c.what;
        EXPECT_EQ(v, c.v) << c.what;
    }
}

}  // namespace
