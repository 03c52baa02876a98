// The Bradford adaptations for 512-bit vectors, compiled for AVX-512F and FMA.
#include <immintrin.h>

#include <cstdint>
#include <utility>

#include "bradford_power_levels.h"

namespace vantrel::detail {
namespace {
#define BP_KERNEL_NAMESPACE avx512
#define BP_LANES 16
#include "bradford_power_kernels.h"
}  // namespace

const BradfordKernels kBradfordAvx512 = {16, avx512::AdaptGroups, avx512::AdaptLinearGroups,
                                         avx512::BluePowersOfArray};

}  // namespace vantrel::detail
