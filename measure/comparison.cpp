// Pairing a sample set with its reference, the conditions both state, statistics of the
// differences and the verdict against tolerances.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <future>
#include <numeric>
#include <tuple>

#include "measure/large_pages.h"
#include "text_util.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

using Key = std::string Patch::*;

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The field a way of pairing takes its keys from, the member that holds them, and whether a
// set has it.
struct KeyField {
    PairedBy by;
    Key key;
    bool MeasurementSet::*present;
};
constexpr KeyField kKeyFields[] = {
    {PairedBy::SampleId, &Patch::id, &MeasurementSet::hasId},
    {PairedBy::SampleName, &Patch::name, &MeasurementSet::hasName},
    {PairedBy::Location, &Patch::location, &MeasurementSet::hasLocation},
};

const KeyField& FieldOf(PairedBy by) {
    for (const KeyField& field : kKeyFields)
        if (field.by == by) return field;
    return kKeyFields[0];
}

// Whether two sets could be paired by a key field: both have it, give each key once and share
// a key.
bool Pairs(const MeasurementSet& reference, const MeasurementSet& sample, const KeyField& field);

// The other ways that could pair two sets, as "; pairing by location or order would do".
std::string OtherWays(const MeasurementSet& reference, const MeasurementSet& sample,
                      PairedBy failed) {
    std::vector<std::string> ways;
    for (const KeyField& field : kKeyFields)
        if (field.by != failed && Pairs(reference, sample, field))
            ways.push_back(PairedByOption(field.by));
    ways.push_back(PairedByOption(PairedBy::Order));
    std::string text = "; pairing by ";
    for (std::size_t k = 0; k < ways.size(); ++k)
        text += (k == 0 ? "" : k + 1 == ways.size() ? " or " : ", ") + ways[k];
    return text + " would do";
}

// The patches of a set by their key, in an open-addressed table of indices (one allocation
// for any number of patches). `repeated` is the first patch whose key an earlier one has.
class KeyIndex {
  public:
    KeyIndex(const MeasurementSet& set, Key key) : set_(set), key_(key) {
        std::size_t size = 16;
        while (size < 2 * set.patches.size()) size *= 2;
        slots_.assign(size, kEmpty);
        for (std::size_t k = 0; k < set.patches.size() && !repeated; ++k) {
            const std::string& text = set.patches[k].*key;
            std::size_t slot = Slot(text);
            for (; slots_[slot] != kEmpty && !repeated; slot = (slot + 1) & (size - 1))
                if (set.patches[slots_[slot]].*key == text) {
                    repeated = &set.patches[k];
                    first = &set.patches[slots_[slot]];
                }
            slots_[slot] = static_cast<std::uint32_t>(k);
        }
    }

    // The index of the patch with `text`, or -1.
    long Find(std::string_view text) const {
        for (std::size_t slot = Slot(text); slots_[slot] != kEmpty;
             slot = (slot + 1) & (slots_.size() - 1))
            if (set_.patches[slots_[slot]].*key_ == text) return slots_[slot];
        return -1;
    }

    const Patch* repeated = nullptr;
    const Patch* first = nullptr;

  private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

    std::size_t Slot(std::string_view text) const {
        return std::hash<std::string_view>()(text) & (slots_.size() - 1);
    }

    const MeasurementSet& set_;
    Key key_;
    std::vector<std::uint32_t> slots_;
};

bool Pairs(const MeasurementSet& reference, const MeasurementSet& sample, const KeyField& field) {
    if (!(reference.*field.present) || !(sample.*field.present)) return false;
    const KeyIndex inReference(reference, field.key), inSample(sample, field.key);
    return !inReference.repeated && !inSample.repeated &&
           std::any_of(sample.patches.begin(), sample.patches.end(),
                       [&](const Patch& patch) { return inReference.Find(patch.*field.key) >= 0; });
}

std::string Unmatched(const MeasurementSet& set, std::size_t count, const std::string& first,
                      const std::string& field, const MeasurementSet& other) {
    return set.path + ": " + Plural(count, "patch", "patches") + " with no " + field + " in " +
           other.path + " (first: '" + Printable(first) + "'), left out";
}

