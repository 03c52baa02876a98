// AString: the replacement that path handling relies on, and a search that finds nothing.
#include <gtest/gtest.h>

#include "orvane/astring.h"

namespace {

TEST(AStringTest, ReplaceScansNonOverlappingLeftToRight) {
    const wchar_t* cases[][4] = {
        // source, find, with, result
        {L"\\\\server\\share\\", L"\\\\", L"\\", L"\\server\\share\\"},
        {L"a\\\\\\b", L"\\\\", L"\\", L"a\\\\b"},
        {L"aaaa", L"aa", L"a", L"aa"},
        {L"abc", L"", L"x", L"abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CString(AString::Replace(c[0], c[1], c[2])), c[3]) << c[0];
    EXPECT_EQ(AString("dir\\file").ReverseFind(L'/'), -1);
}

}  // namespace
