// Cone spaces and chromatic adaptation. Exact results are compared bit for bit; white-point
// mappings within float rounding (a few units in the last place of values near 1).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

const float kD50[3] = {0.9642f, 1.0f, 0.8249f};
const float kD65[3] = {0.9505f, 1.0f, 1.089f};
const float kIlluminantA[3] = {1.0985f, 1.0f, 0.35585f};
const float kD55[3] = {0.95682f, 1.0f, 0.92149f};

bool SameBits(const float* a, const float* b, size_t n) {
    return std::memcmp(a, b, n * sizeof(float)) == 0;
}

// Bradford blue response of an XYZ, for checking the sign that adaptation leaves.
float BradfordBlue(const float* xyz) {
    return (0.0389f * (xyz[0] / xyz[1]) - 0.0685f) + 1.0296f * (xyz[2] / xyz[1]);
}

struct ConeCase {
    const char* what;
    bool toCone;
    float in[3];
    float out[3];
    float tolerance;  // 0: bit-exact
};

TEST(EquiEnergyCone, ConversionsClipEachComponentToTheUnitRange) {
    const ConeCase cases[] = {
        {"pure Z clips L at 0 and S at 1", true, {0, 0, 2}, {0, 0.09282f, 1}, 1e-7f},
        {"unit cone gives the float sum of the first row",
         false,
         {1, 1, 1},
         {0.99999994f, 1, 1},
         0},
        {"X above 1 clips, Y and Z pass", false, {1, 0, 1}, {1, 0.37095f, 1}, 0},
        {"negative input clips at 0", false, {-1, -1, -1}, {0, 0, 0}, 0},
    };
    for (const ConeCase& c : cases) {
        float out[3];
        if (c.toCone)
            EquiEnergyXYZToCone(c.in[0], c.in[1], c.in[2], &out[0], &out[1], &out[2]);
        else
            ConeToEquiEnergyXYZ(c.in[0], c.in[1], c.in[2], &out[0], &out[1], &out[2]);
        for (int i = 0; i < 3; ++i) {
            if (c.tolerance == 0)
                EXPECT_EQ(out[i], c.out[i]) << c.what << " [" << i << "]";
            else
                EXPECT_NEAR(out[i], c.out[i], c.tolerance) << c.what << " [" << i << "]";
        }
    }
}

const EChromaticAdaptationAlgorithm kAllAlgorithms[] = {
    CA_XYZScaling,         CA_VonKries,       CA_Bradford,
    CA_EquiEnergyVonKries, CA_LinearBradford, static_cast<EChromaticAdaptationAlgorithm>(7)};

TEST(ChromaticAdapt, CountZeroLeavesTheArrayUntouched) {
    for (EChromaticAdaptationAlgorithm algorithm : kAllAlgorithms) {
        float colours[3] = {0.25f, 0.5f, 0.75f};
        const float before[3] = {0.25f, 0.5f, 0.75f};
        ChromaticAdapt(kD65, kD50, colours, 0, algorithm);
        EXPECT_TRUE(SameBits(colours, before, 3)) << algorithm;
        ChromaticAdapt(kD65, kD50, nullptr, 0, algorithm);  // nothing is read either
    }
}

// Whites whose Y is below the floor have all-zero Bradford responses, which match the memo
// only while it is still in its initial all-zero state: the colour then comes out as zeros
// (from the memo's zero factors), whereas factors computed afresh are 0/0, i.e. NaN. That makes
// the state of the calling thread's memo visible.
bool MemoIsInitial() {
    const float tinyWhite[3] = {0.00005f, 0.00005f, 0.00005f};
    float colour[3] = {0.3f, 0.5f, 0.2f};
    ChromaticAdapt(tinyWhite, tinyWhite, colour, 1, CA_Bradford);
    return colour[0] == 0.0f && colour[1] == 0.0f && colour[2] == 0.0f;
}

