// Colour of spectra: the perfect reflector against the CIE's published white points at every
// step a file may have, the CIE's test colour samples against a plain 5 nm integration of the
// CIE's own tables, and densities of spectra finer than the density tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "support/test_support.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;
using measure::Illuminant;
using measure::Observer;

// One patch of ones (or `value` at every wavelength) from first to last nm, every step nm.
std::string Flat(int first, int last, int step, const std::string& value = "1") {
    std::string fields = "SAMPLE_ID", row = "S1";
    int count = 1;
    for (int nm = first; nm <= last; nm += step, ++count) {
        fields += " SPEC_" + std::to_string(nm);
        row += " " + value;
    }
    return "CGATS.17\nSPECTRAL_NORM 1\nNUMBER_OF_FIELDS " + std::to_string(count) +
           "\nBEGIN_DATA_FORMAT\n" + fields + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n" +
           row + "\nEND_DATA\n";
}

// The white points of CIE 15 (X and Z for Y = 100) under the 2 and the 10 degree observer. The
// fluorescent lamps put much of their power into narrow mercury lines that fall between 10 nm
// samples: only weights made from the 5 nm tables reach these.
TEST(CieIntegration, PerfectReflectorIsThePublishedWhiteAtEveryStep) {
    const struct {
        Illuminant illuminant;
        double x2, z2, x10, z10;
    } whites[] = {
        {Illuminant::D50, 96.422, 82.521, 96.720, 81.427},
        {Illuminant::D65, 95.047, 108.883, 94.811, 107.304},
        {Illuminant::A, 109.850, 35.585, 111.144, 35.200},
        {Illuminant::C, 98.074, 118.232, 97.285, 116.145},
        {Illuminant::F2, 99.187, 67.395, 103.280, 69.026},
        {Illuminant::F7, 95.044, 108.755, 95.792, 107.687},
        {Illuminant::F11, 100.966, 64.370, 103.866, 65.627},
    };
    const measure::MeasurementSet sets[] = {
        measure::ParseCgats(Flat(380, 780, 5), "5 nm"),
        measure::ParseCgats(Flat(380, 730, 10), "10 nm"),
        measure::ParseCgats(Flat(400, 700, 10), "10 nm, 400 to 700"),
        measure::ParseCgats(Flat(380, 780, 20), "20 nm"),
    };
    for (const auto& w : whites) {
        for (const Observer observer : {Observer::TwoDegree, Observer::TenDegree}) {
            const bool two = observer == Observer::TwoDegree;
            for (const auto& set : sets) {
                SCOPED_TRACE(measure::IlluminantName(w.illuminant) + (two ? " 2 " : " 10 ") +
                             set.path);
                const auto xyz = measure::Colours(set, {true, w.illuminant, observer})[0].xyz;
                EXPECT_NEAR(xyz[0], two ? w.x2 : w.x10, 0.05);
                EXPECT_NEAR(xyz[1], 100, 1e-9);
                EXPECT_NEAR(xyz[2], two ? w.z2 : w.z10, 0.05);
            }
        }
    }
}

