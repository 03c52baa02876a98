// Cone spaces and chromatic adaptation between two white points: XYZ scaling, von Kries in
// two cone spaces, Bradford with and without its non-linear blue response.
//
// Every sum below is written in the order its terms are added; with -ffp-contract=off that
// order fixes the result to the bit, and callers (the monitor matrix among them) rely on it.
#include <cmath>
#include <cstdint>

#include "bradford_power.h"
#include "vantrel/colorimetry.h"

namespace {

struct Triple {
    float a, b, c;
};

float ClipToUnit(float value) {
    float larger = value > 0.0f ? value : 0.0f;
    return larger < 1.0f ? larger : 1.0f;
}

// --- Equal-energy cone space ------------------------------------------------------------------

Triple EquiEnergyCone(float X, float Y, float Z) {
    float L = (0.38971f * X + 0.68898f * Y) - 0.07868f * Z;
    float M = (1.1834f * Y - 0.22981f * X) + 0.04641f * Z;
    return {L, M, Z};
}

Triple EquiEnergyXyz(float L, float M, float S) {
    float X = (1.91019f * L - 1.11214f * M) + 0.20195f * S;
    float Y = 0.37095f * L + 0.62905f * M;
    return {X, Y, S};
}

Triple Clipped(Triple t) {
    return {ClipToUnit(t.a), ClipToUnit(t.b), ClipToUnit(t.c)};
}

// --- Hunt-Pointer-Estevez cone space, normalised to D65 ---------------------------------------

Triple HpeCone(float X, float Y, float Z) {
    float L = (0.40024f * X + 0.7076f * Y) - 0.08081f * Z;
    float M = (1.16532f * Y - 0.2263f * X) + 0.0457f * Z;
    float S = 0.91822f * Z;
    return {L, M, S};
}

Triple HpeXyz(float L, float M, float S) {
    float X = (1.8599364f * L - 1.1293817f * M) + 0.2198974f * S;
    float Y = (0.36119142f * L + 0.6388125f * M) - 0.0000063706f * S;
    float Z = 1.0890636f * S;
    return {X, Y, Z};
}

// --- Bradford ---------------------------------------------------------------------------------

// Below this luminance the Bradford responses are zero: X/Y and Z/Y would be meaningless.
constexpr float kLuminanceFloor = 0.0001f;
constexpr double kBlueExponent = 0.0834;

// Bradford responses of the luminance-normalised triple (X/Y, 1, Z/Y).
Triple BradfordCone(float X, float Y, float Z) {
    if (Y < kLuminanceFloor) return {0.0f, 0.0f, 0.0f};
    float x = X / Y;
    float z = Z / Y;
    float R = (0.8951f * x + 0.2664f) - 0.1614f * z;
    float G = (1.7135f - 0.7502f * x) + 0.0367f * z;
    float B = (0.0389f * x - 0.0685f) + 1.0296f * z;
    return {R, G, B};
}

// Inverse Bradford of adapted responses, times the luminance `scale`, into colour[0..2].
void StoreBradfordXyz(float R, float G, float B, float scale, float* colour) {
    colour[0] = ((0.9869929f * R - 0.14705426f * G) + 0.15996265f * B) * scale;
    colour[1] = ((0.43230528f * R + 0.51836026f * G) + 0.049291227f * B) * scale;
    colour[2] = ((0.04004282f * G - 0.008528665f * R) + 0.96848667f * B) * scale;
}

// The non-linear Bradford's white-dependent quantities, keyed by the responses of the two
// whites. One per thread: each thread sees exactly the sequence of hits and misses that a
// single memo would give its own calls, and no lock is needed. Zero until first overwritten,
// like the memo it stands for (a pair of all-zero responses therefore hits it at first).
struct BradfordMemo {
    Triple source, destination;
    double exponent;
    double blueFactor;
    double redRatio;
    double greenRatio;
};
thread_local BradfordMemo gBradfordMemo{};

bool SameResponses(const Triple& x, const Triple& y) {
    return x.a == y.a && x.b == y.b && x.c == y.c;
}

const BradfordMemo& NonLinearBradfordFactors(const Triple& s, const Triple& d) {
    BradfordMemo& memo = gBradfordMemo;
    if (SameResponses(memo.source, s) && SameResponses(memo.destination, d)) return memo;
    memo.source = s;
    memo.destination = d;
    memo.exponent = std::pow(static_cast<double>(s.c / d.c), kBlueExponent);
    memo.blueFactor = static_cast<double>(d.c) / std::pow(static_cast<double>(s.c), memo.exponent);
    memo.redRatio = static_cast<double>(d.a / s.a);
    memo.greenRatio = static_cast<double>(d.b / s.b);
    return memo;
}

// --- The algorithms, each over the whole array ------------------------------------------------

// The ratios are formed afresh for every triple, reading the whites each time, so that a
// white lying inside the array being adapted gives the same results as it always has.
void AdaptByXyzScaling(const float* s, const float* d, float* colours, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i, colours += 3) {
        colours[0] = (d[0] / s[0]) * colours[0];
        colours[1] = (d[1] / s[1]) * colours[1];
        colours[2] = (d[2] / s[2]) * colours[2];
    }
}

