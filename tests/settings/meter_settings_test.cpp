// CMeterSettings: the code-and-flag encoding of record 103, and failed loads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using testing_support::GetLe32;
using testing_support::ReadFile;
using testing_support::TempDir;

CString Wide(const std::string& path) {
    return CString(std::wstring(path.begin(), path.end()));
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
        TempDir dir;
        FM_FILESPEC spec = dir.Spec("p");
        ASSERT_EQ(CreateDefaultPreferenceFile_NoMeterOptions(&spec), 0);
        CMeterSettings m(Wide(dir.File("p")));
        m.m_nCode2 = c.code, m.m_bFlag2 = c.flag, m.m_nValue2 = 42, m.m_abData2[255] = 0xEE;
        m.Update(false);
        std::string bytes = ReadFile(dir.File("p"));
        ASSERT_EQ(bytes.size(), 2960u) << "record 103 is overwritten in place";
        EXPECT_EQ(GetLe32(bytes, 12 + 520), c.stored) << c.code << "/" << c.flag;
        EXPECT_EQ(GetLe32(bytes, 12 + 524), 42);

        CMeterSettings loaded(Wide(dir.File("p")));
        loaded.Update(true);
        EXPECT_EQ(loaded.m_nCode2, c.loadedCode) << c.code << "/" << c.flag;
        EXPECT_EQ(loaded.m_bFlag2, c.loadedFlag) << c.code << "/" << c.flag;
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

}  // namespace
