// CIE XYZ <-> L*a*b* (percent, caller's white and 255 scalings) and L*a*b* <-> LCh.
//
// Stored data and other libraries depend on these exact results, so every constant below is
// the literal the formulas were fixed with (0.333333 rather than one third, 903.3 rather than
// 24389/27, 0.137931 rather than 16/116), with the type it is used in.
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#define VANTREL_SSE2_LAB 1
#endif

#include "cube_root.h"
#include "vantrel/colorimetry.h"

namespace {

constexpr double kCubeRootThreshold = 0.008856;  // on the ratios X/Xn, Y/Yn, Z/Zn
constexpr float kLinearSlopeF = 7.787f;
constexpr float kLinearOffsetF = 0.137931f;
// On f(X), f(Z): 0.2069 as a double; a float f exceeds it exactly when f exceeds this float.
constexpr float kBelowInverseThresholdF = 0x1.a7bb2ep-3f;  // 0.20689999
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

// The power 0.333333, taken in double on the widened ratio and narrowed back (CubeRoot gives
// exactly that float, faster than the general power function).
using vantrel::detail::CubeRoot;

// f(t) of the a* and b* formulas; a zero, negative or NaN ratio takes the linear segment.
float FOfRatio(float t) {
    if (static_cast<double>(t) > kCubeRootThreshold) return CubeRoot(t);
    return kLinearSlopeF * t + kLinearOffsetF;
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

// LabToXyz computes both segments of each component and selects one, rather than branching:
// which segment applies follows a* and b* in a way no branch predictor does, and a
// mispredicted branch costs more than the work of the other segment. Per component:
//     cube   = f * f * f * white,                 for Y: fy * fy * fy * Yn
//     linear = ((f - 0.137931) / 7.787) * white,  for Y: (L / 903.3) * Yn
// with the cube taken when f is above the inverse threshold (for Y: when L is above it); a
// float f widened to double exceeds 0.2069 exactly when it exceeds the largest float not
// above it. A resulting X or Z below 0 becomes 0, by a selection too: X and Z are negative
// often enough, and unpredictably enough, for a branch to cost more.
#if defined(VANTREL_SSE2_LAB)

// x below 0 becomes 0; NaN and -0 stay as they are (MAXSS returns its second operand unless
// the first is greater).
float ZeroIfNegative(float x) {
    return _mm_cvtss_f32(_mm_max_ss(_mm_setzero_ps(), _mm_set_ss(x)));
}

// The three components side by side in the lanes of one 128-bit vector (X, Y, Z, unused),
// with one division for all three linear segments.
void LabToXyz(const LightnessScale& s, float L, float a, float b, float Xn, float Yn, float Zn,
              float* X, float* Y, float* Z) {
    float fy = (L + s.offset) / s.scale;
    float fx = a * kAReciprocal + fy;
    float fz = fy - b * kBReciprocal;

    const __m128 f = _mm_setr_ps(fx, fy, fz, 0.0f);
    const __m128 white = _mm_setr_ps(Xn, Yn, Zn, 0.0f);
    const __m128 cube = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(f, f), f), white);
    const __m128 numerator = _mm_setr_ps(fx - kLinearOffsetF, L, fz - kLinearOffsetF, 0.0f);
    const __m128 slope = _mm_setr_ps(kLinearSlopeF, s.linearSlope, kLinearSlopeF, 1.0f);
    const __m128 linear = _mm_mul_ps(_mm_div_ps(numerator, slope), white);
    const __m128 useCube = _mm_cmpgt_ps(
        _mm_setr_ps(fx, L, fz, 0.0f),
        _mm_setr_ps(kBelowInverseThresholdF, s.inverseThreshold, kBelowInverseThresholdF, 0.0f));
    const __m128 xyz = _mm_or_ps(_mm_and_ps(useCube, cube), _mm_andnot_ps(useCube, linear));
    float out[4];
    _mm_storeu_ps(out, xyz);

    *Y = out[1];
    *X = out[0];
    *Z = out[2];
    // Read back in case the outputs share storage; the same value is stored when it stands.
    *X = ZeroIfNegative(*X);
    *Z = ZeroIfNegative(*Z);
}

#else

// x below 0 becomes 0; NaN and -0 stay as they are, as with the vector maximum above.
float ZeroIfNegative(float x) {
    return 0.0f > x ? 0.0f : x;
}

// One component: the cube or the linear segment, both computed, one selected (a NaN
// comparison selects the linear segment, as the vector comparison does).
float Segment(float value, float threshold, float f, float numerator, float slope, float white) {
    const float cube = f * f * f * white;
    const float linear = numerator / slope * white;
    return value > threshold ? cube : linear;
}

void LabToXyz(const LightnessScale& s, float L, float a, float b, float Xn, float Yn, float Zn,
              float* X, float* Y, float* Z) {
    float fy = (L + s.offset) / s.scale;
    float fx = a * kAReciprocal + fy;
    float fz = fy - b * kBReciprocal;

    const float x =
        Segment(fx, kBelowInverseThresholdF, fx, fx - kLinearOffsetF, kLinearSlopeF, Xn);
    const float y = Segment(L, s.inverseThreshold, fy, L, s.linearSlope, Yn);
    const float z =
        Segment(fz, kBelowInverseThresholdF, fz, fz - kLinearOffsetF, kLinearSlopeF, Zn);

    *Y = y;
    *X = x;
    *Z = z;
    // Read back in case the outputs share storage; the same value is stored when it stands.
    *X = ZeroIfNegative(*X);
    *Z = ZeroIfNegative(*Z);
}

#endif

struct White {
    float X, Y, Z;
};

White White255(const float* factors) {
    if (!factors) return {k255WhiteX, k255WhiteY, k255WhiteZ};
    return {factors[0] * k255WhiteX, factors[1] * k255WhiteY, factors[2] * k255WhiteZ};
}

}  // namespace

void CX_XYZ2LAB_float(float X, float Y, float Z, float Xn, float Yn, float Zn, float* L, float* a,
                      float* b) {
    XyzToLab(kPercentLightness, X, Y, Z, Xn, Yn, Zn, L, a, b);
}

// The D50 forms compute what CX_XYZ2LAB_float and CX_LAB2XYZ_float give for the D50 white,
// without the call through the exported symbol.
void CX_D50XYZ2LAB(float X, float Y, float Z, float* L, float* a, float* b) {
    XyzToLab(kPercentLightness, X, Y, Z, kD50X, kD50Y, kD50Z, L, a, b);
}

void CX_LAB2XYZ_float(float L, float a, float b, float Xn, float Yn, float Zn, float* X, float* Y,
                      float* Z) {
    LabToXyz(kPercentLightness, L, a, b, Xn, Yn, Zn, X, Y, Z);
}

void CX_D50LAB2XYZ(float L, float a, float b, float* X, float* Y, float* Z) {
    LabToXyz(kPercentLightness, L, a, b, kD50X, kD50Y, kD50Z, X, Y, Z);
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
