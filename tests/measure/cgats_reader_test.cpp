// The CGATS reader: numbers read exactly, the layouts instruments and tools write, spectral
// field names, several tables, and one-line errors naming the line and field at fault.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>

#include "support/test_support.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;
using testing_support::SameBits;

// A file with the given fields, sets and data rows (one string, rows separated by '\n').
std::string Cgats(const std::string& fields, int count, int sets, const std::string& rows) {
    return "CGATS.17\nNUMBER_OF_FIELDS " + std::to_string(count) + "\nBEGIN_DATA_FORMAT\n" +
           fields + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(sets) + "\nBEGIN_DATA\n" +
           rows + "\nEND_DATA\n";
}

std::string LabFile(const std::string& row) {
    return Cgats("SAMPLE_ID LAB_L LAB_A LAB_B", 4, 1, row);
}

// The message of the error that reading `text` throws, or "no error".
std::string ErrorOf(const std::string& text, int table = 1) {
    try {
        measure::ParseCgats(text, "t.cgats", {table});
    } catch (const measure::Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(CgatsReader, NumbersAreTheNearestDoubleWithOrWithoutAnExponent) {
    const struct {
        const char* row;
        const char* id;
        std::array<double, 3> values;
    } cases[] = {
        // An exponent stays with its own number, after an id as after a number.
        {"2 60.0 -2 5e-01", "2", {60, -2, 0.5}},
        {"P1 50 0 -0", "P1", {50, 0, -0.0}},
        {"\"P 1 #x\" 50 0 3", "P 1 #x", {50, 0, 3}},
        // The largest float written with 8 digits, a little above it, narrows to it.
        {"P1 50 0 -3.4028235e+38", "P1", {50, 0, -3.4028235e+38}},
    };
    for (const auto& c : cases) {
        const measure::MeasurementSet set = measure::ParseCgats(LabFile(c.row), "t.cgats");
        ASSERT_EQ(set.patches.size(), 1u) << c.row;
        EXPECT_EQ(set.patches[0].id, c.id) << c.row;
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(SameBits(set.patches[0].values[k], c.values[k])) << c.row;
    }
}

TEST(CgatsReader, AnythingElseWhereANumberBelongsNamesLineAndField) {
    for (const char* bad : {"1e", "0x10", "inf", "nan", "1,5", "--1", "+-1", "1e999", "1e39",
                            "3.4028236e38", "5e-01x", ".", "-", "\"\""}) {
        const std::string message = ErrorOf(LabFile(std::string("P1 50 0 ") + bad));
        EXPECT_EQ(message.rfind("t.cgats:8: field LAB_B: '", 0), 0u) << bad << ": " << message;
    }
    try {
        measure::ParseCgats(LabFile("P1 50 zero 0"), "t.cgats");
        FAIL() << "no error";
    } catch (const measure::Error& e) {
        EXPECT_EQ(e.where().line, 8);
        EXPECT_EQ(e.where().field, "LAB_A");
        EXPECT_EQ(e.where().column, 3);
    }
}

// Keyword values: one word or string, or the rest of the line as written.
TEST(CgatsReader, KeywordsKeepTheirValues) {
    const std::string plain = LabFile("P1 50 1 2");
    const measure::MeasurementSet set = measure::ParseCgats(
        "IT8.7/2\nORIGINATOR \"a tool # 2\"\nDESCRIPTOR 'chart'\nCREATED 2024-01-01\n"
        "KEYWORD \"MY_KEY\"\nMY_KEY some words here\n" +
            plain.substr(plain.find('\n') + 1),
        "t.cgats");
    const std::pair<std::string, std::string> expected[] = {
        {"IT8.7/2", ""},           {"ORIGINATOR", "a tool # 2"}, {"DESCRIPTOR", "chart"},
        {"CREATED", "2024-01-01"}, {"KEYWORD", "MY_KEY"},        {"MY_KEY", "some words here"}};
    for (std::size_t k = 0; k < std::size(expected); ++k)
        EXPECT_EQ(set.keywords.at(k), expected[k]);
    EXPECT_EQ(set.fileType, "IT8.7/2");
}

TEST(CgatsReader, SpectralFieldNamesAndStepsGiveTheSameSamples) {
    auto spectral = [](const std::string& prefix, int first, int last, int step, double scale,
                       int unit = 1) {
        std::string fields = "SAMPLE_ID", row = "S1";
        int count = 1;
        for (int nm = first; nm <= last; nm += step, ++count) {
            fields += " " + prefix + std::to_string(nm * unit);
            row += " " + std::to_string(scale * (nm - 300) / 1000.0);
        }
        return Cgats(fields, count, 1, row);
    };
    const struct {
        const char* what;
        std::string text;
        int first, last, step;
        bool percent;
    } cases[] = {
        {"NM, 5 nm from 385", spectral("NM", 385, 735, 5, 1), 385, 735, 5, false},
        {"SPEC_ in thousandths of a nm", spectral("SPEC_", 400, 700, 10, 100, 1000), 400, 700, 10,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const measure::MeasurementSet set = measure::ParseCgats(c.text, "t.cgats");
        EXPECT_TRUE(set.source == measure::ColourSource::Spectrum);
        EXPECT_EQ(std::make_tuple(set.firstNm, set.lastNm, set.stepNm, set.Percent()),
                  std::make_tuple(c.first, c.last, c.step, c.percent));
        ASSERT_EQ(set.spectra.size(), static_cast<std::size_t>(set.SampleCount()));
        // 500 nm holds 0.2 (or 20 percent) in every file.
        EXPECT_FLOAT_EQ(set.Spectrum(0)[(500 - c.first) / c.step], c.percent ? 20 : 0.2);
    }
}

// Beside spectra: the location, device values and stated colour of each patch.
TEST(CgatsReader, KeepsLocationsDeviceValuesAndStatedColour) {
    const measure::MeasurementSet set = measure::ParseCgats(
        Cgats("SAMPLE_ID SAMPLE_LOC CMYK_C CMYK_K LAB_L LAB_A LAB_B SPEC_400 SPEC_500 MY_X", 10, 1,
              "P1 A1 100 0.5 50 1 -2 0.1 0.2 x"),
        "t.cgats");
    ASSERT_EQ(set.source, measure::ColourSource::Spectrum);
    EXPECT_EQ(std::make_tuple(set.hasLocation, set.hasStated, set.statedSource),
              std::make_tuple(true, true, measure::ColourSource::Lab));
    EXPECT_EQ(set.deviceFields, (std::vector<std::string>{"CMYK_C", "CMYK_K"}));
    EXPECT_EQ(std::vector<double>(set.Device(0), set.Device(0) + 2),
              (std::vector<double>{100, 0.5}));
    EXPECT_EQ(set.patches[0].location, "A1");
    EXPECT_EQ(set.patches[0].values, (std::array<double, 3>{50, 1, -2}));
}

TEST(CgatsReader, TablesAreChosenAndCounted) {
    const std::string first = LabFile("P1 50 1 2");
    const std::string second =
        "\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSAMPLE_NAME LAB_L\n"
        "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\nx 1\nEND_DATA\n";
    const std::string third = "CGATS.17\n" + first.substr(first.find('\n') + 1);
    const std::string text = first + second + third;
    const measure::MeasurementSet one = measure::ParseCgats(text, "t.cgats");
    EXPECT_EQ(one.tableCount, 3);
    ASSERT_EQ(one.warnings.size(), 1u);
    EXPECT_EQ(one.warnings[0],
              "t.cgats: 3 tables; only the first is read (--table N reads another)");
    const measure::MeasurementSet three = measure::ParseCgats(text, "t.cgats", {3});
    EXPECT_EQ(three.tableCount, 3);
    EXPECT_TRUE(three.warnings.empty());
    EXPECT_EQ(three.patches.at(0).line, 26);
    // The second table has no colour; the fourth does not exist.
    EXPECT_EQ(ErrorOf(text, 2), "t.cgats: field LAB_A missing");
    EXPECT_EQ(ErrorOf(text, 4), "t.cgats: holds 3 tables, no table 4");
}

TEST(CgatsReader, CountsAndStructureThatDisagreeAreErrors) {
    const std::string fields = "SAMPLE_ID LAB_L LAB_A LAB_B";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {Cgats(fields, 4, 3, "P1 1 2 3\nP2 1 2 3"),
         "t.cgats:10: NUMBER_OF_SETS is 3 but the data block holds 2 sets"},
        {Cgats(fields, 4, 1, "P1 1 2 3\nP2 1 2 3"),
         "t.cgats:10: NUMBER_OF_SETS is 1 but the data block holds 2 sets"},
        // A declared count sizes no memory before the rows are read.
        {Cgats(fields, 4, 2000000000, "P1 1 2 3"),
         "t.cgats:9: NUMBER_OF_SETS is 2000000000 but the data block holds 1 sets"},
        {Cgats(fields, 4, 1, "\"P1 1 2 3"), "t.cgats:8: quoted string not closed on its line"},
        {Cgats(fields, 4, 1, std::string("P1 1\0 2 3", 9)),
         "t.cgats:8: not a CGATS file (binary data)"},
        {Cgats(fields, 4, 1, "P1 1 2 3").substr(0, 127), "t.cgats:7: data block has no END_DATA"},
        {"CGATS.17\nNUMBER_OF_FIELDS x\n",
         "t.cgats:2: NUMBER_OF_FIELDS: 'x' is not a whole number"},
        {" \r\n\t", "t.cgats: file is empty"},
        {Cgats("SAMPLE_ID SPECTRAL_400 SPECTRAL_410 SPECTRAL_430", 4, 1, "P1 1 2 3"),
         "t.cgats: field SPECTRAL_420 missing: spectra need every 10 nm from 400 to 430 nm"},
        {Cgats("SAMPLE_ID SPEC_350 SPEC_353 SPEC_357", 4, 1, "P1 1 2 3"),
         "t.cgats: spectral fields not evenly spaced: SPEC_357 is 4 nm after SPEC_353, where "
         "the smallest step is 3 nm"},
        {Cgats("SAMPLE_ID SPEC_400 NM400", 3, 1, "P1 1 2"),
         "t.cgats: fields SPEC_400 and NM400 are both at 400 nm"},
        {Cgats("SAMPLE_ID SPEC_400 LAB_L", 3, 1, "P1 1 2"),
         "t.cgats: one spectral field (SPEC_400): spectra need two or more"},
        {Cgats("SAMPLE_ID SPEC_400 SPEC_400500", 3, 1, "P1 1 2"),
         "t.cgats: field SPEC_400500: not a whole number of nm"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.text), c.message) << c.text;
}

}  // namespace

namespace {

// A file of one spectral patch at 400, 410, ..., 700 nm, all values `value` as written, after
// `header` (its first line is the file type).
std::string Flat(const std::string& header, const std::string& value) {
    std::string fields = "SAMPLE_ID", row = "S1";
    for (int nm = 400; nm <= 700; nm += 10) {
        fields += " SPEC_" + std::to_string(nm);
        row += " " + value;
    }
    return header + "\nNUMBER_OF_FIELDS 32\nBEGIN_DATA_FORMAT\n" + fields +
           "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n" + row + "\nEND_DATA\n";
}

TEST(CgatsReader, TheFieldListDecidesTheColumns) {
    const std::string listed = "BEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n";
    auto file = [&](const std::string& before, const std::string& after, const std::string& row) {
        return "CGATS.17\n" + before + listed + after + "NUMBER_OF_SETS 1\nBEGIN_DATA\n" + row +
               "\nEND_DATA\n";
    };
    const struct {
        const char* what;
        std::string text;
        const char* outcome;  // the warning, or the error
    } cases[] = {
        {"fewer declared", file("NUMBER_OF_FIELDS 3\n", "", "P1 1 2 3"),
         "t.cgats:2: NUMBER_OF_FIELDS is 3 but BEGIN_DATA_FORMAT lists 4 fields; the list is "
         "read"},
        {"more declared, after the list", file("", "NUMBER_OF_FIELDS 9\n", "P1 1 2 3"),
         "t.cgats:5: NUMBER_OF_FIELDS is 9 but BEGIN_DATA_FORMAT lists 4 fields; the list is "
         "read"},
        {"rows as a second count says, fewer",
         file("NUMBER_OF_FIELDS 4\n", "NUMBER_OF_FIELDS 3\n", "P1 1 2"),
         "t.cgats:9: 3 values where BEGIN_DATA_FORMAT lists 4 fields"},
        {"rows as a second count says, more",
         file("NUMBER_OF_FIELDS 4\n", "NUMBER_OF_FIELDS 5\n", "P1 1 2 3 4"),
         "t.cgats:9: 5 values where BEGIN_DATA_FORMAT lists 4 fields"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string outcome;
        try {
            const measure::MeasurementSet set = measure::ParseCgats(c.text, "t.cgats");
            EXPECT_EQ(set.patches.at(0).values, (std::array<double, 3>{1, 2, 3}));
            ASSERT_EQ(set.warnings.size(), 1u);
            outcome = set.warnings[0];
        } catch (const measure::Error& e) {
            outcome = e.what();
        }
        EXPECT_EQ(outcome, c.outcome);
    }
    // A fault of the first table's header does not stop the second from being read, nor does
    // an END_DATA followed by a comment.
    std::string two = file("NUMBER_OF_FIELDS 9\n", "", "P1 1 2 3") + file("", "", "P2 4 5 6");
    two.replace(two.find("END_DATA\n"), 9, "END_DATA#one\n");
    EXPECT_EQ(measure::ParseCgats(two, "t.cgats", {2}).patches.at(0).id, "P2");
    EXPECT_EQ(measure::ParseCgats(two, "t.cgats", {1}).tableCount, 2);
}

TEST(CgatsReader, ScaleAndContentAreDecidedAndSaid) {
    using measure::ScaleBasis;
    using measure::SpectralScale;
    using Content = measure::SpectralContent;
    const struct {
        const char* what;
        std::string text;
        std::optional<SpectralScale> told;
        SpectralScale scale;
        ScaleBasis basis;
        Content content;
        const char* reason;  // of the scale, or of the content when not surfaces
    } cases[] = {
        {"factors, four decimals",
         Flat("CGATS.17", "0.9012"),
         {},
         SpectralScale::Factors,
         ScaleBasis::Guess,
         Content::Surface,
         "no value above 2"},
        {"dark percent patches, to hundredths",
         Flat("CGATS.17", "1.08"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Guess,
         Content::Surface,
         "no value above 2, but written to hundredths"},
        {"percent beyond doubt",
         Flat("CGATS.17", "87.3"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Data,
         Content::Surface,
         "a value of 87.3"},
        {"stated percent",
         Flat("CGATS.17\nSPECTRAL_NORM \"100.000\"", "0.5"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Stated,
         Content::Surface,
         "SPECTRAL_NORM 100"},
        {"stated factors",
         Flat("CGATS.17\nSPECTRAL_NORM 1", "1.08"),
         {},
         SpectralScale::Factors,
         ScaleBasis::Stated,
         Content::Surface,
         "SPECTRAL_NORM 1"},
        {"measurement file of a profiler",
         Flat("CTI3\nDEVICE_CLASS OUTPUT", "1.08"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Stated,
         Content::Surface,
         "CTI3 files hold percent"},
        {"spectrum file",
         Flat("SPECT", "0.5"),
         {},
         SpectralScale::Factors,
         ScaleBasis::Stated,
         Content::Surface,
         "SPECT files without SPECTRAL_NORM hold factors"},
        {"told", Flat("CGATS.17", "0.5"), SpectralScale::Percent, SpectralScale::Percent,
         ScaleBasis::Told, Content::Surface, "as told"},
        {"emission",
         Flat("CGATS.17\nMEAS_TYPE EMISSION", "5"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Data,
         Content::Light,
         "MEAS_TYPE EMISSION"},
        {"display",
         Flat("CTI3\nDEVICE_CLASS \"DISPLAY\"", "5"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Stated,
         Content::Light,
         "DEVICE_CLASS DISPLAY"},
        {"lamp",
         Flat("SPECT\nDESCRIPTOR \"Spectral Power\"", "0.5"),
         {},
         SpectralScale::Factors,
         ScaleBasis::Stated,
         Content::Light,
         "DESCRIPTOR 'Spectral Power'"},
        {"relative power",
         Flat("SPECT\nSPECTRAL_NORM 3945", "50"),
         {},
         SpectralScale::Percent,
         ScaleBasis::Data,
         Content::Light,
         "SPECTRAL_NORM 3945"},
        {"observer",
         Flat("CMF", "0.5"),
         {},
         SpectralScale::Factors,
         ScaleBasis::Stated,
         Content::MatchingFunctions,
         "a CMF file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const measure::MeasurementSet set = measure::ParseCgats(c.text, "t.cgats", {1, c.told});
        EXPECT_EQ(std::make_tuple(set.scale.scale, set.scale.basis, set.content),
                  std::make_tuple(c.scale, c.basis, c.content));
        EXPECT_EQ(set.content == Content::Surface ? set.scale.reason : set.contentReason, c.reason);
        EXPECT_TRUE(set.warnings.empty()) << set.warnings[0];
        if (set.content != Content::Surface) {
            EXPECT_THROW(measure::Colours(set, {}), measure::Error);
        }
    }
    // Told against what the file shows: done as told, and said.
    const measure::MeasurementSet told =
        measure::ParseCgats(Flat("CGATS.17", "87.3"), "t.cgats", {1, SpectralScale::Factors});
    EXPECT_EQ(told.warnings.at(0),
              "t.cgats: read as factors as told, though its own data show percent (a value of "
              "87.3)");
}

}  // namespace
