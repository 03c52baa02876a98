// What every printed result is made of: numbers as text (one formatter, one rule for negative
// zero), messages made safe to print, aligned tables, CSV fields, and standard output through
// a large buffer. How results are laid out in each --format is render.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// ---------------------------------------------------------------------------------------------
// Numbers

// The room WriteFixedBefore needs: the longest fixed-point double, 309 digits and more.
constexpr size_t kFixedRoom = 350;
// WriteFixedBefore for the values its quick path leaves (ties and magnitudes of 1e9 and more).
char* WriteFixedThroughToChars(char* end, double value, int decimals);
// A finite value with `decimals` decimals (0 to 9), correctly rounded; a negative value that
// rounds to zero loses its sign, which would read as a difference where there is none. Written
// backwards so that it ends just before `end`; returns where it begins. Inline: a table of many
// rows writes one per cell.
//
// Values far from a tie between two decimals (nearly all of them) are rounded from their
// scaled integer, which is exact when the scaled value is below 1e9: its own rounding error is
// then below 1e-7. The others go through std::to_chars.
inline char* WriteFixedBefore(char* end, double value, int decimals) {
    constexpr double kScales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scaled = value * kScales[decimals];
    const bool small = scaled < 1e9 && scaled > -1e9;
    // The floor of the scaled value, exact below 1e9, without a call to floor().
    const auto truncated = static_cast<long long>(small ? scaled : 0);
    const long long whole = truncated - (scaled < static_cast<double>(truncated));
    const double above = scaled - static_cast<double>(whole);
    if (!small || (above - 0.5 <= 1e-6 && above - 0.5 >= -1e-6))
        return WriteFixedThroughToChars(end, value, decimals);
    const long long units = whole + (above > 0.5);
    // The digits from the last, the point after `decimals` of them, and at least one digit
    // before the point; below 1e9 + 1 they fit 32 bits.
    char* p = end;
    auto rest = static_cast<std::uint32_t>(units < 0 ? -units : units);
    for (int k = 0; k < decimals; ++k, rest /= 10) *--p = static_cast<char>('0' + rest % 10);
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (units < 0) *--p = '-';
    return p;
}
inline void AppendFixed(std::string& out, double value, int decimals) {
    char buffer[kFixedRoom];
    char* const end = buffer + sizeof buffer;
    const char* begin = WriteFixedBefore(end, value, decimals);
    out.append(begin, static_cast<size_t>(end - begin));
}
std::string Fixed(double value, int decimals);
// The length of Fixed(value, decimals).
inline size_t FixedWidth(double value, int decimals) {
    char buffer[kFixedRoom];
    char* const end = buffer + sizeof buffer;
    return static_cast<size_t>(end - WriteFixedBefore(end, value, decimals));
}
// A float with nine significant digits ("%.9g"), enough to read back the same value.
std::string Exact(float value);
// The shortest decimal that reads back as the same float ("%.1g" to "%.9g").
std::string Shortest(float value);
// A finite float as its shortest decimal; NaN and infinities as null.
std::string JsonNumber(float value);
// Bytes as lower-case hexadecimal digits, two per byte.
std::string Hex(const std::uint8_t* bytes, size_t count);

// ---------------------------------------------------------------------------------------------
// Messages

// `text` safe to print in a one-line message: control characters (C0, DEL, C1) and bytes that
// are not UTF-8 as \xNN, everything else as it is.
std::string Escaped(std::string_view text);
// `text` in single quotes, escaped.
std::string Quoted(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Aligned tables and CSV

// Rows of cells printed in columns padded to their widest cell, two blanks apart. The first
// column is left-aligned; the others are right-aligned (numbers) or, with Align::kLeft,
// left-aligned (text). The last cell of a row is never padded on the right.
class Table {
  public:
    enum class Align { kRight, kLeft };

    explicit Table(Align values = Align::kRight) : align_(values) {}

    void AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    // The lines of the table, each ended by a line break.
    std::string Text() const;

  private:
    Align align_;
    std::vector<std::vector<std::string>> rows_;
};

// One field: as it is, or in double quotes (with quotes doubled) when it holds a comma, a
// quote or a line break.
std::string CsvField(std::string_view text);
// Fields joined by commas, without the line break.
std::string CsvLine(const std::vector<std::string>& fields);

// ---------------------------------------------------------------------------------------------
// Standard output

// Text for a stream (standard output unless told), gathered in a large buffer and written
// when it is full, when a large block comes, at Flush and at the end.
class Output {
  public:
    explicit Output(std::FILE* file = stdout) : file_(file) {}
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text);
    // A large block of text, written as it is.
    void Write(const std::string& text);
    void Flush();

  private:
    std::FILE* file_;
    std::string buffer_;
};

}  // namespace cli
