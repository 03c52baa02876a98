// The colour of a set's patches: from spectra with the library's D50 table or the CIE's
// illuminants and observers, or from the file's XYZ or L*a*b*; and densities of spectra.
//
// The CIE integration follows the method of ASTM E308 for spectra taken as point samples (no
// bandpass correction): the spectrum is taken to run between its samples as the Lagrange
// polynomial through the nearest four (three in the first and last interval), and to stay at
// its first and last value beyond them; the products of illuminant and colour-matching
// functions every 5 nm are then summed into one weight per sample. A spectrum every 5 nm is so
// integrated at 5 nm, one every 10 or 20 nm keeps what lies between its samples (the lines of
// the fluorescent lamps above all), and the perfect reflector comes out as the white of the
// whole table whatever the range of the spectrum.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>

#include "cie_tables.h"
#include "measure/decimal.h"
#include "measure/large_pages.h"
#include "spectral_scale.h"
#include "text_util.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

// The library's D50 table and density responses cover 400 to 700 nm in 10 nm steps.
constexpr int kTableFirstNm = 400;
constexpr int kTableLastNm = 700;
constexpr int kTableStepNm = 10;
constexpr int kTableSamples = 31;
constexpr double kPercent = 100.0;
// The CIE integration takes spectra every 5 to 20 nm covering at least 400 to 700 nm.
constexpr int kFinestStepNm = 5;
constexpr int kCoarsestStepNm = 20;

struct NamedIlluminant {
    Illuminant illuminant;
    const char* name;
};
constexpr NamedIlluminant kIlluminantNames[] = {
    {Illuminant::D50, "D50"}, {Illuminant::D65, "D65"}, {Illuminant::A, "A"},
    {Illuminant::C, "C"},     {Illuminant::F2, "F2"},   {Illuminant::F7, "F7"},
    {Illuminant::F11, "F11"},
};

const char* SourceName(ColourSource source) {
    switch (source) {
        case ColourSource::Spectrum:
            return "spectra";
        case ColourSource::Xyz:
            return "XYZ";
        case ColourSource::Lab:
            return "L*a*b*";
    }
    return "";
}

// Whether a set's colour comes from the library's D50 table: spectra at exactly its
// wavelengths, and no CIE illuminant or observer asked for.
bool UsesTable(const MeasurementSet& set, const Integration& integration) {
    return !integration.cie && set.firstNm == kTableFirstNm && set.lastNm == kTableLastNm &&
           set.stepNm == kTableStepNm;
}

void RequireSurfaces(const MeasurementSet& set) {
    switch (set.content) {
        case SpectralContent::Surface:
            return;
        case SpectralContent::Light:
            throw Error(set.path, "holds the spectrum of light (" + set.contentReason +
                                      "), not of a surface: it has no reflectance colour");
        case SpectralContent::MatchingFunctions:
            throw Error(set.path, "holds colour-matching functions (" + set.contentReason +
                                      "), not the spectra of surfaces");
    }
}

void RequireSpectra(const MeasurementSet& set, const std::string& purpose) {
    if (set.source != ColourSource::Spectrum)
        throw Error(set.path, purpose + " needs spectral fields; this file has " +
                                  SourceName(set.source) + " only");
    RequireSurfaces(set);
}

// Spectra that reach from `first` to `last` nm at least.
void RequireRange(const MeasurementSet& set, const std::string& purpose, int first, int last) {
    const int missing = set.firstNm > first ? first : set.lastNm < last ? last : 0;
    if (missing)
        throw Error(set.path, "spectra from " + std::to_string(set.firstNm) + " to " +
                                  std::to_string(set.lastNm) + " nm: " + purpose + " needs " +
                                  std::to_string(first) + " to " + std::to_string(last) +
                                  " nm (field " + set.spectralPrefix + std::to_string(missing) +
                                  " missing)");
}

// The 32-element spectrum of the library's functions (element 0 unused, 400 to 700 nm in
// elements 1 to 31), read as factors: percent values are narrowed first and then divided, as
// the values of a percent file always were.
std::array<float, kTableSamples + 1> TableSpectrum(const MeasurementSet& set, std::size_t k) {
    const int stride = kTableStepNm / set.stepNm;
    const float* values = set.Spectrum(k) + (kTableFirstNm - set.firstNm) / set.stepNm;
    std::array<float, kTableSamples + 1> spectrum{};
    for (int i = 0; i < kTableSamples; ++i)
        spectrum[static_cast<std::size_t>(i) + 1] = values[i * stride];
    if (!set.Percent()) return spectrum;
    // The divisions in groups of four (a count the compiler makes vector divisions of, with
    // no remainder loop), then the last three.
    constexpr int kGrouped = kTableSamples / 4 * 4;
    for (int i = 1; i <= kGrouped; ++i) spectrum[static_cast<std::size_t>(i)] /= 100.0f;
    for (int i = kGrouped + 1; i <= kTableSamples; ++i)
        spectrum[static_cast<std::size_t>(i)] /= 100.0f;
    return spectrum;
}

