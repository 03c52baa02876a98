// vantrel measure and compare: what they print, the verdict and its exit status, the picture,
// and the refusal of bad input and bad usage.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli_helpers.h"
#include "support/test_support.h"
#include "vantrel/colorimetry.h"

namespace {

using cli_testing::Contains;
using cli_testing::CountLines;
using cli_testing::Quoted;
using cli_testing::RunVantrel;
using testing_support::TempDir;

const std::string kData = std::string(VANTREL_SOURCE_DIR) + "/tests/cli/data/";

std::string D(const char* name) {
    return Quoted(kData + name);
}

// The line of `text` that contains `part`, or empty.
std::string LineWith(const std::string& text, const std::string& part) {
    size_t at = text.find(part);
    if (at == std::string::npos) return "";
    size_t begin = text.rfind('\n', at), end = text.find('\n', at);
    begin = begin == std::string::npos ? 0 : begin + 1;
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string Write(const TempDir& dir, const std::string& name, const std::string& text) {
    testing_support::WriteFile(dir.File(name), text);
    return dir.File(name);
}

// A one-table CGATS file with spectral fields `prefix`NNN for `first`..`last` nm in 10 nm
// steps (skipping `skip`), two patches of the constant reflectance `value`, and `header`.
std::string WriteSpectral(const TempDir& dir, const std::string& name, const std::string& prefix,
                          int first, int last, double value, int skip = 0,
                          const std::string& header = "") {
    std::string fields = "SAMPLE_ID", row;
    int count = 1;
    for (int nm = first; nm <= last; nm += 10) {
        if (nm == skip) continue;
        fields += " " + prefix + std::to_string(nm);
        row += " " + std::to_string(value);
        ++count;
    }
    return Write(dir, name,
                 "CGATS.17\n" + header + "NUMBER_OF_FIELDS " + std::to_string(count) +
                     "\nBEGIN_DATA_FORMAT\n" + fields +
                     "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\nA1" + row + "\nA2" + row +
                     "\nEND_DATA\n");
}

TEST(Measure, ColourOfSpectraXyzAndLabFiles) {
    TempDir dir;
    const std::string ones = Quoted(WriteSpectral(dir, "w.cgats", "nm", 380, 730, 100.0));
    struct Case {
        std::string args;
        std::vector<const char*> expected;  // parts of the output
    };
    const Case cases[] = {
        // The library's D50 table, exactly as CX_SpectrumToD50XYZ gives it, and the densities.
        {"measure --densities --format csv " + ones,
         {"A1,96.4210,99.9970,82.5240,", ",0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000\n"}},
        {"measure " + ones,
         {": 2 patches, colour from spectra, the library's D50 table (2 degree, 400 to 700 nm); "
          "percent reflectance, scaled to factors\n"}},
        // A CIE integration of the file's own range: the perfect reflector is the white.
        {"measure --illuminant D65 --observer=10 --format csv " + ones,
         {"A1,94.8", ",100.0000,", ",100.0000,0.0000,0.0000,0.0000,0.0000\n"}},
        {"measure --observer 10 " + ones, {"CIE D50 10 degree, 380 to 730 nm every 10 nm"}},
        {"measure --format csv " + D("lab_ids.cgats"),
         {"id,X,Y,Z,L*,a*,b*,C*,h\n", "P3,", ",50.0000,0.0000,-3.0000,3.0000,270.0000\n"}},
        // Without SAMPLE_ID the id is the patch's place in the file.
        {"measure --format json " + D("xyz_names.cgats"),
         {"{\"id\": \"1\", \"name\": \"paper white\", \"X\": 96.4200, \"Y\": 100.0000, "
          "\"Z\": 82.4900, \"L\": 100.0000, \"a\": 0.0000, \"b\": 0.0000"}},
    };
    for (const Case& c : cases) {
        auto r = RunVantrel(c.args);
        EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
        for (const char* part : c.expected)
            EXPECT_TRUE(Contains(r.out, part)) << c.args << "\n" << r.out;
    }
    auto r = RunVantrel("measure -", testing_support::ReadFile(kData + "lab_ids.cgats"));
    EXPECT_TRUE(Contains(r.out, "standard input: 5 patches, colour from L*a*b*")) << r.err;
}

// dE*ab of the five pairs is 10, 4, 3, 2 and 1 (reference order P5 .. P1).
TEST(Compare, StatisticsByHandPairingByIdAndWarnings) {
    const std::string files = D("lab_reference.cgats") + " " + D("lab_ids.cgats");
    auto r = RunVantrel("compare --metric ab --format json " + files);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "\"matched_by\": \"SAMPLE_ID\"")) << r.out;
    EXPECT_TRUE(Contains(r.out,
                         "\"summary\": {\"count\": 5, \"mean\": 4.0000, \"std_dev\": 3.5355, "
                         "\"median\": 3.0000, \"p95\": 8.8000, \"max\": 10.0000, "
                         "\"max_patch\": \"P5\"}"))
        << r.out;
    EXPECT_FALSE(Contains(r.out, "verdict")) << r.out;
    // Signed differences of the sample from the reference, then the difference.
    EXPECT_TRUE(Contains(LineWith(r.out, "\"P3\""),
                         "\"dL\": 0.0000, \"dC\": 3.0000, \"dH\": 0.0000, \"dE\": 3.0000"))
        << r.out;
    // P6 is only in the reference.
    EXPECT_EQ(CountLines(r.err), 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "warning: ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "1 patch with no SAMPLE_ID in ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "'P6'")) << r.err;
}

