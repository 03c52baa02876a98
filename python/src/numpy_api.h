// The NumPy C API (arrays and universal functions) for every source of the core. One source,
// module.cpp, defines VANTREL_NUMPY_IMPORT and imports the API when the module loads; the
// others use the same table through its unique symbol.
#pragma once

#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#define PY_ARRAY_UNIQUE_SYMBOL vantrel_python_ARRAY_API
#define PY_UFUNC_UNIQUE_SYMBOL vantrel_python_UFUNC_API
#ifndef VANTREL_NUMPY_IMPORT
#define NO_IMPORT_ARRAY
#define NO_IMPORT_UFUNC
#endif
#include <Python.h>
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>