Pairing PairByKey(const MeasurementSet& reference, const MeasurementSet& sample, PairedBy by) {
    const KeyField& keyField = FieldOf(by);
    const Key key = keyField.key;
    const std::string field = PairedByName(by);
    for (const MeasurementSet* set : {&reference, &sample})
        if (!(set->*keyField.present))
            throw Error(set->path, "has no " + field + OtherWays(reference, sample, by));
    Pairing pairing;
    pairing.by = by;
    pairing.pairs.reserve(std::min(reference.patches.size(), sample.patches.size()));
    auto refuseRepeated = [&](const KeyIndex& index, const MeasurementSet& set) {
        if (index.repeated)
            throw Error({set.path, index.repeated->line, field, 0},
                        field + " '" + Printable(index.repeated->*key) +
                            "' given twice (first on line " + std::to_string(index.first->line) +
                            ")" + OtherWays(reference, sample, by));
    };
    const KeyIndex inReference(reference, key);
    refuseRepeated(inReference, reference);
    // Files listing the same keys in the same order pair by place.
    if (reference.patches.size() == sample.patches.size() &&
        std::equal(reference.patches.begin(), reference.patches.end(), sample.patches.begin(),
                   [&](const Patch& a, const Patch& b) { return a.*key == b.*key; })) {
        for (std::size_t k = 0; k < reference.patches.size(); ++k) pairing.pairs.emplace_back(k, k);
        return pairing;
    }
    const KeyIndex inSample(sample, key);
    refuseRepeated(inSample, sample);
    std::size_t onlyReference = 0, onlySample = 0;
    std::string firstReference, firstSample;
    for (std::size_t k = 0; k < reference.patches.size(); ++k) {
        const std::string& text = reference.patches[k].*key;
        const long found = inSample.Find(text);
        if (found >= 0) {
            pairing.pairs.emplace_back(k, static_cast<std::size_t>(found));
        } else if (onlyReference++ == 0) {
            firstReference = text;
        }
    }
    for (const Patch& patch : sample.patches)
        if (inReference.Find(patch.*key) < 0 && onlySample++ == 0) firstSample = patch.*key;
    if (pairing.pairs.empty())
        throw Error(sample.path, "no " + field + " in common with " + reference.path +
                                     OtherWays(reference, sample, by));
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
    pairing.pairs.reserve(n);
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
        case PairedBy::Location:
            return "SAMPLE_LOC";
        case PairedBy::Order:
            break;
    }
    return "order";
}

std::string PairedByOption(PairedBy by) {
    switch (by) {
        case PairedBy::SampleId:
            return "id";
        case PairedBy::SampleName:
            return "name";
        case PairedBy::Location:
            return "location";
        case PairedBy::Order:
            break;
    }
    return "order";
}

std::optional<PairedBy> ParsePairedBy(std::string_view name) {
    for (const PairedBy by :
         {PairedBy::SampleId, PairedBy::SampleName, PairedBy::Location, PairedBy::Order})
        if (name == PairedByOption(by)) return by;
    return std::nullopt;
}

Pairing PairPatches(const MeasurementSet& reference, const MeasurementSet& sample, PairedBy by) {
    return by == PairedBy::Order ? PairByOrder(reference, sample)
                                 : PairByKey(reference, sample, by);
}

