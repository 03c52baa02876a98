// The built-in 5x7 bitmap font (internal to the platform library).
#pragma once

#include <cstdint>

namespace vplatform::detail {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kCellWidth = 6;   // the glyph and one blank column
constexpr int kCellHeight = 8;  // the glyph and one blank row

// Seven rows, top first; bit 4 is the leftmost column. Code units outside printable ASCII get
// a hollow box.
const std::uint8_t* GlyphRows(wchar_t ch);

}  // namespace vplatform::detail
