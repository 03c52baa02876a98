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
// A finite value with `decimals` decimals (0 to 9), correctly rounded; a negative value that
// rounds to zero loses its sign, which would read as a difference where there is none. Written
// backwards so that it ends just before `end`; returns where it begins.
char* WriteFixedBefore(char* end, double value, int decimals);
void AppendFixed(std::string& out, double value, int decimals);
std::string Fixed(double value, int decimals);
// The length of Fixed(value, decimals).
size_t FixedWidth(double value, int decimals);
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
