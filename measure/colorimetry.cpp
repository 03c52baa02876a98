// The colour of a set's patches: from spectra with the library's D50 table or a CIE
// illuminant and observer, or from the file's XYZ or L*a*b*; and densities of spectra.
#include <algorithm>

#include "cie_tables.h"
#include "large_pages.h"
#include "text_util.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

// The library's D50 table and density responses cover 400 to 700 nm in 10 nm steps.
constexpr int kTableFirstNm = 400;
constexpr int kTableLastNm = 700;
constexpr int kTableSamples = 31;
constexpr double kPercent = 100.0;

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

// The 32-element spectrum of the library's functions (element 0 unused, 400 to 700 nm in
// elements 1 to 31), read as factors: percent values are narrowed first and then divided, as
// the values of a percent file always were.
std::array<float, kTableSamples + 1> TableSpectrum(const MeasurementSet& set, std::size_t k) {
    const float* values = set.Spectrum(k) + (kTableFirstNm - set.firstNm) / 10;
    std::array<float, kTableSamples + 1> spectrum{};
    if (!set.percentReflectance) {
        std::copy(values, values + kTableSamples, spectrum.begin() + 1);
        return spectrum;
    }
    // The divisions in groups of four (a count the compiler makes vector divisions of, with
    // no remainder loop), then the last three.
    constexpr int kGrouped = kTableSamples / 4 * 4;
    for (int i = 0; i < kGrouped; ++i)
        spectrum[static_cast<std::size_t>(i) + 1] = values[i] / 100.0f;
    for (int i = kGrouped; i < kTableSamples; ++i)
        spectrum[static_cast<std::size_t>(i) + 1] = values[i] / 100.0f;
    return spectrum;
}

void RequireSpectra(const MeasurementSet& set, const std::string& purpose) {
    if (set.source != ColourSource::Spectrum)
        throw Error(set.path, purpose + " needs spectral fields; this file has " +
                                  SourceName(set.source) + " only");
}

void RequireTableRange(const MeasurementSet& set, const std::string& purpose) {
    RequireSpectra(set, purpose);
    const int missing = set.firstNm > kTableFirstNm ? kTableFirstNm
                        : set.lastNm < kTableLastNm ? kTableLastNm
                                                    : 0;
    if (missing)
        throw Error(set.path, "field " + set.spectralPrefix + std::to_string(missing) +
                                  " missing: " + purpose + " needs 400 to 700 nm");
}

// Integration weights over the wavelengths of a set that the CIE tables cover, scaled so that
// a perfect reflector has Y = 100.
struct CieWeights {
    int firstNm = 0, lastNm = 0;
    std::vector<std::array<double, 3>> weights;  // from firstNm, every 10 nm
};

CieWeights MakeWeights(Illuminant illuminant, Observer observer, int firstNm, int lastNm) {
    CieWeights w;
    w.firstNm = std::max(firstNm, cie::kFirstNm);
    w.lastNm = std::min(lastNm, cie::kLastNm);
    const auto& power = cie::kIlluminants[static_cast<int>(illuminant)];
    const auto& cmf = cie::kObservers[static_cast<int>(observer)];
    double ySum = 0;
    for (int nm = w.firstNm; nm <= w.lastNm; nm += cie::kStepNm) {
        const auto i = static_cast<std::size_t>((nm - cie::kFirstNm) / cie::kStepNm);
        w.weights.push_back(
            {power[i] * cmf.xyz[0][i], power[i] * cmf.xyz[1][i], power[i] * cmf.xyz[2][i]});
        ySum += w.weights.back()[1];
    }
    const double scale = ySum > 0 ? kPercent / ySum : 0;
    for (auto& weight : w.weights)
        for (double& value : weight) value *= scale;
    return w;
}

