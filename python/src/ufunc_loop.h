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
//                                     every other operand (a parameter or the result) is of
//                                     type Value;
//   static void Run(const Value* const* in, Value* const* out).
// Every kernel reads its inputs before it writes its result, so a result may overwrite its
// input. Data read as float64 by a float kernel are narrowed to Value one by one, exactly as a
// cast of the whole array would narrow them; float32 data of a double kernel are widened.
#pragma once

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>

#include "function.h"
#include "numpy_api.h"

namespace vpy {

constexpr int kMaxCore = 31;  // the longest core dimension: a spectrum

template <typename K>
constexpr int OperandCount() {
    return static_cast<int>(std::size(K::kShape));
}

template <typename T>
constexpr int TypeNum() {
    return std::is_same_v<T, float> ? NPY_FLOAT : NPY_DOUBLE;
}

// The elements of operand i of K, at least one (a scalar operand has one).
template <typename K>
constexpr int Length(int i) {
    return K::kShape[i] ? K::kShape[i] : 1;
}

// Data converted to the kernel's type: used where they lie when they are of that type, else
// narrowed (or widened) into `buffer`.
template <typename K, typename Data>
const typename K::Value* Converted(const char* p, int i, typename K::Value* buffer) {
    using Value = typename K::Value;
    if constexpr (std::is_same_v<Data, Value>) {
        return reinterpret_cast<const Value*>(p);
    } else {
        const Data* d = reinterpret_cast<const Data*>(p);
        for (int j = 0; j < Length<K>(i); ++j) buffer[j] = static_cast<Value>(d[j]);
        return buffer;
    }
}

// The bytes of one element of operand i: its core, in Data for the data and in Value for the
// other operands.
template <typename K, typename Data>
constexpr npy_intp ElementSize(int i) {
    return Length<K>(i) *
           static_cast<npy_intp>(i < K::kData ? sizeof(Data) : sizeof(typename K::Value));
}

// The inner loop of the usual call: the data and the results packed row after row (C order),
// and the parameters (a white, a factor) given once for every colour, with outer step 0.
template <typename K, typename Data>
void PackedLoop(char* const* args, npy_intp count) {
    using Value = typename K::Value;
    constexpr int kOperands = OperandCount<K>();
    char* base[kOperands];
    std::copy(args, args + kOperands, base);
    Value buffer[K::kData][kMaxCore];
    const Value* in[kOperands];
    Value* out[kOperands];
    for (npy_intp n = 0; n < count; ++n) {
#pragma GCC unroll 8
        for (int i = 0; i < kOperands; ++i) {
            const bool fixed = i >= K::kData && i < K::kIn;
            char* p = base[i] + (fixed ? 0 : n * ElementSize<K, Data>(i));
            in[i] = out[i] = reinterpret_cast<Value*>(p);
            if (i < K::kData) in[i] = Converted<K, Data>(p, i, buffer[i]);
        }
        K::Run(in, out + K::kIn);
    }
}

// The inner loop when every operand's core is contiguous (in Data for the data, in Value for
// the others) but the rows are not packed or the parameters change from colour to colour.
template <typename K, typename Data>
void ContiguousLoop(char* const* args, npy_intp count, const npy_intp* steps) {
    using Value = typename K::Value;
    constexpr int kOperands = OperandCount<K>();
    Value buffer[K::kData][kMaxCore];
    const Value* in[kOperands];
    Value* out[kOperands];
    for (npy_intp n = 0; n < count; ++n) {
        for (int i = 0; i < kOperands; ++i) {
            char* p = args[i] + n * steps[i];
            in[i] = out[i] = reinterpret_cast<Value*>(p);
            if (i < K::kData) in[i] = Converted<K, Data>(p, i, buffer[i]);
        }
        K::Run(in, out + K::kIn);
    }
}

// The inner loop NumPy calls. After the outer step of each operand come the steps of the core
// dimensions, in operand order, for those operands that have one.
template <typename K, typename Data>
void Loop(char** args, const npy_intp* dims, const npy_intp* steps, void*) {
    using Value = typename K::Value;
    constexpr int kOperands = OperandCount<K>();
    npy_intp core[kOperands];
    bool contiguous = true, packed = true;
    for (int i = 0, next = kOperands; i < kOperands; ++i) {
        core[i] = K::kShape[i] ? steps[next++] : 0;
        const npy_intp size = i < K::kData ? sizeof(Data) : sizeof(Value);
        contiguous = contiguous && (!K::kShape[i] || core[i] == size);
        const bool fixed = i >= K::kData && i < K::kIn;
        packed = packed && steps[i] == (fixed ? 0 : ElementSize<K, Data>(i));
    }
    if (contiguous && packed) return PackedLoop<K, Data>(args, dims[0]);
    if (contiguous) return ContiguousLoop<K, Data>(args, dims[0], steps);
    // Any strides: every operand is gathered into a buffer, and the result scattered from one.
    Value buffer[kOperands][kMaxCore];
    const Value* in[kOperands];
    Value* out[kOperands];
    for (npy_intp n = 0; n < dims[0]; ++n) {
        for (int i = 0; i < K::kIn; ++i) {
            const char* p = args[i] + n * steps[i];
            for (int j = 0; j < Length<K>(i); ++j, p += core[i]) {
                if (i < K::kData) {
                    Data v;
                    std::memcpy(&v, p, sizeof v);
                    buffer[i][j] = static_cast<Value>(v);
                } else {
                    std::memcpy(&buffer[i][j], p, sizeof(Value));
                }
            }
            in[i] = buffer[i];
        }
        for (int i = K::kIn; i < kOperands; ++i) out[i] = buffer[i];
        K::Run(in, out + K::kIn);
        for (int i = K::kIn; i < kOperands; ++i) {
            char* p = args[i] + n * steps[i];
            for (int j = 0; j < Length<K>(i); ++j, p += core[i])
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

// The description of kernel K that a Function needs: its operands and its two loops, data as
// float32 and as float64.
template <typename K>
const KernelInfo* Info() {
    static_assert(OperandCount<K>() == K::kIn + 1, "a kernel has one result");
    static_assert(OperandCount<K>() <= kMaxOperands && K::kData >= 1 && K::kData <= K::kIn);
    static const KernelInfo info = [] {
        KernelInfo k{};
        k.operands = OperandCount<K>();
        k.in = K::kIn;
        k.data = K::kData;
        for (int i = 0; i < k.operands; ++i) k.shape[i] = K::kShape[i];
        k.valueType = TypeNum<typename K::Value>();
        k.loops[0] = Loop<K, float>;
        k.loops[1] = Loop<K, double>;
        return k;
    }();
    return &info;
}

// A new Function named `name` over kernel K and the generalised ufunc it falls back on, whose
// loops take the data as float32 or as float64 (the first that NumPy can cast the data to
// safely is chosen) and every other operand as Value.
template <typename K>
PyObject* MakeFunction(const char* name, const char* doc) {
    constexpr int kOperands = OperandCount<K>();
    const KernelInfo* info = Info<K>();
    static void* data[2] = {nullptr, nullptr};
    static char types[2 * kOperands];
    for (int loop = 0; loop < 2; ++loop)
        for (int i = 0; i < kOperands; ++i)
            types[loop * kOperands + i] =
                static_cast<char>(i < K::kData ? (loop ? NPY_DOUBLE : NPY_FLOAT) : info->valueType);
    PyObject* ufunc = PyUFunc_FromFuncAndDataAndSignature(
        const_cast<PyUFuncGenericFunction*>(info->loops), data, types, 2, K::kIn,
        kOperands - K::kIn, PyUFunc_None, name, doc, 0, Signature<K>());
    return ufunc ? NewFunction(ufunc, info) : nullptr;
}

}  // namespace vpy
