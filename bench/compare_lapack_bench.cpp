// LinSolve against LAPACK's sgesv (from OpenBLAS, through LAPACKE) on the same random
// systems. Both sides copy the matrix once per call, as a caller whose matrix must survive
// would: LinSolve internally, sgesv from a prepared column-major image with one memcpy.
// Run with OPENBLAS_NUM_THREADS=1 (bench/compare does), so that both use one core. Names are
// "LinSolve vs sgesv n=<order>@ours" and "...@anchor"; bench/compare pairs them.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lapacke.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "vantrel/linalg.h"

extern "C" {
char* openblas_get_corename(void);
char* openblas_get_config(void);
void openblas_set_num_threads(int);
int openblas_get_num_threads(void);
}

namespace {

// A random n-by-n system, uniform in -1 .. 1 (so that rows are exchanged), in row pointers
// for LinSolve and as a column-major image for sgesv.
struct System {
    int n;
    std::vector<float> rowMajor, columnMajor, b;
    std::vector<float*> rows;

    explicit System(int order)
        : n(order),
          rowMajor(static_cast<size_t>(order) * order),
          columnMajor(rowMajor.size()),
          b(order) {
        std::mt19937 rng(static_cast<unsigned>(order));
        std::uniform_real_distribution<float> element(-1.0f, 1.0f);
        for (float& v : rowMajor) v = element(rng);
        for (float& v : b) v = element(rng);
        for (int i = 0; i < n; ++i) {
            rows.push_back(&rowMajor[static_cast<size_t>(i) * n]);
            for (int j = 0; j < n; ++j)
                columnMajor[static_cast<size_t>(j) * n + i] =
                    rowMajor[static_cast<size_t>(i) * n + j];
        }
    }
};

const System& SystemOfOrder(int n) {
    static std::map<int, std::unique_ptr<System>> systems;
    auto& s = systems[n];
    if (!s) s = std::make_unique<System>(n);
    return *s;
}

void Ours(benchmark::State& state, int n) {
    const System& s = SystemOfOrder(n);
    std::vector<float> x(s.n);
    int kind = -1;
    for (auto _ : state) {
        short result =
            LinSolve(const_cast<float**>(s.rows.data()), s.b.data(), s.n, x.data(), kind);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    if (kind != VANTREL_SOLUTION_UNIQUE) state.SkipWithError("LinSolve found no unique solution");
}

void Anchor(benchmark::State& state, int n) {
    const System& s = SystemOfOrder(n);
    std::vector<float> a(s.columnMajor.size()), x(s.n);
    std::vector<lapack_int> pivots(s.n);
    lapack_int info = 0;
    for (auto _ : state) {
        std::memcpy(a.data(), s.columnMajor.data(), a.size() * sizeof(float));
        std::memcpy(x.data(), s.b.data(), x.size() * sizeof(float));
        info = LAPACKE_sgesv(LAPACK_COL_MAJOR, s.n, 1, a.data(), s.n, pivots.data(), x.data(), s.n);
        benchmark::DoNotOptimize(info);
        benchmark::ClobberMemory();
    }
    if (info != 0) state.SkipWithError("sgesv failed");
}

}  // namespace

int main(int argc, char** argv) {
    // The solver's time alone: LAPACKE's scan of the inputs for NaNs is left out.
    LAPACKE_set_nancheck(0);
    Dl_info where{};
    dladdr(reinterpret_cast<void*>(&LAPACK_sgesv), &where);
    std::printf("anchor: sgesv from %s; %s; kernel %s; %d thread(s)\n",
                where.dli_fname ? where.dli_fname : "?", openblas_get_config(),
                openblas_get_corename(), openblas_get_num_threads());
    std::fflush(stdout);
    for (int n : {100, 500, 1000, 2000}) {
        const std::string row = "LinSolve vs sgesv n=" + std::to_string(n);
        benchmark::RegisterBenchmark((row + "@ours").c_str(), Ours, n)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((row + "@anchor").c_str(), Anchor, n)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
