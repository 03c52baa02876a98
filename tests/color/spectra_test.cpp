// Spectra and densities. Results that the tables fix exactly (integer sums, clamped
// quantities) are compared bit for bit, signs of zeros included; logarithms of unclamped sums
// and the rounded worked values with a tolerance fitting their digits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "vantrel/colorimetry.h"

namespace {

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A spectrum with every element 1 to 31 set to `value` (element 0 too, though it is not read).
struct Spectrum {
    float v[32];
    explicit Spectrum(float value) {
        for (float& x : v) x = value;
    }
};

Spectrum OnlyAt(int nm) {
    Spectrum s(0.0f);
    s.v[(nm - 390) / 10] = 1.0f;
    return s;
}

TEST(Spectrum, PerfectReflectorIntegratesToTheWeightSums) {
    Spectrum ones(1.0f);
    float xyz[3];
    CX_SpectrumToD50XYZ(ones.v, xyz);
    EXPECT_EQ(xyz[0], 96.421f);
    EXPECT_EQ(xyz[1], 99.997f);
    EXPECT_EQ(xyz[2], 82.524f);
}

TEST(Spectrum, BlackIntegratesToZero) {
    Spectrum zeros(0.0f);
    float xyz[3] = {7, 7, 7};
    CX_SpectrumToD50XYZ(zeros.v, xyz);
    for (float c : xyz) EXPECT_TRUE(SameBits(c, 0.0f));
}

struct DensityCase {
    const char* what;
    Spectrum spectrum;
    float t[4];  // visual, red, green, blue
    float i[4];
    float tolerance;  // for the values that are not -0 or 4; -0 and 4 are compared bit for bit
};

void ExpectDensities(const float* got, const float* want, float tolerance, const char* what,
                     const char* status) {
    for (int k = 0; k < 4; ++k) {
        if (want[k] == 4.0f || (want[k] == 0.0f && std::signbit(want[k])))
            EXPECT_TRUE(SameBits(got[k], want[k]))
                << what << ", " << status << " [" << k << "]: " << got[k];
        else
            EXPECT_NEAR(got[k], want[k], tolerance) << what << ", " << status << " [" << k << "]";
    }
}

TEST(Spectrum, DensitiesFollowTheTablesAsListed) {
    const DensityCase cases[] = {
        // Sums: visual 0.99999, T red 0.99999994 (its -0.00096 included), every other one
        // reaches or passes 1 and gives -0.
        {"all ones",
         Spectrum(1.0f),
         {0.0000043f, 0.00000003f, -0.0f, -0.0f},
         {0.0000043f, -0.0f, -0.0f, -0.0f},
         2e-7f},
        {"all zeros", Spectrum(0.0f), {4, 4, 4, 4}, {4, 4, 4, 4}, 0},
        // 0.000127 in both blue rows, above the 0.0001 floor.
        {"only 600 nm",
         OnlyAt(600),
         {1.12269f, 0.52318f, 2.81248f, 3.89620f},
         {1.12269f, 4, 4, 3.89620f},
         2e-5f},
        // The negative T red entry at 570 nm falls to the floor.
        {"only 570 nm", OnlyAt(570), {1.02521f, 4, 1.34065f, 4}, {1.02521f, 4, 4, 4}, 2e-5f},
    };
    for (const DensityCase& c : cases) {
        float t[4], i[4];
        SpectrumToDensityT(c.spectrum.v, t);
        SpectrumToDensityI(c.spectrum.v, i);
        ExpectDensities(t, c.t, c.tolerance, c.what, "T");
        ExpectDensities(i, c.i, c.tolerance, c.what, "I");
    }
}

TEST(Spectrum, ElementZeroIsNeverRead) {
    Spectrum a(0.5f), b(0.5f);
    a.v[0] = 0.0f;
    b.v[0] = NAN;
    float xa[3], xb[3], ta[4], tb[4], ia[4], ib[4];
    CX_SpectrumToD50XYZ(a.v, xa);
    CX_SpectrumToD50XYZ(b.v, xb);
    SpectrumToDensityT(a.v, ta);
    SpectrumToDensityT(b.v, tb);
    SpectrumToDensityI(a.v, ia);
    SpectrumToDensityI(b.v, ib);
    EXPECT_EQ(0, std::memcmp(xa, xb, sizeof xa));
    EXPECT_EQ(0, std::memcmp(ta, tb, sizeof ta));
    EXPECT_EQ(0, std::memcmp(ia, ib, sizeof ia));
}

TEST(Spectrum, NanSumCountsAsFullReflectance) {
    Spectrum s(0.5f);
    s.v[10] = NAN;
    float t[4];
    SpectrumToDensityT(s.v, t);
    for (float d : t) EXPECT_EQ(d, 0.0f);
}

struct VisualCase {
    const char* what;
    bool lab;
    float input;  // Y (percent) or L*
    float density;
    float tolerance;  // 0: bit for bit
};

TEST(VisualDensity, OfLuminanceAndLightness) {
    const VisualCase cases[] = {
        {"Y 18", false, 18, 0.74473f, 1e-5f},
        {"Y 100", false, 100, -0.0f, 0},
        {"Y above 100", false, 150, -0.0f, 0},
        {"Y 0.01", false, 0.01f, 4, 0},
        {"Y 0", false, 0, 4, 0},
        {"Y negative", false, -5, 4, 0},
        {"Y NaN", false, NAN, -0.0f, 0},
        {"L* 100", true, 100, -0.0f, 0},
        {"L* 50, cube branch", true, 50, 0.73474f, 1e-5f},
        {"L* 8, linear branch", true, 8, 2.05274f, 1e-5f},
        {"L* 0", true, 0, 4, 0},
    };
    for (const VisualCase& c : cases) {
        float d;
        if (c.lab)
            LAB2VisualDensity(c.input, 12, -34, &d);
        else
            XYZ2VisualDensity(56, c.input, 78, &d);
        if (c.tolerance == 0)
            EXPECT_TRUE(SameBits(d, c.density)) << c.what << ": " << d;
        else
            EXPECT_NEAR(d, c.density, c.tolerance) << c.what;
    }
}

struct StatusTCase {
    const char* what;
    float xyz[3];
    float densities[4];  // NAN: not checked
    float back[3];
};

TEST(StatusT, PairRoundTripsClosely) {
    const StatusTCase cases[] = {
        {"D50 white: green just below 1 before clamping",
         {0.9642f, 1.0f, 0.8249f},
         {0, 0, 0.0000676f, 0},
         {0.96408f, 1.0f, 0.82460f}},
        {"a mid grey-brown",
         {0.2f, 0.18f, 0.15f},
         {NAN, NAN, NAN, NAN},
         {0.20001f, 0.18f, 0.15001f}},
    };
    for (const StatusTCase& c : cases) {
        float d[4];
        D50XYZ2StatusTDensity_VW(c.xyz[0], c.xyz[1], c.xyz[2], &d[0], &d[1], &d[2], &d[3]);
        for (int k = 0; k < 4; ++k) {
            if (std::isnan(c.densities[k])) continue;
            EXPECT_NEAR(d[k], c.densities[k], 2e-7f) << c.what << k;
        }
        float back[3];
        StatusTDensity2D50XYZ_VW(d[0], d[1], d[2], d[3], &back[0], &back[1], &back[2]);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], c.back[k], 1e-5f) << c.what << k;
    }
}

TEST(StatusT, InverseDoesNotClamp) {
    float X, Y, Z;
    StatusTDensity2D50XYZ_VW(-0.5f, -0.5f, -0.5f, -0.5f, &X, &Y, &Z);
    float r = std::sqrt(10.0f);
    EXPECT_NEAR(Y, r, 1e-5f);
    EXPECT_NEAR(X, (0.7457f + 0.099f + 0.1194f) * r, 1e-5f);
    EXPECT_NEAR(Z, (-0.0007f - 0.0088f + 0.8341f) * r, 1e-5f);
}

}  // namespace