TEST(ChromaticAdapt, CountZeroLeavesTheBradfordMemoUntouched) {
    bool initialAtStart = false, initialAfterCountZero = false, initialAfterCountOne = true;
    std::thread([&] {
        initialAtStart = MemoIsInitial();
        float colour[3] = {0.3f, 0.5f, 0.2f};
        ChromaticAdapt(kD65, kD50, colour, 0, CA_Bradford);
        initialAfterCountZero = MemoIsInitial();
        ChromaticAdapt(kD65, kD50, colour, 1, CA_Bradford);
        initialAfterCountOne = MemoIsInitial();
    }).join();
    EXPECT_TRUE(initialAtStart);
    EXPECT_TRUE(initialAfterCountZero);
    EXPECT_FALSE(initialAfterCountOne);
}

TEST(ChromaticAdapt, XyzScalingAndEveryValueOutsideOneToFour) {
    const float source[3] = {2, 1, 4}, destination[3] = {1, 1, 2};
    const float expected[3] = {1, 0.5f, 2};
    for (int value : {0, 5, 255, -1}) {
        float colour[3] = {2, 0.5f, 4};
        ChromaticAdapt(source, destination, colour, 1,
                       static_cast<EChromaticAdaptationAlgorithm>(value));
        EXPECT_TRUE(SameBits(colour, expected, 3)) << value;
    }
}

TEST(ChromaticAdapt, XyzScalingReadsTheWhitesAgainForEveryTriple) {
    // The source white is the first triple of the array it adapts: the second triple sees
    // the adapted white.
    float colours[6] = {2, 1, 4, 2, 1, 4};
    const float destination[3] = {1, 1, 2};
    ChromaticAdapt(colours, destination, colours, 2, CA_XYZScaling);
    const float expected[6] = {1, 1, 2, 2, 1, 4};
    EXPECT_TRUE(SameBits(colours, expected, 6));
}

struct WhiteCase {
    const char* what;
    const float* source;
    const float* destination;
};

TEST(ChromaticAdapt, SourceWhiteLandsOnTheDestinationWhite) {
    const WhiteCase cases[] = {
        {"D65 to D50", kD65, kD50},
        {"A to D65", kIlluminantA, kD65},
        {"D50 to D55", kD50, kD55},
    };
    for (const WhiteCase& c : cases)
        for (EChromaticAdaptationAlgorithm algorithm :
             {CA_XYZScaling, CA_VonKries, CA_Bradford, CA_LinearBradford}) {
            float colour[3] = {c.source[0], c.source[1], c.source[2]};
            ChromaticAdapt(c.source, c.destination, colour, 1, algorithm);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(colour[i], c.destination[i], 1e-6f)
                    << c.what << ", algorithm " << algorithm << " [" << i << "]";
        }
}

TEST(ChromaticAdapt, EquiEnergyVonKriesLandsNearD50) {
    // Five-digit matrices and clipping (D65's Z, A's L response) keep it within 0.0002.
    const WhiteCase cases[] = {{"D65 to D50", kD65, kD50}, {"A to D50", kIlluminantA, kD50}};
    for (const WhiteCase& c : cases) {
        float colour[3] = {c.source[0], c.source[1], c.source[2]};
        ChromaticAdapt(c.source, c.destination, colour, 1, CA_EquiEnergyVonKries);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(colour[i], c.destination[i], 2e-4f) << c.what << " [" << i << "]";
    }
}

TEST(ChromaticAdapt, LinearBradfordTakesTheD65PrimariesToTheirD50Values) {
    // Columns of the D65 RGB-to-XYZ matrix of the sRGB primaries, and their published
    // Bradford-adapted D50 values (four decimals).
    const float d65[3][3] = {
        {0.4124f, 0.2126f, 0.0193f}, {0.3576f, 0.7152f, 0.1192f}, {0.1805f, 0.0722f, 0.9505f}};
    const float d50[3][3] = {
        {0.4360f, 0.2225f, 0.0139f}, {0.3851f, 0.7169f, 0.0970f}, {0.1431f, 0.0606f, 0.7140f}};
    float colours[9];
    std::memcpy(colours, d65, sizeof colours);
    ChromaticAdapt(kD65, kD50, colours, 3, CA_LinearBradford);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(colours[i], d50[i / 3][i % 3], 2e-4f) << i;
}

