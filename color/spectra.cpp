// Reflectance spectra (31 samples, 400 to 700 nm in 10 nm steps) to D50 XYZ and to Status T
// and Status I densities; visual density of XYZ and L*a*b*; D50 XYZ to and from four Status T
// style densities by a matrix.
//
// The tables are used exactly as listed, small negative entries included, and are not
// renormalised: the density rows sum to 1 only approximately, and stored densities depend on
// those sums.
#include <cmath>
#include <cstdint>

#include "log10.h"
#include "vantrel/colorimetry.h"

namespace {

constexpr int kSamples = 31;  // spectrum elements 1 to 31; element 0 is never read

// Integration weights for D50 and the CIE 1931 2-degree observer, 1000 times the percent-scale
// XYZ; each row sums to 1000 x (96.421, 99.997, 82.524).
struct WeightsAt {
    std::int32_t x, y, z;
};

// Density responses; the visual row is shared by Status T and Status I.
struct ResponsesAt {
    float visual, tRed, tGreen, tBlue, iRed, iGreen, iBlue;
};

constexpr WeightsAt kD50Weights[kSamples] = {
    // X, Y, Z
    {76, 2, 361},        // 400 nm
    {234, 6, 1113},      // 410 nm
    {775, 23, 3723},     // 420 nm
    {1610, 66, 7862},    // 430 nm
    {2453, 162, 12309},  // 440 nm
    {2777, 313, 14647},  // 450 nm
    {2500, 514, 14346},  // 460 nm
    {1717, 798, 11299},  // 470 nm
    {861, 1239, 7309},   // 480 nm
    {283, 1839, 4128},   // 490 nm
    {40, 2948, 2466},    // 500 nm
    {88, 4632, 1447},    // 510 nm
    {593, 6587, 736},    // 520 nm
    {1590, 8308, 401},   // 530 nm
    {2799, 9197, 196},   // 540 nm
    {4207, 9650, 85},    // 550 nm
    {5657, 9471, 37},    // 560 nm
    {7132, 8902, 20},    // 570 nm
    {8540, 8112, 15},    // 580 nm
    {9255, 6829, 10},    // 590 nm
    {9835, 5838, 7},     // 600 nm
    {9469, 4753, 4},     // 610 nm
    {8009, 3573, 2},     // 620 nm
    {5926, 2443, 1},     // 630 nm
    {4171, 1629, 0},     // 640 nm
    {2609, 984, 0},      // 650 nm
    {1541, 570, 0},      // 660 nm
    {855, 313, 0},       // 670 nm
    {434, 158, 0},       // 680 nm
    {194, 70, 0},        // 690 nm
    {191, 68, 0},        // 700 nm
};
constexpr ResponsesAt kResponses[kSamples] = {
    // visual, T red, T green, T blue, I red, I green, I blue
    {0.00001f, 0, 0, 0.01166f, 0, 0, 0},                         // 400 nm
    {0.00002f, 0, 0, 0.02498f, 0, 0, 0.00529f},                  // 410 nm
    {0.00008f, 0, 0, 0.05569f, 0, 0, 0.25224f},                  // 420 nm
    {0.00027f, 0, 0, 0.08479f, 0, 0, 0.48494f},                  // 430 nm
    {0.00062f, 0, 0, 0.11446f, 0, 0, 0.25224f},                  // 440 nm
    {0.00118f, 0, 0, 0.13194f, 0, 0, 0.00529f},                  // 450 nm
    {0.00212f, 0, 0, 0.14004f, 0, 0, 0},                         // 460 nm
    {0.00366f, 0, 0.00008f, 0.13591f, 0, 0, 0},                  // 470 nm
    {0.00627f, 0, 0.00151f, 0.11893f, 0, 0, 0},                  // 480 nm
    {0.01053f, 0, 0.00943f, 0.09102f, 0, 0, 0},                  // 490 nm
    {0.01814f, 0, 0.05226f, 0.05646f, 0, 0, 0},                  // 500 nm
    {0.03102f, 0, 0.12116f, 0.02596f, 0, 0, 0},                  // 510 nm
    {0.04752f, 0, 0.17037f, 0.00757f, 0, 0.078f, 0},             // 520 nm
    {0.06307f, 0, 0.18826f, 0.00058f, 0, 0.422f, 0},             // 530 nm
    {0.07586f, 0, 0.16962f, -0.00002f, 0, 0.422f, 0},            // 540 nm
    {0.08554f, 0, 0.12986f, 0.00001f, 0, 0.078f, 0},             // 550 nm
    {0.09203f, 0.00002f, 0.0845f, 0, 0, 0, 0},                   // 560 nm
    {0.09436f, -0.00096f, 0.04564f, 0, 0, 0, 0},                 // 570 nm
    {0.09201f, 0.00613f, 0.01953f, 0, 0, 0, 0},                  // 580 nm
    {0.08532f, 0.10708f, 0.00594f, 0, 0, 0, 0},                  // 590 nm
    {0.07539f, 0.29979f, 0.00154f, 0.000127f, 0, 0, 0.000127f},  // 600 nm
    {0.0635f, 0.27166f, 0.00027f, 0, 0.078f, 0, 0},              // 610 nm
    {0.0508f, 0.17561f, 0.00002f, 0, 0.422f, 0, 0},              // 620 nm
    {0.03721f, 0.08276f, 0.00002f, 0, 0.422f, 0, 0},             // 630 nm
    {0.02571f, 0.03346f, 0, 0, 0.078f, 0, 0},                    // 640 nm
    {0.01649f, 0.01578f, 0, 0, 0, 0, 0},                         // 650 nm
    {0.00983f, 0.00525f, 0, 0, 0, 0, 0},                         // 660 nm
    {0.00541f, 0.00167f, 0, 0, 0, 0, 0},                         // 670 nm
    {0.00295f, 0.00093f, 0, 0, 0, 0, 0},                         // 680 nm
    {0.00149f, 0.00049f, 0, 0, 0, 0, 0},                         // 690 nm
    {0.00158f, 0.00033f, 0, 0, 0, 0, 0},                         // 700 nm
};

// The weights as the sums take them, converted to float once (exactly: they are far below
// 2^24).
struct FloatWeightsAt {
    float x, y, z;
};
struct FloatWeights {
    FloatWeightsAt at[kSamples];
};
constexpr FloatWeights ToFloat(const WeightsAt (&weights)[kSamples]) {
    FloatWeights converted{};
    for (int k = 0; k < kSamples; ++k)
        converted.at[k] = {static_cast<float>(weights[k].x), static_cast<float>(weights[k].y),
                           static_cast<float>(weights[k].z)};
    return converted;
}
constexpr FloatWeights kD50FloatWeights = ToFloat(kD50Weights);

using WeightRow = std::int32_t WeightsAt::*;
using ResponseRow = float ResponsesAt::*;
constexpr ResponseRow kStatusT[4] = {&ResponsesAt::visual, &ResponsesAt::tRed, &ResponsesAt::tGreen,
                                     &ResponsesAt::tBlue};
constexpr ResponseRow kStatusI[4] = {&ResponsesAt::visual, &ResponsesAt::iRed, &ResponsesAt::iGreen,
                                     &ResponsesAt::iBlue};

// Densities are taken of quantities limited to 0.0001..1, so they lie between 0 and 4. A NaN
// passes the lower limit and fails the "below 1" test, so it becomes 1 (density 0).
constexpr float kDensityFloor = 0.0001f;

float ClampForDensity(float value) {
    if (value < kDensityFloor) value = kDensityFloor;
    return value < 1.0f ? value : 1.0f;
}

// Negated after narrowing, so a quantity of 1 gives a zero with the sign bit set.
float Density(float value) {
    return -static_cast<float>(vantrel::detail::Log10(static_cast<double>(ClampForDensity(value))));
}

float FromDensity(float density) {
    return static_cast<float>(std::pow(10.0, static_cast<double>(-density)));
}

void SpectrumToDensities(const float* spectrum, const ResponseRow (&rows)[4], float* out) {
    for (int r = 0; r < 4; ++r) {
        out[r] = 0.0f;
        for (int k = 0; k < kSamples; ++k) out[r] += kResponses[k].*rows[r] * spectrum[k + 1];
        out[r] = Density(out[r]);
    }
}

// Status T style linear red, green, blue of unit-scale D50 XYZ, and back for X and Z (Y
// travels through the visual density).
constexpr float kXyzToRgb[3][3] = {
    {1.4391f, -0.2202f, -0.2027f},
    {-0.731f, 1.6386f, 0.0801f},
    {-0.0064f, 0.0171f, 1.1995f},
};
constexpr float kRgbToX[3] = {0.7457f, 0.099f, 0.1194f};
constexpr float kRgbToZ[3] = {-0.0007f, -0.0088f, 0.8341f};  // -0.0007, not -0.00076

}  // namespace

