// The CGATS reader on arbitrary text: a set of patches with finite values, or an error whose
// one-line message names the file.
#include <cmath>

#include "fuzz_support.h"
#include "vantrel/measure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    namespace measure = vantrel::measure;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const measure::MeasurementSet set = measure::ParseCgats(text, "fuzz.cgats");
        VANTREL_FUZZ_CHECK(!set.patches.empty());
        VANTREL_FUZZ_CHECK(set.spectra.size() ==
                           set.patches.size() * static_cast<size_t>(set.SampleCount()));
        for (float value : set.spectra) VANTREL_FUZZ_CHECK(std::isfinite(value));
        for (const measure::Patch& patch : set.patches)
            for (double value : patch.values) VANTREL_FUZZ_CHECK(std::isfinite(value));
        // Colour of every patch, where the set allows it; the CIE integration of any range.
        try {
            measure::Colours(set, {});
        } catch (const measure::Error&) {
        }
        if (set.source == measure::ColourSource::Spectrum)
            for (const measure::Colour& c : measure::Colours(set, {true}))
                VANTREL_FUZZ_CHECK(!std::isnan(c.xyz[1]));
    } catch (const measure::Error& error) {
        const std::string message = error.what();
        VANTREL_FUZZ_CHECK(message.rfind("fuzz.cgats", 0) == 0);
        VANTREL_FUZZ_CHECK(message.find('\n') == std::string::npos);
    }
    return 0;
}
