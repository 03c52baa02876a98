/// @file
/// Measurement files and their comparison: reading CGATS.17 files as instruments and
/// profiling tools write them, colorimetry of their patches (the library's D50 table or CIE
/// illuminants and observers), pairing a sample set with its reference, colour differences
/// (CIEDE2000, CIE 1994, CMC, CIE 1976), statistics, a verdict against tolerances, and a PNG
/// report.
///
/// Values are types of their own (plain structs) and functions take them by reference. A
/// failure to read or use data throws vantrel::measure::Error, which names the file and, where
/// it can, the line and field at fault. The functions keep no state between calls and may be
/// called from several threads at once.
///
/// Scales: XYZ on the percent scale (the white's Y is 100), L*a*b* in plain CIE units,
/// hue angles in degrees, reflectance as factors (0 to 1).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Marks the names libvantrel_measure exports. Declared with default visibility on both sides:
// a host built with hidden visibility must still share the type of Error with the library,
// or it could not catch what the library throws. On Windows the library's sources
// (VANTREL_MEASURE_BUILDING) export them from the DLL and users import them.
#if defined(_WIN32)
#if defined(VANTREL_MEASURE_BUILDING)
#define VANTREL_MEASURE_API __declspec(dllexport)
#else
#define VANTREL_MEASURE_API __declspec(dllimport)
#endif
#else
#define VANTREL_MEASURE_API __attribute__((visibility("default")))
#endif

namespace vantrel::measure {

// ---------------------------------------------------------------------------------------------
// Errors

/// Where a fault lies: the file (as named by the caller), its line (from 1; 0 when the fault
/// is not on one line), and the field (its name and place on the data row, from 1; empty and
/// 0 when none).
struct Location {
    std::string file;
    int line = 0;
    std::string field;
    int column = 0;
};

/// Bad or unusable measurement data. what() is one line: "file:line: message", or
/// "file: message" when there is no line.
class VANTREL_MEASURE_API Error : public std::runtime_error {
  public:
    Error(Location where, const std::string& message);
    /// A fault of the whole file.
    Error(const std::string& file, const std::string& message);
    const Location& where() const noexcept { return where_; }

  private:
    Location where_;
};

// ---------------------------------------------------------------------------------------------
// Measurement files

/// Where the colour of a file's patches comes from, in order of preference.
enum class ColourSource { Spectrum, Xyz, Lab };

/// The conditions a file's header states (ILLUMINANT, OBSERVER, MEASUREMENT_CONDITION,
/// FILTER), as written; empty when not stated.
struct Conditions {
    std::string illuminant;
    std::string observer;
    std::string measurementCondition;
    std::string filter;
};

struct Patch {
    std::string id;    ///< SAMPLE_ID, empty when the file has none
    std::string name;  ///< SAMPLE_NAME, empty when the file has none
    int line = 0;      ///< line of the file holding the patch's data row
    /// XYZ (percent scale) or L*a*b*, as the file gives them, when the source is Xyz or Lab.
    std::array<double, 3> values{};
};

/// One table of a measurement file.
struct MeasurementSet {
    std::string path;  ///< names the file in messages
    int table = 1;     ///< which table of the file this is, from 1
    int tableCount = 1;
    ColourSource source = ColourSource::Lab;
    bool hasId = false;
    bool hasName = false;
    /// Header keywords in file order (the values of quoted strings without their quotes),
    /// those of earlier tables first.
    std::vector<std::pair<std::string, std::string>> keywords;
    Conditions conditions;
    std::vector<Patch> patches;  ///< never empty

    /// Spectra (source Spectrum): samples every 10 nm from firstNm to lastNm, as written, and
    /// row by row in `spectra`, in single precision as the colour functions take them (the
    /// value read, narrowed). They are percent reflectance when percentReflectance is set (some
    /// value of the file is above 1.5), factors otherwise.
    int firstNm = 0;
    int lastNm = 0;
    std::string spectralPrefix;  ///< of the first spectral field, as written ("nm", ...)
    bool percentReflectance = false;
    std::vector<float> spectra;

    /// Messages about data that was read but not used (further tables, ...).
    std::vector<std::string> warnings;

