// Colour differences between a reference and a sample L*a*b*: CIE 1976 (Euclidean), CIE 1994
// with parametric factors, and CMC l:c. The weights of the last two come from the reference
// alone, so the order of the arguments matters.
#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

constexpr float kPi = 3.1415927f;

float SquareRoot(float x) {
    return static_cast<float>(std::sqrt(static_cast<double>(x)));
}

float Chroma(const float* lab) {
    return SquareRoot(lab[1] * lab[1] + lab[2] * lab[2]);
}

float EuclideanDifference(const float* ref, const float* sample) {
    float dL = ref[0] - sample[0];
    float da = ref[1] - sample[1];
    float db = ref[2] - sample[2];
    return SquareRoot(dL * dL + da * da + db * db);
}

// Squared hue difference, taken from the rounded Euclidean difference squared again rather
// than from the hue angles; rounding can leave it slightly negative, which is floored at 0.
float SquaredHueDifference(const float* ref, const float* sample, float dL, float dC) {
    float dE = EuclideanDifference(ref, sample);
    float dH2 = dE * dE - dL * dL - dC * dC;
    return dH2 < 0.0f ? 0.0f : dH2;
}

// Hue of the reference in degrees, 0 to 360; a neutral colour has hue 0.
float HueDegrees(const float* lab) {
    float radians =
        static_cast<float>(std::atan2(static_cast<double>(lab[2]), static_cast<double>(lab[1])));
    float degrees = radians * 180.0f / kPi;
    if (degrees < 0.0f) degrees += 360.0f;
    return degrees;
}

float CosineOfDegrees(float degrees) {
    float radians = degrees * kPi / 180.0f;
    return static_cast<float>(std::cos(static_cast<double>(radians)));
}

// The CMC hue term T: one curve from 164 to 345 degrees (both included), another elsewhere.
float CmcHueTerm(float hue) {
    if (hue >= 164.0f && hue <= 345.0f)
        return 0.56f + std::fabs(0.2f * CosineOfDegrees(hue + 168.0f));
    return 0.36f + std::fabs(0.4f * CosineOfDegrees(hue + 35.0f));
}

}  // namespace

float DeltaE(const float* refLab, const float* sampleLab) {
    return EuclideanDifference(refLab, sampleLab);
}

float DeltaE94(const float* refLab, const float* sampleLab, float kL, float kC, float kH) {
    float C1 = Chroma(refLab);
    float C2 = Chroma(sampleLab);
    float SC = 1.0f + 0.045f * C1;
    float SH = 1.0f + 0.015f * C1;
    float dL = refLab[0] - sampleLab[0];
    float dC = C1 - C2;
    float dH2 = SquaredHueDifference(refLab, sampleLab, dL, dC);

    float lightness = dL / kL;
    float chroma = (dC / kC) / SC;
    float hueWeight = SH * kH;
    float lightnessTerm = lightness * lightness;
    float chromaTerm = chroma * chroma;
    float hueTerm = dH2 / (hueWeight * hueWeight);
    return SquareRoot(lightnessTerm + chromaTerm + hueTerm);
}

float DeltaECMC(const float* refLab, const float* sampleLab, float l, float c) {
    float C1 = Chroma(refLab);
    float C2 = Chroma(sampleLab);
    float L1 = refLab[0];
    float SL = L1 < 16.0f ? 0.511f : 0.040975f * L1 / (1.0f + 0.01765f * L1);
    float SC = 0.0638f * C1 / (1.0f + 0.0131f * C1) + 0.638f;
    float C1Squared = C1 * C1;
    float C1Fourth = C1Squared * C1Squared;
    float F = SquareRoot(C1Fourth / (C1Fourth + 1900.0f));
    float T = CmcHueTerm(HueDegrees(refLab));
    float SH = (F * T + 1.0f - F) * SC;

    float dL = L1 - sampleLab[0];
    float dC = C1 - C2;
    float dH2 = SquaredHueDifference(refLab, sampleLab, dL, dC);

    float lightness = (dL / l) / SL;
    float chroma = (dC / c) / SC;
    float lightnessTerm = lightness * lightness;
    float chromaTerm = chroma * chroma;
    float hueTerm = (dH2 / SH) / SH;
    return SquareRoot(lightnessTerm + chromaTerm + hueTerm);
}
