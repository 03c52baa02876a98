// The parts of the compiled core, each adding its functions to the module `vantrel._core`.
#pragma once

#include <pybind11/pybind11.h>

#include "numpy_api.h"

namespace vpy {

// Adds `object` to `module` under `name`, taking over the reference; throws when it is null
// (a failed creation has set the Python error).
inline void AddObject(PyObject* module, const char* name, PyObject* object) {
    if (!object || PyModule_AddObject(module, name, object) < 0) {
        Py_XDECREF(object);
        throw pybind11::error_already_set();
    }
}

void AddColourFunctions(PyObject* module);
void AddLinalgFunctions(pybind11::module_& module);
void AddMeasureFunctions(pybind11::module_& module);

}  // namespace vpy
