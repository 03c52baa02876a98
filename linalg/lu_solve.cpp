// The general N-by-N solver: the matrix is copied into one-based working storage, factored by
// Crout's LU decomposition with implicit (scaled) partial pivoting, and solved by forward and
// back substitution. All arithmetic is single precision; only the two zero tests of the back
// substitution widen to double.
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>

#include "linalg/lu.h"
#include "vantrel/linalg.h"

namespace vantrel::detail {

ScaleVectorAllocator scaleVectorAllocator = std::malloc;

namespace {

// Replaces a diagonal element that is exactly zero so that the elimination can go on; the
// back substitution then always finds it below the zero tolerance.
constexpr float kTinyPivot = 1.0e-20f;
// A float counts as zero in the substitution when its magnitude, widened, is below this.
constexpr double kZeroTolerance = 1e-9;

constexpr int kUnique = 1;
constexpr int kConsistent = 2;
constexpr int kInconsistent = 0;

bool IsZero(float value) {
    return std::fabs(static_cast<double>(value)) < kZeroTolerance;
}

}  // namespace

short LUDecompose(float* const* a, int n, int* pivot, float& parity) {
    float* scale = static_cast<float*>(scaleVectorAllocator(sizeof(float) * (n + 1)));
    if (!scale) return kLuOutOfMemory;
    parity = 1.0f;

    // Implicit scaling: each row is weighed by the reciprocal of its largest magnitude.
    for (int i = 1; i <= n; ++i) {
        float big = 0.0f;
        for (int j = 1; j <= n; ++j) {
            float magnitude = std::fabs(a[i][j]);
            if (magnitude > big) big = magnitude;
        }
        if (big == 0.0f) {
            std::free(scale);
            return kLuSingular;
        }
        scale[i] = 1.0f / big;
    }

    for (int j = 1; j <= n; ++j) {
        // U above the diagonal.
        for (int i = 1; i < j; ++i) {
            float sum = a[i][j];
            for (int k = 1; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        // The diagonal and L below it, before the division by the pivot; the pivot row is the
        // last of those with the greatest scaled magnitude. A column of NaNs keeps row j.
        float big = 0.0f;
        int imax = j;
        for (int i = j; i <= n; ++i) {
            float sum = a[i][j];
            for (int k = 1; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            float merit = std::fabs(sum) * scale[i];
            if (merit >= big) {
                big = merit;
                imax = i;
            }
        }
        if (imax != j) {
            for (int k = 1; k <= n; ++k) std::swap(a[imax][k], a[j][k]);
            parity = -parity;
            scale[imax] = scale[j];
        }
        pivot[j] = imax;
        if (a[j][j] == 0.0f) a[j][j] = kTinyPivot;
        if (j < n) {
            float reciprocal = 1.0f / a[j][j];
            for (int i = j + 1; i <= n; ++i) a[i][j] *= reciprocal;
        }
    }
    std::free(scale);
    return kLuSuccess;
}

void LUBackSubstitute(float* const* a, int n, const int* pivot, OneBased<float> b, int& kind) {
    kind = kUnique;

    // Forward substitution, undoing the row exchanges on the way. Leading zeros of the
    // right-hand side contribute nothing, so the sums start at the first non-zero element.
    int first = 0;
    for (int i = 1; i <= n; ++i) {
        int p = pivot[i];
        float sum = b[p];
        b[p] = b[i];
        if (first != 0) {
            for (int j = first; j < i; ++j) sum -= a[i][j] * b[j];
        } else if (sum != 0.0f) {
            first = i;
        }
        b[i] = sum;
    }

    // Back substitution, stopping at the lowest diagonal element that counts as zero.
    for (int i = n; i >= 1; --i) {
        float sum = b[i];
        for (int j = i + 1; j <= n; ++j) sum -= a[i][j] * b[j];
        if (IsZero(a[i][i])) {
            kind = IsZero(sum) ? kConsistent : kInconsistent;
            return;
        }
        b[i] = sum / a[i][i];
    }
}

}  // namespace vantrel::detail

namespace {

// The largest order whose working-matrix count n*n + 1 fits a 32-bit signed integer.
constexpr int kMaxOrder = 46340;

}  // namespace

short LinSolve(float** A, float const* b, int n, float* x, int& kind) {
    using namespace vantrel::detail;
    if (n < 0 || n > kMaxOrder) return kLuOutOfMemory;

    std::unique_ptr<float[]> matrix;
    std::unique_ptr<int[]> pivot;
    std::unique_ptr<float*[]> rows;
    try {
        matrix.reset(new float[n * n + 1]);
        pivot.reset(new int[n + 1]);
        rows.reset(new float*[n + 1]);
    } catch (const std::bad_alloc&) {
        return kLuOutOfMemory;
    }

    // Row i of A (from 0) starts at element 1 + i*n, so that rows[i][j] (from 1) is
    // A[i - 1][j - 1].
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) matrix[1 + i * n + j] = A[i][j];
    for (int i = 0; i < n; ++i) x[i] = b[i];
    rows[0] = nullptr;
    for (int i = 1; i <= n; ++i) rows[i] = matrix.get() + (i - 1) * n;

    float parity;
    short result = LUDecompose(rows.get(), n, pivot.get(), parity);
    if (result >= 0) LUBackSubstitute(rows.get(), n, pivot.get(), OneBased<float>(x), kind);
    return result;
}
