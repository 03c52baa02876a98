// 3x3 solvers and inversion, in both element types.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "vantrel/linalg.h"

namespace {

// A 3x3 matrix handed over as row pointers. The rows are stored bottom to top so that a
// solver assuming contiguous rows in order would read the wrong elements.
template <typename T>
struct Matrix3 {
    T storage[3][3];
    T* rows[3];

    explicit Matrix3(const double (&m)[3][3]) {
        for (int i = 0; i < 3; ++i) {
            rows[i] = storage[2 - i];
            for (int j = 0; j < 3; ++j) rows[i][j] = static_cast<T>(m[i][j]);
        }
    }
    bool SameBits(const Matrix3& o) const {
        return testing_support::SameBits(&storage[0][0], &o.storage[0][0], 9);
    }
};

template <typename T>
void Fill(T (&out)[3], const double (&in)[3]) {
    for (int i = 0; i < 3; ++i) out[i] = static_cast<T>(in[i]);
}

template <typename T>
class Solve3Test : public ::testing::Test {
  protected:
    static constexpr bool kFloat = sizeof(T) == sizeof(float);
};
using ElementTypes = testing::Types<float, double>;
TYPED_TEST_SUITE(Solve3Test, ElementTypes);

constexpr int kNone = VANTREL_SOLUTION_NONE, kOne = VANTREL_SOLUTION_UNIQUE,
              kMany = VANTREL_SOLUTION_MANY;

struct KindCase {
    const char* what;
    double A[3][3];
    double b[3];
    int floatKind, doubleKind;
    double x[3] = {};  // expected exactly for a unique solution
};

// 1e-9 is the edge of zero: exactly 1e-9 in double is not zero, while the float nearest to
// 1e-9 widens to just below it and is zero.
// clang-format off
const KindCase kKindCases[] = {
    {"identity returns b", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {2, 3, 4}, kOne, kOne, {2, 3, 4}},
    {"zero matrix, zero b", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 0}, kMany, kMany},
    {"zero matrix, non-zero b", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 1}, kNone, kNone},
    {"zero last row, consistent", {{1, 0, 0}, {0, 1, 0}, {0, 0, 0}}, {1, 2, 0}, kMany, kMany},
    {"zero last row, inconsistent", {{1, 0, 0}, {0, 1, 0}, {0, 0, 0}}, {1, 2, 3}, kNone, kNone},
    {"rank two, consistent", {{1, 2, 3}, {2, 4, 6}, {1, 1, 1}}, {1, 2, 1}, kMany, kMany},
    {"rank two, inconsistent", {{1, 2, 3}, {2, 4, 6}, {1, 1, 1}}, {1, 3, 1}, kNone, kNone},
    {"rank one, consistent", {{1, 2, 3}, {2, 4, 6}, {3, 6, 9}}, {1, 2, 3}, kMany, kMany},
    {"rank one, inconsistent", {{1, 2, 3}, {2, 4, 6}, {3, 6, 9}}, {1, 2, 4}, kNone, kNone},
    {"rows, columns swapped", {{0, 0, 5}, {0, 2, 0}, {1, 0, 0}}, {10, 4, 3}, kOne, kOne, {3, 2, 2}},
    {"rows exchanged", {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, {2, 3, 4}, kOne, kOne, {3, 2, 4}},
    {"1e-9 pivot 3", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1e-9}}, {1, 1, 0}, kMany, kOne, {1, 1, 0}},
    {"1e-9 pivot 2", {{1, 0, 0}, {0, 1e-9, 0}, {0, 0, 1e-9}}, {1, 0, 0}, kMany, kOne, {1, 0, 0}},
    {"1e-9 pivot 1", {{1e-9, 0, 0}, {0, 1e-9, 0}, {0, 0, 1e-9}}, {0, 0, 0}, kMany, kOne},
    {"1e-9 in b of a zero matrix", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 1e-9, 0}, kMany, kNone},
};
// clang-format on

