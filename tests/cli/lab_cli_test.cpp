// The command's first slice: lab, xyz, lch, help and error rules.
#include "cli_helpers.h"

namespace {

using cli_testing::RunVantrel;

TEST(Cli, NoArgumentsPrintsHelpAndAnExample) {
    auto r = RunVantrel("");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: vantrel"), std::string::npos);
    EXPECT_NE(r.out.find("Example"), std::string::npos);
}

TEST(Cli, PrintsAlignedResults) {
    const struct {
        const char *args, *output;
    } cases[] = {
        {"lab 96.42 100 82.49", "L*  100.0000\na*    0.0000\nb*    0.0000\n"},
        {"xyz 100 0 0 --white 0.9642 1 0.8249", "X  0.9642\nY  1.0000\nZ  0.8249\n"},
    };
    for (const auto& c : cases) {
        auto r = RunVantrel(c.args);
        EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, c.output) << c.args;
    }
    auto r = RunVantrel("lch 50 0 -10");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("270.0000"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("4.712389"), std::string::npos) << r.out;
    EXPECT_EQ(RunVantrel("xyz -10 0 0").status, 0);  // negative numbers are not options
}

TEST(Cli, BadInputGivesOneLineNamingTheArgumentAndStatus2) {
    const char* cases[][2] = {
        {"lab 1 2", "missing argument Z"},
        {"lab 1 x 3", "argument Y: 'x' is not a number"},
        {"lab 1 2 3 4", "unexpected argument '4'"},
        {"xyz 50 0 0 --white 1 2", "option --white needs 3 values"},
        {"lch 50 nan 0", "argument a: 'nan' is not a number"},
        {"lab 1 2 3 --whit 1 2 3", "unknown option --whit"},
        {"frobnicate", "unknown command 'frobnicate'"},
    };
    for (const auto& c : cases) cli_testing::ExpectError(c[0], 2, c[1]);
}

TEST(Cli, EverySubcommandHasHelp) {
    for (const char* name :
         {"lab", "xyz", "lch", "deltae", "rgb", "hsv", "spectrum", "adapt", "solve", "name",
          "dither", "resolution", "measure", "compare", "prefs", "monitor", "progress"}) {
        auto r = RunVantrel(std::string(name) + " --help");
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.out.rfind(std::string("usage: vantrel ") + name, 0), 0u) << name;
    }
}

}  // namespace
