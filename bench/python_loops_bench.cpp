// The C++ loops that bench/python_bench.py holds the Python package against: a million random
// colours through CX_D50XYZ2LAB's general form, DeltaE94 and CIEDE2000, one call per colour,
// as a C++ host would write the loop. The script draws the same colours (the same generator,
// seeded alike), and counts the instructions of each loop with callgrind, which is why each
// loop is a function of its own.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

constexpr std::size_t kColours = 1000000;

// kColours triples from `random`: X, Y, Z in [0, 100), or L* in [0, 100) and a*, b* in
// [-100, 100).
std::vector<float> Triples(std::mt19937& random, bool lab) {
    std::uniform_real_distribution<float> value(0.0f, 100.0f), ab(-100.0f, 100.0f);
    std::vector<float> v(3 * kColours);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = lab && i % 3 ? ab(random) : value(random);
    return v;
}

__attribute__((noinline)) void XyzToLabLoop(const float* xyz, float* lab, std::size_t n) {
    for (std::size_t i = 0; i < 3 * n; i += 3)
        CX_XYZ2LAB_float(xyz[i], xyz[i + 1], xyz[i + 2], 96.42f, 100.0f, 82.49f, &lab[i],
                         &lab[i + 1], &lab[i + 2]);
}

__attribute__((noinline)) void DeltaE94Loop(const float* reference, const float* sample,
                                            float* difference, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k)
        difference[k] = DeltaE94(&reference[3 * k], &sample[3 * k], 1.0f, 1.0f, 1.0f);
}

__attribute__((noinline)) void Ciede2000Loop(const double* reference, const double* sample,
                                             double* difference, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        const double *r = &reference[3 * k], *s = &sample[3 * k];
        difference[k] = vantrel::measure::Ciede2000({r[0], r[1], r[2]}, {s[0], s[1], s[2]});
    }
}

void BM_XyzToLabLoop(benchmark::State& state) {
    std::mt19937 random(1);
    const std::vector<float> xyz = Triples(random, false);
    std::vector<float> lab(xyz.size());
    for (auto _ : state) {
        XyzToLabLoop(xyz.data(), lab.data(), kColours);
        benchmark::DoNotOptimize(lab.data());
    }
    state.SetItemsProcessed(state.iterations() * kColours);
}

void BM_DeltaE94Loop(benchmark::State& state) {
    std::mt19937 random(1);
    const std::vector<float> reference = Triples(random, true);
    const std::vector<float> sample = Triples(random, true);
    std::vector<float> difference(kColours);
    for (auto _ : state) {
        DeltaE94Loop(reference.data(), sample.data(), difference.data(), kColours);
        benchmark::DoNotOptimize(difference.data());
    }
    state.SetItemsProcessed(state.iterations() * kColours);
}

// CIEDE2000 is computed in double precision, on the same colours widened.
void BM_Ciede2000Loop(benchmark::State& state) {
    std::mt19937 random(1);
    const std::vector<float> r = Triples(random, true), s = Triples(random, true);
    const std::vector<double> reference(r.begin(), r.end()), sample(s.begin(), s.end());
    std::vector<double> difference(kColours);
    for (auto _ : state) {
        Ciede2000Loop(reference.data(), sample.data(), difference.data(), kColours);
        benchmark::DoNotOptimize(difference.data());
    }
    state.SetItemsProcessed(state.iterations() * kColours);
}

BENCHMARK(BM_XyzToLabLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeltaE94Loop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ciede2000Loop)->Unit(benchmark::kMillisecond);

}  // namespace