// The CIE's 15 test colour samples every 5 nm from 360 to 830 nm, and its tables, as Debian's
// colord-data ships them. The library's integration of the 5 nm file must agree with a plain
// sum over the 5 nm tables; that of the file thinned to 10 nm, with the plain sum of the
// thinned spectra taken between their samples as the Lagrange cubic through the nearest four
// (a quadratic through three at either end).
TEST(CieIntegration, TestColourSamplesAgreeWithThePlainSum) {
    const std::string root = "/usr/share/colord/";
    if (!testing_support::FileExists(root + "ref/CIE-TCS.sp"))
        GTEST_SKIP() << "Debian's colord-data is not installed (scripts/deps installs it)";
    const measure::MeasurementSet samples = measure::ReadCgats(root + "ref/CIE-TCS.sp");
    const measure::MeasurementSet cmf = measure::ReadCgats(root + "cmf/CIE1931-2deg-XYZ.cmf");
    ASSERT_EQ(samples.patches.size(), 15u);
    ASSERT_EQ(std::make_tuple(samples.firstNm, samples.stepNm, cmf.firstNm, cmf.stepNm),
              std::make_tuple(360, 5, 360, 5));
    // Every second field of the 5 nm file, from 360 nm.
    std::string thinned = "CGATS.17\nNUMBER_OF_FIELDS 49\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (int nm = 360; nm <= 830; nm += 10) thinned += " SPEC_" + std::to_string(nm);
    thinned += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 15\nBEGIN_DATA\n";
    for (std::size_t k = 0; k < 15; ++k) {
        thinned += samples.patches[k].id;
        for (int i = 0; i < 95; i += 2) thinned += " " + std::to_string(samples.Spectrum(k)[i]);
        thinned += "\n";
    }
    const measure::MeasurementSet tenNm = measure::ParseCgats(thinned + "END_DATA\n", "thinned",
                                                              {1, measure::SpectralScale::Factors});

    for (const auto& [illuminant, file] : {std::pair{Illuminant::F11, "CIE-F11"},
                                           {Illuminant::D65, "CIE-D65"},
                                           {Illuminant::A, "CIE-A"},
                                           {Illuminant::F2, "CIE-F2"}}) {
        SCOPED_TRACE(file);
        const measure::MeasurementSet power =
            measure::ReadCgats(root + "illuminant/" + file + ".sp");
        auto lamp = [&](int nm) -> double {
            if (nm < power.firstNm || nm > power.lastNm) return 0;
            return power.Spectrum(0)[(nm - power.firstNm) / power.stepNm];
        };
        auto plain = [&](const float* reflectance) {
            std::array<double, 3> xyz{};
            double norm = 0;
            for (int i = 0; i < 95; ++i) {
                const double s = lamp(360 + 5 * i);
                for (int j = 0; j < 3; ++j)
                    xyz[j] += s * cmf.Spectrum(j)[i] * (reflectance ? reflectance[i] : 1.0);
                norm += s * cmf.Spectrum(1)[i];
            }
            for (double& v : xyz) v *= 100 / norm;
            return xyz;
        };
        const std::array<double, 3> white = plain(nullptr);
        const measure::Integration integration{true, illuminant, Observer::TwoDegree};
        const auto ours = measure::Colours(samples, integration);
        const auto ten = measure::Colours(tenNm, integration);
        for (std::size_t k = 0; k < 15; ++k) {
            const float* r = tenNm.Spectrum(k);  // 48 samples, 360 to 830 nm
            float between[95];
            for (int i = 0; i < 48; ++i) between[2 * i] = r[i];
            for (int i = 0; i < 47; ++i) {
                const double mid = i == 0    ? (3 * r[0] + 6 * r[1] - r[2]) / 8.0
                                   : i == 46 ? (3 * r[47] + 6 * r[46] - r[45]) / 8.0
                                             : (9 * (r[i] + r[i + 1]) - r[i - 1] - r[i + 2]) / 16.0;
                between[2 * i + 1] = float(mid);
            }
            const std::array<double, 3> smooth = plain(between);
            for (int j = 0; j < 3; ++j) EXPECT_NEAR(ten[k].xyz[j], smooth[j], 1e-5);
            const std::array<double, 3> xyz = plain(samples.Spectrum(k));
            float lab[3];
            CX_XYZ2LAB_float(float(xyz[0]), float(xyz[1]), float(xyz[2]), float(white[0]),
                             float(white[1]), float(white[2]), &lab[0], &lab[1], &lab[2]);
            const std::array<double, 3> expected{lab[0], lab[1], lab[2]};
            EXPECT_LT(measure::Ciede2000(expected, ours[k].lab), 0.01) << samples.patches[k].id;
        }
    }
}

