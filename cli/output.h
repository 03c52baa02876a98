// How the command prints: numbers as text, aligned tables, CSV and JSON, the --format every
// result-printing subcommand takes, and results as records in that format. Text is UTF-8
// bytes throughout; the JSON functions turn any bytes into valid JSON, and messages are made
// safe to print.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// ---------------------------------------------------------------------------------------------
// Numbers

// A float with a fixed number of decimals ("%.*f"); a negative zero prints as 0.
std::string Fixed(float value, int decimals = 6);
// A float with nine significant digits ("%.9g"), enough to read back the same value.
std::string Exact(float value);
// The shortest decimal that reads back as the same float ("%.1g" to "%.9g").
std::string Shortest(float value);
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
// Aligned tables

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
    void Print(std::FILE* out = stdout) const { std::fputs(Text().c_str(), out); }

  private:
    Align align_;
    std::vector<std::vector<std::string>> rows_;
};

// ---------------------------------------------------------------------------------------------
// CSV

// One field: as it is, or in double quotes (with quotes doubled) when it holds a comma, a
// quote or a line break.
std::string CsvField(std::string_view text);
// Fields joined by commas, without the line break.
std::string CsvLine(const std::vector<std::string>& fields);

// ---------------------------------------------------------------------------------------------
// JSON

// A JSON string of any bytes: quotes and backslashes escaped, control characters as \u00XX,
// valid UTF-8 kept as it is and every byte that is not UTF-8 replaced by U+FFFD, which is
// remembered until TakeTextRepaired.
std::string JsonString(std::string_view bytes);
// Whether a JSON string replaced bytes since the last call; a JSON object that printed such a
// string ends with "text_repaired": true.
bool TakeTextRepaired();
// The member that flags repaired text (", \"text_repaired\": true"), or empty.
std::string RepairedMember();
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

// ---------------------------------------------------------------------------------------------
// Results in the chosen format

enum class Format { kTable, kCsv, kJson };

// One result: named values in order. Each field has a header (the table's label and the CSV
// column; empty: not in the table and CSV) and a key (the JSON member; empty: not in JSON).
class Record {
  public:
    // A number with `decimals` decimals in the table and CSV, and in JSON.
    Record& Number(const std::string& header, const std::string& key, double value, int decimals);
    // A float with as many digits as reading it back exactly needs (Exact).
    Record& ExactNumber(const std::string& header, const std::string& key, float value);
    Record& Integer(const std::string& header, const std::string& key, long long value);
    Record& Text(const std::string& header, const std::string& key, const std::string& text);
    // A member of JSON only, already JSON.
    Record& Json(const std::string& key, const std::string& json);
    // What the table of this record alone shows, in place of its "label  value" lines.
    Record& TableText(std::string text) {
        tableText_ = std::move(text);
        return *this;
    }
    const std::string& TableText() const { return tableText_; }

    // Throws a Failure naming the first number that is not finite: such a value is never
    // printed as a number.
    void RequireFinite() const;
    // The text of the field with `header`.
    const std::string& Cell(const std::string& header) const;
    bool AllNumbers() const;

    // The object of this record, one line.
    std::string JsonText() const;
    std::vector<std::string> Headers() const;
    std::vector<std::string> Cells() const;

  private:
    struct Field {
        std::string header, key, text, json;
        bool number = false, finite = true;
    };
    std::vector<Field> fields_;
    std::string tableText_;
};

// Prints records in a format: the table as "label  value" lines for one record, or with
// `rows` as a header line and one row per record in columns of a fixed width (records of a
// batch, printed as they come); CSV as a header line and one line per record; JSON as one
// object per record, each on its own line.
class RecordWriter {
  public:
    RecordWriter(Format format, bool rows) : format_(format), rows_(rows) {}
    // Checks the record (RequireFinite) before anything of it is printed.
    void Write(const Record& record);

  private:
    Format format_;
    bool rows_;
    bool started_ = false;
};

}  // namespace cli
