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
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Marks the names libvantrel_measure exports. Declared with default visibility on both sides:
// a host built with hidden visibility must still share the type of Error with the library,
// or it could not catch what the library throws. On Windows the library's sources
// (VANTREL_MEASURE_BUILDING) export them from the DLL and users import them, unless they link
// its objects directly (VANTREL_MEASURE_STATIC).
#if defined(_WIN32)
#if defined(VANTREL_MEASURE_BUILDING)
#define VANTREL_MEASURE_API __declspec(dllexport)
#elif defined(VANTREL_MEASURE_STATIC)
#define VANTREL_MEASURE_API
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
    std::string id;        ///< SAMPLE_ID, empty when the file has none
    std::string name;      ///< SAMPLE_NAME, empty when the file has none
    std::string location;  ///< SAMPLE_LOC, empty when the file has none
    int line = 0;          ///< line of the file holding the patch's data row
    /// The XYZ (percent scale) or L*a*b* the file states (MeasurementSet::statedSource), when
    /// it states one.
    std::array<double, 3> values{};
    /// The XYZ it states beside its L*a*b*, when it states both (MeasurementSet::statesXyzToo).
    std::array<double, 3> xyz{};
};

/// The scale of spectral values: reflectance (or transmittance) factors, 0 to 1, or percent,
/// 0 to 100.
enum class SpectralScale { Factors, Percent };

/// How a file's spectral scale was decided, from the firmest ground to the weakest: told by
/// the caller; stated by the file (its SPECTRAL_NORM keyword, or the convention of its file
/// type); shown by the data (a value above 2 cannot be a factor of a surface); or guessed from
/// data that could be either.
enum class ScaleBasis { Told, Stated, Data, Guess };

struct ScaleDecision {
    SpectralScale scale = SpectralScale::Factors;
    ScaleBasis basis = ScaleBasis::Guess;
    /// Why, in a few words: "SPECTRAL_NORM 100", "CTI3 files hold percent", "a value of
    /// 87.3", "no value above 2; written to hundredths".
    std::string reason;
};

/// What a file's spectra are of: surfaces (reflectance or transmittance), light (the
/// spectrum of a lamp, a display or daylight), or colour-matching functions.
enum class SpectralContent { Surface, Light, MatchingFunctions };

/// One table of a measurement file.
struct MeasurementSet {
    std::string path;  ///< names the file in messages
    int table = 1;     ///< which table of the file this is, from 1
    int tableCount = 1;
    std::string fileType;  ///< the file's first word, its identifier: "CGATS.17", "CTI3", ...
    ColourSource source = ColourSource::Lab;  ///< spectra when there are any, else stated
    bool hasId = false;
    bool hasName = false;
    bool hasLocation = false;
    /// Whether the file states L*a*b* (LAB_L LAB_A LAB_B) or else XYZ (XYZ_X XYZ_Y XYZ_Z) for
    /// each patch, beside spectra or alone, and which; the values are in Patch::values.
    bool hasStated = false;
    ColourSource statedSource = ColourSource::Lab;
    bool statesXyzToo = false;
    /// Device values (CMYK_C, RGB_R, 6CLR_1 and the like), as the file names and orders its
    /// fields, patch by patch in `device`.
    std::vector<std::string> deviceFields;
    std::vector<double> device;
    /// Header keywords in file order (the values of quoted strings without their quotes),
    /// those of earlier tables first.
    std::vector<std::pair<std::string, std::string>> keywords;
    Conditions conditions;
    std::vector<Patch> patches;  ///< never empty

    /// Spectra (source Spectrum): samples every stepNm from firstNm to lastNm, as written, and
    /// row by row in `spectra`, in single precision as the colour functions take them (the
    /// value read, narrowed), on the scale that `scale` gives.
    int firstNm = 0;
    int lastNm = 0;
    int stepNm = 10;
    std::string spectralPrefix;  ///< of the first spectral field, as written ("nm", ...)
    ScaleDecision scale;
    SpectralContent content = SpectralContent::Surface;
    std::string contentReason;  ///< what shows the content, when it is not Surface
    std::vector<float> spectra;

    /// Messages about data that was read but not used (further tables, ...) and about
    /// the file's header (a NUMBER_OF_FIELDS that disagrees with its field list, ...).
    std::vector<std::string> warnings;

