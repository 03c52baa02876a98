// The CGATS reader on arbitrary text, three ways that must agree: from memory; from a file
// read in small blocks, so that lines, numbers and CR-LF pairs fall across block boundaries;
// and from the text the writer makes of what was read, which must give the same patches bit
// for bit. A failure is one line naming the file, the same both ways.
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

#include "fuzz_support.h"
#include "measure/cgats_reader.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

struct Outcome {
    std::optional<measure::MeasurementSet> set;
    std::string error;
};

template <typename Read>
Outcome Attempt(Read read) {
    try {
        return {read(), {}};
    } catch (const measure::Error& error) {
        return {std::nullopt, error.what()};
    }
}

template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// The data of two sets agree bit for bit; with `whole`, where they came from too.
bool Same(const measure::MeasurementSet& a, const measure::MeasurementSet& b, bool whole) {
    if (a.source != b.source || a.hasId != b.hasId || a.hasName != b.hasName ||
        a.patches.size() != b.patches.size() || a.firstNm != b.firstNm || a.lastNm != b.lastNm ||
        a.stepNm != b.stepNm || a.content != b.content || a.hasLocation != b.hasLocation ||
        a.hasStated != b.hasStated || a.statedSource != b.statedSource ||
        a.statesXyzToo != b.statesXyzToo || a.deviceFields != b.deviceFields ||
        !SameBits(a.spectra, b.spectra) || !SameBits(a.device, b.device))
        return false;
    if (a.content == measure::SpectralContent::Surface && a.scale.scale != b.scale.scale)
        return false;
    for (std::size_t k = 0; k < a.patches.size(); ++k) {
        const measure::Patch &p = a.patches[k], &q = b.patches[k];
        if (p.id != q.id || p.name != q.name || p.location != q.location ||
            std::memcmp(p.values.data(), q.values.data(), sizeof p.values) != 0 ||
            std::memcmp(p.xyz.data(), q.xyz.data(), sizeof p.xyz) != 0 ||
            (whole && p.line != q.line))
            return false;
    }
    return !whole || (a.keywords == b.keywords && a.warnings == b.warnings &&
                      a.fileType == b.fileType && a.tableCount == b.tableCount &&
                      a.scale.reason == b.scale.reason && a.contentReason == b.contentReason);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const testing_support::TempDir dir;
    static const std::string path = dir.File("fuzz.cgats");
    const std::string text(reinterpret_cast<const char*>(data), size);
    testing_support::WriteFile(path, text);
    const std::size_t block = 1 + std::hash<std::string>()(text) % 61;

    const Outcome memory = Attempt([&] { return measure::ParseCgats(text, path); });
    const Outcome file = Attempt([&] { return measure::ReadCgatsInBlocks(path, {}, block); });
    VANTREL_FUZZ_CHECK(memory.error == file.error);
    if (!memory.set) {
        VANTREL_FUZZ_CHECK(memory.error.rfind(path + ":", 0) == 0);
        VANTREL_FUZZ_CHECK(memory.error.find('\n') == std::string::npos);
        return 0;
    }
    const measure::MeasurementSet& set = *memory.set;
    VANTREL_FUZZ_CHECK(Same(set, *file.set, true));
    VANTREL_FUZZ_CHECK(!set.patches.empty());
    VANTREL_FUZZ_CHECK(set.spectra.size() ==
                       set.patches.size() * static_cast<size_t>(set.SampleCount()));
    for (float value : set.spectra) VANTREL_FUZZ_CHECK(std::isfinite(value));
    for (const measure::Patch& patch : set.patches)
        for (double value : patch.values) VANTREL_FUZZ_CHECK(std::isfinite(value));

    const std::string written = measure::FormatCgats(set);
    const Outcome again = Attempt([&] { return measure::ParseCgats(written, path); });
    if (!again.set) std::fprintf(stderr, "%s\n%s\n", again.error.c_str(), written.c_str());
    VANTREL_FUZZ_CHECK(again.set && Same(set, *again.set, false));

    // Colour of every patch, where the set allows it, and of any spectra with CIE tables.
    for (const bool cie : {false, true}) {
        try {
            // Finite samples weighted in double stay finite.
            for (const measure::Colour& c : measure::Colours(set, {cie}))
                VANTREL_FUZZ_CHECK(!cie || std::isfinite(c.xyz[1]));
        } catch (const measure::Error& error) {
            VANTREL_FUZZ_CHECK(std::string(error.what()).rfind(path + ":", 0) == 0);
        }
    }
    return 0;
}
