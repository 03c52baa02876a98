// The instruction-set levels the library has kernels for, which of them this processor runs,
// and the level each family of kernels uses.
//
// A kernel written for a wider level lives in a source of its own named after the level
// (lu_factor_avx2.cpp, bradford_power_avx512.cpp); the build compiles such sources with the
// level's flags, on x86 only, and every other source for the baseline. A caller reaches a
// wider kernel only through its family's KernelLevel, so the library runs on any processor of
// the family, and every level gives the same bits as the portable code.
//
// The wider sources include nothing that defines inline functions (the standard headers with
// functions, this one): the linker keeps one copy of each inline function, and a copy compiled
// for a wider level would then run on processors without it.
#pragma once

#include <atomic>

namespace vantrel::cpu {

// In increasing order, each level including the ones before it. x86: kAvx2 is AVX2 with FMA
// (sources *_avx2.cpp), kAvx512 adds AVX-512F (*_avx512.cpp). Other processors have kGeneric
// only.
enum class Level { kGeneric, kAvx2, kAvx512 };

// The widest level this processor and its operating system (which must save the wide
// registers on a switch) support, detected on the first call, from any thread.
Level Widest();

inline bool Supports(Level level) {
    return level <= Widest();
}

// The level one family of kernels uses: the widest, unless a test has chosen a lower one that
// the processor supports, to compare the kernels' bits.
class KernelLevel {
  public:
    KernelLevel() : level_(Widest()) {}
    Level Get() const { return level_.load(std::memory_order_relaxed); }
    void Set(Level level) { level_.store(level, std::memory_order_relaxed); }

  private:
    std::atomic<Level> level_;
};

}  // namespace vantrel::cpu
