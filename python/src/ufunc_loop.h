// Generalised ufuncs over per-colour kernels. NumPy does the broadcasting, the `out=`
// arguments, the casts from other dtypes, byte orders and strides, and releases the GIL while
// the inner loop runs; a kernel only computes one element.
//
// A kernel is a struct with
//   using Value = float or double     the type its library function computes in;
//   static constexpr int kShape[]     the core length of each operand, inputs then outputs
//                                     (0 for a scalar operand);
//   static constexpr int kIn, kData   the number of inputs, and how many of them (the first)
//                                     are data: data come as float32 or float64 (two loops),
//                                     every other operand is of type Value;
//   static void Run(const Value* const* in, Value* const* out).
// Data read as float64 are narrowed to Value one by one, exactly as a cast of the whole array
// would narrow them.
#pragma once

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>

#include "numpy_api.h"

namespace vpy {

constexpr int kMaxCore = 31;  // the longest core dimension: a spectrum
constexpr int kMaxOperands = 6;

template <typename K>
constexpr int OperandCount() {
    return static_cast<int>(std::size(K::kShape));
}

template <typename T>
constexpr char TypeNum() {
    return std::is_same_v<T, float> ? NPY_FLOAT : NPY_DOUBLE;
}

template <typename K, typename Data>
void Loop(char** args, const npy_intp* dims, const npy_intp* steps, void*) {
    using Value = typename K::Value;
    constexpr int kOperands = OperandCount<K>();
    static_assert(kOperands <= kMaxOperands);
    // After the outer step of each operand come the steps of the core dimensions, in operand
    // order, for those operands that have one. An operand of type Value whose core is
    // contiguous is used where it lies (NumPy aligns the operands of a loop); the others are
    // gathered into a buffer, and results scattered from one. Every kernel reads its inputs
    // before writing its results, so an output may be its input.
    npy_intp core[kOperands];
    bool direct[kOperands];
    for (int i = 0, next = kOperands; i < kOperands; ++i) {
        core[i] = K::kShape[i] ? steps[next++] : 0;
        const bool typed = i >= K::kData || std::is_same_v<Data, Value>;
        direct[i] = typed && (!K::kShape[i] || core[i] == npy_intp{sizeof(Value)});
    }
    const Value* in[kOperands];
    Value* out[kOperands];
    if (std::all_of(direct, direct + kOperands, [](bool d) { return d; })) {
        char* p[kOperands];
        std::copy(args, args + kOperands, p);
        for (npy_intp n = 0; n < dims[0]; ++n) {
            for (int i = 0; i < kOperands; ++i) {
                in[i] = out[i] = reinterpret_cast<Value*>(p[i]);
                p[i] += steps[i];
            }
            K::Run(in, out + K::kIn);
        }
        return;
    }
    Value buffer[kOperands][kMaxCore];
    for (npy_intp n = 0; n < dims[0]; ++n) {
        for (int i = 0; i < kOperands; ++i) {
            char* p = args[i] + n * steps[i];
            in[i] = out[i] = direct[i] ? reinterpret_cast<Value*>(p) : buffer[i];
            if (direct[i] || i >= K::kIn) continue;
            const int length = K::kShape[i] ? K::kShape[i] : 1;
            for (int j = 0; j < length; ++j, p += core[i]) {
                if (i < K::kData) {
                    Data v;
                    std::memcpy(&v, p, sizeof v);
                    buffer[i][j] = static_cast<Value>(v);
                } else {
                    std::memcpy(&buffer[i][j], p, sizeof(Value));
                }
            }
        }
        K::Run(in, out + K::kIn);
        for (int i = K::kIn; i < kOperands; ++i) {
            if (direct[i]) continue;
            char* p = args[i] + n * steps[i];
            const int length = K::kShape[i] ? K::kShape[i] : 1;
            for (int j = 0; j < length; ++j, p += core[i])
                std::memcpy(p, &buffer[i][j], sizeof(Value));
        }
    }
}

// The core-dimension signature of a kernel, such as "(3),(3)->(3)".
template <typename K>
const char* Signature() {
    static const std::string text = [] {
        std::string s;
        for (int i = 0; i < OperandCount<K>(); ++i) {
            if (i == K::kIn)
                s += "->";
            else if (i > 0)
                s += ",";
            s += K::kShape[i] ? "(" + std::to_string(K::kShape[i]) + ")" : "()";
        }
        return s;
    }();
    return text.c_str();
}

// A new generalised ufunc named `name` over kernel K: a float32 loop and a float64 loop for
// kernels that compute in float, a float64 loop for those that compute in double.
template <typename K>
PyObject* MakeUfunc(const char* name, const char* doc) {
    using Value = typename K::Value;
    constexpr int kOperands = OperandCount<K>();
    constexpr int kLoops = std::is_same_v<Value, float> ? 2 : 1;
    static PyUFuncGenericFunction functions[2] = {Loop<K, Value>, Loop<K, double>};
    static void* data[2] = {nullptr, nullptr};
    static char types[2 * kOperands];
    for (int loop = 0; loop < kLoops; ++loop)
        for (int i = 0; i < kOperands; ++i)
            types[loop * kOperands + i] =
                i < K::kData && loop == 1 ? char{NPY_DOUBLE} : TypeNum<Value>();
    return PyUFunc_FromFuncAndDataAndSignature(functions, data, types, kLoops, K::kIn,
                                               kOperands - K::kIn, PyUFunc_None, name, doc, 0,
                                               Signature<K>());
}

}  // namespace vpy