// Where the output does not overlap the spectrum, the three sums advance together, each in
// wavelength order: the same additions in the same order as one sum after the other, but three
// independent chains of them in flight instead of one. An output written into the spectrum
// (each store then changes what the next sum reads) takes the sums one after the other.
void CX_SpectrumToD50XYZ(const float* spectrum, float* xyzOut) {
    const auto in = reinterpret_cast<std::uintptr_t>(spectrum);
    const auto out = reinterpret_cast<std::uintptr_t>(xyzOut);
    if (out + 3 * sizeof(float) <= in || out >= in + (kSamples + 1) * sizeof(float)) {
        float x = 0.0f, y = 0.0f, z = 0.0f;
        for (int k = 0; k < kSamples; ++k) {
            const float sample = spectrum[k + 1];
            const FloatWeightsAt& w = kD50FloatWeights.at[k];
            x += w.x * sample;
            y += w.y * sample;
            z += w.z * sample;
        }
        const float sums[3] = {x, y, z};
        for (int c = 0; c < 3; ++c)
            xyzOut[c] = static_cast<float>(static_cast<double>(0.0f + sums[c]) / 1000.0);
        return;
    }
    xyzOut[0] = 0.0f;
    xyzOut[1] = 0.0f;
    xyzOut[2] = 0.0f;
    const WeightRow rows[3] = {&WeightsAt::x, &WeightsAt::y, &WeightsAt::z};
    for (int c = 0; c < 3; ++c) {
        float sum = 0.0f;
        for (int k = 0; k < kSamples; ++k)
            sum += static_cast<float>(kD50Weights[k].*rows[c]) * spectrum[k + 1];
        xyzOut[c] = static_cast<float>(static_cast<double>(xyzOut[c] + sum) / 1000.0);
    }
}

