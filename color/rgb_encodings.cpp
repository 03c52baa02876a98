// D50 XYZ and L*a*b* to gamma-encoded RGB (sRGB, ColorMatch RGB, a caller-calibrated RGB),
// and RGB to HSV.
//
// The matrices carry the adaptation to D50. Every transfer curve is a pure power function,
// without the linear segment near black that some RGB standards define: results must match
// data encoded this way.
#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

// XYZ (D50, white Y = 1) to linear RGB, row by row: R, G, B from X, Y, Z.
constexpr float kSrgbMatrix[9] = {
    3.1346292f,   -1.617411f,   -0.4909669f,   //
    -0.9789601f,  1.916225f,    0.033565775f,  //
    0.071971685f, -0.22884007f, 1.4055582f,    //
};
constexpr float kColorMatchMatrix[9] = {
    2.673597f,    -1.2348022f,  -0.41590494f,  //
    -1.1105348f,  2.055924f,    0.01800663f,   //
    0.082038894f, -0.28071514f, 1.4566774f,    //
};
constexpr double kSrgbExponent = 0.45454545454545453;       // 1 / 2.2
constexpr double kColorMatchExponent = 0.5555555555555556;  // 1 / 1.8

constexpr float kD50X = 96.42f;
constexpr float kD50Y = 100.0f;
constexpr float kD50Z = 82.49f;

// Below this a colour counts as black (value) or grey (saturation), and has hue 0.
constexpr float kHsvEpsilon = 0.0000001f;

float Clip(float value) {
    if (value < 0.0f) return 0.0f;
    if (value > 1.0f) return 1.0f;
    return value;
}

float Encode(float linear, double exponent) {
    return static_cast<float>(std::pow(static_cast<double>(linear), exponent));
}

// The outputs are written at each step, linear, clipped, then encoded.
void XyzToRgb(const float* m, double exponent, float X, float Y, float Z, float* R, float* G,
              float* B) {
    *R = m[0] * X + m[1] * Y + m[2] * Z;
    *G = m[3] * X + m[4] * Y + m[5] * Z;
    *B = m[6] * X + m[7] * Y + m[8] * Z;
    *R = Clip(*R);
    *G = Clip(*G);
    *B = Clip(*B);
    *R = Encode(*R, exponent);
    *G = Encode(*G, exponent);
    *B = Encode(*B, exponent);
}

// L*a*b* to unit-scale D50 XYZ, held in the caller's R, G, B outputs for the next step.
void LabToUnitXyzInPlace(float L, float a, float b, float* R, float* G, float* B) {
    CX_LAB2XYZ_float(L, a, b, kD50X, kD50Y, kD50Z, R, G, B);
    *R = *R / 100.0f;
    *G = *G / 100.0f;
    *B = *B / 100.0f;
}

}  // namespace

void XYZ2SRGB(float X, float Y, float Z, float* R, float* G, float* B) {
    XyzToRgb(kSrgbMatrix, kSrgbExponent, X, Y, Z, R, G, B);
}

void LAB2SRGB(float L, float a, float b, float* R, float* G, float* B) {
    LabToUnitXyzInPlace(L, a, b, R, G, B);
    XYZ2SRGB(*R, *G, *B, R, G, B);
}

void XYZ2ColorMatchRGB(float X, float Y, float Z, float* R, float* G, float* B) {
    XyzToRgb(kColorMatchMatrix, kColorMatchExponent, X, Y, Z, R, G, B);
}

void LAB2ColorMatchRGB(float L, float a, float b, float* R, float* G, float* B) {
    LabToUnitXyzInPlace(L, a, b, R, G, B);
    XYZ2ColorMatchRGB(*R, *G, *B, R, G, B);
}

void XYZ2CalibratedRGB(const float* rgbMatrix, float displayGamma, float X, float Y, float Z,
                       float* R, float* G, float* B) {
    double exponent = 1.0 / static_cast<double>(displayGamma);
    XyzToRgb(rgbMatrix, exponent, X, Y, Z, R, G, B);
}

void LAB2CalibratedRGB(const float* rgbMatrix, float displayGamma, float L, float a, float b,
                       float* R, float* G, float* B) {
    LabToUnitXyzInPlace(L, a, b, R, G, B);
    XYZ2CalibratedRGB(rgbMatrix, displayGamma, *R, *G, *B, R, G, B);
}

void RGB2HSV(float R, float G, float B, float* H, float* S, float* V) {
    float value = R;
    if (G > value) value = G;
    if (B > value) value = B;
    *V = value;
    *H = 0.0f;
    *S = 0.0f;
    if (value < kHsvEpsilon) return;

    float smallest = R;
    if (G < smallest) smallest = G;
    if (B < smallest) smallest = B;
    float saturation = (value - smallest) / value;
    *S = saturation;
    if (saturation < kHsvEpsilon) return;

    // Sector by exact equality with the largest component, R before G before B; dividing by
    // S and then by V divides by (V - min).
    float sector;
    if (value == R)
        sector = (G - B) / saturation / value;
    else if (value == G)
        sector = (B - R) / saturation / value + 2.0f;
    else
        sector = (R - G) / saturation / value + 4.0f;
    float hue = sector * 60.0f;
    if (hue < 0.0f) hue += 360.0f;
    *H = hue;
}
