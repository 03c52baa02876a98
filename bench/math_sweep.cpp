// Sweeps the C library's mathematics over the arguments the library gives it (widened floats
// from its ranges) and writes each double result, so that two builds (Linux and Windows) can
// be compared: how many doubles differ and by how many units in the last place, and how many
// differ once narrowed to float, which is all the library keeps.
//   math_sweep run FUNCTION COUNT FILE [--pc53]   (--pc53: x87 at 53 bits, as an MSVC host)
//   math_sweep compare FUNCTION COUNT FILE_A FILE_B
// FUNCTION: cube-root, gamma, ten-power, bradford, log10, atan2, cos, sin, exp (exp only in
// the measurement library's CIEDE2000, in double).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "color/log10.h"

namespace {

// A reproducible stream of floats uniform over [low, high].
class Floats {
  public:
    Floats(float low, float high) : low_(low), high_(high) {}
    float Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        const double unit = static_cast<double>(state_ >> 11) / 9007199254740992.0;
        return static_cast<float>(low_ + (high_ - low_) * unit);
    }

  private:
    std::uint64_t state_ = 0x2545F4914F6CDD1Dull;
    double low_, high_;
};

using Sweep = std::function<double(Floats&, std::uint64_t)>;

// Each function with the arguments the library gives it.
const std::map<std::string, std::pair<Sweep, Floats>>& Sweeps() {
    static const double kGammas[] = {1 / 2.4, 2.4, 1 / 2.2, 2.2, 1 / 1.8, 1.8};
    static const std::map<std::string, std::pair<Sweep, Floats>> sweeps = {
        {"cube-root",
         {[](Floats& f, std::uint64_t) { return std::pow(double(f.Next()), 0.333333); },
          Floats(0, 2)}},
        {"gamma",
         {[](Floats& f, std::uint64_t i) { return std::pow(double(f.Next()), kGammas[i % 6]); },
          Floats(0, 1)}},
        {"ten-power",
         {[](Floats& f, std::uint64_t) { return std::pow(10.0, -double(f.Next())); },
          Floats(0, 4)}},
        {"bradford",
         {[](Floats& f, std::uint64_t i) {
              return std::pow(double(f.Next()), 1.0 + 0.0834 * (double(i % 101) / 50 - 1));
          },
          Floats(0, 4)}},
        {"log10",
         {[](Floats& f, std::uint64_t) { return vantrel::detail::Log10(double(f.Next())); },
          Floats(0.0001f, 1)}},
        {"atan2",
         {[](Floats& f, std::uint64_t) {
              const float b = f.Next();
              return std::atan2(double(b), double(f.Next()));
          },
          Floats(-200, 200)}},
        {"cos",
         {[](Floats& f, std::uint64_t) { return std::cos(double(f.Next())); }, Floats(-7, 7)}},
        {"sin",
         {[](Floats& f, std::uint64_t) { return std::sin(double(f.Next())); }, Floats(-7, 7)}},
        {"exp",
         {[](Floats& f, std::uint64_t) {
              const double x = f.Next();
              return std::exp(-x * x);
          },
          Floats(-12, 12)}},
    };
    return sweeps;
}

int Run(const std::string& name, std::uint64_t count, const char* path, bool pc53) {
#if defined(__x86_64__) || defined(__i386__)
    if (pc53) {  // the x87 unit's precision control to 53 bits
        unsigned short control;
        __asm__ volatile("fnstcw %0" : "=m"(control));
        control = static_cast<unsigned short>((control & ~0x300u) | 0x200u);
        __asm__ volatile("fldcw %0" : : "m"(control));
    }
#else
    if (pc53) return 2;
#endif
    auto [sweep, floats] = Sweeps().at(name);
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 1;
    for (std::uint64_t i = 0; i < count; ++i) {
        const double value = sweep(floats, i);
        std::fwrite(&value, sizeof value, 1, out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

std::int64_t Ordered(double x) {
    std::int64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits < 0 ? INT64_MIN - bits : bits;
}

int Compare(const std::string& name, std::uint64_t count, const char* pathA, const char* pathB) {
    std::FILE* a = std::fopen(pathA, "rb");
    std::FILE* b = std::fopen(pathB, "rb");
    if (!a || !b) return 1;
    std::uint64_t doubles = 0, floats = 0, maxUlp = 0;
    std::map<std::uint64_t, std::uint64_t> byUlp;
    for (std::uint64_t i = 0; i < count; ++i) {
        double x, y;
        if (std::fread(&x, sizeof x, 1, a) != 1 || std::fread(&y, sizeof y, 1, b) != 1) return 1;
        if (std::memcmp(&x, &y, sizeof x) == 0) continue;
        const std::uint64_t ulp = static_cast<std::uint64_t>(std::llabs(Ordered(x) - Ordered(y)));
        ++doubles, ++byUlp[ulp], maxUlp = ulp > maxUlp ? ulp : maxUlp;
        const float fx = static_cast<float>(x), fy = static_cast<float>(y);
        floats += std::memcmp(&fx, &fy, sizeof fx) != 0;
    }
    std::printf(
        "%-10s %llu arguments: %llu doubles differ (%.4f%%, at most %llu ulp), %llu floats\n",
        name.c_str(), static_cast<unsigned long long>(count),
        static_cast<unsigned long long>(doubles), 100.0 * double(doubles) / double(count),
        static_cast<unsigned long long>(maxUlp), static_cast<unsigned long long>(floats));
    return floats == 0 ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 5 || !Sweeps().count(argv[2]) || (mode != "run" && mode != "compare")) {
        std::fprintf(stderr, "usage: math_sweep run|compare FUNCTION COUNT FILE [FILE_B|--pc53]\n");
        return 2;
    }
    const std::uint64_t count = std::strtoull(argv[3], nullptr, 10);
    if (mode == "run")
        return Run(argv[2], count, argv[4], argc > 5 && !std::strcmp(argv[5], "--pc53"));
    return argc > 5 ? Compare(argv[2], count, argv[4], argv[5]) : 2;
}
