// The conventions every subcommand shares: numbers and their ranges, exit statuses, one-line
// messages that quote bytes safely, '-' and batches on standard input, --format and
// --option=value, repeated options, results that cannot be computed, and files never lost.
#include <cstdlib>
#include <string>
#include <utility>

#include "cli_helpers.h"
#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using cli_testing::Contains;
using cli_testing::CountLines;
using cli_testing::RunVantrel;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

#if defined(_WIN32)
// Windows names are Unicode and take neither '"' nor control characters: a name beyond ASCII,
// which JSON keeps as it is.
const std::string kOddName = "q\xC3\xBC";
const char* const kOddNameJson[] = {"q\xC3\xBC\",", "q\xC3\xBC\","};
#else
// A file name that is not UTF-8 and holds bytes JSON must escape.
const std::string kOddName = "q\xFF\"\x01\xC3\xBC";
const char* const kOddNameJson[] = {"\"text_repaired\": true\n}", "q\\ufffd\\\"\\u0001\xC3\xBC\","};
#endif

// A scratch folder holding a default preference file `p`, the same records left uncounted by
// an interrupted write in `uncounted`, `p` again under kOddName, and a copy of a measurement
// file.
class Files {
  public:
    Files() {
        FM_FILESPEC spec = dir_.Spec("p");
        CreateDefaultPreferenceFile_NoMeterOptions(&spec);
        const std::string bytes = ReadFile(dir_.File("p"));
        WriteFile(dir_.File("uncounted"), testing_support::Le32(0) + bytes.substr(4));
        WriteFile(dir_.File(kOddName), bytes);
        WriteFile(dir_.File("copy.cgats"), ReadFile(Expand("{data}/lab_ids.cgats")));
    }
    // `text` with {d} replaced by the folder and {data} by the test data folder.
    std::string Expand(std::string text) const {
        const std::pair<std::string, std::string> fields[] = {
            {"{d}", dir_.Path()}, {"{data}", std::string(VANTREL_SOURCE_DIR) + "/tests/cli/data"}};
        for (const auto& [key, value] : fields)
            for (auto at = text.find(key); at != std::string::npos;
                 at = text.find(key, at + value.size()))
                text.replace(at, key.size(), value);
        return text;
    }
    std::string File(const std::string& name) const { return dir_.File(name); }

  private:
    TempDir dir_;
};

struct Case {
    std::string args;
    int status;
    std::string message;   // part of the one line on standard error; empty: nothing there
    std::string out = "";  // part of standard output; empty: nothing there
    std::string input = "";
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.args;
}

