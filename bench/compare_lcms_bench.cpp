// The per-call colour functions against their Little CMS counterparts on the same million
// inputs, and ChromaticAdapt over a million triples against a plain 3x3 matrix multiply of the
// same triples. One benchmark iteration covers all million inputs, so its time in
// milliseconds is the time per call (or per triple) in nanoseconds.
//
// Names are "<ours> vs <anchor>@ours" and "...@anchor"; bench/compare pairs them.
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

constexpr size_t kCount = 1000000;

// One million colours: XYZ on the percent scale around D50, L*a*b* with L* 0 .. 100 and a*,
// b* -100 .. 100, and the same values in Little CMS's double structures (XYZ on the unit
// scale, as it expects).
struct Inputs {
    std::vector<float> xyz, lab;
    std::vector<cmsCIEXYZ> xyzLcms;
    std::vector<cmsCIELab> labLcms;

    Inputs() : xyz(3 * kCount), lab(3 * kCount), xyzLcms(kCount), labLcms(kCount) {
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f), signedUnit(-1.0f, 1.0f);
        for (size_t i = 0; i < kCount; ++i) {
            float* x = &xyz[3 * i];
            x[0] = 96.42f * unit(rng);
            x[1] = 100.0f * unit(rng);
            x[2] = 82.49f * unit(rng);
            xyzLcms[i] = {x[0] / 100.0, x[1] / 100.0, x[2] / 100.0};
            float* l = &lab[3 * i];
            l[0] = 100.0f * unit(rng);
            l[1] = 100.0f * signedUnit(rng);
            l[2] = 100.0f * signedUnit(rng);
            labLcms[i] = {l[0], l[1], l[2]};
        }
    }
};

const Inputs& In() {
    static const Inputs kInputs;
    return kInputs;
}

// Each function writes its results to an array that the loop keeps, so nothing is elided.
template <typename Body>
void Run(benchmark::State& state, Body body) {
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
    }
}

void XyzToLabOurs(benchmark::State& state) {
    const Inputs& in = In();
    std::vector<float> out(3 * kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i) {
            const float* x = &in.xyz[3 * i];
            CX_D50XYZ2LAB(x[0], x[1], x[2], &out[3 * i], &out[3 * i + 1], &out[3 * i + 2]);
        }
    });
}
void XyzToLabAnchor(benchmark::State& state) {
    const Inputs& in = In();
    std::vector<cmsCIELab> out(kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i) cmsXYZ2Lab(cmsD50_XYZ(), &out[i], &in.xyzLcms[i]);
    });
}

void LabToXyzOurs(benchmark::State& state) {
    const Inputs& in = In();
    std::vector<float> out(3 * kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i) {
            const float* l = &in.lab[3 * i];
            CX_D50LAB2XYZ(l[0], l[1], l[2], &out[3 * i], &out[3 * i + 1], &out[3 * i + 2]);
        }
    });
}
void LabToXyzAnchor(benchmark::State& state) {
    const Inputs& in = In();
    std::vector<cmsCIEXYZ> out(kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i) cmsLab2XYZ(cmsD50_XYZ(), &out[i], &in.labLcms[i]);
    });
}

// Differences between each colour and the next one.
template <typename Difference>
void DifferenceOurs(benchmark::State& state, Difference difference) {
    const Inputs& in = In();
    std::vector<float> out(kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i)
            out[i] = difference(&in.lab[3 * i], &in.lab[3 * ((i + 1) % kCount)]);
    });
}
template <typename Difference>
void DifferenceAnchor(benchmark::State& state, Difference difference) {
    const Inputs& in = In();
    std::vector<double> out(kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i)
            out[i] = difference(&in.labLcms[i], &in.labLcms[(i + 1) % kCount]);
    });
}

void LabToLchOurs(benchmark::State& state) {
    const Inputs& in = In();
    std::vector<float> out(3 * kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i) LAB2LCH(&in.lab[3 * i], &out[3 * i]);
    });
}
void LabToLchAnchor(benchmark::State& state) {
    const Inputs& in = In();
    std::vector<cmsCIELCh> out(kCount);
    Run(state, [&] {
        for (size_t i = 0; i < kCount; ++i) cmsLab2LCh(&out[i], &in.labLcms[i]);
    });
}

