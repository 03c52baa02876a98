// The blocked, vectorised LinSolve against the straightforward reference, bit for bit: result
// code, solution kind and every bit of x, with each elimination kernel this processor can run.
// Every order from 1 to 300, so that every remainder of the tiles, panels and blocks occurs,
// plus two larger orders where the recursion and the blocking go several levels deep.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "cpu/cpu_features.h"
#include "linalg/lu_factor.h"
#include "reference_lu.h"
#include "support/test_support.h"
#include "vantrel/linalg.h"

namespace {

using vantrel::cpu::Level;

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

struct Outcome {
    short result;
    int kind;
    std::vector<float> x;
};

// Either solver on the system, x filled with -7 beforehand.
template <typename Solver>
Outcome Solve(Solver solve, const System& s) {
    Outcome o{0, -1, std::vector<float>(s.n, -7.0f)};
    o.result = solve(const_cast<float**>(s.rows.data()), s.b.data(), s.n, o.x.data(), o.kind);
    return o;
}

// A description of the first difference, or an empty string. A NaN matches any NaN: which
// operand's NaN a product of two NaNs keeps depends on the order in which the compiler
// happens to place the factors, in the reference as much as in the library.
std::string Difference(const Outcome& got, const Outcome& expected) {
    if (got.result != expected.result) return "result " + std::to_string(got.result);
    if (got.kind != expected.kind) return "kind " + std::to_string(got.kind);
    for (size_t i = 0; i < got.x.size(); ++i)
        if (!testing_support::SameBitsOrNaN(got.x[i], expected.x[i]))
            return "x[" + std::to_string(i) + "] " + std::to_string(got.x[i]) + " instead of " +
                   std::to_string(expected.x[i]);
    return "";
}

struct Order {
    int n;
    Shape shape;
};

// Solves each system once with the reference and then with every elimination kernel this
// processor can run; returns how often each solution kind came out, indexed by kind.
std::vector<int> ExpectIdentical(const std::vector<Order>& orders) {
    vantrel::cpu::KernelLevel& level = vantrel::detail::LuKernelLevel();
    const Level saved = level.Get();
    std::vector<Level> kernels;
    for (Level k : {Level::kGeneric, Level::kAvx2, Level::kAvx512})
        if (vantrel::cpu::Supports(k)) kernels.push_back(k);
    std::mt19937 rng(2024);
    std::vector<int> kinds(3);
    for (const Order& order : orders) {
        const System s = Make(order.n, order.shape, rng);
        const Outcome expected = Solve(reference::LinSolve, s);
        if (expected.result == VANTREL_SUCCESS) ++kinds.at(expected.kind);
        for (Level kernel : kernels) {
            level.Set(kernel);
            const std::string difference = Difference(Solve(LinSolve, s), expected);
            EXPECT_EQ(difference, "")
                << "order " << order.n << ", shape " << static_cast<int>(order.shape) << ", kernel "
                << static_cast<int>(kernel);
            if (!difference.empty()) break;
        }
    }
    level.Set(saved);
    return kinds;
}

// Every order in the range, the shapes taking turns.
std::vector<Order> Orders(int from, int to) {
    std::vector<Order> orders;
    for (int n = from; n <= to; ++n) orders.push_back({n, static_cast<Shape>(n % 6)});
    return orders;
}

// Split in three of about equal cost, so that they can run side by side.
TEST(LinSolveIdentity, Orders1To240) {
    const std::vector<int> kinds = ExpectIdentical(Orders(1, 240));
    // Regular and singular systems both occur, so the partial x of the latter is compared.
    EXPECT_GT(kinds[VANTREL_SOLUTION_UNIQUE], 0);
    EXPECT_GT(kinds[VANTREL_SOLUTION_MANY], 0);
    EXPECT_GT(kinds[VANTREL_SOLUTION_NONE], 0);
}

TEST(LinSolveIdentity, Orders241To300) {
    ExpectIdentical(Orders(241, 300));
}

// Deeper recursion, several blocks of depth and of rows in one update.
TEST(LinSolveIdentity, Orders500And777) {
    ExpectIdentical({{500, Shape::kSmallInteger}, {777, Shape::kPlain}});
}

}  // namespace
