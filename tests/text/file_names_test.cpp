// File-name checks and repairs, filter extensions, the directory test and path splitting.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/test_support.h"
#include "vantrel/text.h"

namespace {

// A name of `n` units: 'p' repeated, then `tail`.
std::wstring NameOf(size_t n, const std::wstring& tail = L"") {
    return std::wstring(n - tail.size(), L'p') + tail;
}

TEST(IsValidFilename, RefusesExactlyTheNineReservedCharacters) {
    for (wchar_t ch = 1; ch < 0x80; ++ch) {
        const wchar_t name[] = {L'a', ch, L'b', 0};
        const bool reserved = std::wstring(L"\"*/:<>?\\|").find(ch) != std::wstring::npos;
        EXPECT_EQ(IsValidFilename(name), reserved ? 0 : 1) << int(ch);
    }
    EXPECT_EQ(IsValidFilename(L""), 1);
    EXPECT_EQ(IsValidFilename(L"caf\u00e9 \u6587.b.c."), 1);
}

TEST(IsValidICCFilename, LengthLimitsApplyToTheTrimmedName) {
    const std::pair<std::wstring, int> cases[] = {
        {NameOf(31, L".ICC"), 1},
        {NameOf(32, L".icm"), 0},
        {NameOf(27), 1},
        {NameOf(28), 0},
        {NameOf(28, L".icx"), 0},
        {L"  name.icm  ", 1},
        {L"\t " + NameOf(31, L".iCm") + L" \n", 1},
        {L"  " + NameOf(27) + L"  ", 1},
        {L"name.icc  |", 0},
        {L".icc", 1},
        {L"", 1},
    };
    for (const auto& [name, valid] : cases)
        EXPECT_EQ(IsValidICCFilename(name.c_str()), valid) << name.size();
}

TEST(MakeValidFilename, TrimsAppendsOrRefusesLeavingTheNameAlone) {
    const int kPlain = 99;  // MakeValidFilename; otherwise MakeValidICCFilename's noAppend
    const struct {
        std::wstring name;
        int noAppend, result;
        std::wstring after;
    } cases[] = {
        {L" profile ", 0, 1, L"profile.icm"},
        {L" profile ", 1, 0, L" profile "},
        {L"profile", -1, 0, L"profile"},
        {L"Test.ICC", 0, 1, L"Test.ICC"},
        {L" Test.Icm\t", 1, 1, L"Test.Icm"},
        {NameOf(27), 0, 1, NameOf(27) + L".icm"},
        {NameOf(28), 0, 0, NameOf(28)},
        {NameOf(31, L".icc"), 0, 1, NameOf(31, L".icc")},
        {NameOf(32, L".icc"), 0, 0, NameOf(32, L".icc")},
        {L"a/b", 0, 0, L"a/b"},
        {L"   ", 0, 1, L".icm"},  // blanks only: the bare extension
        {L" x ", kPlain, 1, L"x"},
        {L"   ", kPlain, 0, L"   "},
        {L"", kPlain, 0, L""},
        {L" a?b ", kPlain, 0, L" a?b "},
        {NameOf(300), kPlain, 1, NameOf(300)},
    };
    for (const auto& c : cases) {
        CString name(c.name);
        int result =
            c.noAppend == kPlain ? MakeValidFilename(name) : MakeValidICCFilename(name, c.noAppend);
        EXPECT_EQ(result, c.result) << c.noAppend << " '" << name.GetString() << "'";
        EXPECT_EQ(name, CString(c.after)) << c.noAppend;
    }
}

TEST(GetFileExt, PicksThePatternOfTheIndexedFilter) {
    const CString filter(L"ICC Profiles (*.icc)|*.icc|All Files (*.*)|*.*||");
    EXPECT_EQ(GetFileExt(filter, 0, L'|'), L"icc");
    for (int index : {1, 2, 3, -1, 0x7fffffff}) EXPECT_EQ(GetFileExt(filter, index, L'|'), L"");
    EXPECT_EQ(GetFileExt(CString(L"Archives|*.tar.gz|"), 0, L'|'), L"targz");
    EXPECT_EQ(GetFileExt(CString(L"Text;*.txt;Pictures;*.png;"), 1, L';'), L"png");
    EXPECT_EQ(GetFileExt(CString(L"No end|*.icc"), 0, L'|'), L"");
}

TEST(PathSplit, OnlyTheBackslashSeparates) {
    const struct {
        const wchar_t *path, *directory, *file;
    } cases[] = {
        {L"C:\\dir\\file.icc", L"C:\\dir\\", L"file.icc"},
        {L"file.icc", L"", L"file.icc"},
        {L"C:\\dir\\", L"C:\\dir\\", L""},
        {L"\\\\server\\share\\file", L"\\server\\share\\", L"file"},
        {L"C:\\a\\\\b\\f", L"C:\\a\\b\\", L"f"},
        {L"C:\\a\\\\\\b\\f", L"C:\\a\\\\b\\", L"f"},  // three in a row: one pair collapses
        {L"/usr/share/file.icc", L"", L"/usr/share/file.icc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetDirectory(AString(c.path)), AString(c.directory)) << c.path;
        EXPECT_EQ(GetFilename(AString(c.path)), AString(c.file)) << c.path;
        EXPECT_EQ(GetDirectory(CString(c.path)), CString(c.directory)) << c.path;
        EXPECT_EQ(GetFilename(CString(c.path)), CString(c.file)) << c.path;
    }
}

TEST(DoesDirectoryExist, FilesCountOnlyTheLastComponentIsCreated) {
    const testing_support::TempDir root;
    const std::string file = root.File("file"), dir = root.File("new"),
                      nested = root.File("missing/new");
    testing_support::WriteFile(file, "");
    struct stat info;

    EXPECT_TRUE(DoesDirectoryExist(file.c_str(), false));
    EXPECT_TRUE(DoesDirectoryExist(file.c_str(), true));
    EXPECT_TRUE(stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode));
    EXPECT_FALSE(DoesDirectoryExist(dir.c_str(), false));
    EXPECT_NE(stat(dir.c_str(), &info), 0);
    EXPECT_TRUE(DoesDirectoryExist(dir.c_str(), true));
    EXPECT_TRUE(stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
    EXPECT_FALSE(DoesDirectoryExist(nested.c_str(), true));
    EXPECT_NE(stat(root.File("missing").c_str(), &info), 0);
}

}  // namespace
