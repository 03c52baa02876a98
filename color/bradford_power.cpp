// The non-linear Bradford adaptation compiled for 256-bit vectors with fused multiply-add and
// for 512-bit vectors, and the choice among them at run time. Other processors, and arrays
// whose factors lie outside the range the vector kernels are exact for, take the
// one-triple-at-a-time loop of the caller, which is also the reference for the bits.
#include "bradford_power.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VANTREL_BRADFORD_VECTORS 1
#endif

namespace vantrel::detail {
namespace {

#ifdef VANTREL_BRADFORD_VECTORS

// The power law of one array for the kernels: its exponent and factor, and the reference's
// results for the two zeros (the responses of every colour below the luminance floor).
struct BluePowerLaw {
    double exponent, factor;
    float ofZero, ofNegativeZero;
};

BluePowerLaw LawOf(double exponent, double factor) {
    return {exponent, factor, BradfordBluePower(0.0f, exponent, factor),
            BradfordBluePower(-0.0f, exponent, factor)};
}

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
#define BP_KERNEL_NAMESPACE avx2
#define BP_LANES 8
#include "bradford_power_kernels.h"
#undef BP_KERNEL_NAMESPACE
#undef BP_LANES
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,fma")
#endif
#define BP_KERNEL_NAMESPACE avx512
#define BP_LANES 16
#include "bradford_power_kernels.h"
#undef BP_KERNEL_NAMESPACE
#undef BP_LANES
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// Triples per group of a kernel (the generic one has none: no count reaches it).
std::size_t LanesOf(BradfordKernel kernel) {
    switch (kernel) {
        case BradfordKernel::kAvx512:
            return 16;
        case BradfordKernel::kAvx2:
            return 8;
        case BradfordKernel::kGeneric:
            break;
    }
    return SIZE_MAX;
}

// The range the error bound of the vector kernels covers.
bool WithinVectorRange(double exponent, double factor) {
    return exponent > 0.0 && exponent <= 4.0 && factor > 0.0 && factor < HUGE_VAL;
}

#endif  // VANTREL_BRADFORD_VECTORS

BradfordKernel Widest() {
#ifdef VANTREL_BRADFORD_VECTORS
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("fma"))
        return BradfordKernel::kAvx512;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return BradfordKernel::kAvx2;
#endif
    return BradfordKernel::kGeneric;
}

std::atomic<BradfordKernel>& Chosen() {
    static std::atomic<BradfordKernel> chosen{Widest()};
    return chosen;
}

}  // namespace

bool BradfordKernelSupported(BradfordKernel kernel) {
    return static_cast<int>(kernel) <= static_cast<int>(Widest());
}

BradfordKernel CurrentBradfordKernel() {
    return Chosen().load(std::memory_order_relaxed);
}

void UseBradfordKernel(BradfordKernel kernel) {
    Chosen().store(kernel, std::memory_order_relaxed);
}

std::uint32_t AdaptBradfordGroups(const BradfordFactors& factors, float* colours,
                                  std::uint32_t count) {
#ifdef VANTREL_BRADFORD_VECTORS
    const BradfordKernel kernel = CurrentBradfordKernel();
    if (count < LanesOf(kernel) || !WithinVectorRange(factors.exponent, factors.blue)) return 0;
    const BluePowerLaw law = LawOf(factors.exponent, factors.blue);
    switch (kernel) {
        case BradfordKernel::kAvx512:
            return avx512::AdaptGroups(factors, law, colours, count);
        case BradfordKernel::kAvx2:
            return avx2::AdaptGroups(factors, law, colours, count);
        case BradfordKernel::kGeneric:
            break;
    }
#else
    (void)factors, (void)colours, (void)count;
#endif
    return 0;
}

std::size_t BradfordBluePowers(const float* b, float* out, std::size_t count, double exponent,
                               double factor) {
    std::size_t done = 0, settled = 0;
#ifdef VANTREL_BRADFORD_VECTORS
    const BradfordKernel kernel = CurrentBradfordKernel();
    if (WithinVectorRange(exponent, factor)) {
        const BluePowerLaw law = LawOf(exponent, factor);
        switch (kernel) {
            case BradfordKernel::kAvx512:
                settled = avx512::BluePowersOfArray(b, out, count, law);
                break;
            case BradfordKernel::kAvx2:
                settled = avx2::BluePowersOfArray(b, out, count, law);
                break;
            case BradfordKernel::kGeneric:
                break;
        }
        done = count / LanesOf(kernel) * LanesOf(kernel);
    }
#endif
    for (std::size_t i = done; i < count; ++i) out[i] = BradfordBluePower(b[i], exponent, factor);
    return settled + (count - done);
}

}  // namespace vantrel::detail