    int SampleCount() const { return firstNm ? (lastNm - firstNm) / stepNm + 1 : 0; }
    /// The spectrum of patch k as written, SampleCount() values from firstNm.
    const float* Spectrum(std::size_t k) const {
        return spectra.data() + k * static_cast<std::size_t>(SampleCount());
    }
    bool Percent() const { return scale.scale == SpectralScale::Percent; }
    /// The device values of patch k, deviceFields.size() of them.
    const double* Device(std::size_t k) const { return device.data() + k * deviceFields.size(); }
};

struct ReadOptions {
    ReadOptions(int table = 1, std::optional<SpectralScale> scale = std::nullopt)
        : table(table), scale(scale) {}
    int table;  ///< the table to read, from 1
    /// The scale of the spectral values, when the caller knows it; decided from the file
    /// otherwise.
    std::optional<SpectralScale> scale;
};

/// Reads a CGATS.17 file. Colour comes from the spectral fields when there are any
/// (SPECTRAL_NNN, SPECTRAL_NMNNN, SPECTRAL_NM_NNN, NMNNN, SPEC_NNN, any case, evenly spaced
/// with no gap; NNN in nm, or in thousandths of a nm when it has six or seven digits), else
/// from LAB_L LAB_A LAB_B, else from XYZ_X XYZ_Y XYZ_Z. The fields are those that
/// BEGIN_DATA_FORMAT lists: a NUMBER_OF_FIELDS that disagrees is a warning, a data row with
/// more or fewer values an error. Numbers are the nearest double to their decimal text, with
/// or without an exponent, whatever the locale; any number that narrows to a finite float is
/// read. Memory grows with the patches and the fields kept, not with the file or with what its
/// header declares.
///
/// The scale of spectral values is `options.scale` when given; otherwise what the file states
/// (SPECTRAL_NORM 1 or 100; CTI3 files hold percent; SPECT and CMF files without
/// SPECTRAL_NORM hold factors); otherwise what the data show or suggest (ScaleFromData). The
/// content is Light when the file says so (MEAS_TYPE EMISSION or AMBIENT, a CTI3 DEVICE_CLASS of
/// DISPLAY or EMISINPUT, a DESCRIPTOR or DISPLAY naming "spectral power", a SPECTRAL_NORM other
/// than 1 and 100), MatchingFunctions for a CMF file.
///
/// Throws Error for a missing or unreadable file, text that is not CGATS, counts that
/// disagree with the data, a value that is not a number where a number belongs, spectral
/// fields given twice or unevenly spaced, and missing colour fields.
VANTREL_MEASURE_API MeasurementSet ReadCgats(const std::string& path,
                                             const ReadOptions& options = {});
/// The same for text in memory; `name` names it in messages.
VANTREL_MEASURE_API MeasurementSet ParseCgats(std::string_view text, const std::string& name,
                                              const ReadOptions& options = {});

/// The scale that spectral values show by themselves: percent when one is above 2 (basis
/// Data); else a guess (basis Guess): percent when the values were written to hundredths (2
/// decimals at most, and some with 2), as percent values mostly are, factors otherwise. Values all
/// 0 or below are factors (basis Data: the scale makes no difference). `decimals`: the most
/// decimals any value was written with (DecimalsWritten).
VANTREL_MEASURE_API ScaleDecision ScaleFromData(const float* values, std::size_t count,
                                                int decimals);
/// The decimals of a number as written: digits after its point; kManyDecimals with an
/// exponent.
constexpr int kManyDecimals = 99;
VANTREL_MEASURE_API int DecimalsWritten(std::string_view number);

/// The set as a CGATS.17 file of one table: its file type and header keywords (but its
/// counts, which it writes from the data), SPECTRAL_NORM 1 or 100 for spectra when the header
/// has none, its id, name, location, device and colour fields (stated and spectral), and each
/// number in the shortest text that reads back to the value held (a spectral sample to the
/// same float). ParseCgats of the text gives the same patches, spectra, values and scale.
VANTREL_MEASURE_API std::string FormatCgats(const MeasurementSet& set);

/// "told", "stated", "data" or "guessed".
VANTREL_MEASURE_API std::string ScaleBasisName(ScaleBasis basis);

/// "percent" or "factors".
VANTREL_MEASURE_API std::string ScaleName(SpectralScale scale);
/// The scale and how it was decided, in words: "percent (stated: SPECTRAL_NORM 100)",
/// "factors (guessed: no value above 2)".
VANTREL_MEASURE_API std::string DescribeScale(const ScaleDecision& decision);

