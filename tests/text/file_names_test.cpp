// File-name checks and repairs, filter extensions, the directory test and path splitting.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "vantrel/text.h"

namespace {

// A name of `n` units: 'p' repeated, followed by `tail`.
std::wstring NameOf(size_t n, const std::wstring& tail = L"") {
    return std::wstring(n - tail.size(), L'p') + tail;
}

TEST(IsValidFilename, RefusesExactlyTheNineReservedCharacters) {
    for (wchar_t ch = 1; ch < 0x80; ++ch) {
        const wchar_t name[] = {L'a', ch, L'b', 0};
        const bool reserved = std::wstring(L"\"*/:<>?\\|").find(ch) != std::wstring::npos;
        EXPECT_EQ(IsValidFilename(name), reserved ? 0 : 1) << "U+" << std::hex << int(ch);
    }
    for (const wchar_t* ok : {L"", L"a b", L"a.b.c", L".hidden.", L"caf\u00e9 \u6587\u5b57"})
        EXPECT_EQ(IsValidFilename(ok), 1);
    EXPECT_EQ(IsValidFilename(nullptr), 1);
}

struct IccCase {
    const char* what;
    std::wstring name;
    int valid;
};

TEST(IsValidICCFilename, LengthLimitsApplyToTheTrimmedName) {
    const IccCase cases[] = {
        {"31 units ending in .ICC", NameOf(31, L".ICC"), 1},
        {"32 units ending in .icm", NameOf(32, L".icm"), 0},
        {"27 units without extension", NameOf(27), 1},
        {"28 units without extension", NameOf(28), 0},
        {"28 units ending in .icx is no ICC name", NameOf(28, L".icx"), 0},
        {"blanks around do not count", L"  name.icm  ", 1},
        {"31 units plus blanks", L"\t " + NameOf(31, L".iCm") + L" \n", 1},
        {"27 units plus blanks", L"  " + NameOf(27) + L"  ", 1},
        {"reserved character anywhere", L"a:b.icc", 0},
        {"reserved character in the blanks trimmed", L"name.icc  |", 0},
        {"the extension alone", L".icc", 1},
        {"empty", L"", 1},
    };
    for (const IccCase& c : cases) EXPECT_EQ(IsValidICCFilename(c.name.c_str()), c.valid) << c.what;
}

struct RepairCase {
    const char* what;
    std::wstring name;
    int noAppend;
    int result;
    std::wstring after;
};

TEST(MakeValidICCFilename, TrimsAppendsOrRefusesLeavingTheNameAlone) {
    const RepairCase cases[] = {
        {"appends .icm", L" profile ", 0, 1, L"profile.icm"},
        {"no append leaves it", L" profile ", 1, 0, L" profile "},
        {"any nonzero means no append", L"profile", -1, 0, L"profile"},
        {"extension keeps its case", L"Test.ICC", 0, 1, L"Test.ICC"},
        {"extension with no append", L" Test.Icm\t", 1, 1, L"Test.Icm"},
        {"27 units get the extension", NameOf(27), 0, 1, NameOf(27) + L".icm"},
        {"28 units are too long", NameOf(28), 0, 0, NameOf(28)},
        {"31 with extension", NameOf(31, L".icc"), 0, 1, NameOf(31, L".icc")},
        {"32 with extension", NameOf(32, L".icc"), 0, 0, NameOf(32, L".icc")},
        {"reserved character is not removed", L"a/b", 0, 0, L"a/b"},
        {"blanks only become the bare extension", L"   ", 0, 1, L".icm"},
    };
    for (const RepairCase& c : cases) {
        CString name(c.name);
        EXPECT_EQ(MakeValidICCFilename(name, c.noAppend), c.result) << c.what;
        EXPECT_EQ(name, CString(c.after)) << c.what;
    }
}

TEST(MakeValidFilename, TrimsOrRefuses) {
    const RepairCase cases[] = {
        {"trimmed", L" x ", 0, 1, L"x"},
        {"blanks only", L"   ", 0, 0, L"   "},
        {"empty", L"", 0, 0, L""},
        {"reserved", L" a?b ", 0, 0, L" a?b "},
        {"no length limit", NameOf(300), 0, 1, NameOf(300)},
    };
    for (const RepairCase& c : cases) {
        CString name(c.name);
        EXPECT_EQ(MakeValidFilename(name), c.result) << c.what;
        EXPECT_EQ(name, CString(c.after)) << c.what;
    }
}

TEST(GetFileExt, PicksThePatternOfTheIndexedFilter) {
    const CString filter(L"ICC Profiles (*.icc)|*.icc|All Files (*.*)|*.*||");
    struct Case {
        int index;
        const wchar_t* ext;
    };
    // Index 1 is "*.*", which loses both its characters; 2 and 3 run past the list.
    for (Case c : {Case{0, L"icc"}, Case{1, L""}, Case{2, L""}, Case{3, L""}, Case{-1, L""},
                   Case{0x7fffffff, L""}})
        EXPECT_EQ(GetFileExt(filter, c.index, L'|'), c.ext) << c.index;

    EXPECT_EQ(GetFileExt(CString(L"Archives|*.tar.gz|"), 0, L'|'), L"targz");
    EXPECT_EQ(GetFileExt(CString(L"Text;*.txt;Pictures;*.png;"), 1, L';'), L"png");
    EXPECT_EQ(GetFileExt(CString(L"No end|*.icc"), 0, L'|'), L"");
    EXPECT_EQ(GetFileExt(CString(L"a||b|"), 0, L'|'), L"");
}

struct SplitCase {
    const wchar_t* path;
    const wchar_t* directory;
    const wchar_t* file;
};

TEST(PathSplit, OnlyTheBackslashSeparates) {
    const SplitCase cases[] = {
        {L"C:\\dir\\file.icc", L"C:\\dir\\", L"file.icc"},
        {L"file.icc", L"", L"file.icc"},
        {L"C:\\dir\\", L"C:\\dir\\", L""},
        {L"\\\\server\\share\\file", L"\\server\\share\\", L"file"},
        {L"C:\\a\\\\b\\f", L"C:\\a\\b\\", L"f"},
        {L"C:\\a\\\\\\b\\f", L"C:\\a\\\\b\\", L"f"},  // three in a row: one pair collapses
        {L"/usr/share/file.icc", L"", L"/usr/share/file.icc"},
        {L"", L"", L""},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(GetDirectory(AString(c.path)), AString(c.directory)) << c.path;
        EXPECT_EQ(GetFilename(AString(c.path)), AString(c.file)) << c.path;
        EXPECT_EQ(GetDirectory(CString(c.path)), CString(c.directory)) << c.path;
        EXPECT_EQ(GetFilename(CString(c.path)), CString(c.file)) << c.path;
    }
}

class DoesDirectoryExistTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantrel-dir-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        for (const char* leaf : {"/new", "/file", "/missing/new", "/missing"})
            std::remove((root_ + leaf).c_str());
        rmdir(root_.c_str());
    }
    static bool IsDirectory(const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    static bool Exists(const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0;
    }
    std::string root_;
};

TEST_F(DoesDirectoryExistTest, AnExistingFileCountsAndIsLeftAlone) {
    const std::string file = root_ + "/file";
    std::fclose(std::fopen(file.c_str(), "w"));
    EXPECT_TRUE(DoesDirectoryExist(file.c_str(), false));
    EXPECT_TRUE(DoesDirectoryExist(file.c_str(), true));
    EXPECT_FALSE(IsDirectory(file));
    EXPECT_TRUE(DoesDirectoryExist(root_.c_str(), false));
}

TEST_F(DoesDirectoryExistTest, CreatesOnlyWhenAskedAndOnlyTheLastComponent) {
    const std::string dir = root_ + "/new";
    EXPECT_FALSE(DoesDirectoryExist(dir.c_str(), false));
    EXPECT_FALSE(Exists(dir));
    EXPECT_TRUE(DoesDirectoryExist(dir.c_str(), true));
    EXPECT_TRUE(IsDirectory(dir));

    const std::string nested = root_ + "/missing/new";
    EXPECT_FALSE(DoesDirectoryExist(nested.c_str(), true));
    EXPECT_FALSE(Exists(root_ + "/missing"));
    EXPECT_FALSE(DoesDirectoryExist(nullptr, true));
}

}  // namespace
