// The one-based internal operations of LinSolve, on hand-made inputs.
#include <gtest/gtest.h>

#include <limits>

#include "linalg/lu.h"

namespace {

using vantrel::detail::LUBackSubstitute;
using vantrel::detail::LUDecompose;
using vantrel::detail::OneBased;

// A one-based n-by-n working matrix: rows[i][j] for i, j from 1, row 0 and column 0 unused.
struct OneBasedMatrix {
    float storage[4][4] = {};
    float* rows[4] = {nullptr, storage[1], storage[2], storage[3]};
};

TEST(LUDecompose, EqualMeritsPickTheLastRowAndAZeroPivotBecomesTiny) {
    OneBasedMatrix m;
    m.storage[1][1] = 1, m.storage[1][2] = 2;
    m.storage[2][1] = 2, m.storage[2][2] = 4;
    int pivot[3] = {};
    float parity = 0;
    ASSERT_EQ(LUDecompose(m.rows, 2, pivot, parity), 10);
    EXPECT_EQ(pivot[1], 2);
    EXPECT_EQ(pivot[2], 2);
    EXPECT_EQ(parity, -1.0f);
    EXPECT_EQ(m.rows[1][1], 2.0f);
    EXPECT_EQ(m.rows[1][2], 4.0f);
    EXPECT_EQ(m.rows[2][1], 0.5f);
    EXPECT_EQ(m.rows[2][2], 1.0e-20f);
}

TEST(LUDecompose, ZeroRowIsRefused) {
    OneBasedMatrix m;
    m.storage[1][1] = 3;
    m.storage[3][3] = 1;
    int pivot[4] = {};
    float parity = 0;
    EXPECT_EQ(LUDecompose(m.rows, 3, pivot, parity), -3);
}

TEST(LUBackSubstitute, LeadingZerosOfTheRightHandSideAreSkipped) {
    // Unit lower factor with an infinite multiplier under a zero of b: summing it would turn
    // the solution into NaN (infinity times zero).
    OneBasedMatrix m;
    m.storage[1][1] = 1;
    m.storage[2][1] = std::numeric_limits<float>::infinity();
    m.storage[2][2] = 1;
    const int pivot[3] = {0, 1, 2};
    float b[2] = {0, 5};
    int kind = -1;
    LUBackSubstitute(m.rows, 2, pivot, OneBased<float>(b), kind);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(b[0], 0.0f);
    EXPECT_EQ(b[1], 5.0f);
}

TEST(LUBackSubstitute, OnlyTheLowestSingularRowDecides) {
    // U = diag(1e-20, 1, 1e-20): row 3 is consistent, row 1 would not be; row 2 and row 1
    // stay unsolved.
    struct Case {
        float b[3];
        int kind;
    };
    const Case cases[] = {{{7, 2, 0}, 2}, {{7, 2, 3}, 0}};
    for (const Case& c : cases) {
        OneBasedMatrix m;
        m.storage[1][1] = 1.0e-20f;
        m.storage[2][2] = 1;
        m.storage[3][3] = 1.0e-20f;
        const int pivot[4] = {0, 1, 2, 3};
        float b[3] = {c.b[0], c.b[1], c.b[2]};
        int kind = -1;
        LUBackSubstitute(m.rows, 3, pivot, OneBased<float>(b), kind);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(b[0], c.b[0]);
        EXPECT_EQ(b[1], c.b[1]);
    }
}

}  // namespace