const Case kCases[] = {
    // One number parser: exact decimal text only, then the documented range.
    {"lab 1 nan 3", 2, "argument Y: 'nan' is not a number"},
    {"xyz 0x10 0 0", 2, "argument L: '0x10' is not a number"},
    {"deltae 1 2 3 4 '' 6", 2, "argument a2: '' is not a number"},
    {"adapt 1e39 1 1 --from D50 --to D65", 2, "argument X: '1e39' is out of range"},
    {"lab 1 2 3 --white 96.42 0 82.49", 2, "option --white Yn: '0' is not above 0"},
    {"hsv -1 0 0", 2, "argument R: '-1' is below 0"},
    {"deltae 1 2 3 4 5 6 --metric 94 --kl=0", 2, "option --kl: '0' is not above 0"},
    {"adapt 1 1 1 --from 0 0 0 --to D50", 2, "option --from X: '0' is not above 0"},
    {"dither 8", 2, "argument ID: '8' is not a whole number from 0 to 7"},
    {"resolution 3e38 3e38", 2, "argument X: '3e38' is above 1000000"},
    {"progress 25 --width 0 --png x.png", 2,
     "option --width: '0' is not a whole number from 1 to 4096"},
    {"progress 1.5 --png x.png", 2, "argument POS: '1.5' is not a whole number"},
    {"progress 5 --range 9 1 --png x.png", 2, "option --range: LOWER 9 is above UPPER 1"},
    {"compare --worst 0 {data}/lab_ids.cgats {data}/lab_ids.cgats", 2,
     "option --worst: '0' is not a whole number of 1 or more"},
    {"compare --max -1 {data}/lab_ids.cgats {data}/lab_ids.cgats", 2,
     "option --max: '-1' is below 0"},
    {"measure --table 0 {data}/lab_ids.cgats", 2,
     "option --table: '0' is not a whole number from 1 to 1000000"},
    {"monitor --white 0.6 0.41", 2, "option --white: x + y = 1.01 is above 1"},
    {"monitor --primaries 0.64 0.33 0.3 0.6 0.15 -0.06", 2,
     "option --primaries blue y: '-0.06' is not above 0"},
    {"prefs monitor {d}/p --gamma 0", 2, "option --gamma: '0' is not above 0"},
    {"solve", 1, "standard input, line 2: A[1][1]: '1e39' is out of range", "", "1\n1e39 1"},
    {"solve", 1, "line 1: the order n: '-1' is not a whole number from 0 to 46340", "", "-1"},
    // A result that is not finite is never printed: exit 1 naming it, after the rows
    // before it in a batch.
    {"xyz 1e30 0 0", 1, "X cannot be computed"},
    {"xyz - --format csv", 1, "standard input, line 2: X cannot be computed",
     "X,Y,Z\n17.7593,18.4186,15.1935\n", "50 0 0\n1e30 0 0\n"},
    // Batches: one row per line, blank lines skipped, a bad line named after the rows
    // before it; bad data on standard input is exit 1.
    {"lab -", 1, "standard input, line 4: expected 3 numbers (X Y Z), read 2",
     "        L*          a*          b*\n  100.0000      0.0000      0.0000\n",
     "96.42 100 82.49\n\n1,2,3\n1 2\n"},
    {"hsv - --format json", 1, "standard input, line 2: R: '-1' is below 0",
     "{\"H\": 30.1176, \"S\": 1.0000, \"V\": 255.0000}\n", "255 128 0\n-1 0 0\n"},
    {"spectrum", 1, "standard input: expected 31 reflectance values", "", "0.5 0.5"},
    // The library's result codes, explained.
    {"monitor --primaries 0.64 0.33 0.64 0.33 0.15 0.06", 1,
     "result -7: the primaries do not determine the white"},
    {"monitor --white 0.70 0.25", 1, "result -3: the adapted matrix is singular",
     "  Z   45.7256  0.0000  51.4465\n"},
    // Options: --option=value, repeated and unknown options, formats, scales.
    {"lab 1 2 3 --format=xml", 2, "option --format: 'xml' is not table, csv or json"},
    {"lab 1 2 3 --white 1 1 1 --white=1 1 1", 2, "option --white given twice"},
    {"lab 1 2 3 --white 1 --frob x", 2, "option --white needs 3 values, not '--frob'"},
    {"rgb 1 2 3 --frob", 2, "unknown option '--frob'"},
    {"rgb --lab 50 0 0 --scale unit", 2, "option --scale applies to XYZ, not to --lab"},
    {"lab 1 2 3 --scale half", 2, "option --scale: 'half' is not percent or unit"},
    {"spectrum --percent --factors", 2, "options --percent and --factors exclude each other"},
    {"prefs show {d}/p --json --format csv", 2, "option --json is --format json"},
    {"adapt 1 1 1 --from D50", 2, "missing option --to"},
    {"lab 1 2", 2, "missing argument Z"},
    {"frobnicate", 2, "unknown command 'frobnicate'"},
// Text: one UTF-8 decoder refuses what it refuses everywhere; bytes in messages are
// escaped.
#if !defined(_WIN32)  // Windows passes arguments as UTF-16: no argument there is not UTF-8
    {"name fix 'a\xC1\x81z'", 2, "argument NAME: not valid UTF-8"},
    {"prefs monitor {d}/p --name 'a\xC1\x81z'", 2, "option --name: not valid UTF-8"},
#endif
    {"prefs monitor {d}/p --name " + std::string(512, 'n'), 2,
     "option --name: longer than 511 UTF-16 units"},
    {"solve", 1, "line 1: A[1][1]: '\\x01\\xFF' is not a number", "", "1 \x01\xFF 2"},
    {"solve '{d}/a\x1B[1mb'", 1, "{d}/a\\x1B[1mb: cannot open ("},
    {"prefs show --json '{d}/" + kOddName + "'", 0, "", kOddNameJson[0]},
    {"prefs show --json '{d}/" + kOddName + "'", 0, "", kOddNameJson[1]},
    {"dither 7 --format json", 0, "", "\"key\": \"FM_Diffusion\"}\n"},
    // Measurement files: bad ones are exit 1 in one line naming file and line, and compare
    // draws no picture.
    {"measure /nonexistent/x.cgats", 1, "/nonexistent/x.cgats: cannot open"},
    {"measure {data}/bad_not_cgats.txt", 1, "bad_not_cgats.txt: not a CGATS file"},
    {"measure {data}/bad_count.cgats", 1,
     "bad_count.cgats:9: 5 values where BEGIN_DATA_FORMAT lists 4 fields"},
    {"measure {data}/bad_no_sets.cgats", 1, "bad_no_sets.cgats:6: NUMBER_OF_SETS missing"},
    {"measure {data}/bad_missing_field.cgats", 1, "bad_missing_field.cgats: field XYZ_Z missing"},
    {"measure {data}/bad_no_colour.cgats", 1, "bad_no_colour.cgats: no colour fields"},
    {"measure {data}/bad_empty.cgats", 1, "bad_empty.cgats:7: empty data block"},
    {"measure --table 2 {data}/lab_ids.cgats", 1, "lab_ids.cgats: holds 1 table, no table 2"},
    {"measure --densities {data}/lab_ids.cgats", 1,
     "lab_ids.cgats: densities needs spectral fields; this file has L*a*b* only"},
    {"measure --illuminant A {data}/lab_ids.cgats", 1,
     "lab_ids.cgats: integration for A needs spectral fields"},
    {"measure {data}/spectral_gap.cgats", 1, "spectral_gap.cgats: field nm550 missing"},
    {"measure {data}/spectral_short.cgats", 1,
     "spectral_short.cgats: spectra from 400 to 690 nm: colour needs 400 to 700 nm (field "
     "nm700 missing)"},
    {"compare {data}/lab_ids.cgats {data}/bad_duplicate_id.cgats --png {d}/no.png", 1,
     "bad_duplicate_id.cgats:10: SAMPLE_ID 'P1' given twice (first on line 8)"},
    {"compare {data}/bad_empty.cgats {data}/lab_ids.cgats --png {d}/no.png", 1,
     "bad_empty.cgats:7: empty data block"},
    {"compare --sample-table 3 {data}/two_tables.cgats {data}/two_tables.cgats --png "
     "{d}/no.png",
     1, "two_tables.cgats: holds 2 tables, no table 3"},
    // The same observer written two ways agrees; the illuminants differ unless told to go
    // on, and then the file integrated for another illuminant is named in a warning.
    {"compare {data}/spectral_d50.cgats {data}/spectral_d65.cgats --png {d}/no.png", 1,
     "spectral_d50.cgats states ILLUMINANT D50, "},
    {"compare --ignore-conditions {data}/spectral_d50.cgats {data}/spectral_d65.cgats", 0,
     "spectral_d65.cgats: states ILLUMINANT 'D65' and OBSERVER '2'", "A2  76.07"},
    // Files: bad ones are exit 1 in one line; none is written over what is read.
    {"solve {d}", 1, "{d}: is a directory, not a file"},
    {"progress 25 --png {d}/none/a.png", 1, "{d}/none/a.png: cannot write the picture"},
    {"prefs show -", 1, "standard input: empty file, no record count"},
    {"prefs monitor - --gamma 2", 2, "standard input ('-') cannot be written"},
    {"prefs monitor {d}/uncounted --gamma 2", 1,
     "{d}/uncounted: holds 2956 bytes after its 0 counted records"},
    {"prefs repair {d}/uncounted --output {d}/p", 1, "{d}/p: already exists"},
    {"prefs init {d}/p", 1, "{d}/p: already exists"},
    {"compare {data}/lab_ids.cgats {data}/lab_ids.cgats --png {data}/lab_ids.cgats", 2,
     "option --png: '{data}/lab_ids.cgats' is the input"},
};