// --- Chromatic adaptation ------------------------------------------------------------------

constexpr float kD65[3] = {0.9505f, 1.0f, 1.089f};
constexpr float kD50[3] = {0.9642f, 1.0f, 0.8249f};

// XYZ triples on the unit scale. Iterations alternate between D65 -> D50 and back, so that the
// colours stay where they are instead of drifting over thousands of iterations.
std::vector<float> Triples() {
    std::vector<float> t(3 * kCount);
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> unit(0.01f, 1.0f);
    for (float& v : t) v = unit(rng);
    return t;
}

void Adapt(benchmark::State& state, EChromaticAdaptationAlgorithm algorithm) {
    std::vector<float> colours = Triples();
    bool forward = true;
    for (auto _ : state) {
        ChromaticAdapt(forward ? kD65 : kD50, forward ? kD50 : kD65, colours.data(),
                       static_cast<std::uint32_t>(kCount), algorithm);
        forward = !forward;
        benchmark::ClobberMemory();
    }
}
void AdaptLinearBradford(benchmark::State& state) {
    Adapt(state, CA_LinearBradford);
}
void AdaptBradford(benchmark::State& state) {
    Adapt(state, CA_Bradford);
}

// The floor: each triple replaced by M times it, M and its inverse alternating (the linear
// Bradford adaptation from D65 to D50 and back, to four digits).
void MatrixMultiply(benchmark::State& state) {
    static const float kForward[9] = {1.0478f,  0.0229f,  -0.0501f, 0.0295f, 0.9905f,
                                      -0.0171f, -0.0092f, 0.0150f,  0.7521f};
    static const float kBackward[9] = {0.9555f, -0.0231f, 0.0633f,  -0.0284f, 1.0100f,
                                       0.0210f, 0.0123f,  -0.0205f, 1.3304f};
    std::vector<float> colours = Triples();
    bool forward = true;
    for (auto _ : state) {
        const float* m = forward ? kForward : kBackward;
        float* c = colours.data();
        for (size_t i = 0; i < kCount; ++i, c += 3) {
            const float x = c[0], y = c[1], z = c[2];
            c[0] = m[0] * x + m[1] * y + m[2] * z;
            c[1] = m[3] * x + m[4] * y + m[5] * z;
            c[2] = m[6] * x + m[7] * y + m[8] * z;
        }
        forward = !forward;
        benchmark::ClobberMemory();
    }
}

#if defined(__x86_64__) || defined(__i386__)
// The same multiply eight triples at a time with 256-bit vectors: the triples split into X,
// Y and Z vectors and interleaved back as ChromaticAdapt does it, so that the gap to the
// adaptation is its arithmetic (two divisions and 24 products per triple) alone.
typedef float Vec8 __attribute__((vector_size(32)));
typedef float UnalignedVec8 __attribute__((vector_size(32), aligned(4), may_alias));

