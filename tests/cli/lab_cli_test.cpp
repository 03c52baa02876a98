// The command's first slice: lab, xyz, lch, help and error rules.
#include <gtest/gtest.h>

#include "support/run_command.h"

namespace {

using testing_support::RunVantrel;

TEST(Cli, NoArgumentsPrintsHelpAndAnExample) {
    auto r = RunVantrel("");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: vantrel"), std::string::npos);
    EXPECT_NE(r.out.find("Example"), std::string::npos);
}

TEST(Cli, LabOfD50WhiteIs100) {
    auto r = RunVantrel("lab 96.42 100 82.49");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "L*  100.0000\na*    0.0000\nb*    0.0000\n");
}

TEST(Cli, XyzWithAnExplicitWhite) {
    auto r = RunVantrel("xyz 100 0 0 --white 0.9642 1 0.8249");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "X  0.9642\nY  1.0000\nZ  0.8249\n");
}

TEST(Cli, LchPrintsDegreesAndRadians) {
    auto r = RunVantrel("lch 50 0 -10");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("270.0000"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("4.712389"), std::string::npos) << r.out;
}

struct ErrorCase {
    const char* args;
    const char* message;  // part of the one-line error
};

TEST(Cli, BadInputGivesOneLineNamingTheArgumentAndStatus2) {
    const ErrorCase cases[] = {
        {"lab 1 2", "missing argument Z"},
        {"lab 1 x 3", "argument Y: 'x' is not a number"},
        {"lab 1 2 3 4", "unexpected argument '4'"},
        {"xyz 50 0 0 --white 1 2", "option --white needs 3 values"},
        {"lch 50 nan 0", "argument a: 'nan' is not a number"},
        {"lab 1 2 3 --whit 1 2 3", "unknown option --whit"},
        {"frobnicate", "unknown command 'frobnicate'"},
    };
    for (const ErrorCase& c : cases) {
        auto r = RunVantrel(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(testing_support::CountLines(r.err), 1) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
}

TEST(Cli, EverySubcommandHasHelp) {
    for (const char* name : {"lab", "xyz", "lch"}) {
        auto r = RunVantrel(std::string(name) + " --help");
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.out.rfind(std::string("usage: vantrel ") + name, 0), 0u) << name;
    }
}

TEST(Cli, NegativeNumbersAreNotOptions) {
    auto r = RunVantrel("xyz -10 0 0");
    EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
