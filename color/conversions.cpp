// CIE XYZ <-> L*a*b* (percent, caller's white and 255 scalings) and L*a*b* <-> LCh.
//
// Stored data and other libraries depend on these exact results, so every constant below is
// the literal the formulas were fixed with (0.333333 rather than one third, 903.3 rather than
// 24389/27, 0.137931 rather than 16/116), with the type it is used in.
#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

constexpr double kCubeRootThreshold = 0.008856;  // on the ratios X/Xn, Y/Yn, Z/Zn
constexpr double kCubeRootExponent = 0.333333;
constexpr float kLinearSlopeF = 7.787f;
constexpr float kLinearOffsetF = 0.137931f;
constexpr double kInverseThresholdF = 0.2069;  // on f(X), f(Z)
constexpr float kAFactor = 500.0f;
constexpr float kBFactor = 200.0f;
constexpr float kAReciprocal = 0.002f;
constexpr float kBReciprocal = 0.005f;

// The lightness scale: L* = scale * f(Y) - offset above the junction, slope * Y/Yn below it,
// and the inverse switches to the cube above `inverseThreshold`.
struct LightnessScale {
    float scale;             // 116, or 116 x 2.55 = 295.8
    float offset;            // 16, or 16 x 2.55 = 40.8
    float linearSlope;       // 903.3, or 903.3 x 2.55 = 2303.415
    float inverseThreshold;  // 8, or 8 x 2.55 = 20.4
};
constexpr LightnessScale kPercentLightness = {116.0f, 16.0f, 903.3f, 8.0f};
constexpr LightnessScale k255Lightness = {295.8f, 40.8f, 2303.415f, 20.4f};

constexpr float kD50X = 96.42f;
constexpr float kD50Y = 100.0f;
constexpr float kD50Z = 82.49f;
constexpr float k255WhiteX = 122.93738f;
constexpr float k255WhiteY = 127.50195f;
constexpr float k255WhiteZ = 105.17635f;

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

// The power is taken in double on the widened ratio and narrowed back.
float CubeRoot(float t) { return static_cast<float>(std::pow(static_cast<double>(t), kCubeRootExponent)); }

// f(t) of the a* and b* formulas; a zero, negative or NaN ratio takes the linear segment.
float FOfRatio(float t) {
    if (static_cast<double>(t) > kCubeRootThreshold) return CubeRoot(t);
    return kLinearSlopeF * t + kLinearOffsetF;
}

// Inverse of FOfRatio for X and Z, times the white component.
float RatioOfF(float f, float white) {
    if (static_cast<double>(f) > kInverseThresholdF) return f * f * f * white;
    return ((f - kLinearOffsetF) / kLinearSlopeF) * white;
}

void XyzToLab(const LightnessScale& s, float X, float Y, float Z, float Xn, float Yn, float Zn,
              float* L, float* a, float* b) {
    float ty = Y / Yn;
    float lightness;
    if (static_cast<double>(ty) > kCubeRootThreshold)
        lightness = CubeRoot(ty) * s.scale - s.offset;
    else
        lightness = s.linearSlope * ty;
    *L = lightness;

    float fx = FOfRatio(X / Xn);
    float fz = FOfRatio(Z / Zn);
    // f(Y) is recomputed from the stored lightness in both branches.
    float fy = (lightness + s.offset) / s.scale;
    *a = (fx - fy) * kAFactor;
    *b = (fy - fz) * kBFactor;
}

void LabToXyz(const LightnessScale& s, float L, float a, float b, float Xn, float Yn, float Zn,
              float* X, float* Y, float* Z) {
    float fy = (L + s.offset) / s.scale;
    if (L > s.inverseThreshold)
        *Y = fy * fy * fy * Yn;
    else
        *Y = (L / s.linearSlope) * Yn;

    float fx = a * kAReciprocal + fy;
    float fz = fy - b * kBReciprocal;
    *X = RatioOfF(fx, Xn);
    *Z = RatioOfF(fz, Zn);
    if (*X < 0.0f) *X = 0.0f;
    if (*Z < 0.0f) *Z = 0.0f;
}

struct White {
    float X, Y, Z;
};

White White255(const float* factors) {
    if (!factors) return {k255WhiteX, k255WhiteY, k255WhiteZ};
    return {factors[0] * k255WhiteX, factors[1] * k255WhiteY, factors[2] * k255WhiteZ};
}

}  // namespace

void CX_XYZ2LAB_float(float X, float Y, float Z, float Xn, float Yn, float Zn, float* L,
                      float* a, float* b) {
    XyzToLab(kPercentLightness, X, Y, Z, Xn, Yn, Zn, L, a, b);
}

void CX_D50XYZ2LAB(float X, float Y, float Z, float* L, float* a, float* b) {
    CX_XYZ2LAB_float(X, Y, Z, kD50X, kD50Y, kD50Z, L, a, b);
}

void CX_LAB2XYZ_float(float L, float a, float b, float Xn, float Yn, float Zn, float* X,
                      float* Y, float* Z) {
    LabToXyz(kPercentLightness, L, a, b, Xn, Yn, Zn, X, Y, Z);
}

void CX_D50LAB2XYZ(float L, float a, float b, float* X, float* Y, float* Z) {
    CX_LAB2XYZ_float(L, a, b, kD50X, kD50Y, kD50Z, X, Y, Z);
}

void CX_XYZ255ToL255AB(float X, float Y, float Z, float* L, float* a, float* b,
                       float* whiteFactors) {
    White w = White255(whiteFactors);
    XyzToLab(k255Lightness, X, Y, Z, w.X, w.Y, w.Z, L, a, b);
}

void CX_L255ABToXYZ255(float L, float a, float b, float* X, float* Y, float* Z,
                       float* whiteFactors) {
    White w = White255(whiteFactors);
    LabToXyz(k255Lightness, L, a, b, w.X, w.Y, w.Z, X, Y, Z);
}

void LAB2LCH(const float* labIn, float* lchOut) {
    // Read everything before writing: the two arrays may be the same.
    float lightness = labIn[0];
    float a = labIn[1];
    float b = labIn[2];
    float sumOfSquares = a * a + b * b;
    float chroma = static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)));
    float hue = static_cast<float>(std::atan2(static_cast<double>(b), static_cast<double>(a)));
    if (hue < 0.0f) hue += kTwoPi;
    lchOut[0] = lightness;
    lchOut[1] = chroma;
    lchOut[2] = hue;
}

void CX_LCH2LAB(float L, float C, float h, float* Lout, float* a, float* b) {
    *Lout = L;
    float angle = (h * kPi) / 180.0f;
    *a = static_cast<float>(std::cos(static_cast<double>(angle))) * C;
    *b = static_cast<float>(std::sin(static_cast<double>(angle))) * C;
}
