// Tolerance profiles: groups of patches (by id or name pattern, device values or the
// reference's colour), each judged by its own metric and limits, absolute or media-relative.
//
// The file is text, one statement a line, '#' to the end of a line a comment:
//   paper KEY                        the paper white for media-relative groups (else the
//                                    lightest patch)
//   group NAME...                    begins a group; the statements below belong to it:
//     ids PATTERN...                 SAMPLE_ID matches one of the patterns (* and ?)
//     names PATTERN...               SAMPLE_NAME matches one of the patterns
//     device FIELD=V FIELD=LO..HI    every field of the line within its value (V: within half
//                                    a unit) or range; several device lines are alternatives
//     lightness LO..HI, chroma LO..HI   the reference's L* and C*ab
//     metric 2000 [kL kC kH] | 94 [kL kC kH] | cmc [l c] | ab
//     max X, mean X, p95 X           limits on the group's differences
//     max-dh X                       limit on each patch's |dH*ab|
//     relative yes|no                media-relative (each file's paper white is L* 100)
// A patch belongs to every group whose criteria it meets (no criteria: every patch).
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "measure/decimal.h"
#include "text_util.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

// Whether `text` matches `pattern`, where * stands for any run of bytes and ? for one.
bool Matches(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& text) {
    return patterns.empty() || std::any_of(patterns.begin(), patterns.end(),
                                           [&](const std::string& p) { return Matches(p, text); });
}

class ProfileParser {
  public:
    explicit ProfileParser(const std::string& name) { profile_.path = name; }

    ToleranceProfile Parse(std::string_view text) {
        std::istringstream lines{std::string(text)};
        std::string line;
        while (std::getline(lines, line)) {
            ++line_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            Statement(Words(line));
        }
        Close();
        if (profile_.groups.empty()) Fail(0, "defines no group");
        return std::move(profile_);
    }

  private:
    [[noreturn]] void Fail(int line, const std::string& message) const {
        throw Error({profile_.path, line, {}, 0}, message);
    }

    static std::vector<std::string> Words(const std::string& line) {
        std::istringstream in(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; in >> word;) words.push_back(word);
        return words;
    }

    double Number(const std::string& text) const {
        double value = 0;
        if (ParseNumber(text, &value) != NumberResult::Ok)
            Fail(line_, "'" + Printable(text) + "' is not a number");
        return value;
    }

    double Limit(const std::vector<std::string>& words) const {
        if (words.size() != 2) Fail(line_, words[0] + " takes one number");
        const double value = Number(words[1]);
        if (value < 0) Fail(line_, words[0] + " " + Printable(words[1]) + " is below 0");
        return value;
    }

    // "V" (within half a unit) or "LO..HI".
    Range RangeOf(const std::string& text) const {
        const std::size_t dots = text.find("..");
        if (dots == std::string::npos) {
            const double value = Number(text);
            return {value - 0.5, value + 0.5};
        }
        const Range range{Number(text.substr(0, dots)), Number(text.substr(dots + 2))};
        if (range.low > range.high) Fail(line_, "range " + Printable(text) + " runs backwards");
        return range;
    }

    MetricChoice Metric(const std::vector<std::string>& words) const {
        MetricChoice metric;
        const std::string& name = words.size() > 1 ? words[1] : std::string();
        std::size_t factors = 0;
        if (name == "2000" || name == "94") {
            metric.metric = name == "2000" ? Metric::Ciede2000 : Metric::Cie94;
            factors = 3;
        } else if (name == "cmc") {
            metric.metric = Metric::Cmc;
            factors = 2;
        } else if (name == "ab") {
            metric.metric = Metric::Cie76;
        } else {
            Fail(line_, "metric is 2000, 94, cmc or ab");
        }
        if (words.size() != 2 && words.size() != 2 + factors)
            Fail(line_,
                 "metric " + name + " takes " + std::to_string(factors) + " factors or none");
        double* targets[3] = {&metric.kL, &metric.kC, &metric.kH};
        if (metric.metric == Metric::Cmc) targets[0] = &metric.l, targets[1] = &metric.c;
        for (std::size_t k = 2; k < words.size(); ++k) {
            *targets[k - 2] = Number(words[k]);
            if (!(*targets[k - 2] > 0)) Fail(line_, "a factor must be above 0");
        }
        return metric;
    }

