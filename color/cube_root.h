// The L*a*b* cube root: t raised to 0.333333 in double on the widened float, narrowed to
// float, exactly as float(std::pow(double(t), 0.333333)) gives it, but several times faster.
//
// For a positive finite float t = m * 2^e (m in [1, 2)):
//     t^p = c^p * (1 + r)^p * 2^(e/3) * 2^(-e * delta),  p = 0.333333 = 1/3 - delta,
// with c the centre of m's 1/256-wide interval (c^p from a table made with std::pow),
// r = (m - c) / c below 2^-9 (a short series), 2^(e/3) split into a power of two and 1, the
// cube root of 2 or of 4, and 2^(-e * delta) within 4e-5 of 1 (a short series). In double,
// this lands within a few units of the last place of the exact power, and so does std::pow;
// both then narrow to the same float unless the value lies within a few units of a point
// halfway between two floats. There (for about one input in four million) the general power
// function is called after all, so the result is always the float that std::pow gives.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace vantrel::detail {

constexpr double kCubeRootExponent = 0.333333;  // not one third: results depend on it

struct CubeRootTable {
    double power[256];    // c^p for c = 1 + (j + 0.5) / 256
    double inverse[256];  // 1 / c
};

inline const CubeRootTable& CubeRootTableOnce() {
    static const CubeRootTable kTable = [] {
        CubeRootTable t{};
        for (int j = 0; j < 256; ++j) {
            const double c = 1.0 + (j + 0.5) / 256.0;
            t.power[j] = std::pow(c, kCubeRootExponent);
            t.inverse[j] = 1.0 / c;
        }
        return t;
    }();
    return kTable;
}

inline float GeneralCubeRoot(float t) {
    return static_cast<float>(std::pow(static_cast<double>(t), kCubeRootExponent));
}

// float(std::pow(double(t), 0.333333)) for t > 0 (zero, negative and NaN inputs are never
// passed: the callers take the linear segment for them).
inline float CubeRoot(float t) {
    std::uint32_t bits;
    std::memcpy(&bits, &t, sizeof bits);
    const int biased = static_cast<int>(bits >> 23);
    if (biased == 0 || biased >= 255) return GeneralCubeRoot(t);  // subnormal, infinite

    // (1 + r)^p for the mantissa, r = (m - c) / c with |r| < 2^-9; the binomial series to r^5
    // leaves less than 2^-58.
    constexpr double p = kCubeRootExponent;
    constexpr double a1 = p;
    constexpr double a2 = a1 * (p - 1) / 2;
    constexpr double a3 = a2 * (p - 2) / 3;
    constexpr double a4 = a3 * (p - 3) / 4;
    constexpr double a5 = a4 * (p - 4) / 5;
    const CubeRootTable& table = CubeRootTableOnce();
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    const int j = static_cast<int>(fraction >> 15);
    const double m = 1.0 + fraction * 0x1p-23;
    const double r = (m - (1.0 + (j + 0.5) / 256.0)) * table.inverse[j];
    const double mantissa =
        table.power[j] * (1.0 + r * (a1 + r * (a2 + r * (a3 + r * (a4 + r * a5)))));

    // 2^(e p) = 2^q * 2^(rest / 3) * 2^(-e delta) with e = 3 q + rest.
    constexpr double kCubeRoots[3] = {1.0, 1.2599210498948732, 1.5874010519681996};
    constexpr double kDeltaLn2 = 2.3104906019329241e-07;  // (1/3 - p) * ln 2
    const int e = biased - 127;
    const int q = (e + 300) / 3 - 100;  // floor(e / 3)
    const int rest = e - 3 * q;
    const double x = -e * kDeltaLn2;
    const double correction = 1.0 + x * (1.0 + x * (0.5 + x * (1.0 / 6.0)));
    std::uint64_t scaleBits = static_cast<std::uint64_t>(q + 1023) << 52;
    double scale;
    std::memcpy(&scale, &scaleBits, sizeof scale);
    const double power = mantissa * kCubeRoots[rest] * correction * scale;

    // The 29 bits that narrowing drops: too near half of a float step to be sure of the
    // rounding, ask the general power function.
    std::uint64_t powerBits;
    std::memcpy(&powerBits, &power, sizeof powerBits);
    constexpr std::uint32_t kHalf = 1u << 28, kMargin = 64;
    const std::uint32_t dropped = static_cast<std::uint32_t>(powerBits & 0x1FFFFFFFu);
    if (dropped - (kHalf - kMargin) <= 2 * kMargin) return GeneralCubeRoot(t);
    return static_cast<float>(power);
}

}  // namespace vantrel::detail
