// What the subcommands print for good input, exactly: values, their layout in each format,
// and the XYZ scale.
#include "cli_helpers.h"

namespace {

using cli_testing::RunVantrel;

std::string Repeat(const std::string& word, int n) {
    std::string text = word;
    for (int k = 1; k < n; ++k) text += " " + word;
    return text;
}

struct Result {
    std::string args;
    std::string out;
    std::string input = "";
    int status = 0;
};

TEST(Results, EverySubcommandPrintsItsValues) {
    const std::string flat =
        "X   96.4210\nY   99.9970\nZ   82.5240\nL*  99.9988\na*   0.0067\nb*  -0.0295\n\n"
        "density   visual     red   green    blue\nStatus T  0.0000  0.0000  0.0000  0.0000\n"
        "Status I  0.0000  0.0000  0.0000  0.0000\n";
    const std::string d50 = "spectra, the library's D50 table (2 degree, 400 to 700 nm); ";
    const Result cases[] = {
        {"lab 96.42 100 82.49", "L*  100.0000\na*    0.0000\nb*    0.0000\n"},
        {"lab 41.24 21.26 1.93", "L*  53.2329\na*  78.3040\nb*  62.1645\n"},
        {"xyz 100 0 0 --scale unit", "X  0.964200\nY  1.000000\nZ  0.824900\n"},
        {"xyz 100 0 0 --white 0.9642 1 0.8249", "X  0.9642\nY  1.0000\nZ  0.8249\n"},
        {"xyz -10 0 0", "X   0.0000\nY  -1.1071\nZ   0.0000\n"},  // a negative number, no option
        {"lch 50 0 -10",
         "L*            50.0000\nC*            10.0000\nh (degrees)  270.0000\n"
         "h (radians)  4.712389\n"},
        {"deltae 50 0 0 50 3 4 --metric ab", "dE*ab  5.0000\n"},
        {"deltae 50 2.6772 -79.7751 50 0 -82.7485", "dE00 (1:1:1)  2.0425\n"},
        {"deltae 50 3 4 50 0 0 --metric cmc --l 2 --c=1", "dECMC (2:1)  5.3340\n"},
        // XYZ on the percent scale unless --scale unit.
        {"rgb 41.24 21.26 1.93", "R  0.971977  248\nG  0.084130   21\nB  0.112382   29\n"},
        {"rgb --lab 0 0 0 --space colormatch", "R  0.000033  0\nG  0.000000  0\nB  0.000024  0\n"},
        {"hsv 255 128 0", "H (degrees)   30.1176\nS              1.0000\nV            255.0000\n"},
        {"spectrum " + Repeat("1", 31), d50 + "factors (guessed: no value above 2)\n\n" + flat},
        {"spectrum --factors", d50 + "factors (told: --factors)\n\n" + flat, Repeat("1", 31)},
        {"spectrum " + Repeat("100", 31),
         d50 + "percent (shown by the data: a value of 100)\n\n" + flat},
        // A flat grey under another illuminant: neutral against the perfect reflector.
        {"spectrum --illuminant=D65 --scale unit " + Repeat("0.5", 31),
         "spectra, CIE D65 2 degree, 400 to 700 nm every 10 nm; factors (guessed: no value "
         "above 2)\n\nX   0.475233\nY   0.500000\nZ   0.544485\nL*   76.0693\na*    0.0000\n"
         "b*    0.0000\n\ndensity   visual     red   green    blue\n"
         "Status T  0.3010  0.3010  0.3010  0.3010\nStatus I  0.3010  0.3010  0.3010  0.3010\n"},
        {"adapt 2 0.5 4 --from 2 1 4 --to 1 1 2 --method scaling",
         "X  1.0000\nY  0.5000\nZ  2.0000\n"},
        {"adapt 95.05 100 108.88 --from D65 --to D50", "X   96.4200\nY  100.0000\nZ   82.4900\n"},
        {"adapt 0.9505 1 1.0888 --from D65 --to D50 --scale unit",
         "X  0.964200\nY  1.000000\nZ  0.824900\n"},
        // Batches in each format.
        {"deltae - --metric 94 --format csv", "dE94 (1:1:1)\n5.0000\n4.0816\n",
         "50 0 0 50 3 4\r\n50 3 4 50 0 0\r\n"},
        {"rgb - --format json",
         "{\"R\": 0.000000, \"G\": 1.000000, \"B\": 0.000000, \"R255\": 0, \"G255\": 255, "
         "\"B255\": 0}\n",
         "0 100 0\n"},
        {"lch 50 0 -10 --format csv",
         "L*,C*,h (degrees),h (radians)\n50.0000,10.0000,270.0000,4.712389\n"},
        // solve: x to the last bit and the kind.
        {"solve", "x1  3\nx2  2\nkind  1 (unique solution)\n", "2  0 1  1 0  2 3"},
        {"solve -", "x1  1\nx2  1\nx3  2\nkind  1 (unique solution)\n",
         "3\n2 1 1\n4 -6 0\n-2 7 2\n5 -2 9\n"},
        {"solve", "x1  0.333333343\nkind  1 (unique solution)\n", "1 3 1"},
        {"solve", "x1  0.5\nkind  1 (unique solution)\n",
         "# a 1x1 system\n1   # order\n\n4 2 # b\n"},
        {"solve", "kind  1 (unique solution)\n", "0"},
        {"solve", "kind  2 (singular, consistent: infinitely many solutions)\n", "2 1 2 2 4 1 2"},
        {"solve", "kind  0 (singular, inconsistent: no solution)\n", "2 1 2 2 4 1 3"},
        {"solve", "kind  singular (a row of A is all zero)\n", "2 1 2 0 0 1 3"},
        {"solve --format json",
         "{\"x1\": 3, \"x2\": 2, \"kind\": 1, \"solution\": \"unique solution\"}\n",
         "2  0 1  1 0  2 3"},
        // Names, dither names, resolutions.
        {"name check ' my profile '", "valid (10 characters after trimming)\n"},
        {"name check ab --format json",
         "{\"name\": \"ab\", \"valid\": true, \"characters\": 2, \"reason\": \"\"}\n"},
        {"name check 'caf\xc3\xa9?'", "invalid: reserved character '?' at character 5\n", "", 1},
        {"name check ppppppppppppppppppppppppppppppp",
         "invalid: 31 characters after trimming and no .icc or .icm extension; at most 27 are "
         "allowed without one\n",
         "", 1},
        {"name check ppppppppppppppppppppppppppppp.ICC --format csv",
         "name,valid,characters,reason\nppppppppppppppppppppppppppppp.ICC,no,33,33 characters "
         "after trimming; at most 31 are allowed (27 without an .icc or .icm extension)\n",
         "", 1},
        {"name fix ' pr\xc3\xbc"
         "fung '",
         "pr\xc3\xbc"
         "fung.icm\n"},
        {"name fix ' Test.ICC ' --no-append", "Test.ICC\n"},
        {"resolution 1000000", "1000000\n"},
        {"resolution 1.5 2 --format json", "{\"resolution\": \"1.5x2\", \"x\": 1.5, \"y\": 2}\n"},
        {"dither",
         "id  local name        English name      key\n"
         "0   KF Diffusion      KF Diffusion      KF_Diffusion\n"
         "1   Error Diffusion   Error Diffusion   Error_Diffusion\n"
         "2   -                 QC Diffusion      -\n"
         "3   Random Diffusion  Random Diffusion  Random_Diffusion\n"
         "4   -                 FS Diffusion      -\n"
         "5   LX Diffusion      LX Diffusion      LX_Diffusion\n"
         "6   Angled Screen     Angled Screen     Angled_Screen\n"
         "7   Vexaline          Vexaline          FM_Diffusion\n"},
        {"dither 2 --format csv", "id,local name,English name,key\n2,-,QC Diffusion,-\n"},
        // The monitor matrix on either scale.
        {"monitor",
         "forward (linear RGB to D50 XYZ)\n  X  43.6041  38.5113  14.3046\n"
         "  Y  22.2485  71.6905   6.0610\n  Z   1.3920   9.7067  71.3913\n"
         "inverse (D50 XYZ to linear RGB)\n  R   0.03134186  -0.01617209  -0.00490694\n"
         "  G  -0.00978749   0.01916130   0.00033433\n  B   0.00071964  -0.00228994   0.01405754\n"
         "result 10\n"},
        {"monitor --scale unit --format json",
         "{\"forward\": [[0.436041, 0.385113, 0.143046], [0.222485, 0.716905, 0.060610], "
         "[0.013920, 0.097067, 0.713913]], \"inverse\": [[3.134186, -1.617209, -0.490694], "
         "[-0.978749, 1.916130, 0.033433], [0.071964, -0.228994, 1.405754]], \"result\": 10}\n"},
    };
    for (const Result& c : cases) {
        const auto r = RunVantrel(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err, "") << c.args;
    }
}

}  // namespace
