// What the CGATS reader makes of files, for the differential test (cgats_differential.py):
// for each "TABLE PATH" line of standard input, "error MESSAGE", or the set's shape and then
// one line per patch: id, name and location in hex, the line, and every number as the hex of its
// bits (floats for spectral samples, doubles for XYZ and L*a*b*). Files are read in blocks of 1 to
// 64 bytes, the size changing from file to file, so that lines, numbers and CR-LF pairs fall
// across the ends of blocks.
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "measure/cgats_reader.h"
#include "vantrel/measure.h"

namespace {

std::string Hex(const std::string& bytes) {
    std::string out = "x";
    char digits[3];
    for (unsigned char c : bytes) out += (std::snprintf(digits, 3, "%02x", c), digits);
    return out;
}

template <typename T>
void PrintBits(T value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    std::printf(" %llx", static_cast<unsigned long long>(bits));
}

}  // namespace

int main() {
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);  // the script splits lines at LF alone
#endif
    namespace measure = vantrel::measure;
    int table;
    std::string path;
    std::size_t files = 0;
    while (std::cin >> table && std::getline(std::cin >> std::ws, path)) {
        std::printf("file %s\n", path.c_str());
        try {
            const measure::MeasurementSet set =
                measure::ReadCgatsInBlocks(path, {table}, 1 + files++ % 64);
            std::printf("set %d %d %d %d %d %d %s %zu\n", static_cast<int>(set.source), set.hasId,
                        set.hasName, set.firstNm, set.lastNm, set.stepNm,
                        measure::ScaleName(set.scale.scale).c_str(), set.warnings.size());
            for (std::size_t k = 0; k < set.patches.size(); ++k) {
                const measure::Patch& patch = set.patches[k];
                std::printf("%s %s %s %d", Hex(patch.id).c_str(), Hex(patch.name).c_str(),
                            Hex(patch.location).c_str(), patch.line);
                if (set.source == measure::ColourSource::Spectrum)
                    for (int i = 0; i < set.SampleCount(); ++i) PrintBits(set.Spectrum(k)[i]);
                else
                    for (double value : patch.values) PrintBits(value);
                std::printf("\n");
            }
        } catch (const measure::Error& error) {
            std::printf("error %s\n", error.what());
        }
    }
    return 0;
}