    void Statement(const std::vector<std::string>& words) {
        if (words.empty()) return;
        const std::string& keyword = words[0];
        if (keyword == "paper") {
            if (words.size() != 2) Fail(line_, "paper takes one key");
            profile_.paper = words[1];
            return;
        }
        if (keyword == "group") {
            Close();
            if (words.size() < 2) Fail(line_, "group takes a name");
            PatchGroup group;
            group.line = line_;
            for (std::size_t k = 1; k < words.size(); ++k)
                group.name += (k > 1 ? " " : "") + words[k];
            for (const PatchGroup& other : profile_.groups)
                if (other.name == group.name)
                    Fail(line_, "group '" + Printable(group.name) +
                                    "' defined twice (first on line " + std::to_string(other.line) +
                                    ")");
            open_ = true;
            profile_.groups.push_back(std::move(group));
            return;
        }
        if (!open_) Fail(line_, "'" + Printable(keyword) + "' before the first group");
        PatchGroup& group = profile_.groups.back();
        const std::vector<std::string> rest(words.begin() + 1, words.end());
        if (keyword == "ids" || keyword == "names") {
            if (rest.empty()) Fail(line_, keyword + " takes one pattern or more");
            auto& patterns = keyword == "ids" ? group.ids : group.names;
            patterns.insert(patterns.end(), rest.begin(), rest.end());
        } else if (keyword == "device") {
            if (rest.empty()) Fail(line_, "device takes FIELD=VALUE or FIELD=LOW..HIGH");
            std::vector<std::pair<std::string, Range>> alternative;
            for (const std::string& word : rest) {
                const std::size_t equals = word.find('=');
                if (equals == std::string::npos || equals == 0)
                    Fail(line_, "'" + Printable(word) + "' is not FIELD=VALUE or FIELD=LOW..HIGH");
                alternative.emplace_back(word.substr(0, equals), RangeOf(word.substr(equals + 1)));
            }
            group.device.push_back(std::move(alternative));
        } else if (keyword == "lightness" || keyword == "chroma") {
            if (rest.size() != 1) Fail(line_, keyword + " takes LOW..HIGH");
            (keyword == "lightness" ? group.lightness : group.chroma) = RangeOf(rest[0]);
        } else if (keyword == "metric") {
            group.metric = Metric(words);
        } else if (keyword == "max") {
            group.limits.max = Limit(words);
        } else if (keyword == "mean") {
            group.limits.mean = Limit(words);
        } else if (keyword == "p95") {
            group.limits.p95 = Limit(words);
        } else if (keyword == "max-dh") {
            group.maxDeltaH = Limit(words);
        } else if (keyword == "relative") {
            if (rest.size() != 1 || (rest[0] != "yes" && rest[0] != "no"))
                Fail(line_, "relative is yes or no");
            group.relative = rest[0] == "yes";
        } else {
            Fail(line_, "'" + Printable(keyword) +
                            "' is not a statement of a tolerance profile (paper, group, ids, "
                            "names, device, lightness, chroma, metric, max, mean, p95, max-dh, "
                            "relative)");
        }
    }

    // The group being read is complete: it must judge something.
    void Close() {
        if (!open_) return;
        const PatchGroup& group = profile_.groups.back();
        if (!group.limits.Any() && !group.maxDeltaH)
            Fail(group.line,
                 "group '" + Printable(group.name) + "' sets no limit (max, mean, p95 or max-dh)");
        open_ = false;
    }

    ToleranceProfile profile_;
    int line_ = 0;
    bool open_ = false;
};

