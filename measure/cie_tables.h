// The CIE tables that spectra are integrated with when they are not the library's D50 table's
// 400 to 700 nm every 10 nm: colour-matching functions and illuminant spectra every 5 nm from
// 360 to 830 nm.
#pragma once

#include <array>

namespace vantrel::measure::cie {

constexpr int kFirstNm = 360;
constexpr int kLastNm = 830;
constexpr int kStepNm = 5;
constexpr int kCount = (kLastNm - kFirstNm) / kStepNm + 1;

using Row = std::array<double, kCount>;

// x-bar, y-bar, z-bar; [0] the CIE 1931 2-degree observer, [1] the CIE 1964 10-degree one.
struct ObserverTable {
    Row xyz[3];
};
extern const ObserverTable kObservers[2];

// Relative spectral power over the illuminant's own range (zero outside it), in the order of
// the Illuminant enumeration: D50, D65, A, C, F2, F7, F11.
struct IlluminantTable {
    int firstNm, lastNm;
    Row power;
};
extern const IlluminantTable kIlluminants[7];

}  // namespace vantrel::measure::cie
