// The elimination of LUDecompose, after the row scales are known: one implementation per
// instruction set, all giving the same bits, chosen once from what the processor supports.
#pragma once

namespace vantrel::detail {

enum class LuKernel { kGeneric, kAvx2, kAvx512 };

// scale[i] = 1 / (largest magnitude of row i of the one-based row table), i = 1 .. n, NaNs
// not counted. Returns false, with scale partly written, when a row has no non-zero element.
bool ScaleRows(float* const* a, int n, float* scale);

// Factors the n-by-n matrix of the one-based row table in place (U on and above the diagonal,
// the multipliers of L below it), with the one-based scale vector (1 / largest magnitude of
// each row, kept in step with the row exchanges). Writes pivot[1..n] and negates parity at
// every exchange.
void FactorScaled(float* const* a, int n, int* pivot, float& parity, float* scale);

// Whether this processor can run `kernel`, and which kernel FactorScaled uses: the widest
// supported one unless a test has chosen another with UseLuKernel.
bool LuKernelSupported(LuKernel kernel);
LuKernel CurrentLuKernel();
void UseLuKernel(LuKernel kernel);

}  // namespace vantrel::detail
