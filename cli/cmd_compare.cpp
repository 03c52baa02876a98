// vantrel compare: the colour differences between a reference set and a sample set of
// measurements, with statistics and a verdict against tolerances. The reading, pairing, colour
// science, statistics and picture are libvantrel_measure's.
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "compare_report.h"
#include "input.h"
#include "measure_common.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

measure::Tolerances TolerancesOf(const cli::Options& options) {
    measure::Tolerances tolerances;
    const std::pair<const char*, std::optional<double>*> limits[] = {
        {"--max", &tolerances.max}, {"--mean", &tolerances.mean}, {"--p95", &tolerances.p95}};
    for (const auto& [option, target] : limits)
        if (options.Has(option)) *target = options.Double(option);
    return tolerances;
}

cli::CompareRequest ParseCompare(const cli::Options& options) {
    cli::CompareRequest r;
    r.options.metric = cli::MetricOf(options);
    r.options.integration = cli::IntegrationOf(options);
    r.options.tolerances = TolerancesOf(options);
    r.options.ignoreConditions = options.Has("--ignore-conditions");
    r.options.pairBy = *measure::ParsePairedBy(options.Value("--pair", "id"));
    r.options.relativeToPaper = options.Has("--relative-to-paper");
    r.options.paper = options.Value("--paper");
    if (options.Has("--tolerances")) {
        r.options.profile = measure::ReadToleranceProfile(options.Value("--tolerances"));
        if (options.Has("--paper")) r.options.profile->paper = r.options.paper;
    }
    r.format = cli::FormatOf(options);
    r.png = options.Value("--png");
    r.pngWidth = static_cast<int>(options.Whole("--png-width", measure::kReportWidth));
    r.sort = options.Has("--sort");
    r.worst = static_cast<size_t>(options.Whole("--worst", 0));
    const int both = static_cast<int>(options.Whole("--table", 1));
    r.reference = {static_cast<int>(options.Whole("--ref-table", both)),
                   cli::SpectralScaleOf(options, "ref-")};
    r.sample = {static_cast<int>(options.Whole("--sample-table", both)),
                cli::SpectralScaleOf(options, "sample-")};
    r.paths = cli::Expect(options.Operands(), {"REFERENCE", "SAMPLE"});
    if (r.paths[0] == "-" && r.paths[1] == "-")
        throw cli::UsageError("standard input ('-') can be only one of the two files");
    cli::RefuseOutputOverInput(r.png, "--png", r.paths);
    if (options.Has("--tolerances"))
        cli::RefuseOutputOverInput(r.png, "--png", {options.Value("--tolerances")});
    cli::RefuseStandardOutputOverInput(r.paths);
    return r;
}

int RunCompare(const cli::Invocation& run) {
    const cli::CompareRequest r = ParseCompare(run.options);
    measure::FileComparison f;
    try {
        f = measure::CompareFiles([&] { return cli::ReadSet(r.paths[0], r.reference); },
                                  [&] { return cli::ReadSet(r.paths[1], r.sample); }, r.options);
    } catch (const measure::Error& e) {
        const std::string message = e.what();
        if (message.find("; pairing by ") != std::string::npos)
            throw cli::Failure(message + " (--pair chooses)");
        if (message.find("conditions differ") != std::string::npos ||
            message.find("colours under different conditions") != std::string::npos)
            throw cli::Failure(message + " (--ignore-conditions compares them anyway)");
        throw;
    }
    const measure::Comparison& c = f.comparison;
    measure::CompareOptions drawn = r.options;
    drawn.integration = f.integration;
    if (!r.png.empty()) measure::WriteReportPng(r.png, f.reference, f.sample, c, drawn, r.pngWidth);

    cli::Report report;
    report.rows = cli::CompareRows(r, f.reference, c);
    report.rows.RequireFinite();
    std::vector<std::string> warnings = f.reference.warnings;
    warnings.insert(warnings.end(), f.sample.warnings.begin(), f.sample.warnings.end());
    cli::WarnOfGuessedScale(f.reference, "ref-", warnings);
    cli::WarnOfGuessedScale(f.sample, "sample-", warnings);
    cli::WarnOfStatedConditions(f.reference, f.integration, warnings);
    cli::WarnOfStatedConditions(f.sample, f.integration, warnings);
    warnings.insert(warnings.end(), c.pairing.warnings.begin(), c.pairing.warnings.end());
    for (const measure::GroupResult& g : c.groups)
        if (g.members.empty())
            warnings.push_back(r.options.profile->path + ": group '" + g.name +
                               "' takes no patch of " + f.reference.path);
    cli::Warn(run.command, warnings);
    cli::AddCompareSummary(r, f, report);
    cli::Render(report, r.format, run.out);
    return c.verdict.pass ? cli::kExitOk : cli::kExitOutOfTolerance;
}

