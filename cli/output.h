// How the command prints: numbers as text, aligned tables, CSV and JSON. Text is UTF-8 bytes
// throughout; the JSON functions turn any bytes into valid JSON.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// ---------------------------------------------------------------------------------------------
// Numbers

// A float with a fixed number of decimals ("%.*f").
std::string Fixed(float value, int decimals = 6);
// A float with nine significant digits ("%.9g"), enough to read back the same value.
std::string Exact(float value);
// The shortest decimal that reads back as the same float ("%.1g" to "%.9g").
std::string Shortest(float value);
// Bytes as lower-case hexadecimal digits, two per byte.
std::string Hex(const std::uint8_t* bytes, size_t count);

// ---------------------------------------------------------------------------------------------
// Aligned tables

// Rows of cells printed in columns padded to their widest cell, two blanks apart. The first
// column is left-aligned; the others are right-aligned (numbers) or, with Align::kLeft,
// left-aligned (text). The last cell of a row is never padded on the right.
class Table {
  public:
    enum class Align { kRight, kLeft };

    explicit Table(Align values = Align::kRight) : align_(values) {}

    void AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    void Print(std::FILE* out = stdout) const;

  private:
    Align align_;
    std::vector<std::vector<std::string>> rows_;
};

// ---------------------------------------------------------------------------------------------
// CSV

// One field: as it is, or in double quotes (with quotes doubled) when it holds a comma, a
// quote or a line break.
std::string CsvField(const std::string& text);
// Fields joined by commas, without the line break.
std::string CsvLine(const std::vector<std::string>& fields);

// ---------------------------------------------------------------------------------------------
// JSON

// A JSON string of any bytes: quotes and backslashes escaped, control characters as \u00XX,
// valid UTF-8 kept as it is and every byte of an invalid sequence replaced by \ufffd.
std::string JsonString(const std::string& bytes);
// A finite float as its shortest decimal; NaN and infinities as null.
std::string JsonNumber(float value);
// Values (already JSON) as an array on one line: [a, b].
std::string JsonArray(const std::vector<std::string>& values);

// A JSON object on one line, members in the order added: {"a": 1, "b": "x"}.
class JsonObject {
  public:
    // Adds a member whose value is already JSON.
    JsonObject& Add(const std::string& key, const std::string& json);
    JsonObject& AddString(const std::string& key, const std::string& text) {
        return Add(key, JsonString(text));
    }
    JsonObject& AddInteger(const std::string& key, long long value) {
        return Add(key, std::to_string(value));
    }
    std::string Text() const { return text_ + "}"; }

  private:
    std::string text_ = "{";
};

}  // namespace cli
