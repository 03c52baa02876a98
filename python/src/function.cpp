// The Function type: a kernel's loop called at once when NumPy would have nothing to do but
// call it, else the generalised ufunc. A call on a few colours then costs little more than
// making its result, and a large one no more than the loop.
#include "function.h"

#include <numpy/arrayscalars.h>
#include <structmember.h>

#include <algorithm>
#include <cfenv>
#include <cstddef>

namespace vpy {
namespace {

struct Function {
    PyObject ob_base;
    vectorcallfunc vectorcall;
    PyObject* ufunc;
    const KernelInfo* info;
    Py_ssize_t callsAtOnce;  // for the tests: which calls did not go to the ufunc
};

// Calls on more colours than this run without the GIL, as NumPy's own loops do above 500.
constexpr npy_intp kThreadedCount = 500;

// The floating-point exceptions after which NumPy warns or raises, as numpy.errstate says.
constexpr int kReportedExceptions = FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW | FE_INVALID;

// The operands of a call as the short way takes them: arrays made from lists are owned here.
struct Operands {
    PyObject* items[kMaxOperands + 1];
    PyArrayObject* made[kMaxOperands] = {};
    ~Operands() {
        for (PyArrayObject* a : made) Py_XDECREF(a);
    }
};

// Data as an array: an ndarray as given, a list or tuple as NumPy converts it (to float64 for
// floats, int64 for integers). Null (no error set) for anything else.
PyArrayObject* DataArray(PyObject* object, PyArrayObject** made) {
    if (PyArray_CheckExact(object)) return reinterpret_cast<PyArrayObject*>(object);
    if (!PyList_CheckExact(object) && !PyTuple_CheckExact(object)) return nullptr;
    PyObject* array = PyArray_FromAny(object, nullptr, 0, 0, 0, nullptr);
    if (!array) {
        PyErr_Clear();  // the ufunc raises it again, with the package's message
        return nullptr;
    }
    *made = reinterpret_cast<PyArrayObject*>(array);
    return *made;
}

// The values of a parameter operand, when it holds exactly one core of the kernel's type:
// a C-ordered native array of that shape, or a NumPy scalar for a scalar operand.
const char* ParameterData(PyObject* object, int length, int type) {
    if (PyArray_CheckExact(object)) {
        auto* a = reinterpret_cast<PyArrayObject*>(object);
        const bool shaped =
            length ? PyArray_NDIM(a) == 1 && PyArray_DIM(a, 0) == length : PyArray_NDIM(a) == 0;
        if (!shaped || PyArray_TYPE(a) != type || !PyArray_ISCARRAY_RO(a)) return nullptr;
        return PyArray_BYTES(a);
    }
    if (length) return nullptr;
    if (type == NPY_FLOAT && PyArray_IsScalar(object, Float))
        return reinterpret_cast<const char*>(&PyArrayScalar_VAL(object, Float));
    if (type == NPY_DOUBLE && PyArray_IsScalar(object, Double))
        return reinterpret_cast<const char*>(&PyArrayScalar_VAL(object, Double));
    return nullptr;
}

bool Overlap(PyArrayObject* a, PyArrayObject* b) {
    const char* p = PyArray_BYTES(a);
    const char* q = PyArray_BYTES(b);
    return p < q + PyArray_NBYTES(b) && q < p + PyArray_NBYTES(a);
}

// The call done at once: every data operand a C-ordered native float32 or float64 array, all
// of one type and of one shape (no broadcasting), the parameters as ParameterData takes them,
// `out` absent or a C-ordered writeable array of the result's type and shape that shares no
// memory with the data. Null, with no error set, when the call is not of that kind or raised a
// floating-point exception, which the ufunc then reports as numpy.errstate asks.
PyObject* CallAtOnce(const KernelInfo& k, Operands& operands, PyObject* out) {
    char* args[kMaxOperands];
    int type = 0, ndim = 0;
    npy_intp dims[NPY_MAXDIMS + 1];
    for (int i = 0; i < k.data; ++i) {
        PyArrayObject* a = DataArray(operands.items[i], &operands.made[i]);
        if (!a) return nullptr;
        if (operands.made[i]) operands.items[i] = reinterpret_cast<PyObject*>(a);
        const int t = PyArray_TYPE(a), n = PyArray_NDIM(a) - (k.shape[i] ? 1 : 0);
        if ((t != NPY_FLOAT && t != NPY_DOUBLE) || !PyArray_ISCARRAY_RO(a) || n < 0) return nullptr;
        if (k.shape[i] && PyArray_DIM(a, n) != k.shape[i]) return nullptr;
        if (i == 0) {
            type = t, ndim = n;
            std::copy(PyArray_DIMS(a), PyArray_DIMS(a) + n, dims);
        } else if (t != type || n != ndim || !std::equal(dims, dims + n, PyArray_DIMS(a))) {
            return nullptr;
        }
        args[i] = PyArray_BYTES(a);
    }
    for (int i = k.data; i < k.in; ++i) {
        const char* p = ParameterData(operands.items[i], k.shape[i], k.valueType);
        if (!p) return nullptr;
        args[i] = const_cast<char*>(p);  // read only: the kernels take their inputs as const
    }
    const int resultLength = k.shape[k.in];
    if (resultLength) dims[ndim++] = resultLength;

    PyArrayObject* result;
    if (out) {
        if (!PyArray_CheckExact(out)) return nullptr;
        result = reinterpret_cast<PyArrayObject*>(out);
        if (PyArray_TYPE(result) != k.valueType || !PyArray_ISCARRAY(result) ||
            PyArray_NDIM(result) != ndim || !std::equal(dims, dims + ndim, PyArray_DIMS(result)))
            return nullptr;
        for (int i = 0; i < k.in; ++i)
            if (PyArray_Check(operands.items[i]) &&
                Overlap(reinterpret_cast<PyArrayObject*>(operands.items[i]), result))
                return nullptr;
        Py_INCREF(out);
    } else {
        result = reinterpret_cast<PyArrayObject*>(PyArray_SimpleNew(ndim, dims, k.valueType));
        if (!result) return nullptr;
    }
    args[k.in] = PyArray_BYTES(result);

    // One loop over every colour: the outer steps, then the steps within each core.
    const npy_intp dataSize = type == NPY_FLOAT ? sizeof(float) : sizeof(double);
    const npy_intp valueSize = k.valueType == NPY_FLOAT ? sizeof(float) : sizeof(double);
    npy_intp steps[2 * kMaxOperands];
    npy_intp count = PyArray_SIZE(result) / (resultLength ? resultLength : 1);
    for (int i = 0, next = k.operands; i < k.operands; ++i) {
        const npy_intp size = i < k.data ? dataSize : valueSize;
        const npy_intp length = k.shape[i] ? k.shape[i] : 1;
        steps[i] = i < k.data || i == k.in ? length * size : 0;
        if (k.shape[i]) steps[next++] = size;
    }
    PyUFuncGenericFunction loop = k.loops[type == NPY_FLOAT ? 0 : 1];
    std::feclearexcept(FE_ALL_EXCEPT);
    if (count > kThreadedCount) {
        Py_BEGIN_ALLOW_THREADS;
        loop(args, &count, steps, nullptr);
        Py_END_ALLOW_THREADS;
    } else {
        loop(args, &count, steps, nullptr);
    }
    if (std::fetestexcept(kReportedExceptions)) {
        Py_DECREF(result);
        return nullptr;
    }
    return out ? out : PyArray_Return(result);
}

PyObject* Call(PyObject* self, PyObject* const* args, std::size_t flags, PyObject* names) {
    auto* f = reinterpret_cast<Function*>(self);
    const KernelInfo& k = *f->info;
    const Py_ssize_t positional = PyVectorcall_NARGS(flags);
    const Py_ssize_t keywords = names ? PyTuple_GET_SIZE(names) : 0;
    if (positional != k.in || keywords > 1 ||
        (keywords && PyUnicode_CompareWithASCIIString(PyTuple_GET_ITEM(names, 0), "out") != 0))
        return PyObject_Vectorcall(f->ufunc, args, flags, names);

    Operands operands;
    std::copy(args, args + positional + keywords, operands.items);
    PyObject* out = keywords && args[positional] != Py_None ? args[positional] : nullptr;
    if (PyObject* result = CallAtOnce(k, operands, out)) {
        ++f->callsAtOnce;
        return result;
    }
    if (PyErr_Occurred()) return nullptr;
    // Lists already converted are passed as arrays: the ufunc would convert them alike.
    return PyObject_Vectorcall(f->ufunc, operands.items, static_cast<std::size_t>(positional),
                               names);
}

void Dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    Py_XDECREF(reinterpret_cast<Function*>(self)->ufunc);
    type->tp_free(self);
    Py_DECREF(type);
}

PyObject* Repr(PyObject* self) {
    PyObject* name = PyObject_GetAttrString(reinterpret_cast<Function*>(self)->ufunc, "__name__");
    if (!name) return nullptr;
    PyObject* text = PyUnicode_FromFormat("<vantrel function %U>", name);
    Py_DECREF(name);
    return text;
}

PyMemberDef kMembers[] = {
    {"__vectorcalloffset__", T_PYSSIZET, offsetof(Function, vectorcall), READONLY, nullptr},
    {"ufunc", T_OBJECT_EX, offsetof(Function, ufunc), READONLY,
     "The generalised ufunc, which broadcasts, casts and takes every option of a ufunc."},
    {"calls_at_once", T_PYSSIZET, offsetof(Function, callsAtOnce), READONLY,
     "How many calls ran the loop at once, without the ufunc."},
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot kSlots[] = {
    {Py_tp_doc, const_cast<char*>("A colour function of the library over NumPy arrays.")},
    {Py_tp_dealloc, reinterpret_cast<void*>(Dealloc)},
    {Py_tp_repr, reinterpret_cast<void*>(Repr)},
    {Py_tp_call, reinterpret_cast<void*>(PyVectorcall_Call)},
    {Py_tp_members, kMembers},
    {0, nullptr},
};

PyType_Spec kSpec = {"vantrel._core.Function", sizeof(Function), 0,
                     Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_VECTORCALL, kSlots};

PyTypeObject* gFunctionType = nullptr;

}  // namespace

bool ReadyFunctionType() {
    if (!gFunctionType) gFunctionType = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&kSpec));
    return gFunctionType != nullptr;
}

PyObject* NewFunction(PyObject* ufunc, const KernelInfo* info) {
    auto* f = PyObject_New(Function, gFunctionType);
    if (!f) {
        Py_DECREF(ufunc);
        return nullptr;
    }
    f->vectorcall = Call;
    f->ufunc = ufunc;
    f->info = info;
    f->callsAtOnce = 0;
    return reinterpret_cast<PyObject*>(f);
}

}  // namespace vpy
