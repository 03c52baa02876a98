// Lightness under an average surround and L clipping. At L* = 8 the two branches differ by
// 1.5e-5, so that case is held to 4e-6 against a double-precision value.
#include <gtest/gtest.h>

#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

float YToLss(float Y) {
    return Y2LDblStar_AveSurround(Y, 100);
}
float LssToY(float Lss) {
    return LDblStar2Y_AveSurround(Lss, 100);
}

TEST(Lightness, WorkedValues) {
    struct {
        const char* what;
        float (*fn)(float);
        float in;
        double expected, tolerance;
    } cases[] = {
        {"white is just above 100", YToLss, 100, 100.00113, 1e-5},
        {"black is 0", YToLss, 0, 0, 0},
        {"mid grey", YToLss, 18, 37.11583, 1e-5},
        {"L** 100 is just below the white", LssToY, 100, 99.99795, 1e-5},
        {"L** 0 is not exactly black", LssToY, 0, 0.00000009, 1e-7},
        {"L* 100", L2LDblStar_AveSurround, 100, 100.00113, 1e-5},
        {"L* 50", L2LDblStar_AveSurround, 50, 37.64359, 1e-5},
        // The cube of 24/116 is 0.0088565, above 0.008856; the line would give 4.1237123.
        {"L* 8 takes the cube", L2LDblStar_AveSurround, 8, 4.1237269, 4e-6},
        {"L* 4 takes the line", L2LDblStar_AveSurround, 4, 2.2229809, 4e-6},
        {"back to L* 50.00003", LDblStar2L_AveSurround, 37.64359f, 50.00003, 1e-5},
        {"back to L* 8.00004", LDblStar2L_AveSurround, 4.1237269f, 8.00004, 1e-5},
        {"Y 18 round trip", [](float y) { return LssToY(YToLss(y)); }, 18, 18, 0},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.fn(c.in), c.expected, c.tolerance) << c.what;
}

TEST(LClipping, PullsTooLightColoursTowardsHalfTheMaximum) {
    struct {
        const char* what;
        float lab[3], Lmax, clipped[3];
    } cases[] = {
        {"k = 50 / 60", {110, 20, -10}, 100, {100, 16.66667f, -8.33333f}},
        {"at the maximum: unchanged", {100, 20, -10}, 100, {100, 20, -10}},
        {"below the maximum: unchanged", {90, 20, -10}, 100, {90, 20, -10}},
        {"far above: k = 25 / 225", {250, 30, 40}, 50, {50, 3.33333f, 4.44444f}},
    };
    for (const auto& c : cases) {
        float lab[3] = {c.lab[0], c.lab[1], c.lab[2]};
        LClipping(lab[0], lab[1], lab[2], c.Lmax);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(lab[i], c.clipped[i], 1e-5f) << c.what << i;
    }
}

}  // namespace