TEST(Compare, ToleranceVerdictSortingAndExitStatus) {
    const std::string files = D("lab_reference.cgats") + " " + D("lab_ids.cgats");
    struct Case {
        const char* options;
        int status;
        std::vector<const char*> expected;
        const char* absent;
    };
    const Case cases[] = {
        {"--max 5 --mean 4 --p95 9",
         3,
         {"limit max        5.00  FAIL (1 patch over)\n", "limit mean       4.00  PASS\n",
          "limit p95        9.00  PASS\n", "verdict          FAIL\n", "std. deviation   3.54\n"},
         "PASS\nverdict          PASS"},
        {"--max=10 --p95 8.8", 0, {"(0 patches over)", "verdict          PASS\n"}, "FAIL"},
        {"--mean 3.99", 3, {"limit mean       3.99  FAIL\n"}, "limit max"},
        {"--worst 2", 0, {"P5  50.00   0.00   0.00  60.00   0.00   0.00  10.00\nP4  "}, "\nP3"},
        {"--sort", 0, {"\nP5 ", "\nP4 ", "\nP3 ", "\nP2 ", "\nP1 "}, "verdict"},
        {"--format json --max 3",
         3,
         {"\"max\": {\"limit\": 3.0000, \"value\": 10.0000, \"pass\": false, \"over\": 2}",
          "\"verdict\": \"FAIL\""},
         "PASS"},
    };
    for (const Case& c : cases) {
        auto r = RunVantrel(std::string("compare --metric ab ") + c.options + " " + files);
        EXPECT_EQ(r.status, c.status) << c.options << ": " << r.err;
        for (const char* part : c.expected)
            EXPECT_TRUE(Contains(r.out, part)) << c.options << "\n" << r.out;
        EXPECT_FALSE(Contains(r.out, c.absent)) << c.options << "\n" << r.out;
    }
    // --sort lists worst first: P5 before P1 although P1 is not before P5 in the sample.
    auto sorted = RunVantrel("compare --metric ab --sort " + files);
    EXPECT_LT(sorted.out.find("\nP5 "), sorted.out.find("\nP1 "));
}

// --ref-table and --sample-table choose the table of each file, --table that of both: a file
// holding the reference's table, then the sample's, compared with itself.
TEST(Compare, TableOfEachFile) {
    TempDir dir;
    const std::string two = Quoted(Write(dir, "two.cgats",
                                         testing_support::ReadFile(kData + "lab_reference.cgats") +
                                             testing_support::ReadFile(kData + "lab_ids.cgats")));
    struct Case {
        const char* options;
        const char* p3;  // the signed differences of P3
    };
    const Case cases[] = {
        {"--ref-table 1 --sample-table 2", "\"dL\": 0.0000, \"dC\": 3.0000"},
        {"--ref-table=2 --sample-table=1", "\"dL\": 0.0000, \"dC\": -3.0000"},
        {"--table 2", "\"dL\": 0.0000, \"dC\": 0.0000"},
    };
    for (const Case& c : cases) {
        auto r = RunVantrel(std::string("compare --metric ab --format json ") + c.options + " " +
                            two + " " + two);
        EXPECT_EQ(r.status, 0) << c.options << ": " << r.err;
        EXPECT_TRUE(Contains(LineWith(r.out, "\"P3\""), c.p3)) << c.options << "\n" << r.out;
    }
    cli_testing::ExpectError("compare --sample-table 3 " + two + " " + two, 1,
                             "two.cgats: holds 2 tables, no table 3");
}

