// The platform stand-in's string classes.
#include <gtest/gtest.h>

#include "orvane/astring.h"
#include "vantrel_platform/afx.h"

namespace {

TEST(CStringTest, FormatFollowsTheCRuntime) {
    CString s;
    s.Format(L"%d%%", 50);
    EXPECT_EQ(s, L"50%");
    s.Format(L"%.2f", 7.256);
    EXPECT_EQ(s, L"7.26");
    std::wstring longText(1000, L'x');
    s.Format(L"%ls|", longText.c_str());
    EXPECT_EQ(s.GetLength(), 1001);
}

TEST(CStringTest, BasicOperations) {
    CString s(L"profile.icm");
    EXPECT_EQ(s.GetLength(), 11);
    EXPECT_EQ(s.ReverseFind(L'.'), 7);
    EXPECT_EQ(s.Left(7), L"profile");
    EXPECT_EQ(s.Mid(8), L"icm");
    EXPECT_EQ(s.Mid(20), L"");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
}

struct ReplaceCase {
    const wchar_t* source;
    const wchar_t* find;
    const wchar_t* with;
    const wchar_t* expected;
};

TEST(AStringTest, ReplaceScansNonOverlappingLeftToRight) {
    const ReplaceCase cases[] = {
        {L"\\\\server\\share\\", L"\\\\", L"\\", L"\\server\\share\\"},
        {L"a\\\\\\b", L"\\\\", L"\\", L"a\\\\b"},
        {L"aaaa", L"aa", L"a", L"aa"},
        {L"abc", L"", L"x", L"abc"},
    };
    for (const ReplaceCase& c : cases)
        EXPECT_EQ(CString(AString::Replace(c.source, c.find, c.with)), c.expected) << c.source;
}

TEST(AStringTest, NarrowTextAndSlicing) {
    AString s("dir\\file");
    EXPECT_EQ(s.GetLength(), 8);
    EXPECT_EQ(s.ReverseFind(L'\\'), 3);
    EXPECT_EQ(CString(s.Left(4)), L"dir\\");
    EXPECT_EQ(CString(s.Mid(4)), L"file");
    EXPECT_EQ(s.ReverseFind(L'/'), -1);
}

}  // namespace
