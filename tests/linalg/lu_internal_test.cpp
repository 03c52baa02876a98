// The factors and the parity of the internal LU decomposition.
#include <gtest/gtest.h>

#include "linalg/lu.h"

namespace {

TEST(LUDecompose, EqualMeritsPickTheLastRowAndAZeroPivotBecomesTiny) {
    float row1[3] = {0, 1, 2}, row2[3] = {0, 2, 4};  // one-based: element 0 unused
    float* rows[3] = {nullptr, row1, row2};
    int pivot[3] = {};
    float parity = 0;
    ASSERT_EQ(vantrel::detail::LUDecompose(rows, 2, pivot, parity), VANTREL_SUCCESS);
    EXPECT_EQ(pivot[1], 2);
    EXPECT_EQ(pivot[2], 2);
    EXPECT_EQ(parity, -1.0f);
    const float factors[2][2] = {{2, 4}, {0.5f, 1.0e-20f}};  // U above, L below the diagonal
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j) EXPECT_EQ(rows[i][j], factors[i - 1][j - 1]) << i << j;
}

}  // namespace
