// The package's colour functions as Python callables with a short way through: a call whose
// operands NumPy would not need to broadcast, cast or copy runs the kernel's loop at once;
// every other call goes to the generalised ufunc, which gives the same results.
#pragma once

#include "numpy_api.h"

namespace vpy {

constexpr int kMaxOperands = 6;

// What a Function knows of its kernel (see ufunc_loop.h): the core length of each operand
// (0 for a scalar), how many are inputs and how many of those are data, the type of the
// parameters and the result, and the loops for data as float32 and as float64.
struct KernelInfo {
    int operands, in, data;
    int shape[kMaxOperands];
    int valueType;
    PyUFuncGenericFunction loops[2];
};

// A new Function calling `ufunc` (taking over the reference) over the kernel `info`
// describes; null with the Python error set when it cannot be made.
PyObject* NewFunction(PyObject* ufunc, const KernelInfo* info);

// Makes the Function type ready; false with the Python error set.
bool ReadyFunctionType();

}  // namespace vpy
