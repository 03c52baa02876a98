// The straightforward N-by-N solver, kept apart from the library as the reference that any
// faster LinSolve must match bit for bit: same result codes, same solution kind, same bits
// of x (including the partial x of a singular system).
#pragma once

namespace reference {

// Same contract as LinSolve for orders 0 to VANTREL_LINSOLVE_MAX_ORDER; allocation never fails
// here.
short LinSolve(float* const* A, const float* b, int n, float* x, int& kind);

}  // namespace reference
