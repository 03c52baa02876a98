// The preference file store (layout of appended records, lookups, rewrites, damaged files),
// the default records and file byte for byte, CMeterSettings' record 103 and failed loads,
// CWizardStates' defaults and the dialog palette. Failures of each file operation are in
// fault_injection_test.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "preference_io.h"
#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using preference_io::Lookup;
using preference_io::Read;
using preference_io::Record;
using preference_io::Wide;
using preference_io::Write;
using testing_support::FileExists;
using testing_support::GetLe32;
using testing_support::Le32;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(PreferenceStore, AppendingToANewFileWritesCountHeaderAndData) {
    const std::string data(64, '\x5A');
    const std::optional<std::string> files[] = {std::nullopt, "", Le32(0)};  // missing, empty, 0
    for (const auto& before : files) {
        TempDir dir;
        if (before) WriteFile(dir.File("p"), *before);
        EXPECT_EQ(Write(dir.Spec("p"), 101, data), 0) << before.has_value();
        EXPECT_EQ(ReadFile(dir.File("p")), Le32(1) + Record(101, data)) << before.has_value();
    }
}

TEST(PreferenceStore, LookupsAndRewritesFindTheFirstRecordOfASignature) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("p");
    auto file = [](const std::string& first) {
        return Le32(4) + Record(7, first) + Record(100, "") + Record(7, "second") +
               Record(-1, "neg");
    };
    WriteFile(dir.File("p"), file("first"));
    EXPECT_EQ(Read(spec, 7).data, "first");
    EXPECT_EQ(Read(spec, -1).data, "neg") << "any 32-bit signature";
    const Lookup empty = Read(spec, 100);
    EXPECT_TRUE(empty.status == 0 && empty.clean && empty.data.empty())
        << "a record of no data bytes is an empty, non-null buffer";
    const Lookup missing = Read(spec, 8);
    EXPECT_TRUE(missing.status == PF_ERR_NOT_FOUND && missing.clean);
    EXPECT_FALSE(IsPreferenceFileVersionUpdated(&spec)) << "record 100 is there";

    EXPECT_EQ(Write(spec, 7, "FIRST"), 0);
    EXPECT_EQ(ReadFile(dir.File("p")), file("FIRST")) << "rewritten in place";
    EXPECT_EQ(Write(spec, 7, "longer"), PF_ERR_SIZE_MISMATCH);
    EXPECT_EQ(ReadFile(dir.File("p")), file("FIRST")) << "a rewrite of another size is refused";
}