std::vector<cli::Option> CompareOptions() {
    std::vector<cli::Option> options = cli::MetricOptions();
    for (const cli::Option& o : cli::IntegrationOptions()) options.push_back(o);
    options.push_back(cli::Real("--max", {"X"}, cli::kNonNegative,
                                "tolerance on the largest difference; the summary also counts "
                                "the patches above it")
                          .Double());
    options.push_back(
        cli::Real("--mean", {"X"}, cli::kNonNegative, "tolerance on the mean difference").Double());
    options.push_back(
        cli::Real("--p95", {"X"}, cli::kNonNegative, "tolerance on the 95th percentile").Double());
    options.push_back(cli::Flag("--ignore-conditions",
                                "compare files whose stated illuminant, observer, measurement "
                                "condition or filter differ, or whose colours are under "
                                "different illuminants or observers; the summary names what "
                                "was ignored"));
    options.push_back(cli::Choice(
        "--pair", {"id", "name", "location", "order"},
        "how patches are paired: by SAMPLE_ID (default), SAMPLE_NAME, SAMPLE_LOC or their order "
        "in the files; by a field, both files must have it, with each key once"));
    options.push_back(cli::ColourOption());
    for (const cli::Option& o : cli::SpectralScaleOptions("", "both files")) options.push_back(o);
    for (const cli::Option& o : cli::SpectralScaleOptions("ref-", "the reference"))
        options.push_back(o);
    for (const cli::Option& o : cli::SpectralScaleOptions("sample-", "the sample"))
        options.push_back(o);
    options.push_back(cli::Text(
        "--tolerances", {"FILE"},
        "judge groups of patches each by its own metric and limits, absolute or media-relative, "
        "as the tolerance profile FILE says (see examples/press-check.tol); the verdict is "
        "every group's and every --max, --mean or --p95 given"));
    options.push_back(cli::Flag("--relative-to-paper",
                                "media-relative: each file's colours relative to its own paper "
                                "(or display) white, taken as L* 100, a* 0, b* 0"));
    options.push_back(cli::Text("--paper", {"KEY"},
                                "the paper white patch, by the key --pair pairs with (SAMPLE_ID "
                                "by order); the lightest patch of each file by default"));
    options.push_back(cli::FormatOption());
    options.push_back(cli::Text(
        "--png", {"FILE"},
        "also draw the comparison (at most 4096 x 4096 pixels): a title with both files and "
        "the metric, a legend, a histogram of the differences with the tolerances, and a split "
        "swatch per pair (reference left, sample right, in sRGB) labelled with its "
        "difference, the worst tenth outlined. When not all fit, the worst are drawn, worst "
        "first, and the picture says how many were left out. FILE may not be one of the "
        "inputs."));
    options.push_back(cli::Whole("--png-width", "N", 816, 4096,
                                 "the width of the picture in pixels (default 1600, an A4 "
                                 "page at 200 pixels an inch); cells shrink to fit it"));
    options.push_back(cli::Flag("--sort", "list the patches worst first"));
    options.push_back(cli::Whole("--worst", "N", 1, std::numeric_limits<long long>::max(),
                                 "list only the N worst patches, worst first (the summary "
                                 "covers all)"));
    options.push_back(cli::TableOption("--table", "read table N of both files"));
    options.push_back(cli::TableOption("--ref-table", "read table N of the reference"));
    options.push_back(cli::TableOption("--sample-table", "read table N of the sample"));
    return options;
}

const cli::Register compare_command(
    {"compare",
     "colour differences between a reference and a sample, with a verdict",
     {"compare REFERENCE SAMPLE"},
     CompareOptions(),
     "Reads two CGATS measurement files (see 'vantrel measure --help' for the fields and\n"
     "the integration of spectra; '-' reads one of them from standard input), pairs their\n"
     "patches and prints the colour difference of each pair and a summary: the table with\n"
     "2 decimals, csv (pairs only) and json with 4, and with the signed dL*, dC*ab and\n"
     "dH*ab of the sample from the reference.\n\n"
     "Patches are paired by SAMPLE_ID unless --pair says otherwise; by a field, both files\n"
     "must have it, each key once, and share a key: otherwise nothing is compared and the\n"
     "message names the ways that would pair them. Patches without a partner are left out\n"
     "with a warning; so are the surplus patches when pairing by order. Both files are\n"
     "integrated alike, and a file whose spectral scale is a guess is read the way that lies\n"
     "nearer the other file. When both files state an ILLUMINANT, OBSERVER,\n"
     "MEASUREMENT_CONDITION (M0 to M3) or FILTER and these differ, or their colours are under\n"
     "different illuminants or observers, nothing is compared (exit status 1) unless\n"
     "--ignore-conditions is given, and then the summary names what was ignored.\n\n"
     "Summary: metric and parameters, where each file's colour came from, the pairing, the\n"
     "paper white of a media-relative comparison, count, mean, standard deviation (of a\n"
     "sample: divided by n - 1), median, 95th percentile and maximum with its patch; then\n"
     "each tolerance given with PASS or FAIL, each group of a tolerance profile with its\n"
     "statistics and limits, and the verdict. Median and 95th percentile interpolate\n"
     "linearly between the two nearest ranks: the q-quantile of n sorted values v[0..n-1]\n"
     "is taken at rank q (n - 1).\n\n"
     "Exit status: 0 success, every tolerance met; 1 bad input (one line naming the file,\n"
     "and the line and field at fault; nothing written) or a failed write; 2 bad usage;\n"
     "3 a tolerance or a group failed (everything is still printed and drawn).\n",
     "vantrel compare examples/reference.cgats examples/measured.cgats --max 5",
     RunCompare});

}  // namespace
