#include "cpu/cpu_features.h"

namespace vantrel::cpu {
namespace {

Level Detect() {
#if defined(__x86_64__) || defined(__i386__)
    // The compiler's run-time library reads CPUID and, for the wide registers, whether the
    // operating system saves them (XGETBV).
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    if (avx2 && __builtin_cpu_supports("avx512f")) return Level::kAvx512;
    if (avx2) return Level::kAvx2;
#endif
    return Level::kGeneric;
}

}  // namespace

Level Widest() {
    static const Level widest = Detect();
    return widest;
}

}  // namespace vantrel::cpu