TEST(PreferenceStore, MissingFileAndBadArguments) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("p");
    EXPECT_EQ(Read(spec, 101).status, FM_ERR_NOT_FOUND);
    EXPECT_TRUE(IsPreferenceFileVersionUpdated(&spec));
    std::int32_t size = 0;
    EXPECT_EQ(ReadPreference(&spec, PF_SigOldVersion, nullptr, &size), PF_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(WritePreference(&spec, PF_SigOldVersion, "x", -1), PF_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(WritePreference(&spec, PF_SigOldVersion, nullptr, 4), PF_ERR_INVALID_ARGUMENT);
    EXPECT_FALSE(FileExists(dir.File("p"))) << "refused before the file is opened";
}

TEST(PreferenceStore, DamagedFilesGiveANegativeStatusAndAreNotWritten) {
    const std::int32_t kHuge = 0x7FFFFFFF;
    struct Case {
        const char* what;
        std::string bytes;
        short read;   // ReadPreference of signature 102
        short write;  // WritePreference of 4 bytes under signature 102
    };
    const Case cases[] = {
        {"empty file", "", FM_ERR_END_OF_FILE, 0},
        {"a file shorter than the count", "\1\0", FM_ERR_END_OF_FILE, 0},
        {"a negative count", Le32(-1) + Record(102, "abcd"), PF_ERR_NOT_FOUND, PF_ERR_DAMAGED},
        {"a count larger than the records", Le32(3) + Record(101, "x"), FM_ERR_END_OF_FILE,
         FM_ERR_END_OF_FILE},
        {"a truncated header", Le32(1) + Le32(101) + "\1", FM_ERR_END_OF_FILE, FM_ERR_END_OF_FILE},
        {"a length below 8 on the way", Le32(2) + Le32(101) + Le32(4) + Record(102, "abcd"),
         PF_ERR_DAMAGED, PF_ERR_DAMAGED},
        {"a length of 0 and a huge count", Le32(kHuge) + Le32(101) + Le32(0), PF_ERR_DAMAGED,
         PF_ERR_DAMAGED},
        {"the sought record with a length below 8", Le32(1) + Le32(102) + Le32(7) + "abcd",
         PF_ERR_DAMAGED, PF_ERR_DAMAGED},
        {"a length past the end on the way", Le32(2) + Le32(101) + Le32(1000) + "ab",
         PF_ERR_DAMAGED, PF_ERR_DAMAGED},
        {"the sought record's data truncated", Le32(1) + Le32(102) + Le32(12) + "ab",
         PF_ERR_DAMAGED, PF_ERR_DAMAGED},
        {"a huge length (no huge allocation)", Le32(1) + Le32(102) + Le32(kHuge) + "abcd",
         PF_ERR_DAMAGED, PF_ERR_DAMAGED},
    };
    for (const Case& c : cases) {
        TempDir dir;
        FM_FILESPEC spec = dir.Spec("p");
        WriteFile(dir.File("p"), c.bytes);
        const Lookup lookup = Read(spec, 102);
        EXPECT_TRUE(lookup.status == c.read && lookup.clean) << c.what << ": " << lookup.status;
        EXPECT_TRUE(IsPreferenceFileVersionUpdated(&spec)) << c.what;
        EXPECT_EQ(Write(spec, 102, "wxyz"), c.write) << c.what;
        if (c.write < 0) {
            EXPECT_EQ(ReadFile(dir.File("p")), c.bytes) << c.what << ": file untouched";
        }
    }
}

std::string F32(float value) {
    return Le32(static_cast<std::int32_t>(testing_support::Bits(value)));
}

// `text` as little-endian UTF-16 in a field of `units` units, zero after the terminator.
std::string Text(const std::string& ascii, size_t units) {
    std::string bytes;
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes + std::string(2 * units - bytes.size(), '\0');
}

std::string ExpectedDefaultFile() {
    std::string meterBlock = Le32(0) + Le32(1) + std::string(512, '\0');
    std::string profile = Le32(0) + "6HCM" + Le32(2) + Le32(1) + Le32(1) + Le32(0) + Le32(1) +
                          Le32(0) + std::string(32, '\0');
    std::string monitor = Text("", 512);
    for (float f : {0.64f, 0.33f, 0.30f, 0.60f, 0.15f, 0.06f, 2.2f, 0.3127f, 0.329f})
        monitor += F32(f);
    monitor += Text("D65", 128) + Text("ITU-R BT 709", 128) + Text("sRGB", 128);
    return Le32(3) + Le32(103) + Le32(1048) + meterBlock + meterBlock + Le32(101) + Le32(72) +
           profile + Le32(102) + Le32(1836) + monitor;
}

TEST(SettingsRecords, DefaultPreferenceFileByteForByte) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("p");
    WriteFile(dir.File("p"), std::string(5000, 'x'));
    ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
    EXPECT_EQ(ReadFile(dir.File("p")), ExpectedDefaultFile()) << "an existing file is emptied";
    EXPECT_TRUE(IsPreferenceFileVersionUpdated(&spec)) << "no record 100";
}

TEST(SettingsRecords, DefaultMonitorLeavesUnitsAfterTheTerminators) {
    PF_MonitorSettings s;
    std::memset(&s, 0x41, sizeof s);  // every text unit 0x4141, every float garbage
    GetDefaultMonitor(s);
    EXPECT_EQ(s.szName[0], 0);
    EXPECT_EQ(s.szName[1], 0x4141);
    EXPECT_EQ(std::u16string(s.szWhitePointName), u"D65");
    EXPECT_EQ(s.szWhitePointName[4], 0x4141);
    EXPECT_EQ(std::u16string(s.szPrimariesName), u"ITU-R BT 709");
    EXPECT_EQ(s.szPrimariesName[13], 0x4141);
    EXPECT_EQ(std::u16string(s.szGammaName), u"sRGB");
    EXPECT_EQ(s.szGammaName[5], 0x4141);

    PF_ProfileSettings p;
    std::memset(&p, 0x41, sizeof p);
    GetDefault(p);
    const std::uint32_t words[16] = {0, 0x4D434836, 2, 1, 1, 0, 1, 0};
    EXPECT_EQ(std::memcmp(&p, words, sizeof words), 0) << "all 64 bytes are set";
}

