// The colour subcommands deltae, rgb, hsv, spectrum and adapt: output and error rules.
#include "cli_helpers.h"

namespace {

using cli_testing::RunVantrel;

std::string Repeat(const std::string& word, int n) {
    std::string text = word;
    for (int k = 1; k < n; ++k) text += " " + word;
    return text;
}

TEST(ColorCli, PrintsAlignedResults) {
    const std::string ones31 = Repeat("1", 31);
    const std::string onesOutput =
        "spectra, the library's D50 table (2 degree, 400 to 700 nm)\n\n"
        "X   96.4210\nY   99.9970\nZ   82.5240\nL*  99.9988\na*   0.0067\nb*  -0.0295\n\n"
        "density   visual     red   green    blue\nStatus T  0.0000  0.0000  0.0000  0.0000\n"
        "Status I  0.0000  0.0000  0.0000  0.0000\n";
    const struct {
        std::string args, input, output;
    } cases[] = {
        {"deltae 50 0 0 50 3 4 --metric ab", "", "dE*ab  5.0000\n"},
        {"deltae 50 2.6772 -79.7751 50 0 -82.7485", "", "dE00 (1:1:1)  2.0425\n"},
        {"deltae 50 3 4 50 0 0 --metric 94", "", "dE94 (1:1:1)  4.0816\n"},
        {"deltae 50 3 4 50 0 0 --metric cmc --l 2 --c 1", "", "dE CMC (2:1)  5.3340\n"},
        {"rgb 0 1 0", "", "R  0.000000    0\nG  1.000000  255\nB  0.000000    0\n"},
        {"rgb --lab 0 0 0 --space colormatch", "",
         "R  0.000033  0\nG  0.000000  0\nB  0.000024  0\n"},
        {"hsv 255 128 0", "",
         "H (degrees)   30.1176\nS              1.0000\nV            255.0000\n"},
        {"spectrum " + ones31, "", onesOutput},
        {"spectrum", ones31, onesOutput},
        // A flat grey under another illuminant: neutral against the perfect reflector.
        {"spectrum --illuminant=D65 " + Repeat("0.5", 31), "",
         "spectra, CIE D65 2 degree, 400 to 700 nm every 10 nm\n\nX   47.4703\nY   50.0000\n"
         "Z   54.3320\nL*  76.0693\na*   0.0000\nb*   0.0000\n\n"
         "density   visual     red   green    blue\nStatus T  0.3010  0.3010  0.3010  0.3010\n"
         "Status I  0.3010  0.3010  0.3010  0.3010\n"},
        {"adapt 2 0.5 4 --from 2 1 4 --to 1 1 2 --method scaling", "",
         "X  1.000000\nY  0.500000\nZ  2.000000\n"},
        {"adapt 0.9505 1 1.0888 --from D65 --to D50", "",
         "X  0.964200\nY  1.000000\nZ  0.824900\n"},
    };
    for (const auto& c : cases) {
        auto r = RunVantrel(c.args, c.input);
        EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, c.output) << c.args;
    }
}

TEST(ColorCli, BadInputGivesOneLineNamingTheProblem) {
    const struct {
        std::string args, input;
        int status;
        const char* message;
    } cases[] = {
        {"deltae 1 2 3 4 x 6", "", 2, "argument a2: 'x' is not a number"},
        {"deltae 1 2 3 4 5 6 --metric ab --kl 2", "", 2,
         "option --kl applies to --metric 2000 or 94"},
        {"rgb 1 2 3 --space adobe", "", 2, "'adobe' is not srgb or colormatch"},
        {"hsv 1 2", "", 2, "missing argument B"},
        {"spectrum 0.5 0.5", "", 2, "expected 31 reflectance factors (400 to 700 nm), read 2"},
        {"spectrum " + Repeat("1", 30) + " x", "", 2, "argument 700 nm: 'x' is not a number"},
        {"spectrum", Repeat("1", 32), 1, "standard input: expected 31 reflectance factors"},
        {"adapt 1 1 1 --to D50", "", 2, "missing option --from"},
        {"adapt 1 1 1 --from F2 --to D50", "", 2, "unknown white 'F2'"},
        {"adapt 1 1 1 --from 1 1 --to D50", "", 2, "--from needs a white's name or 3 values"},
        {"adapt 1 1 1 --from A --to E --method cat02", "", 2, "'cat02' is not scaling"},
    };
    for (const auto& c : cases) cli_testing::ExpectError(c.args, c.status, c.message, c.input);
}

}  // namespace
