// The blocked elimination for 128-bit vectors, which every x86-64 and 64-bit ARM processor
// has (SSE2, NEON), and the choice among it and the wider kernels of x86 (lu_factor_avx2.cpp,
// lu_factor_avx512.cpp): the widest the processor runs. Every kernel gives the same bits.
#include "lu_factor.h"

#include "cpu/cpu_features.h"

namespace vantrel::detail {
namespace {

#define VANTREL_LU_KERNEL_NAMESPACE generic
#define VANTREL_LU_VECTOR_BYTES 16
#define VANTREL_LU_TILE_ROWS 6
#define VANTREL_LU_TILE_VECTORS 2
#include "lu_factor_kernels.h"

const LuKernels& Chosen() {
#if defined(__x86_64__) || defined(__i386__)
    switch (LuKernelLevel().Get()) {
        case cpu::Level::kAvx512:
            return kLuAvx512;
        case cpu::Level::kAvx2:
            return kLuAvx2;
        case cpu::Level::kGeneric:
            break;
    }
#endif
    return kLuGeneric;
}

}  // namespace

const LuKernels kLuGeneric = {generic::ScaleRows, generic::Factor};

cpu::KernelLevel& LuKernelLevel() {
    static cpu::KernelLevel level;
    return level;
}

bool ScaleRows(float* const* a, int n, float* scale) {
    return Chosen().scaleRows(a, n, scale);
}

void FactorScaled(float* const* a, int n, int* pivot, float& parity, float* scale) {
    Chosen().factor(a, n, pivot, parity, scale);
}

}  // namespace vantrel::detail
