// File services: open modes, exact reads, UTF-16 paths and the fault-injection hook.
#include <gtest/gtest.h>

#include <string>

#include "orvane/file_services.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(FileServices, OpenModes) {
    struct Case {
        const char* what;
        bool exists;  // "abc" before the open
        char mode;
        short status;
        const char* after;  // contents after open and close, or null for no file
    };
    const Case cases[] = {
        {"reading a missing file fails", false, FM_MODE_READ, FM_ERR_NOT_FOUND, nullptr},
        {"create empties a file", true, FM_MODE_CREATE, FM_OK, ""},
        {"read-write creates a missing file", false, FM_MODE_READWRITE, FM_OK, ""},
        {"read-write keeps the file", true, FM_MODE_READWRITE, FM_OK, "abc"},
        {"an unknown mode is refused", true, 3, FM_ERR_BAD_ARGUMENT, "abc"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.exists) WriteFile(dir.File("f"), "abc");
        FM_FILESPEC spec = dir.Spec("f");
        int handle = -1;
        EXPECT_EQ(FM_Open(&spec, c.mode, &handle), c.status) << c.what;
        EXPECT_EQ(handle != 0, c.status == FM_OK) << c.what;
        if (handle) FM_Close(handle);
        EXPECT_EQ(handle, 0) << c.what;
        EXPECT_EQ(testing_support::FileExists(dir.File("f")), c.after != nullptr) << c.what;
        EXPECT_EQ(ReadFile(dir.File("f")), c.after ? c.after : "") << c.what;
    }
}

TEST(FileServices, PathsAreUtf16OnTheWayInAndUtf8OnDisk) {
    TempDir dir;
    std::wstring wide(dir.Path().begin(), dir.Path().end());
    wide += L"/pr\u00E9f\u4E2D\U0001F600";  // two, three and four UTF-8 bytes; one pair
    FM_FILESPEC spec;
    ASSERT_TRUE(FM_SetPath(&spec, wide.c_str()));
    int h = 0;
    ASSERT_EQ(FM_Open(&spec, FM_MODE_CREATE, &h), FM_OK);
    FM_Close(h);
    EXPECT_TRUE(
        testing_support::FileExists(dir.File("pr\xC3\xA9"
                                             "f\xE4\xB8\xAD\xF0\x9F\x98\x80")));

    struct Case {
        const char* what;
        std::string utf8;
        bool ok;
    };
    const Case cases[] = {
        {"511 units fit", std::string(511, 'a'), true},
        {"a pair that would end on unit 512", std::string(510, 'a') + "\xF0\x9F\x98\x80", false},
        {"an overlong encoding", "\xC0\xAF", false},
        {"an encoded surrogate", "\xED\xA0\x80", false},
    };
    for (const Case& c : cases) EXPECT_EQ(FM_SetPath(&spec, c.utf8.c_str()), c.ok) << c.what;

    spec.szPath[0] = 0xD800;  // a lone surrogate
    spec.szPath[1] = 0;
    EXPECT_EQ(FM_Open(&spec, FM_MODE_READWRITE, &h), FM_ERR_BAD_PATH);
    for (char16_t& unit : spec.szPath) unit = u'a';  // no terminator
    EXPECT_EQ(FM_Open(&spec, FM_MODE_READWRITE, &h), FM_ERR_BAD_PATH);
}

// One of each operation, with statuses recorded.
void RunEveryOperation(const FM_FILESPEC& spec, short (&status)[7]) {
    int h = 0;
    char buf[4];
    std::int64_t size;
    status[0] = FM_Open(&spec, FM_MODE_READWRITE, &h);
    status[1] = FM_Write(h, "abcd", 4);
    status[2] = FM_Seek(h, FM_SEEK_START, 0);
    status[3] = FM_Read(h, buf, 4);
    status[4] = FM_SeekAndWrite(h, 0, FM_SEEK_START, "AB", 2);
    status[5] = FM_GetSize(h, &size);
    status[6] = h ? FM_Close(h) : short{FM_OK};
}

TEST(FileServicesHook, FailsTheKthOperationOrWritesAPrefix) {
    TempDir dir;
    FM_FILESPEC spec = dir.Spec("f");
    FM_TestFaultScope scope;
    short status[7];
    RunEveryOperation(spec, status);
    ASSERT_EQ(FM_TestOperationCount(), 7);
    for (int k = 2; k <= 7; ++k) {
        WriteFile(dir.File("f"), "wxyzwxyz");  // the read succeeds whatever failed before
        FM_TestReset();
        FM_TestFailOperation(k);
        RunEveryOperation(spec, status);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(status[i], i + 1 == k ? short{FM_ERR_INJECTED} : short{FM_OK})
                << "operation " << i + 1 << " with operation " << k << " failing";
    }

    int h = 0;
    FM_TestReset();
    ASSERT_EQ(FM_Open(&spec, FM_MODE_CREATE, &h), FM_OK);
    FM_TestShortWrite(2, 3);
    EXPECT_EQ(FM_Write(h, "abcdef", 6), FM_ERR_WRITE);
    FM_TestShortWrite(3, 2);
    EXPECT_EQ(FM_SeekAndWrite(h, 1, FM_SEEK_START, "XYZ", 3), FM_ERR_WRITE);
    FM_Close(h);
    EXPECT_EQ(ReadFile(dir.File("f")), "aXY");
}

}  // namespace
