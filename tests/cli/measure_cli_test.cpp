// vantrel measure and compare: reading CGATS files, pairing patches, statistics, the picture
// and the refusal of bad input.
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli_helpers.h"
#include "orvane/temp_dir.h"
#include "vantrel/colorimetry.h"

namespace {

using cli_testing::Contains;
using cli_testing::CountLines;
using cli_testing::Quoted;
using cli_testing::RunVantrel;
using testing_support::TempDir;

const std::string kData = std::string(VANTREL_SOURCE_DIR) + "/tests/cli/data/";

// The line of `text` that contains `part`, or empty.
std::string LineWith(const std::string& text, const std::string& part) {
    size_t at = text.find(part);
    if (at == std::string::npos) return "";
    size_t begin = text.rfind('\n', at), end = text.find('\n', at);
    begin = begin == std::string::npos ? 0 : begin + 1;
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// A smooth reflectance curve whose values are multiples of 1/64, so that the same curve
// written in factors and in percent reads back to the same floats.
float Reflectance(int nm) {
    double edge = 0.1 + 0.7 / (1.0 + std::exp(-(nm - 560) / 20.0));
    return static_cast<float>(std::round(edge * 64.0) / 64.0);
}

// Writes a one-table CGATS file with spectral fields `prefix`NNN for `first`..`last` nm in
// `step` nm steps (skipping `skip`), holding `value(nm)` times `scale` for two patches.
std::string WriteSpectral(const TempDir& dir, const std::string& name, const std::string& prefix,
                          int first, int last, int step, float scale, float (*value)(int),
                          int skip = 0) {
    std::string fields = "SAMPLE_ID", row;
    int count = 1;
    for (int nm = first; nm <= last; nm += step) {
        if (nm == skip) continue;
        fields += " " + prefix + std::to_string(nm);
        char cell[32];
        std::snprintf(cell, sizeof cell, " %.6f", value(nm) * scale);
        row += cell;
        ++count;
    }
    std::string path = dir.file(name);
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f,
                 "CGATS.17\nNUMBER_OF_FIELDS %d\nBEGIN_DATA_FORMAT\n%s\nEND_DATA_FORMAT\n"
                 "NUMBER_OF_SETS 2\nBEGIN_DATA\nA1%s\nA2%s\nEND_DATA\n",
                 count, fields.c_str(), row.c_str(), row.c_str());
    std::fclose(f);
    return path;
}

float Ones(int) {
    return 1.0f;
}
float Zeros(int) {
    return 0.0f;
}

TEST(Measure, SpectralFieldVariantsGiveTheSameColour) {
    TempDir dir;
    struct Variant {
        const char* what;
        std::string path;
    };
    const Variant variants[] = {
        {"percent, nm names",
         WriteSpectral(dir, "percent.cgats", "nm", 400, 700, 10, 100.0f, Reflectance)},
        {"380 to 730 nm in 5 nm steps",
         WriteSpectral(dir, "wide.cgats", "SPECTRAL_", 380, 730, 5, 1.0f, Reflectance)},
        {"lower-case field names",
         WriteSpectral(dir, "lower.cgats", "spectral_", 400, 700, 10, 1.0f, Reflectance)},
    };
    auto plain = RunVantrel(
        "measure --format csv " +
        Quoted(WriteSpectral(dir, "plain.cgats", "SPECTRAL_", 400, 700, 10, 1.0f, Reflectance)));
    ASSERT_EQ(plain.status, 0) << plain.err;
    for (const Variant& v : variants) {
        auto r = RunVantrel("measure --format csv " + Quoted(v.path));
        EXPECT_EQ(r.status, 0) << v.what << ": " << r.err;
        EXPECT_EQ(r.out, plain.out) << v.what;
    }
}

TEST(Measure, PerfectReflectorAndBlackFromSpectra) {
    TempDir dir;
    auto white =
        RunVantrel("measure --densities --format csv " +
                   Quoted(WriteSpectral(dir, "w.cgats", "nm", 400, 700, 10, 100.0f, Ones)));
    ASSERT_EQ(white.status, 0) << white.err;
    EXPECT_TRUE(Contains(white.out, "A1,96.4210,99.9970,82.5240,")) << white.out;
    EXPECT_TRUE(Contains(white.out, ",0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000\n"))
        << white.out;
    auto black = RunVantrel("measure --densities --format csv " +
                            Quoted(WriteSpectral(dir, "k.cgats", "nm", 400, 700, 10, 1.0f, Zeros)));
    ASSERT_EQ(black.status, 0) << black.err;
    EXPECT_TRUE(Contains(black.out, "A1,0.0000,0.0000,0.0000,0.0000,")) << black.out;
    EXPECT_TRUE(Contains(black.out, ",4.0000,4.0000,4.0000,4.0000,4.0000,4.0000,4.0000,4.0000\n"))
        << black.out;
}

TEST(Measure, LabAndXyzFilesAndTheirIdsAndNames) {
    auto lab = RunVantrel("measure --format csv " + Quoted(kData + "lab_ids.cgats"));
    ASSERT_EQ(lab.status, 0) << lab.err;
    EXPECT_EQ(LineWith(lab.out, "id,"), "id,X,Y,Z,L*,a*,b*,C*,h");
    EXPECT_TRUE(Contains(LineWith(lab.out, "P3,"), ",50.0000,0.0000,-3.0000,3.0000,270.0000"))
        << lab.out;

    auto xyz = RunVantrel("measure --format json " + Quoted(kData + "xyz_names.cgats"));
    ASSERT_EQ(xyz.status, 0) << xyz.err;
    // Without SAMPLE_ID the id is the patch's place in the file.
    EXPECT_TRUE(Contains(xyz.out,
                         "{\"id\": \"1\", \"name\": \"paper white\", \"X\": 96.4200, "
                         "\"Y\": 100.0000, \"Z\": 82.4900, \"L\": 100.0000, \"a\": "
                         "0.0000, \"b\": 0.0000"))
        << xyz.out;
}

// ΔE*ab of the five pairs is 10, 4, 3, 2 and 1 (reference order P5 .. P1).
TEST(Compare, StatisticsByHandAndPairingById) {
    auto r = RunVantrel("compare --format json " + Quoted(kData + "lab_reference.cgats") + " " +
                        Quoted(kData + "lab_ids.cgats"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "\"matched_by\": \"SAMPLE_ID\"")) << r.out;
    EXPECT_TRUE(Contains(r.out,
                         "\"summary\": {\"count\": 5, \"mean\": 4.0000, \"median\": 3.0000, "
                         "\"p95\": 8.8000, \"max\": 10.0000, \"max_patch\": \"P5\"}"))
        << r.out;
    EXPECT_TRUE(Contains(LineWith(r.out, "\"P3\""), "\"dE\": 3.0000")) << r.out;
    EXPECT_TRUE(Contains(LineWith(r.out, "\"P4\""), "\"dE\": 4.0000")) << r.out;
    // P6 is only in the reference.
    EXPECT_EQ(CountLines(r.err), 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "warning: ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "1 patch with no SAMPLE_ID in ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "'P6'")) << r.err;

