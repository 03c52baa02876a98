// Pairing a sample set with its reference, the conditions both state, statistics of the
// differences and the verdict against tolerances.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <numeric>
#include <tuple>

#include "large_pages.h"
#include "text_util.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

const std::string& KeyOf(const Patch& patch, bool byId) {
    return byId ? patch.id : patch.name;
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The patches of a set by their key, in an open-addressed table of indices (one allocation
// for any number of patches). A key given twice makes the pairing ambiguous.
class KeyIndex {
  public:
    KeyIndex(const MeasurementSet& set, bool byId, const std::string& field)
        : set_(set), byId_(byId) {
        std::size_t size = 16;
        while (size < 2 * set.patches.size()) size *= 2;
        slots_.assign(size, kEmpty);
        for (std::size_t k = 0; k < set.patches.size(); ++k) {
            const std::string& key = KeyOf(set.patches[k], byId);
            std::size_t slot = Slot(key);
            for (; slots_[slot] != kEmpty; slot = (slot + 1) & (size - 1)) {
                const Patch& first = set.patches[slots_[slot]];
                if (KeyOf(first, byId) == key)
                    throw Error({set.path, set.patches[k].line, field, 0},
                                field + " '" + Printable(key) + "' given twice (first on line " +
                                    std::to_string(first.line) + ")");
            }
            slots_[slot] = static_cast<std::uint32_t>(k);
        }
    }

    // The index of the patch with `key`, or -1.
    long Find(std::string_view key) const {
        for (std::size_t slot = Slot(key); slots_[slot] != kEmpty;
             slot = (slot + 1) & (slots_.size() - 1))
            if (KeyOf(set_.patches[slots_[slot]], byId_) == key) return slots_[slot];
        return -1;
    }

  private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

    std::size_t Slot(std::string_view key) const {
        return std::hash<std::string_view>()(key) & (slots_.size() - 1);
    }

    const MeasurementSet& set_;
    bool byId_;
    std::vector<std::uint32_t> slots_;
};

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
    const KeyIndex inReference(reference, byId, field);
    // Files listing the same keys in the same order pair by place; the sample's keys are
    // then the reference's, given twice where those are.
    if (SameKeysInOrder(reference, sample, byId)) {
        for (std::size_t k = 0; k < reference.patches.size(); ++k) pairing.pairs.emplace_back(k, k);
        return pairing;
    }
    const KeyIndex inSample(sample, byId, field);
    std::size_t onlyReference = 0, onlySample = 0;
    std::string firstReference, firstSample;
    for (std::size_t k = 0; k < reference.patches.size(); ++k) {
        const std::string& key = KeyOf(reference.patches[k], byId);
        const long found = inSample.Find(key);
        if (found >= 0) {
            pairing.pairs.emplace_back(k, static_cast<std::size_t>(found));
        } else if (onlyReference++ == 0) {
            firstReference = key;
        }
    }
    for (const Patch& patch : sample.patches)
        if (inReference.Find(KeyOf(patch, byId)) < 0 && onlySample++ == 0)
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

// The q-quantile, interpolated linearly between the two nearest ranks: rank q (n - 1)
// counted from 0. `values` is reordered.
double Quantile(std::vector<double>& values, double q) {
    const double rank = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    std::nth_element(values.begin(), values.begin() + static_cast<long>(below), values.end());
    const double low = values[below];
    if (below + 1 >= values.size()) return low;
    // The next rank is the smallest of the values above.
    const double high =
        *std::min_element(values.begin() + static_cast<long>(below) + 1, values.end());
    return low + (rank - static_cast<double>(below)) * (high - low);
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
    std::vector<double> values(differences);
    s.median = Quantile(values, 0.5);
    s.p95 = Quantile(values, 0.95);
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

void SettleGuessedScale(MeasurementSet& reference, MeasurementSet& sample,
                        const CompareOptions& options) {
    auto doubtful = [](const MeasurementSet& set) {
        return set.source == ColourSource::Spectrum && set.scale.basis == ScaleBasis::Guess;
    };
    if (doubtful(reference) == doubtful(sample)) return;
    MeasurementSet& guessed = doubtful(reference) ? reference : sample;
    const MeasurementSet& other = doubtful(reference) ? sample : reference;
    const Integration integration = SharedIntegration(reference, sample, options.integration);
    const Pairing pairing = PairPatches(reference, sample);
    const std::vector<Colour> otherColours = Colours(other, integration);
    double mean[2];
    for (const SpectralScale scale : {SpectralScale::Factors, SpectralScale::Percent}) {
        guessed.scale.scale = scale;
        const std::vector<Colour> colours = Colours(guessed, integration);
        double sum = 0;
        for (const auto& [r, s] : pairing.pairs) {
            const bool isReference = &guessed == &reference;
            sum += Difference(options.metric, (isReference ? colours : otherColours)[r].lab,
                              (isReference ? otherColours : colours)[s].lab);
        }
        mean[static_cast<int>(scale)] = sum / static_cast<double>(pairing.pairs.size());
    }
    const bool percent = mean[1] < mean[0];
    guessed.scale.scale = percent ? SpectralScale::Percent : SpectralScale::Factors;
    auto figure = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", value);
        return std::string(text);
    };
    guessed.scale.reason += "; nearer " + other.path + " so: mean " + MetricLabel(options.metric) +
                            " " + figure(mean[percent]) + " against " + figure(mean[!percent]) +
                            " as " +
                            ScaleName(percent ? SpectralScale::Factors : SpectralScale::Percent);
}

Comparison Compare(const MeasurementSet& reference, const MeasurementSet& sample,
                   const CompareOptions& options) {
    Comparison comparison = StartComparison(reference, sample, options);
    const Integration integration = SharedIntegration(reference, sample, options.integration);
    MeasurePairs(comparison, Colours(reference, integration), Colours(sample, integration),
                 options.metric, 0, comparison.patches.size());
    FinishComparison(comparison, options.tolerances);
    return comparison;
}

Comparison StartComparison(const MeasurementSet& reference, const MeasurementSet& sample,
                           const CompareOptions& options) {
    if (!options.ignoreConditions) CheckConditions(reference, sample);
    Comparison comparison;
    comparison.pairing = PairPatches(reference, sample);
    comparison.patches.reserve(comparison.pairing.pairs.size());
    AdviseLargePages(comparison.patches.data(),
                     comparison.patches.capacity() * sizeof(ComparedPatch));
    comparison.patches.resize(comparison.pairing.pairs.size());
    comparison.differences.resize(comparison.pairing.pairs.size());
    return comparison;
}

void MeasurePairs(Comparison& comparison, const std::vector<Colour>& referenceColours,
                  const std::vector<Colour>& sampleColours, const MetricChoice& metric,
                  std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
        ComparedPatch& patch = comparison.patches[k];
        std::tie(patch.reference, patch.sample) = comparison.pairing.pairs[k];
        patch.referenceLab = referenceColours[patch.reference].lab;
        patch.sampleLab = sampleColours[patch.sample].lab;
        patch.difference = Difference(metric, patch.referenceLab, patch.sampleLab);
        patch.components = SignedDifferences(patch.referenceLab, patch.sampleLab);
        comparison.differences[k] = patch.difference;
    }
}

void FinishComparison(Comparison& comparison, const Tolerances& tolerances) {
    comparison.statistics = Summarise(comparison.differences);
    comparison.verdict = Judge(comparison.differences, comparison.statistics, tolerances);
}

}  // namespace vantrel::measure