// The library's density responses need samples at 400, 410, ..., 700 nm.
void RequireTableSamples(const MeasurementSet& set, const std::string& purpose) {
    RequireSpectra(set, purpose);
    RequireRange(set, purpose, kTableFirstNm, kTableLastNm);
    if (kTableStepNm % set.stepNm != 0 || (kTableFirstNm - set.firstNm) % set.stepNm != 0)
        throw Error(set.path, "spectra every " + std::to_string(set.stepNm) + " nm from " +
                                  std::to_string(set.firstNm) + " nm: " + purpose +
                                  " needs samples at 400, 410, ..., 700 nm");
}

// The Lagrange coefficients at position x (in samples from the first) of the polynomial
// through the samples first .. first + count - 1.
void Lagrange(double x, int first, int count, double* coefficients) {
    for (int j = 0; j < count; ++j) {
        double c = 1;
        for (int m = 0; m < count; ++m)
            if (m != j) c *= (x - (first + m)) / static_cast<double>(j - m);
        coefficients[j] = c;
    }
}

// Integration weights, one X, Y, Z triple per sample of a spectrum every stepNm from firstNm
// (count samples), scaled so that a perfect reflector has Y = 100.
std::vector<std::array<double, 3>> MakeWeights(Illuminant illuminant, Observer observer,
                                               int firstNm, int stepNm, int count) {
    const cie::IlluminantTable& power = cie::kIlluminants[static_cast<int>(illuminant)];
    const cie::ObserverTable& cmf = cie::kObservers[static_cast<int>(observer)];
    std::vector<std::array<double, 3>> weights(static_cast<std::size_t>(count));
    const int last = count - 1;
    double ySum = 0;
    for (int f = 0; f < cie::kCount; ++f) {
        const int nm = cie::kFirstNm + f * cie::kStepNm;
        if (nm < power.firstNm || nm > power.lastNm) continue;
        const double p = power.power[static_cast<std::size_t>(f)];
        const double product[3] = {p * cmf.xyz[0][static_cast<std::size_t>(f)],
                                   p * cmf.xyz[1][static_cast<std::size_t>(f)],
                                   p * cmf.xyz[2][static_cast<std::size_t>(f)]};
        ySum += product[1];
        auto add = [&](int sample, double share) {
            for (int j = 0; j < 3; ++j)
                weights[static_cast<std::size_t>(sample)][j] += share * product[j];
        };
        const double x = static_cast<double>(nm - firstNm) / stepNm;
        if (x <= 0) {
            add(0, 1);
        } else if (x >= last) {
            add(last, 1);
        } else if (x == std::floor(x)) {
            add(static_cast<int>(x), 1);
        } else {
            // Cubic inside, quadratic in the first and last interval, linear between two.
            const int i = static_cast<int>(x);
            const int n = std::min(count, i == 0 || i == last - 1 ? 3 : 4);
            const int from = n < 4 ? (i == 0 ? 0 : last + 1 - n) : i - 1;
            double coefficients[4];
            Lagrange(x, from, n, coefficients);
            for (int j = 0; j < n; ++j) add(from + j, coefficients[j]);
        }
    }
    const double scale = kPercent / ySum;
    for (auto& weight : weights)
        for (double& value : weight) value *= scale;
    return weights;
}

std::string StepName(int stepNm) {
    return std::to_string(stepNm) + " nm";
}

