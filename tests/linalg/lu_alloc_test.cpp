// Allocation failures of LinSolve, and the absence of allocation in the 3x3 functions. This
// binary replaces the global allocation functions so that it can count allocations and make
// the k-th array allocation fail; the scale vector comes from the C heap through a hook.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "linalg/lu.h"
#include "vantrel/linalg.h"

namespace {

struct AllocationLog {
    bool armed = false;  // counting only while a call under test runs
    int arrayNews = 0, scalarNews = 0;
    int failArrayNew = 0;  // 1-based index of the array allocation to fail, 0 for none
    long live = 0;         // array blocks obtained and not yet released
    int scaleCalls = 0;
    bool failScale = false;
} gAllocations;

void* Allocate(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* ScaleAllocate(std::size_t bytes) {
    ++gAllocations.scaleCalls;
    return gAllocations.failScale ? nullptr : std::malloc(bytes);
}

}  // namespace

// The replacements pair malloc with free, which GCC cannot see through once inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new[](std::size_t size) {
    if (gAllocations.armed) {
        if (++gAllocations.arrayNews == gAllocations.failArrayNew) throw std::bad_alloc();
        ++gAllocations.live;
    }
    return Allocate(size);
}
void operator delete[](void* p) noexcept {
    if (gAllocations.armed && p) --gAllocations.live;
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete[](p);
}
void* operator new(std::size_t size) {
    gAllocations.scalarNews += gAllocations.armed;
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// Solves a regular 3x3 system with the log armed, making array allocation `failArrayNew` (0 for
// none) or the scale vector fail. A failure refuses and leaves kind alone, and x too unless the
// arrays were obtained (x then holds b); whatever was obtained is released.
TEST(LinSolveAllocation, EveryFailureRefusesAndReleasesEverything) {
    const struct {
        int failArrayNew;
        bool failScale;
        short result;
        int kind, arrayNews, scaleCalls;
        float x[3];
    } cases[] = {
        {0, false, VANTREL_SUCCESS, VANTREL_SOLUTION_UNIQUE, 3, 1, {1, 1, 2}},
        {1, false, VANTREL_ERR_NO_MEMORY, 7, 1, 0, {-1, -1, -1}},
        {2, false, VANTREL_ERR_NO_MEMORY, 7, 2, 0, {-1, -1, -1}},
        {3, false, VANTREL_ERR_NO_MEMORY, 7, 3, 0, {-1, -1, -1}},
        {0, true, VANTREL_ERR_NO_MEMORY, 7, 3, 1, {5, -2, 9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "array " << c.failArrayNew << ", scale " << c.failScale);
        float r0[3] = {2, 1, 1}, r1[3] = {4, -6, 0}, r2[3] = {-2, 7, 2}, x[3] = {-1, -1, -1};
        float* rows[3] = {r0, r1, r2};
        const float b[3] = {5, -2, 9};
        int kind = 7;
        gAllocations = AllocationLog{};
        gAllocations.failArrayNew = c.failArrayNew;
        gAllocations.failScale = c.failScale;
        vantrel::detail::gScaleVectorAllocator = ScaleAllocate;
        gAllocations.armed = true;
        EXPECT_EQ(LinSolve(rows, b, 3, x, kind), c.result);
        gAllocations.armed = false;
        vantrel::detail::gScaleVectorAllocator = std::malloc;
        EXPECT_EQ(kind, c.kind);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(x[i], c.x[i]) << i;
        EXPECT_EQ(gAllocations.arrayNews, c.arrayNews);
        EXPECT_EQ(gAllocations.scaleCalls, c.scaleCalls);
        EXPECT_EQ(gAllocations.live, 0) << "leaked";
    }
}

TEST(Solve3Allocation, NoneOfTheFourFunctionsAllocates) {
    float f0[3] = {0, 0, 5}, f1[3] = {0, 2, 0}, f2[3] = {1, 0, 0}, fb[3] = {10, 4, 3}, fx[3];
    double d0[3] = {0, 0, 5}, d1[3] = {0, 2, 0}, d2[3] = {1, 0, 0}, db[3] = {10, 4, 3}, dx[3];
    float* fm[3] = {f0, f1, f2};
    double* dm[3] = {d0, d1, d2};
    int kind = -1;
    gAllocations = AllocationLog{};
    gAllocations.armed = true;
    LinSolve3(fm, fb, fx, kind);
    LinSolve3(dm, db, dx, kind);
    short invertedFloat = Invert3x3Matrix(fm), invertedDouble = Invert3x3Matrix(dm);
    gAllocations.armed = false;
    EXPECT_EQ(invertedFloat + invertedDouble, 20);
    EXPECT_EQ(gAllocations.arrayNews + gAllocations.scalarNews, 0);
}

}  // namespace
