// Pairing a sample set with its reference, the conditions both state, statistics of the
// differences and the verdict against tolerances.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "measure/text_util.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

const std::string& KeyOf(const Patch& patch, bool byId) {
    return byId ? patch.id : patch.name;
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Index of each patch by its key; a key given twice makes the pairing ambiguous.
std::unordered_map<std::string_view, std::size_t> IndexByKey(const MeasurementSet& set, bool byId,
                                                             const std::string& field) {
    std::unordered_map<std::string_view, std::size_t> index;
    index.reserve(set.patches.size());
    for (std::size_t k = 0; k < set.patches.size(); ++k) {
        const Patch& patch = set.patches[k];
        auto [at, added] = index.emplace(KeyOf(patch, byId), k);
        if (!added)
            throw Error({set.path, patch.line, field, 0},
                        field + " '" + Printable(KeyOf(patch, byId)) +
                            "' given twice (first on line " +
                            std::to_string(set.patches[at->second].line) + ")");
    }
    return index;
}

bool SameKeysInOrder(const MeasurementSet& reference, const MeasurementSet& sample, bool byId) {
    if (reference.patches.size() != sample.patches.size()) return false;
    for (std::size_t k = 0; k < reference.patches.size(); ++k)
        if (KeyOf(reference.patches[k], byId) != KeyOf(sample.patches[k], byId)) return false;
    return true;
}

std::string Unmatched(const MeasurementSet& set, std::size_t count, const std::string& first,
                      const std::string& field, const MeasurementSet& other) {
    return set.path + ": " + Plural(count, "patch", "patches") + " with no " + field + " in " +
           other.path + " (first: '" + Printable(first) + "'), left out";
}

Pairing PairByKey(const MeasurementSet& reference, const MeasurementSet& sample, bool byId) {
    Pairing pairing;
    pairing.by = byId ? PairedBy::SampleId : PairedBy::SampleName;
    const std::string field = PairedByName(pairing.by);
    const auto inReference = IndexByKey(reference, byId, field);
    // Files listing the same keys in the same order pair by place; the sample's keys are
    // then the reference's, given twice where those are.
    if (SameKeysInOrder(reference, sample, byId)) {
        for (std::size_t k = 0; k < reference.patches.size(); ++k) pairing.pairs.emplace_back(k, k);
        return pairing;
    }
    const auto inSample = IndexByKey(sample, byId, field);
    std::size_t onlyReference = 0, onlySample = 0;
    std::string firstReference, firstSample;
    for (std::size_t k = 0; k < reference.patches.size(); ++k) {
        const std::string& key = KeyOf(reference.patches[k], byId);
        auto found = inSample.find(key);
        if (found != inSample.end()) {
            pairing.pairs.emplace_back(k, found->second);
        } else if (onlyReference++ == 0) {
            firstReference = key;
        }
    }
    for (const Patch& patch : sample.patches)
        if (!inReference.count(KeyOf(patch, byId)) && onlySample++ == 0)
            firstSample = KeyOf(patch, byId);
    if (pairing.pairs.empty())
        throw Error(sample.path, "no " + field + " in common with " + reference.path);
    if (onlyReference)
        pairing.warnings.push_back(
            Unmatched(reference, onlyReference, firstReference, field, sample));
    if (onlySample)
        pairing.warnings.push_back(Unmatched(sample, onlySample, firstSample, field, reference));
    return pairing;
}

Pairing PairByOrder(const MeasurementSet& reference, const MeasurementSet& sample) {
    Pairing pairing;
    const std::size_t n = std::min(reference.patches.size(), sample.patches.size());
    if (reference.patches.size() != sample.patches.size())
        pairing.warnings.push_back(reference.path + " has " +
                                   Plural(reference.patches.size(), "patch", "patches") + ", " +
                                   sample.path + " has " + std::to_string(sample.patches.size()) +
                                   ": compared the first " + std::to_string(n) + " in file order");
    for (std::size_t k = 0; k < n; ++k) pairing.pairs.emplace_back(k, k);
    return pairing;
}

// A stated condition in a form that ignores case, spaces and punctuation ("2_DEGREE" and
// "2 degree" agree).
std::string Normalised(const std::string& value) {
    std::string out;
    for (char c : value)
        if (std::isalnum(static_cast<unsigned char>(c))) out += UpperAscii(c);
    for (const char* unit : {"DEGREES", "DEGREE", "DEG"}) {
        const std::string suffix = unit;
        if (out.size() > suffix.size() &&
            out.compare(out.size() - suffix.size(), suffix.size(), suffix) == 0) {
            out.erase(out.size() - suffix.size());
            break;
        }
    }
    return out;
}

// The q-quantile of sorted values, interpolated linearly between the two nearest ranks: rank
// q (n - 1) counted from 0.
double Quantile(const std::vector<double>& sorted, double q) {
    const double rank = q * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

}  // namespace

std::string PatchLabel(const MeasurementSet& set, std::size_t k) {
    const Patch& patch = set.patches[k];
    if (!patch.id.empty()) return patch.id;
    if (!patch.name.empty()) return patch.name;
    return "#" + std::to_string(k + 1);
}

std::string PairedByName(PairedBy by) {
    switch (by) {
        case PairedBy::SampleId:
            return "SAMPLE_ID";
        case PairedBy::SampleName:
            return "SAMPLE_NAME";
        case PairedBy::Order:
            break;
    }
    return "order";
}

Pairing PairPatches(const MeasurementSet& reference, const MeasurementSet& sample) {
    if (reference.hasId && sample.hasId) return PairByKey(reference, sample, true);
    if (reference.hasName && sample.hasName) return PairByKey(reference, sample, false);
    return PairByOrder(reference, sample);
}

void CheckConditions(const MeasurementSet& reference, const MeasurementSet& sample) {
    struct Stated {
        const char* keyword;
        std::string Conditions::*member;
    };
    static const Stated kStated[] = {
        {"ILLUMINANT", &Conditions::illuminant},
        {"OBSERVER", &Conditions::observer},
        {"MEASUREMENT_CONDITION", &Conditions::measurementCondition},
        {"FILTER", &Conditions::filter},
    };
    for (const Stated& stated : kStated) {
        const std::string& ref = reference.conditions.*stated.member;
        const std::string& smp = sample.conditions.*stated.member;
        if (ref.empty() || smp.empty() || Normalised(ref) == Normalised(smp)) continue;
        throw Error(sample.path, std::string("conditions differ: ") + reference.path + " states " +
                                     stated.keyword + " " + Printable(ref) + ", " + sample.path +
                                     " states " + Printable(smp));
    }
}

Statistics Summarise(const std::vector<double>& differences) {
    Statistics s;
    s.count = differences.size();
    double sum = 0;
    for (std::size_t k = 0; k < differences.size(); ++k) {
        sum += differences[k];
        if (differences[k] > s.max) {
            s.max = differences[k];
            s.worst = k;
        }
    }
    const auto n = static_cast<double>(s.count);
    s.mean = sum / n;
    double squares = 0;
    for (double d : differences) squares += (d - s.mean) * (d - s.mean);
    s.stdDev = s.count > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
    std::vector<double> sorted(differences);
    std::sort(sorted.begin(), sorted.end());
    s.median = Quantile(sorted, 0.5);
    s.p95 = Quantile(sorted, 0.95);
    return s;
}

Verdict Judge(const std::vector<double>& differences, const Statistics& statistics,
              const Tolerances& tolerances) {
    Verdict verdict;
    auto check = [&](const char* name, const std::optional<double>& limit, double value) {
        if (!limit) return;
        verdict.checks.push_back({name, *limit, value, value <= *limit});
        verdict.pass = verdict.pass && verdict.checks.back().pass;
    };
    check("max", tolerances.max, statistics.max);
    check("mean", tolerances.mean, statistics.mean);
    check("p95", tolerances.p95, statistics.p95);
    if (tolerances.max)
        verdict.overMax = static_cast<std::size_t>(std::count_if(
            differences.begin(), differences.end(), [&](double d) { return d > *tolerances.max; }));
    return verdict;
}

std::vector<std::size_t> WorstFirst(const std::vector<double>& differences) {
    std::vector<std::size_t> order(differences.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return differences[a] > differences[b]; });
    return order;
}

