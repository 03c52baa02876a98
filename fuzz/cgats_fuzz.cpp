// The command's CGATS reading on arbitrary text: a list of patches with finite colour values,
// or a one-line failure naming the file.
#include <cmath>

#include "cgats.h"
#include "cli.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> warnings;
    try {
        const cli::MeasurementFile file = cli::parse_cgats("fuzz.cgats", text, warnings);
        FUZZ_CHECK(!file.patches.empty());
        for (const cli::Patch& patch : file.patches) {
            for (size_t k = 1; k < patch.spectrum.size(); ++k)
                FUZZ_CHECK(std::isfinite(patch.spectrum[k]));
            for (int k = 0; k < 3; ++k)
                FUZZ_CHECK(std::isfinite(patch.xyz[k]) && std::isfinite(patch.lab[k]));
        }
    } catch (const cli::Failure& failure) {
        const std::string message = failure.what();
        FUZZ_CHECK(message.rfind("fuzz.cgats", 0) == 0);
        FUZZ_CHECK(message.find('\n') == std::string::npos);
    }
    return 0;
}
