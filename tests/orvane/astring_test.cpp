// AString: the replacement that path handling relies on, over several matches (the path tests
// meet one pair of backslashes at most).
#include <gtest/gtest.h>

#include "orvane/astring.h"

namespace {

TEST(AStringTest, ReplaceScansNonOverlappingLeftToRight) {
    EXPECT_EQ(CString(AString::Replace(L"aaaa", L"aa", L"a")), L"aa");
    EXPECT_EQ(CString(AString::Replace(L"a\\\\\\\\b\\\\", L"\\\\", L"\\")), L"a\\\\b\\");
}

}  // namespace