void AdaptByVonKries(const float* s, const float* d, float* colours, std::uint32_t count) {
    Triple cs = HpeCone(s[0], s[1], s[2]), cd = HpeCone(d[0], d[1], d[2]);
    float kL = cd.a / cs.a, kM = cd.b / cs.b, kS = cd.c / cs.c;
    for (std::uint32_t i = 0; i < count; ++i, colours += 3) {
        Triple c = HpeCone(colours[0], colours[1], colours[2]);
        Triple xyz = HpeXyz(kL * c.a, kM * c.b, kS * c.c);
        colours[0] = xyz.a;
        colours[1] = xyz.b;
        colours[2] = xyz.c;
    }
}

void AdaptByEquiEnergyVonKries(const float* s, const float* d, float* colours,
                               std::uint32_t count) {
    Triple cs = Clipped(EquiEnergyCone(s[0], s[1], s[2]));
    Triple cd = Clipped(EquiEnergyCone(d[0], d[1], d[2]));
    float kL = cd.a / cs.a, kM = cd.b / cs.b, kS = cd.c / cs.c;
    for (std::uint32_t i = 0; i < count; ++i, colours += 3) {
        Triple c = Clipped(EquiEnergyCone(colours[0], colours[1], colours[2]));
        // The scaled responses go back unclipped; only the resulting XYZ is clipped.
        Triple xyz = Clipped(EquiEnergyXyz(kL * c.a, kM * c.b, kS * c.c));
        colours[0] = xyz.a;
        colours[1] = xyz.b;
        colours[2] = xyz.c;
    }
}

// The linear Bradford adaptation of one triple with the white-dependent factors.
void AdaptTripleByLinearBradford(const vantrel::detail::LinearBradfordFactors& f, float* colour) {
    Triple c = BradfordCone(colour[0], colour[1], colour[2]);
    float scale = f.luminance * colour[1];
    StoreBradfordXyz(f.red * c.a, f.green * c.b, f.blue * c.c, scale, colour);
}

void AdaptByLinearBradford(const float* s, const float* d, float* colours, std::uint32_t count) {
    float kY = d[1] / s[1];
    Triple cs = BradfordCone(s[0], s[1], s[2]), cd = BradfordCone(d[0], d[1], d[2]);
    const vantrel::detail::LinearBradfordFactors f{kY, cd.a / cs.a, cd.b / cs.b, cd.c / cs.c};
    // Whole groups with vectors where the processor has them, the rest one at a time.
    const std::uint32_t done = vantrel::detail::AdaptLinearBradfordGroups(f, colours, count);
    for (std::uint32_t i = done; i < count; ++i) AdaptTripleByLinearBradford(f, colours + 3 * i);
}

void AdaptByBradford(const float* s, const float* d, float* colours, std::uint32_t count) {
    float kY = d[1] / s[1];
    Triple cs = BradfordCone(s[0], s[1], s[2]), cd = BradfordCone(d[0], d[1], d[2]);
    if (count == 0) return;  // the memo is neither read nor written
    // The whites are the same for every colour, so one look-up serves the whole array.
    const BradfordMemo& m = NonLinearBradfordFactors(cs, cd);
    // D x ratio + 1 - D with the degree of adaptation D = 1, evaluated as written.
    float redFactor = static_cast<float>(m.redRatio + 1.0 - 1.0);
    float greenFactor = static_cast<float>(m.greenRatio + 1.0 - 1.0);
    double blueFactor = m.blueFactor + 1.0 - 1.0;
    // Whole groups with vectors where the processor has them, the rest one at a time.
    const vantrel::detail::BradfordFactors f{kY, redFactor, greenFactor, m.exponent, blueFactor};
    const std::uint32_t done = vantrel::detail::AdaptBradfordGroups(f, colours, count);
    colours += 3 * done;
    for (std::uint32_t i = done; i < count; ++i, colours += 3) {
        Triple c = BradfordCone(colours[0], colours[1], colours[2]);
        float Rc = redFactor * c.a;
        float Gc = greenFactor * c.b;
        float Bc = vantrel::detail::BradfordBluePower(c.c, m.exponent, blueFactor);
        float scale = kY * colours[1];
        StoreBradfordXyz(Rc, Gc, Bc, scale, colours);
    }
}

}  // namespace

void EquiEnergyXYZToCone(float X, float Y, float Z, float* L, float* M, float* S) {
    Triple c = EquiEnergyCone(X, Y, Z);
    *L = c.a;
    *M = c.b;
    *S = c.c;
    *L = ClipToUnit(*L);
    *M = ClipToUnit(*M);
    *S = ClipToUnit(*S);
}

void ConeToEquiEnergyXYZ(float L, float M, float S, float* X, float* Y, float* Z) {
    Triple c = EquiEnergyXyz(L, M, S);
    *X = c.a;
    *Y = c.b;
    *Z = c.c;
    *X = ClipToUnit(*X);
    *Y = ClipToUnit(*Y);
    *Z = ClipToUnit(*Z);
}

void ChromaticAdapt(const float* srcWhite, const float* dstWhite, float* colors,
                    std::uint32_t count, EChromaticAdaptationAlgorithm algorithm) {
    switch (algorithm) {
        case CA_VonKries:
            AdaptByVonKries(srcWhite, dstWhite, colors, count);
            return;
        case CA_Bradford:
            AdaptByBradford(srcWhite, dstWhite, colors, count);
            return;
        case CA_EquiEnergyVonKries:
            AdaptByEquiEnergyVonKries(srcWhite, dstWhite, colors, count);
            return;
        case CA_LinearBradford:
            AdaptByLinearBradford(srcWhite, dstWhite, colors, count);
            return;
        default:
            AdaptByXyzScaling(srcWhite, dstWhite, colors, count);
            return;
    }
}
