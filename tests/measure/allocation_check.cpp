// Reading a small measurement file allocates little more than the file's size: the reader's
// buffer fits the file, and a count declared in its header reserves nothing beyond what the
// text can hold. This program replaces the global allocation functions to count the bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "support/test_support.h"
#include "vantrel/measure.h"

static std::atomic<std::size_t> gAllocated{0};

void* operator new(std::size_t bytes) {
    gAllocated += bytes;
    if (void* p = std::malloc(bytes ? bytes : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(CgatsReader, SmallFilesCostNoMoreThanTheirSize) {
    const testing_support::TempDir dir;
    const std::string path = dir.File("small.cgats");
    testing_support::WriteFile(
        path,
        "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID SPEC_400 SPEC_410 SPEC_420\n"
        "END_DATA_FORMAT\nNUMBER_OF_SETS 2000000000\nBEGIN_DATA\nP1 0.1 0.2 0.3\nEND_DATA\n");
    const std::size_t before = gAllocated;
    EXPECT_THROW(vantrel::measure::ReadCgats(path), vantrel::measure::Error);
    EXPECT_LT(gAllocated - before, 16u * 1024u);
}
