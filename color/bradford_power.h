// The power law of the non-linear Bradford adaptation's blue response, and the adaptation of
// whole groups of triples with it on processors that have wide vectors: one implementation per
// instruction set, all giving the bits of the one-triple-at-a-time loop, chosen once from what
// the processor supports.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace vantrel::detail {

// The blue response after the power law: the magnitude of `b` raised to `exponent` in double,
// times `factor`, narrowed to float; a negative response gets its sign back.
inline float BradfordBluePower(float b, double exponent, double factor) {
    const double blue = b >= 0.0f
                            ? std::pow(static_cast<double>(b), exponent) * factor
                            : -(std::pow(static_cast<double>(std::fabs(b)), exponent) * factor);
    return static_cast<float>(blue);
}

// What the adaptation of one array needs from its two whites.
struct BradfordFactors {
    float luminance;  // Yd / Ys
    float red;        // the factors of the red and green responses
    float green;
    double exponent;  // the power law of the blue response and its factor
    double blue;
};

enum class BradfordKernel { kGeneric, kAvx2, kAvx512 };

// Adapts the leading whole groups of triples of `colours` (three floats each, in place) with
// the current kernel and returns how many triples that was: none with the generic kernel, or
// when the exponent lies outside (0, 4] or the blue factor is not positive and finite. The
// caller adapts the rest one triple at a time.
std::uint32_t AdaptBradfordGroups(const BradfordFactors& factors, float* colours,
                                  std::uint32_t count);

// out[i] = BradfordBluePower(b[i], exponent, factor) for i < count, with the current kernel.
// Returns how many elements were computed with the general power function because the fast
// one could not be sure of the rounding (every element with the generic kernel).
std::size_t BradfordBluePowers(const float* b, float* out, std::size_t count, double exponent,
                               double factor);

// Whether this processor can run `kernel`, and which kernel the two functions above use: the
// widest supported one unless a test has chosen another with UseBradfordKernel.
bool BradfordKernelSupported(BradfordKernel kernel);
BradfordKernel CurrentBradfordKernel();
void UseBradfordKernel(BradfordKernel kernel);

}  // namespace vantrel::detail