TYPED_TEST(Solve3Test, SolutionKindAndSolutionWithInputsUnchanged) {
    using T = TypeParam;
    for (const KindCase& c : kKindCases) {
        SCOPED_TRACE(c.what);
        Matrix3<T> A(c.A), before(c.A);
        T b[3], bBefore[3], x[3] = {T(-7), T(-8), T(-9)};
        Fill(b, c.b);
        Fill(bBefore, c.b);
        int kind = -1;
        EXPECT_EQ(LinSolve3(A.rows, b, x, kind), VANTREL_SUCCESS);
        const int expected = this->kFloat ? c.floatKind : c.doubleKind;
        EXPECT_EQ(kind, expected);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(x[i], expected == kOne ? T(c.x[i]) : T(-7 - i)) << i;
        EXPECT_TRUE(A.SameBits(before)) << "the matrix was modified";
        EXPECT_TRUE(testing_support::SameBits(b, bBefore, 3)) << "b was modified";
    }
}

// Bits of x for two systems whose magnitudes tie. Any departure from the stated steps (a tie
// going to a later element, visiting by columns, a precomputed multiplier, dividing before
// multiplying, another order of back substitution) changes at least one bit of one of them.
struct BitsCase {
    double A[3][3];
    double b[3];
    float xf[3];
    double xd[3];
};

const BitsCase kBitsCases[] = {
    {{{0.9, -0.9, -1.3}, {-1.3, 1.3, 0.3}, {0.1, -0.9, 0.1}},
     {-0.3, 0.5, 0.2},
     {-0x1.65dbf6p-1f, -0x1.37e32cp-2f, -0x1.5a241ep-5f},
     {-0x1.65dbf193d4bb8p-1, -0x1.37e327a976fc6p-2, -0x1.5a240e6c2b44cp-5}},
    {{{-0.9, 0.9, 0.9}, {1.3, 0.9, 1.3}, {-1.3, 0.9, 0.3}},
     {0.7, 1.9, 1.9},
     {0x1.08d3d8p+0f, 0x1.201f6p+2f, -0x1.58469ap+1f},
     {0x1.08d3dcb08d3d4p+0, 0x1.201f6310aca09p+2, -0x1.58469ee584696p+1}},
};

TYPED_TEST(Solve3Test, TiesAndOperationOrderGiveTheseBits) {
    using T = TypeParam;
    for (const BitsCase& c : kBitsCases) {
        Matrix3<T> A(c.A);
        T b[3], x[3];
        Fill(b, c.b);
        int kind = -1;
        LinSolve3(A.rows, b, x, kind);
        ASSERT_EQ(kind, kOne);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(x[i], this->kFloat ? T(c.xf[i]) : T(c.xd[i])) << i;
    }
}

// A singular matrix is refused and stays exactly as it was.
TYPED_TEST(Solve3Test, Inversion) {
    using T = TypeParam;
    struct Case {
        const char* what;
        double A[3][3];
        double inverse[3][3] = {};
        bool singular = false;
    };
    // clang-format off
    const Case cases[] = {
        {"identity", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
        {"diagonal", {{2, 0, 0}, {0, 4, 0}, {0, 0, .5}}, {{.5, 0, 0}, {0, .25, 0}, {0, 0, 2}}},
        // The solution for e_j becomes column j, not row j.
        {"swap", {{0, 0, 5}, {0, 2, 0}, {4, 0, 0}}, {{0, 0, .25}, {0, .5, 0}, {.2, 0, 0}}},
        {"zero row", {{1, 0, 0}, {0, 1, 0}, {0, 0, 0}}, {}, true},
        {"rank two", {{1, 2, 3}, {2, 4, 6}, {1, 1, 1}}, {}, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        Matrix3<T> A(c.A), expected(c.singular ? c.A : c.inverse);
        EXPECT_EQ(Invert3x3Matrix(A.rows), c.singular ? VANTREL_ERR_SINGULAR : VANTREL_SUCCESS)
            << c.what;
        EXPECT_TRUE(A.SameBits(expected)) << c.what;
    }
}

}  // namespace
