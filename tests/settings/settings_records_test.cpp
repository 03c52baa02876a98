// The default records and the default preference file, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using testing_support::Le32;
using testing_support::ReadFile;
using testing_support::TempDir;

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
    testing_support::WriteFile(dir.File("p"), std::string(5000, 'x'));
    ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
    std::string bytes = ReadFile(dir.File("p"));
    ASSERT_EQ(bytes.size(), 2960u) << "an existing file is emptied first";
    EXPECT_EQ(bytes.substr(1064, 4), "6HCM");
    EXPECT_EQ(bytes, ExpectedDefaultFile());
    EXPECT_TRUE(IsPreferenceFileVersionUpdated(&spec)) << "no record 100";

    char* data = nullptr;
    std::int32_t size = 0;
    ASSERT_EQ(ReadPreference(&spec, PF_SigMonitorSettings, &data, &size), 0);
    PF_MonitorSettings expected;
    std::memset(&expected, 0, sizeof expected);
    GetDefaultMonitor(expected);
    ASSERT_EQ(size, static_cast<std::int32_t>(sizeof expected));
    EXPECT_EQ(std::memcmp(data, &expected, sizeof expected), 0);
    delete[] data;
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
    EXPECT_EQ(s.fWhiteY, 0.329f);

    PF_ProfileSettings p;
    std::memset(&p, 0x41, sizeof p);
    GetDefault(p);
    const std::uint32_t words[16] = {0, 0x4D434836, 2, 1, 1, 0, 1, 0};
    EXPECT_EQ(std::memcmp(&p, words, sizeof words), 0) << "all 64 bytes are set";
}

}  // namespace
