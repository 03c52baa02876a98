// Crout's LU decomposition with scaled partial pivoting and the substitutions, written
// zero-based and kept free of the library's code, in exactly the library's order of
// operations. Do not optimise this file: it defines the expected bits.
#include "reference_lu.h"

#include <cmath>
#include <utility>
#include <vector>

#include "vantrel/linalg.h"

namespace reference {

namespace {

bool IsZero(float value) {
    return std::fabs(static_cast<double>(value)) < 1e-9;
}

// a is n*n row-major. Returns VANTREL_SUCCESS, or VANTREL_ERR_SINGULAR when a row is entirely
// zero.
short Decompose(std::vector<float>& a, int n, std::vector<int>& pivot) {
    auto at = [&](int i, int j) -> float& { return a[static_cast<size_t>(i) * n + j]; };
    std::vector<float> scale(n);
    for (int i = 0; i < n; ++i) {
        float big = 0.0f;
        for (int j = 0; j < n; ++j)
            if (std::fabs(at(i, j)) > big) big = std::fabs(at(i, j));
        if (big == 0.0f) return VANTREL_ERR_SINGULAR;
        scale[i] = 1.0f / big;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            float sum = at(i, j);
            for (int k = 0; k < i; ++k) sum = sum - at(i, k) * at(k, j);
            at(i, j) = sum;
        }
        float big = 0.0f;
        int imax = j;
        for (int i = j; i < n; ++i) {
            float sum = at(i, j);
            for (int k = 0; k < j; ++k) sum = sum - at(i, k) * at(k, j);
            at(i, j) = sum;
            float merit = std::fabs(sum) * scale[i];
            if (merit >= big) {
                big = merit;
                imax = i;
            }
        }
        if (imax != j) {
            for (int k = 0; k < n; ++k) std::swap(at(imax, k), at(j, k));
            scale[imax] = scale[j];
        }
        pivot[j] = imax;
        if (at(j, j) == 0.0f) at(j, j) = 1.0e-20f;
        if (j < n - 1) {
            float f = 1.0f / at(j, j);
            for (int i = j + 1; i < n; ++i) at(i, j) = at(i, j) * f;
        }
    }
    return VANTREL_SUCCESS;
}

void Substitute(const std::vector<float>& a, int n, const std::vector<int>& pivot, float* b,
                int& kind) {
    auto at = [&](int i, int j) { return a[static_cast<size_t>(i) * n + j]; };
    kind = VANTREL_SOLUTION_UNIQUE;
    int first = -1;  // index of the first non-zero element met, -1 while none
    for (int i = 0; i < n; ++i) {
        float sum = b[pivot[i]];
        b[pivot[i]] = b[i];
        if (first >= 0)
            for (int j = first; j < i; ++j) sum = sum - at(i, j) * b[j];
        else if (sum != 0.0f)
            first = i;
        b[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        float sum = b[i];
        for (int j = i + 1; j < n; ++j) sum = sum - at(i, j) * b[j];
        if (IsZero(at(i, i))) {
            kind = IsZero(sum) ? VANTREL_SOLUTION_MANY : VANTREL_SOLUTION_NONE;
            return;
        }
        b[i] = sum / at(i, i);
    }
}

}  // namespace

short LinSolve(float* const* A, const float* b, int n, float* x, int& kind) {
    if (n < 0 || n > VANTREL_LINSOLVE_MAX_ORDER) return VANTREL_ERR_NO_MEMORY;
    std::vector<float> a(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[static_cast<size_t>(i) * n + j] = A[i][j];
    for (int i = 0; i < n; ++i) x[i] = b[i];
    std::vector<int> pivot(n);
    short result = Decompose(a, n, pivot);
    if (result >= 0) Substitute(a, n, pivot, x, kind);
    return result;
}

}  // namespace reference
