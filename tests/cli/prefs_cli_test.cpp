// vantrel prefs init | show | monitor and vantrel monitor: output, edits, damaged files.
#include "cli_helpers.h"
#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using cli_testing::Contains;
using cli_testing::CountLines;
using cli_testing::Quoted;
using cli_testing::RunVantrel;
using testing_support::Le32;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// init writes the library's default file (and with --force over another file); show decodes
// every record; monitor edits record 102 in place.
TEST(PrefsCli, InitShowAndMonitorEditInPlace) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("reference");
    ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
    const std::string file = dir.File("p"), reference = ReadFile(dir.File("reference"));
    EXPECT_EQ(RunVantrel("prefs init " + Quoted(file)).status, 0);
    EXPECT_EQ(ReadFile(file), reference);
    spec = dir.Spec("p");
    ASSERT_EQ(WritePreference(&spec, static_cast<PF_Signature>(555), "twelve bytes", 12), 0);
    CMeterSettings meter(CString(std::wstring(file.begin(), file.end())));
    meter.m_nCode2 = 7, meter.m_bFlag2 = 1, meter.m_nValue2 = 3;
    meter.Update(false);

    auto r = RunVantrel("prefs show " + Quoted(file));
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* part :
         {"records  4", "record 1: signature 103, meter options, 1040 bytes", "meter 2 code   7",
          "meter 2 flag   1", "meter 2 value  3", "colour space  'MCH6' (0x4D434836)",
          "white x y      0.3127 0.329", "primaries      ITU-R BT 709", "tone response  sRGB",
          "record 4: signature 555, 12 bytes"})
        EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;

    r = RunVantrel("prefs monitor " + Quoted(file) +
                   " --primaries 0.68 0.32 0.265 0.69 0.15 0.06 --white 0.3457 0.3585"
                   " --gamma 0.0148993675 --name 'B\xC3\xBCro \xF0\x9F\x98\x80'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "(record 102) updated\n")) << r.out;
    EXPECT_EQ(ReadFile(file).size(), 2960u + 20u) << "rewritten in place";
    r = RunVantrel("prefs show --json " + Quoted(file));
    for (const char* part :
         {"\"red\": [0.68, 0.32]", "\"green\": [0.265, 0.69]", "\"white\": [0.3457, 0.3585]",
          "\"gamma\": 0.0148993675", "\"name\": \"B\xC3\xBCro \xF0\x9F\x98\x80\"",
          "\"primaries_name\": \"ITU-R BT 709\"", "{\"code\": 7, \"flag\": 1, \"value\": 3",
          "{\"index\": 4, \"offset\": 2960, \"signature\": 555, \"size\": 12}"})
        EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;

    EXPECT_EQ(RunVantrel("prefs init --force " + Quoted(file)).status, 0);
    EXPECT_EQ(ReadFile(file), reference);

    // A file without record 102 gets one from the defaults, appended.
    const std::string other = dir.File("q");
    FM_FILESPEC otherSpec = dir.Spec("q");
    ASSERT_EQ(WritePreference(&otherSpec, PF_SigOldVersion, "", 0), 0);
    r = RunVantrel("prefs monitor " + Quoted(other) + " --gamma 2.4");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(other).size(), 4u + 8u + 8u + 1828u);
    EXPECT_TRUE(Contains(r.out, "added from the defaults")) << r.out;
}

TEST(PrefsCli, DamagedFilesAreReportedInOneLineAndLeftAlone) {
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"empty", "", "empty file"},
        {"short", "\1\0", "too short for the 4-byte record count"},
        {"negative count", Le32(-2), "record count is negative (-2)"},
        {"count too large", Le32(2) + Le32(101) + Le32(8), "record count is 2 but the file ends"},
        {"length below 8", Le32(1) + Le32(101) + Le32(4), "length 4, less than its 8-byte header"},
        {"length past the end", Le32(1) + Le32(102) + Le32(1836) + "abc", "runs past the end"},
        {"truncated header", Le32(1) + Le32(102) + "ab", "header has 6 of 8 bytes"},
        {"monitor of another size", Le32(1) + Le32(102) + Le32(12) + "abcd",
         "holds 4 bytes, not the 1828"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = dir.File("p");
        WriteFile(file, c.bytes);
        for (const std::string command : {"prefs show ", "prefs monitor --gamma 2 ", "monitor "}) {
            // A record 102 of another size is listed by show, not decoded: only the edits fail.
            if (command == "prefs show " && Contains(c.message, "1828")) continue;
            SCOPED_TRACE(c.what + (", " + command));
            auto r = RunVantrel(command + Quoted(file));
            EXPECT_EQ(r.status, 1);
            EXPECT_TRUE(CountLines(r.err) == 1 && Contains(r.err, file + ": ") &&
                        Contains(r.err, c.message))
                << r.err;
            EXPECT_EQ(ReadFile(file), c.bytes);
        }
    }
}

// An interrupted write leaves whole records the count does not cover, and perhaps one cut
// short; repair keeps every whole record once, in order, written through the store.
TEST(PrefsCli, RepairRecoversWhatAnInterruptedWriteLeft) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("default");
    ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
    const std::string whole = ReadFile(dir.File("default"));
    const std::string records = whole.substr(4), monitor = whole.substr(1124);
    const struct {
        const char* what;
        std::string bytes;
        const char* reported;  // part of what repair prints
        bool repaired;         // a repaired file equal to the default one is written
    } cases[] = {
        {"no count, a record cut short", Le32(0) + records + std::string("\x66\0\0", 3),
         "(recovered)\ndropped  3 bytes from offset 2960", true},
        {"two records uncounted", Le32(1) + records,
         "1040 bytes\n         record 2: signature 101, profile settings, 64 bytes (recovered)",
         true},
        {"a signature repeated", Le32(3) + records + monitor,
         "record 4 (signature 102): an earlier record has its signature", true},
        {"nothing to repair", whole, "nothing to repair", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.File("p"), repaired = dir.File("r");
        WriteFile(file, c.bytes);
        std::remove(repaired.c_str());
        auto r = RunVantrel("prefs repair " + Quoted(file));  // says what it would keep
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(Contains(r.out, c.reported)) << r.out;
        r = RunVantrel("prefs repair " + Quoted(file) + " --output " + Quoted(repaired));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(testing_support::FileExists(repaired), c.repaired);
        EXPECT_EQ(c.repaired ? ReadFile(repaired) : whole, whole);
        EXPECT_EQ(ReadFile(file), c.bytes);
        RunVantrel("prefs repair --force " + Quoted(file));
        EXPECT_EQ(ReadFile(file), c.repaired ? whole : c.bytes);
    }
    WriteFile(dir.File("p"), Le32(2) + records);
    EXPECT_EQ(RunVantrel("prefs repair --format csv " + Quoted(dir.File("p"))).out,
              "index,offset,signature,size,kind,counted\n1,4,103,1040,meter options,yes\n"
              "2,1052,101,64,profile settings,yes\n3,1124,102,1828,monitor settings,no\n");
}

}  // namespace
