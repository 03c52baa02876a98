// The linear solvers over stacks of systems: LinSolve3 for 3x3 systems (in float or double),
// LinSolve for the other orders (in float). vantrel/linalg.py broadcasts and checks the
// operands and turns the solution kinds into exceptions.
#include <pybind11/numpy.h>

#include <vector>

#include "core.h"
#include "vantrel/linalg.h"

namespace py = pybind11;

namespace {

// The outcome of one system, as vantrel/linalg.py reads it.
enum : std::int8_t {
    kNoSolution = VANTREL_SOLUTION_NONE,
    kUnique = VANTREL_SOLUTION_UNIQUE,
    kMany = VANTREL_SOLUTION_MANY,
    kZeroRow = 3,   // LinSolve found a row without a non-zero element
    kNoMemory = 4,  // LinSolve could not allocate its working storage
};

std::int8_t SolveOne(float** rows, float* b, int n, float* x) {
    int kind = kNoSolution;
    const short result = n == 3 ? LinSolve3(rows, b, x, kind) : LinSolve(rows, b, n, x, kind);
    if (result == VANTREL_ERR_SINGULAR) return kZeroRow;
    if (result == VANTREL_ERR_NO_MEMORY) return kNoMemory;
    return static_cast<std::int8_t>(kind);
}

std::int8_t SolveOne(double** rows, double* b, int, double* x) {
    int kind = kNoSolution;
    LinSolve3(rows, b, x, kind);
    return static_cast<std::int8_t>(kind);
}

// a: (m, n, n), b: (m, n), both C-contiguous; returns x (m, n) and the outcome of each system.
// x is zero where the system has no unique solution.
template <typename T>
py::tuple Solve(py::array_t<T, py::array::c_style> a, py::array_t<T, py::array::c_style> b) {
    const py::ssize_t m = b.shape(0), n = b.shape(1);
    py::array_t<T> x({m, n});
    py::array_t<std::int8_t> kinds(m);
    T* xs = x.mutable_data();
    std::int8_t* ks = kinds.mutable_data();
    // LinSolve3 and LinSolve only read A and b, but take them without const.
    T* as = const_cast<T*>(a.data());
    T* bs = const_cast<T*>(b.data());
    {
        py::gil_scoped_release release;
        std::vector<T*> rows(static_cast<std::size_t>(n));
        for (py::ssize_t k = 0; k < m; ++k) {
            for (py::ssize_t i = 0; i < n; ++i) rows[i] = as + (k * n + i) * n;
            T* xk = xs + k * n;
            ks[k] = SolveOne(rows.data(), bs + k * n, static_cast<int>(n), xk);
            if (ks[k] != kUnique)
                for (py::ssize_t i = 0; i < n; ++i) xk[i] = 0;
        }
    }
    return py::make_tuple(x, kinds);
}

}  // namespace

namespace vpy {

void AddLinalgFunctions(py::module_& module) {
    module.def("solve_float", &Solve<float>, "LinSolve3 (n = 3) or LinSolve on float32 stacks");
    module.def("solve3_double", &Solve<double>, "LinSolve3 on float64 stacks of 3x3 systems");
}

}  // namespace vpy
