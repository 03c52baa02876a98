// vantrel measure and compare: what they print, the verdict and its exit status, and the
// picture. Their refusals are rows of the conventions table.
#include <array>
#include <cmath>
#include <string>
#include <vector>

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

TEST(Measure, ColourOfSpectraXyzAndLabFiles) {
    const std::string ones = D("spectral_ones.cgats");
    const struct {
        std::string args;
        std::vector<const char*> expected;  // parts of the output
    } cases[] = {
        // The library's D50 table, exactly as CX_SpectrumToD50XYZ gives it, and the densities.
        {"measure --densities --format csv " + ones,
         {"A1,96.4210,99.9970,82.5240,",
          ",0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,percent,data\n"}},
        {"measure " + ones,
         {": 2 patches, colour from spectra, the library's D50 table (2 degree, 400 to 700 nm); "
          "percent (shown by the data: a value of 100)\n"}},
        // A CIE integration of the file's own range: the perfect reflector is the white.
        {"measure --illuminant D65 --observer=10 --format csv " + ones,
         {"A1,94.8", ",100.0000,", ",100.0000,0.0000,0.0000,0.0000,0.0000,percent,data\n"}},
        {"measure --observer 10 " + ones, {"CIE D50 10 degree, 400 to 700 nm every 10 nm"}},
        {"measure --format csv " + D("lab_ids.cgats"),
         {"id,X,Y,Z,L*,a*,b*,C*,h\n", "P3,", ",50.0000,0.0000,-3.0000,3.0000,270.0000\n"}},
        // Without SAMPLE_ID the id is the patch's place in the file.
        {"measure --format json " + D("xyz_names.cgats"),
         {"{\"id\": \"1\", \"name\": \"paper white\", \"X\": 96.4200, \"Y\": 100.0000, "
          "\"Z\": 82.4900, \"L\": 100.0000, \"a\": 0.0000, \"b\": 0.0000"}},
    };
    for (const auto& c : cases) {
        auto r = RunVantrel(c.args);
        EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
        for (const char* part : c.expected)
            EXPECT_TRUE(Contains(r.out, part)) << c.args << "\n" << r.out;
    }
    auto r = RunVantrel("measure -", testing_support::ReadFile(kData + "lab_ids.cgats"));
    EXPECT_TRUE(Contains(r.out, "standard input: 5 patches, colour from L*a*b*")) << r.err;
}

