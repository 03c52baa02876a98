#include "report_png.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cli.h"

namespace cli {

namespace {

using Rgb = std::array<std::uint8_t, 3>;

// A neutral mid-grey surround, as colours are judged against, with light text on it.
constexpr Rgb kBackground{90, 90, 90};
constexpr Rgb kText{240, 240, 240};
constexpr Rgb kLabelText{180, 180, 180};
constexpr Rgb kFrame{40, 40, 40};
constexpr Rgb kOutline{255, 48, 48};
constexpr int kOutlineGap = 2;    // between the swatch and its outline
constexpr int kOutlineWidth = 3;  // outline thickness

// A 5x7 bitmap font: seven rows per glyph, bit 4 the leftmost column. Characters without a
// glyph are drawn as '?'. The letter Delta is stored under code 0x7F.
constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kGlyphAdvance = 6;
constexpr char kDelta = 0x7F;

struct Glyph {
    char c;
    std::uint8_t rows[kGlyphHeight];
};

constexpr Glyph kFont[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
    {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}},
    {'c', {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E}},
    {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'g', {0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'j', {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'q', {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
    {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}},
    {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'w', {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A}},
    {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}},
    {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}},
    {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {'*', {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {kDelta, {0x04, 0x04, 0x0A, 0x0A, 0x11, 0x11, 0x1F}},
};

const Glyph& glyph(char c) {
    for (const Glyph& g : kFont)
        if (g.c == c) return g;
    return glyph('?');
}

// UTF-8 text to the font's characters: Delta becomes kDelta, other non-ASCII becomes '?'.
std::string to_font(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == 0xCE && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) == 0x94) {
            out += kDelta;
            ++i;
        } else if ((c & 0xC0) != 0x80) {
            out += '?';  // lead byte of another character; its continuation bytes are dropped
        }
    }
    return out;
}

int text_width(const std::string& font_text, int scale) {
    if (font_text.empty()) return 0;
    return (static_cast<int>(font_text.size()) * kGlyphAdvance - 1) * scale;
}

class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height), pixels_(size_t(width) * height * 3) {
        fill(0, 0, width, height, kBackground);
    }

    void fill(int x, int y, int w, int h, const Rgb& colour) {
        int x0 = std::max(x, 0), y0 = std::max(y, 0);
        int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
        for (int row = y0; row < y1; ++row)
            for (int col = x0; col < x1; ++col)
                std::memcpy(&pixels_[(size_t(row) * width_ + col) * 3], colour.data(), 3);
    }

    // A frame of `thickness` pixels drawn inside the rectangle.
    void frame(int x, int y, int w, int h, int thickness, const Rgb& colour) {
        fill(x, y, w, thickness, colour);
        fill(x, y + h - thickness, w, thickness, colour);
        fill(x, y, thickness, h, colour);
        fill(x + w - thickness, y, thickness, h, colour);
    }

    void text(int x, int y, const std::string& font_text, int scale, const Rgb& colour) {
        for (char c : font_text) {
            const Glyph& g = glyph(c);
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int col = 0; col < kGlyphWidth; ++col)
                    if (g.rows[row] & (0x10 >> col))
                        fill(x + col * scale, y + row * scale, scale, scale, colour);
            x += kGlyphAdvance * scale;
        }
    }

    int width() const { return width_; }
    int height() const { return height_; }
    const std::uint8_t* data() const { return pixels_.data(); }

  private:
    int width_, height_;
    std::vector<std::uint8_t> pixels_;
};

constexpr int kTitleScale = 2;
constexpr int kLabelScale = 2;
constexpr int kValueScale = 2;

std::string format_delta_e(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
    return buffer;
}

}  // namespace

ReportLayout::ReportLayout(size_t count, const std::string& title) {
    // Roughly three columns for every two rows, as a sheet of paper.
    int n = static_cast<int>(std::max<size_t>(count, 1));
    int natural = static_cast<int>(std::ceil(std::sqrt(1.5 * n)));
    columns = std::max(kMinColumns, std::min(n, natural));
    rows = (n + columns - 1) / columns;
    width = std::max(2 * kMargin + columns * kCellWidth,
                     2 * kMargin + text_width(to_font(title), kTitleScale));
    height = kHeader + rows * kCellHeight + kMargin;
}

int ReportLayout::swatch_x(size_t k) const {
    return kMargin + static_cast<int>(k % columns) * kCellWidth + kSwatchX;
}

int ReportLayout::swatch_y(size_t k) const {
    return kHeader + static_cast<int>(k / columns) * kCellHeight + kSwatchY;
}

void write_report_png(const std::string& path, const std::string& title,
                      const std::vector<ReportSwatch>& swatches) {
    using L = ReportLayout;
    ReportLayout layout(swatches.size(), title);
    Canvas canvas(layout.width, layout.height);
    canvas.text(L::kMargin, (L::kHeader - kGlyphHeight * kTitleScale) / 2, to_font(title),
                kTitleScale, kText);

    const int half = L::kSwatchWidth / 2;
    for (size_t k = 0; k < swatches.size(); ++k) {
        const ReportSwatch& s = swatches[k];
        int x = layout.swatch_x(k), y = layout.swatch_y(k);
        canvas.frame(x - 1, y - 1, L::kSwatchWidth + 2, L::kSwatchHeight + 2, 1, kFrame);
        canvas.fill(x, y, half, L::kSwatchHeight, s.reference);
        canvas.fill(x + half, y, L::kSwatchWidth - half, L::kSwatchHeight, s.sample);
        if (s.outlined) {
            int out = kOutlineGap + kOutlineWidth;
            canvas.frame(x - out, y - out, L::kSwatchWidth + 2 * out, L::kSwatchHeight + 2 * out,
                         kOutlineWidth, kOutline);
        }
        int centre = x + L::kSwatchWidth / 2;
        std::string label = to_font(s.label);
        // Labels longer than the cell are cut, keeping their end (ids differ at the end).
        size_t fits = static_cast<size_t>(L::kCellWidth / (kGlyphAdvance * kLabelScale) - 1);
        if (label.size() > fits) label = label.substr(label.size() - fits);
        int label_y = y + L::kSwatchHeight + 8;
        canvas.text(centre - text_width(label, kLabelScale) / 2, label_y, label, kLabelScale,
                    kLabelText);
        std::string value = to_font(format_delta_e(s.delta_e));
        canvas.text(centre - text_width(value, kValueScale) / 2,
                    label_y + kGlyphHeight * kLabelScale + 5, value, kValueScale, kText);
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.width());
    image.height = static_cast<png_uint_32>(canvas.height());
    image.format = PNG_FORMAT_RGB;
    // Written beside the target and renamed into place, so that a failure leaves no partial
    // picture and no earlier file destroyed.
    std::string part = path + ".part";
    bool written = png_image_write_to_file(&image, part.c_str(), 0, canvas.data(),
                                           canvas.width() * 3, nullptr) != 0;
    std::string reason = written ? "" : (image.message[0] ? image.message : "write failed");
    png_image_free(&image);
    if (written && std::rename(part.c_str(), path.c_str()) != 0) {
        written = false;
        reason = std::strerror(errno);
    }
    if (!written) {
        std::remove(part.c_str());
        throw Failure("cannot write " + path + ": " + reason);
    }
}

}  // namespace cli
