// vantrel compare: the colour differences between a reference set and a sample set of
// measurements, with statistics and a verdict against tolerances. The reading, pairing, colour
// science, statistics and picture are libvantrel_measure's.
#include <future>
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
    bool sort = false;
    size_t worst = 0;  // 0: every patch
    int referenceTable = 1, sampleTable = 1;
    std::vector<std::string> paths;
};

CompareRequest ParseCompare(const cli::Options& options) {
    CompareRequest r;
    r.options.metric = cli::MetricOf(options);
    r.options.integration = cli::IntegrationOf(options);
    r.options.tolerances = TolerancesOf(options);
    r.options.ignoreConditions = options.Has("--ignore-conditions");
    r.format = cli::FormatOf(options);
    r.png = options.Value("--png");
    r.sort = options.Has("--sort");
    r.worst = static_cast<size_t>(options.Whole("--worst", 0));
    const int both = static_cast<int>(options.Whole("--table", 1));
    r.referenceTable = static_cast<int>(options.Whole("--ref-table", both));
    r.sampleTable = static_cast<int>(options.Whole("--sample-table", both));
    r.paths = cli::Expect(options.Operands(), {"REFERENCE", "SAMPLE"});
    if (r.paths[0] == "-" && r.paths[1] == "-")
        throw cli::UsageError("standard input ('-') can be only one of the two files");
    cli::RefuseOutputOverInput(r.png, "--png", r.paths);
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

std::string ColourLine(const CompareRequest& r, const measure::MeasurementSet& reference,
                       const measure::MeasurementSet& sample) {
    const std::string ref = measure::DescribeColour(reference, r.options.integration);
    const std::string smp = measure::DescribeColour(sample, r.options.integration);
    return ref == smp ? ref : "reference " + ref + "; sample " + smp;
}

// The summary: as "label  value" lines for the table, as members for JSON.
void AddSummary(const CompareRequest& r, const measure::MeasurementSet& reference,
                const measure::MeasurementSet& sample, const measure::Comparison& c,
                cli::Report& report) {
    const measure::Statistics& s = c.statistics;
    const std::string parameters = measure::MetricParameters(r.options.metric);
    const std::string worst = measure::PatchLabel(reference, c.patches[s.worst].reference);
    auto n = [&](double v) { return cli::Fixed(v, cli::DecimalsOf(r.format)); };
    report.summary = {
        {"metric", measure::MetricLabel(r.options.metric) +
                       (parameters.empty() ? "" : " (" + parameters + ")")},
        {"colour", ColourLine(r, reference, sample)},
        {"patches", std::to_string(s.count) + " matched by " + measure::PairedByName(c.pairing.by)},
        {"mean", n(s.mean)},
        {"std. deviation", n(s.stdDev)},
        {"median", n(s.median)},
        {"95th percentile", n(s.p95)},
        {"maximum", n(s.max) + " (" + worst + ")"},
    };
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
    const char* verdict = c.verdict.pass ? "PASS" : "FAIL";
    if (!c.verdict.checks.empty()) report.summary.emplace_back("verdict", verdict);

    report.head = {{"reference", cli::Json::Text(reference.path)},
                   {"sample", cli::Json::Text(sample.path)},
                   {"metric", cli::Json::Text(measure::MetricLabel(r.options.metric))},
                   {"parameters", cli::Json::Text(parameters)},
                   {"matched_by", cli::Json::Text(measure::PairedByName(c.pairing.by))}};
    report.tail = {
        {"summary", cli::Json::Object()
                        .AddInteger("count", static_cast<long long>(s.count))
                        .Add("mean", cli::Json::Literal(n(s.mean)))
                        .Add("std_dev", cli::Json::Literal(n(s.stdDev)))
                        .Add("median", cli::Json::Literal(n(s.median)))
                        .Add("p95", cli::Json::Literal(n(s.p95)))
                        .Add("max", cli::Json::Literal(n(s.max)))
                        .AddText("max_patch", worst)},
        {"colour",
         cli::Json::Object()
             .AddText("reference", measure::DescribeColour(reference, r.options.integration))
             .AddText("sample", measure::DescribeColour(sample, r.options.integration))}};
    if (c.verdict.checks.empty()) return;
    report.tail.emplace_back("tolerances", std::move(tolerances));
    report.tail.emplace_back("verdict", cli::Json::Text(verdict));
}

// A file read and its colours computed: the two files of a comparison are read at the same
// time, one on a thread of its own.
struct ReadFile {
    measure::MeasurementSet set;
    std::vector<measure::Colour> colours;
};

ReadFile ReadWithColours(const std::string& path, int table,
                         const measure::Integration& integration) {
    ReadFile file{cli::ReadSet(path, table), {}};
    file.colours = measure::Colours(file.set, integration);
    return file;
}

int RunCompare(const cli::Invocation& run) {
    CompareRequest r = ParseCompare(run.options);
    auto later = std::async(std::launch::async, ReadWithColours, r.paths[1], r.sampleTable,
                            r.options.integration);
    ReadFile first = ReadWithColours(r.paths[0], r.referenceTable, r.options.integration);
    ReadFile second = later.get();
    try {
        if (!r.options.ignoreConditions) measure::CheckConditions(first.set, second.set);
    } catch (const measure::Error& e) {
        throw cli::Failure(std::string(e.what()) + " (--ignore-conditions compares them anyway)");
    }
    // Both files integrated alike, and a scale guessed for one settled by the other: then the
    // colours are computed again.
    const measure::Integration integration =
        measure::SharedIntegration(first.set, second.set, r.options.integration);
    const bool guessed = first.set.scale.basis == measure::ScaleBasis::Guess ||
                         second.set.scale.basis == measure::ScaleBasis::Guess;
    measure::SettleGuessedScale(first.set, second.set, r.options);
    for (ReadFile* file : {&first, &second})
        if (guessed ||
            (integration.cie && measure::UsesLibraryTable(file->set, r.options.integration)))
            file->colours = measure::Colours(file->set, integration);
    r.options.integration = integration;
    const measure::MeasurementSet& reference = first.set;
    const measure::MeasurementSet& sample = second.set;
    measure::CompareOptions options = r.options;
    options.ignoreConditions = true;
    options.pairBy = reference.hasId && sample.hasId       ? measure::PairedBy::SampleId
                     : reference.hasName && sample.hasName ? measure::PairedBy::SampleName
                                                           : measure::PairedBy::Order;
    // The pairs are measured in two halves at once.
    measure::Comparison c = measure::StartComparison(reference, sample, options);
    const size_t pairs = c.patches.size(), half = pairs / 2;
    auto measured = std::async(std::launch::async, [&] {
        measure::MeasurePairs(c, first.colours, second.colours, r.options.metric, half, pairs);
    });
    measure::MeasurePairs(c, first.colours, second.colours, r.options.metric, 0, half);
    measured.get();
    measure::FinishComparison(c, r.options.tolerances);
    if (!r.png.empty()) measure::WriteReportPng(r.png, reference, sample, c, r.options);

    cli::Report report;
    report.rows = PairRows(r, reference, c);
    report.rows.RequireFinite();
    std::vector<std::string> warnings = reference.warnings;
    warnings.insert(warnings.end(), sample.warnings.begin(), sample.warnings.end());
    cli::WarnOfStatedConditions(reference, r.options.integration, warnings);
    cli::WarnOfStatedConditions(sample, r.options.integration, warnings);
    warnings.insert(warnings.end(), c.pairing.warnings.begin(), c.pairing.warnings.end());
    cli::Warn(run.command, warnings);
    AddSummary(r, reference, sample, c, report);
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
                                "condition or filter differ"));
    options.push_back(cli::FormatOption());
    options.push_back(cli::Text(
        "--png", {"FILE"},
        "also draw the comparison (at most 4096 x 4096 pixels): a title with both files and "
        "the metric, a legend, a histogram of the differences with the tolerances, and a split "
        "swatch per pair (reference left, sample right, in sRGB) labelled with its "
        "difference, the worst tenth outlined. When not all fit, the worst are drawn, worst "
        "first, and the picture says how many were left out. FILE may not be one of the "
        "inputs."));
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
     "Patches are paired by SAMPLE_ID when both files have it, else by SAMPLE_NAME when both\n"
     "have it, else by their order in the files. Patches without a partner are left out with\n"
     "a warning; so are the surplus patches when pairing by order. When both files state an\n"
     "ILLUMINANT, OBSERVER, MEASUREMENT_CONDITION (M0 to M3) or FILTER in their header and\n"
     "these differ, nothing is compared (exit status 1) unless --ignore-conditions is given.\n\n"
     "Summary: metric and parameters, where the colour came from, count, mean, standard\n"
     "deviation (of a sample: divided by n - 1), median, 95th percentile and maximum with its\n"
     "patch; then each tolerance given with PASS or FAIL, and the verdict. Median and 95th\n"
     "percentile interpolate linearly between the two nearest ranks: the q-quantile of n\n"
     "sorted values v[0..n-1] is taken at rank q (n - 1).\n\n"
     "Exit status: 0 success, every tolerance met; 1 bad input (one line naming the file,\n"
     "and the line and field at fault; nothing written) or a failed write; 2 bad usage;\n"
     "3 a tolerance failed (everything is still printed and drawn).\n",
     "vantrel compare examples/reference.cgats examples/measured.cgats --max 5",
     RunCompare});

}  // namespace
