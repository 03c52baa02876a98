// Cone spaces and chromatic adaptation. Each sum is evaluated in the order it is written, so
// every result is exact and the tables hold the bits as hexadecimal floats; only the published
// D50 values of the sRGB primaries are rounded (to four decimals).
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Hex;

const float kD50[3] = {0.9642f, 1.0f, 0.8249f};
const float kD65[3] = {0.9505f, 1.0f, 1.089f};
const float kA[3] = {1.0985f, 1.0f, 0.35585f};
// Far off the locus: the ratios of the Bradford responses fall so far below 1 that
// D x ratio + 1 - D (D = 1) keeps only their leading bits, and the blue factor becomes 0.
const float kFar[3] = {1e12f, 1.0f, 1e12f};

void ExpectBits(const float* got, const float* expected, const std::string& what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Hex(got[i]), Hex(expected[i])) << what << ", component " << i;
}

TEST(EquiEnergyCone, ConversionsGiveTheseBitsClippedToTheUnitRange) {
    struct Case {
        const char* what;
        bool toCone;
        float in[3], out[3];
    } cases[] = {
        // clang-format off
        {"L below 0 and S above 1 clip", true, {0, 0, 2}, {0, 0x1.7c30d4p-4, 1}},
        {"cones", true, {0.2f, 0.3f, 0.4f}, {0x1.033d6ep-2, 0x1.4f7c24p-2, 0x1.99999ap-2}},
        {"cones", true, {0.41f, 0.21f, 0.02f}, {0x1.3629aap-2, 0x1.3de408p-3, 0x1.47ae14p-6}},
        {"the white's X is a float sum just below 1", false, {1, 1, 1}, {0x1.fffffep-1, 1, 1}},
        {"X above 1 clips", false, {1, 0, 1}, {1, 0x1.7bda52p-2, 1}},
        {"XYZ", false, {0.41f, 0.21f, 0.02f}, {0x1.1b7a4ep-1, 0x1.2302b4p-2, 0x1.47ae14p-6}},
        {"X below 0 clips", false, {0.36f, 0.72f, 0.12f}, {0, 0x1.2c443ap-1, 0x1.eb851ep-4}},
        // clang-format on
    };
    for (const Case& c : cases) {
        float out[3];
        (c.toCone ? EquiEnergyXYZToCone : ConeToEquiEnergyXYZ)(c.in[0], c.in[1], c.in[2], &out[0],
                                                               &out[1], &out[2]);
        ExpectBits(out, c.out, c.what);
    }
}

// Adapted one call each: these four colours (the last with a negative blue response, whose
// sign the non-linear Bradford keeps), then the source white, which lands within a few float
// steps of the destination white (but for the far white and the clipping equal-energy space).
const float kColours[4][3] = {
    {0.2f, 0.3f, 0.4f}, {0.41f, 0.21f, 0.02f}, {0.36f, 0.72f, 0.12f}, {0.2f, 0.5f, -0.1f}};

struct AdaptCase {
    const char* what;
    EChromaticAdaptationAlgorithm algorithm;
    const float *source, *destination;
    float adapted[5][3];
};

