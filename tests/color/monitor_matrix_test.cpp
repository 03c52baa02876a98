// The monitor's D50 RGB-to-XYZ matrix and its inverse.
#include <gtest/gtest.h>

#include <cstring>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"
#include "vantrel/settings.h"

namespace {

using testing_support::Hex;

// The default monitor with other primaries (rx ry gx gy bx by) and white (wx wy).
PF_MonitorSettings Monitor(std::initializer_list<float> primariesAndWhite) {
    PF_MonitorSettings s;
    GetDefaultMonitor(s);
    float* fields[8] = {&s.fRedX,  &s.fRedY,  &s.fGreenX, &s.fGreenY,
                        &s.fBlueX, &s.fBlueY, &s.fWhiteX, &s.fWhiteY};
    int i = 0;
    for (float v : primariesAndWhite) *fields[i++] = v;
    return s;
}

const PF_MonitorSettings kDefault =
    Monitor({0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.3127f, 0.329f});

// The forward matrix and its inverse to the bit; to five decimals, they are (0.43604, 0.38511,
// 0.14305; 0.22248, 0.71691, 0.06061; 0.01392, 0.09707, 0.71391) and (3.13419, -1.61721,
// -0.49069; -0.97875, 1.91613, 0.03343; 0.07196, -0.22899, 1.40575).
TEST(MonitorMatrix, DefaultMonitorAndItsInverse) {
    const float forward[3][3] = {{0x1.be819ap-2f, 0x1.8a5b0ap-2f, 0x1.24f538p-3f},
                                 {0x1.c7a5fcp-3f, 0x1.6f0e2ep-1f, 0x1.f0852ep-5f},
                                 {0x1.c82304p-7f, 0x1.8d9658p-4f, 0x1.6d85f4p-1f}};
    const float inverse[3][3] = {{0x1.912d04p+1f, -0x1.9e0168p+0f, -0x1.f6788p-2f},
                                 {-0x1.f51e88p-1f, 0x1.ea8782p+0f, 0x1.11e2eep-5f},
                                 {0x1.26c39ap-4f, -0x1.d4fab2p-3f, 0x1.67df7ap+0f}};
    float f[3][3], inv[3][3];
    ASSERT_EQ(GetMonitorTransformMatrix(kDefault, f, inv), VANTREL_SUCCESS);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(Hex(f[i][j]), Hex(forward[i][j])) << i << "," << j;
            EXPECT_EQ(Hex(inv[i][j]), Hex(inverse[i][j])) << i << "," << j;
        }
    // The inverse is in the layout the calibrated encoding takes: D50 is full-drive white.
    float rgb[3];
    XYZ2CalibratedRGB(&inv[0][0], 1.0f, 0.9642f, 1.0f, 0.8249f, &rgb[0], &rgb[1], &rgb[2]);
    for (float v : rgb) EXPECT_NEAR(v, 1.0f, 1e-5);
}

TEST(MonitorMatrix, PrimariesThatDoNotDetermineTheWhiteWriteNothing) {
    // Red and green coinciding, and three collinear primaries.
    for (const PF_MonitorSettings& s :
         {Monitor({0.64f, 0.33f, 0.64f, 0.33f}), Monitor({0.1f, 0.1f, 0.2f, 0.2f, 0.4f, 0.4f})}) {
        float f[3][3], inv[3][3], before[3][3];
        for (auto* m : {f, inv, before}) std::memset(m, 0x7F, sizeof f);
        EXPECT_EQ(GetMonitorTransformMatrix(s, f, inv), VANTREL_ERR_WHITE_NOT_DETERMINED);
        EXPECT_EQ(std::memcmp(f, before, sizeof f), 0);
        EXPECT_EQ(std::memcmp(inv, before, sizeof inv), 0);
        EXPECT_EQ(GetMonitorTransformMatrix(s, nullptr, nullptr), VANTREL_ERR_WHITE_NOT_DETERMINED);
    }
    EXPECT_EQ(GetMonitorTransformMatrix(kDefault, nullptr, nullptr), VANTREL_SUCCESS);
}

TEST(MonitorMatrix, WhiteOutsideTheTriangleLeavesTheForwardCopyInTheInverse) {
    PF_MonitorSettings s = Monitor({0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 0.70f, 0.25f});
    float f[3][3], inv[3][3];
    EXPECT_EQ(GetMonitorTransformMatrix(s, f, inv), VANTREL_ERR_SINGULAR);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f[i][1], 0.0f) << "green column, row " << i;
    EXPECT_EQ(std::memcmp(f, inv, sizeof f), 0);
    EXPECT_EQ(GetMonitorTransformMatrix(s, f, nullptr), VANTREL_SUCCESS)
        << "no inverse asked, no failure";
}

}  // namespace