// Where colour comes from, and under what conditions the stated colour is.
TEST(ColourChoice, SpectraOrStatedUnderTheirConditions) {
    auto file = [](const std::string& header) {
        return measure::ParseCgats("CGATS.17\n" + header +
                                       "\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X XYZ_Y XYZ_Z SPEC_400 "
                                       "SPEC_700\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n"
                                       "P 95.047 100 108.883 1 1\nEND_DATA\n",
                                   "f.cgats");
    };
    using measure::ColourChoice;
    const struct {
        std::string header;
        ColourChoice choice;
        const char* described;  // or the error
        double a;               // a* of the patch
    } cases[] = {
        // The D65 white under D50, and under the 10 degree D65 white.
        {"", ColourChoice::Stated, "XYZ as given (D50, 2 degree, assumed)", -2.38},
        {"ILLUMINANT \"D65\"\nOBSERVER 2_DEGREE", ColourChoice::Stated,
         "XYZ as given (D65, 2 degree)", 0},
        {"ILLUMINANT CIE_D65/10", ColourChoice::Stated, "XYZ as given (D65, 10 degree)", 0.41},
        {"ILLUMINANT D55", ColourChoice::Stated,
         "f.cgats: states ILLUMINANT D55, whose white is not known here (D50, D65, A, C, F2, F7 "
         "and F11 are)",
         0},
        {"ILLUMINANT D65", ColourChoice::Auto,
         "spectra, CIE D50 2 degree, 400 to 700 nm every 300 nm; factors (guessed: no value "
         "above 2)",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const measure::Integration integration{false, measure::Illuminant::D50, Observer::TwoDegree,
                                               c.choice};
        try {
            const measure::MeasurementSet set = file(c.header);
            EXPECT_EQ(measure::DescribeColour(set, integration), c.described);
            if (c.choice == ColourChoice::Stated) {
                EXPECT_NEAR(measure::Colours(set, integration)[0].lab[1], c.a, 0.05);
            }
        } catch (const measure::Error& e) {
            EXPECT_STREQ(e.what(), c.described);
        }
    }
    // Colours under different conditions are not compared.
    const measure::MeasurementSet d65 = file("ILLUMINANT D65"), d50 = file("");
    const measure::Integration stated{false, measure::Illuminant::D50, Observer::TwoDegree,
                                      ColourChoice::Stated};
    EXPECT_THROW(measure::CheckColourConditions(d50, d65, stated), measure::Error);
    EXPECT_NO_THROW(measure::CheckColourConditions(d65, d65, stated));
}

// The colours written as CGATS read back as stated colour with the same values to the digits
// written, under the library's table and under a CIE illuminant and observer.
TEST(ColourChoice, ColoursWrittenAsCgatsReadBackTheSame) {
    const measure::Integration integrations[] = {
        {}, {true, measure::Illuminant::D65, Observer::TenDegree}};
    for (const char* file : {"/examples/reference.cgats", "/examples/measured.cgats"})
        for (const measure::Integration& integration : integrations) {
            SCOPED_TRACE(file);
            const auto set = measure::ReadCgats(VANTREL_SOURCE_DIR + std::string(file));
            const auto colours = measure::Colours(set, integration);
            const auto back =
                measure::ParseCgats(measure::FormatColoursCgats(set, colours, integration), "back");
            const auto again = measure::Colours(back, {});
            EXPECT_EQ(measure::ConditionsOfColour(back, {}).illuminant, integration.illuminant);
            auto digits = [](double value) {
                char text[32];
                std::snprintf(text, sizeof text, "%.4f", value == 0 ? 0.0 : value);
                return std::string(text) == "-0.0000" ? std::string("0.0000") : text;
            };
            for (std::size_t k = 0; k < colours.size(); ++k)
                for (int j = 0; j < 3; ++j) {
                    EXPECT_EQ(digits(again[k].lab[j]), digits(colours[k].lab[j]));
                    EXPECT_EQ(digits(again[k].xyz[j]), digits(colours[k].xyz[j]));
                }
        }
}

TEST(Densities, FiveNmDataGiveTheirTenNmSamplesAndTwentyIsRefused) {
    const measure::MeasurementSet five = measure::ParseCgats(Flat(380, 730, 5, "0.25"), "five");
    const measure::MeasurementSet ten = measure::ParseCgats(Flat(400, 700, 10, "0.25"), "ten");
    const measure::Densities a = measure::DensitiesOf(five, 0), b = measure::DensitiesOf(ten, 0);
    EXPECT_EQ(a.statusT, b.statusT);
    EXPECT_EQ(a.statusI, b.statusI);
    EXPECT_NEAR(a.statusT[0], 0.60206, 1e-4);
    try {
        measure::DensitiesOf(measure::ParseCgats(Flat(380, 780, 20, "0.25"), "twenty"), 0);
        FAIL() << "no error";
    } catch (const measure::Error& e) {
        EXPECT_STREQ(e.what(),
                     "twenty: spectra every 20 nm from 380 nm: densities needs samples at 400, "
                     "410, ..., 700 nm");
    }
}

}  // namespace
