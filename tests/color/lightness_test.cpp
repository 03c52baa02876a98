// Lightness under an average surround and L clipping. Every result is exact and compared bit
// for bit; the worked values beside the bits are rounded to their digits (at L* = 8, where the
// two branches differ by 1.5e-5, a double-precision value held to 4e-6).
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using testing_support::Hex;

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
        double worked, tolerance;
        float bits;
    } cases[] = {
        // clang-format off
        {"white is just above 100", YToLss, 100, 100.00113, 1e-5, 0x1.900128p+6f},
        {"black is 0", YToLss, 0, 0, 0, 0},
        {"mid grey", YToLss, 18, 37.11583, 1e-5, 0x1.28ed3ap+5f},
        {"L** 100 is just below the white", LssToY, 100, 99.99795, 1e-5, 0x1.8ffde6p+6f},
        {"L** 0 is not exactly black", LssToY, 0, 0.00000009, 1e-7, 0x1.9p-24f},
        {"L* 100", L2LDblStar_AveSurround, 100, 100.00113, 1e-5, 0x1.900128p+6f},
        {"L* 50", L2LDblStar_AveSurround, 50, 37.64359, 1e-5, 0x1.2d2614p+5f},
        // The cube of 24/116 is 0.0088565, above 0.008856; the line would give 4.1237123.
        {"L* 8 takes the cube", L2LDblStar_AveSurround, 8, 4.1237269, 4e-6, 0x1.07eb2p+2f},
        {"L* 4 takes the line", L2LDblStar_AveSurround, 4, 2.2229809, 4e-6, 0x1.1c8aa8p+1f},
        {"back to L* 50.00003", LDblStar2L_AveSurround, 37.64359f, 50.00003, 1e-5, 0x1.90001p+5f},
        {"back to L* 8.00004", LDblStar2L_AveSurround, 4.1237269f, 8.00004, 1e-5, 0x1.00004cp+3f},
        {"Y 18 round trip", [](float y) { return LssToY(YToLss(y)); }, 18, 18, 0, 18},
        // clang-format on
    };
    for (const auto& c : cases) {
        const float got = c.fn(c.in);
        EXPECT_NEAR(got, c.worked, c.tolerance) << c.what;
        EXPECT_EQ(Hex(got), Hex(c.bits)) << c.what;
    }
}

TEST(LClipping, PullsTooLightColoursTowardsHalfTheMaximum) {
    const struct {
        const char* what;
        float lab[3], Lmax, clipped[3];
    } cases[] = {
        // clang-format off
        {"k = 50 / 60: 16.66667, -8.33333", {110, 20, -10}, 100,
         {100, 0x1.0aaaaap+4f, -0x1.0aaaaap+3f}},
        {"at the maximum: unchanged", {100, 20, -10}, 100, {100, 20, -10}},
        {"below the maximum: unchanged", {90, 20, -10}, 100, {90, 20, -10}},
        {"far above: k = 25 / 225: 3.33333, 4.44444", {250, 30, 40}, 50,
         {50, 0x1.aaaaaap+1f, 0x1.1c71c8p+2f}},
        // clang-format on
    };
    for (const auto& c : cases) {
        float lab[3] = {c.lab[0], c.lab[1], c.lab[2]};
        LClipping(lab[0], lab[1], lab[2], c.Lmax);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Hex(lab[i]), Hex(c.clipped[i])) << c.what;
    }
}

// Values drawn at random (Yn 97.3): a change in the order of any operation shows.
TEST(Lightness, RandomValuesGiveTheseBits) {
    const struct {
        float Y, L, lab[3], Lmax;
        float lss, y, lssOfL, lOfLss, clipped[3];
    } cases[] = {
        // clang-format off
        {49.860363f, 9.5008564f, {106.692039f, -9.67533493f, -27.7873192f}, 2.55921507f,
         0x1.13470ap+6f, 0x1.323d18p+1f, 0x1.346a58p+2f, 0x1.1bb4d8p+4f,
         {0x1.47945cp+1f, -0x1.e112acp-4f, -0x1.596848p-2f}},
        {65.3867035f, 63.7965431f, {106.470917f, -0.47795105f, -17.1515236f}, 47.3594704f,
         0x1.40d238p+6f, 0x1.5d579ep+5f, 0x1.a7a636p+5f, 0x1.234006p+6f,
         {0x1.7ae032p+5f, -0x1.17f76ep-3f, -0x1.39f5f8p+2f}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(Y2LDblStar_AveSurround(c.Y, 97.3f)), Hex(c.lss)) << c.Y;
        EXPECT_EQ(Hex(LDblStar2Y_AveSurround(c.L, 97.3f)), Hex(c.y)) << c.L;
        EXPECT_EQ(Hex(L2LDblStar_AveSurround(c.L)), Hex(c.lssOfL)) << c.L;
        EXPECT_EQ(Hex(LDblStar2L_AveSurround(c.L)), Hex(c.lOfLss)) << c.L;
        float lab[3] = {c.lab[0], c.lab[1], c.lab[2]};
        LClipping(lab[0], lab[1], lab[2], c.Lmax);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Hex(lab[i]), Hex(c.clipped[i])) << c.Lmax;
    }
}

}  // namespace
