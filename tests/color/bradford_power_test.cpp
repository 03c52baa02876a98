// The vector paths of the Bradford adaptations against the one-element-at-a-time reference, bit
// for bit, on every kernel this processor can run: the blue power law over tens of millions of
// responses and exponents, and whole arrays through ChromaticAdapt, linear Bradford included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "color/bradford_power.h"
#include "cpu/cpu_features.h"
#include "support/test_support.h"
#include "vantrel/colorimetry.h"

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

namespace {

using testing_support::Bits;
using testing_support::FloatFromBits;
using vantrel::cpu::Level;

// Sanitizers and Valgrind run the draws at a sixteenth of the count.
std::size_t Scaled(std::size_t count) {
#if defined(__SANITIZE_ADDRESS__)
    return count / 16;
#elif defined(__has_feature)
    if (__has_feature(address_sanitizer)) return count / 16;
#endif
#ifdef RUNNING_ON_VALGRIND
    if (RUNNING_ON_VALGRIND) return count / 16;
#endif
    return count;
}

std::vector<Level> VectorKernels() {
    std::vector<Level> kernels;
    for (Level k : {Level::kAvx2, Level::kAvx512})
        if (vantrel::cpu::Supports(k)) kernels.push_back(k);
    return kernels;
}

// Puts back the kernel the library chose, once a test has forced others.
struct KernelRestorer {
    Level saved = vantrel::detail::BradfordKernelLevel().Get();
    ~KernelRestorer() { vantrel::detail::BradfordKernelLevel().Set(saved); }
};

// The exponent and blue factor of a pair of whites, formed as the adaptation forms them.
struct Law {
    double exponent, factor;
    bool usual = false;  // of a pair of the usual whites
};

Law LawOf(const float* source, const float* destination) {
    auto blue = [](const float* w) {
        return (0.0389f * (w[0] / w[1]) - 0.0685f) + 1.0296f * (w[2] / w[1]);
    };
    const float bs = blue(source), bd = blue(destination);
    const double p = std::pow(static_cast<double>(bs / bd), 0.0834);
    return {p, static_cast<double>(bd) / std::pow(static_cast<double>(bs), p) + 1.0 - 1.0, true};
}

// The usual whites, then odd ones (below the luminance floor, negative, on the 0..100 scale).
constexpr int kUsualWhites = 9;
const float kWhites[][3] = {
    {0.9505f, 1.0f, 1.089f},    {0.9642f, 1.0f, 0.8249f},   {1.0985f, 1.0f, 0.35585f},
    {0.98074f, 1.0f, 1.18232f}, {0.95682f, 1.0f, 0.92149f}, {0.94972f, 1.0f, 1.22638f},
    {1.0f, 1.0f, 1.0f},         {0.99186f, 1.0f, 0.67393f}, {1.00962f, 1.0f, 0.6435f},
    {0.3f, 0.00005f, 0.2f},     {-0.9f, 0.8f, 1.1f},        {95.05f, 100.0f, 108.9f}};

// Every ordered pair of the usual whites (a white with itself gives exponent and factor 1),
// and the edges of the kernels' range: results past the largest float, in the subnormals,
// exact squares and cubes of short mantissas, and 4.5, outside the vector range.
std::vector<Law> Laws() {
    std::vector<Law> laws;
    for (int s = 0; s < kUsualWhites; ++s)
        for (int d = 0; d < kUsualWhites; ++d) laws.push_back(LawOf(kWhites[s], kWhites[d]));
    for (Law law : {Law{4.0, 1.0}, Law{1e-3, 3.0}, Law{0.5, 1e30}, Law{2.0, 1e-30}, Law{2.0, 1.0},
                    Law{3.0, 0.125}, Law{4.5, 1.0}})
        laws.push_back(law);
    return laws;
}

// Kinds of response: ordinary, near zero, subnormal, negative, the floats around 1, any bits
// (large, small, infinite, NaN), the special values, and short mantissas (13 bits, whose
// squares and cubes are exact doubles, some of them exactly halfway between two floats).
constexpr int kKinds = 8;
std::vector<float> Responses(int kind, std::size_t count, std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(0.0f, 4.0f), tiny(0.0f, 1e-6f);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0xFFFFFFFFu);
    const float special[] = {0.0f, -0.0f, INFINITY, -INFINITY, NAN, -NAN, 1.0f, -1.0f};
    const std::function<float()> draw[kKinds] = {
        [&] { return unit(rng); },
        [&] { return tiny(rng); },
        [&] { return FloatFromBits(bits(rng) & 0x7FFFFF); },
        [&] { return -unit(rng); },
        [&] { return FloatFromBits(Bits(1.0f) - 64 + bits(rng) % 129); },
        [&] { return FloatFromBits(bits(rng)); },
        [&] { return special[bits(rng) % 8]; },
        [&] { return std::ldexp(static_cast<float>(4096 + bits(rng) % 12288), -12); }};
    std::vector<float> b(count);
    for (float& v : b) v = draw[kind]();
    return b;
}

