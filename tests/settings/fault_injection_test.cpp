// Every file operation of the preference store, the default file and the meter settings made
// to fail in turn, or to write short: the status comes back unchanged, the call stops there
// and closes its file, the records that were in the file before are still there byte for
// byte, and the same call made again without a fault leaves the file it would have left.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using testing_support::Le32;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

using Records = std::vector<std::pair<std::int32_t, std::string>>;

std::string FileOf(const Records& records) {
    std::string bytes = Le32(static_cast<std::int32_t>(records.size()));
    for (const auto& [sig, data] : records)
        bytes += Le32(sig) + Le32(static_cast<std::int32_t>(data.size()) + 8) + data;
    return bytes;
}

std::string MeterRecord(std::int32_t code1, std::int32_t code2) {
    MeterOptionsRecord record;
    std::memset(&record, 0, sizeof record);
    record.aBlock[0].nCode = code1;
    record.aBlock[0].nValue = 11;
    record.aBlock[0].abData[0] = 0x33;
    record.aBlock[1].nCode = code2;
    record.aBlock[1].nValue = 22;
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

const Records kRecords = {
    {101, std::string(64, 'p')}, {100, ""}, {103, MeterRecord(105, 3)}, {7, "seven"}};
const Records kNoMeter = {{101, std::string(64, 'p')}, {7, "seven"}};

std::optional<std::string> Read(const FM_FILESPEC& spec, std::int32_t sig) {
    char* data = nullptr;
    std::int32_t size = 0;
    short status = ReadPreference(&spec, static_cast<PF_Signature>(sig), &data, &size);
    if (status < 0) {
        EXPECT_TRUE(data == nullptr && size == 0) << "no buffer after a failure";
        return std::nullopt;
    }
    std::string bytes(data, static_cast<size_t>(size));
    delete[] data;
    return bytes;
}

short Write(const FM_FILESPEC& spec, std::int32_t sig, const std::string& data) {
    return WritePreference(&spec, static_cast<PF_Signature>(sig), data.data(),
                           static_cast<std::int32_t>(data.size()));
}

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

// What a meter settings load left: 0 the record's values, -1 the failed-load state (integers
// at their defaults, data areas kept), -2 anything else.
short LoadMeter(const std::string& path) {
    CMeterSettings m(CString(std::wstring(path.begin(), path.end())));
    m.m_nCode1 = 9;
    m.m_abData1[0] = 0x77;
    m.Update(true);
    const std::int32_t loaded[] = {m.m_nCode1, m.m_bFlag1, m.m_nValue1,
                                   m.m_nCode2, m.m_bFlag2, m.m_nValue2};
    const std::int32_t fromRecord[] = {5, 1, 11, 3, 0, 22};
    const std::int32_t defaults[] = {0, 0, 1, 0, 0, 1};
    if (!std::memcmp(loaded, fromRecord, sizeof loaded) && m.m_abData1[0] == 0x33) return 0;
    if (!std::memcmp(loaded, defaults, sizeof loaded) && m.m_abData1[0] == 0x77) return -1;
    return -2;
}

void SaveMeter(const std::string& path) {
    CMeterSettings m(CString(std::wstring(path.begin(), path.end())));
    m.m_nCode1 = 4;
    m.m_bFlag1 = 1;
    m.m_abData2[255] = 0x44;
    m.Update(false);
}

struct Scenario {
    const char* what;
    std::optional<Records> before;  // the file's records; none: no file
    std::int32_t rewritten;         // the record the call may change (0: none)
    // The call; its status, or nothing when it reports none.
    std::function<std::optional<short>(const std::string& path, const FM_FILESPEC& spec)> run;
    short whenFailed = FM_ERR_INJECTED;  // the status after a failed operation
};

const Scenario kScenarios[] = {
    {"append to a file of four records", kRecords, 0,
     [](const std::string&, const FM_FILESPEC& s) { return Write(s, 102, "monitor"); }},
    {"rewrite in place", kRecords, 101,
     [](const std::string&, const FM_FILESPEC& s) { return Write(s, 101, std::string(64, 'q')); }},
    {"first write to a missing file", std::nullopt, 0,
     [](const std::string&, const FM_FILESPEC& s) { return Write(s, 102, "monitor"); }},
    {"read of the last record", kRecords, 0,
     [](const std::string&, const FM_FILESPEC& s) -> std::optional<short> {
         char* data = nullptr;
         std::int32_t size = 0;
         short status = ReadPreference(&s, static_cast<PF_Signature>(7), &data, &size);
         EXPECT_EQ(status < 0, data == nullptr);
         delete[] data;
         return status;
     }},
    {"default file", std::nullopt, 0,
     [](const std::string&, const FM_FILESPEC& s) {
         return CreateDefaultPreferenceFile_NoMeterOptions(&s);
     }},
    {"meter settings load", kRecords, 0,
     [](const std::string& path, const FM_FILESPEC&) { return LoadMeter(path); }, -1},
    {"meter settings save, appended", kNoMeter, 0,
     [](const std::string& path, const FM_FILESPEC&) -> std::optional<short> {
         SaveMeter(path);
         return std::nullopt;
     }},
    {"meter settings save, in place", kRecords, 103,
     [](const std::string& path, const FM_FILESPEC&) -> std::optional<short> {
         SaveMeter(path);
         return std::nullopt;
     }},
};

enum class Fault { kFail, kShortWrite };

TEST(FaultInjection, EveryFailedOperationIsReportedAndLosesNothing) {
    FM_TestFaultScope scope;
    for (const Scenario& c : kScenarios) {
        TempDir dir;
        const std::string path = dir.File("p");
        const FM_FILESPEC spec = dir.Spec("p");
        auto prepare = [&] {
            std::remove(path.c_str());
            if (c.before) WriteFile(path, FileOf(*c.before));
        };

        prepare();
        FM_TestReset();
        std::optional<short> clean = c.run(path, spec);
        const std::int64_t operations = FM_TestOperationCount();
        const std::string cleanFile = ReadFile(path);
        ASSERT_TRUE(!clean || *clean >= 0) << c.what;

        for (Fault fault : {Fault::kFail, Fault::kShortWrite}) {
            for (std::int64_t k = 1; k <= operations; ++k) {
                const std::string where = std::string(c.what) + ", operation " + std::to_string(k) +
                                          (fault == Fault::kFail ? " fails" : " writes 3 bytes");
                prepare();
                const int descriptors = OpenDescriptors();
                FM_TestReset();
                if (fault == Fault::kFail) {
                    FM_TestFailOperation(k);
                } else {
                    FM_TestShortWrite(k, 3);
                }
                std::optional<short> status = c.run(path, spec);
                const std::int64_t performed = FM_TestOperationCount();
                FM_TestReset();

                EXPECT_EQ(OpenDescriptors(), descriptors) << where;
                // The close comes last, and its status is not looked at.
                const bool isClose = k == operations;
                EXPECT_EQ(performed, isClose  ? k
                                     : k == 1 ? 1
                                              : k + 1)
                    << where << ": stops at the failure, then closes";
                if (status && isClose) {
                    EXPECT_GE(*status, 0) << where;
                } else if (status && c.whenFailed != FM_ERR_INJECTED) {
                    EXPECT_EQ(*status, c.whenFailed) << where;
                } else if (status) {
                    EXPECT_TRUE(*status == FM_ERR_INJECTED ||
                                (fault == Fault::kShortWrite && *status == FM_ERR_WRITE))
                        << where << ": status " << *status;
                }
                if (c.before) {
                    for (const auto& [sig, data] : *c.before) {
                        if (sig == c.rewritten) continue;
                        EXPECT_EQ(Read(spec, sig), data) << where << ": record " << sig;
                    }
                }

                std::optional<short> retried = c.run(path, spec);
                EXPECT_TRUE(!retried || *retried >= 0) << where << ": then without a fault";
                EXPECT_EQ(ReadFile(path), cleanFile) << where << ": then without a fault";
            }
        }
    }
}

}  // namespace