// dE*ab of the five pairs is 10, 4, 3, 2 and 1 (reference order P5 .. P1); P6 is only in the
// reference.
TEST(Compare, StatisticsVerdictSortingAndExitStatus) {
    const std::string files = D("lab_reference.cgats") + " " + D("lab_ids.cgats");
    const struct {
        const char* options;
        int status;
        std::vector<const char*> expected;
        const char* absent;
    } cases[] = {
        // Signed differences of the sample from the reference, then the difference.
        {"--format json",
         0,
         {"\"matched_by\": \"SAMPLE_ID\"", "{\"id\": \"P3\"",
          "\"dL\": 0.0000, \"dC\": 3.0000, \"dH\": 0.0000, \"dE\": 3.0000},",
          "\"summary\": {\"count\": 5, \"mean\": 4.0000, \"std_dev\": 3.5355, \"median\": 3.0000, "
          "\"p95\": 8.8000, \"max\": 10.0000, \"max_patch\": \"P5\"}"},
         "verdict"},
        {"--max 5 --mean 4 --p95 9",
         3,
         {"std. deviation   3.54\n", "limit max        5.00  FAIL (1 patch over)\n",
          "limit mean       4.00  PASS\n", "limit p95        9.00  PASS\n",
          "verdict          FAIL\n"},
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
    for (const auto& c : cases) {
        auto r = RunVantrel(std::string("compare --metric ab ") + c.options + " " + files);
        EXPECT_EQ(r.status, c.status) << c.options << ": " << r.err;
        std::size_t at = 0;  // the parts in this order
        for (const char* part : c.expected) {
            at = r.out.find(part, at);
            EXPECT_NE(at, std::string::npos) << c.options << ": " << part << "\n" << r.out;
        }
        EXPECT_FALSE(Contains(r.out, c.absent)) << c.options << "\n" << r.out;
        EXPECT_TRUE(CountLines(r.err) == 1 && Contains(r.err, "warning: ") &&
                    Contains(r.err, "1 patch with no SAMPLE_ID in ") &&
                    Contains(r.err, "(first: 'P6')"))
            << c.options << ": " << r.err;
    }
}

// --ref-table and --sample-table choose the table of each file, --table that of both: a file
// holding the reference's table, then the sample's, compared with itself.
TEST(Compare, TableOfEachFile) {
    const std::string two = D("two_tables.cgats");
    const std::pair<const char*, const char*> cases[] = {
        // options, differences of P3
        {"--ref-table 1 --sample-table 2", "\"dL\": 0.0000, \"dC\": 3.0000"},
        {"--ref-table=2 --sample-table=1", "\"dL\": 0.0000, \"dC\": -3.0000"},
        {"--table 2", "\"dL\": 0.0000, \"dC\": 0.0000"},
    };
    for (const auto& [options, p3] : cases) {
        auto r = RunVantrel(std::string("compare --metric ab --format json ") + options + " " +
                            two + " " + two);
        EXPECT_EQ(r.status, 0) << options << ": " << r.err;
        EXPECT_TRUE(Contains(LineWith(r.out, "\"P3\""), p3)) << options << "\n" << r.out;
    }
}

// By order: pair 1 is reference (50, 0, 0) against (50, 3, 4), pair 2 the same swapped.
TEST(Compare, MetricsAndTheirFactorsByOrder) {
    const std::array<const char*, 3> cases[] = {
        // options, dE of pair 1, dE of pair 2
        {"", "5.3022", "5.3022"},  // CIEDE2000 by default, symmetric
        {"--metric 2000 --kl 2", "5.3022", "5.3022"},
        {"--metric 2000 --kc 2 --kh 0.5", "2.6511", "2.6511"},
        {"--metric ab", "5.0000", "5.0000"},
        {"--metric 94", "5.0000", "4.0816"},
        {"--metric 94 --kc 2", "2.5000", "2.0408"},
        {"--metric cmc", "7.8370", "5.3340"},
    };
    for (const auto& [options, first, second] : cases) {
        SCOPED_TRACE(options);
        auto r = RunVantrel(std::string("compare --pair order --format csv ") + options + " " +
                            D("lab_order.cgats") + " " + D("lab_order_short.cgats"));
        EXPECT_TRUE(Contains(r.err, "has 3 patches") &&
                    Contains(r.err, "compared the first 2 in file order") && r.status == 0)
            << r.err;
        const auto last = [&](const char* id) {
            std::string line = LineWith(r.out, id);
            return line.substr(line.rfind(',') + 1);
        };
        EXPECT_EQ(last("#1,") + " " + last("#2,"), first + std::string(" ") + second) << r.out;
        EXPECT_TRUE(LineWith(r.out, "#3,").empty());
    }
}

std::vector<int> Srgb255(float L, float a, float b) {
    float rgb[3];
    LAB2SRGB(L, a, b, &rgb[0], &rgb[1], &rgb[2]);
    return {int(std::lround(rgb[0] * 255.0f)), int(std::lround(rgb[1] * 255.0f)),
            int(std::lround(rgb[2] * 255.0f))};
}

// The picture of comparing `reference` with `sample`. The grid starts under a header of 318
// pixels (title, legend, histogram); cells are 112 x 116 with 16-pixel margins, the swatch 88 x
// 60 at (12, 8) in its cell: (kSwatchX, kSwatchY) is the first swatch's corner.
constexpr int kGridTop = 318, kSwatchX = 16 + 12, kSwatchY = kGridTop + 8;
cli_testing::PngImage ComparePicture(const std::string& reference, const std::string& sample) {
    TempDir dir;
    auto r = RunVantrel("compare --metric ab --format csv " + reference + " " + sample + " --png " +
                        Quoted(dir.File("report.png")));
    EXPECT_EQ(r.status, 0) << r.err;
    return cli_testing::ReadPng(dir.File("report.png"));
}

TEST(Compare, PictureLayoutSwatchColoursAndWorstOutline) {
    const auto image = ComparePicture(D("lab_reference.cgats"), D("lab_ids.cgats"));
    // Five swatches: three cells a row, two rows, in a picture at least 816 pixels wide.
    ASSERT_EQ(image.width, 816);
    ASSERT_EQ(image.height, kGridTop + 2 * 116 + 16);
    // The first swatch (P5, the worst): reference left, sample right, outlined; P4 is not.
    EXPECT_EQ(image.At(kSwatchX + 22, kSwatchY + 30), Srgb255(50, 0, 0));
    EXPECT_EQ(image.At(kSwatchX + 66, kSwatchY + 30), Srgb255(60, 0, 0));
    EXPECT_EQ(image.At(kSwatchX - 4, kSwatchY + 30), (std::vector<int>{255, 48, 48}));
    EXPECT_EQ(image.At(kSwatchX + 112 - 4, kSwatchY + 30), (std::vector<int>{90, 90, 90}));
}

TEST(Compare, PictureOfManyPatchesKeepsTheWorstWithinBounds) {
    TempDir dir;
    std::string reference =
        "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\n"
        "END_DATA_FORMAT\nNUMBER_OF_SETS 5000\nBEGIN_DATA\n";
    std::string sample = reference;
    for (int k = 1; k <= 5000; ++k) {
        const std::string id = "patch-number-" + std::to_string(k);
        reference += id + " 50 0 0\n";
        // Patch 2500 differs most: L* 90, a dark swatch beside a light one.
        sample += id + (k == 2500 ? " 90 0 0\n" : " 50 0 " + std::to_string(k % 7) + "\n");
    }
    const auto image = ComparePicture(Quoted(Write(dir, "r.cgats", reference + "END_DATA\n")),
                                      Quoted(Write(dir, "s.cgats", sample + "END_DATA\n")));
    // All of them, in cells small enough for the default width, without labels.
    EXPECT_LE(image.width, 1600);
    EXPECT_LE(image.height, 4096);
    int worst = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) worst += image.At(x, y) == Srgb255(90, 0, 0);
    EXPECT_GT(worst, 20);
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