std::vector<Colour> CieColours(const MeasurementSet& set, const Integration& integration) {
    RequireSpectra(set, "integration for " + IlluminantName(integration.illuminant));
    if (set.stepNm < kFinestStepNm || set.stepNm > kCoarsestStepNm)
        throw Error(set.path, "spectra every " + StepName(set.stepNm) +
                                  ": colour is computed from spectra every 5 to 20 nm");
    RequireRange(set, "colour", kTableFirstNm, kTableLastNm);
    const int count = set.SampleCount();
    auto weights =
        MakeWeights(integration.illuminant, integration.observer, set.firstNm, set.stepNm, count);
    const std::array<double, 3> white = CieWhite(integration.illuminant, integration.observer);
    // Percent values weigh a hundredth as much.
    if (set.Percent())
        for (auto& weight : weights)
            for (double& value : weight) value /= kPercent;
    std::vector<Colour> colours;
    colours.reserve(set.patches.size());
    AdviseLargePages(colours.data(), colours.capacity() * sizeof(Colour));
    colours.resize(set.patches.size());
    for (std::size_t k = 0; k < colours.size(); ++k) {
        const float* values = set.Spectrum(k);
        double X = 0, Y = 0, Z = 0;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            const double value = values[i];
            X += weights[i][0] * value;
            Y += weights[i][1] * value;
            Z += weights[i][2] * value;
        }
        Colour& c = colours[k];
        c.xyz = {X, Y, Z};
        float lab[3];
        CX_XYZ2LAB_float(static_cast<float>(c.xyz[0]), static_cast<float>(c.xyz[1]),
                         static_cast<float>(c.xyz[2]), static_cast<float>(white[0]),
                         static_cast<float>(white[1]), static_cast<float>(white[2]), &lab[0],
                         &lab[1], &lab[2]);
        c.lab = {lab[0], lab[1], lab[2]};
    }
    return colours;
}

Colour TableColour(const MeasurementSet& set, std::size_t k) {
    Colour c;
    float xyz[3], lab[3];
    const auto spectrum = TableSpectrum(set, k);
    CX_SpectrumToD50XYZ(spectrum.data(), xyz);
    CX_D50XYZ2LAB(xyz[0], xyz[1], xyz[2], &lab[0], &lab[1], &lab[2]);
    c.xyz = {xyz[0], xyz[1], xyz[2]};
    c.lab = {lab[0], lab[1], lab[2]};
    return c;
}

// Where a set's colour comes from under `choice`.
ColourSource SourceOfColour(const MeasurementSet& set, ColourChoice choice) {
    switch (choice) {
        case ColourChoice::Auto:
            break;
        case ColourChoice::Spectra:
            if (set.source != ColourSource::Spectrum)
                throw Error(set.path, "has no spectra; it states " +
                                          std::string(SourceName(set.source)) + " only");
            break;
        case ColourChoice::Stated:
            if (!set.hasStated)
                throw Error(set.path,
                            "states no colour (XYZ_X XYZ_Y XYZ_Z or LAB_L LAB_A LAB_B), only "
                            "spectra");
            return set.statedSource;
    }
    return set.source;
}

// A stated condition in capitals, letters and digits only ("2_DEGREE" -> "2DEGREE").
std::string Plain(const std::string& text) {
    std::string out;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c))) out += UpperAscii(c);
    return out;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The library's D50 white, that of its hosts and of ICC profiles.
constexpr std::array<double, 3> kLibraryD50 = {96.42f, 100.0f, 82.49f};

// The white a file states for its colours (ILLUMINANT_WHITE_POINT_XYZ: X Y Z, on the unit or
// the percent scale), on the percent scale.
std::optional<std::array<double, 3>> StatedWhite(const MeasurementSet& set) {
    const std::string* text = KeywordValue(set, "ILLUMINANT_WHITE_POINT_XYZ");
    if (!text) return std::nullopt;
    std::istringstream words(*text);
    std::array<double, 3> white{};
    std::string word;
    for (double& value : white)
        if (!(words >> word) || ParseNumber(word, &value) != NumberResult::Ok || !(value > 0))
            throw Error(set.path, "ILLUMINANT_WHITE_POINT_XYZ '" + Printable(*text) +
                                      "' is not three positive numbers");
    const double scale = white[1] <= 2 ? 100.0 : 1.0;
    for (double& value : white) value *= scale;
    return white;
}

