// The vector kernels of the non-linear Bradford adaptation against the one-element-at-a-time
// reference, bit for bit, on every kernel this processor can run: the blue power law over tens
// of millions of responses and exponents, and whole arrays through ChromaticAdapt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "color/bradford_power.h"
#include "vantrel/colorimetry.h"

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

namespace {

using vantrel::detail::BradfordKernel;

// Sanitizers and Valgrind run the draws at a sixteenth of the count.
std::size_t Scaled(std::size_t count) {
    bool slow = false;
#if defined(__SANITIZE_ADDRESS__)
    slow = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    slow = true;
#endif
#endif
#ifdef RUNNING_ON_VALGRIND
    slow = slow || RUNNING_ON_VALGRIND;
#endif
    return slow ? count / 16 : count;
}

std::vector<BradfordKernel> VectorKernels() {
    std::vector<BradfordKernel> kernels;
    for (BradfordKernel k : {BradfordKernel::kAvx2, BradfordKernel::kAvx512})
        if (vantrel::detail::BradfordKernelSupported(k)) kernels.push_back(k);
    return kernels;
}

// Puts back the kernel the library chose, once a test has forced others.
struct KernelRestorer {
    BradfordKernel saved = vantrel::detail::CurrentBradfordKernel();
    ~KernelRestorer() { vantrel::detail::UseBradfordKernel(saved); }
};

std::uint32_t Bits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float FromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The exponent and blue factor of a pair of whites, formed as the adaptation forms them.
struct Law {
    double exponent, factor;
    bool usual;  // of a pair of the usual whites
};

Law LawOf(const float* source, const float* destination) {
    auto blue = [](const float* w) {
        return (0.0389f * (w[0] / w[1]) - 0.0685f) + 1.0296f * (w[2] / w[1]);
    };
    const float bs = blue(source), bd = blue(destination);
    const double p = std::pow(static_cast<double>(bs / bd), 0.0834);
    return {p, static_cast<double>(bd) / std::pow(static_cast<double>(bs), p) + 1.0 - 1.0, true};
}

const float kWhites[][3] = {
    {0.9505f, 1.0f, 1.089f},    {0.9642f, 1.0f, 0.8249f},   {1.0985f, 1.0f, 0.35585f},
    {0.98074f, 1.0f, 1.18232f}, {0.95682f, 1.0f, 0.92149f}, {0.94972f, 1.0f, 1.22638f},
    {1.0f, 1.0f, 1.0f},         {0.99186f, 1.0f, 0.67393f}, {1.00962f, 1.0f, 0.6435f}};

// Every ordered pair of the usual whites (a white with itself gives exponent and factor 1),
// and the edges of the kernels' range.
std::vector<Law> Laws() {
    std::vector<Law> laws;
    for (const auto& s : kWhites)
        for (const auto& d : kWhites) laws.push_back(LawOf(s, d));
    laws.push_back({4.0, 1.0, false});
    laws.push_back({1e-3, 3.0, false});
    laws.push_back({0.5, 1e30, false});   // results past the largest float
    laws.push_back({2.0, 1e-30, false});  // results in the subnormal floats
    laws.push_back({3.0, 0.125, false});  // exact cubes of small mantissas
    laws.push_back({4.5, 1.0, false});    // outside the vector range: the reference throughout
    return laws;
}

// Kinds of response, each drawn `count` times.
std::vector<float> Responses(int kind, std::size_t count, std::mt19937& rng) {
    std::vector<float> b(count);
    std::uniform_real_distribution<float> unit(0.0f, 4.0f), tiny(0.0f, 1e-6f);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0xFFFFFFFFu), subnormal(0, 0x7FFFFF);
    std::uniform_int_distribution<int> step(-64, 64);
    const float special[] = {0.0f, -0.0f, INFINITY, -INFINITY, NAN, -NAN, 1.0f, -1.0f};
    for (float& v : b) switch (kind) {
            case 0:  // ordinary responses
                v = unit(rng);
                break;
            case 1:  // near zero
                v = tiny(rng);
                break;
            case 2:  // subnormal
                v = FromBits(subnormal(rng));
                break;
            case 3:  // negative
                v = -unit(rng);
                break;
            case 4:  // floats around 1
                v = FromBits(Bits(1.0f) + step(rng));
                break;
            case 5:  // any bits: large, small, infinite, NaN
                v = FromBits(bits(rng));
                break;
            default:
                v = special[bits(rng) % 8];
        }
    return b;
}

