// ns per call of the XYZ, L*a*b* and LCh conversions over a fixed set of inputs.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

std::vector<float> Inputs(float low, float high) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> dist(low, high);
    std::vector<float> v(3 * 4096);
    for (float& x : v) x = dist(rng);
    return v;
}

void BM_D50XYZ2LAB(benchmark::State& state) {
    auto in = Inputs(0.0f, 100.0f);
    size_t i = 0;
    float L, a, b;
    for (auto _ : state) {
        CX_D50XYZ2LAB(in[i], in[i + 1], in[i + 2], &L, &a, &b);
        benchmark::DoNotOptimize(L);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        i = (i + 3) % in.size();
    }
}
BENCHMARK(BM_D50XYZ2LAB);

void BM_D50LAB2XYZ(benchmark::State& state) {
    auto in = Inputs(-50.0f, 100.0f);
    size_t i = 0;
    float X, Y, Z;
    for (auto _ : state) {
        CX_D50LAB2XYZ(in[i] < 0 ? -in[i] : in[i], in[i + 1], in[i + 2], &X, &Y, &Z);
        benchmark::DoNotOptimize(X);
        benchmark::DoNotOptimize(Y);
        benchmark::DoNotOptimize(Z);
        i = (i + 3) % in.size();
    }
}
BENCHMARK(BM_D50LAB2XYZ);

void BM_LAB2LCH(benchmark::State& state) {
    auto in = Inputs(-100.0f, 100.0f);
    size_t i = 0;
    float lch[3];
    for (auto _ : state) {
        LAB2LCH(&in[i], lch);
        benchmark::DoNotOptimize(lch);
        i = (i + 3) % in.size();
    }
}
BENCHMARK(BM_LAB2LCH);

}  // namespace
