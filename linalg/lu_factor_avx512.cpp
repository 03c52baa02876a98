// The blocked elimination for 512-bit vectors, compiled for AVX-512F.
#include "lu_factor.h"

namespace vantrel::detail {
namespace {
#define VANTREL_LU_KERNEL_NAMESPACE avx512
#define VANTREL_LU_VECTOR_BYTES 64
#define VANTREL_LU_TILE_ROWS 8
#define VANTREL_LU_TILE_VECTORS 3
#include "lu_factor_kernels.h"
}  // namespace

const LuKernels kLuAvx512 = {avx512::ScaleRows, avx512::Factor};

}  // namespace vantrel::detail
