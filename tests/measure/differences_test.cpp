// Colour differences: CIEDE2000 against the published test pairs, its symmetry, and the signed
// lightness, chroma and hue differences.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

// The 34 pairs of Sharma, Wu and Dalal (2005), Table 1, from the data file: "pair L1 a1 b1 L2 a2
// b2 dE00" per line, to four decimals; the difference is symmetric to the bit.
TEST(Ciede2000, PublishedPairsToFourDecimalsAndSymmetricToTheBit) {
    std::ifstream in(std::string(VANTREL_SOURCE_DIR) +
                     "/tests/measure/data/ciede2000-sharma-2005.txt");
    int pairs = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int number;
        std::array<double, 3> first, second;
        double dE00;
        fields >> number >> first[0] >> first[1] >> first[2] >> second[0] >> second[1] >>
            second[2] >> dE00;
        const double forward = measure::Ciede2000(first, second);
        EXPECT_NEAR(forward, dE00, 0.5e-4) << "pair " << number;
        EXPECT_EQ(forward, measure::Ciede2000(second, first)) << "pair " << number;
        ++pairs;
    }
    EXPECT_EQ(pairs, 34);
}

TEST(Ciede2000, ParametricFactorsDivideTheirTerm) {
    // A pure lightness difference about L* 50 (SL = 1): kL divides it, kC and kH do nothing.
    const std::array<double, 3> ref{48, 0, 0}, smp{52, 0, 0};
    EXPECT_NEAR(measure::Ciede2000(ref, smp), 4.0, 1e-12);
    EXPECT_NEAR(measure::Ciede2000(ref, smp, 2, 1, 1), 2.0, 1e-12);
    EXPECT_NEAR(measure::Ciede2000(ref, smp, 1, 3, 5), 4.0, 1e-12);
}

TEST(SignedDifferences, SignsFollowTheSampleFromTheReference) {
    const struct {
        const char* what;
        std::array<double, 3> ref, smp;
        double dL, dC, dH;
    } cases[] = {
        {"lighter, more chroma, same hue", {50, 10, 0}, {52, 13, 0}, 2, 3, 0},
        // Hue turned counter-clockwise by 90 degrees at chroma 10: dH = 2 x 10 x sin 45.
        {"hue turned positive", {50, 10, 0}, {50, 0, 10}, 0, 0, 10 * std::sqrt(2.0)},
        {"hue turned negative across 0", {50, 0, 10}, {50, 10, 0}, 0, 0, -10 * std::sqrt(2.0)},
        // From 174.3 to 185.7 degrees: dH = 2 sqrt(101) sin(5.71 degrees) = 2.
        {"across 180: the short way", {50, -10, 1}, {50, -10, -1}, 0, 0, 2},
        {"neutral reference: no hue difference", {50, 0, 0}, {50, 3, 4}, 0, 5, 0},
    };
    for (const auto& c : cases) {
        const measure::Components d = measure::SignedDifferences(c.ref, c.smp);
        EXPECT_NEAR(d.dL, c.dL, 1e-12) << c.what;
        EXPECT_NEAR(d.dC, c.dC, 1e-12) << c.what;
        EXPECT_NEAR(d.dH, c.dH, 1e-12) << c.what;
    }
}

}  // namespace
