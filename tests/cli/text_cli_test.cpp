// The text subcommands: name check and fix, dither, resolution; their output and error rules.
#include "cli_helpers.h"

namespace {

using cli_testing::RunVantrel;

TEST(TextCli, PrintsNamesAndResolutions) {
    const struct {
        const char* args;
        int status;
        const char* output;
    } cases[] = {
        {"name check ' my profile '", 0, "valid (10 characters after trimming)\n"},
        {"name check 'caf\xc3\xa9?'", 1, "invalid: reserved character '?' at character 5\n"},
        {"name check pppppppppppppppppppppppppppp", 1,
         "invalid: 28 characters after trimming and no .icc or .icm extension; at most 27 are "
         "allowed without one\n"},
        {"name check ppppppppppppppppppppppppppppp.ICC", 1,
         "invalid: 33 characters after trimming; at most 31 are allowed (27 without an .icc or "
         ".icm extension)\n"},
        {"name fix ' pr\xc3\xbc"
         "fung '",
         0,
         "pr\xc3\xbc"
         "fung.icm\n"},
        {"name fix ' Test.ICC ' --no-append", 0, "Test.ICC\n"},
        {"resolution 300", 0, "300\n"},
        {"resolution 1.5 2", 0, "1.5x2\n"},
        {"resolution -2.5", 0, "-2.5\n"},
    };
    for (const auto& c : cases) {
        auto r = RunVantrel(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, c.output) << c.args;
    }
}

TEST(TextCli, ErrorsAreOneLineOnStandardError) {
    const struct {
        const char* args;
        int status;
        const char* message;  // part of the one-line error
    } cases[] = {
        {"name fix ' profile ' --no-append", 1,
         "cannot fix: no .icc or .icm extension, and --no-append was given"},
        {"name fix 'a|b'", 1, "cannot fix: reserved character '|' at character 2"},
        {"name check x --no-append", 2, "option --no-append applies to fix only"},
        {"name frob x", 2, "argument ACTION: 'frob' is not check or fix"},
        {"name check \"$(printf '\\377')\"", 2, "argument NAME: not valid UTF-8"},
        {"dither 99999999999", 2, "argument ID: '99999999999' is out of range"},
        {"resolution 1 2 3", 2, "unexpected argument '3'"},
    };
    for (const auto& c : cases) cli_testing::ExpectError(c.args, c.status, c.message);
}

TEST(TextCli, DitherTableAndOneId) {
    EXPECT_EQ(RunVantrel("dither").out,
              "id  local name        English name      key\n"
              "0   KF Diffusion      KF Diffusion      KF_Diffusion\n"
              "1   Error Diffusion   Error Diffusion   Error_Diffusion\n"
              "2   -                 QC Diffusion      -\n"
              "3   Random Diffusion  Random Diffusion  Random_Diffusion\n"
              "4   -                 FS Diffusion      -\n"
              "5   LX Diffusion      LX Diffusion      LX_Diffusion\n"
              "6   Angled Screen     Angled Screen     Angled_Screen\n"
              "7   Vexaline          Vexaline          FM_Diffusion\n");
    EXPECT_EQ(RunVantrel("dither 7").out,
              "id  local name  English name  key\n"
              "7   Vexaline    Vexaline      FM_Diffusion\n");
}

}  // namespace
