// The blocked elimination for 256-bit vectors, compiled for AVX2.
#include "lu_factor.h"

namespace vantrel::detail {
namespace {
#define VANTREL_LU_KERNEL_NAMESPACE avx2
#define VANTREL_LU_VECTOR_BYTES 32
#define VANTREL_LU_TILE_ROWS 6
#define VANTREL_LU_TILE_VECTORS 2
#include "lu_factor_kernels.h"
}  // namespace

const LuKernels kLuAvx2 = {avx2::ScaleRows, avx2::Factor};

}  // namespace vantrel::detail
