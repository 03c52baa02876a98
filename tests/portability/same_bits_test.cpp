// Every pure family on a fixed set of inputs, each family's output bits reduced to one digest.
// The digests are pinned, so the suite passes on each platform it is built for (x86-64 Linux,
// aarch64 Linux, Windows) only where that platform computes every one of these bits as the
// others do.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"
#include "vantrel/linalg.h"
#include "vantrel/settings.h"

namespace {

// FNV-1a over the bits of every value added (NaNs as one value: their sign and payload are
// the processor's), fed by reproducible floats.
struct Digest {
    std::uint64_t hash = 0xCBF29CE484222325ull, state = 0x9E3779B97F4A7C15ull;

    void Add(float value) {
        const std::uint32_t bits = std::isnan(value) ? 0x7FC00000u : testing_support::Bits(value);
        for (int i = 0; i < 4; ++i) hash = (hash ^ ((bits >> (8 * i)) & 0xFF)) * 0x100000001B3ull;
    }
    void Add(double value) {
        const std::uint64_t bits = testing_support::Bits(value);
        Add(testing_support::FloatFromBits(static_cast<std::uint32_t>(bits)));
        Add(testing_support::FloatFromBits(static_cast<std::uint32_t>(bits >> 32)));
    }
    void Add(const float* values, int count) {
        for (int i = 0; i < count; ++i) Add(values[i]);
    }
    // Draws in a fixed order: never several in one call's arguments, whose order of evaluation
    // the compiler chooses (braced lists are evaluated in order).
    float Draw(float low, float high) {  // uniform over [low, high]
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return low + (high - low) * static_cast<float>(state >> 40) / 16777216.0f;
    }
};

using Triple = void (*)(float, float, float, float*, float*, float*);

void Triples(Digest& d, std::initializer_list<Triple> functions, float low, float high) {
    for (Triple f : functions) {
        float out[3];
        const float v[3] = {d.Draw(low, high), d.Draw(low, high), d.Draw(low, high)};
        f(v[0], v[1], v[2], &out[0], &out[1], &out[2]);
        d.Add(out, 3);
    }
}

void Conversions(Digest& d) {
    Triples(d, {CX_D50XYZ2LAB, CX_D50LAB2XYZ, CX_LCH2LAB}, -130, 130);
    float out[3], white[3] = {d.Draw(0.5f, 1), 1, d.Draw(0.5f, 1)};
    const float xyz[3] = {d.Draw(0, 110), d.Draw(0, 110), d.Draw(0, 110)};
    const float lab[3] = {d.Draw(0, 100), d.Draw(-128, 128), d.Draw(-128, 128)};
    CX_XYZ2LAB_float(xyz[0], xyz[1], xyz[2], 90, 100, 80, &out[0], &out[1], &out[2]);
    d.Add(out, 3);
    CX_LAB2XYZ_float(lab[0], lab[1], lab[2], 95, 100, 108, &out[0], &out[1], &out[2]);
    d.Add(out, 3);
    CX_XYZ255ToL255AB(xyz[0], xyz[1], xyz[2], &out[0], &out[1], &out[2], white);
    d.Add(out, 3);
    CX_L255ABToXYZ255(2.55f * lab[0], lab[1], lab[2], &out[0], &out[1], &out[2], white);
    d.Add(out, 3);
    LAB2LCH(lab, out), d.Add(out, 3);
}

void Differences(Digest& d) {
    const float a[3] = {d.Draw(0, 100), d.Draw(-128, 128), d.Draw(-128, 128)};
    const float b[3] = {d.Draw(0, 100), d.Draw(-128, 128), d.Draw(-128, 128)};
    const float k[3] = {d.Draw(0.5f, 2), d.Draw(0.5f, 2), d.Draw(0.5f, 2)};
    d.Add(DeltaE(a, b)), d.Add(DeltaE94(a, b, k[0], k[1], k[2])),
        d.Add(DeltaECMC(a, b, k[0], k[1]));
}

void Encodings(Digest& d) {
    Triples(d, {XYZ2SRGB, XYZ2ColorMatchRGB, RGB2HSV, EquiEnergyXYZToCone, ConeToEquiEnergyXYZ}, 0,
            1);
    Triples(d, {LAB2SRGB, LAB2ColorMatchRGB}, -100, 100);
    static const float kMatrix[9] = {3.1338f, -1.6169f, -0.4907f, -0.9788f, 1.9161f,
                                     0.0335f, 0.0719f,  -0.2290f, 1.4052f};
    const float v[4] = {d.Draw(1, 3), d.Draw(0, 1), d.Draw(0, 1), d.Draw(0, 1)};  // gamma, XYZ
    float out[3];
    XYZ2CalibratedRGB(kMatrix, v[0], v[1], v[2], v[3], &out[0], &out[1], &out[2]), d.Add(out, 3);
    LAB2CalibratedRGB(kMatrix, v[0], 100 * v[1], 256 * v[2] - 128, 256 * v[3] - 128, &out[0],
                      &out[1], &out[2]);
    d.Add(out, 3);
}

void Spectra(Digest& d) {
    float spectrum[32], out[4], v[4];
    for (float& value : spectrum) value = d.Draw(0, 1);
    for (float& value : v) value = d.Draw(0, 1);
    CX_SpectrumToD50XYZ(spectrum, out), d.Add(out, 3);
    SpectrumToDensityT(spectrum, out), d.Add(out, 4);
    SpectrumToDensityI(spectrum, out), d.Add(out, 4);
    XYZ2VisualDensity(100 * v[0], 100 * v[1], 100 * v[2], out), d.Add(out[0]);
    LAB2VisualDensity(100 * v[0], 256 * v[1] - 128, 256 * v[2] - 128, out), d.Add(out[0]);
    D50XYZ2StatusTDensity_VW(v[0], v[1], v[2], &out[0], &out[1], &out[2], &out[3]), d.Add(out, 4);
    StatusTDensity2D50XYZ_VW(3 * v[0], 3 * v[1], 3 * v[2], 3 * v[3], &out[0], &out[1], &out[2]);
    d.Add(out, 3);
}

void Lightness(Digest& d) {
    d.Add(Y2LDblStar_AveSurround(d.Draw(0, 100), 100));
    d.Add(LDblStar2Y_AveSurround(d.Draw(0, 100), 100));
    d.Add(L2LDblStar_AveSurround(d.Draw(0, 100)));
    d.Add(LDblStar2L_AveSurround(d.Draw(0, 100)));
    float lab[3] = {d.Draw(0, 110), d.Draw(-128, 128), d.Draw(-128, 128)};
    LClipping(lab[0], lab[1], lab[2], d.Draw(80, 100));
    d.Add(lab, 3);
}

void Adaptation(Digest& d) {
    const float source[3] = {d.Draw(0.9f, 1), 1, d.Draw(0.8f, 1.1f)},
                target[3] = {0.9642f, 1, 0.8249f};
    for (int algorithm = 0; algorithm <= 4; ++algorithm) {
        float colours[6];
        for (float& value : colours) value = d.Draw(0, 1);
        ChromaticAdapt(source, target, colours, 2,
                       static_cast<EChromaticAdaptationAlgorithm>(algorithm));
        d.Add(colours, 6);
    }
}

void MonitorMatrix(Digest& d) {
    PF_MonitorSettings m;
    GetDefaultMonitor(m);
    m.fRedX = d.Draw(0.6f, 0.7f), m.fRedY = d.Draw(0.28f, 0.34f);
    m.fGreenX = d.Draw(0.2f, 0.3f), m.fGreenY = d.Draw(0.6f, 0.7f);
    m.fBlueX = d.Draw(0.14f, 0.16f), m.fBlueY = d.Draw(0.04f, 0.07f);
    m.fWhiteX = d.Draw(0.3f, 0.35f), m.fWhiteY = d.Draw(0.32f, 0.36f);
    float forward[3][3], inverse[3][3];
    d.Add(static_cast<float>(GetMonitorTransformMatrix(m, forward, inverse)));
    d.Add(&forward[0][0], 9), d.Add(&inverse[0][0], 9);
}

template <typename T>
void Solve3(Digest& d) {
    T m[3][3], b[3], x[3] = {};
    for (int i = 0; i < 9; ++i) m[i / 3][i % 3] = d.Draw(-10, 10), b[i % 3] = d.Draw(-10, 10);
    T* rows[3] = {m[0], m[1], m[2]};
    int kind = -1;
    d.Add(static_cast<float>(LinSolve3(rows, b, x, kind) + kind));
    d.Add(static_cast<float>(Invert3x3Matrix(rows)));
    for (int i = 0; i < 9; ++i) d.Add(m[i / 3][i % 3]), d.Add(x[i % 3]);
}

void Linalg(Digest& d) {
    Solve3<float>(d), Solve3<double>(d);
    const int n = 2 + static_cast<int>(d.Draw(0, 14));
    std::vector<float> storage(n * n), b(n), x(n);
    std::vector<float*> rows(n);
    for (int i = 0; i < n * n; ++i) storage[i] = d.Draw(-10, 10), b[i % n] = d.Draw(-10, 10);
    for (int i = 0; i < n; ++i) rows[i] = &storage[i * n];
    int kind = -1;
    d.Add(static_cast<float>(LinSolve(rows.data(), b.data(), n, x.data(), kind) + kind));
    d.Add(x.data(), n);
}

TEST(SameBits, EveryPureFamilyGivesThePinnedDigest) {
    const struct {
        const char* family;
        void (*round)(Digest&);
        std::uint64_t pinned;
    } cases[] = {
        {"conversions", Conversions, 0x8b1ac8864490e536},
        {"differences", Differences, 0x560922dcaa11de0d},
        {"encodings and cones", Encodings, 0x8a6d4bd3725ada8f},
        {"spectra", Spectra, 0x4113f643dacf1733},
        {"lightness", Lightness, 0x2fc257ff83e4289},
        {"adaptation", Adaptation, 0xcf878f6c1e2f1420},
        {"monitor matrix", MonitorMatrix, 0x837d2c62ba10838b},
        {"linear algebra", Linalg, 0xe68915904a22a665},
    };
    for (const auto& c : cases) {
        Digest digest;
        for (int i = 0; i < 20000; ++i) c.round(digest);
        EXPECT_EQ(digest.hash, c.pinned) << c.family << ": 0x" << std::hex << digest.hash;
    }
}

}  // namespace