// clang-format off
const AdaptCase kAdaptCases[] = {
    {"XYZ scaling, D65 to D50", CA_XYZScaling, kD65, kD50,
     {{0x1.9f80f6p-3, 0x1.333334p-2, 0x1.3643f2p-2}, {0x1.a9e43p-2, 0x1.ae147ap-3, 0x1.f06cb6p-7},
      {0x1.75f412p-2, 0x1.70a3d8p-1, 0x1.745188p-4}, {0x1.9f80f6p-3, 0x1p-1, -0x1.3643f2p-4},
      {0x1.edabap-1, 1, 0x1.a6594ap-1}}},
    {"von Kries, D65 to D50", CA_VonKries, kD65, kD50,
     {{0x1.975f4ap-3, 0x1.329428p-2, 0x1.3643f2p-2}, {0x1.b5694ap-2, 0x1.b13818p-3, 0x1.f06cb6p-7},
      {0x1.98e762p-2, 0x1.700c5p-1, 0x1.745188p-4}, {0x1.e37ac8p-3, 0x1.ff18cep-2, -0x1.3643f2p-4},
      {0x1.edab98p-1, 0x1.fffffep-1, 0x1.a6594ap-1}}},
    {"von Kries, A to D65", CA_VonKries, kA, kD65,
     {{0x1.27f22cp-2, 0x1.3829b4p-2, 0x1.395f5ap+0}, {0x1.60e82p-2, 0x1.a4106p-3, 0x1.f5656p-5},
      {0x1.c4fc0cp-3, 0x1.75f2bp-1, 0x1.780c08p-2}, {0x1.ccb384p-6, 0x1.03dba6p-1, -0x1.395f5ap-2},
      {0x1.e6a7fp-1, 0x1.000002p+0, 0x1.16c8b4p+0}}},
    {"Bradford, D65 to D50", CA_Bradford, kD65, kD50,
     {{0x1.929cd6p-3, 0x1.2f6a54p-2, 0x1.38135ap-2}, {0x1.bbabe4p-2, 0x1.c20426p-3, 0x1.bb1974p-7},
      {0x1.8c6df6p-2, 0x1.71739ep-1, 0x1.82c4dap-4}, {0x1.d0026cp-3, 0x1.018da2p-1, -0x1.0f7244p-4},
      {0x1.edab9ep-1, 0x1.fffffep-1, 0x1.a6594ap-1}}},
    {"Bradford, A to D65", CA_Bradford, kA, kD65,
     {{0x1.11c5fp-2, 0x1.647ed6p-2, 0x1.1b3a58p+0}, {0x1.52b202p-2, 0x1.6e3ebp-3, 0x1.37cc6p-4},
      {0x1.158da8p-2, 0x1.867a94p-1, 0x1.5e0b9ap-2}, {0x1.19bf6ap-4, 0x1.05c6fap-1, -0x1.863c5ap-2},
      {0x1.e6a7f2p-1, 1, 0x1.16c8b4p+0}}},
    {"Bradford, far white to D50", CA_Bradford, kFar, kD50,
     {{0x1.7f0346p-42, -0x1.77358p-43, -0x1.af3cb2p-46},
      {0x1.42f74cp-41, 0x1.d26492p-43, -0x1.1c7822p-47},
      {0x1.e7e016p-41, -0x1.e10b6ep-42, -0x1.137a98p-44},
      {0x1.4b01p-41, -0x1.71c6a4p-42, -0x1.8ce7d8p-45},
      {0x1.aaae84p-1, 0x1.eb5d6ap-1, 0x1.091f24p-5}}},
    {"equal-energy von Kries, D65 to D50", CA_EquiEnergyVonKries, kD65, kD50,
     {{0x1.9737c4p-3, 0x1.35c806p-2, 0x1.51e108p-2}, {0x1.b30108p-2, 0x1.b44052p-3, 0x1.0e4dap-6},
      {0x1.8d2cfcp-2, 0x1.73d528p-1, 0x1.95747p-4}, {0x1.f01488p-3, 0x1.0230c8p-1, 0},
      {0x1.edbbd8p-1, 0x1.fff7fep-1, 0x1.a6594ap-1}}},
    {"equal-energy von Kries, A to D65", CA_EquiEnergyVonKries, kA, kD65,
     {{0x1.40d7eep-2, 0x1.3c6p-2, 1}, {0x1.91f342p-2, 0x1.b31e34p-3, 0x1.cc6b3p-5},
      {0x1.4c6416p-2, 0x1.7b58aep-1, 0x1.595064p-2}, {0x1.525a08p-3, 0x1.078344p-1, 0},
      {0x1.e64b6ap-1, 0x1.fb0216p-1, 1}}},
    {"linear Bradford, D65 to D50", CA_LinearBradford, kD65, kD50,
     {{0x1.92235ep-3, 0x1.2f579cp-2, 0x1.36a3a4p-2}, {0x1.bbd23p-2, 0x1.c21bbep-3, 0x1.d813cep-7},
      {0x1.8cfceep-2, 0x1.7189a6p-1, 0x1.904b1ep-4}, {0x1.ceec0cp-3, 0x1.01783p-1, -0x1.1c9d1cp-4},
      {0x1.edab9ep-1, 0x1.fffffep-1, 0x1.a6594ap-1}}},
    {"linear Bradford, A to D65", CA_LinearBradford, kA, kD65,
     {{0x1.2a846cp-2, 0x1.6c1ec2p-2, 0x1.40ae52p+0}, {0x1.515decp-2, 0x1.6d6d18p-3, 0x1.17a05ap-4},
      {0x1.10f8a4p-2, 0x1.85c5dcp-1, 0x1.424da2p-2}, {0x1.20b7fap-4, 0x1.060bb6p-1, -0x1.7baf36p-2},
      {0x1.e6a7f2p-1, 1, 0x1.16c8b4p+0}}},
};
// clang-format on