Comparison Compare(const MeasurementSet& reference, const MeasurementSet& sample,
                   const CompareOptions& options) {
    return Compare(reference, Colours(reference, options.integration), sample,
                   Colours(sample, options.integration), options);
}

Comparison Compare(const MeasurementSet& reference, const std::vector<Colour>& referenceColours,
                   const MeasurementSet& sample, const std::vector<Colour>& sampleColours,
                   const CompareOptions& options) {
    if (!options.ignoreConditions) CheckConditions(reference, sample);
    Comparison comparison;
    comparison.pairing = PairPatches(reference, sample);
    comparison.patches.reserve(comparison.pairing.pairs.size());
    comparison.differences.reserve(comparison.pairing.pairs.size());
    for (const auto& [r, s] : comparison.pairing.pairs) {
        ComparedPatch patch;
        patch.reference = r;
        patch.sample = s;
        patch.referenceLab = referenceColours[r].lab;
        patch.sampleLab = sampleColours[s].lab;
        patch.difference = Difference(options.metric, patch.referenceLab, patch.sampleLab);
        patch.components = SignedDifferences(patch.referenceLab, patch.sampleLab);
        comparison.differences.push_back(patch.difference);
        comparison.patches.push_back(patch);
    }
    comparison.statistics = Summarise(comparison.differences);
    comparison.verdict = Judge(comparison.differences, comparison.statistics, options.tolerances);
    return comparison;
}

}  // namespace vantrel::measure