/// How the patches of two sets are paired: by SAMPLE_ID, SAMPLE_NAME or SAMPLE_LOC, or by their
/// order in the files.
enum class PairedBy { SampleId, SampleName, Location, Order };

/// What a person calls patch k: its id, else its name, else "#" and its place from 1.
VANTREL_MEASURE_API std::string PatchLabel(const MeasurementSet& set, std::size_t k);

// ---------------------------------------------------------------------------------------------
// Colorimetry

enum class Illuminant { D50, D65, A, C, F2, F7, F11 };
enum class Observer { TwoDegree, TenDegree };  ///< CIE 1931 and CIE 1964

/// How spectra become XYZ. Spectra at exactly 400 to 700 nm every 10 nm take the library's
/// D50 table (CX_SpectrumToD50XYZ) and L*a*b* relative to D50 (CX_D50XYZ2LAB) unless `cie` is
/// set. All other spectra, and these with `cie` set, are integrated with the CIE's
/// colour-matching functions of `observer` and spectrum of `illuminant` (D50 and 2 degrees
/// unless chosen), tabulated every 5 nm: spectra every 5 nm at 5 nm, and spectra every 10 to
/// 20 nm with weights that sum the 5 nm tables through Lagrange interpolation between the
/// samples (ASTM E308's method for point samples), the samples at either end standing for the
/// range beyond them. XYZ are normalised so that a perfect reflector has Y = 100, and L*a*b*
/// is relative to that perfect reflector. Spectra must be every 5 to 20 nm and cover 400 to
/// 700 nm at least.
///
/// `colour` chooses where colour comes from: by default (Auto) the spectra when the file has
/// any, else the XYZ or L*a*b* it states; Spectra or Stated insist on one, and Colours throws
/// Error for a file without it. Stated colour is under the illuminant and observer the file
/// states (D50 and 2 degrees where it states none; see ConditionsOfColour), and the
/// integration does not apply to it.
enum class ColourChoice { Auto, Spectra, Stated };

struct Integration {
    bool cie = false;
    Illuminant illuminant = Illuminant::D50;
    Observer observer = Observer::TwoDegree;
    ColourChoice colour = ColourChoice::Auto;
};

/// Names: "D50", "D65", "A", "C", "F2", "F7", "F11"; "2", "10". Parse* return nothing for
/// anything else.
VANTREL_MEASURE_API std::string IlluminantName(Illuminant illuminant);
VANTREL_MEASURE_API std::optional<Illuminant> ParseIlluminant(std::string_view name);
VANTREL_MEASURE_API std::optional<Observer> ParseObserver(std::string_view name);

/// The illuminant and observer that a set's colour is under, and the white its L*a*b* is
/// relative to (percent scale): for spectra the integration's, with the CIE white, or D50 and 2
/// degrees with the library's D50 white (96.42, 100, 82.49) for the library's table; for stated
/// colour, the illuminant and observer the file's ILLUMINANT and OBSERVER state, or D50 and 2
/// degrees where it states none (`assumed`), and the white its ILLUMINANT_WHITE_POINT_XYZ
/// states, else the library's D50 white for D50 and 2 degrees, else the CIE white. Throws
/// Error for stated colour under an illuminant or observer the library does not know.
struct ColourConditions {
    Illuminant illuminant = Illuminant::D50;
    Observer observer = Observer::TwoDegree;
    bool assumed = false;
    std::array<double, 3> white{96.42f, 100.0f, 82.49f};
};
VANTREL_MEASURE_API ColourConditions ConditionsOfColour(const MeasurementSet& set,
                                                        const Integration& integration);
/// "D50, 2 degree", and ", assumed" when assumed.
VANTREL_MEASURE_API std::string DescribeConditions(const ColourConditions& conditions);

/// One line saying where a set's colour comes from: for spectra, how they were integrated and
/// on what scale they were read (DescribeScale); for stated colour, under what conditions.
VANTREL_MEASURE_API std::string DescribeColour(const MeasurementSet& set,
                                               const Integration& integration);

struct Colour {
    std::array<double, 3> xyz{};  ///< percent scale
    std::array<double, 3> lab{};
};

