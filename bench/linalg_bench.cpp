// Time per call of LinSolve at several orders and of the 3x3 solver and inversion.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "vantrel/linalg.h"

namespace {

// A random diagonally dominant n-by-n system, so that every call takes the regular path.
struct System {
    std::vector<std::vector<float>> storage;
    std::vector<float*> rows;
    std::vector<float> b, x;

    explicit System(int n) : storage(n, std::vector<float>(n)), b(n), x(n) {
        std::mt19937 rng(static_cast<unsigned>(n));
        std::uniform_real_distribution<float> element(-1.0f, 1.0f);
        for (int i = 0; i < n; ++i) {
            for (float& v : storage[i]) v = element(rng);
            storage[i][i] += static_cast<float>(n);
            rows.push_back(storage[i].data());
            b[i] = element(rng);
        }
    }
};

void BM_LinSolve(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    System s(n);
    int kind = -1;
    for (auto _ : state) {
        short result = LinSolve(s.rows.data(), s.b.data(), n, s.x.data(), kind);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    if (kind != VANTREL_SOLUTION_UNIQUE) state.SkipWithError("system not solved");
}
BENCHMARK(BM_LinSolve)->Arg(10)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

// A fixed set of 3x3 systems, cycled through so that no single input is measured.
template <typename T>
struct Systems3 {
    static constexpr int kCount = 256;
    T elements[kCount][3][3];
    T* rows[kCount][3];
    T b[kCount][3];

    Systems3() {
        std::mt19937 rng(3);
        std::uniform_real_distribution<T> element(-1, 1);
        for (int k = 0; k < kCount; ++k)
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 3; ++j) elements[k][i][j] = element(rng);
                rows[k][i] = elements[k][i];
                b[k][i] = element(rng);
            }
    }
};

template <typename T>
void BM_LinSolve3(benchmark::State& state) {
    static Systems3<T> systems;
    T x[3];
    int kind = -1;
    int k = 0;
    for (auto _ : state) {
        LinSolve3(systems.rows[k], systems.b[k], x, kind);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(kind);
        k = (k + 1) % Systems3<T>::kCount;
    }
}
BENCHMARK_TEMPLATE(BM_LinSolve3, float);
BENCHMARK_TEMPLATE(BM_LinSolve3, double);

// Inverts a copy each time, so the inputs stay the same from one iteration to the next.
void BM_Invert3x3Matrix(benchmark::State& state) {
    static Systems3<float> systems;
    float copy[3][3];
    float* rows[3] = {copy[0], copy[1], copy[2]};
    int k = 0;
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) copy[i][j] = systems.elements[k][i][j];
        short result = Invert3x3Matrix(rows);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
        k = (k + 1) % Systems3<float>::kCount;
    }
}
BENCHMARK(BM_Invert3x3Matrix);

}  // namespace
