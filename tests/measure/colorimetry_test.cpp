// Colour of measured patches: the CIE tables against the published white points, and the
// perfect reflector as the white of a CIE integration.
#include <gtest/gtest.h>

#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;
using measure::Illuminant;
using measure::Observer;

// The whites of the CIE's tables (CIE 15), X and Z for Y = 100, against the sums of our
// 10 nm tables from 360 to 830 nm. Sampling every 10 nm moves the smooth illuminants by a
// tenth at most; the fluorescent lamps F2, F7 and F11 put much of their power into narrow
// mercury lines (405, 436, 546 nm) that fall between the 10 nm samples, and lose up to 14
// in Z.
TEST(CieTables, SumsAgreeWithThePublishedWhitePoints) {
    struct Case {
        Illuminant illuminant;
        Observer observer;
        double x, z;
        double tolerance;
    };
    const auto two = Observer::TwoDegree, ten = Observer::TenDegree;
    const Case cases[] = {
        {Illuminant::D50, two, 96.422, 82.521, 0.15},
        {Illuminant::D50, ten, 96.720, 81.427, 0.15},
        {Illuminant::D65, two, 95.047, 108.883, 0.15},
        {Illuminant::D65, ten, 94.811, 107.304, 0.15},
        {Illuminant::A, two, 109.850, 35.585, 0.15},
        {Illuminant::A, ten, 111.144, 35.200, 0.15},
        {Illuminant::C, two, 98.074, 118.232, 0.15},
        {Illuminant::C, ten, 97.285, 116.145, 0.15},
        {Illuminant::F2, two, 99.187, 67.395, 14},
        {Illuminant::F2, ten, 103.280, 69.026, 14},
        {Illuminant::F7, two, 95.044, 108.755, 14},
        {Illuminant::F7, ten, 95.792, 107.687, 14},
        {Illuminant::F11, two, 100.966, 64.370, 14},
        {Illuminant::F11, ten, 103.866, 65.627, 14},
    };
    for (const Case& c : cases) {
        const auto white = measure::CieWhite(c.illuminant, c.observer, 360, 830);
        const std::string what = measure::IlluminantName(c.illuminant) +
                                 (c.observer == two ? " 2 degree" : " 10 degree");
        EXPECT_NEAR(white[1], 100.0, 1e-12) << what;
        EXPECT_NEAR(white[0], c.x, c.tolerance) << what;
        EXPECT_NEAR(white[2], c.z, c.tolerance) << what;
    }
}

TEST(CieIntegration, ThePerfectReflectorIsTheWhiteOfItsRange) {
    measure::MeasurementSet set;
    set.source = measure::ColourSource::Spectrum;
    set.firstNm = 380;
    set.lastNm = 730;
    set.percentReflectance = true;
    set.patches.resize(2);
    set.spectra.assign(2 * set.SampleCount(), 100.0);
    for (int k = set.SampleCount(); k < 2 * set.SampleCount(); ++k) set.spectra[k] = 50.0;
    const auto white = measure::CieWhite(Illuminant::A, Observer::TenDegree, 380, 730);
    const auto colours = measure::Colours(set, {true, Illuminant::A, Observer::TenDegree});
    EXPECT_EQ(colours[0].xyz, white);
    EXPECT_EQ(colours[0].lab, (std::array<double, 3>{100, 0, 0}));
    // A flat grey stays neutral under any illuminant.
    EXPECT_NEAR(colours[1].xyz[1], 50.0, 1e-12);
    EXPECT_NEAR(colours[1].lab[1], 0.0, 1e-4);
    EXPECT_NEAR(colours[1].lab[2], 0.0, 1e-4);
}

}  // namespace
