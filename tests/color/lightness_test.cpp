// Lightness under an average surround and L clipping. Worked values are rounded and compared
// with a tolerance fitting their digits; the junction case against independent
// double-precision values of both branches, which differ there by 1.5e-5.
#include <gtest/gtest.h>

#include <cmath>

#include "vantrel/colorimetry.h"

namespace {

enum class Fn { kYToLss, kLssToY, kLToLss, kLssToL };

struct Case {
    const char* what;
    Fn fn;
    float in;
    double expected;
    double tolerance;  // 0: exact
};

float Evaluate(Fn fn, float in) {
    switch (fn) {
        case Fn::kYToLss:
            return Y2LDblStar_AveSurround(in, 100);
        case Fn::kLssToY:
            return LDblStar2Y_AveSurround(in, 100);
        case Fn::kLToLss:
            return L2LDblStar_AveSurround(in);
        case Fn::kLssToL:
            return LDblStar2L_AveSurround(in);
    }
    return NAN;
}

TEST(Lightness, WorkedValues) {
    const Case cases[] = {
        {"white is just above 100", Fn::kYToLss, 100, 100.00113, 1e-5},
        {"black is 0", Fn::kYToLss, 0, 0, 0},
        {"mid grey", Fn::kYToLss, 18, 37.11583, 1e-5},
        {"L** 100 is just below the white", Fn::kLssToY, 100, 99.99795, 1e-5},
        {"L** 0 is not exactly black", Fn::kLssToY, 0, 0.00000009, 1e-7},
        {"L* 100", Fn::kLToLss, 100, 100.00113, 1e-5},
        {"L* 50", Fn::kLToLss, 50, 37.64359, 1e-5},
        // The cube of 24/116 is 0.0088565, above the threshold; the line would give 4.1237123.
        {"L* 8 takes the cube", Fn::kLToLss, 8, 4.1237269, 4e-6},
        {"L* 4 takes the line", Fn::kLToLss, 4, 2.2229809, 4e-6},
        {"L** of L* 50 returns 50.00003", Fn::kLssToL, 37.64359f, 50.00003, 1e-5},
        {"L** of L* 8 returns 8.00004", Fn::kLssToL, 4.1237269f, 8.00004, 1e-5},
    };
    for (const Case& c : cases) {
        float result = Evaluate(c.fn, c.in);
        if (c.tolerance == 0)
            EXPECT_EQ(result, static_cast<float>(c.expected)) << c.what;
        else
            EXPECT_NEAR(result, c.expected, c.tolerance) << c.what;
    }
}

TEST(Lightness, RoundTripsStayClose) {
    float worstL = 0, worstY = 0;
    for (int i = 0; i <= 1000; ++i) {
        float x = static_cast<float>(i) * 0.1f;
        worstL =
            std::fmax(worstL, std::fabs(LDblStar2L_AveSurround(L2LDblStar_AveSurround(x)) - x));
        float y = LDblStar2Y_AveSurround(Y2LDblStar_AveSurround(x, 100), 100);
        worstY = std::fmax(worstY, std::fabs(y - x));
    }
    EXPECT_LT(worstL, 0.00006f);
    EXPECT_LT(worstY, 0.00003f);
    EXPECT_EQ(LDblStar2Y_AveSurround(Y2LDblStar_AveSurround(18, 100), 100), 18.0f);
}

struct ClipCase {
    const char* what;
    float lab[3];
    float Lmax;
    float clipped[3];
    float tolerance;  // 0: exact
};

TEST(LClipping, PullsTooLightColoursTowardsHalfTheMaximum) {
    const ClipCase cases[] = {
        {"k = 50 / 60", {110, 20, -10}, 100, {100, 16.66667f, -8.33333f}, 1e-5f},
        {"at the maximum: unchanged", {100, 20, -10}, 100, {100, 20, -10}, 0},
        {"below the maximum: unchanged", {90, 20, -10}, 100, {90, 20, -10}, 0},
        {"far above: chroma shrinks a lot", {250, 30, 40}, 50, {50, 3.33333f, 4.44444f}, 1e-5f},
    };
    for (const ClipCase& c : cases) {
        float L = c.lab[0], a = c.lab[1], b = c.lab[2];
        LClipping(L, a, b, c.Lmax);
        float got[3] = {L, a, b};
        for (int i = 0; i < 3; ++i) {
            if (c.tolerance == 0)
                EXPECT_EQ(got[i], c.clipped[i]) << c.what << " [" << i << "]";
            else
                EXPECT_NEAR(got[i], c.clipped[i], c.tolerance) << c.what << " [" << i << "]";
        }
    }
}

}  // namespace
