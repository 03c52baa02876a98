// Every file operation of the preference store, the default file and the meter settings made
// to fail in turn, or to write short: the status comes back unchanged, the call stops there
// and closes its file, the records that were in the file before are still there byte for
// byte, and the same call made again without a fault leaves the file it would have left.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <io.h>
#endif

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "preference_io.h"
#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using namespace testing_support;
using preference_io::Write;

using Records = std::vector<std::pair<std::int32_t, std::string>>;

std::string FileOf(const Records& records) {
    std::string bytes = Le32(static_cast<std::int32_t>(records.size()));
    for (const auto& [sig, data] : records) bytes += preference_io::Record(sig, data);
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

long OpenDescriptors() {
#if defined(_WIN32)
    long open = 0;  // the C runtime's descriptors that hold a system handle
    for (int fd = 0; fd < 2048; ++fd) open += _get_osfhandle(fd) != -1;
    return open;
#else
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
#endif
}

// What a meter settings load left: 0 the record's values, -1 the failed-load state (integers
// at their defaults, data areas kept), -2 anything else.
short LoadMeter(const std::string& path) {
    CMeterSettings m(preference_io::Wide(path));
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

struct Scenario {
    const char* what;
    std::optional<Records> before;  // the file's records; none: no file
    std::int32_t rewritten;         // the record the call may change (0: none)
    short (*run)(const std::string& path, const FM_FILESPEC& spec);  // its status
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
     [](const std::string&, const FM_FILESPEC& s) {
         const preference_io::Lookup lookup = preference_io::Read(s, 7);
         EXPECT_TRUE(lookup.clean);
         return lookup.status;
     }},
    {"default file", std::nullopt, 0,
     [](const std::string&, const FM_FILESPEC& s) {
         return CreateDefaultPreferenceFile_NoMeterOptions(&s);
     }},
    {"meter settings load", kRecords, 0,
     [](const std::string& path, const FM_FILESPEC&) { return LoadMeter(path); }, -1},
};

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
        ASSERT_GE(c.run(path, spec), 0) << c.what;
        const std::int64_t operations = FM_TestOperationCount();
        const std::string cleanFile = ReadFile(path);

        for (bool shortWrite : {false, true}) {
            for (std::int64_t k = 1; k <= operations; ++k) {
                SCOPED_TRACE(std::string(c.what) + ", operation " + std::to_string(k) +
                             (shortWrite ? " writes 3 bytes" : " fails"));
                prepare();
                const long descriptors = OpenDescriptors();
                FM_TestReset();
                shortWrite ? FM_TestShortWrite(k, 3) : FM_TestFailOperation(k);
                const short status = c.run(path, spec);
                const std::int64_t performed = FM_TestOperationCount();
                FM_TestReset();

                EXPECT_EQ(OpenDescriptors(), descriptors);
                // The close comes last, and its status is not looked at.
                const bool isClose = k == operations;
                EXPECT_EQ(performed, isClose || k == 1 ? k : k + 1)
                    << "stops at the failure, then closes";
                if (isClose) {
                    EXPECT_GE(status, 0);
                } else if (c.whenFailed != FM_ERR_INJECTED) {
                    EXPECT_EQ(status, c.whenFailed);
                } else {
                    EXPECT_TRUE(status == FM_ERR_INJECTED || (shortWrite && status == FM_ERR_WRITE))
                        << "status " << status;
                }
                for (const auto& [sig, data] : c.before.value_or(Records{})) {
                    const preference_io::Lookup kept = preference_io::Read(spec, sig);
                    EXPECT_TRUE(sig == c.rewritten || (kept.status >= 0 && kept.data == data))
                        << "record " << sig;
                }

                EXPECT_GE(c.run(path, spec), 0) << "then without a fault";
                EXPECT_EQ(ReadFile(path), cleanFile) << "then without a fault";
            }
        }
    }
}

}  // namespace