/// The colour of every patch. Throws Error when the spectra do not allow what the
/// integration needs (their range and step, above), when a CIE integration is asked of a set
/// without spectra, for spectra that are not of surfaces (SpectralContent), and when the
/// colour chosen is not in the file or its conditions are not known.
VANTREL_MEASURE_API std::vector<Colour> Colours(const MeasurementSet& set,
                                                const Integration& integration);

/// Whether the colour of a set's spectra comes from the library's D50 table under
/// `integration` (Integration says when).
VANTREL_MEASURE_API bool UsesLibraryTable(const MeasurementSet& set,
                                          const Integration& integration);

/// The integration that two sets are compared under: `integration`, with `cie` set when either
/// set's spectra do not take the library's D50 table, so that both are integrated alike.
VANTREL_MEASURE_API Integration SharedIntegration(const MeasurementSet& reference,
                                                  const MeasurementSet& sample,
                                                  Integration integration);

/// The white of a CIE integration: the XYZ of a perfect reflector, Y = 100.
VANTREL_MEASURE_API std::array<double, 3> CieWhite(Illuminant illuminant, Observer observer);

/// The patch of a set taken as its paper (or display) white: the one whose key (`by`; SAMPLE_ID
/// when by order) is `key`, or, when `key` is empty, the lightest (the largest Y, the first of
/// equals). Throws Error when no patch has the key or the set lacks that field.
VANTREL_MEASURE_API std::size_t PaperPatch(const MeasurementSet& set,
                                           const std::vector<Colour>& colours, PairedBy by,
                                           const std::string& key);

/// Media-relative colour (ISO 13655): each patch's XYZ scaled channel by channel by `white`
/// over the paper's XYZ, and its L*a*b* taken relative to the paper's XYZ, so that the paper
/// is L* 100, a* 0, b* 0. Display data in absolute units (cd/m2) become relative to the
/// display's white the same way.
VANTREL_MEASURE_API void RelativeToPaper(std::vector<Colour>& colours, std::size_t paper,
                                         const std::array<double, 3>& white);

/// Status T and Status I densities (visual, red, green, blue) of patch k from its samples at
/// 400, 410, ..., 700 nm (every second sample of a spectrum every 5 nm). Throws Error when the
/// set has no spectra of surfaces or they do not have those samples.
struct Densities {
    std::array<float, 4> statusT{};
    std::array<float, 4> statusI{};
};
VANTREL_MEASURE_API Densities DensitiesOf(const MeasurementSet& set, std::size_t k);

/// The colours of a set as a CGATS.17 file of one table, for tools that read XYZ or L*a*b*:
/// each patch's id (else its place from 1), name and location, L*a*b* and XYZ (percent scale)
/// with `decimals` decimals and, with `densities` (one per patch), Status T (D_VIS D_RED
/// D_GREEN D_BLUE) and Status I (DI_VIS ...) densities. DESCRIPTOR says where the colours came
/// from and how (DescribeColour); ILLUMINANT, OBSERVER and ILLUMINANT_WHITE_POINT_XYZ state the
/// conditions and the white they are under, so that ReadCgats gives them back as stated colour
/// with the same values to the digits written.
VANTREL_MEASURE_API std::string FormatColoursCgats(const MeasurementSet& set,
                                                   const std::vector<Colour>& colours,
                                                   const Integration& integration,
                                                   const std::vector<Densities>& densities = {},
                                                   int decimals = 4);

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

struct Pairing {
    PairedBy by = PairedBy::Order;
    std::vector<std::pair<std::size_t, std::size_t>> pairs;  ///< reference, sample; reference order
    std::vector<std::string> warnings;                       ///< patches left out
};
/// Pairs the patches `by` a key field or by order. By a key, each set must have the field and
/// give each key once, and the two must share a key: otherwise throws Error naming the fault
/// and the other ways that would pair the sets ("; pairing by location or order would do").
/// Patches whose key the other set lacks are left out with a warning. By order, the first n
/// patches of each are paired (n the smaller count), with a warning when the counts differ.
VANTREL_MEASURE_API Pairing PairPatches(const MeasurementSet& reference,
                                        const MeasurementSet& sample, PairedBy by);
/// Pairs by SAMPLE_ID when both sets have it, else by SAMPLE_NAME, else by order.
VANTREL_MEASURE_API Pairing PairPatches(const MeasurementSet& reference,
                                        const MeasurementSet& sample);
