// The colour subcommands: deltae, adapt, rgb, hsv, spectrum; their output and error rules.
#include <gtest/gtest.h>

#include <string>

#include "support/run_command.h"

namespace {

using testing_support::RunVantrel;

struct OutputCase {
    const char* args;
    const char* input;  // standard input
    const char* output;
};

TEST(ColorCli, PrintsAlignedResults) {
    const OutputCase cases[] = {
        {"deltae 50 0 0 50 3 4", "", "dE*ab  5.0000\n"},
        {"deltae 50 3 4 50 0 0 --metric 94", "", "dE94 (1:1:1)  4.0816\n"},
        {"deltae 50 0 0 60 0 0 --metric 94 --kl 2", "", "dE94 (2:1:1)  5.0000\n"},
        {"deltae 50 0 0 50 3 4 --metric cmc", "", "dE CMC (2:1)  7.8370\n"},
        {"deltae 50 3 4 50 0 0 --metric cmc --l 2 --c 1", "", "dE CMC (2:1)  5.3340\n"},
        {"rgb 0.4821 0.5 0.41245", "", "R  0.729740  186\nG  0.729740  186\nB  0.729740  186\n"},
        {"rgb 0 1 0", "", "R  0.000000    0\nG  1.000000  255\nB  0.000000    0\n"},
        {"rgb --lab 0 0 0 --space colormatch", "",
         "R  0.000033  0\nG  0.000000  0\nB  0.000024  0\n"},
        {"hsv 255 128 0", "",
         "H (degrees)   30.1176\nS              1.0000\nV            255.0000\n"},
        {"hsv 1 1 0", "", "H (degrees)  60.0000\nS             1.0000\nV             1.0000\n"},
        {"adapt 2 0.5 4 --from 2 1 4 --to 1 1 2 --method scaling", "",
         "X  1.000000\nY  0.500000\nZ  2.000000\n"},
        {"adapt 0.9505 1 1.0888 --from D65 --to D50", "",
         "X  0.964200\nY  1.000000\nZ  0.824900\n"},
        {"adapt 0.5 0.00005 0.5 --from D65 --to D50 --method bradford", "",
         "X  0.000000\nY  0.000000\nZ  0.000000\n"},
    };
    for (const OutputCase& c : cases) {
        auto r = RunVantrel(c.args, c.input);
        EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, c.output) << c.args;
    }
}

struct ErrorCase {
    const char* args;
    const char* input;
    const char* message;  // part of the one-line error
};

TEST(ColorCli, BadInputGivesOneLineNamingTheProblemAndStatus2) {
    const ErrorCase cases[] = {
        {"deltae 1 2 3 4 5", "", "missing argument b2"},
        {"deltae 1 2 3 4 x 6", "", "argument a2: 'x' is not a number"},
        {"deltae 1 2 3 4 5 6 --metric 2000", "", "'2000' is not ab, 94 or cmc"},
        {"deltae 1 2 3 4 5 6 --kl 2", "", "apply to --metric 94 only"},
        {"deltae 1 2 3 4 5 6 --metric 94 --l 2", "", "apply to --metric cmc only"},
        {"rgb 1 2", "", "missing argument Z"},
        {"rgb --lab 50 0 x", "", "argument b: 'x' is not a number"},
        {"rgb 1 2 3 --space adobe", "", "'adobe' is not srgb or colormatch"},
        {"hsv 1 2 3 4", "", "unexpected argument '4'"},
        {"spectrum 0.5 0.5", "", "expected 31 reflectance factors (400 to 700 nm), read 2"},
        {"spectrum 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 x", "",
         "argument 700 nm: 'x' is not a number"},
        {"adapt 1 1 1 --to D50", "", "missing option --from"},
        {"adapt 1 1 1 --from D65", "", "missing option --to"},
        {"adapt 1 1 1 --from F2 --to D50", "", "unknown white 'F2'"},
        {"adapt 1 1 1 --from 1 1 --to D50", "", "option --from needs a white's name or 3 values"},
        {"adapt 1 1 1 --from D65 --to D50 --method cat02", "", "'cat02' is not scaling"},
    };
    for (const ErrorCase& c : cases) {
        auto r = RunVantrel(c.args, c.input);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(testing_support::CountLines(r.err), 1) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
}

std::string Repeat(const std::string& word, int n, const char* separator) {
    std::string text;
    for (int k = 0; k < n; ++k) text += (k ? separator : "") + word;
    return text;
}

TEST(ColorCli, SpectrumReadsArgumentsOrStandardInput) {
    const std::string ones =
        "X   96.4210\nY   99.9970\nZ   82.5240\nL*  99.9988\na*   0.0067\nb*  -0.0295\n\n"
        "density   visual     red   green    blue\n"
        "Status T  0.0000  0.0000  0.0000  0.0000\n"
        "Status I  0.0000  0.0000  0.0000  0.0000\n";
    auto fromArguments = RunVantrel("spectrum " + Repeat("1", 31, " "));
    EXPECT_EQ(fromArguments.status, 0) << fromArguments.err;
    EXPECT_EQ(fromArguments.out, ones);
    auto fromInput = RunVantrel("spectrum", Repeat("1", 31, ",\n"));
    EXPECT_EQ(fromInput.status, 0) << fromInput.err;
    EXPECT_EQ(fromInput.out, ones);

    auto zeros = RunVantrel("spectrum", Repeat("0", 31, " "));
    EXPECT_NE(zeros.out.find("Status I  4.0000  4.0000  4.0000  4.0000\n"), std::string::npos)
        << zeros.out;
}

TEST(ColorCli, SpectrumCountErrorOnStandardInputIsAFailure) {
    for (int count : {30, 32}) {
        auto r = RunVantrel("spectrum", Repeat("0.5", count, " "));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("standard input: expected 31 reflectance factors (400 to 700 nm), "
                             "read " +
                             std::to_string(count)),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(testing_support::CountLines(r.err), 1);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(ColorCli, EverySubcommandHasHelp) {
    for (const char* name : {"deltae", "rgb", "hsv", "spectrum", "adapt"}) {
        auto r = RunVantrel(std::string(name) + " --help");
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.out.rfind(std::string("usage: vantrel ") + name, 0), 0u) << name;
    }
}

}  // namespace