// The conditions a file states for its stated colour; D50 and 2 degrees where it states none;
// the white it states, else that of the conditions (the library's for D50 and 2 degrees).
ColourConditions StatedConditions(const MeasurementSet& set) {
    ColourConditions conditions;
    conditions.assumed = set.conditions.illuminant.empty() && set.conditions.observer.empty();
    if (!set.conditions.illuminant.empty()) {
        std::string name = Plain(set.conditions.illuminant);
        for (const std::string noise : {"CIE", "ILLUMINANT"})
            if (name.rfind(noise, 0) == 0) name.erase(0, noise.size());
        std::optional<Illuminant> illuminant = ParseIlluminant(name);
        // "D50_2", "D65/10": the observer after the illuminant, unless OBSERVER says.
        for (const std::string observer : {"10", "2"})
            if (!illuminant && EndsWith(name, observer)) {
                illuminant = ParseIlluminant(name.substr(0, name.size() - observer.size()));
                if (illuminant && observer == "10") conditions.observer = Observer::TenDegree;
            }
        if (!illuminant)
            throw Error(set.path, "states ILLUMINANT " + Printable(set.conditions.illuminant) +
                                      ", whose white is not known here (D50, D65, A, C, F2, F7 "
                                      "and F11 are)");
        conditions.illuminant = *illuminant;
    }
    if (!set.conditions.observer.empty()) {
        const std::string name = Plain(set.conditions.observer);
        if (name.rfind("10", 0) == 0 || name.find("1964") != std::string::npos)
            conditions.observer = Observer::TenDegree;
        else if (name.rfind("2", 0) != 0 && name.find("1931") == std::string::npos)
            throw Error(set.path, "states OBSERVER " + Printable(set.conditions.observer) +
                                      ", neither 2 nor 10 degrees");
    }
    const bool d50 =
        conditions.illuminant == Illuminant::D50 && conditions.observer == Observer::TwoDegree;
    const auto stated = StatedWhite(set);
    conditions.white = stated ? *stated
                       : d50  ? kLibraryD50
                              : CieWhite(conditions.illuminant, conditions.observer);
    return conditions;
}

// The colour of a patch from the XYZ or L*a*b* its file states, relative to `white`.
Colour StatedColour(const std::array<double, 3>& v, ColourSource source,
                    const std::array<float, 3>& white) {
    Colour c;
    float xyz[3], lab[3];
    const auto x = static_cast<float>(v[0]), y = static_cast<float>(v[1]),
               z = static_cast<float>(v[2]);
    if (source == ColourSource::Xyz) {
        CX_XYZ2LAB_float(x, y, z, white[0], white[1], white[2], &lab[0], &lab[1], &lab[2]);
        c.xyz = v;
        c.lab = {lab[0], lab[1], lab[2]};
        return c;
    }
    CX_LAB2XYZ_float(x, y, z, white[0], white[1], white[2], &xyz[0], &xyz[1], &xyz[2]);
    c.xyz = {xyz[0], xyz[1], xyz[2]};
    c.lab = v;
    return c;
}

}  // namespace

std::string IlluminantName(Illuminant illuminant) {
    for (const auto& named : kIlluminantNames)
        if (named.illuminant == illuminant) return named.name;
    return "";
}

std::optional<Illuminant> ParseIlluminant(std::string_view name) {
    for (const auto& named : kIlluminantNames)
        if (EqualsIgnoreCase(name, named.name)) return named.illuminant;
    return std::nullopt;
}

std::optional<Observer> ParseObserver(std::string_view name) {
    if (name == "2") return Observer::TwoDegree;
    if (name == "10") return Observer::TenDegree;
    return std::nullopt;
}

ColourConditions ConditionsOfColour(const MeasurementSet& set, const Integration& integration) {
    if (SourceOfColour(set, integration.colour) != ColourSource::Spectrum)
        return StatedConditions(set);
    if (UsesTable(set, integration))
        return {Illuminant::D50, Observer::TwoDegree, false, kLibraryD50};
    return {integration.illuminant, integration.observer, false,
            CieWhite(integration.illuminant, integration.observer)};
}

std::string DescribeConditions(const ColourConditions& conditions) {
    return IlluminantName(conditions.illuminant) +
           (conditions.observer == Observer::TwoDegree ? ", 2 degree" : ", 10 degree") +
           (conditions.assumed ? ", assumed" : "");
}

std::string DescribeColour(const MeasurementSet& set, const Integration& integration) {
    const ColourSource source = SourceOfColour(set, integration.colour);
    if (source != ColourSource::Spectrum)
        return std::string(SourceName(source)) + " as given (" +
               DescribeConditions(StatedConditions(set)) + ")";
    const std::string scale = "; " + DescribeScale(set.scale);
    if (UsesTable(set, integration))
        return "spectra, the library's D50 table (2 degree, 400 to 700 nm)" + scale;
    return "spectra, CIE " + IlluminantName(integration.illuminant) + " " +
           (integration.observer == Observer::TwoDegree ? "2" : "10") + " degree, " +
           std::to_string(set.firstNm) + " to " + std::to_string(set.lastNm) + " nm every " +
           StepName(set.stepNm) + scale;
}

