// The elimination of LUDecompose, after the row scales are known: one implementation per
// instruction-set level, all giving the same bits, chosen from what the processor supports.
// The wider levels' sources include this header: it declares, and defines nothing inline.
#pragma once

namespace vantrel::cpu {
class KernelLevel;
}

namespace vantrel::detail {

// scale[i] = 1 / (largest magnitude of row i of the one-based row table), i = 1 .. n, NaNs
// not counted. Returns false, with scale partly written, when a row has no non-zero element.
bool ScaleRows(float* const* a, int n, float* scale);

// Factors the n-by-n matrix of the one-based row table in place (U on and above the diagonal,
// the multipliers of L below it), with the one-based scale vector (1 / largest magnitude of
// each row, kept in step with the row exchanges). Writes pivot[1..n] and negates parity at
// every exchange.
void FactorScaled(float* const* a, int n, int* pivot, float& parity, float* scale);

// The level the two functions above use: the widest the processor supports unless a test has
// chosen another.
cpu::KernelLevel& LuKernelLevel();

// The two operations compiled for one level: the portable one (lu_factor.cpp) and, on x86,
// lu_factor_avx2.cpp and lu_factor_avx512.cpp.
struct LuKernels {
    bool (*scaleRows)(float* const* a, int n, float* scale);
    void (*factor)(float* const* a, int n, int* pivot, float& parity, float* scale);
};
extern const LuKernels kLuGeneric, kLuAvx2, kLuAvx512;

}  // namespace vantrel::detail
