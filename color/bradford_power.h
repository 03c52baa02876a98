// The power law of the non-linear Bradford adaptation's blue response, and the adaptation of
// whole groups of triples, linear or not, on processors that have wide vectors: one
// implementation per instruction-set level, all giving the bits of the one-triple-at-a-time
// loop, chosen from what the processor supports.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "bradford_power_levels.h"
#include "cpu/cpu_features.h"

namespace vantrel::detail {

// The blue response after the power law: the magnitude of `b` raised to `exponent` in double,
// times `factor`, narrowed to float; a negative response gets its sign back.
inline float BradfordBluePower(float b, double exponent, double factor) {
    const double blue = b >= 0.0f
                            ? std::pow(static_cast<double>(b), exponent) * factor
                            : -(std::pow(static_cast<double>(std::fabs(b)), exponent) * factor);
    return static_cast<float>(blue);
}

// Adapts the leading whole groups of triples of `colours` (three floats each, in place) with
// the current kernel and returns how many triples that was: none with the generic kernel, or
// when the exponent lies outside (0, 4] or the blue factor is not positive and finite. The
// caller adapts the rest one triple at a time.
std::uint32_t AdaptBradfordGroups(const BradfordFactors& factors, float* colours,
                                  std::uint32_t count);

// The same for the linear adaptation, whatever its factors.
std::uint32_t AdaptLinearBradfordGroups(const LinearBradfordFactors& factors, float* colours,
                                        std::uint32_t count);

// out[i] = BradfordBluePower(b[i], exponent, factor) for i < count, with the current kernel.
// Returns how many elements were computed with the general power function because the fast
// one could not be sure of the rounding (every element with the generic kernel).
std::size_t BradfordBluePowers(const float* b, float* out, std::size_t count, double exponent,
                               double factor);

// The level the functions above use: the widest the processor supports unless a test has
// chosen another.
cpu::KernelLevel& BradfordKernelLevel();

}  // namespace vantrel::detail
