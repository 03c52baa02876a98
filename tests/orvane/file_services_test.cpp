// File services: open modes, exact reads, seeks, UTF-16 paths, statuses and the test hook.
#include <dirent.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "orvane/file_services.h"
#include "orvane/temp_dir.h"

namespace {

using testing_support::Exists;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

int OpenDescriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

TEST(FileServices, OpenModes) {
    struct Case {
        const char* what;
        const char* before;  // file contents before the open, or null for no file
        char mode;
        short status;
        const char* after;  // contents after open and close, or null for no file
    };
    const Case cases[] = {
        {"reading a missing file fails", nullptr, FM_MODE_READ, FM_ERR_NOT_FOUND, nullptr},
        {"reading keeps the file", "abc", FM_MODE_READ, FM_OK, "abc"},
        {"create makes a missing file", nullptr, FM_MODE_CREATE, FM_OK, ""},
        {"create empties a file", "abc", FM_MODE_CREATE, FM_OK, ""},
        {"read-write creates a missing file", nullptr, FM_MODE_READWRITE, FM_OK, ""},
        {"read-write keeps the file", "abc", FM_MODE_READWRITE, FM_OK, "abc"},
        {"an unknown mode is refused", "abc", 3, FM_ERR_BAD_ARGUMENT, "abc"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.before) WriteBytes(dir.file("f"), c.before);
        FM_FILESPEC spec = dir.spec("f");
        int handle = -1;
        EXPECT_EQ(FM_Open(&spec, c.mode, &handle), c.status) << c.what;
        EXPECT_EQ(handle != 0, c.status == FM_OK) << c.what;
        if (handle) FM_Close(handle);
        EXPECT_EQ(handle, 0) << c.what;
        EXPECT_EQ(Exists(dir.file("f")), c.after != nullptr) << c.what;
        if (c.after) {
            EXPECT_EQ(ReadBytes(dir.file("f")), c.after) << c.what;
        }
    }
}

TEST(FileServices, ADirectoryIsNotAFile) {
    TempDir dir;
    FM_FILESPEC spec;
    ASSERT_TRUE(FM_SetPath(&spec, dir.path().c_str()));
    int handle = 0;
    EXPECT_EQ(FM_Open(&spec, FM_MODE_READ, &handle), FM_ERR_OPEN);
    EXPECT_EQ(handle, 0);
}

TEST(FileServices, ReadsAreExactAndAShortReadFails) {
    TempDir dir;
    WriteBytes(dir.file("f"), "0123456789");
    FM_FILESPEC spec = dir.spec("f");
    int h = 0;
    ASSERT_EQ(FM_Open(&spec, FM_MODE_READ, &h), FM_OK);
    char buf[16] = {};
    EXPECT_EQ(FM_Read(h, buf, 4), FM_OK);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(FM_Seek(h, FM_SEEK_CURRENT, 2), FM_OK);
    EXPECT_EQ(FM_Read(h, buf, 4), FM_OK);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_EQ(FM_Read(h, buf, 0), FM_OK) << "nothing to read at the end is no failure";
    EXPECT_EQ(FM_Seek(h, FM_SEEK_END, -3), FM_OK);
    EXPECT_EQ(FM_Read(h, buf, 4), FM_ERR_END_OF_FILE) << "3 bytes left, 4 asked";
    EXPECT_EQ(FM_Seek(h, FM_SEEK_START, 100), FM_OK) << "beyond the end is a position";
    EXPECT_EQ(FM_Read(h, buf, 1), FM_ERR_END_OF_FILE);
    EXPECT_EQ(FM_Seek(h, FM_SEEK_START, -1), FM_ERR_SEEK);
    EXPECT_EQ(FM_Seek(h, 7, 0), FM_ERR_BAD_ARGUMENT);
    EXPECT_EQ(FM_Read(h, nullptr, 1), FM_ERR_BAD_ARGUMENT);
    EXPECT_EQ(FM_Read(h, buf, -1), FM_ERR_BAD_ARGUMENT);
    std::int64_t size = -1;
    EXPECT_EQ(FM_GetSize(h, &size), FM_OK);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(FM_Close(h), FM_OK);
    EXPECT_EQ(FM_Read(h, buf, 1), FM_ERR_BAD_HANDLE) << "a closed handle is 0";
    EXPECT_EQ(FM_Close(h), FM_ERR_BAD_HANDLE);
}

TEST(FileServices, WritesAdvanceAndSeekAndWriteOverwrites) {
    TempDir dir;
    FM_FILESPEC spec = dir.spec("f");
    int h = 0;
    ASSERT_EQ(FM_Open(&spec, FM_MODE_CREATE, &h), FM_OK);
    EXPECT_EQ(FM_Write(h, "abcdef", 6), FM_OK);
    EXPECT_EQ(FM_Write(h, "gh", 2), FM_OK);
    EXPECT_EQ(FM_SeekAndWrite(h, 0, FM_SEEK_START, "XY", 2), FM_OK);
    EXPECT_EQ(FM_Write(h, "Z", 1), FM_OK) << "goes on after the seek-and-write";
    FM_Close(h);
    EXPECT_EQ(ReadBytes(dir.file("f")), "XYZdefgh");

    ASSERT_EQ(FM_Open(&spec, FM_MODE_READWRITE, &h), FM_OK);
    char buf[3];
    EXPECT_EQ(FM_Read(h, buf, 3), FM_OK) << "read-write starts at offset 0";
    EXPECT_EQ(std::string(buf, 3), "XYZ");
    EXPECT_EQ(FM_Write(h, "!", 1), FM_OK);
    FM_Close(h);
    EXPECT_EQ(ReadBytes(dir.file("f")), "XYZ!efgh");

    ASSERT_EQ(FM_Open(&spec, FM_MODE_READ, &h), FM_OK);
    EXPECT_LT(FM_Write(h, "no", 2), 0) << "a file opened for reading takes no writes";
    FM_Close(h);
}

TEST(FileServices, Utf16PathsReachUtf8Names) {
    TempDir dir;
    // e acute, a CJK ideograph and a character outside the basic plane (a surrogate pair).
    const std::string utf8Name =
        "pr\xC3\xA9"
        "f\xE4\xB8\xAD"
        "\xF0\x9F\x98\x80";
    std::wstring wide(dir.path().begin(), dir.path().end());
    wide += L"/pr\u00E9f\u4E2D\U0001F600";
    FM_FILESPEC spec;
    ASSERT_TRUE(FM_SetPath(&spec, wide.c_str()));
    int h = 0;
    ASSERT_EQ(FM_Open(&spec, FM_MODE_CREATE, &h), FM_OK);
    FM_Write(h, "x", 1);
    FM_Close(h);
    EXPECT_EQ(ReadBytes(dir.file(utf8Name)), "x");

    FM_FILESPEC fromUtf8;
    ASSERT_TRUE(FM_SetPath(&fromUtf8, dir.file(utf8Name).c_str()));
    EXPECT_EQ(std::u16string(fromUtf8.szPath), std::u16string(spec.szPath));
}

TEST(FileServices, MalformedPathsDoNotOpen) {
    struct Case {
        const char* what;
        char16_t units[3];
        bool terminated;
    };
    const Case cases[] = {
        {"a lone high surrogate", {u'a', 0xD800, 0}, true},
        {"a lone low surrogate", {0xDC00, u'a', 0}, true},
        {"no terminator in 512 units", {u'a', u'a', u'a'}, false},
    };
    for (const Case& c : cases) {
        FM_FILESPEC spec;
        for (char16_t& u : spec.szPath) u = c.terminated ? 0 : u'a';
        for (int i = 0; i < 3; ++i) spec.szPath[i] = c.units[i];
        int h = 0;
        EXPECT_EQ(FM_Open(&spec, FM_MODE_READWRITE, &h), FM_ERR_BAD_PATH) << c.what;
        EXPECT_EQ(h, 0) << c.what;
    }
}

TEST(FileServices, SetPathChecksLengthAndEncoding) {
    struct Case {
        const char* what;
        std::string utf8;
        bool ok;
    };
    const Case cases[] = {
        {"511 units fit", std::string(511, 'a'), true},
        {"512 units do not", std::string(512, 'a'), false},
        {"a pair counts two units", std::string(509, 'a') + "\xF0\x9F\x98\x80", true},
        {"a pair that would end on unit 512", std::string(510, 'a') + "\xF0\x9F\x98\x80", false},
        {"an overlong encoding", "\xC0\xAF", false},
        {"a lone continuation byte", "a\x80", false},
        {"a truncated sequence", "a\xE4\xB8", false},
        {"an encoded surrogate", "\xED\xA0\x80", false},
    };
    for (const Case& c : cases) {
        FM_FILESPEC spec;
        EXPECT_EQ(FM_SetPath(&spec, c.utf8.c_str()), c.ok) << c.what;
        if (!c.ok) {
            EXPECT_EQ(spec.szPath[0], 0) << c.what;
        }
    }
    FM_FILESPEC spec;
    EXPECT_TRUE(FM_SetPath(&spec, std::wstring(511, L'a').c_str()));
    EXPECT_FALSE(FM_SetPath(&spec, std::wstring(512, L'a').c_str()));
    EXPECT_FALSE(FM_SetPath(&spec, L"\xD800"));
    EXPECT_FALSE(FM_SetPath(&spec, static_cast<const wchar_t*>(nullptr)));
}

TEST(FileServices, StatusesAreDistinctFromTheLibraryCodes) {
    const short statuses[] = {FM_ERR_NOT_FOUND,   FM_ERR_ACCESS,     FM_ERR_OPEN,
                              FM_ERR_BAD_PATH,    FM_ERR_BAD_HANDLE, FM_ERR_BAD_ARGUMENT,
                              FM_ERR_END_OF_FILE, FM_ERR_READ,       FM_ERR_WRITE,
                              FM_ERR_SEEK,        FM_ERR_CLOSE,      FM_ERR_INJECTED};
    std::set<short> seen;
    for (short s : statuses) {
        EXPECT_LT(s, -10) << s;
        EXPECT_TRUE(seen.insert(s).second) << s;
    }
}

// Opens, writes, seeks back, reads, takes the size and closes: one of each operation.
struct Trace {
    short status[7];
};
Trace RunEveryOperation(const FM_FILESPEC& spec) {
    Trace t;
    int h = 0;
    char buf[4];
    std::int64_t size;
    t.status[0] = FM_Open(&spec, FM_MODE_READWRITE, &h);
    t.status[1] = FM_Write(h, "abcd", 4);
    t.status[2] = FM_Seek(h, FM_SEEK_START, 0);
    t.status[3] = FM_Read(h, buf, 4);
    t.status[4] = FM_SeekAndWrite(h, 0, FM_SEEK_START, "AB", 2);
    t.status[5] = FM_GetSize(h, &size);
    t.status[6] = h ? FM_Close(h) : short{FM_OK};
    return t;
}

TEST(FileServicesHook, CountsOperationsAndFailsTheKthOne) {
    TempDir dir;
    FM_FILESPEC spec = dir.spec("f");
    FM_TestFaultScope scope;
    RunEveryOperation(spec);
    ASSERT_EQ(FM_TestOperationCount(), 7);
    int descriptors = OpenDescriptors();
    for (int k = 2; k <= 7; ++k) {  // k = 1 fails the open, after which nothing else runs
        WriteBytes(dir.file("f"), "wxyzwxyz");  // the read succeeds whatever failed before
        FM_TestReset();
        FM_TestFailOperation(k);
        Trace t = RunEveryOperation(spec);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(t.status[i], i + 1 == k ? short{FM_ERR_INJECTED} : short{FM_OK})
                << "operation " << i + 1 << " with operation " << k << " failing";
        EXPECT_EQ(OpenDescriptors(), descriptors) << "an injected close still closes";
    }
    FM_TestReset();
    FM_TestFailOperation(1);
    int h = 0;
    EXPECT_EQ(FM_Open(&spec, FM_MODE_READ, &h), FM_ERR_INJECTED);
    EXPECT_EQ(h, 0);
}

TEST(FileServicesHook, ShortWritesLeaveThePrefix) {
    struct Case {
        const char* what;
        int bytes;
        bool seekAndWrite;
        const char* after;
    };
    const Case cases[] = {
        {"write, 3 of 6 bytes", 3, false, "abc"},
        {"write, none", 0, false, ""},
        {"write, more than asked", 99, false, "abcdef"},
        {"seek-and-write, 2 of 6 bytes", 2, true, "--ab"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        FM_FILESPEC spec = dir.spec("f");
        FM_TestFaultScope scope;
        int h = 0;
        ASSERT_EQ(FM_Open(&spec, FM_MODE_CREATE, &h), FM_OK);
        if (c.seekAndWrite) {
            ASSERT_EQ(FM_Write(h, "----", 4), FM_OK);
        }
        FM_TestShortWrite(FM_TestOperationCount() + 1, c.bytes);
        short status = c.seekAndWrite ? FM_SeekAndWrite(h, 2, FM_SEEK_START, "abcdef", 6)
                                      : FM_Write(h, "abcdef", 6);
        EXPECT_EQ(status, FM_ERR_WRITE) << c.what;
        FM_Close(h);
        EXPECT_EQ(ReadBytes(dir.file("f")), c.after) << c.what;
    }
}

}  // namespace
