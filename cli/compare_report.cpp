// The rows and summary of vantrel compare.
#include "compare_report.h"

#include <functional>
#include <limits>
#include <optional>

#include "measure_common.h"

namespace cli {

namespace measure = vantrel::measure;

namespace {

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

}  // namespace

RowSet CompareRows(const CompareRequest& r, const measure::MeasurementSet& reference,
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

// The summary: as "label  value" lines for the table, as members for JSON.
void AddCompareSummary(const CompareRequest& r, const measure::FileComparison& f,
                       cli::Report& report) {
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

}  // namespace cli
