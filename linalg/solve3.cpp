// 3x3 systems by Gaussian elimination with complete pivoting, and 3x3 inversion built on them.
//
// Everything works on copies in local storage: the caller's matrix and right-hand side are
// never written, and nothing is allocated. The float and double forms share one template, so
// they take the same steps in their own element type; only the zero tests widen to double.
#include <cmath>
#include <utility>

#include "vantrel/linalg.h"

namespace {

// A value counts as zero when its magnitude, widened to double, is below this.
constexpr double kZeroTolerance = 1e-9;

template <typename T>
bool IsZero(T value) {
    return std::fabs(static_cast<double>(value)) < kZeroTolerance;
}

// The kind of a singular system: consistent when every remaining right-hand side is zero.
int SingularKind(bool rightHandSideIsZero) {
    return rightHandSideIsZero ? VANTREL_SOLUTION_MANY : VANTREL_SOLUTION_NONE;
}

template <typename T>
void Solve3(T* const* A, const T* b, T* x, int& kind) {
    T M[3][3];
    T c[3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) M[i][j] = A[i][j];
        c[i] = b[i];
    }
    int R[3] = {0, 1, 2};  // row order
    int C[3] = {0, 1, 2};  // column order

    // First pivot: the largest magnitude of the whole matrix; a tie goes to the element met
    // first row by row.
    T best = -1;
    int pr = 0, pc = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(M[i][j]) > best) {
                best = std::fabs(M[i][j]);
                pr = i;
                pc = j;
            }
    if (IsZero(best)) {
        kind = SingularKind(IsZero(c[0]) && IsZero(c[1]) && IsZero(c[2]));
        return;
    }
    std::swap(R[0], R[pr]);
    std::swap(C[0], C[pc]);
    const int p = R[0], q = C[0];
    const T P = M[p][q];

    // Each product is formed before the division by the pivot; no multiplier is kept.
    for (int r : {R[1], R[2]}) {
        c[r] = c[r] - (M[r][q] * c[p]) / P;
        M[r][C[1]] = M[r][C[1]] - (M[r][q] * M[p][C[1]]) / P;
        M[r][C[2]] = M[r][C[2]] - (M[p][C[2]] * M[r][q]) / P;
    }

    // Second pivot: the largest magnitude of the remaining 2x2 block, in the current orders.
    best = -1;
    int k = 1, m = 1;
    for (int rk = 1; rk < 3; ++rk)
        for (int cm = 1; cm < 3; ++cm)
            if (std::fabs(M[R[rk]][C[cm]]) > best) {
                best = std::fabs(M[R[rk]][C[cm]]);
                k = rk;
                m = cm;
            }
    if (IsZero(best)) {
        kind = SingularKind(IsZero(c[R[1]]) && IsZero(c[R[2]]));
        return;
    }
    std::swap(R[1], R[k]);
    std::swap(C[1], C[m]);
    const int p2 = R[1], q2 = C[1], s = R[2], q3 = C[2];
    const T P2 = M[p2][q2];

    M[s][q3] = M[s][q3] - (M[s][q2] * M[p2][q3]) / P2;
    c[s] = c[s] - (M[s][q2] * c[p2]) / P2;
    if (IsZero(M[s][q3])) {
        kind = SingularKind(IsZero(c[s]));
        return;
    }

    const T x3 = c[s] / M[s][q3];
    const T x2 = (c[p2] - x3 * M[p2][q3]) / P2;
    const T x1 = (c[p] - x2 * M[p][q2] - M[p][q3] * x3) / P;
    x[q3] = x3;
    x[q2] = x2;
    x[q] = x1;
    kind = VANTREL_SOLUTION_UNIQUE;
}

// Column j of the inverse solves A x = e_j. The matrix is written only once all three
// columns exist.
template <typename T>
short Invert3(T** A) {
    T columns[3][3];
    for (int j = 0; j < 3; ++j) {
        T unit[3] = {0, 0, 0};
        unit[j] = 1;
        int kind = VANTREL_SOLUTION_NONE;
        Solve3<T>(A, unit, columns[j], kind);
        if (kind != VANTREL_SOLUTION_UNIQUE) return VANTREL_ERR_SINGULAR;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) A[i][j] = columns[j][i];
    return VANTREL_SUCCESS;
}

}  // namespace

short LinSolve3(float** A, float* b, float* x, int& kind) {
    Solve3<float>(A, b, x, kind);
    return VANTREL_SUCCESS;
}

short LinSolve3(double** A, double* b, double* x, int& kind) {
    Solve3<double>(A, b, x, kind);
    return VANTREL_SUCCESS;
}

short Invert3x3Matrix(float** A) {
    return Invert3<float>(A);
}

short Invert3x3Matrix(double** A) {
    return Invert3<double>(A);
}
