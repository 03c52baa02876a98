// The choice among the vector kernels of the Bradford adaptations (bradford_power_avx2.cpp,
// bradford_power_avx512.cpp on x86). Other processors, and arrays whose factors lie outside
// the range the non-linear kernels are exact for, take the one-triple-at-a-time loop of the
// caller, which is also the reference for the bits.
#include "bradford_power.h"

namespace vantrel::detail {
namespace {

// The kernels of the current level; none for the generic level.
const BradfordKernels* Chosen() {
#if defined(__x86_64__) || defined(__i386__)
    switch (BradfordKernelLevel().Get()) {
        case cpu::Level::kAvx512:
            return &kBradfordAvx512;
        case cpu::Level::kAvx2:
            return &kBradfordAvx2;
        case cpu::Level::kGeneric:
            break;
    }
#endif
    return nullptr;
}

// The range the error bound of the non-linear kernels covers.
bool WithinVectorRange(double exponent, double factor) {
    return exponent > 0.0 && exponent <= 4.0 && factor > 0.0 && factor < HUGE_VAL;
}

BluePowerLaw LawOf(double exponent, double factor) {
    return {exponent, factor, BradfordBluePower(0.0f, exponent, factor),
            BradfordBluePower(-0.0f, exponent, factor)};
}

}  // namespace

float BradfordBluePowerOf(float b, double exponent, double factor) {
    return BradfordBluePower(b, exponent, factor);
}

cpu::KernelLevel& BradfordKernelLevel() {
    static cpu::KernelLevel level;
    return level;
}

std::uint32_t AdaptBradfordGroups(const BradfordFactors& factors, float* colours,
                                  std::uint32_t count) {
    const BradfordKernels* kernels = Chosen();
    if (kernels == nullptr || count < kernels->lanes ||
        !WithinVectorRange(factors.exponent, factors.blue))
        return 0;
    return kernels->adaptGroups(factors, LawOf(factors.exponent, factors.blue), colours, count);
}

std::uint32_t AdaptLinearBradfordGroups(const LinearBradfordFactors& factors, float* colours,
                                        std::uint32_t count) {
    const BradfordKernels* kernels = Chosen();
    return kernels == nullptr ? 0 : kernels->adaptLinearGroups(factors, colours, count);
}

std::size_t BradfordBluePowers(const float* b, float* out, std::size_t count, double exponent,
                               double factor) {
    std::size_t done = 0, settled = 0;
    const BradfordKernels* kernels = Chosen();
    if (kernels != nullptr && WithinVectorRange(exponent, factor)) {
        settled = kernels->bluePowers(b, out, count, LawOf(exponent, factor));
        done = count / kernels->lanes * kernels->lanes;
    }
    for (std::size_t i = done; i < count; ++i) out[i] = BradfordBluePower(b[i], exponent, factor);
    return settled + (count - done);
}

}  // namespace vantrel::detail
