// Linear Bradford over an array (adapted several triples at a time where the processor has
// vectors) against the same triples adapted one call each, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

// Triples on the unit scale, with the awkward ones mixed in: below the luminance floor,
// negative, zero and signed-zero luminance, infinities and NaNs, subnormals.
std::vector<float> Colours(size_t triples, std::mt19937& rng) {
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

bool Same(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

TEST(ChromaticAdaptLinearBradford, ArrayEqualsOneTripleAtATime) {
    const float whites[][3] = {{0.9505f, 1.0f, 1.089f},   {0.9642f, 1.0f, 0.8249f},
                               {1.0985f, 1.0f, 0.35585f}, {95.05f, 100.0f, 108.9f},
                               {0.3f, 0.00005f, 0.2f},    {-0.9f, 0.8f, 1.1f}};
    std::mt19937 rng(7);
    for (const auto& source : whites)
        for (const auto& destination : whites)
            for (size_t count : {0, 1, 7, 8, 9, 15, 16, 17, 31, 100, 1001}) {
                std::vector<float> array = Colours(count, rng), single = array;
                ChromaticAdapt(source, destination, array.data(), static_cast<std::uint32_t>(count),
                               CA_LinearBradford);
                for (size_t i = 0; i < count; ++i)
                    ChromaticAdapt(source, destination, &single[3 * i], 1, CA_LinearBradford);
                for (size_t i = 0; i < array.size(); ++i)
                    ASSERT_TRUE(Same(array[i], single[i]))
                        << "element " << i << " of " << count << " triples: " << array[i]
                        << " instead of " << single[i];
            }
}

}  // namespace