class Conventions : public testing::TestWithParam<Case> {};

TEST_P(Conventions, StatusOutputAndOneLineMessage) {
    const Case& c = GetParam();
    const Files files;
    const auto r = RunVantrel(files.Expand(c.args), c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(c.out.empty() ? r.out.empty() : Contains(r.out, files.Expand(c.out))) << r.out;
    EXPECT_TRUE(c.message.empty()
                    ? r.err.empty()
                    : Contains(r.err, files.Expand(c.message)) && CountLines(r.err) == 1)
        << r.err;
    // A refusal leaves the files as they were.
    EXPECT_EQ(ReadFile(files.File("uncounted")).substr(0, 4), testing_support::Le32(0));
    EXPECT_EQ(ReadFile(files.File("p")), ReadFile(files.File(kOddName)));
    EXPECT_EQ(ReadFile(files.File("copy.cgats")), ReadFile(files.Expand("{data}/lab_ids.cgats")));
    EXPECT_FALSE(testing_support::FileExists(files.File("no.png")));
}

INSTANTIATE_TEST_SUITE_P(EverySubcommand, Conventions, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return cli_testing::RowName(kCases, info.index);
                         });

TEST(Conventions, OverviewListsTheConventions) {
    const auto r = RunVantrel("");
    EXPECT_EQ(r.status, 0);
    for (const char* part : {"usage: vantrel", "Exit status:", "--scale unit", "--format"})
        EXPECT_TRUE(Contains(r.out, part)) << part;
}

}  // namespace
