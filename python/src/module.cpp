// vantrel._core: the compiled part of the Python package.
#define VANTREL_NUMPY_IMPORT
#include "core.h"
#include "function.h"

namespace py = pybind11;

namespace {

struct NamedWhite {
    const char* name;
    float percent[3];  // Y = 100
    float unit[3];     // Y = 1
};

// CIE 1931 2-degree whites. Each scale has its own literals, so that a named white is the
// float nearest its decimal value on either scale (as the command reads one).
const NamedWhite kWhites[] = {
    {"D50", {96.42f, 100.0f, 82.49f}, {0.9642f, 1.0f, 0.8249f}},
    {"D55", {95.68f, 100.0f, 92.14f}, {0.9568f, 1.0f, 0.9214f}},
    {"D65", {95.05f, 100.0f, 108.88f}, {0.9505f, 1.0f, 1.0888f}},
    {"D75", {94.97f, 100.0f, 122.64f}, {0.9497f, 1.0f, 1.2264f}},
    {"A", {109.85f, 100.0f, 35.58f}, {1.0985f, 1.0f, 0.3558f}},
    {"C", {98.07f, 100.0f, 118.22f}, {0.9807f, 1.0f, 1.1822f}},
    {"E", {100.0f, 100.0f, 100.0f}, {1.0f, 1.0f, 1.0f}},
};

py::dict Whites() {
    py::dict whites;
    for (const NamedWhite& w : kWhites) {
        auto triple = [](const float* v) { return py::make_tuple(v[0], v[1], v[2]); };
        whites[w.name] = py::make_tuple(triple(w.percent), triple(w.unit));
    }
    return whites;
}

}  // namespace

PYBIND11_MODULE(_core, module) {
    if (_import_array() < 0 || _import_umath() < 0 || !vpy::ReadyFunctionType())
        throw py::error_already_set();
    module.doc() = "The compiled core of vantrel: ufuncs and solvers over libvantrel.";
    module.attr("WHITES") = Whites();
    vpy::AddColourFunctions(module.ptr());
    vpy::AddLinalgFunctions(module);
    vpy::AddMeasureFunctions(module);
}
