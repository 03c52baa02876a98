// Statistics of the differences, the verdict against tolerances, and the conditions two files
// state.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

// The command's compare tests check the summary of five differences; here one difference, ties
// and values equal to their limit.
TEST(Statistics, OneValueTiesAndLimits) {
    const measure::Statistics one = measure::Summarise({2.5});
    EXPECT_EQ(one.stdDev, 0.0);
    EXPECT_EQ(one.median, 2.5);
    EXPECT_EQ(one.p95, 2.5);
    const std::vector<double> d = {1, 3, 3, 2};
    EXPECT_EQ(measure::WorstFirst(d), (std::vector<std::size_t>{1, 2, 3, 0}));
    measure::Tolerances limits;
    limits.max = 3;
    limits.mean = 2.25;
    const measure::Verdict v = measure::Judge(d, measure::Summarise(d), limits);
    EXPECT_TRUE(v.pass);
    EXPECT_EQ(v.overMax, 0u);
}

TEST(Conditions, StatedOnBothSidesMustAgree) {
    const struct {
        std::string reference, sample;  // ILLUMINANT, OBSERVER, MEASUREMENT_CONDITION, FILTER
        bool refused;
    } cases[] = {
        {"D50 2 M1 -", "d50 2_DEGREE m1 -", false},
        {"D50 2 M1 -", "- - - -", false},  // not stated: nothing to compare
        {"D50 2 - -", "D65 2 - -", true},
        {"D50 2 - -", "D50 10 - -", true},
        {"- - M0 -", "- - M2 -", true},
        {"- - - UVcut", "- - - no", true},
    };
    auto set = [](const std::string& name, const std::string& stated) {
        measure::MeasurementSet s;
        s.path = name;
        std::istringstream words(stated);
        measure::Conditions& c = s.conditions;
        for (std::string* target : {&c.illuminant, &c.observer, &c.measurementCondition, &c.filter})
            if (words >> *target && *target == "-") target->clear();
        return s;
    };
    for (const auto& c : cases) {
        bool refused = false;
        try {
            measure::CheckConditions(set("r.cgats", c.reference), set("s.cgats", c.sample));
        } catch (const measure::Error& e) {
            refused = true;
            EXPECT_NE(std::string(e.what()).find("r.cgats states"), std::string::npos);
        }
        EXPECT_EQ(refused, c.refused) << c.reference << " / " << c.sample;
    }
}

