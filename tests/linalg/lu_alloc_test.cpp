// Allocation failures of LinSolve, and the absence of allocation in the 3x3 functions. This
// binary replaces the global allocation functions so that it can count allocations and make
// the k-th array allocation fail; the scale vector comes from the C heap through a hook.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "linalg/lu.h"
#include "vantrel/linalg.h"

namespace {

struct AllocationLog {
    bool armed = false;
    int arrayNews = 0;
    int scalarNews = 0;
    int failArrayNew = 0;  // 1-based index of the array allocation to fail, 0 for none
    long live = 0;         // array blocks obtained and not yet released
} allocations;

void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

// The replacements pair malloc with free, which GCC cannot see through once inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new[](std::size_t size) {
    if (allocations.armed) {
        if (++allocations.arrayNews == allocations.failArrayNew) throw std::bad_alloc();
        ++allocations.live;
    }
    return Allocate(size);
}
void operator delete[](void* p) noexcept {
    if (allocations.armed && p) --allocations.live;
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete[](p);
}
void* operator new(std::size_t size) {
    if (allocations.armed) ++allocations.scalarNews;
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using vantrel::detail::scaleVectorAllocator;

// Counts the scale-vector allocations and fails them on request.
struct ScaleLog {
    int calls = 0;
    std::size_t bytes = 0;
    bool fail = false;
} scaleLog;

void* ScaleAllocate(std::size_t bytes) {
    ++scaleLog.calls;
    scaleLog.bytes = bytes;
    return scaleLog.fail ? nullptr : std::malloc(bytes);
}

class LinSolveAllocation : public ::testing::Test {
  protected:
    void SetUp() override {
        allocations = AllocationLog{};
        scaleLog = ScaleLog{};
        scaleVectorAllocator = ScaleAllocate;
    }
    void TearDown() override {
        allocations.armed = false;
        scaleVectorAllocator = std::malloc;
    }

    // A regular 3x3 system; the call runs with the allocation allocations armed.
    short Solve(float* x, int& kind) {
        float* rows[3] = {r0, r1, r2};
        allocations.armed = true;
        short result = LinSolve(rows, b, 3, x, kind);
        allocations.armed = false;
        return result;
    }

    float r0[3] = {2, 1, 1}, r1[3] = {4, -6, 0}, r2[3] = {-2, 7, 2};
    float b[3] = {5, -2, 9};
};

TEST_F(LinSolveAllocation, UsesThreeArraysAndOneScaleVectorAndReleasesThem) {
    float x[3];
    int kind = -1;
    EXPECT_EQ(Solve(x, kind), 10);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(allocations.arrayNews, 3);
    EXPECT_EQ(allocations.live, 0);
    EXPECT_EQ(scaleLog.calls, 1);
    EXPECT_EQ(scaleLog.bytes, 4 * sizeof(float));
}

TEST_F(LinSolveAllocation, EachFailingArrayGivesMinus5AndTouchesNoOutput) {
    for (int k = 1; k <= 3; ++k) {
        allocations = AllocationLog{};
        allocations.failArrayNew = k;
        float x[3] = {-1, -1, -1};
        int kind = 7;
        EXPECT_EQ(Solve(x, kind), -5) << "allocation " << k;
        EXPECT_EQ(kind, 7) << "allocation " << k;
        EXPECT_EQ(x[0], -1.0f) << "allocation " << k;
        EXPECT_EQ(x[2], -1.0f) << "allocation " << k;
        EXPECT_EQ(allocations.live, 0) << "allocation " << k << " leaked";
        EXPECT_EQ(scaleLog.calls, 0) << "allocation " << k;
    }
}

TEST_F(LinSolveAllocation, FailingScaleVectorGivesMinus5WithACopyOfB) {
    scaleLog.fail = true;
    float x[3] = {-1, -1, -1};
    int kind = 7;
    EXPECT_EQ(Solve(x, kind), -5);
    EXPECT_EQ(kind, 7);
    EXPECT_EQ(x[0], 5.0f);
    EXPECT_EQ(x[1], -2.0f);
    EXPECT_EQ(x[2], 9.0f);
    EXPECT_EQ(scaleLog.calls, 1);
    EXPECT_EQ(allocations.live, 0);
}

TEST(Solve3Allocation, NoneOfTheFourFunctionsAllocates) {
    float f0[3] = {0, 0, 5}, f1[3] = {0, 2, 0}, f2[3] = {1, 0, 0};
    double d0[3] = {0, 0, 5}, d1[3] = {0, 2, 0}, d2[3] = {1, 0, 0};
    float* fm[3] = {f0, f1, f2};
    double* dm[3] = {d0, d1, d2};
    float fb[3] = {10, 4, 3}, fx[3];
    double db[3] = {10, 4, 3}, dx[3];
    int kind = -1;
    allocations = AllocationLog{};
    allocations.armed = true;
    LinSolve3(fm, fb, fx, kind);
    LinSolve3(dm, db, dx, kind);
    short invertedFloat = Invert3x3Matrix(fm);
    short invertedDouble = Invert3x3Matrix(dm);
    allocations.armed = false;
    EXPECT_EQ(invertedFloat, 10);
    EXPECT_EQ(invertedDouble, 10);
    EXPECT_EQ(allocations.arrayNews + allocations.scalarNews, 0);
}

}  // namespace