// Whether patch k of a comparison belongs to `group`.
bool Belongs(const PatchGroup& group, const MeasurementSet& reference, const ComparedPatch& patch,
             const std::vector<std::size_t>& deviceColumns) {
    const Patch& p = reference.patches[patch.reference];
    if (!MatchesAny(group.ids, p.id) || !MatchesAny(group.names, p.name)) return false;
    const auto& lab = patch.referenceLab;
    if (group.lightness && !group.lightness->Contains(lab[0])) return false;
    if (group.chroma && !group.chroma->Contains(std::hypot(lab[1], lab[2]))) return false;
    if (group.device.empty()) return true;
    const double* device = reference.Device(patch.reference);
    std::size_t column = 0;
    for (const auto& alternative : group.device) {
        bool all = true;
        for (const auto& condition : alternative)
            if (!condition.second.Contains(device[deviceColumns[column++]])) all = false;
        if (all) return true;
    }
    return false;
}

}  // namespace

bool Range::Contains(double value) const {
    return value >= low && value <= high;
}

ToleranceProfile ParseToleranceProfile(std::string_view text, const std::string& name) {
    return ProfileParser(name).Parse(text);
}

ToleranceProfile ReadToleranceProfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(path, "cannot open");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseToleranceProfile(text.str(), path);
}

std::vector<GroupResult> JudgeGroups(const MeasurementSet& reference, const MeasurementSet& sample,
                                     const Comparison& comparison, const ToleranceProfile& profile,
                                     const CompareOptions& options,
                                     const std::vector<Colour>& referenceColours,
                                     const std::vector<Colour>& sampleColours) {
    // Media-relative colours, where a group asks for them.
    std::vector<Colour> referenceRelative, sampleRelative;
    if (std::any_of(profile.groups.begin(), profile.groups.end(),
                    [](const PatchGroup& g) { return g.relative; })) {
        referenceRelative = referenceColours;
        sampleRelative = sampleColours;
        CompareOptions relative = options;
        relative.paper = profile.paper;
        MakeRelative(reference, sample, relative,
                     SharedIntegration(reference, sample, options.integration), referenceRelative,
                     sampleRelative);
    }
    std::vector<GroupResult> results;
    for (const PatchGroup& group : profile.groups) {
        GroupResult result;
        result.name = group.name;
        // The device fields a group names, as columns of the reference.
        std::vector<std::size_t> deviceColumns;
        for (const auto& alternative : group.device)
            for (const auto& condition : alternative) {
                const std::string& field = condition.first;
                const auto found =
                    std::find_if(reference.deviceFields.begin(), reference.deviceFields.end(),
                                 [&](const std::string& f) { return EqualsIgnoreCase(f, field); });
                if (found == reference.deviceFields.end())
                    throw Error({profile.path, group.line, field, 0},
                                "group '" + Printable(group.name) + "': " + reference.path +
                                    " has no field " + Printable(field));
                deviceColumns.push_back(
                    static_cast<std::size_t>(found - reference.deviceFields.begin()));
            }
        const MetricChoice metric = group.metric ? *group.metric : options.metric;
        const auto& refColours = group.relative ? referenceRelative : referenceColours;
        const auto& smpColours = group.relative ? sampleRelative : sampleColours;
        double largestDeltaH = 0;
        for (std::size_t k = 0; k < comparison.patches.size(); ++k) {
            const ComparedPatch& patch = comparison.patches[k];
            if (!Belongs(group, reference, patch, deviceColumns)) continue;
            const auto& r = refColours[patch.reference].lab;
            const auto& s = smpColours[patch.sample].lab;
            result.members.push_back(k);
            result.differences.push_back(Difference(metric, r, s));
            largestDeltaH = std::max(largestDeltaH, std::fabs(SignedDifferences(r, s).dH));
        }
        if (!result.differences.empty()) {
            result.statistics = Summarise(result.differences);
            result.verdict = Judge(result.differences, result.statistics, group.limits);
            if (group.maxDeltaH) {
                const bool pass = largestDeltaH <= *group.maxDeltaH;
                result.verdict.checks.push_back({"max-dh", *group.maxDeltaH, largestDeltaH, pass});
                result.verdict.pass = result.verdict.pass && pass;
            }
        }
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace vantrel::measure
