// The monitor's D50 RGB-to-XYZ matrix and its inverse.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "vantrel/colorimetry.h"
#include "vantrel/settings.h"

namespace {

PF_MonitorSettings Monitor(float rx, float ry, float gx, float gy, float bx, float by, float wx,
                           float wy) {
    PF_MonitorSettings s;
    std::memset(&s, 0, sizeof s);
    GetDefaultMonitor(s);
    s.fRedX = rx, s.fRedY = ry, s.fGreenX = gx, s.fGreenY = gy, s.fBlueX = bx, s.fBlueY = by;
    s.fWhiteX = wx, s.fWhiteY = wy;
    return s;
}

PF_MonitorSettings DefaultMonitor() {
    PF_MonitorSettings s;
    GetDefaultMonitor(s);
    return s;
}

constexpr float kSentinel = 12345.0f;

void Fill(float (&m)[3][3]) {
    for (auto& row : m)
        for (float& v : row) v = kSentinel;
}

bool Untouched(const float (&m)[3][3]) {
    for (const auto& row : m)
        for (float v : row)
            if (v != kSentinel) return false;
    return true;
}

// The worked values are given to five decimals.
TEST(MonitorMatrix, DefaultMonitorAndItsInverse) {
    const float forward[3][3] = {{0.43604f, 0.38511f, 0.14305f},
                                 {0.22248f, 0.71691f, 0.06061f},
                                 {0.01392f, 0.09707f, 0.71391f}};
    const float inverse[3][3] = {{3.13419f, -1.61721f, -0.49069f},
                                 {-0.97875f, 1.91613f, 0.03343f},
                                 {0.07196f, -0.22899f, 1.40575f}};
    float f[3][3], inv[3][3];
    ASSERT_EQ(GetMonitorTransformMatrix(DefaultMonitor(), f, inv), 10);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(f[i][j], forward[i][j], 1e-5) << i << "," << j;
            EXPECT_NEAR(inv[i][j], inverse[i][j], 1e-5) << i << "," << j;
        }

    // The inverse feeds the calibrated encoding: D50 comes out as full-drive white.
    float R, G, B;
    XYZ2CalibratedRGB(&inv[0][0], 1.0f, 0.9642f, 1.0f, 0.8249f, &R, &G, &B);
    EXPECT_NEAR(R, 1.0f, 1e-5);
    EXPECT_NEAR(G, 1.0f, 1e-5);
    EXPECT_NEAR(B, 1.0f, 1e-5);

    float alone[3][3];
    ASSERT_EQ(GetMonitorTransformMatrix(DefaultMonitor(), alone, nullptr), 10);
    EXPECT_EQ(std::memcmp(alone, f, sizeof f), 0) << "the forward matrix alone is the same";
}

TEST(MonitorMatrix, RowsSumToD50WhenTheWhiteIsInsideTheTriangle) {
    struct Case {
        const char* what;
        PF_MonitorSettings monitor;
    };
    const Case cases[] = {
        {"default", DefaultMonitor()},
        {"wide green, D50 white",
         Monitor(0.64f, 0.33f, 0.21f, 0.71f, 0.15f, 0.06f, 0.3457f, 0.3585f)},
        {"broad primaries, 9300 K white",
         Monitor(0.7347f, 0.2653f, 0.1152f, 0.8264f, 0.1566f, 0.0177f, 0.2848f, 0.2932f)},
        {"equal-energy white",
         Monitor(0.68f, 0.32f, 0.265f, 0.69f, 0.15f, 0.06f, 1 / 3.0f, 1 / 3.0f)},
    };
    const float d50[3] = {0.9642f, 1.0f, 0.8249f};
    for (const Case& c : cases) {
        float f[3][3];
        ASSERT_EQ(GetMonitorTransformMatrix(c.monitor, f, nullptr), 10) << c.what;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(f[i][0] + f[i][1] + f[i][2], d50[i], 2e-6) << c.what << " row " << i;
    }
}

TEST(MonitorMatrix, PrimariesThatDoNotDetermineTheWhite) {
    struct Case {
        const char* what;
        PF_MonitorSettings monitor;
    };
    const Case cases[] = {
        {"red and green coincide",
         Monitor(0.64f, 0.33f, 0.64f, 0.33f, 0.15f, 0.06f, 0.3127f, 0.329f)},
        {"all three collinear", Monitor(0.1f, 0.1f, 0.2f, 0.2f, 0.4f, 0.4f, 0.3127f, 0.329f)},
    };
    for (const Case& c : cases) {
        float f[3][3], inv[3][3];
        Fill(f);
        Fill(inv);
        EXPECT_EQ(GetMonitorTransformMatrix(c.monitor, f, inv), -7) << c.what;
        EXPECT_TRUE(Untouched(f) && Untouched(inv)) << c.what;
        EXPECT_EQ(GetMonitorTransformMatrix(c.monitor, nullptr, nullptr), -7) << c.what;
    }
    EXPECT_EQ(GetMonitorTransformMatrix(DefaultMonitor(), nullptr, nullptr), 10);
}

TEST(MonitorMatrix, WhiteOutsideTheTriangleLeavesTheForwardCopyInTheInverse) {
    PF_MonitorSettings s = DefaultMonitor();
    s.fWhiteX = 0.70f;
    s.fWhiteY = 0.25f;
    float f[3][3], inv[3][3];
    EXPECT_EQ(GetMonitorTransformMatrix(s, f, inv), -3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f[i][1], 0.0f) << "green column, row " << i;
    EXPECT_EQ(std::memcmp(f, inv, sizeof f), 0);
    EXPECT_EQ(GetMonitorTransformMatrix(s, f, nullptr), 10) << "no inverse asked, no failure";
}

}  // namespace
