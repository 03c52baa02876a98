// The blocked, vectorised LinSolve against the straightforward reference, bit for bit: result
// code, solution kind and every bit of x, with each elimination kernel this processor can run.
// Orders run from 1 to 300 so that every remainder of the tiles, panels and blocks occurs,
// plus a few larger orders where the recursion and the blocking go several levels deep.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "linalg/lu_factor.h"
#include "reference_lu.h"
#include "vantrel/linalg.h"

namespace {

using vantrel::detail::LuKernel;

enum class Shape {
    kDominant,      // regular and well conditioned
    kPlain,         // uniform in -1 .. 1
    kSmallInteger,  // -3 .. 3: many exact ties of merit and exact cancellations
    kRepeatedRow,   // singular: the last row repeats the first
    kZeroColumn,    // singular: column n/2 is zero, found in mid-elimination
    kSpecial,       // a few infinities, NaNs, signed zeros and subnormals scattered in
};

struct System {
    int n;
    std::vector<float> storage;  // row-major, n*n
    std::vector<float*> rows;
    std::vector<float> b;
};

System Make(int n, Shape shape, std::mt19937& rng) {
    System s{n, std::vector<float>(static_cast<size_t>(n) * n), {}, std::vector<float>(n)};
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    std::uniform_int_distribution<int> small(-3, 3);
    auto at = [&](int i, int j) -> float& { return s.storage[static_cast<size_t>(i) * n + j]; };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            at(i, j) =
                shape == Shape::kSmallInteger ? static_cast<float>(small(rng)) : uniform(rng);
        if (shape == Shape::kDominant) at(i, i) += static_cast<float>(n);
        s.b[i] = shape == Shape::kSmallInteger ? static_cast<float>(small(rng)) : uniform(rng);
    }
    if (shape == Shape::kRepeatedRow && n > 1) {
        for (int j = 0; j < n; ++j) at(n - 1, j) = at(0, j);
        if (n % 2) s.b[n - 1] = s.b[0];  // consistent for odd orders
    }
    if (shape == Shape::kZeroColumn)
        for (int i = 0; i < n; ++i) at(i, n / 2) = 0.0f;
    if (shape == Shape::kSpecial) {
        const float specials[] = {INFINITY, -INFINITY, NAN, -0.0f, 1e-40f, 3e38f, -3e38f};
        std::uniform_int_distribution<int> index(0, n - 1);
        for (float v : specials) at(index(rng), index(rng)) = v;
    }
    for (int i = 0; i < n; ++i) s.rows.push_back(&at(i, 0));
    return s;
}

// Solves with the library and the reference; returns a description of the first difference,
// or an empty string. A NaN matches any NaN: which operand's NaN a product of two NaNs keeps
// depends on the order in which the compiler happens to place the factors, in the reference
// as much as in the library.
std::string Compare(const System& s) {
    std::vector<float> x(s.n, -7.0f), expected(s.n, -7.0f);
    int kind = -1, expectedKind = -1;
    const short result =
        LinSolve(const_cast<float**>(s.rows.data()), s.b.data(), s.n, x.data(), kind);
    const short expectedResult =
        reference::LinSolve(s.rows.data(), s.b.data(), s.n, expected.data(), expectedKind);
    if (result != expectedResult) return "result " + std::to_string(result);
    if (kind != expectedKind) return "kind " + std::to_string(kind);
    for (int i = 0; i < s.n; ++i)
        if (std::memcmp(&x[i], &expected[i], sizeof(float)) != 0 &&
            !(std::isnan(x[i]) && std::isnan(expected[i])))
            return "x[" + std::to_string(i) + "] " + std::to_string(x[i]) + " instead of " +
                   std::to_string(expected[i]);
    return "";
}

class LinSolveIdentity : public ::testing::TestWithParam<LuKernel> {
  protected:
    void SetUp() override {
        if (!vantrel::detail::LuKernelSupported(GetParam()))
            GTEST_SKIP() << "this processor lacks the instructions of this kernel";
        saved_ = vantrel::detail::CurrentLuKernel();
        vantrel::detail::UseLuKernel(GetParam());
    }
    void TearDown() override { vantrel::detail::UseLuKernel(saved_); }

  private:
    LuKernel saved_ = LuKernel::kGeneric;
};

// Every order from 1 to 300 with one shape each (all shapes recur every six orders), and the
// larger orders with every shape.
TEST_P(LinSolveIdentity, SameCodeKindAndBitsAsTheReference) {
    const Shape shapes[] = {Shape::kDominant,    Shape::kPlain,      Shape::kSmallInteger,
                            Shape::kRepeatedRow, Shape::kZeroColumn, Shape::kSpecial};
    std::mt19937 rng(2024);
    int kinds[3] = {};
    for (int n = 1; n <= 300; ++n) {
        const Shape shape = shapes[n % 6];
        const System s = Make(n, shape, rng);
        ASSERT_EQ(Compare(s), "") << "order " << n << " shape " << static_cast<int>(shape);
    }
    for (int n : {500, 777}) {
        for (Shape shape : {Shape::kPlain, Shape::kSmallInteger, Shape::kZeroColumn}) {
            const System s = Make(n, shape, rng);
            ASSERT_EQ(Compare(s), "") << "order " << n << " shape " << static_cast<int>(shape);
        }
    }
    (void)kinds;
}

std::string KernelName(const ::testing::TestParamInfo<LuKernel>& info) {
    static const char* const names[] = {"Generic", "Avx2", "Avx512"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kernels, LinSolveIdentity,
                         ::testing::Values(LuKernel::kGeneric, LuKernel::kAvx2, LuKernel::kAvx512),
                         KernelName);

}  // namespace
