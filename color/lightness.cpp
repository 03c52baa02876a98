// Lightness for an average surround, L** = 110.5 x sqrt(Y/Yn + 0.01) - 11.05, its inverse and
// its relation to CIE L*; and clipping of L*a*b* colours lighter than a maximum.
//
// The offset 0.01 is added in double on the way to L** and subtracted in single precision on
// the way back, and L* switches between cube and line by comparing the relative luminance
// with 0.008856 (not L* with 8): results depend on these details.
#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

constexpr float kScale = 110.5f;
constexpr float kOffset = 11.05f;
constexpr double kLuminanceOffset = 0.01;       // to L**
constexpr float kLuminanceOffsetFloat = 0.01f;  // from L**
constexpr float kLinearThreshold = 0.008856f;   // on the relative luminance
constexpr float kLinearSlope = 903.3f;
constexpr double kCubeRootExponent = 0.333333;

float LDblStarOfRelativeLuminance(float y) {
    float root = static_cast<float>(std::sqrt(static_cast<double>(y) + kLuminanceOffset));
    return root * kScale - kOffset;
}

// u^2 - 0.01, the relative luminance of an L**.
float RelativeLuminanceOfLDblStar(float Lss) {
    float u = (Lss + kOffset) / kScale;
    return u * u - kLuminanceOffsetFloat;
}

}  // namespace

float Y2LDblStar_AveSurround(float Y, float Yn) {
    return LDblStarOfRelativeLuminance(Y / Yn);
}

float LDblStar2Y_AveSurround(float Lss, float Yn) {
    return RelativeLuminanceOfLDblStar(Lss) * Yn;
}

float L2LDblStar_AveSurround(float L) {
    float f = (L + 16.0f) / 116.0f;
    float y = f * (f * f);
    if (y < kLinearThreshold) y = L / kLinearSlope;
    return LDblStarOfRelativeLuminance(y);
}

float LDblStar2L_AveSurround(float Lss) {
    float y = RelativeLuminanceOfLDblStar(Lss);
    if (y < kLinearThreshold) return y * kLinearSlope;
    return static_cast<float>(std::pow(static_cast<double>(y), kCubeRootExponent)) * 116.0f - 16.0f;
}

void LClipping(float& L, float& a, float& b, float Lmax) {
    if (Lmax >= L) return;
    // Move along the line towards the neutral point (Lmax / 2, 0, 0) until L* is Lmax: the hue
    // is kept and the chroma shrinks in proportion.
    float halfMax = Lmax * 0.5f;
    float k = halfMax / (L - halfMax);
    a = a * k;
    b = b * k;
    L = Lmax;
}