Pairing PairPatches(const MeasurementSet& reference, const MeasurementSet& sample) {
    if (reference.hasId && sample.hasId) return PairByKey(reference, sample, PairedBy::SampleId);
    if (reference.hasName && sample.hasName)
        return PairByKey(reference, sample, PairedBy::SampleName);
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

std::pair<std::size_t, std::size_t> MakeRelative(const MeasurementSet& reference,
                                                 const MeasurementSet& sample,
                                                 const CompareOptions& options,
                                                 const Integration& integration,
                                                 std::vector<Colour>& referenceColours,
                                                 std::vector<Colour>& sampleColours) {
    const PairedBy by = options.pairBy == PairedBy::Order ? PairedBy::SampleId : options.pairBy;
    const std::size_t r = PaperPatch(reference, referenceColours, by, options.paper);
    const std::size_t s = PaperPatch(sample, sampleColours, by, options.paper);
    RelativeToPaper(referenceColours, r, ConditionsOfColour(reference, integration).white);
    RelativeToPaper(sampleColours, s, ConditionsOfColour(sample, integration).white);
    return {r, s};
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

namespace {

// Measures, summarises and judges the pairs of a comparison from the colours of both sets,
// made media-relative first when asked; with `halves`, the two halves of the pairs are
// measured at the same time.
void MeasureAndJudge(const MeasurementSet& reference, const MeasurementSet& sample,
                     const CompareOptions& options, const std::vector<Colour>& referenceColours,
                     const std::vector<Colour>& sampleColours, bool halves,
                     Comparison& comparison) {
    const std::vector<Colour>* r = &referenceColours;
    const std::vector<Colour>* s = &sampleColours;
    std::vector<Colour> referenceRelative, sampleRelative;
    if (options.relativeToPaper) {
        referenceRelative = referenceColours;
        sampleRelative = sampleColours;
        comparison.paper = MakeRelative(reference, sample, options, options.integration,
                                        referenceRelative, sampleRelative);
        r = &referenceRelative;
        s = &sampleRelative;
    }
    const std::size_t pairs = comparison.patches.size(), half = halves ? pairs / 2 : pairs;
    std::future<void> measured;
    if (halves)
        measured = std::async(std::launch::async, [&] {
            MeasurePairs(comparison, *r, *s, options.metric, half, pairs);
        });
    MeasurePairs(comparison, *r, *s, options.metric, 0, half);
    if (halves) measured.get();
    FinishComparison(comparison, options.tolerances);
    if (!options.profile) return;
    comparison.groups = JudgeGroups(reference, sample, comparison, *options.profile, options,
                                    referenceColours, sampleColours);
    for (const GroupResult& group : comparison.groups)
        comparison.verdict.pass = comparison.verdict.pass && group.verdict.pass;
}

}  // namespace

Comparison Compare(const MeasurementSet& reference, const MeasurementSet& sample,
                   const CompareOptions& options) {
    Comparison comparison = StartComparison(reference, sample, options);
    CompareOptions shared = options;
    shared.integration = SharedIntegration(reference, sample, options.integration);
    MeasureAndJudge(reference, sample, shared, Colours(reference, shared.integration),
                    Colours(sample, shared.integration), false, comparison);
    return comparison;
}

void CheckColourConditions(const MeasurementSet& reference, const MeasurementSet& sample,
                           const Integration& integration) {
    const ColourConditions ref = ConditionsOfColour(reference, integration);
    const ColourConditions smp = ConditionsOfColour(sample, integration);
    if (ref.illuminant == smp.illuminant && ref.observer == smp.observer) return;
    throw Error(sample.path, "colours under different conditions: " + reference.path + " " +
                                 DescribeConditions(ref) + ", " + sample.path + " " +
                                 DescribeConditions(smp));
}

FileComparison CompareFiles(const std::function<MeasurementSet()>& readReference,
                            const std::function<MeasurementSet()>& readSample,
                            const CompareOptions& options) {
    FileComparison result;
    auto later = std::async(std::launch::async, readSample);
    result.reference = readReference();
    result.sample = later.get();
    MeasurementSet& reference = result.reference;
    MeasurementSet& sample = result.sample;
    if (!options.ignoreConditions) CheckConditions(reference, sample);
    result.integration = SharedIntegration(reference, sample, options.integration);
    CompareOptions shared = options;
    shared.integration = result.integration;
    SettleGuessedScale(reference, sample, shared);
    auto sampleColours =
        std::async(std::launch::async, [&] { return Colours(sample, shared.integration); });
    const std::vector<Colour> referenceColours = Colours(reference, shared.integration);
    const std::vector<Colour> sampleAbsolute = sampleColours.get();
    if (!options.ignoreConditions) CheckColourConditions(reference, sample, shared.integration);
    shared.ignoreConditions = true;
    result.comparison = StartComparison(reference, sample, shared);
    MeasureAndJudge(reference, sample, shared, referenceColours, sampleAbsolute, true,
                    result.comparison);
    return result;
}

Comparison StartComparison(const MeasurementSet& reference, const MeasurementSet& sample,
                           const CompareOptions& options) {
    if (!options.ignoreConditions) {
        CheckConditions(reference, sample);
        CheckColourConditions(reference, sample, options.integration);
    }
    Comparison comparison;
    comparison.pairing = PairPatches(reference, sample, options.pairBy);
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