std::vector<Colour> CieColours(const MeasurementSet& set, const Integration& integration) {
    RequireSpectra(set, "integration for " + IlluminantName(integration.illuminant));
    const CieWeights w =
        MakeWeights(integration.illuminant, integration.observer, set.firstNm, set.lastNm);
    if (w.weights.empty())
        throw Error(set.path,
                    "the spectra lie outside 360 to 830 nm, the range of the CIE "
                    "tables");
    const std::array<double, 3> white =
        CieWhite(integration.illuminant, integration.observer, set.firstNm, set.lastNm);
    const double divisor = set.percentReflectance ? kPercent : 1.0;
    const std::size_t offset = static_cast<std::size_t>((w.firstNm - set.firstNm) / 10);
    std::vector<Colour> colours;
    colours.reserve(set.patches.size());
    AdviseLargePages(colours.data(), colours.capacity() * sizeof(Colour));
    colours.resize(set.patches.size());
    for (std::size_t k = 0; k < colours.size(); ++k) {
        const float* values = set.Spectrum(k) + offset;
        Colour& c = colours[k];
        for (std::size_t i = 0; i < w.weights.size(); ++i)
            for (int j = 0; j < 3; ++j) c.xyz[j] += w.weights[i][j] * (values[i] / divisor);
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
    switch (set.source) {
        case ColourSource::Spectrum: {
            const auto spectrum = TableSpectrum(set, k);
            CX_SpectrumToD50XYZ(spectrum.data(), xyz);
            CX_D50XYZ2LAB(xyz[0], xyz[1], xyz[2], &lab[0], &lab[1], &lab[2]);
            c.xyz = {xyz[0], xyz[1], xyz[2]};
            c.lab = {lab[0], lab[1], lab[2]};
            break;
        }
        case ColourSource::Xyz: {
            const auto& v = set.patches[k].values;
            CX_D50XYZ2LAB(static_cast<float>(v[0]), static_cast<float>(v[1]),
                          static_cast<float>(v[2]), &lab[0], &lab[1], &lab[2]);
            c.xyz = v;
            c.lab = {lab[0], lab[1], lab[2]};
            break;
        }
        case ColourSource::Lab: {
            const auto& v = set.patches[k].values;
            CX_D50LAB2XYZ(static_cast<float>(v[0]), static_cast<float>(v[1]),
                          static_cast<float>(v[2]), &xyz[0], &xyz[1], &xyz[2]);
            c.xyz = {xyz[0], xyz[1], xyz[2]};
            c.lab = v;
            break;
        }
    }
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

std::string DescribeColour(const MeasurementSet& set, const Integration& integration) {
    if (set.source != ColourSource::Spectrum)
        return std::string(SourceName(set.source)) + " as given (D50)";
    if (!integration.cie) return "spectra, the library's D50 table (2 degree, 400 to 700 nm)";
    const int first = std::max(set.firstNm, cie::kFirstNm);
    const int last = std::min(set.lastNm, cie::kLastNm);
    return "spectra, CIE " + IlluminantName(integration.illuminant) + " " +
           (integration.observer == Observer::TwoDegree ? "2" : "10") + " degree, " +
           std::to_string(first) + " to " + std::to_string(last) + " nm every 10 nm";
}

std::array<double, 3> CieWhite(Illuminant illuminant, Observer observer, int firstNm, int lastNm) {
    std::array<double, 3> white{};
    for (const auto& weight : MakeWeights(illuminant, observer, firstNm, lastNm).weights)
        for (int j = 0; j < 3; ++j) white[j] += weight[j];
    return white;
}

std::vector<Colour> Colours(const MeasurementSet& set, const Integration& integration) {
    if (integration.cie) return CieColours(set, integration);
    if (set.source == ColourSource::Spectrum) RequireTableRange(set, "the D50 table");
    std::vector<Colour> colours;
    colours.reserve(set.patches.size());
    AdviseLargePages(colours.data(), colours.capacity() * sizeof(Colour));
    for (std::size_t k = 0; k < set.patches.size(); ++k) colours.push_back(TableColour(set, k));
    return colours;
}

Densities DensitiesOf(const MeasurementSet& set, std::size_t k) {
    RequireTableRange(set, "densities");
    const auto spectrum = TableSpectrum(set, k);
    Densities d;
    SpectrumToDensityT(spectrum.data(), d.statusT.data());
    SpectrumToDensityI(spectrum.data(), d.statusI.data());
    return d;
}

}  // namespace vantrel::measure
