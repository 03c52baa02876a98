// Spectra and densities. Exact results (integer sums, clamped values) bit for bit, the sign of
// zero included; logarithms of unclamped sums and worked values within their digits.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Hex;
using testing_support::SameBits;

// Exact expectations (-0 and 4) bit for bit, the others within `tolerance`.
void ExpectValue(float got, float want, float tolerance, const std::string& what) {
    if (want == 4.0f || (want == 0.0f && std::signbit(want)))
        EXPECT_TRUE(SameBits(got, want)) << what << ": " << got;
    else
        EXPECT_NEAR(got, want, tolerance) << what;
}

struct Spectrum {
    float v[32];
    explicit Spectrum(float value, int onlyAtNm = 0) {
        for (float& x : v) x = onlyAtNm ? 0.0f : value;
        if (onlyAtNm) v[(onlyAtNm - 390) / 10] = value;
    }
};

// XYZ bit for bit (the weight sums, single weights and zeros are exact), densities as listed.
TEST(Spectrum, XyzAndDensitiesFollowTheTablesAsListed) {
    struct {
        const char* what;
        Spectrum spectrum;
        float xyz[3], t[4], i[4];  // densities: visual, red, green, blue
        float tolerance;
    } cases[] = {
        // clang-format off
        // Sums: visual 0.99999, T red 0.99999994; every other sum reaches 1 and gives -0.
        {"ones", Spectrum(1), {96.421f, 99.997f, 82.524f},
         {4.3e-6f, 3e-8f, -0.0f, -0.0f}, {4.3e-6f, -0.0f, -0.0f, -0.0f}, 2e-7f},
        // 0.000127 in both blue rows, above the 0.0001 floor.
        {"600 nm", Spectrum(1, 600), {0x1.3ab852p+3f, 0x1.75a1cap+2f, 0x1.cac084p-8f},
         {1.12269f, 0.52318f, 2.81248f, 3.89620f}, {1.12269f, 4, 4, 3.89620f}, 2e-5f},
        // clang-format on
    };
    for (const auto& c : cases) {
        float xyz[3], t[4], i[4];
        CX_SpectrumToD50XYZ(c.spectrum.v, xyz);
        SpectrumToDensityT(c.spectrum.v, t);
        SpectrumToDensityI(c.spectrum.v, i);
        EXPECT_TRUE(SameBits(xyz, c.xyz, 3))
            << c.what << ": " << xyz[0] << " " << xyz[1] << " " << xyz[2];
        for (int k = 0; k < 4; ++k) {
            ExpectValue(t[k], c.t[k], c.tolerance, std::string(c.what) + " T" + "VRGB"[k]);
            ExpectValue(i[k], c.i[k], c.tolerance, std::string(c.what) + " I" + "VRGB"[k]);
        }
    }
}

TEST(VisualDensity, OfLuminanceAndLightness) {
    struct {
        const char* what;
        bool lab;
        float input;  // Y (percent) or L*
        float density;
    } cases[] = {
        // clang-format off
        {"Y 18", false, 18, 0.74473f}, {"Y 100", false, 100, -0.0f}, {"Y 150", false, 150, -0.0f},
        {"Y 0.01", false, 0.01f, 4}, {"Y negative", false, -5, 4},
        {"Y NaN counts as 1", false, NAN, -0.0f}, {"L* 100", true, 100, -0.0f},
        {"L* 50, cube", true, 50, 0.73474f}, {"L* 8, line", true, 8, 2.05274f},
        {"L* 0", true, 0, 4},
        // clang-format on
    };
    for (const auto& c : cases) {
        float d;
        if (c.lab)
            LAB2VisualDensity(c.input, 12, -34, &d);
        else
            XYZ2VisualDensity(56, c.input, 78, &d);
        ExpectValue(d, c.density, 1e-5f, c.what);
    }
}

// XYZ to V, R, G, B densities and back, close but not exact. The white maps to linear (1.00017,
// 0.99984, 1.0004): only green (0.0000676) stays below 1, the others clamp to -0. The last
// colour is drawn at random.
TEST(StatusT, DensitiesAndBackGiveTheseBits) {
    const struct {
        float xyz[3], d[4], back[3];
    } cases[] = {
        // clang-format off
        {{0.9642f, 1.0f, 0.8249f}, {-0.0f, -0.0f, 0x1.1bb998p-14f, -0.0f},
         {0x1.ed9c8p-1f, 1, 0x1.a63226p-1f}},
        {{0.2f, 0.18f, 0.15f}, {0x1.7d4cecp-1f, 0x1.52ef9p-1f, 0x1.966ec6p-1f, 0x1.7b2eap-1f},
         {0x1.999f68p-3f, 0x1.70a3d8p-3f, 0x1.333764p-3f}},
        {{0.755221248f, 0.421474695f, 0.309375852f},
         {0x1.803be6p-2f, 0x1.fa48eep-6f, 0x1.92e49ap-1f, 0x1.b6028ep-2f},
         {0x1.82afeap-1f, 0x1.af971p-2f, 0x1.3cd924p-2f}},
        // clang-format on
    };
    for (const auto& c : cases) {
        float d[4], back[3];
        D50XYZ2StatusTDensity_VW(c.xyz[0], c.xyz[1], c.xyz[2], &d[0], &d[1], &d[2], &d[3]);
        StatusTDensity2D50XYZ_VW(d[0], d[1], d[2], d[3], &back[0], &back[1], &back[2]);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(Hex(d[k]), Hex(c.d[k])) << c.xyz[0] << "VRGB"[k];
        for (int k = 0; k < 3; ++k) EXPECT_EQ(Hex(back[k]), Hex(c.back[k])) << c.xyz[0] << k;
    }
}

// An uneven spectrum: a change in the order of any operation (the spectral sums included)
// shows, and so would a read of element 0 (NaN), which no sum uses.
TEST(Spectrum, RandomValuesGiveTheseBits) {
    Spectrum uneven(NAN);
    for (int k = 1; k < 32; ++k) uneven.v[k] = static_cast<float>(k * 37 % 100) / 100.0f + 0.005f;
    float spectral[11];  // XYZ, Status T, Status I
    CX_SpectrumToD50XYZ(uneven.v, spectral);
    SpectrumToDensityT(uneven.v, spectral + 3);
    SpectrumToDensityI(uneven.v, spectral + 7);
    const float expected[11] = {0x1.7be05ep+5f, 0x1.88cfap+5f,  0x1.6c67dap+5f, 0x1.3eeb1p-2f,
                                0x1.312bdp-2f,  0x1.292832p-2f, 0x1.13182cp-2f, 0x1.3eeb1p-2f,
                                0x1.a6513cp-3f, 0x1.65176p-2f,  0x1.41b5dp-2f};
    for (int k = 0; k < 11; ++k) EXPECT_EQ(Hex(spectral[k]), Hex(expected[k])) << k;
    // XYZ written over elements 1 to 3: X is summed from the spectrum as given, Y and Z after
    // the zeroing and each earlier store.
    CX_SpectrumToD50XYZ(uneven.v, uneven.v + 1);
    EXPECT_EQ(Hex(uneven.v[1]), Hex(0x1.798a72p+5f));
    EXPECT_EQ(Hex(uneven.v[2]), Hex(0x1.8980cep+5f));
    EXPECT_EQ(Hex(uneven.v[3]), Hex(0x1.cfc33ep+6f));
}

}  // namespace
