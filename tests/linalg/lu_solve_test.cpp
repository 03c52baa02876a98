// LinSolve through the shared library: the stated systems and untouched inputs. Larger systems
// are compared bit for bit with the reference solver in lu_identity_test.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "support/test_support.h"
#include "vantrel/linalg.h"

namespace {

using Floats = std::vector<float>;

bool SameBits(const Floats& a, const Floats& b) {
    return a.size() == b.size() && testing_support::SameBits(a.data(), b.data(), a.size());
}

// Hosts compare with these numbers, so they are part of the interface.
static_assert(VANTREL_SUCCESS == 10 && VANTREL_ERR_SINGULAR == -3 && VANTREL_ERR_NO_MEMORY == -5 &&
                  VANTREL_ERR_WHITE_NOT_DETERMINED == -7,
              "result codes");
static_assert(VANTREL_SOLUTION_NONE == 0 && VANTREL_SOLUTION_UNIQUE == 1 &&
                  VANTREL_SOLUTION_MANY == 2 && VANTREL_LINSOLVE_MAX_ORDER == 46340,
              "solution kinds and the largest order");

constexpr float kUnset = -12345.0f;

// Short names for the table.
constexpr short kOk = VANTREL_SUCCESS;
constexpr short kSingular = VANTREL_ERR_SINGULAR;
constexpr int kNone = VANTREL_SOLUTION_NONE;
constexpr int kOne = VANTREL_SOLUTION_UNIQUE;
constexpr int kMany = VANTREL_SOLUTION_MANY;

struct Case {
    const char* what;
    std::vector<Floats> A;
    Floats b;
    short result;
    int kind;  // -1: not written
    Floats x;  // exact
};

TEST(LinSolve, StatedSystems) {
    // clang-format off
    const Case cases[] = {
        {"order 0 writes nothing", {}, {}, kOk, kOne, {}},
        {"order 1", {{4}}, {2}, kOk, kOne, {0.5f}},
        {"rows exchanged", {{0, 1}, {1, 0}}, {2, 3}, kOk, kOne, {3, 2}},
        {"3x3", {{2, 1, 1}, {4, -6, 0}, {-2, 7, 2}}, {5, -2, 9}, kOk, kOne, {1, 1, 2}},
        {"zero row: refused, x holds b", {{1, 2}, {0, 0}}, {7, 8}, kSingular, -1, {7, 8}},
        {"zero first row", {{0, 0}, {1, 2}}, {7, 8}, kSingular, -1, {7, 8}},
        // Equal merits make the second row the pivot; the second diagonal becomes 1e-20.
        // x holds the forward-substituted values, nothing solved.
        {"tie, consistent", {{1, 2}, {2, 4}}, {1, 2}, kOk, kMany, {2, 0}},
        {"tie, inconsistent", {{1, 2}, {2, 4}}, {1, 3}, kOk, kNone, {3, -0.5f}},
        // Only the lowest near-zero diagonal element decides; the rows above stay unsolved.
        {"lowest: 2", {{1e-12f, 0, 0}, {0, 1, 0}, {0, 0, 1e-12f}}, {7, 2, 0},
         kOk, kMany, {7, 2, 0}},
        {"lowest: 0", {{1e-12f, 0, 0}, {0, 1, 0}, {0, 0, 1e-12f}}, {7, 2, 3},
         kOk, kNone, {7, 2, 3}},
        // The multiplier under the first pivot overflows to infinity; the leading zero of b
        // is skipped, so it never meets the infinity (infinity times zero would be NaN).
        {"leading zero skipped", {{2e-9f, 2e-9f}, {1e38f, 3e38f}}, {0, 5},
         kOk, kOne, {0, -0.0f}},
        // The tolerance test widens to double: the float nearest to 1e-9 lies below 1e-9.
        {"1e-9 as a float is zero", {{1, 0}, {0, 1e-9f}}, {1, 0}, kOk, kMany, {1, 0}},
        {"the next float is not", {{1, 0}, {0, 0x1.12e0c0p-30f}}, {1, 0}, kOk, kOne, {1, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Floats> A = c.A;  // each row in its own allocation
        std::vector<float*> rows;
        for (Floats& row : A) rows.push_back(row.data());
        Floats b = c.b, x(c.b.size(), kUnset);
        int kind = -1;
        EXPECT_EQ(LinSolve(rows.data(), b.data(), static_cast<int>(A.size()), x.data(), kind),
                  c.result);
        EXPECT_EQ(kind, c.kind);
        EXPECT_TRUE(SameBits(x, c.x));
        EXPECT_TRUE(SameBits(b, c.b)) << "b was modified";
        for (size_t i = 0; i < A.size(); ++i) EXPECT_TRUE(SameBits(A[i], c.A[i])) << "row " << i;
    }
}

TEST(LinSolve, OrdersOutsideTheContractAreRefusedUntouched) {
    for (int n : {-1, -46340, INT_MIN, VANTREL_LINSOLVE_MAX_ORDER + 1, 65536, INT_MAX}) {
        float x[2] = {kUnset, kUnset};
        int kind = 7;
        EXPECT_EQ(LinSolve(nullptr, nullptr, n, x, kind), VANTREL_ERR_NO_MEMORY) << n;
        EXPECT_TRUE(kind == 7 && x[0] == kUnset && x[1] == kUnset) << n;
    }
}

}  // namespace