__attribute__((target("avx2"))) void MultiplyGroups(const float* m, float* c, size_t count) {
    for (size_t i = 0; i + 8 <= count; i += 8, c += 24) {
        UnalignedVec8* v = reinterpret_cast<UnalignedVec8*>(c);
        const Vec8 v0 = v[0], v1 = v[1], v2 = v[2];
        // A shuffle's indices count through both operands: 0 to 7 the first, 8 to 15 the second.
        // X, Y and Z of the first triples come from v0 and v1, the rest from v2.
        const Vec8 x01 = __builtin_shufflevector(v0, v1, 0, 3, 6, 9, 12, 15, 0, 0);
        const Vec8 y01 = __builtin_shufflevector(v0, v1, 1, 4, 7, 10, 13, 0, 0, 0);
        const Vec8 z01 = __builtin_shufflevector(v0, v1, 2, 5, 8, 11, 14, 0, 0, 0);
        const Vec8 x = __builtin_shufflevector(x01, v2, 0, 1, 2, 3, 4, 5, 10, 13);
        const Vec8 y = __builtin_shufflevector(y01, v2, 0, 1, 2, 3, 4, 8, 11, 14);
        const Vec8 z = __builtin_shufflevector(z01, v2, 0, 1, 2, 3, 4, 9, 12, 15);
        const Vec8 X = m[0] * x + m[1] * y + m[2] * z;
        const Vec8 Y = m[3] * x + m[4] * y + m[5] * z;
        const Vec8 Z = m[6] * x + m[7] * y + m[8] * z;
        // Back to triples: X and Y interleaved first, then Z put in its places.
        const Vec8 xy0 = __builtin_shufflevector(X, Y, 0, 8, 0, 1, 9, 0, 2, 10);
        const Vec8 xy1 = __builtin_shufflevector(X, Y, 0, 3, 11, 0, 4, 12, 0, 5);
        const Vec8 xy2 = __builtin_shufflevector(X, Y, 13, 0, 6, 14, 0, 7, 15, 0);
        v[0] = __builtin_shufflevector(xy0, Z, 0, 1, 8, 3, 4, 9, 6, 7);
        v[1] = __builtin_shufflevector(xy1, Z, 10, 1, 2, 11, 4, 5, 12, 7);
        v[2] = __builtin_shufflevector(xy2, Z, 0, 13, 2, 3, 14, 5, 6, 15);
    }
}

void MatrixMultiplyVectors(benchmark::State& state) {
    static const float kForward[9] = {1.0478f,  0.0229f,  -0.0501f, 0.0295f, 0.9905f,
                                      -0.0171f, -0.0092f, 0.0150f,  0.7521f};
    static const float kBackward[9] = {0.9555f, -0.0231f, 0.0633f,  -0.0284f, 1.0100f,
                                       0.0210f, 0.0123f,  -0.0205f, 1.3304f};
    std::vector<float> colours = Triples();
    bool forward = true;
    for (auto _ : state) {
        MultiplyGroups(forward ? kForward : kBackward, colours.data(), kCount);
        forward = !forward;
        benchmark::ClobberMemory();
    }
}
#endif

void Pair(const std::string& row, void (*ours)(benchmark::State&),
          void (*anchor)(benchmark::State&)) {
    benchmark::RegisterBenchmark((row + "@ours").c_str(), ours)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((row + "@anchor").c_str(), anchor)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    Pair("CX_D50XYZ2LAB vs cmsXYZ2Lab", XyzToLabOurs, XyzToLabAnchor);
    Pair("CX_D50LAB2XYZ vs cmsLab2XYZ", LabToXyzOurs, LabToXyzAnchor);
    Pair(
        "DeltaE vs cmsDeltaE", [](benchmark::State& s) { DifferenceOurs(s, DeltaE); },
        [](benchmark::State& s) { DifferenceAnchor(s, cmsDeltaE); });
    Pair(
        "DeltaE94 vs cmsCIE94DeltaE",
        [](benchmark::State& s) {
            DifferenceOurs(s,
                           [](const float* r, const float* x) { return DeltaE94(r, x, 1, 1, 1); });
        },
        [](benchmark::State& s) { DifferenceAnchor(s, cmsCIE94DeltaE); });
    Pair(
        "DeltaECMC vs cmsCMCdeltaE",
        [](benchmark::State& s) {
            DifferenceOurs(s, [](const float* r, const float* x) { return DeltaECMC(r, x, 2, 1); });
        },
        [](benchmark::State& s) {
            DifferenceAnchor(
                s, [](const cmsCIELab* r, const cmsCIELab* x) { return cmsCMCdeltaE(r, x, 2, 1); });
        });
    Pair("LAB2LCH vs cmsLab2LCh", LabToLchOurs, LabToLchAnchor);
    Pair("ChromaticAdapt linear Bradford vs 3x3 multiply", AdaptLinearBradford, MatrixMultiply);
    Pair("ChromaticAdapt Bradford vs 3x3 multiply", AdaptBradford, MatrixMultiply);
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2"))
        Pair("ChromaticAdapt linear Bradford vs 3x3 multiply in vectors", AdaptLinearBradford,
             MatrixMultiplyVectors);
#endif

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
