// What the vector kernels of the Bradford adaptations take and give, and the kernels of each
// wider instruction-set level (bradford_power_avx2.cpp, bradford_power_avx512.cpp, x86 only).
// Their sources include this header: it declares, and defines nothing inline.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::detail {

// What the non-linear adaptation of one array needs from its two whites.
struct BradfordFactors {
    float luminance;  // Yd / Ys
    float red;        // the factors of the red and green responses
    float green;
    double exponent;  // the power law of the blue response and its factor
    double blue;
};

// What the linear adaptation of one array needs: Yd / Ys and the factors of the responses.
struct LinearBradfordFactors {
    float luminance, red, green, blue;
};

// The power law of one array for the kernels: its exponent and factor, and the reference's
// results for the two zeros (the responses of every colour below the luminance floor).
struct BluePowerLaw {
    double exponent, factor;
    float ofZero, ofNegativeZero;
};

// BradfordBluePower, out of line: the kernels' reference where their own power is unsure.
float BradfordBluePowerOf(float b, double exponent, double factor);

// The kernels of one level, each over whole groups of `lanes` triples or responses.
struct BradfordKernels {
    std::size_t lanes;
    // Adapt the whole groups of `colours` in place; return how many triples that was.
    std::uint32_t (*adaptGroups)(const BradfordFactors& factors, const BluePowerLaw& law,
                                 float* colours, std::uint32_t count);
    std::uint32_t (*adaptLinearGroups)(const LinearBradfordFactors& factors, float* colours,
                                       std::uint32_t count);
    // out[i] for the whole groups of b; returns how many took the reference.
    std::size_t (*bluePowers)(const float* b, float* out, std::size_t count,
                              const BluePowerLaw& law);
};
extern const BradfordKernels kBradfordAvx2, kBradfordAvx512;

}  // namespace vantrel::detail