bool UsesLibraryTable(const MeasurementSet& set, const Integration& integration) {
    return set.source == ColourSource::Spectrum && UsesTable(set, integration);
}

Integration SharedIntegration(const MeasurementSet& reference, const MeasurementSet& sample,
                              Integration integration) {
    auto table = [&](const MeasurementSet& set) {
        return SourceOfColour(set, integration.colour) != ColourSource::Spectrum ||
               UsesTable(set, integration);
    };
    if (!table(reference) || !table(sample)) integration.cie = true;
    return integration;
}

std::array<double, 3> CieWhite(Illuminant illuminant, Observer observer) {
    std::array<double, 3> white{};
    for (const auto& weight :
         MakeWeights(illuminant, observer, cie::kFirstNm, cie::kStepNm, cie::kCount))
        for (int j = 0; j < 3; ++j) white[j] += weight[j];
    return white;
}

std::vector<Colour> Colours(const MeasurementSet& set, const Integration& integration) {
    const ColourSource source = SourceOfColour(set, integration.colour);
    if (source == ColourSource::Spectrum && !UsesTable(set, integration)) {
        Integration cie = integration;
        cie.cie = true;
        return CieColours(set, cie);
    }
    if (source == ColourSource::Spectrum) RequireSurfaces(set);
    if (integration.cie && integration.colour == ColourChoice::Auto)
        RequireSpectra(set, "integration for " + IlluminantName(integration.illuminant));
    std::vector<Colour> colours;
    colours.reserve(set.patches.size());
    AdviseLargePages(colours.data(), colours.capacity() * sizeof(Colour));
    if (source == ColourSource::Spectrum) {
        for (std::size_t k = 0; k < set.patches.size(); ++k) colours.push_back(TableColour(set, k));
        return colours;
    }
    const std::array<double, 3>& white = StatedConditions(set).white;
    const std::array<float, 3> narrowed = {
        static_cast<float>(white[0]), static_cast<float>(white[1]), static_cast<float>(white[2])};
    for (const Patch& patch : set.patches) {
        colours.push_back(StatedColour(patch.values, source, narrowed));
        // Both as given, where the file states both.
        if (set.statesXyzToo) colours.back().xyz = patch.xyz;
    }
    return colours;
}

std::size_t PaperPatch(const MeasurementSet& set, const std::vector<Colour>& colours, PairedBy by,
                       const std::string& key) {
    if (key.empty()) {
        std::size_t lightest = 0;
        for (std::size_t k = 1; k < colours.size(); ++k)
            if (colours[k].xyz[1] > colours[lightest].xyz[1]) lightest = k;
        return lightest;
    }
    const bool byName = by == PairedBy::SampleName, byLocation = by == PairedBy::Location;
    const bool present = byName ? set.hasName : byLocation ? set.hasLocation : set.hasId;
    const std::string field = byName ? "SAMPLE_NAME" : byLocation ? "SAMPLE_LOC" : "SAMPLE_ID";
    if (!present) throw Error(set.path, "has no " + field + " to find the paper white by");
    for (std::size_t k = 0; k < set.patches.size(); ++k) {
        const Patch& patch = set.patches[k];
        if ((byName ? patch.name : byLocation ? patch.location : patch.id) == key) return k;
    }
    throw Error(set.path, "no patch with " + field + " '" + Printable(key) + "' for paper white");
}

void RelativeToPaper(std::vector<Colour>& colours, std::size_t paper,
                     const std::array<double, 3>& white) {
    const std::array<double, 3> media = colours[paper].xyz;
    for (Colour& c : colours) {
        float lab[3];
        CX_XYZ2LAB_float(static_cast<float>(c.xyz[0]), static_cast<float>(c.xyz[1]),
                         static_cast<float>(c.xyz[2]), static_cast<float>(media[0]),
                         static_cast<float>(media[1]), static_cast<float>(media[2]), &lab[0],
                         &lab[1], &lab[2]);
        for (int j = 0; j < 3; ++j) c.xyz[j] *= white[j] / media[j];
        c.lab = {lab[0], lab[1], lab[2]};
    }
}

Densities DensitiesOf(const MeasurementSet& set, std::size_t k) {
    RequireTableSamples(set, "densities");
    const auto spectrum = TableSpectrum(set, k);
    Densities d;
    SpectrumToDensityT(spectrum.data(), d.statusT.data());
    SpectrumToDensityI(spectrum.data(), d.statusI.data());
    return d;
}

}  // namespace vantrel::measure
