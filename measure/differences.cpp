// Colour differences: CIEDE2000 in double precision, the library's single-precision CIE 1994,
// CMC and CIE 1976 differences, and the signed lightness, chroma and hue differences.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwentyFiveToTheSeventh = 6103515625.0;  // 25^7

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

double Chroma(double a, double b) {
    return std::sqrt(a * a + b * b);
}

// Hue angle in degrees, 0 to 360; 0 for a neutral colour.
double Hue(double a, double b) {
    if (a == 0 && b == 0) return 0;
    const double h = Degrees(std::atan2(b, a));
    return h < 0 ? h + 360.0 : h;
}

double SeventhPowerRatio(double chroma) {
    const double c2 = chroma * chroma;
    const double c7 = c2 * c2 * c2 * chroma;
    return c7 / (c7 + kTwentyFiveToTheSeventh);
}

std::array<float, 3> Narrow(const std::array<double, 3>& lab) {
    return {static_cast<float>(lab[0]), static_cast<float>(lab[1]), static_cast<float>(lab[2])};
}

std::string Shortest(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

}  // namespace

// The steps and names follow the formula as published (CIE 142-2001), with the means and
// differences of hue taken as Sharma, Wu and Dalal (2005) set out. Every step is symmetric in
// the two colours, so swapping them gives the same bits.
double Ciede2000(const std::array<double, 3>& reference, const std::array<double, 3>& sample,
                 double kL, double kC, double kH) {
    const double l1 = reference[0], a1 = reference[1], b1 = reference[2];
    const double l2 = sample[0], a2 = sample[1], b2 = sample[2];

    const double meanC = (Chroma(a1, b1) + Chroma(a2, b2)) / 2.0;
    const double g = 0.5 * (1.0 - std::sqrt(SeventhPowerRatio(meanC)));
    const double a1p = (1.0 + g) * a1, a2p = (1.0 + g) * a2;
    const double c1p = Chroma(a1p, b1), c2p = Chroma(a2p, b2);
    const double h1p = Hue(a1p, b1), h2p = Hue(a2p, b2);

    const double dLp = l2 - l1;
    const double dCp = c2p - c1p;
    double dhp = 0;
    if (c1p * c2p != 0) {
        dhp = h2p - h1p;
        if (dhp > 180.0) dhp -= 360.0;
        if (dhp < -180.0) dhp += 360.0;
    }
    const double dHp = 2.0 * std::sqrt(c1p * c2p) * std::sin(Radians(dhp / 2.0));

    const double meanL = (l1 + l2) / 2.0;
    const double meanCp = (c1p + c2p) / 2.0;
    double meanHp = h1p + h2p;
    if (c1p * c2p != 0) {
        if (std::fabs(h1p - h2p) <= 180.0)
            meanHp /= 2.0;
        else
            meanHp = meanHp < 360.0 ? (meanHp + 360.0) / 2.0 : (meanHp - 360.0) / 2.0;
    }

    const double t = 1.0 - 0.17 * std::cos(Radians(meanHp - 30.0)) +
                     0.24 * std::cos(Radians(2.0 * meanHp)) +
                     0.32 * std::cos(Radians(3.0 * meanHp + 6.0)) -
                     0.20 * std::cos(Radians(4.0 * meanHp - 63.0));
    const double fromBlue = (meanHp - 275.0) / 25.0;
    const double dTheta = 30.0 * std::exp(-fromBlue * fromBlue);
    const double rC = 2.0 * std::sqrt(SeventhPowerRatio(meanCp));
    const double lFromMid = (meanL - 50.0) * (meanL - 50.0);
    const double sL = 1.0 + 0.015 * lFromMid / std::sqrt(20.0 + lFromMid);
    const double sC = 1.0 + 0.045 * meanCp;
    const double sH = 1.0 + 0.015 * meanCp * t;
    const double rT = -std::sin(Radians(2.0 * dTheta)) * rC;

    const double lightness = dLp / (kL * sL);
    const double chroma = dCp / (kC * sC);
    const double hue = dHp / (kH * sH);
    return std::sqrt(lightness * lightness + chroma * chroma + hue * hue + rT * chroma * hue);
}

double Difference(const MetricChoice& metric, const std::array<double, 3>& reference,
                  const std::array<double, 3>& sample) {
    if (metric.metric == Metric::Ciede2000)
        return Ciede2000(reference, sample, metric.kL, metric.kC, metric.kH);
    const auto ref = Narrow(reference), smp = Narrow(sample);
    switch (metric.metric) {
        case Metric::Cie94:
            return DeltaE94(ref.data(), smp.data(), static_cast<float>(metric.kL),
                            static_cast<float>(metric.kC), static_cast<float>(metric.kH));
        case Metric::Cmc:
            return DeltaECMC(ref.data(), smp.data(), static_cast<float>(metric.l),
                             static_cast<float>(metric.c));
        default:
            return DeltaE(ref.data(), smp.data());
    }
}

// dH*ab without angles: 2 C1 C2 (1 - cos dh) = 2 (C1 C2 - a1 a2 - b1 b2), the sign that of
// sin dh, that is of a1 b2 - a2 b1.
Components SignedDifferences(const std::array<double, 3>& reference,
                             const std::array<double, 3>& sample) {
    const double a1 = reference[1], b1 = reference[2], a2 = sample[1], b2 = sample[2];
    const double c1 = Chroma(a1, b1), c2 = Chroma(a2, b2);
    const double magnitude = std::sqrt(std::max(0.0, 2.0 * (c1 * c2 - a1 * a2 - b1 * b2)));
    return {sample[0] - reference[0], c2 - c1, a1 * b2 - a2 * b1 < 0 ? -magnitude : magnitude};
}

std::string MetricLabel(const MetricChoice& metric) {
    switch (metric.metric) {
        case Metric::Ciede2000:
            return "dE00";
        case Metric::Cie94:
            return "dE94";
        case Metric::Cmc:
            return "dECMC";
        case Metric::Cie76:
            break;
    }
    return "dE*ab";
}

std::string MetricParameters(const MetricChoice& metric) {
    switch (metric.metric) {
        case Metric::Ciede2000:
        case Metric::Cie94:
            return "kL " + Shortest(metric.kL) + ", kC " + Shortest(metric.kC) + ", kH " +
                   Shortest(metric.kH);
        case Metric::Cmc:
            return "l:c " + Shortest(metric.l) + ":" + Shortest(metric.c);
        case Metric::Cie76:
            break;
    }
    return "";
}

}  // namespace vantrel::measure