void SpectrumToDensityT(const float* spectrum, float* densitiesOut) {
    SpectrumToDensities(spectrum, kStatusT, densitiesOut);
}

void SpectrumToDensityI(const float* spectrum, float* densitiesOut) {
    SpectrumToDensities(spectrum, kStatusI, densitiesOut);
}

void XYZ2VisualDensity(float /*X*/, float Y, float /*Z*/, float* densityOut) {
    *densityOut = Density(Y / 100.0f);
}

void LAB2VisualDensity(float L, float /*a*/, float /*b*/, float* densityOut) {
    float luminance;
    if (L > 8.0f) {
        float f = (L + 16.0f) / 116.0f;
        luminance = f * f * f;
    } else {
        luminance = L / 903.3f;
    }
    *densityOut = Density(luminance);
}

void D50XYZ2StatusTDensity_VW(float X, float Y, float Z, float* visualDensity, float* redDensity,
                              float* greenDensity, float* blueDensity) {
    *visualDensity = Density(Y);
    *redDensity = kXyzToRgb[0][0] * X + kXyzToRgb[0][1] * Y + kXyzToRgb[0][2] * Z;
    *greenDensity = kXyzToRgb[1][0] * X + kXyzToRgb[1][1] * Y + kXyzToRgb[1][2] * Z;
    *blueDensity = kXyzToRgb[2][0] * X + kXyzToRgb[2][1] * Y + kXyzToRgb[2][2] * Z;
    *redDensity = Density(*redDensity);
    *greenDensity = Density(*greenDensity);
    *blueDensity = Density(*blueDensity);
}

void StatusTDensity2D50XYZ_VW(float visualDensity, float redDensity, float greenDensity,
                              float blueDensity, float* X, float* Y, float* Z) {
    float r = FromDensity(redDensity);
    float g = FromDensity(greenDensity);
    float b = FromDensity(blueDensity);
    *X = kRgbToX[0] * r + kRgbToX[1] * g + kRgbToX[2] * b;
    *Y = FromDensity(visualDensity);
    *Z = kRgbToZ[0] * r + kRgbToZ[1] * g + kRgbToZ[2] * b;
}
