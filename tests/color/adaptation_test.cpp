// Cone spaces and chromatic adaptation. Exact results are compared bit for bit; white-point
// mappings within float rounding (or 0.0002 for the five-digit equal-energy matrices).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

const float kD50[3] = {0.9642f, 1.0f, 0.8249f};
const float kD65[3] = {0.9505f, 1.0f, 1.089f};
const float kA[3] = {1.0985f, 1.0f, 0.35585f};
const float kD55[3] = {0.95682f, 1.0f, 0.92149f};

bool SameBits(const float* a, const float* b, size_t n) {
    return !std::memcmp(a, b, 4 * n);
}

EChromaticAdaptationAlgorithm Algorithm(int value) {
    return static_cast<EChromaticAdaptationAlgorithm>(value);
}

TEST(EquiEnergyCone, ConversionsClipEachComponentToTheUnitRange) {
    float out[3];
    EquiEnergyXYZToCone(0, 0, 2, &out[0], &out[1], &out[2]);  // L -0.15736, S 2 before clipping
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_NEAR(out[1], 0.09282f, 1e-7f);
    EXPECT_EQ(out[2], 1.0f);
    const float expected[2][3] = {{0.99999994f, 1, 1}, {1, 0.37095f, 1}};  // exact float sums
    const float cones[2][3] = {{1, 1, 1}, {1, 0, 1}};
    for (int i = 0; i < 2; ++i) {
        ConeToEquiEnergyXYZ(cones[i][0], cones[i][1], cones[i][2], &out[0], &out[1], &out[2]);
        EXPECT_TRUE(SameBits(out, expected[i], 3)) << i;
    }
}

TEST(ChromaticAdapt, CountZeroLeavesTheArrayUntouched) {
    const float before[3] = {0.25f, 0.5f, 0.75f};
    for (int algorithm : {0, 1, 2, 3, 4, 7}) {
        float colour[3] = {0.25f, 0.5f, 0.75f};
        ChromaticAdapt(kD65, kD50, colour, 0, Algorithm(algorithm));
        EXPECT_TRUE(SameBits(colour, before, 3)) << algorithm;
        ChromaticAdapt(kD65, kD50, nullptr, 0, Algorithm(algorithm));  // nothing read either
    }
}

// All-zero Bradford responses (whites below the luminance floor) match the memo only in its
// initial all-zero state: the colour then comes out as zeros from the memo's zero factors,
// while factors computed afresh are 0/0 (NaN). That shows the calling thread's memo state.
bool MemoIsInitial() {
    const float tiny[3] = {0.00005f, 0.00005f, 0.00005f};
    float colour[3] = {0.3f, 0.5f, 0.2f};
    ChromaticAdapt(tiny, tiny, colour, 1, CA_Bradford);
    return colour[0] == 0.0f && colour[1] == 0.0f && colour[2] == 0.0f;
}

TEST(ChromaticAdapt, CountZeroLeavesTheBradfordMemoUntouched) {
    bool atStart = false, afterCountZero = false, afterCountOne = true;
    std::thread([&] {
        atStart = MemoIsInitial();
        float colour[3] = {0.3f, 0.5f, 0.2f};
        ChromaticAdapt(kD65, kD50, colour, 0, CA_Bradford);
        afterCountZero = MemoIsInitial();
        ChromaticAdapt(kD65, kD50, colour, 1, CA_Bradford);
        afterCountOne = MemoIsInitial();
    }).join();
    EXPECT_TRUE(atStart && afterCountZero);
    EXPECT_FALSE(afterCountOne);
}

TEST(ChromaticAdapt, XyzScalingAlsoForEveryValueOutsideOneToFour) {
    const float source[3] = {2, 1, 4}, destination[3] = {1, 1, 2}, expected[3] = {1, 0.5f, 2};
    for (int value : {0, 5, 255, -1}) {
        float colour[3] = {2, 0.5f, 4};
        ChromaticAdapt(source, destination, colour, 1, Algorithm(value));
        EXPECT_TRUE(SameBits(colour, expected, 3)) << value;
    }
}

TEST(ChromaticAdapt, SourceWhiteLandsOnTheDestinationWhite) {
    // The equal-energy transform clips, so it is tried only where the whites' responses stay
    // in 0..1 after clipping (destination D50).
    struct Case {
        const float *source, *destination;
        bool equiEnergy;
    } cases[] = {{kD65, kD50, true}, {kA, kD50, true}, {kA, kD65, false}, {kD50, kD55, false}};
    for (const Case& c : cases)
        for (int algorithm = 0; algorithm <= 4; ++algorithm) {
            if (algorithm == CA_EquiEnergyVonKries && !c.equiEnergy) continue;
            float colour[3] = {c.source[0], c.source[1], c.source[2]};
            ChromaticAdapt(c.source, c.destination, colour, 1, Algorithm(algorithm));
            float tolerance = algorithm == CA_EquiEnergyVonKries ? 2e-4f : 1e-6f;
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(colour[i], c.destination[i], tolerance) << algorithm << " " << i;
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
            ChromaticAdapt(kD65, kD50, colour, 1, algorithm);
            for (float c : colour) EXPECT_EQ(c, 0.0f) << algorithm << " " << Y;
        }
}

TEST(ChromaticAdapt, NonLinearBradfordRestoresTheSignOfANegativeBlueResponse) {
    // Bradford blue response (0.0389 x - 0.0685) + 1.0296 z of (x, 1, z) = XYZ / Y.
    auto blue = [](const float* c) {
        return 0.0389f * c[0] / c[1] - 0.0685f + 1.0296f * c[2] / c[1];
    };
    float colour[3] = {0.2f, 0.5f, -0.1f}, linear[3] = {0.2f, 0.5f, -0.1f};
    ASSERT_LT(blue(colour), 0.0f);
    ChromaticAdapt(kA, kD65, colour, 1, CA_Bradford);
    ChromaticAdapt(kA, kD65, linear, 1, CA_LinearBradford);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(colour[i], linear[i], 0.02f) << i;  // finite, close
    EXPECT_LT(blue(colour), 0.0f);
}

std::vector<float> Adapted(const float* source, const float* destination) {
    std::vector<float> c;
    for (int i = 0; i < 16; ++i)  // the last blue responses are negative
        c.insert(c.end(), {0.05f + 0.06f * i, 0.02f + 0.061f * (i % 7), 0.9f - 0.08f * i});
    ChromaticAdapt(source, destination, c.data(), 16, CA_Bradford);
    return c;
}

TEST(ChromaticAdapt, BradfordFromSeveralThreadsMatchesSingleThreadedResults) {
    const float* pairs[4][2] = {{kD65, kD50}, {kA, kD65}, {kD50, kA}, {kD55, kD65}};
    std::vector<float> expected[4];
    for (int p = 0; p < 4; ++p) expected[p] = Adapted(pairs[p][0], pairs[p][1]);
    int mismatches[4] = {};
    std::vector<std::thread> threads;
    for (int p = 0; p < 4; ++p)
        threads.emplace_back([&, p] {
            // Each thread mostly adapts with its own pair, every third round with its
            // neighbour's: its memo keeps changing while the others change theirs.
            for (int round = 0; round < 400; ++round) {
                int q = round % 3 ? p : (p + 1) % 4;
                auto got = Adapted(pairs[q][0], pairs[q][1]);
                mismatches[p] += !SameBits(got.data(), expected[q].data(), got.size());
            }
        });
    for (std::thread& t : threads) t.join();
    for (int p = 0; p < 4; ++p) EXPECT_EQ(mismatches[p], 0) << p;
}

}  // namespace