/// "SAMPLE_ID", "SAMPLE_NAME", "SAMPLE_LOC" or "order".
VANTREL_MEASURE_API std::string PairedByName(PairedBy by);
/// "id", "name", "location" or "order"; ParsePairedBy takes these and gives nothing for
/// anything else.
VANTREL_MEASURE_API std::string PairedByOption(PairedBy by);
VANTREL_MEASURE_API std::optional<PairedBy> ParsePairedBy(std::string_view name);

/// Throws Error, one line naming both files, when both state an illuminant, observer,
/// measurement condition or filter and these differ.
VANTREL_MEASURE_API void CheckConditions(const MeasurementSet& reference,
                                         const MeasurementSet& sample);

/// Throws Error, one line naming both files, when their colours under `integration` are
/// under different illuminants or observers (ConditionsOfColour).
VANTREL_MEASURE_API void CheckColourConditions(const MeasurementSet& reference,
                                               const MeasurementSet& sample,
                                               const Integration& integration);

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
// Tolerance profiles

/// Values from low to high, both included.
struct Range {
    double low = 0, high = 0;
    bool Contains(double value) const;
};

/// A group of patches of a tolerance profile and how it is judged. A patch of a comparison
/// belongs to the group when it meets every criterion given: its SAMPLE_ID matches one of
/// `ids` and its SAMPLE_NAME one of `names` (patterns: * any run, ? any one byte); its device
/// values meet one of the `device` alternatives (every field of it in its range); the
/// reference's L* and C*ab lie in `lightness` and `chroma`.
struct PatchGroup {
    std::string name;
    int line = 0;  ///< of the profile, where the group begins
    std::vector<std::string> ids, names;
    std::vector<std::vector<std::pair<std::string, Range>>> device;
    std::optional<Range> lightness, chroma;
    std::optional<MetricChoice> metric;  ///< the comparison's when none is given
    Tolerances limits;
    std::optional<double> maxDeltaH;  ///< on the |dH*ab| of each patch
    bool relative = false;            ///< media-relative (RelativeToPaper)
};

struct ToleranceProfile {
    std::string path;   ///< names the profile in messages
    std::string paper;  ///< the key of the paper white patch; empty: the lightest
    std::vector<PatchGroup> groups;
};

/// Reads a tolerance profile: text of one statement a line, '#' beginning a comment:
///   paper KEY; group NAME; and in a group: ids PATTERN...; names PATTERN...;
///   device FIELD=V|FIELD=LOW..HIGH ... (V within half a unit; each device line an
///   alternative); lightness LOW..HIGH; chroma LOW..HIGH; metric 2000 [kL kC kH] | 94
///   [kL kC kH] | cmc [l c] | ab; max X; mean X; p95 X; max-dh X; relative yes|no.
/// Throws Error naming the line for anything else, a group set twice or setting no limit,
/// and a profile without a group.
VANTREL_MEASURE_API ToleranceProfile ReadToleranceProfile(const std::string& path);
VANTREL_MEASURE_API ToleranceProfile ParseToleranceProfile(std::string_view text,
                                                           const std::string& name);

/// The judgement of one group: its patches (indices of Comparison::patches), their
/// differences in the group's metric, statistics and verdict; the verdict's checks add
/// "max-dh" when the group limits it. No members: no statistics, and a verdict that passes.
struct GroupResult {
    std::string name;
    std::vector<std::size_t> members;
    std::vector<double> differences;
    Statistics statistics;
    Verdict verdict;
};

// ---------------------------------------------------------------------------------------------
// A whole comparison

struct CompareOptions {
    MetricChoice metric;
    Integration integration;
    Tolerances tolerances;
    bool ignoreConditions = false;
    PairedBy pairBy = PairedBy::SampleId;
    /// Media-relative comparison: each set's colours relative to its own paper white
    /// (RelativeToPaper), the patch whose key (pairBy; SAMPLE_ID for order) is `paper`, or the
    /// lightest when `paper` is empty.
    bool relativeToPaper = false;
    std::string paper;
    /// Groups of patches judged each by its own limits; with a profile, the verdict is that
    /// of every group and of `tolerances`.
    std::optional<ToleranceProfile> profile;
};

struct ComparedPatch {
    std::size_t reference = 0, sample = 0;  ///< patch indices in their sets
    std::array<double, 3> referenceLab{}, sampleLab{};
    double difference = 0;
    Components components;
};

