// ns per call of the colour differences, RGB encodings and HSV, spectra and densities,
// lightness and chromatic adaptation, each over a fixed set of pseudo-random inputs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

constexpr size_t kInputs = 4096;  // values per input set; calls cycle through them

std::vector<float> Inputs(float low, float high, size_t count = 3 * kInputs) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> dist(low, high);
    std::vector<float> v(count);
    for (float& x : v) x = dist(rng);
    return v;
}

// L*a*b* triples with L* in 0..100 and a*, b* in -100..100.
std::vector<float> LabInputs() {
    auto v = Inputs(-100.0f, 100.0f);
    for (size_t i = 0; i < v.size(); i += 3) v[i] = (v[i] + 100.0f) * 0.5f;
    return v;
}

// --- Colour differences -----------------------------------------------------------------------

template <typename Metric>
void RunDifference(benchmark::State& state, Metric metric) {
    auto lab = LabInputs();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(metric(&lab[i], &lab[(i + 3) % lab.size()]));
        i = (i + 3) % lab.size();
    }
}

void BM_DeltaE(benchmark::State& state) {
    RunDifference(state, DeltaE);
}
void BM_DeltaE94(benchmark::State& state) {
    RunDifference(state, [](const float* r, const float* s) { return DeltaE94(r, s, 1, 1, 1); });
}
void BM_DeltaECMC(benchmark::State& state) {
    RunDifference(state, [](const float* r, const float* s) { return DeltaECMC(r, s, 2, 1); });
}
BENCHMARK(BM_DeltaE);
BENCHMARK(BM_DeltaE94);
BENCHMARK(BM_DeltaECMC);

// --- RGB encodings and HSV --------------------------------------------------------------------

template <typename Encode>
void RunTriple(benchmark::State& state, const std::vector<float>& in, Encode encode) {
    size_t i = 0;
    float r, g, b;
    for (auto _ : state) {
        encode(in[i], in[i + 1], in[i + 2], &r, &g, &b);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(g);
        benchmark::DoNotOptimize(b);
        i = (i + 3) % in.size();
    }
}

void BM_XYZ2SRGB(benchmark::State& state) {
    RunTriple(state, Inputs(0.0f, 1.0f), XYZ2SRGB);
}
void BM_LAB2SRGB(benchmark::State& state) {
    RunTriple(state, LabInputs(), LAB2SRGB);
}
void BM_LAB2CalibratedRGB(benchmark::State& state) {
    static const float kMatrix[9] = {3.1342f, -1.6172f, -0.4907f, -0.9787f, 1.9161f,
                                     0.0334f, 0.0720f,  -0.2290f, 1.4058f};
    RunTriple(state, LabInputs(), [](float L, float a, float b, float* R, float* G, float* B) {
        LAB2CalibratedRGB(kMatrix, 2.2f, L, a, b, R, G, B);
    });
}
void BM_RGB2HSV(benchmark::State& state) {
    RunTriple(state, Inputs(0.0f, 1.0f), RGB2HSV);
}
BENCHMARK(BM_XYZ2SRGB);
BENCHMARK(BM_LAB2SRGB);
BENCHMARK(BM_LAB2CalibratedRGB);
BENCHMARK(BM_RGB2HSV);

// --- Spectra and densities --------------------------------------------------------------------

constexpr size_t kSpectra = 256;

template <typename Integrate>
void RunSpectrum(benchmark::State& state, Integrate integrate) {
    auto spectra = Inputs(0.0f, 1.0f, 32 * kSpectra);
    size_t i = 0;
    float out[4];
    for (auto _ : state) {
        integrate(&spectra[32 * i], out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) % kSpectra;
    }
}