// By order: pair 1 is reference (50, 0, 0) against (50, 3, 4), pair 2 the same swapped.
TEST(Compare, MetricsAndTheirFactorsByOrder) {
    struct Case {
        const char* options;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"", "5.3022", "5.3022"},  // CIEDE2000 by default, symmetric
        {"--metric 2000 --kl 2", "5.3022", "5.3022"},
        {"--metric 2000 --kc 2 --kh 0.5", "2.6511", "2.6511"},
        {"--metric ab", "5.0000", "5.0000"},
        {"--metric 94", "5.0000", "4.0816"},
        {"--metric 94 --kc 2", "2.5000", "2.0408"},
        {"--metric cmc", "7.8370", "5.3340"},
        {"--metric cmc --l 1 --c 1", "7.8370", "5.3340"},  // no lightness difference
    };
    for (const Case& c : cases) {
        auto r = RunVantrel(std::string("compare --format csv ") + c.options + " " +
                            D("lab_order.cgats") + " " + D("lab_order_short.cgats"));
        ASSERT_EQ(r.status, 0) << c.options << ": " << r.err;
        auto last = [&](const char* id) {
            std::string line = LineWith(r.out, id);
            return line.substr(line.rfind(',') + 1);
        };
        EXPECT_EQ(last("#1,"), c.first) << c.options << "\n" << r.out;
        EXPECT_EQ(last("#2,"), c.second) << c.options << "\n" << r.out;
        EXPECT_TRUE(LineWith(r.out, "#3,").empty()) << c.options;
        EXPECT_TRUE(Contains(r.err, "has 3 patches")) << r.err;
        EXPECT_TRUE(Contains(r.err, "compared the first 2 in file order")) << r.err;
    }
}

std::vector<int> Srgb255(float L, float a, float b) {
    float rgb[3];
    LAB2SRGB(L, a, b, &rgb[0], &rgb[1], &rgb[2]);
    return {int(std::lround(rgb[0] * 255.0f)), int(std::lround(rgb[1] * 255.0f)),
            int(std::lround(rgb[2] * 255.0f))};
}

// The grid starts under a header of 318 pixels (title, legend, histogram); cells are 112 x
// 116 with 16-pixel margins, the swatch 88 x 60 at (12, 8) in its cell.
constexpr int kGridTop = 318;

TEST(Compare, PictureLayoutSwatchColoursAndWorstOutline) {
    TempDir dir;
    std::string png = dir.File("report.png");
    auto r = RunVantrel("compare --metric ab " + D("lab_reference.cgats") + " " +
                        D("lab_ids.cgats") + " --png " + Quoted(png));
    ASSERT_EQ(r.status, 0) << r.err;
    cli_testing::PngImage image = cli_testing::ReadPng(png);
    // Five swatches: three cells a row, two rows, in a picture at least 816 pixels wide.
    ASSERT_EQ(image.width, 816);
    ASSERT_EQ(image.height, kGridTop + 2 * 116 + 16);
    // The first swatch (P5, the worst): reference left, sample right, outlined.
    const int x = 16 + 12, y = kGridTop + 8;
    EXPECT_EQ(image.At(x + 22, y + 30), Srgb255(50, 0, 0));
    EXPECT_EQ(image.At(x + 66, y + 30), Srgb255(60, 0, 0));
    EXPECT_EQ(image.At(x - 4, y + 30), (std::vector<int>{255, 48, 48}));
    // The second (P4) is not.
    EXPECT_EQ(image.At(x + 112 - 4, y + 30), (std::vector<int>{90, 90, 90}));
}

TEST(Compare, PictureOfManyPatchesKeepsTheWorstWithinBounds) {
    TempDir dir;
    std::string reference =
        "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\n"
        "SAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 5000\n"
        "BEGIN_DATA\n";
    std::string sample = reference;
    for (int k = 1; k <= 5000; ++k) {
        const std::string id = "patch-number-" + std::to_string(k);
        reference += id + " 50 0 0\n";
        // Patch 2500 differs most: L* 90, a dark swatch beside a light one.
        sample += id + (k == 2500 ? " 90 0 0\n" : " 50 0 " + std::to_string(k % 7) + "\n");
    }
    reference += "END_DATA\n";
    sample += "END_DATA\n";
    const std::string png = dir.File("many.png");
    auto r = RunVantrel("compare " + Quoted(Write(dir, "r.cgats", reference)) + " " +
                        Quoted(Write(dir, "s.cgats", sample)) + " --png " + Quoted(png) +
                        " --format csv");
    ASSERT_EQ(r.status, 0) << r.err;
    cli_testing::PngImage image = cli_testing::ReadPng(png);
    EXPECT_LE(image.width, 4096);
    EXPECT_LE(image.height, 4096);
    EXPECT_GT(image.height, 3500);
    // Worst first.
    const int x = 16 + 12, y = kGridTop + 8;
    EXPECT_EQ(image.At(x + 66, y + 30), Srgb255(90, 0, 0));
}