struct Comparison {
    Pairing pairing;
    /// The paper white of each set (patch indices), when the comparison is media-relative.
    std::optional<std::pair<std::size_t, std::size_t>> paper;
    std::vector<ComparedPatch> patches;  ///< in the reference's order
    std::vector<double> differences;     ///< of `patches`, in the same order
    Statistics statistics;
    Verdict verdict;
    std::vector<GroupResult> groups;  ///< those of the profile, in its order
};

/// The groups of a profile judged on a comparison, from the colours of both sets (Colours,
/// before any media-relative scaling). Throws Error for a group naming a device field the
/// reference lacks.
VANTREL_MEASURE_API std::vector<GroupResult> JudgeGroups(
    const MeasurementSet& reference, const MeasurementSet& sample, const Comparison& comparison,
    const ToleranceProfile& profile, const CompareOptions& options,
    const std::vector<Colour>& referenceColours, const std::vector<Colour>& sampleColours);

/// Checks the conditions the files state and those their colours are under (unless ignored),
/// pairs the patches, and measures, summarises and judges their differences.
VANTREL_MEASURE_API Comparison Compare(const MeasurementSet& reference,
                                       const MeasurementSet& sample, const CompareOptions& options);

/// When the spectral scale of one set is a guess and the other's colour is not in doubt, reads
/// the doubtful set both ways and keeps the scale whose colours lie nearer the other's
/// (the mean difference over the pairs, in the chosen metric); its reason then says so, and
/// its basis stays Guess. Changes nothing when neither or both are guesses. Throws what
/// pairing or colorimetry throws.
VANTREL_MEASURE_API void SettleGuessedScale(MeasurementSet& reference, MeasurementSet& sample,
                                            const CompareOptions& options);

/// Makes the colours of both sets of a comparison media-relative (options.paper names the
/// paper white, PaperPatch); gives the two paper patches.
VANTREL_MEASURE_API std::pair<std::size_t, std::size_t> MakeRelative(
    const MeasurementSet& reference, const MeasurementSet& sample, const CompareOptions& options,
    const Integration& integration, std::vector<Colour>& referenceColours,
    std::vector<Colour>& sampleColours);

/// A comparison of two files from start to end, as CompareFiles makes it: both sets as read
/// (a guessed scale settled), the integration both were integrated under, and the comparison.
struct FileComparison {
    MeasurementSet reference, sample;
    Integration integration;
    Comparison comparison;
};

/// Compares two measurement files: reads them at the same time (`readReference` and
/// `readSample`, each on a thread of its own), checks the conditions they state (unless
/// options.ignoreConditions), integrates both alike (SharedIntegration), settles a guessed
/// scale of one by the other (SettleGuessedScale), computes the colours of both at the same
/// time, checks the conditions of their colours (unless ignored), pairs them (options.pairBy),
/// makes them media-relative when asked, measures the pairs in two halves at the same time,
/// and summarises and judges them, by group when options.profile is given. Throws what
/// reading, pairing and colorimetry throw.
VANTREL_MEASURE_API FileComparison
CompareFiles(const std::function<MeasurementSet()>& readReference,
             const std::function<MeasurementSet()>& readSample, const CompareOptions& options);

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

/// The largest width and height of the report, in pixels, and the width it is drawn for unless
/// asked otherwise (about an A4 page at 200 pixels an inch).
constexpr int kReportMaxSize = 4096;
constexpr int kReportWidth = 1600;

/// Draws the comparison as a PNG picture at most `width` pixels wide (816 at least) and at most
/// kReportMaxSize pixels a side: a title (both files, the metric and its parameters), the
/// groups of a tolerance profile with their verdicts, a legend, a histogram of the differences
/// with the tolerance limits, and a split swatch per patch (reference left, sample right, in
/// sRGB) labelled with its id and difference, the worst tenth outlined and the colours of its
/// groups beneath. Patches are where the chart has them when the reference gives each a
/// location of its own (SAMPLE_LOC: letters the column, digits the row), in order otherwise;
/// cells shrink to the width, with smaller labels or none. When not every patch fits, the worst
/// are shown, worst first, and the picture says how many were left out. The file is written
/// whole or not at all; throws Error naming `path` when it cannot be written.
VANTREL_MEASURE_API void WriteReportPng(const std::string& path, const MeasurementSet& reference,
                                        const MeasurementSet& sample, const Comparison& comparison,
                                        const CompareOptions& options, int width = kReportWidth);

}  // namespace vantrel::measure
