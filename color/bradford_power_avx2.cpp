// The Bradford adaptations for 256-bit vectors, compiled for AVX2 and FMA.
#include <immintrin.h>

#include <cstdint>
#include <utility>

#include "bradford_power_levels.h"

namespace vantrel::detail {
namespace {
#define BP_KERNEL_NAMESPACE avx2
#define BP_LANES 8
#include "bradford_power_kernels.h"
}  // namespace

const BradfordKernels kBradfordAvx2 = {8, avx2::AdaptGroups, avx2::AdaptLinearGroups,
                                       avx2::BluePowersOfArray};

}  // namespace vantrel::detail
