/// @file
/// Numerical linear algebra: 3x3 solvers and inversion, the general N-by-N solver.
///
/// A matrix is an array of row pointers: A[i][j] is row i, column j, and the rows need not be
/// contiguous. The system solved is A x = b with x a column vector. Pointers are not checked
/// for null (except where said) and must address the stated number of elements.
///
/// Every solver writes the solution kind through its `int&` argument (VANTREL_SOLUTION_*) and
/// returns a result code of vantrel/result_codes.h: VANTREL_SUCCESS (10), VANTREL_ERR_SINGULAR
/// (-3) or VANTREL_ERR_NO_MEMORY (-5).
///
/// Every function works on its arguments and on storage local to the call, so any number of
/// calls may run at once as long as they do not share output arrays.
#pragma once

#include "vantrel/export.h"
#include "vantrel/result_codes.h"

/// Solution kinds.
enum : int {
    VANTREL_SOLUTION_NONE = 0,    ///< singular matrix, inconsistent system: no solution
    VANTREL_SOLUTION_UNIQUE = 1,  ///< one solution, written to x
    VANTREL_SOLUTION_MANY = 2,    ///< singular matrix, consistent system: infinitely many
};

// ---------------------------------------------------------------------------------------------
// 3x3 systems and inversion (no heap allocation)

/// Solves the 3x3 system A x = b by Gaussian elimination with complete pivoting. A (three row
/// pointers) and b (three elements) are only read. An element counts as zero when its
/// absolute value, widened to double, is below 1e-9. `kind` is always written; x (three
/// elements) is written only when `kind` is VANTREL_SOLUTION_UNIQUE and otherwise keeps its
/// contents. Always returns VANTREL_SUCCESS: decide by `kind` alone. A matrix whose elements are
/// all NaN is not taken for zero; the NaNs propagate into x.
VANTREL_API short LinSolve3(float** A, float* b, float* x, int& kind);
/// Double-precision form of LinSolve3; the same steps and the same 1e-9 tolerance.
VANTREL_API short LinSolve3(double** A, double* b, double* x, int& kind);

/// Replaces the 3x3 matrix A (three row pointers) by its inverse, column j of the inverse
/// being the solution of A x = e_j found by LinSolve3. Returns VANTREL_SUCCESS, or
/// VANTREL_ERR_SINGULAR when any of the three solves does not find a unique solution; A is
/// then left exactly as it was.
VANTREL_API short Invert3x3Matrix(float** A);
/// Double-precision form of Invert3x3Matrix.
VANTREL_API short Invert3x3Matrix(double** A);

// ---------------------------------------------------------------------------------------------
// General N-by-N systems

/// The largest order LinSolve accepts: the largest n for which n*n + 1 fits a 32-bit count.
enum : int { VANTREL_LINSOLVE_MAX_ORDER = 46340 };

/// Solves the n-by-n single-precision system A x = b by LU decomposition with scaled partial
/// pivoting. A (n row pointers of n floats) and b (n floats) are only read; x (n floats) is
/// written. The working storage (about 4 n^2 bytes) is allocated and released within the call.
///
/// Results:
/// - VANTREL_SUCCESS: the decomposition succeeded; `kind` is written. With
///   VANTREL_SOLUTION_UNIQUE x is the solution. With VANTREL_SOLUTION_MANY or
///   VANTREL_SOLUTION_NONE the matrix is singular (found from the bottom row up); x then holds
///   values solved below the singular row and intermediate values at and above it, and is not
///   a solution.
/// - VANTREL_ERR_SINGULAR: a row of A has no non-zero element; `kind` is not written and x
///   holds a copy of b.
/// - VANTREL_ERR_NO_MEMORY: working storage could not be allocated; `kind` is not written and
///   x is either untouched or holds a copy of b.
///
/// n = 0 returns VANTREL_SUCCESS with VANTREL_SOLUTION_UNIQUE and touches no array (the
/// pointers may then be null). An order outside 0 to VANTREL_LINSOLVE_MAX_ORDER (negative, or
/// too large for n*n + 1 to be a 32-bit count) is refused with VANTREL_ERR_NO_MEMORY before
/// anything is read or written.
VANTREL_API short LinSolve(float** A, float const* b, int n, float* x, int& kind);