TEST(MeasureAndCompare, BadInputGivesOneLineNamingFileAndLineAndStatus1) {
    TempDir dir;
    const std::string d50 = Quoted(WriteSpectral(dir, "d50.cgats", "nm", 400, 700, 0.5, 0,
                                                 "ILLUMINANT \"D50\"\nOBSERVER \"2_DEGREE\"\n"));
    const std::string d65 = Quoted(
        WriteSpectral(dir, "d65.cgats", "nm", 400, 700, 0.5, 0, "ILLUMINANT D65\nOBSERVER 2\n"));
    struct Case {
        std::string args;
        const char* message;
    };
    const Case cases[] = {
        {"measure /nonexistent/x.cgats", "/nonexistent/x.cgats: cannot open"},
        {"measure " + D("bad_not_cgats.txt"), "bad_not_cgats.txt: not a CGATS file"},
        {"measure " + D("bad_count.cgats"),
         "bad_count.cgats:9: 5 values where NUMBER_OF_FIELDS is 4"},
        {"measure " + D("bad_no_sets.cgats"), "bad_no_sets.cgats:6: NUMBER_OF_SETS missing"},
        {"measure " + D("bad_missing_field.cgats"), "bad_missing_field.cgats: field XYZ_Z missing"},
        {"measure " + D("bad_no_colour.cgats"), "bad_no_colour.cgats: no colour fields"},
        {"measure " + D("bad_number.cgats"),
         "bad_number.cgats:10: field LAB_A: 'n/a' is not a number"},
        {"measure " + D("bad_empty.cgats"), "bad_empty.cgats:7: empty data block"},
        {"measure --table 2 " + D("lab_ids.cgats"), "lab_ids.cgats: holds 1 table, no table 2"},
        {"measure --densities " + D("lab_ids.cgats"),
         "lab_ids.cgats: densities needs spectral fields; this file has L*a*b* only"},
        {"measure --illuminant A " + D("lab_ids.cgats"),
         "lab_ids.cgats: integration for A needs spectral fields"},
        {"measure " + Quoted(WriteSpectral(dir, "gap.cgats", "nm", 400, 700, 0.5, 550)),
         "gap.cgats: field nm550 missing"},
        {"measure " + Quoted(WriteSpectral(dir, "short.cgats", "nm", 400, 690, 0.5)),
         "short.cgats: field nm700 missing: the D50 table needs 400 to 700 nm"},
        {"compare " + D("lab_ids.cgats") + " " + D("bad_duplicate_id.cgats"),
         "bad_duplicate_id.cgats:10: SAMPLE_ID 'P1' given twice (first on line 8)"},
        {"compare " + D("lab_ids.cgats") + " " + D("bad_number.cgats"),
         "bad_number.cgats:10: field LAB_A"},
        {"compare " + D("bad_empty.cgats") + " " + D("lab_ids.cgats"),
         "bad_empty.cgats:7: empty data block"},
        {"compare " + d50 + " " + d65, "d50.cgats states ILLUMINANT D50, "},
    };
    const std::string png = dir.File("never.png");
    for (const Case& c : cases) {
        std::string args = c.args;
        if (args.rfind("compare", 0) == 0) args += " --png " + Quoted(png);
        cli_testing::ExpectError(args, 1, c.message);
        EXPECT_NE(access(png.c_str(), F_OK), 0) << c.args << ": a picture was written";
    }
    // The same observer written two ways agrees; the illuminants differ unless told to go on.
    // Integrated for D50, the file that states D65 is named in a warning.
    auto r = RunVantrel("compare --ignore-conditions " + d50 + " " + d65);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "d65.cgats: states ILLUMINANT 'D65' and OBSERVER '2'")) << r.err;
    EXPECT_EQ(CountLines(r.err), 1) << r.err;
}

// The README shows the built-in example's output as it stands, with the tolerance that
// scripts/run-example passes.
TEST(Compare, BuiltInExampleMatchesTheReadme) {
    const std::string root = VANTREL_SOURCE_DIR;
    const std::string command =
        "compare examples/reference.cgats examples/measured.cgats --max 5 --mean 1.5";
    auto r = RunVantrel("compare '" + root + "/examples/reference.cgats' '" + root +
                        "/examples/measured.cgats' --max 5 --mean 1.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_TRUE(Contains(testing_support::ReadFile(root + "/scripts/run-example"), command));
    EXPECT_TRUE(Contains(testing_support::ReadFile(root + "/README.md"),
                         "$ vantrel " + command + "\n" + r.out + "```"))
        << r.out;
}

}  // namespace
