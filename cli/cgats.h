// Reading measurement files in the CGATS.17 / IT8 text format, the exchange format of
// measuring instruments and profiling tools. Parsing is Little CMS's IT8 parser; this layer
// picks the colour fields out of the first table, checks every value and turns the file into
// a list of patches.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace cli {

// Where the colour of a file's patches comes from, in order of preference.
enum class ColourSource { Spectrum, XYZ, Lab };

struct Patch {
    std::string id;    // SAMPLE_ID, empty when the file has none
    std::string name;  // SAMPLE_NAME, empty when the file has none
    int line = 0;      // line of the file holding the patch's data row, 0 when unknown
    // Reflectance factors (0..1) at 400..700 nm in 10 nm steps in elements 1 to 31; element
    // 0 is unused. Filled when the file's source is Spectrum.
    std::array<float, 32> spectrum{};
    // XYZ on the percent scale (white Y = 100) or L*a*b*, as the file gives them; filled when
    // the file has the fields.
    std::array<float, 3> xyz{};
    std::array<float, 3> lab{};
};

struct MeasurementFile {
    std::string path;
    ColourSource source = ColourSource::Lab;
    bool has_id = false;
    bool has_name = false;
    bool percent_reflectance = false;  // spectral values were percent and were divided by 100
    std::vector<Patch> patches;        // never empty
};

// The 31 wavelengths of a spectrum, 400 to 700 nm.
constexpr int kFirstWavelength = 400;
constexpr int kLastWavelength = 700;
constexpr int kWavelengthStep = 10;

// Reads a CGATS file. The colour comes from the spectral fields when there are any
// (SPECTRAL_400..SPECTRAL_700 or nm400..nm700; wider ranges and finer steps are reduced to the
// 31 wavelengths, and a missing one is an error), else from XYZ_X XYZ_Y XYZ_Z (percent scale),
// else from LAB_L LAB_A LAB_B. Spectral values are percent when any of them exceeds 1.5, and
// are then divided by 100. Only the first table of the file is read; `warnings` receives a
// line for anything that is read but ignored.
//
// Throws Failure with one line naming the file and the line or field at fault: a missing or
// unreadable file, a file that is not CGATS, a parse error, an empty data block, missing colour
// fields, a missing wavelength, a missing or non-numeric value.
MeasurementFile read_cgats(const std::string& path, std::vector<std::string>& warnings);

// The same for text already in memory: `path` only names the file in messages.
MeasurementFile parse_cgats(const std::string& path, const std::string& text,
                            std::vector<std::string>& warnings);

}  // namespace cli
