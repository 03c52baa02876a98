// CMeterSettings: defaults, the code-and-flag encoding of record 103, failed loads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "orvane/temp_dir.h"
#include "vantrel/settings.h"

namespace {

using testing_support::GetLe32;
using testing_support::ReadBytes;
using testing_support::TempDir;

CString WidePath(const std::string& path) {
    return CString(std::wstring(path.begin(), path.end()));
}

void ExpectDefaultIntegers(const CMeterSettings& m) {
    EXPECT_EQ(m.m_nCode1, 0);
    EXPECT_EQ(m.m_nValue1, 1);
    EXPECT_EQ(m.m_nCode2, 0);
    EXPECT_EQ(m.m_nValue2, 1);
    EXPECT_EQ(m.m_bFlag1, 0);
    EXPECT_EQ(m.m_bFlag2, 0);
}

TEST(MeterSettings, LoadsTheDefaultsFromADefaultFile) {
    TempDir dir;
    FM_FILESPEC spec = dir.spec("p");
    ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
    CMeterSettings m(WidePath(dir.file("p")));
    m.m_nCode1 = 7;
    m.m_abData2[0] = 9;
    m.Update(true);
    ExpectDefaultIntegers(m);
    EXPECT_EQ(m.m_abData2[0], 0);
}

TEST(MeterSettings, CodeAndFlagEncoding) {
    struct Case {
        std::int32_t code;
        BOOL flag;
        std::int32_t stored;
        std::int32_t loadedCode;
        BOOL loadedFlag;
    };
    const Case cases[] = {
        {5, 1, 105, 5, 1}, {5, 2, 5, 5, 0},    {100, 0, 100, 0, 1},
        {0, 0, 0, 0, 0},   {-3, 1, 97, 97, 0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        CMeterSettings m(WidePath(dir.file("p")));
        m.m_nCode2 = c.code;
        m.m_bFlag2 = c.flag;
        m.m_nValue2 = 42;
        m.m_abData2[255] = 0xEE;
        m.Update(false);
        std::string bytes = ReadBytes(dir.file("p"));
        ASSERT_EQ(bytes.size(), 4u + 8u + 1040u);
        EXPECT_EQ(GetLe32(bytes, 12 + 520), c.stored) << c.code << "/" << c.flag;
        EXPECT_EQ(GetLe32(bytes, 12 + 524), 42);
        EXPECT_EQ(static_cast<unsigned char>(bytes[12 + 528 + 255]), 0xEE);
        EXPECT_EQ(bytes.substr(12 + 784, 256), std::string(256, '\0')) << "unheld bytes zero";

        CMeterSettings loaded(WidePath(dir.file("p")));
        loaded.Update(true);
        EXPECT_EQ(loaded.m_nCode2, c.loadedCode) << c.code << "/" << c.flag;
        EXPECT_EQ(loaded.m_bFlag2, c.loadedFlag) << c.code << "/" << c.flag;
        EXPECT_EQ(loaded.m_nValue2, 42);
        EXPECT_EQ(loaded.m_abData2[255], 0xEE);
    }
}

TEST(MeterSettings, AFailedLoadResetsTheIntegersAndKeepsTheData) {
    TempDir dir;
    FM_FILESPEC spec = dir.spec("short");
    WritePreference(&spec, PF_SigMeterOptions, "\x05\0\0\0", 4);  // a record 103 of 4 bytes
    const std::string paths[] = {dir.file("missing"), dir.file("short"),
                                 "/" + std::string(600, 'a')};  // too long for a spec
    for (const std::string& path : paths) {
        CMeterSettings m(WidePath(path));
        m.m_nCode1 = 5, m.m_nValue1 = 6, m.m_nCode2 = 7, m.m_nValue2 = 8;
        m.m_bFlag1 = 1, m.m_bFlag2 = 1;
        std::memset(m.m_abData1, 0xAB, sizeof m.m_abData1);
        m.Update(true);
        ExpectDefaultIntegers(m);
        EXPECT_EQ(m.m_abData1[0], 0xAB);
        EXPECT_EQ(m.m_abData1[255], 0xAB);
    }
}

TEST(MeterSettings, SavingAppendsOnceThenOverwrites) {
    TempDir dir;
    FM_FILESPEC spec = dir.spec("p");
    ASSERT_EQ(WritePreference(&spec, PF_SigProfileSettings, std::string(64, 'p').data(), 64), 0);
    CMeterSettings m(WidePath(dir.file("p")));
    m.m_nCode1 = 3;
    m.Update(false);
    EXPECT_EQ(ReadBytes(dir.file("p")).size(), 76u + 1048u);
    m.m_nCode1 = 4;
    CMeterSettings copy(m);
    copy.Update(false);
    EXPECT_EQ(ReadBytes(dir.file("p")).size(), 76u + 1048u);
    CMeterSettings other(WidePath("elsewhere"));
    other = copy;
    other.Update(true);
    EXPECT_EQ(other.m_strPrefFile, m.m_strPrefFile);
    EXPECT_EQ(other.m_nCode1, 4);
}

}  // namespace
