// The platform stand-in's string classes. Path splitting (tests/text) covers the rest of
// ReverseFind, Left and Mid on both classes.
#include <gtest/gtest.h>

#include "orvane/astring.h"
#include "vantrel_platform/afx.h"

namespace {

TEST(CStringTest, FormatFollowsTheCRuntimeAndSlicesStopAtTheEnd) {
    CString s;
    s.Format(L"%d%% %.2f", 50, 7.256);
    EXPECT_EQ(s, L"50% 7.26");
    std::wstring longText(1000, L'x');
    s.Format(L"%ls|", longText.c_str());
    EXPECT_EQ(s.GetLength(), 1001);
    EXPECT_EQ(CString(L"profile.icm").Mid(20), L"");
    EXPECT_EQ(AString("dir\\file").ReverseFind(L'/'), -1);
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
}

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
}

}  // namespace