TEST(MeterSettings, CodeAndFlagEncoding) {
    struct Case {
        std::int32_t code;
        BOOL flag;
        std::int32_t stored, loadedCode;
        BOOL loadedFlag;
    };
    const Case cases[] = {
        {5, 1, 105, 5, 1}, {5, 2, 5, 5, 0}, {100, 0, 100, 0, 1}, {-3, 1, 97, 97, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << "/" << c.flag);
        TempDir dir;
        FM_FILESPEC spec = dir.Spec("p");
        ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
        CMeterSettings m(Wide(dir.File("p")));
        m.m_nCode2 = c.code, m.m_bFlag2 = c.flag, m.m_nValue2 = 42, m.m_abData2[255] = 0xEE;
        m.Update(false);
        std::string bytes = ReadFile(dir.File("p"));
        ASSERT_EQ(bytes.size(), 2960u) << "record 103 is overwritten in place";
        EXPECT_EQ(GetLe32(bytes, 12 + 520), c.stored);
        EXPECT_EQ(GetLe32(bytes, 12 + 524), 42);

        CMeterSettings loaded(Wide(dir.File("p")));
        loaded.Update(true);
        EXPECT_EQ(loaded.m_nCode2, c.loadedCode);
        EXPECT_EQ(loaded.m_bFlag2, c.loadedFlag);
        EXPECT_EQ(loaded.m_nValue2, 42);
        EXPECT_EQ(loaded.m_abData2[255], 0xEE);
        EXPECT_EQ(loaded.m_nCode1 | loaded.m_bFlag1, 0);
        EXPECT_EQ(loaded.m_nValue1, 1);
    }
}

TEST(MeterSettings, AFailedLoadResetsTheIntegersAndKeepsTheData) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("short");
    WritePreference(&spec, PF_SigMeterOptions, "\x05\0\0\0", 4);  // a record 103 of 4 bytes
    const std::string paths[] = {dir.File("missing"), dir.File("short"),
                                 "/" + std::string(600, 'a')};  // too long for a spec
    for (const std::string& path : paths) {
        CMeterSettings m(Wide(path));
        m.m_nCode1 = 5, m.m_nValue1 = 6, m.m_nCode2 = 7, m.m_nValue2 = 8;
        m.m_bFlag1 = 1, m.m_bFlag2 = 1;
        std::memset(m.m_abData1, 0xAB, sizeof m.m_abData1);
        m.Update(true);
        EXPECT_EQ(m.m_nCode1 | m.m_nCode2 | m.m_bFlag1 | m.m_bFlag2, 0) << path;
        EXPECT_EQ(m.m_nValue1 + m.m_nValue2, 2) << path;
        EXPECT_EQ(m.m_abData1[255], 0xAB) << path;
    }
}

TEST(WizardStates, Defaults) {
    CWizardStates s;
    EXPECT_EQ(s.m_nState5, 1);
    EXPECT_EQ(s.m_nState18, 99);
    EXPECT_EQ(s.m_fState19, 1.0f);
    EXPECT_TRUE(s.m_strState11.IsEmpty() && s.m_strState22.IsEmpty());
    const BYTE zeros[256] = {};
    EXPECT_EQ(std::memcmp(s.m_abState17, zeros, 256), 0);
    EXPECT_EQ(s.m_nState0 | s.m_nState4 | s.m_nState9 | s.m_nState21 | s.m_nState23, 0);
    EXPECT_EQ(s.m_bState6 | s.m_bState10 | s.m_bState14 | s.m_bState16 | s.m_bState24, 0);
}

TEST(DialogPalette, ColoursHoldRedInTheLowByte) {
    EXPECT_EQ(CDialogPalette::orange, 0x000043EFu);
    EXPECT_EQ(CDialogPalette::additiveBlue, 0x00FF0000u);
    EXPECT_EQ(CDialogPalette::black, 0x00191714u);
}

}  // namespace
