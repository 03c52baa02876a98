// The preference file store: layout of appended records, lookups, rewrites and damaged files.
// Failures of each file operation are in fault_injection_test.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "vantrel/settings.h"

namespace {

using testing_support::FileExists;
using testing_support::GetLe32;
using testing_support::Le32;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::string Record(std::int32_t sig, const std::string& data) {
    return Le32(sig) + Le32(static_cast<std::int32_t>(data.size()) + 8) + data;
}

struct ReadResult {
    short status;
    std::string data;
    bool null;
};

ReadResult Read(const FM_FILESPEC& spec, std::int32_t sig) {
    char* data = reinterpret_cast<char*>(1);
    std::int32_t size = -1;
    ReadResult r;
    r.status = ReadPreference(&spec, static_cast<PF_Signature>(sig), &data, &size);
    r.null = data == nullptr;
    if (data) r.data.assign(data, static_cast<size_t>(size));
    delete[] data;
    EXPECT_EQ(r.status < 0, r.null && size == 0) << "a failure leaves no buffer and size 0";
    return r;
}

short Write(const FM_FILESPEC& spec, std::int32_t sig, const std::string& data) {
    return WritePreference(&spec, static_cast<PF_Signature>(sig), data.data(),
                           static_cast<std::int32_t>(data.size()));
}

TEST(PreferenceStore, AppendingToANewFileWritesCountHeaderAndData) {
    const std::string data(64, '\x5A');
    const std::string expected = Le32(1) + Record(101, data);
    struct Case {
        const char* what;
        bool exists;
        std::string before;
    };
    for (const Case& c : {Case{"missing file", false, ""}, Case{"empty file", true, ""},
                          Case{"count 0", true, Le32(0)}}) {
        TempDir dir;
        if (c.exists) WriteFile(dir.File("p"), c.before);
        FM_FILESPEC spec = dir.Spec("p");
        EXPECT_EQ(Write(spec, 101, data), 0) << c.what;
        std::string bytes = ReadFile(dir.File("p"));
        EXPECT_EQ(bytes.size(), 76u) << c.what;
        EXPECT_EQ(bytes, expected) << c.what;
    }
}

TEST(PreferenceStore, LookupsFindTheFirstRecordOfASignature) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("p");
    WriteFile(dir.File("p"), Le32(4) + Record(7, "first") + Record(100, "") + Record(7, "second") +
                                 Record(-1, "neg"));
    EXPECT_EQ(Read(spec, 7).data, "first");
    EXPECT_EQ(Read(spec, -1).data, "neg") << "any 32-bit signature";
    ReadResult empty = Read(spec, 100);
    EXPECT_EQ(empty.status, 0);
    EXPECT_FALSE(empty.null) << "a record of no data bytes is an empty, non-null buffer";
    EXPECT_EQ(empty.data, "");
    ReadResult missing = Read(spec, 8);
    EXPECT_EQ(missing.status, PF_ERR_NOT_FOUND);
    EXPECT_FALSE(IsPreferenceFileVersionUpdated(&spec)) << "record 100 is there";

    const std::string before = ReadFile(dir.File("p"));
    EXPECT_EQ(Write(spec, 7, "FIRST"), 0);
    std::string after = ReadFile(dir.File("p"));
    EXPECT_EQ(after.size(), before.size()) << "a rewrite keeps the size";
    EXPECT_EQ(GetLe32(after, 0), 4) << "and the count";
    EXPECT_EQ(after.substr(12, 5), "FIRST");
    EXPECT_EQ(Read(spec, 7).data, "FIRST");
    EXPECT_NE(after.find("second"), std::string::npos) << "the second record is not reached";

    EXPECT_EQ(Write(spec, 7, "longer"), PF_ERR_SIZE_MISMATCH);
    EXPECT_EQ(ReadFile(dir.File("p")), after) << "a rewrite of another size is refused";
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
        EXPECT_EQ(Read(spec, 102).status, c.read) << c.what;
        EXPECT_TRUE(IsPreferenceFileVersionUpdated(&spec)) << c.what;
        EXPECT_EQ(Write(spec, 102, "wxyz"), c.write) << c.what;
        if (c.write < 0) {
            EXPECT_EQ(ReadFile(dir.File("p")), c.bytes) << c.what << ": file untouched";
        }
    }
}

}  // namespace