TEST(BradfordBluePowers, EveryKernelGivesTheReferenceBits) {
    const KernelRestorer restorer;
    const std::vector<Law> laws = Laws();
    // Whole groups of 8 and 16 and a tail of 5, which the reference computes.
    constexpr std::size_t kTail = 5;
    const std::size_t perKind = Scaled(24'000'000) / laws.size() / 7 / 16 * 16 + kTail;
    std::mt19937 rng(16);
    std::size_t ordinary = 0, ordinarySettled = 0;
    for (int kind = 0; kind < 7; ++kind)
        for (const Law& law : laws) {
            const std::vector<float> b = Responses(kind, perKind, rng);
            std::vector<float> expected(b.size()), out(b.size());
            for (std::size_t i = 0; i < b.size(); ++i)
                expected[i] = vantrel::detail::BradfordBluePower(b[i], law.exponent, law.factor);
            for (BradfordKernel kernel : VectorKernels()) {
                vantrel::detail::UseBradfordKernel(kernel);
                const std::size_t settled = vantrel::detail::BradfordBluePowers(
                    b.data(), out.data(), b.size(), law.exponent, law.factor);
                if (kind == 0 && law.usual) {
                    ordinary += b.size() - kTail;
                    ordinarySettled += settled - kTail;
                }
                for (std::size_t i = 0; i < b.size(); ++i)
                    ASSERT_EQ(Bits(out[i]), Bits(expected[i]))
                        << "response " << b[i] << ", exponent " << law.exponent << ", factor "
                        << law.factor << ", kernel " << static_cast<int>(kernel);
            }
        }
    // Responses in [0, 4] take the general power function about once in eight million.
    if (ordinary > 0) {
        std::printf("general power function for %zu of %zu ordinary responses\n", ordinarySettled,
                    ordinary);
        EXPECT_LT(ordinarySettled, ordinary / 100'000 + 8);
    }
}

// Every float in [0, 4] for the exponents of D65 -> D50 and A -> D50; several minutes. Run
// with --gtest_also_run_disabled_tests --gtest_filter='*EveryResponse*'.
TEST(BradfordBluePowers, DISABLED_EveryResponseUpToFourForD65AndAToD50) {
    const KernelRestorer restorer;
    const Law laws[] = {LawOf(kWhites[0], kWhites[1]), LawOf(kWhites[2], kWhites[1])};
    constexpr std::uint32_t kChunk = 1 << 22;
    std::vector<float> b(kChunk), expected(kChunk), out(kChunk);
    for (const Law& law : laws) {
        std::size_t settled = 0, total = 0;
        for (std::uint64_t first = 0; first <= Bits(4.0f); first += kChunk) {
            const std::size_t n = std::min<std::uint64_t>(kChunk, Bits(4.0f) + 1 - first);
            for (std::size_t i = 0; i < n; ++i) {
                b[i] = FromBits(static_cast<std::uint32_t>(first + i));
                expected[i] = vantrel::detail::BradfordBluePower(b[i], law.exponent, law.factor);
            }
            for (BradfordKernel kernel : VectorKernels()) {
                vantrel::detail::UseBradfordKernel(kernel);
                settled += vantrel::detail::BradfordBluePowers(b.data(), out.data(), n,
                                                               law.exponent, law.factor);
                total += n;
                for (std::size_t i = 0; i < n; ++i)
                    ASSERT_EQ(Bits(out[i]), Bits(expected[i]))
                        << "response " << b[i] << ", exponent " << law.exponent << ", kernel "
                        << static_cast<int>(kernel);
            }
        }
        std::printf("exponent %.17g: general power function for %zu of %zu\n", law.exponent,
                    settled, total);
    }
}

// Triples on the unit scale with the awkward ones mixed in: below the luminance floor,
// negative, zero and signed-zero luminance, infinities and NaNs, subnormals.
std::vector<float> Colours(std::size_t triples, std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(-0.1f, 1.2f);
    std::uniform_int_distribution<int> pick(0, 15);
    const float odd[] = {0.0f, -0.0f, 0.00005f, 0.0001f, -0.5f, INFINITY, -INFINITY, NAN, 1e-41f};
    std::vector<float> c(3 * triples);
    for (float& v : c) {
        const int p = pick(rng);
        v = p < 9 && pick(rng) < 4 ? odd[p] : unit(rng);
    }
    return c;
}

// NaN for NaN: where two NaNs meet, which one an operation passes on is the compiler's choice.
bool Same(float a, float b) {
    return Bits(a) == Bits(b) || (std::isnan(a) && std::isnan(b));
}

TEST(ChromaticAdaptBradford, EveryKernelGivesTheBitsOfTheOneTripleLoop) {
    const float odd[][3] = {{0.3f, 0.00005f, 0.2f}, {-0.9f, 0.8f, 1.1f}, {95.05f, 100.0f, 108.9f}};
    const KernelRestorer restorer;
    std::vector<const float*> whites;
    for (const auto& w : kWhites) whites.push_back(w);
    for (const auto& w : odd) whites.push_back(w);
    std::mt19937 rng(2);
    for (const float* source : whites)
        for (const float* destination : whites)
            for (std::size_t count : {0, 1, 7, 8, 9, 15, 16, 17, 31, 33, 47, 1001}) {
                const std::vector<float> colours = Colours(count, rng);
                vantrel::detail::UseBradfordKernel(BradfordKernel::kGeneric);
                std::vector<float> expected = colours;
                ChromaticAdapt(source, destination, expected.data(),
                               static_cast<std::uint32_t>(count), CA_Bradford);
                for (BradfordKernel kernel : VectorKernels()) {
                    vantrel::detail::UseBradfordKernel(kernel);
                    std::vector<float> out = colours;
                    ChromaticAdapt(source, destination, out.data(),
                                   static_cast<std::uint32_t>(count), CA_Bradford);
                    for (std::size_t i = 0; i < out.size(); ++i)
                        ASSERT_TRUE(Same(out[i], expected[i]))
                            << "element " << i << " of " << count << " triples: " << out[i]
                            << " instead of " << expected[i] << ", kernel "
                            << static_cast<int>(kernel);
                }
            }
}

}  // namespace
