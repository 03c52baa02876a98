// The blocked elimination compiled for 128-bit vectors, which every x86-64 and 64-bit ARM
// processor has, and on x86 also for 256-bit and 512-bit vectors, with the choice among them
// made at run time: the library runs on any processor of either family and uses the widest
// vectors it has. Every kernel gives the same bits.
#include "lu_factor.h"

#include <atomic>

namespace vantrel::detail {
namespace {

// The baseline: 128-bit vectors (SSE2 on x86-64, NEON on 64-bit ARM).
#define VANTREL_LU_KERNEL_NAMESPACE generic
#define VANTREL_LU_VECTOR_BYTES 16
#define VANTREL_LU_TILE_ROWS 6
#define VANTREL_LU_TILE_VECTORS 2
#include "lu_factor_kernels.h"
#undef VANTREL_LU_KERNEL_NAMESPACE
#undef VANTREL_LU_VECTOR_BYTES
#undef VANTREL_LU_TILE_ROWS
#undef VANTREL_LU_TILE_VECTORS

#if defined(__x86_64__) || defined(__i386__)
#define VANTREL_LU_X86_KERNELS 1

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#define VANTREL_LU_KERNEL_NAMESPACE avx2
#define VANTREL_LU_VECTOR_BYTES 32
#define VANTREL_LU_TILE_ROWS 6
#define VANTREL_LU_TILE_VECTORS 2
#include "lu_factor_kernels.h"
#undef VANTREL_LU_KERNEL_NAMESPACE
#undef VANTREL_LU_VECTOR_BYTES
#undef VANTREL_LU_TILE_ROWS
#undef VANTREL_LU_TILE_VECTORS
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#define VANTREL_LU_KERNEL_NAMESPACE avx512
#define VANTREL_LU_VECTOR_BYTES 64
#define VANTREL_LU_TILE_ROWS 8
#define VANTREL_LU_TILE_VECTORS 3
#include "lu_factor_kernels.h"
#undef VANTREL_LU_KERNEL_NAMESPACE
#undef VANTREL_LU_VECTOR_BYTES
#undef VANTREL_LU_TILE_ROWS
#undef VANTREL_LU_TILE_VECTORS
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

LuKernel Widest() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return LuKernel::kAvx512;
    if (__builtin_cpu_supports("avx2")) return LuKernel::kAvx2;
    return LuKernel::kGeneric;
}

#else

LuKernel Widest() {
    return LuKernel::kGeneric;
}

#endif

std::atomic<LuKernel>& Chosen() {
    static std::atomic<LuKernel> chosen{Widest()};
    return chosen;
}

}  // namespace

bool LuKernelSupported(LuKernel kernel) {
    return static_cast<int>(kernel) <= static_cast<int>(Widest());
}

LuKernel CurrentLuKernel() {
    return Chosen().load(std::memory_order_relaxed);
}

void UseLuKernel(LuKernel kernel) {
    Chosen().store(kernel, std::memory_order_relaxed);
}

bool ScaleRows(float* const* a, int n, float* scale) {
#if defined(VANTREL_LU_X86_KERNELS)
    switch (CurrentLuKernel()) {
        case LuKernel::kAvx512:
            return avx512::ScaleRows(a, n, scale);
        case LuKernel::kAvx2:
            return avx2::ScaleRows(a, n, scale);
        case LuKernel::kGeneric:
            break;
    }
#endif
    return generic::ScaleRows(a, n, scale);
}

void FactorScaled(float* const* a, int n, int* pivot, float& parity, float* scale) {
#if defined(VANTREL_LU_X86_KERNELS)
    switch (CurrentLuKernel()) {
        case LuKernel::kAvx512:
            return avx512::Factor(a, n, pivot, parity, scale);
        case LuKernel::kAvx2:
            return avx2::Factor(a, n, pivot, parity, scale);
        case LuKernel::kGeneric:
            break;
    }
#endif
    generic::Factor(a, n, pivot, parity, scale);
}

}  // namespace vantrel::detail