// A chart whose padding patches share SAMPLE_ID 0 pairs by location or order; each refusal
// names the ways that would pair.
TEST(Pairing, ByIdNameLocationOrOrder) {
    auto lab = [](const std::string& rows) {
        return measure::ParseCgats(
            "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID SAMPLE_LOC LAB_L LAB_A "
            "LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 3\nBEGIN_DATA\n" +
                rows + "\nEND_DATA\n",
            "f.cgats");
    };
    const measure::MeasurementSet padded = lab("1 A1 50 0 0\n0 A2 90 0 0\n0 A3 90 0 0");
    const measure::MeasurementSet shuffled = lab("0 A3 90 0 0\n1 A1 50 0 0\n0 A2 91 0 0");
    const measure::MeasurementSet other = lab("7 B1 50 0 0\n8 B2 90 0 0\n9 B3 90 0 0");
    const struct {
        const measure::MeasurementSet &reference, &sample;
        measure::PairedBy by;
        std::vector<std::pair<std::size_t, std::size_t>> pairs;
        const char* refused;
    } cases[] = {
        {padded, shuffled, measure::PairedBy::Location, {{0, 1}, {1, 2}, {2, 0}}, ""},
        {padded, shuffled, measure::PairedBy::Order, {{0, 0}, {1, 1}, {2, 2}}, ""},
        {padded,
         shuffled,
         measure::PairedBy::SampleId,
         {},
         "f.cgats:9: SAMPLE_ID '0' given twice (first on line 8); pairing by location or order "
         "would do"},
        {padded,
         other,
         measure::PairedBy::Location,
         {},
         "f.cgats: no SAMPLE_LOC in common with f.cgats; pairing by order would do"},
        {padded,
         other,
         measure::PairedBy::SampleName,
         {},
         "f.cgats: has no SAMPLE_NAME; pairing by order would do"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(measure::PairedByOption(c.by));
        try {
            EXPECT_EQ(measure::PairPatches(c.reference, c.sample, c.by).pairs, c.pairs);
            EXPECT_STREQ(c.refused, "");
        } catch (const measure::Error& e) {
            EXPECT_STREQ(e.what(), c.refused);
        }
    }
}

// Media-relative: each file's paper becomes L* 100, a* 0, b* 0, and a patch reflecting half of
// what the paper does in each channel L* 116 (1/2)^(1/3) - 16 = 76.0693, a* 0, b* 0.
TEST(Compare, RelativeToPaper) {
    auto xyz = [](const char* paper, const char* half) {
        return measure::ParseCgats(
            std::string("CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X XYZ_Y XYZ_Z\nEND_DATA_"
                        "FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\nH ") +
                half + "\nW " + paper + "\nEND_DATA\n",
            "f.cgats");
    };
    measure::CompareOptions options;
    options.relativeToPaper = true;
    const measure::Comparison c =
        measure::Compare(xyz("90 92 75", "45 46 37.5"), xyz("80 84 60", "40 42 30"), options);
    ASSERT_TRUE(c.paper);
    EXPECT_EQ(*c.paper, (std::pair<std::size_t, std::size_t>{1, 1}));
    for (const measure::ComparedPatch& patch : c.patches)
        for (const auto& lab : {patch.referenceLab, patch.sampleLab}) {
            EXPECT_NEAR(lab[0], patch.reference == 1 ? 100 : 76.0693, 1e-4);
            EXPECT_EQ(lab[1], 0);
            EXPECT_EQ(lab[2], 0);
        }
    options.paper = "H";  // named, not the lightest
    EXPECT_EQ(*measure::Compare(xyz("90 92 75", "45 46 37.5"), xyz("80 84 60", "40 42 30"), options)
                   .paper,
              (std::pair<std::size_t, std::size_t>{0, 0}));
}

// Spectral files of patches (id and value at every wavelength) from first to last nm.
std::string Spectral(int first, int last,
                     const std::vector<std::pair<const char*, const char*>>& patches) {
    std::string text = "CGATS.17\nNUMBER_OF_FIELDS " + std::to_string((last - first) / 10 + 2) +
                       "\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (int nm = first; nm <= last; nm += 10) text += " SPEC_" + std::to_string(nm);
    text +=
        "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(patches.size()) + "\nBEGIN_DATA\n";
    for (const auto& [id, value] : patches) {
        text += id;
        for (int nm = first; nm <= last; nm += 10) text += std::string(" ") + value;
        text += "\n";
    }
    return text + "END_DATA\n";
}

// A sample of dark patches whose percent values could be factors is read as the reference,
// which is percent beyond doubt, shows it to be; a file that the library's D50 table would
// take is integrated as the other, which it would not take, so that the same spectrum compares
// equal.
TEST(Compare, BothFilesAreReadAlike) {
    measure::MeasurementSet reference =
        measure::ParseCgats(Spectral(380, 730, {{"D1", "1.0512"}, {"L1", "45.3"}}), "r.cgats");
    measure::MeasurementSet sample =
        measure::ParseCgats(Spectral(400, 700, {{"D1", "1.0512"}}), "s.cgats");
    ASSERT_EQ(sample.scale.scale, measure::SpectralScale::Factors);
    measure::SettleGuessedScale(reference, sample, {});
    EXPECT_EQ(sample.scale.scale, measure::SpectralScale::Percent);
    EXPECT_EQ(sample.scale.basis, measure::ScaleBasis::Guess);
    EXPECT_NE(sample.scale.reason.find("; nearer r.cgats so: mean dE00 0.00 against "),
              std::string::npos)
        << sample.scale.reason;
    EXPECT_TRUE(measure::SharedIntegration(reference, sample, {}).cie);
    const measure::Comparison c = measure::Compare(reference, sample, {});
    ASSERT_EQ(c.patches.size(), 1u);
    EXPECT_LT(c.differences[0], 1e-4);
}

}  // namespace