    int SampleCount() const { return firstNm ? (lastNm - firstNm) / 10 + 1 : 0; }
    /// The spectrum of patch k as written, SampleCount() values from firstNm.
    const float* Spectrum(std::size_t k) const {
        return spectra.data() + k * static_cast<std::size_t>(SampleCount());
    }
};

struct ReadOptions {
    int table = 1;  ///< the table to read, from 1
};

/// Reads a CGATS.17 file. Colour comes from the spectral fields when there are any
/// (SPECTRAL_NNN, SPECTRAL_NMNNN, SPECTRAL_NM_NNN, NMNNN, SPEC_NNN, any case, every 5 or 10
/// nm; the samples on multiples of 10 nm are kept and must have no gap), else from XYZ_X
/// XYZ_Y XYZ_Z, else from LAB_L LAB_A LAB_B. Numbers are the nearest double to their decimal
/// text, with or without an exponent, whatever the locale. Memory grows with the patches and
/// the fields kept, not with the file. Throws Error for a missing or unreadable file,
/// text that is not CGATS, counts that disagree with the data, a value that is not a number
/// where a number belongs, and missing colour fields.
VANTREL_MEASURE_API MeasurementSet ReadCgats(const std::string& path,
                                             const ReadOptions& options = {});
/// The same for text in memory; `name` names it in messages.
VANTREL_MEASURE_API MeasurementSet ParseCgats(std::string_view text, const std::string& name,
                                              const ReadOptions& options = {});

/// What a person calls patch k: its id, else its name, else "#" and its place from 1.
VANTREL_MEASURE_API std::string PatchLabel(const MeasurementSet& set, std::size_t k);

// ---------------------------------------------------------------------------------------------
// Colorimetry

enum class Illuminant { D50, D65, A, C, F2, F7, F11 };
enum class Observer { TwoDegree, TenDegree };  ///< CIE 1931 and CIE 1964

/// How spectra become XYZ. By default the library's D50 table over 400 to 700 nm
/// (CX_SpectrumToD50XYZ) and L*a*b* relative to D50 (CX_D50XYZ2LAB). With `cie` set, the
/// file's own range is integrated every 10 nm with the CIE colour-matching functions of
/// `observer` weighted by the spectrum of `illuminant`, normalised so that a perfect
/// reflector has Y = 100, and L*a*b* is taken relative to that perfect reflector.
struct Integration {
    bool cie = false;
    Illuminant illuminant = Illuminant::D50;
    Observer observer = Observer::TwoDegree;
};

/// Names: "D50", "D65", "A", "C", "F2", "F7", "F11"; "2", "10". Parse* return nothing for
/// anything else.
VANTREL_MEASURE_API std::string IlluminantName(Illuminant illuminant);
VANTREL_MEASURE_API std::optional<Illuminant> ParseIlluminant(std::string_view name);
VANTREL_MEASURE_API std::optional<Observer> ParseObserver(std::string_view name);

/// One line saying where a set's colour comes from and, for spectra, how it was integrated.
VANTREL_MEASURE_API std::string DescribeColour(const MeasurementSet& set,
                                               const Integration& integration);

struct Colour {
    std::array<double, 3> xyz{};  ///< percent scale
    std::array<double, 3> lab{};
};

/// The colour of every patch. Throws Error when spectra do not cover what the integration
/// needs (400 to 700 nm for the D50 table), or when a CIE integration is asked of a set
/// without spectra.
VANTREL_MEASURE_API std::vector<Colour> Colours(const MeasurementSet& set,
                                                const Integration& integration);

/// The white of a CIE integration over firstNm to lastNm: the XYZ of a perfect reflector.
VANTREL_MEASURE_API std::array<double, 3> CieWhite(Illuminant illuminant, Observer observer,
                                                   int firstNm, int lastNm);

/// Status T and Status I densities (visual, red, green, blue) of patch k from its spectrum
/// at 400 to 700 nm. Throws Error when the set has no spectra or they do not cover that.
struct Densities {
    std::array<float, 4> statusT{};
    std::array<float, 4> statusI{};
};
VANTREL_MEASURE_API Densities DensitiesOf(const MeasurementSet& set, std::size_t k);

// ---------------------------------------------------------------------------------------------
// Colour differences

enum class Metric { Ciede2000, Cie94, Cmc, Cie76 };

/// A metric and its parameters: kL, kC, kH for CIEDE2000 and CIE 1994 (1 by default), l and c
/// for CMC l:c (2:1 by default).
struct MetricChoice {
    Metric metric = Metric::Ciede2000;
    double kL = 1, kC = 1, kH = 1;
    double l = 2, c = 1;
};

/// "dE00", "dE94", "dECMC" or "dE*ab".
VANTREL_MEASURE_API std::string MetricLabel(const MetricChoice& metric);
/// "kL 1, kC 1, kH 1", "l:c 2:1", or empty for CIE 1976.
VANTREL_MEASURE_API std::string MetricParameters(const MetricChoice& metric);

/// CIEDE2000 of two L*a*b* colours, in double precision. Symmetric in its arguments.
VANTREL_MEASURE_API double Ciede2000(const std::array<double, 3>& reference,
                                     const std::array<double, 3>& sample, double kL = 1,
                                     double kC = 1, double kH = 1);

/// The difference of `sample` from `reference` in the chosen metric. CIE 1994, CMC and CIE
/// 1976 are the library's single-precision functions on the values narrowed to float.
VANTREL_MEASURE_API double Difference(const MetricChoice& metric,
                                      const std::array<double, 3>& reference,
                                      const std::array<double, 3>& sample);

/// Signed CIE 1976 differences of the sample from the reference: dL* = L2 - L1,
/// dC*ab = C2 - C1 and dH*ab = 2 sqrt(C1 C2) sin(dh / 2), dh = h2 - h1 taken between -180
/// and 180 degrees.
struct Components {
    double dL = 0, dC = 0, dH = 0;
};
VANTREL_MEASURE_API Components SignedDifferences(const std::array<double, 3>& reference,
                                                 const std::array<double, 3>& sample);

// ---------------------------------------------------------------------------------------------
// Pairing, statistics and verdict

enum class PairedBy { SampleId, SampleName, Order };

/// Patches paired by SAMPLE_ID when both sets have it, else by SAMPLE_NAME, else by order.
struct Pairing {
    PairedBy by = PairedBy::Order;
    std::vector<std::pair<std::size_t, std::size_t>> pairs;  ///< reference, sample; reference order
    std::vector<std::string> warnings;                       ///< patches left out
};
/// Throws Error for a key given twice in one set, or no key in common.
VANTREL_MEASURE_API Pairing PairPatches(const MeasurementSet& reference,
                                        const MeasurementSet& sample);
/// "SAMPLE_ID", "SAMPLE_NAME" or "order".
VANTREL_MEASURE_API std::string PairedByName(PairedBy by);

/// Throws Error, one line naming both files, when both state an illuminant, observer,
/// measurement condition or filter and these differ.
VANTREL_MEASURE_API void CheckConditions(const MeasurementSet& reference,
                                         const MeasurementSet& sample);

/// Median and 95th percentile interpolate linearly between the two nearest ranks: the
/// q-quantile of n sorted values v[0..n-1] is taken at rank q (n - 1). The standard deviation
/// is that of a sample (divided by n - 1; 0 for one value). `worst` is the first index with
/// the maximum.
struct Statistics {
    std::size_t count = 0;
    double mean = 0, median = 0, p95 = 0, max = 0, stdDev = 0;
    std::size_t worst = 0;
};
/// `differences` must not be empty.
VANTREL_MEASURE_API Statistics Summarise(const std::vector<double>& differences);

/// Limits on the chosen metric; each is checked when given.
struct Tolerances {
    std::optional<double> max, mean, p95;
    bool Any() const { return max || mean || p95; }
};
struct LimitCheck {
    std::string name;  ///< "max", "mean" or "p95"
    double limit = 0;
    double value = 0;
    bool pass = true;
};
struct Verdict {
    std::vector<LimitCheck> checks;  ///< in the order max, mean, p95, those given
    std::size_t overMax = 0;         ///< patches above the max limit
    bool pass = true;
};
VANTREL_MEASURE_API Verdict Judge(const std::vector<double>& differences,
                                  const Statistics& statistics, const Tolerances& tolerances);

/// Indices of `differences`, largest first; equal values keep their order.
VANTREL_MEASURE_API std::vector<std::size_t> WorstFirst(const std::vector<double>& differences);

// ---------------------------------------------------------------------------------------------
// A whole comparison

struct CompareOptions {
    MetricChoice metric;
    Integration integration;
    Tolerances tolerances;
    bool ignoreConditions = false;
};

struct ComparedPatch {
    std::size_t reference = 0, sample = 0;  ///< patch indices in their sets
    std::array<double, 3> referenceLab{}, sampleLab{};
    double difference = 0;
    Components components;
};

struct Comparison {
    Pairing pairing;
    std::vector<ComparedPatch> patches;  ///< in the reference's order
    std::vector<double> differences;     ///< of `patches`, in the same order
    Statistics statistics;
    Verdict verdict;
};

/// Checks the conditions (unless ignored), pairs the patches, and measures, summarises and
/// judges their differences.
VANTREL_MEASURE_API Comparison Compare(const MeasurementSet& reference,
                                       const MeasurementSet& sample, const CompareOptions& options);

/// Compare in three steps, for a caller that measures the parts of a large comparison at the
/// same time. StartComparison checks the conditions (unless ignored) and pairs the patches,
/// with room for their results; MeasurePairs measures the pairs [begin, end) of the pairing
/// with the colours of both sets (from Colours), and may run at the same time for ranges that
/// do not overlap; FinishComparison summarises and judges the differences.
VANTREL_MEASURE_API Comparison StartComparison(const MeasurementSet& reference,
                                               const MeasurementSet& sample,
                                               const CompareOptions& options);
VANTREL_MEASURE_API void MeasurePairs(Comparison& comparison,
                                      const std::vector<Colour>& referenceColours,
                                      const std::vector<Colour>& sampleColours,
                                      const MetricChoice& metric, std::size_t begin,
                                      std::size_t end);
VANTREL_MEASURE_API void FinishComparison(Comparison& comparison, const Tolerances& tolerances);

// ---------------------------------------------------------------------------------------------
// The picture of a comparison

/// The largest width and height of the report, in pixels.
constexpr int kReportMaxSize = 4096;

/// Draws the comparison as a PNG picture of at most kReportMaxSize pixels a side: a title
/// (both files, the metric and its parameters), a legend, a histogram of the differences with
/// the tolerance limits, and a split swatch per patch (reference left, sample right, in sRGB)
/// labelled with its id and difference, the worst tenth outlined. When not every patch fits,
/// the worst are shown, worst first, and the picture says how many were left out. The file is
/// written whole or not at all; throws Error naming `path` when it cannot be written.
VANTREL_MEASURE_API void WriteReportPng(const std::string& path, const MeasurementSet& reference,
                                        const MeasurementSet& sample, const Comparison& comparison,
                                        const CompareOptions& options);

}  // namespace vantrel::measure
