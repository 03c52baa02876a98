#include "measure_common.h"

#include "input.h"

namespace cli {

namespace measure = vantrel::measure;

namespace {

// The factors of each metric, in the order they are checked.
struct Factor {
    const char* option;
    const char* help;
    bool cmc;  // a factor of CMC, else of CIEDE2000 and CIE 1994
};
constexpr Factor kFactors[] = {
    {"--kl", "parametric lightness factor of dE00 and dE94 (default 1)", false},
    {"--kc", "parametric chroma factor of dE00 and dE94 (default 1)", false},
    {"--kh", "parametric hue factor of dE00 and dE94 (default 1)", false},
    {"--l", "CMC lightness factor (default 2)", true},
    {"--c", "CMC chroma factor (default 1)", true},
};

}  // namespace

std::vector<Option> MetricOptions() {
    std::vector<Option> options = {
        Choice("--metric", {"2000", "94", "cmc", "ab"},
               "2000 (CIEDE2000, dE00, default, computed in double precision), 94 (CIE 1994, "
               "dE94), cmc (CMC l:c, dECMC) or ab (CIE 1976, dE*ab); the reference is the "
               "standard of the weighted metrics")};
    for (const Factor& f : kFactors)
        options.push_back(Real(f.option, {"K"}, kPositive, f.help)
                              .Double()
                              .When("--metric",
                                    f.cmc ? std::vector<std::string>{"cmc"}
                                          : std::vector<std::string>{"2000", "94"},
                                    "2000"));
    return options;
}

measure::MetricChoice MetricOf(const Options& options) {
    measure::MetricChoice m;
    const std::string name = options.Value("--metric", "2000");
    m.metric = name == "94"    ? measure::Metric::Cie94
               : name == "cmc" ? measure::Metric::Cmc
               : name == "ab"  ? measure::Metric::Cie76
                               : measure::Metric::Ciede2000;
    double* targets[] = {&m.kL, &m.kC, &m.kH, &m.l, &m.c};
    for (size_t k = 0; k < std::size(kFactors); ++k) {
        if (!options.Has(kFactors[k].option)) continue;
        // CIEDE2000 is computed in double precision; the library's other metrics take their
        // factors in single precision.
        *targets[k] = m.metric == measure::Metric::Ciede2000 ? options.Double(kFactors[k].option)
                                                             : options.Float(kFactors[k].option);
    }
    return m;
}

std::vector<Option> IntegrationOptions() {
    return {Text("--illuminant", {"ILL"},
                 "D50, D65, A, C, F2, F7 or F11 (D50 when only --observer is given)")
                .Check([](const std::vector<std::string>& values) {
                    if (!measure::ParseIlluminant(values[0]))
                        throw UsageError("option --illuminant: " + Quoted(values[0]) +
                                         " is not D50, D65, A, C, F2, F7 or F11");
                }),
            Choice("--observer", {"2", "10"}, "2 (CIE 1931, default) or 10 (CIE 1964)")};
}

Option ColourOption() {
    return Choice("--colour", {"spectra", "stated"},
                  "where the colour comes from: the spectra, or the XYZ or L*a*b* the file "
                  "states (under the ILLUMINANT and OBSERVER it states, D50 and 2 degrees "
                  "where it states none); by default the spectra when the file has them");
}

measure::Integration IntegrationOf(const Options& options) {
    measure::Integration integration;
    const std::string colour = options.Value("--colour");
    integration.colour = colour == "spectra"  ? measure::ColourChoice::Spectra
                         : colour == "stated" ? measure::ColourChoice::Stated
                                              : measure::ColourChoice::Auto;
    if (!options.Has("--illuminant") && !options.Has("--observer")) return integration;
    integration.cie = true;
    if (options.Has("--illuminant"))
        integration.illuminant = *measure::ParseIlluminant(options.Value("--illuminant"));
    if (options.Has("--observer"))
        integration.observer = *measure::ParseObserver(options.Value("--observer"));
    return integration;
}

Option TableOption(const char* name, std::string help) {
    constexpr long long kMaxTable = 1000000;
    return Whole(name, "N", 1, kMaxTable, std::move(help));
}

std::vector<Option> SpectralScaleOptions(const std::string& prefix, const std::string& which) {
    // Options keep their names as pointers: these live as long as the program.
    static const char* const kNames[][3] = {{"", "--percent", "--factors"},
                                            {"ref-", "--ref-percent", "--ref-factors"},
                                            {"sample-", "--sample-percent", "--sample-factors"}};
    const char* percent = kNames[0][1];
    const char* factors = kNames[0][2];
    for (const auto& names : kNames)
        if (prefix == names[0]) percent = names[1], factors = names[2];
    return {Flag(percent, "the spectral values of " + which + " are percent reflectance (0 to 100)")
                .Excludes(factors, "excludes " + std::string(factors)),
            Flag(factors, "the spectral values of " + which + " are reflectance factors (0 to 1)")};
}

std::optional<measure::SpectralScale> SpectralScaleOf(const Options& options,
                                                      const std::string& prefix) {
    for (const std::string& p : {prefix, std::string()}) {
        if (options.Has("--" + p + "percent")) return measure::SpectralScale::Percent;
        if (options.Has("--" + p + "factors")) return measure::SpectralScale::Factors;
    }
    return std::nullopt;
}

measure::MeasurementSet ReadSet(const std::string& path, const measure::ReadOptions& read) {
    if (path != "-") return measure::ReadCgats(path, read);
    return measure::ParseCgats(ReadInput("-"), "standard input", read);
}

Json ScaleJson(const measure::ScaleDecision& decision) {
    return Json::Object()
        .AddText("scale", measure::ScaleName(decision.scale))
        .AddText("basis", measure::ScaleBasisName(decision.basis))
        .AddText("reason", decision.reason);
}

void WarnOfGuessedScale(const measure::MeasurementSet& set, const std::string& prefix,
                        std::vector<std::string>& warnings) {
    if (set.source != measure::ColourSource::Spectrum ||
        set.scale.basis != measure::ScaleBasis::Guess)
        return;
    warnings.push_back(set.path + ": spectral values read as " + measure::DescribeScale(set.scale) +
                       "; --" + prefix + "percent or --" + prefix + "factors says which");
}

void WarnOfStatedConditions(const measure::MeasurementSet& set,
                            const measure::Integration& integration,
                            std::vector<std::string>& warnings) {
    if (set.source != measure::ColourSource::Spectrum) return;
    const auto illuminant = measure::ParseIlluminant(set.conditions.illuminant);
    const std::string& observer = set.conditions.observer;
    const bool tenDegrees = observer.rfind("10", 0) == 0;
    const bool twoDegrees = observer.rfind("2", 0) == 0;
    const bool usedTen = integration.observer == measure::Observer::TenDegree;
    if ((illuminant && *illuminant != integration.illuminant) || (tenDegrees && !usedTen) ||
        (twoDegrees && usedTen))
        warnings.push_back(set.path + ": states ILLUMINANT '" + set.conditions.illuminant +
                           "' and OBSERVER '" + observer + "'; its spectra were integrated for " +
                           measure::IlluminantName(integration.illuminant) +
                           (usedTen ? " and 10 degrees" : " and 2 degrees") +
                           " (--illuminant and --observer choose)");
}

int DecimalsOf(Format format) {
    return format == Format::kTable ? 2 : 4;
}

}  // namespace cli