void BM_SpectrumToD50XYZ(benchmark::State& state) {
    RunSpectrum(state, CX_SpectrumToD50XYZ);
}
void BM_SpectrumToDensityT(benchmark::State& state) {
    RunSpectrum(state, SpectrumToDensityT);
}
void BM_SpectrumToDensityI(benchmark::State& state) {
    RunSpectrum(state, SpectrumToDensityI);
}
void BM_D50XYZ2StatusTDensity(benchmark::State& state) {
    auto in = Inputs(0.0f, 1.0f);
    size_t i = 0;
    float d[4];
    for (auto _ : state) {
        D50XYZ2StatusTDensity_VW(in[i], in[i + 1], in[i + 2], &d[0], &d[1], &d[2], &d[3]);
        benchmark::DoNotOptimize(d);
        i = (i + 3) % in.size();
    }
}
BENCHMARK(BM_SpectrumToD50XYZ);
BENCHMARK(BM_SpectrumToDensityT);
BENCHMARK(BM_SpectrumToDensityI);
BENCHMARK(BM_D50XYZ2StatusTDensity);

// --- Lightness and L clipping -----------------------------------------------------------------

template <typename Convert>
void RunScalar(benchmark::State& state, Convert convert) {
    auto in = Inputs(0.0f, 100.0f, kInputs);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(convert(in[i]));
        i = (i + 1) % in.size();
    }
}

void BM_Y2LDblStar(benchmark::State& state) {
    RunScalar(state, [](float y) { return Y2LDblStar_AveSurround(y, 100.0f); });
}
void BM_L2LDblStar(benchmark::State& state) {
    RunScalar(state, L2LDblStar_AveSurround);
}
void BM_LDblStar2L(benchmark::State& state) {
    RunScalar(state, LDblStar2L_AveSurround);
}
void BM_LClipping(benchmark::State& state) {
    auto lab = LabInputs();
    size_t i = 0;
    for (auto _ : state) {
        float L = lab[i] + 20.0f, a = lab[i + 1], b = lab[i + 2];
        LClipping(L, a, b, 100.0f);
        benchmark::DoNotOptimize(L);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        i = (i + 3) % lab.size();
    }
}
BENCHMARK(BM_Y2LDblStar);
BENCHMARK(BM_L2LDblStar);
BENCHMARK(BM_LDblStar2L);
BENCHMARK(BM_LClipping);

// --- Chromatic adaptation ---------------------------------------------------------------------

const float kD65[3] = {0.9505f, 1.0f, 1.089f};
const float kD50[3] = {0.9642f, 1.0f, 0.8249f};

// One colour per call, D65 to D50; with CA_Bradford every call after the first hits the memo.
void BM_ChromaticAdapt(benchmark::State& state) {
    auto algorithm = static_cast<EChromaticAdaptationAlgorithm>(state.range(0));
    auto in = Inputs(0.01f, 1.0f);
    size_t i = 0;
    float colour[3];
    for (auto _ : state) {
        colour[0] = in[i];
        colour[1] = in[i + 1];
        colour[2] = in[i + 2];
        ChromaticAdapt(kD65, kD50, colour, 1, algorithm);
        benchmark::DoNotOptimize(colour);
        i = (i + 3) % in.size();
    }
}
BENCHMARK(BM_ChromaticAdapt)
    ->ArgName("algorithm")
    ->Arg(CA_XYZScaling)
    ->Arg(CA_VonKries)
    ->Arg(CA_Bradford)
    ->Arg(CA_EquiEnergyVonKries)
    ->Arg(CA_LinearBradford);

// CA_Bradford alternating between two pairs of whites, so that every call misses the memo.
void BM_ChromaticAdaptBradfordMemoMiss(benchmark::State& state) {
    auto in = Inputs(0.01f, 1.0f);
    size_t i = 0;
    float colour[3];
    bool flip = false;
    for (auto _ : state) {
        colour[0] = in[i];
        colour[1] = in[i + 1];
        colour[2] = in[i + 2];
        ChromaticAdapt(flip ? kD50 : kD65, flip ? kD65 : kD50, colour, 1, CA_Bradford);
        benchmark::DoNotOptimize(colour);
        flip = !flip;
        i = (i + 3) % in.size();
    }
}
BENCHMARK(BM_ChromaticAdaptBradfordMemoMiss);

void BM_EquiEnergyXYZToCone(benchmark::State& state) {
    RunTriple(state, Inputs(0.0f, 1.0f), EquiEnergyXYZToCone);
}
BENCHMARK(BM_EquiEnergyXYZToCone);

}  // namespace
