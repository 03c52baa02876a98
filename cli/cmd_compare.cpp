// vantrel compare: the colour differences between a reference set and a sample set of
// measurements, with statistics and a verdict against tolerances. The reading, pairing, colour
// science, statistics and picture are libvantrel_measure's.
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"
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

struct CompareRequest {
    measure::CompareOptions options;
    cli::Format format = cli::Format::kTable;
    std::string png;
    int pngWidth = measure::kReportWidth;
    bool sort = false;
    size_t worst = 0;  // 0: every patch
    measure::ReadOptions reference, sample;
    std::vector<std::string> paths;
};

CompareRequest ParseCompare(const cli::Options& options) {
    CompareRequest r;
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

// The rows to list: every pair in the reference's order, or worst first, or the worst N.
std::vector<size_t> ListedRows(const CompareRequest& r, const measure::Comparison& c) {
    if (!r.sort && r.worst == 0) {
        std::vector<size_t> rows(c.patches.size());
        for (size_t k = 0; k < rows.size(); ++k) rows[k] = k;
        return rows;
    }
    std::vector<size_t> rows = measure::WorstFirst(c.differences);
    if (r.worst && r.worst < rows.size()) rows.resize(r.worst);
    return rows;
}

cli::RowSet PairRows(const CompareRequest& r, const measure::MeasurementSet& reference,
                     const measure::Comparison& c) {
    const bool machine = r.format != cli::Format::kTable;
    const int decimals = cli::DecimalsOf(r.format);
    std::vector<cli::RowSet::Column> columns = {{"id", "id", false}};
    if (reference.hasName) columns.push_back({"name", "name", false});
    if (reference.hasLocation) columns.push_back({"location", "location", false});
    const char* const kLab[] = {"L*", "a*", "b*"};
    for (const char* side : {"ref", "smp"})
        for (const char* name : kLab)
            columns.push_back(
                {std::string(name) + side, std::string(1, name[0]) + "_" + side, true});
    if (machine) {
        columns.push_back({"dL*", "dL", true});
        columns.push_back({"dC*", "dC", true});
        columns.push_back({"dH*", "dH", true});
    }
    columns.push_back({measure::MetricLabel(r.options.metric), "dE", true});
    const std::vector<size_t> listed = ListedRows(r, c);
    cli::RowSet rows(std::move(columns));
    rows.Reserve(listed.size());
    for (const size_t k : listed) {
        const measure::ComparedPatch& p = c.patches[k];
        const measure::Patch& patch = reference.patches[p.reference];
        rows.Text(patch.id.empty() ? measure::PatchLabel(reference, p.reference) : patch.id);
        if (reference.hasName) rows.Text(patch.name);
        if (reference.hasLocation) rows.Text(patch.location);
        for (double v : p.referenceLab) rows.Value(v, decimals);
        for (double v : p.sampleLab) rows.Value(v, decimals);
        if (machine) {
            rows.Value(p.components.dL, decimals);
            rows.Value(p.components.dC, decimals);
            rows.Value(p.components.dH, decimals);
        }
        rows.Value(p.difference, decimals);
    }
    return rows;
}

// The conditions that differ between the files, where --ignore-conditions let them through.
std::vector<std::string> IgnoredConditions(const CompareRequest& r,
                                           const measure::FileComparison& f) {
    std::vector<std::string> ignored;
    if (!r.options.ignoreConditions) return ignored;
    const std::function<void()> checks[] = {
        [&] { measure::CheckConditions(f.reference, f.sample); },
        [&] { measure::CheckColourConditions(f.reference, f.sample, f.integration); }};
    for (const auto& check : checks) {
        try {
            check();
        } catch (const measure::Error& e) {
            std::string message = e.what();
            ignored.push_back(message.substr(message.find(": ") + 2));
        }
    }
    return ignored;
}

// The groups of a tolerance profile: a summary line each, and their JSON.
void AddGroups(const CompareRequest& r, const measure::Comparison& c, cli::Report& report) {
    if (c.groups.empty()) return;
    auto n = [&](double v) { return cli::Fixed(v, cli::DecimalsOf(r.format)); };
    cli::Json groups = cli::Json::Array();
    for (const measure::GroupResult& g : c.groups) {
        cli::Json json = cli::Json::Object()
                             .AddText("name", g.name)
                             .AddInteger("patches", static_cast<long long>(g.members.size()));
        std::string text =
            std::to_string(g.members.size()) + (g.members.size() == 1 ? " patch" : " patches");
        if (g.members.empty()) {
            text += ", none to judge";
        } else {
            const measure::Statistics& s = g.statistics;
            text += ", mean " + n(s.mean) + ", p95 " + n(s.p95) + ", max " + n(s.max);
            json.Add("mean", cli::Json::Literal(n(s.mean)))
                .Add("p95", cli::Json::Literal(n(s.p95)))
                .Add("max", cli::Json::Literal(n(s.max)));
            cli::Json checks = cli::Json::Object();
            for (const measure::LimitCheck& check : g.verdict.checks) {
                text +=
                    "; " + check.name + " " + n(check.limit) + " " + (check.pass ? "PASS" : "FAIL");
                checks.Add(check.name, cli::Json::Object()
                                           .Add("limit", cli::Json::Literal(n(check.limit)))
                                           .Add("value", cli::Json::Literal(n(check.value)))
                                           .Add("pass", cli::Json::Bool(check.pass)));
            }
            json.Add("limits", std::move(checks));
        }
        json.Add("pass", cli::Json::Bool(g.verdict.pass));
        report.summary.emplace_back("group " + g.name, text);
        groups.Push(std::move(json));
    }
    report.tail.emplace_back("groups", std::move(groups));
}

// The summary: as "label  value" lines for the table, as members for JSON.
void AddSummary(const CompareRequest& r, const measure::FileComparison& f, cli::Report& report) {
    const measure::MeasurementSet &reference = f.reference, &sample = f.sample;
    const measure::Comparison& c = f.comparison;
    const measure::Statistics& s = c.statistics;
    const std::string parameters = measure::MetricParameters(r.options.metric);
    const std::string worst = measure::PatchLabel(reference, c.patches[s.worst].reference);
    const std::string referenceColour = measure::DescribeColour(reference, f.integration);
    const std::string sampleColour = measure::DescribeColour(sample, f.integration);
    const std::string pairing =
        std::to_string(s.count) + " matched by " + measure::PairedByName(c.pairing.by);
    auto n = [&](double v) { return cli::Fixed(v, cli::DecimalsOf(r.format)); };
    report.summary = {
        {"metric", measure::MetricLabel(r.options.metric) +
                       (parameters.empty() ? "" : " (" + parameters + ")")},
        {"reference", referenceColour},
        {"sample", sampleColour},
        {"patches", pairing},
    };
    cli::Json paper = cli::Json::Null();
    if (c.paper) {
        const std::string refPaper = measure::PatchLabel(reference, c.paper->first);
        const std::string smpPaper = measure::PatchLabel(sample, c.paper->second);
        report.summary.emplace_back(
            "media-relative", "paper white " + refPaper + " and " + smpPaper + " taken as L* 100");
        paper = cli::Json::Object().AddText("reference", refPaper).AddText("sample", smpPaper);
    }
    const std::vector<std::string> ignored = IgnoredConditions(r, f);
    for (const std::string& what : ignored) report.summary.emplace_back("ignored", what);
    for (const auto& [label, value] : std::initializer_list<std::pair<const char*, std::string>>{
             {"mean", n(s.mean)},
             {"std. deviation", n(s.stdDev)},
             {"median", n(s.median)},
             {"95th percentile", n(s.p95)},
             {"maximum", n(s.max) + " (" + worst + ")"}})
        report.summary.emplace_back(label, value);
    cli::Json tolerances = cli::Json::Object();
    for (const measure::LimitCheck& check : c.verdict.checks) {
        std::string text = n(check.limit) + "  " + (check.pass ? "PASS" : "FAIL");
        cli::Json limit = cli::Json::Object()
                              .Add("limit", cli::Json::Literal(n(check.limit)))
                              .Add("value", cli::Json::Literal(n(check.value)))
                              .Add("pass", cli::Json::Bool(check.pass));
        if (check.name == "max") {
            text += " (" + std::to_string(c.verdict.overMax) + " patch" +
                    (c.verdict.overMax == 1 ? "" : "es") + " over)";
            limit.AddInteger("over", static_cast<long long>(c.verdict.overMax));
        }
        report.summary.emplace_back("limit " + check.name, text);
        tolerances.Add(check.name, std::move(limit));
    }
    const bool judged = !c.verdict.checks.empty() || !c.groups.empty();

    report.head = {{"reference", cli::Json::Text(reference.path)},
                   {"sample", cli::Json::Text(sample.path)},
                   {"metric", cli::Json::Text(measure::MetricLabel(r.options.metric))},
                   {"parameters", cli::Json::Text(parameters)},
                   {"matched_by", cli::Json::Text(measure::PairedByName(c.pairing.by))}};
    cli::Json colour =
        cli::Json::Object().AddText("reference", referenceColour).AddText("sample", sampleColour);
    cli::Json scale = cli::Json::Object();
    for (const measure::MeasurementSet* set : {&reference, &sample})
        scale.Add(set == &reference ? "reference" : "sample",
                  set->source == measure::ColourSource::Spectrum ? cli::ScaleJson(set->scale)
                                                                 : cli::Json::Null());
    cli::Json ignoredJson = cli::Json::Array();
    for (const std::string& what : ignored) ignoredJson.Push(cli::Json::Text(what));
    report.tail = {{"summary", cli::Json::Object()
                                   .AddInteger("count", static_cast<long long>(s.count))
                                   .Add("mean", cli::Json::Literal(n(s.mean)))
                                   .Add("std_dev", cli::Json::Literal(n(s.stdDev)))
                                   .Add("median", cli::Json::Literal(n(s.median)))
                                   .Add("p95", cli::Json::Literal(n(s.p95)))
                                   .Add("max", cli::Json::Literal(n(s.max)))
                                   .AddText("max_patch", worst)},
                   {"colour", std::move(colour)},
                   {"scale", std::move(scale)},
                   {"media_relative", std::move(paper)},
                   {"conditions_ignored", std::move(ignoredJson)}};
    AddGroups(r, c, report);
    const char* verdict = c.verdict.pass ? "PASS" : "FAIL";
    if (!judged) return;
    if (!c.verdict.checks.empty()) report.tail.emplace_back("tolerances", std::move(tolerances));
    report.summary.emplace_back("verdict", verdict);
    report.tail.emplace_back("verdict", cli::Json::Text(verdict));
}

int RunCompare(const cli::Invocation& run) {
    const CompareRequest r = ParseCompare(run.options);
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
    report.rows = PairRows(r, f.reference, c);
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
    AddSummary(r, f, report);
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
