// vantrel solve: the system from standard input or a file, its output and its errors.
#include <cstdio>

#include "cli_helpers.h"

namespace {

using cli_testing::RunVantrel;

TEST(SolveCli, PrintsTheSolutionAndItsKind) {
    const struct {
        const char *what, *input, *output;
    } cases[] = {
        {"rows exchanged, all on one line", "2  0 1  1 0  2 3",
         "x1  3\nx2  2\nkind  1 (unique solution)\n"},
        {"one row per line", "3\n2 1 1\n4 -6 0\n-2 7 2\n5 -2 9\n",
         "x1  1\nx2  1\nx3  2\nkind  1 (unique solution)\n"},
        {"x printed to the last bit", "1 3 1", "x1  0.333333343\nkind  1 (unique solution)\n"},
        {"comments and blank lines", "# a 1x1 system\n1   # order\n\n4 2 # b\n",
         "x1  0.5\nkind  1 (unique solution)\n"},
        {"order 0", "0", "kind  1 (unique solution)\n"},
        {"singular and consistent: no x", "2 1 2 2 4 1 2",
         "kind  2 (singular, consistent: infinitely many solutions)\n"},
        {"singular and inconsistent", "2 1 2 2 4 1 3",
         "kind  0 (singular, inconsistent: no solution)\n"},
        {"zero row", "2 1 2 0 0 1 3", "kind  singular (a row of A is all zero)\n"},
    };
    for (const auto& c : cases) {
        auto r = RunVantrel("solve", c.input);
        EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
        EXPECT_EQ(r.out, c.output) << c.what;
    }
}

TEST(SolveCli, ReadsANamedFileOrDashForStandardInput) {
    std::string path = testing::TempDir() + "solve_cli_system.txt";
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("2\n0 1\n1 0\n2 3\n", f);
    std::fclose(f);
    auto fromFile = RunVantrel("solve '" + path + "'");
    std::remove(path.c_str());
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, "x1  3\nx2  2\nkind  1 (unique solution)\n");
    auto fromDash = RunVantrel("solve -", "1 2 1");
    EXPECT_EQ(fromDash.out, "x1  0.5\nkind  1 (unique solution)\n");
}

TEST(SolveCli, MalformedInputGivesOneLineAndStatus2) {
    const char* cases[][3] = {
        // arguments, input, part of the error
        {"solve", "", "input is empty: expected the order n"},
        {"solve", "-1", "line 1: the order n: '-1' is not a whole number from 0 to 46340"},
        {"solve", "1.5 1 1", "the order n: '1.5' is not a whole number"},
        {"solve", "46341", "the order n: '46341' is not a whole number from 0 to 46340"},
        {"solve", "2 1 2\n0 x\n1 3", "line 2: A[2][2]: 'x' is not a number"},
        {"solve", "1 1 nan", "b[1]: 'nan' is not a number"},
        {"solve", "1 1e39 1", "A[1][1]: '1e39' is out of range"},
        {"solve", "2 1 2 0 1 1",
         "input ends before b[2]: order 2 needs 2 rows of 2 numbers, then 2 numbers of b"},
        {"solve", "1 4 2\n5", "line 2: unexpected '5' after the last number of b"},
        {"solve /nonexistent/system.txt", "", "cannot open '/nonexistent/system.txt'"},
        {"solve a b", "", "unexpected argument 'b'"},
        {"solve --order 3", "", "unknown option --order"},
    };
    for (const auto& c : cases) cli_testing::ExpectError(c[0], 2, c[2], c[1]);
}

}  // namespace