// Computes the powers of `b` with every vector kernel and expects the reference's bits;
// returns how many the kernels computed with the general power function.
std::size_t ExpectReferenceBits(const std::vector<float>& b, const Law& law) {
    std::vector<float> expected(b.size()), out(b.size());
    for (std::size_t i = 0; i < b.size(); ++i)
        expected[i] = vantrel::detail::BradfordBluePower(b[i], law.exponent, law.factor);
    std::size_t settled = 0;
    for (Level kernel : VectorKernels()) {
        vantrel::detail::BradfordKernelLevel().Set(kernel);
        settled += vantrel::detail::BradfordBluePowers(b.data(), out.data(), b.size(), law.exponent,
                                                       law.factor);
        for (std::size_t i = 0; i < b.size(); ++i)
            if (Bits(out[i]) != Bits(expected[i])) {
                ADD_FAILURE() << "response " << b[i] << ", exponent " << law.exponent << ", factor "
                              << law.factor << ", kernel " << static_cast<int>(kernel) << ": "
                              << out[i] << " instead of " << expected[i];
                return settled;
            }
    }
    return settled;
}

TEST(BradfordBluePowers, EveryKernelGivesTheReferenceBits) {
    const KernelRestorer restorer;
    const std::vector<Law> laws = Laws();
    // Whole groups of 8 and 16 and a tail of 5, which the reference computes.
    constexpr std::size_t kTail = 5;
    const std::size_t perKind = Scaled(24'000'000) / laws.size() / kKinds / 16 * 16 + kTail;
    const std::size_t kernels = VectorKernels().size();
    std::mt19937 rng(16);
    std::size_t ordinary = 0, ordinarySettled = 0;
    for (int kind = 0; kind < kKinds; ++kind)
        for (const Law& law : laws) {
            const std::size_t settled = ExpectReferenceBits(Responses(kind, perKind, rng), law);
            if (HasFailure()) return;
            if (kind > 0 || !law.usual) continue;
            ordinary += kernels * (perKind - kTail);
            ordinarySettled += settled - kernels * kTail;
        }
    // Responses in [0, 4] take the general power function about once in eight million.
    std::printf("general power function for %zu of %zu ordinary responses\n", ordinarySettled,
                ordinary);
    EXPECT_LE(ordinarySettled, ordinary / 100'000);
}

// Every float in [0, 4] for the exponents of D65 -> D50 and A -> D50; a few minutes. Run
// with --gtest_also_run_disabled_tests --gtest_filter='*EveryResponse*'.
TEST(BradfordBluePowers, DISABLED_EveryResponseUpToFourForD65AndAToD50) {
    const KernelRestorer restorer;
    for (const Law& law : {LawOf(kWhites[0], kWhites[1]), LawOf(kWhites[2], kWhites[1])})
        for (std::uint32_t first = 0; first <= Bits(4.0f) && !HasFailure(); first += 1 << 22) {
            std::vector<float> b(std::min(1u << 22, Bits(4.0f) + 1 - first));
            for (std::size_t i = 0; i < b.size(); ++i)
                b[i] = FloatFromBits(static_cast<std::uint32_t>(first + i));
            ExpectReferenceBits(b, law);
        }
}

// Whole arrays (groups of vectors and a tail, with responses below the luminance floor,
// negative, zero, infinite, NaN and subnormal mixed in) against the same triples adapted one
// call each, which never takes a vector path: linear Bradford and Bradford, on every kernel.
TEST(ChromaticAdaptBradford, EveryKernelGivesTheBitsOfOneTripleAtATime) {
    const float odd[] = {0.0f, -0.0f, 0.00005f, 0.0001f, -0.5f, INFINITY, -INFINITY, NAN, 1e-41f};
    const KernelRestorer restorer;
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> unit(-0.1f, 1.2f);
    std::uniform_int_distribution<int> pick(0, 15);
    for (const auto algorithm : {CA_Bradford, CA_LinearBradford})
        for (const float* source : kWhites)
            for (const float* destination : kWhites)
                for (std::size_t count : {0, 1, 7, 8, 9, 15, 16, 17, 31, 33, 47, 1001}) {
                    std::vector<float> colours(3 * count);
                    for (float& v : colours) {
                        const int p = pick(rng);
                        v = p < 9 && pick(rng) < 4 ? odd[p] : unit(rng);
                    }
                    std::vector<float> expected = colours;
                    for (std::size_t i = 0; i < count; ++i)
                        ChromaticAdapt(source, destination, &expected[3 * i], 1, algorithm);
                    for (Level kernel : VectorKernels()) {
                        vantrel::detail::BradfordKernelLevel().Set(kernel);
                        std::vector<float> out = colours;
                        ChromaticAdapt(source, destination, out.data(),
                                       static_cast<std::uint32_t>(count), algorithm);
                        for (std::size_t i = 0; i < out.size(); ++i)
                            ASSERT_TRUE(testing_support::SameBitsOrNaN(out[i], expected[i]))
                                << "algorithm " << algorithm << ", element " << i << " of " << count
                                << " triples: " << out[i] << " instead of " << expected[i]
                                << ", kernel " << static_cast<int>(kernel);
                    }
                }
}

}  // namespace
