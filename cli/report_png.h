// The picture of a comparison: one split swatch per patch (reference left, sample right) in a
// grid, each labelled with its patch and colour difference, the worst ones outlined.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct ReportSwatch {
    std::string label;                      // patch id or name
    std::array<std::uint8_t, 3> reference;  // sRGB, 0..255
    std::array<std::uint8_t, 3> sample;     // sRGB, 0..255
    float delta_e = 0.0f;
    bool outlined = false;  // among the worst
};

// Geometry of the picture, in pixels. The grid has `columns` cells per row (at least
// kMinColumns wide, so that the title fits), and the picture is widened when the title is
// longer still. Swatch k sits in cell (k % columns, k / columns); its reference half starts at
// swatch_origin(k) and spans kSwatchWidth / 2 pixels, the sample half the rest.
struct ReportLayout {
    static constexpr int kMargin = 16;
    static constexpr int kHeader = 44;
    static constexpr int kCellWidth = 112;
    static constexpr int kCellHeight = 116;
    static constexpr int kSwatchX = 12;  // swatch offset inside its cell
    static constexpr int kSwatchY = 8;
    static constexpr int kSwatchWidth = 88;
    static constexpr int kSwatchHeight = 60;
    static constexpr int kMinColumns = 4;

    int columns = 1;
    int rows = 1;
    int width = 0;
    int height = 0;

    ReportLayout(size_t count, const std::string& title);
    // Top-left pixel of swatch k.
    int swatch_x(size_t k) const;
    int swatch_y(size_t k) const;
};

// Draws the picture on a pixel surface of the platform with its bitmap font (printable ASCII;
// other characters show as a box) and writes it as an 8-bit RGB PNG. Throws Failure naming
// `path` when it cannot be written, and leaves no file behind then.
void write_report_png(const std::string& path, const std::string& title,
                      const std::vector<ReportSwatch>& swatches);

}  // namespace cli
