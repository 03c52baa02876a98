// Tolerance profiles: what the parser refuses, naming the line, and how patches fall into
// groups and are judged.
#include <gtest/gtest.h>

#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

TEST(ToleranceProfile, RefusesWhatItCannotReadNamingTheLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"max 3\n", "t.tol:1: 'max' before the first group"},
        {"group a\n  max three\n", "t.tol:2: 'three' is not a number"},
        {"group a\n  ids P*\ngroup b\n  max 1\n",
         "t.tol:1: group 'a' sets no limit (max, mean, "
         "p95 or max-dh)"},
        {"group a\n max 1\ngroup a\n max 2\n",
         "t.tol:3: group 'a' defined twice (first on line 1)"},
        {"group a\n metric 94 1 2\n", "t.tol:2: metric 94 takes 3 factors or none"},
        {"group a\n chroma 5..1\n", "t.tol:2: range 5..1 runs backwards"},
        {"group a\n device CMYK_C\n", "t.tol:2: 'CMYK_C' is not FIELD=VALUE or FIELD=LOW..HIGH"},
        {"group a\n relative maybe\n", "t.tol:2: relative is yes or no"},
        {"group a\n mean -1\n", "t.tol:2: mean -1 is below 0"},
        {"group a\n tolerance 3\n",
         "t.tol:2: 'tolerance' is not a statement of a tolerance profile (paper, group, ids, "
         "names, device, lightness, chroma, metric, max, mean, p95, max-dh, relative)"},
        {"# nothing\n", "t.tol: defines no group"},
    };
    for (const auto& c : cases) {
        try {
            measure::ParseToleranceProfile(c.text, "t.tol");
            ADD_FAILURE() << "no error: " << c.text;
        } catch (const measure::Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    for (const char* example : {"/examples/press-check.tol", "/examples/display-check.tol"})
        EXPECT_NO_THROW(measure::ReadToleranceProfile(VANTREL_SOURCE_DIR + std::string(example)));
}

// Paper, two solids, an overprint and a grey; the sample's cyan is off by dL* 6 and its grey
// by dL* 1.
TEST(ToleranceProfile, GroupsByIdDeviceValuesAndChroma) {
    auto file = [](const char* cyan, const char* grey) {
        return measure::ParseCgats(
            std::string("CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K "
                        "LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 5\nBEGIN_DATA\n"
                        "W 0 0 0 0 95 0 -2\nC 100 0 0 0 ") +
                cyan + "\nM 0 100 0 0 48 74 -3\nCM 100 100 0 0 24 22 -46\nG 50 40 40 0 " + grey +
                "\nEND_DATA\n",
            "f.cgats");
    };
    measure::CompareOptions options;
    options.metric.metric = measure::Metric::Cie76;
    options.profile = measure::ParseToleranceProfile(
        "group paper\n ids W\n max 1\n"
        "group solids\n device CMYK_C=100 CMYK_M=0\n device CMYK_C=0 CMYK_M=99.7..100\n max 5\n"
        "group greys\n chroma 0..3\n lightness 10..90\n mean 2\n"
        "group everything\n p95 10\n max-dh 0.5\n",
        "t.tol");
    const measure::Comparison c =
        measure::Compare(file("55 -37 -50", "60 0 1"), file("61 -37 -50", "61 0 1"), options);
    ASSERT_EQ(c.groups.size(), 4u);
    const std::vector<std::size_t> members[] = {{0}, {1, 2}, {4}, {0, 1, 2, 3, 4}};
    const bool passes[] = {true, false, true, true};
    for (std::size_t g = 0; g < 4; ++g) {
        SCOPED_TRACE(c.groups[g].name);
        EXPECT_EQ(c.groups[g].members, members[g]);
        EXPECT_EQ(c.groups[g].verdict.pass, passes[g]);
    }
    EXPECT_EQ(c.groups[1].statistics.max, 6);
    EXPECT_EQ(c.groups[3].verdict.checks.back().name, "max-dh");
    EXPECT_FALSE(c.verdict.pass);
}

}  // namespace