TEST(ChromaticAdapt, BradfordZeroesColoursBelowTheLuminanceFloor) {
    const float dark[][3] = {{0.5f, 0.00005f, 0.5f}, {0.3f, -0.2f, 0.4f}, {0.3f, 0.0f, 0.4f}};
    for (EChromaticAdaptationAlgorithm algorithm : {CA_Bradford, CA_LinearBradford})
        for (const auto& c : dark) {
            float colour[3] = {c[0], c[1], c[2]};
            ChromaticAdapt(kD65, kD50, colour, 1, algorithm);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(colour[i], 0.0f) << algorithm << ": " << c[1] << " [" << i << "]";
        }
}

TEST(ChromaticAdapt, NonLinearBradfordRestoresTheSignOfANegativeBlueResponse) {
    float colour[3] = {0.2f, 0.5f, -0.1f};
    ASSERT_LT(BradfordBlue(colour), 0.0f);
    float linear[3] = {0.2f, 0.5f, -0.1f};
    ChromaticAdapt(kIlluminantA, kD65, colour, 1, CA_Bradford);
    ChromaticAdapt(kIlluminantA, kD65, linear, 1, CA_LinearBradford);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(std::isfinite(colour[i])) << i;
        // The blue power law bends the result a little away from the linear form.
        EXPECT_NEAR(colour[i], linear[i], 0.02f) << i;
    }
    EXPECT_LT(BradfordBlue(colour), 0.0f);
}

std::vector<float> SampleColours() {
    std::vector<float> colours;
    for (int i = 0; i < 16; ++i) {
        colours.push_back(0.05f + 0.06f * static_cast<float>(i));
        colours.push_back(0.02f + 0.061f * static_cast<float>(i % 7));
        colours.push_back(0.9f - 0.08f * static_cast<float>(i));  // the last ones negative
    }
    return colours;
}

std::vector<float> Adapted(const float* source, const float* destination,
                           EChromaticAdaptationAlgorithm algorithm) {
    std::vector<float> colours = SampleColours();
    ChromaticAdapt(source, destination, colours.data(),
                   static_cast<std::uint32_t>(colours.size() / 3), algorithm);
    return colours;
}

TEST(ChromaticAdapt, BradfordMemoHitsAndMissesGiveIdenticalResults) {
    auto miss = Adapted(kD65, kD50, CA_Bradford);
    auto hit = Adapted(kD65, kD50, CA_Bradford);
    Adapted(kIlluminantA, kD55, CA_Bradford);  // evicts the pair
    auto missAgain = Adapted(kD65, kD50, CA_Bradford);
    EXPECT_TRUE(SameBits(miss.data(), hit.data(), miss.size()));
    EXPECT_TRUE(SameBits(miss.data(), missAgain.data(), miss.size()));
}

TEST(ChromaticAdapt, BradfordFromSeveralThreadsMatchesSingleThreadedResults) {
    const WhiteCase pairs[] = {{"D65 to D50", kD65, kD50},
                               {"A to D65", kIlluminantA, kD65},
                               {"D50 to A", kD50, kIlluminantA},
                               {"D55 to D65", kD55, kD65}};
    constexpr int kPairs = 4;
    std::vector<float> expected[kPairs];
    for (int p = 0; p < kPairs; ++p)
        expected[p] = Adapted(pairs[p].source, pairs[p].destination, CA_Bradford);

    int mismatches[kPairs] = {};
    std::vector<std::thread> threads;
    for (int p = 0; p < kPairs; ++p)
        threads.emplace_back([&, p] {
            // Each thread alternates between its own pair and its neighbour's, so that its
            // memo keeps changing while the other threads change theirs.
            const WhiteCase& own = pairs[p];
            const WhiteCase& other = pairs[(p + 1) % kPairs];
            for (int round = 0; round < 400; ++round) {
                bool useOwn = round % 3 != 0;
                const WhiteCase& c = useOwn ? own : other;
                const std::vector<float>& want = expected[useOwn ? p : (p + 1) % kPairs];
                auto got = Adapted(c.source, c.destination, CA_Bradford);
                if (!SameBits(got.data(), want.data(), got.size())) ++mismatches[p];
            }
        });
    for (std::thread& t : threads) t.join();
    for (int p = 0; p < kPairs; ++p) EXPECT_EQ(mismatches[p], 0) << pairs[p].what;
}

}  // namespace