    r = RunVantrel("compare " + Quoted(kData + "lab_reference.cgats") + " " +
                   Quoted(kData + "lab_ids.cgats"));  // the table shows the same summary
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "patches          5 matched by SAMPLE_ID\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "95th percentile  8.80\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "maximum          10.00 (P5)\n")) << r.out;
}

// By order: pair 1 is reference (50, 0, 0) against (50, 3, 4), pair 2 the same swapped.
TEST(Compare, MetricsAndTheirFactorsByOrder) {
    struct Case {
        const char* options;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"", "5.0000", "5.0000"},
        {"--metric 94", "5.0000", "4.0816"},
        {"--metric 94 --kc 2", "2.5000", "2.0408"},
        {"--metric cmc", "7.8370", "5.3340"},
        {"--metric cmc --l 1 --c 1", "7.8370", "5.3340"},  // no lightness difference
    };
    for (const Case& c : cases) {
        auto r = RunVantrel(std::string("compare --format csv ") + c.options + " " +
                            Quoted(kData + "lab_order.cgats") + " " +
                            Quoted(kData + "lab_order_short.cgats"));
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

struct PngImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<int> at(int x, int y) const {
        const std::uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

PngImage ReadPng(const std::string& path) {
    PngImage out;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) return out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

std::vector<int> Srgb255(float L, float a, float b) {
    float rgb[3];
    LAB2SRGB(L, a, b, &rgb[0], &rgb[1], &rgb[2]);
    return {int(std::lround(rgb[0] * 255.0f)), int(std::lround(rgb[1] * 255.0f)),
            int(std::lround(rgb[2] * 255.0f))};
}

TEST(Compare, PictureSizeSwatchColoursAndWorstOutline) {
    TempDir dir;
    std::string png = dir.file("report.png");
    auto r = RunVantrel("compare " + Quoted(kData + "lab_reference.cgats") + " " +
                        Quoted(kData + "lab_ids.cgats") + " --png " + Quoted(png));
    ASSERT_EQ(r.status, 0) << r.err;
    PngImage image = ReadPng(png);
    // Five swatches: four cells a row (the minimum), two rows of 112 x 116 under a 44-pixel
    // header, 16-pixel margins.
    ASSERT_EQ(image.width, 16 + 4 * 112 + 16);
    ASSERT_EQ(image.height, 44 + 2 * 116 + 16);
    // The first swatch (P5, the worst) starts at (28, 52) and is 88 x 60: reference left,
    // sample right.
    EXPECT_EQ(image.at(28 + 22, 52 + 30), Srgb255(50, 0, 0));
    EXPECT_EQ(image.at(28 + 66, 52 + 30), Srgb255(60, 0, 0));
    EXPECT_EQ(image.at(28 - 4, 52 + 30), (std::vector<int>{255, 48, 48}));
    // The second (P4) is not outlined.
    EXPECT_EQ(image.at(140 - 4, 52 + 30), (std::vector<int>{90, 90, 90}));
}

TEST(MeasureAndCompare, BadInputGivesOneLineNamingFileAndLineAndStatus1) {
    auto d = [](const char* name) { return Quoted(kData + name); };
    struct Case {
        std::string args;
        const char* message;
    };
    const Case cases[] = {
        {"measure /nonexistent/x.cgats", "/nonexistent/x.cgats: cannot open"},
        {"measure " + d("bad_not_cgats.txt"), "bad_not_cgats.txt: not a CGATS file"},
        {"measure " + d("bad_count.cgats"),
         "bad_count.cgats:9: 5 values where NUMBER_OF_FIELDS is 4"},
        {"measure " + d("bad_no_sets.cgats"), "bad_no_sets.cgats:6: NUMBER_OF_SETS missing"},
        {"measure " + d("bad_missing_field.cgats"), "bad_missing_field.cgats: field XYZ_Z missing"},
        {"measure " + d("bad_no_colour.cgats"), "bad_no_colour.cgats: no colour fields"},
        {"measure " + d("bad_number.cgats"),
         "bad_number.cgats:10: field LAB_A: 'n/a' is not a number"},
        {"measure " + d("bad_empty.cgats"), "bad_empty.cgats:7: empty data block"},
        {"measure --densities " + d("lab_ids.cgats"),
         "lab_ids.cgats: --densities needs spectral fields"},
        {"compare " + d("lab_ids.cgats") + " " + d("bad_duplicate_id.cgats"),
         "bad_duplicate_id.cgats:10: SAMPLE_ID 'P1' given twice (first on line 8)"},
        {"compare " + d("lab_ids.cgats") + " " + d("bad_number.cgats"),
         "bad_number.cgats:10: field LAB_A"},
        {"compare " + d("bad_empty.cgats") + " " + d("lab_ids.cgats"),
         "bad_empty.cgats:7: empty data block"},
    };
    TempDir dir;
    const std::string png = dir.file("never.png");
    for (const Case& c : cases) {
        std::string args = c.args;
        if (args.rfind("compare", 0) == 0) args += " --png " + Quoted(png);
        cli_testing::ExpectError(args, 1, c.message);
        EXPECT_NE(access(png.c_str(), F_OK), 0) << c.args << ": a picture was written";
    }
}

TEST(Measure, MissingWavelengthIsNamed) {
    TempDir dir;
    struct Case {
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {WriteSpectral(dir, "gap.cgats", "nm", 400, 700, 10, 1.0f, Reflectance, 550),
         "gap.cgats: field nm550 missing"},
        {WriteSpectral(dir, "coarse.cgats", "SPECTRAL_", 380, 720, 20, 1.0f, Reflectance),
         "coarse.cgats: field SPECTRAL_410 missing"},
        {WriteSpectral(dir, "short.cgats", "nm", 400, 690, 10, 1.0f, Reflectance),
         "short.cgats: field nm700 missing"},
    };
    for (const Case& c : cases) cli_testing::ExpectError("measure " + Quoted(c.path), 1, c.message);
}

TEST(MeasureAndCompare, MalformedOptionsAreUsageErrors) {
    const std::string lab = Quoted(kData + "lab_ids.cgats");
    const char* cases[][2] = {
        {"--metric de2000", "argument --metric: 'de2000' is not ab, 94 or cmc"},
        {"--kl 2", "option --kl applies to --metric 94"},
        {"--metric 94 --l 1", "option --l applies to --metric cmc"},
        {"--metric cmc --c 0", "argument --c: '0' is not above 0"},
        {"--format xml", "argument --format: 'xml' is not table, csv or json"},
    };
    for (const auto& c : cases)
        cli_testing::ExpectError(std::string("compare ") + c[0] + " " + lab + " " + lab, 2, c[1]);
}

// The README shows the built-in example's output as it stands.
TEST(Compare, BuiltInExampleMatchesTheReadme) {
    const std::string root = VANTREL_SOURCE_DIR;
    auto r = RunVantrel("compare '" + root + "/examples/reference.cgats' '" + root +
                        "/examples/measured.cgats'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    std::string readme = testing_support::ReadFile(root + "/README.md");
    EXPECT_TRUE(Contains(readme,
                         "$ vantrel compare examples/reference.cgats "
                         "examples/measured.cgats\n" +
                             r.out + "```"))
        << r.out;
}

}  // namespace
