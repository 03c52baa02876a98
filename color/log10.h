// The base-10 logarithm in double, for the densities.
#pragma once

#include <cmath>

namespace vantrel::detail {

// std::log10, except on Windows: there the C runtime's log10 is not linked into the library but
// bound from the system's runtime DLL, which each system supplies its own of (Wine's is not
// Windows'). MinGW's extended-precision log10l is linked into the library, so it computes the
// same value wherever the library runs; rounded to double it is within an ulp of the true
// logarithm, as the runtime's is, and narrowed to float it gives the floats glibc's log10 gives
// over the densities' range (bench/math_sweep compares them).
inline double Log10(double x) {
#if defined(_WIN32)
    return static_cast<double>(log10l(static_cast<long double>(x)));
#else
    return std::log10(x);
#endif
}

}  // namespace vantrel::detail