TEST(ChromaticAdapt, EveryAlgorithmGivesTheseBits) {
    for (const AdaptCase& c : kAdaptCases)
        for (int k = 0; k < 5; ++k) {
            const float* in = k < 4 ? kColours[k] : c.source;
            float colour[3] = {in[0], in[1], in[2]};
            ChromaticAdapt(c.source, c.destination, colour, 1, c.algorithm);
            ExpectBits(colour, c.adapted[k], std::string(c.what) + ", colour " + std::to_string(k));
        }
}

TEST(ChromaticAdapt, LinearBradfordTakesTheD65PrimariesToTheirD50Values) {
    // The sRGB primaries under D65, and their published Bradford-adapted D50 values.
    float colours[9] = {0.4124f, 0.2126f, 0.0193f, 0.3576f, 0.7152f,
                        0.1192f, 0.1805f, 0.0722f, 0.9505f};
    const float d50[9] = {0.4360f, 0.2225f, 0.0139f, 0.3851f, 0.7169f,
                          0.0970f, 0.1431f, 0.0606f, 0.7140f};
    ChromaticAdapt(kD65, kD50, colours, 3, CA_LinearBradford);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(colours[i], d50[i], 2e-4f) << i;
}

TEST(ChromaticAdapt, BradfordZeroesColoursBelowTheLuminanceFloor) {
    for (auto algorithm : {CA_Bradford, CA_LinearBradford})
        for (float Y : {0.00005f, 0.0f, -0.2f}) {
            float colour[3] = {0.5f, Y, 0.5f};
            const float z = Y < 0 ? -0.0f : 0.0f, zeros[3] = {z, z, z};  // times Y
            ChromaticAdapt(kD65, kD50, colour, 1, algorithm);
            ExpectBits(colour, zeros, std::to_string(algorithm) + " " + std::to_string(Y));
        }
}

// Values outside 1 to 4 mean XYZ scaling; a count of 0 reads and writes nothing, not even the
// calling thread's Bradford memo. All-zero Bradford responses (whites below the luminance
// floor) match the memo only in its initial all-zero state: the colour then comes out as
// zeros from the memo's zero factors, while factors computed afresh are 0/0 (NaN).
bool MemoIsInitial() {
    const float tiny[3] = {0.00005f, 0.00005f, 0.00005f};
    float colour[3] = {0.3f, 0.5f, 0.2f};
    ChromaticAdapt(tiny, tiny, colour, 1, CA_Bradford);
    return colour[0] == 0.0f && colour[1] == 0.0f && colour[2] == 0.0f;
}

TEST(ChromaticAdapt, OtherValuesScaleXyzAndCountZeroTouchesNothing) {
    const float source[3] = {2, 1, 4}, destination[3] = {1, 1, 2}, scaled[3] = {1, 0.5f, 2};
    for (int value : {0, 1, 2, 3, 4, 5, 255, -1}) {
        const auto algorithm = static_cast<EChromaticAdaptationAlgorithm>(value);
        float colour[3] = {2, 0.5f, 4}, before[3] = {2, 0.5f, 4};
        bool initial[3] = {};  // at start, after the count of 0, after a count of 1
        std::thread([&] {
            initial[0] = MemoIsInitial();
            ChromaticAdapt(source, destination, colour, 0, algorithm);
            ChromaticAdapt(source, destination, nullptr, 0, algorithm);
            initial[1] = MemoIsInitial();
            float other[3] = {0.3f, 0.5f, 0.2f};
            ChromaticAdapt(kD65, kD50, other, 1, CA_Bradford);
            initial[2] = MemoIsInitial();
        }).join();
        EXPECT_TRUE(initial[0] && initial[1] && !initial[2]) << value;
        ExpectBits(colour, before, "count 0, value " + std::to_string(value));
        if (value >= 1 && value <= 4) continue;
        ChromaticAdapt(source, destination, colour, 1, algorithm);
        ExpectBits(colour, scaled, "value " + std::to_string(value));
    }
}

}  // namespace
