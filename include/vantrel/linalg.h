/// @file
/// Numerical linear algebra: 3x3 solvers and inversion, the general N-by-N solver.
///
/// A matrix is an array of row pointers: A[i][j] is row i, column j, and the rows need not be
/// contiguous. The system solved is A x = b with x a column vector. Pointers are not checked
/// for null (except where said) and must address the stated number of elements.
///
/// Solution kind (the `int&` output of the solvers): 1 the system has a unique solution,
/// written to x; 2 the matrix is singular and the system consistent (infinitely many
/// solutions); 0 the matrix is singular and the system inconsistent (no solution).
///
/// Result codes: 10 success, -3 singular matrix, -5 working storage could not be allocated.
///
/// Every function works on its arguments and on storage local to the call, so any number of
/// calls may run at once as long as they do not share output arrays.
#pragma once

#include "vantrel/export.h"

// ---------------------------------------------------------------------------------------------
// 3x3 systems and inversion (no heap allocation)

/// Solves the 3x3 system A x = b by Gaussian elimination with complete pivoting. A (three row
/// pointers) and b (three elements) are only read. An element counts as zero when its
/// absolute value, widened to double, is below 1e-9. `kind` is always written; x (three
/// elements) is written only when `kind` is 1 and otherwise keeps its contents. Always
/// returns 10: decide by `kind` alone. A matrix whose elements are all NaN is not taken for
/// zero; the NaNs propagate into x.
VANTREL_API short LinSolve3(float** A, float* b, float* x, int& kind);
/// Double-precision form of LinSolve3; the same steps and the same 1e-9 tolerance.
VANTREL_API short LinSolve3(double** A, double* b, double* x, int& kind);

/// Replaces the 3x3 matrix A (three row pointers) by its inverse, column j of the inverse
/// being the solution of A x = e_j found by LinSolve3. Returns 10, or -3 when any of the three
/// solves does not find a unique solution; A is then left exactly as it was.
VANTREL_API short Invert3x3Matrix(float** A);
/// Double-precision form of Invert3x3Matrix.
VANTREL_API short Invert3x3Matrix(double** A);

// ---------------------------------------------------------------------------------------------
// General N-by-N systems

/// Solves the n-by-n single-precision system A x = b by LU decomposition with scaled partial
/// pivoting. A (n row pointers of n floats) and b (n floats) are only read; x (n floats) is
/// written. The working storage (about 4 n^2 bytes) is allocated and released within the call.
///
/// Results:
/// - 10: the decomposition succeeded; `kind` is written. Kind 1: x is the solution. Kind 2 or
///   0: the matrix is singular (found from the bottom row up); x then holds values solved
///   below the singular row and intermediate values at and above it, and is not a solution.
/// - -3: a row of A has no non-zero element; `kind` is not written and x holds a copy of b.
/// - -5: working storage could not be allocated; `kind` is not written and x is either
///   untouched or holds a copy of b.
///
/// n = 0 returns 10 with kind 1 and touches no array (the pointers may then be null). An order
/// outside 0 to 46340 (negative, or too large for n*n + 1 to be a 32-bit count) is refused
/// with -5 before anything is read or written.
VANTREL_API short LinSolve(float** A, float const* b, int n, float* x, int& kind);
