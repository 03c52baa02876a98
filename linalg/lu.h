// Internal operations of LinSolve: LU decomposition (Crout's method, scaled partial pivoting)
// and forward and back substitution. Everything here is one-based: row table entry i
// (1 to n), element j (1 to n) is a[i][j], and element 0 of every array is never read.
// Hidden from the shared library; tests reach it through the internal archive.
#pragma once

#include <cstddef>

#include "vantrel/linalg.h"

namespace vantrel::detail {

// A one-based view of a zero-based array: view[i] is data[i - 1], so that a caller's
// zero-based solution array serves as the one-based right-hand side without an extra copy.
template <typename T>
class OneBased {
  public:
    explicit OneBased(T* data) : data_(data) {}
    T& operator[](int i) const { return data_[i - 1]; }

  private:
    T* data_;
};

// Factors the n-by-n matrix of the row table `a` in place: U on and above the diagonal, the
// multipliers of L (unit diagonal, not stored) below it, rows in exchanged order. Writes
// pivot[1..n] (the row exchanged with row j at step j) and `parity` (+1 or -1 by the number
// of exchanges). Returns VANTREL_SUCCESS; VANTREL_ERR_SINGULAR, with a and pivot partly
// written, when a row has no non-zero element; VANTREL_ERR_NO_MEMORY when the scale vector
// cannot be allocated, before touching anything.
short LUDecompose(float* const* a, int n, int* pivot, float& parity);

// Solves with the factors of LUDecompose: b[1..n] holds the right-hand side on entry and the
// solution on return. `kind` is VANTREL_SOLUTION_UNIQUE when every diagonal element of U is
// non-zero (|u| widened to double at least 1e-9); otherwise the substitution stops at the
// lowest such row, leaving the rows above it unsolved, and `kind` is VANTREL_SOLUTION_MANY
// when the remaining right-hand side there is zero, VANTREL_SOLUTION_NONE when it is not.
void LUBackSubstitute(float* const* a, int n, const int* pivot, OneBased<float> b, int& kind);

// Allocates the scale vector of LUDecompose, released with std::free. std::malloc unless a
// test replaces it to make the allocation fail.
using ScaleVectorAllocator = void* (*)(std::size_t bytes);
extern ScaleVectorAllocator gScaleVectorAllocator;

}  // namespace vantrel::detail
