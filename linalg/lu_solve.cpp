// The general N-by-N solver: the matrix is copied into one-based working storage, factored by
// Crout's LU decomposition with implicit (scaled) partial pivoting, and solved by forward and
// back substitution. All arithmetic is single precision; only the two zero tests of the back
// substitution widen to double.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "lu.h"
#include "lu_factor.h"
#include "vantrel/linalg.h"

namespace vantrel::detail {

ScaleVectorAllocator gScaleVectorAllocator = std::malloc;

namespace {

// A float counts as zero in the substitution when its magnitude, widened, is below this.
constexpr double kZeroTolerance = 1e-9;

// Rows of the forward substitution whose sums are formed side by side.
constexpr int kGroup = 8;

bool IsZero(float value) {
    return std::fabs(static_cast<double>(value)) < kZeroTolerance;
}

}  // namespace

short LUDecompose(float* const* a, int n, int* pivot, float& parity) {
    float* scale = static_cast<float*>(gScaleVectorAllocator(sizeof(float) * (n + 1)));
    if (!scale) return VANTREL_ERR_NO_MEMORY;
    parity = 1.0f;

    // Implicit scaling: each row is weighed by the reciprocal of its largest magnitude.
    if (!ScaleRows(a, n, scale)) {
        std::free(scale);
        return VANTREL_ERR_SINGULAR;
    }
    FactorScaled(a, n, pivot, parity, scale);
    std::free(scale);
    return VANTREL_SUCCESS;
}

void LUBackSubstitute(float* const* a, int n, const int* pivot, OneBased<float> b, int& kind) {
    kind = VANTREL_SOLUTION_UNIQUE;

    // Forward substitution, undoing the row exchanges on the way. Leading zeros of the
    // right-hand side contribute nothing, so the sums start at the first non-zero element.
    int first = 0;
    int i = 1;
    for (; i <= n && first == 0; ++i) {
        int p = pivot[i];
        float sum = b[p];
        b[p] = b[i];
        if (sum != 0.0f) first = i;
        b[i] = sum;
    }
    // From there on, rows go in groups whose sums run side by side over the solved elements
    // before the group, each sum still taking its terms one at a time in increasing j. The
    // exchanges of a group can all come first: none of them reads or writes an element that
    // an earlier row of the group has yet to store.
    for (; i + kGroup - 1 <= n; i += kGroup) {
        float sum[kGroup];
        const float* row[kGroup];
        for (int r = 0; r < kGroup; ++r) {
            int p = pivot[i + r];
            sum[r] = b[p];
            b[p] = b[i + r];
            row[r] = a[i + r];
        }
        for (int j = first; j < i; ++j) {
            const float solved = b[j];
            for (int r = 0; r < kGroup; ++r) sum[r] -= row[r][j] * solved;
        }
        for (int r = 0; r < kGroup; ++r) {
            for (int j = i; j < i + r; ++j) sum[r] -= row[r][j] * b[j];
            b[i + r] = sum[r];
        }
    }
    for (; i <= n; ++i) {
        int p = pivot[i];
        float sum = b[p];
        b[p] = b[i];
        for (int j = first; j < i; ++j) sum -= a[i][j] * b[j];
        b[i] = sum;
    }

    // Back substitution, stopping at the lowest diagonal element that counts as zero.
    for (int i = n; i >= 1; --i) {
        float sum = b[i];
        for (int j = i + 1; j <= n; ++j) sum -= a[i][j] * b[j];
        if (IsZero(a[i][i])) {
            kind = IsZero(sum) ? VANTREL_SOLUTION_MANY : VANTREL_SOLUTION_NONE;
            return;
        }
        b[i] = sum / a[i][i];
    }
}

}  // namespace vantrel::detail

short LinSolve(float** A, float const* b, int n, float* x, int& kind) {
    using namespace vantrel::detail;
    if (n < 0 || n > VANTREL_LINSOLVE_MAX_ORDER) return VANTREL_ERR_NO_MEMORY;

    std::unique_ptr<float[]> matrix;
    std::unique_ptr<int[]> pivot;
    std::unique_ptr<float*[]> rows;
    try {
        matrix.reset(new float[n * n + 1]);
        pivot.reset(new int[n + 1]);
        rows.reset(new float*[n + 1]);
    } catch (const std::bad_alloc&) {
        return VANTREL_ERR_NO_MEMORY;
    }

    // Row i of A (from 0) starts at element 1 + i*n, so that rows[i][j] (from 1) is
    // A[i - 1][j - 1].
    for (int i = 0; i < n; ++i) std::memcpy(matrix.get() + 1 + i * n, A[i], sizeof(float) * n);
    if (n > 0) std::memcpy(x, b, sizeof(float) * n);
    rows[0] = nullptr;
    for (int i = 1; i <= n; ++i) rows[i] = matrix.get() + (i - 1) * n;

    float parity;
    short result = LUDecompose(rows.get(), n, pivot.get(), parity);
    if (result >= 0) LUBackSubstitute(rows.get(), n, pivot.get(), OneBased<float>(x), kind);
    return result;
}
