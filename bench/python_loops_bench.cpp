// The C++ loops that bench/python_bench.py holds the Python package against: a million random
// colours (the same ranges as the script's) through CX_D50XYZ2LAB's general form, DeltaE94 and
// CIEDE2000, one call per colour, as a C++ host would write the loop.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

constexpr std::size_t kColours = 1000000;

// kColours triples, each value uniform in [low, high) but a* and b* in [-100, 100).
std::vector<float> Triples(float low, float high, bool lab) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> value(low, high), ab(-100.0f, 100.0f);
    std::vector<float> v(3 * kColours);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = lab && i % 3 ? ab(random) : value(random);
    return v;
}

void BM_XyzToLabLoop(benchmark::State& state) {
    const std::vector<float> xyz = Triples(0.0f, 100.0f, false);
    std::vector<float> lab(xyz.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < xyz.size(); i += 3)
            CX_XYZ2LAB_float(xyz[i], xyz[i + 1], xyz[i + 2], 96.42f, 100.0f, 82.49f, &lab[i],
                             &lab[i + 1], &lab[i + 2]);
        benchmark::DoNotOptimize(lab.data());
    }
    state.SetItemsProcessed(state.iterations() * kColours);
}

void BM_DeltaE94Loop(benchmark::State& state) {
    const std::vector<float> reference = Triples(0.0f, 100.0f, true);
    const std::vector<float> sample = Triples(0.0f, 100.0f, true);
    std::vector<float> difference(kColours);
    for (auto _ : state) {
        for (std::size_t k = 0; k < kColours; ++k)
            difference[k] = DeltaE94(&reference[3 * k], &sample[3 * k], 1.0f, 1.0f, 1.0f);
        benchmark::DoNotOptimize(difference.data());
    }
    state.SetItemsProcessed(state.iterations() * kColours);
}

void BM_Ciede2000Loop(benchmark::State& state) {
    const std::vector<float> reference = Triples(0.0f, 100.0f, true);
    const std::vector<float> sample = Triples(0.0f, 100.0f, true);
    std::vector<double> difference(kColours);
    for (auto _ : state) {
        for (std::size_t k = 0; k < kColours; ++k) {
            const float *r = &reference[3 * k], *s = &sample[3 * k];
            difference[k] = vantrel::measure::Ciede2000({r[0], r[1], r[2]}, {s[0], s[1], s[2]});
        }
        benchmark::DoNotOptimize(difference.data());
    }
    state.SetItemsProcessed(state.iterations() * kColours);
}

BENCHMARK(BM_XyzToLabLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeltaE94Loop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ciede2000Loop)->Unit(benchmark::kMillisecond);

}  // namespace
