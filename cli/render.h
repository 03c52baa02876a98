// The one renderer: what a subcommand computed, printed as an aligned table, CSV or JSON.
// A Record is one result (or one row of a batch), a RowSet many rows of the same columns, and
// a Report a whole document: a title, rows, a summary and the members of its JSON object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json.h"
#include "output.h"
#include "rows.h"

namespace cli {

// ---------------------------------------------------------------------------------------------
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
    // A member of JSON only.
    Record& Json(const std::string& key, cli::Json value);
    // What the table of this record alone shows, in place of its "label  value" lines.
    Record& TableText(std::string text) {
        tableText_ = std::move(text);
        return *this;
    }

    // Throws a Failure naming the first number that is not finite: such a value is never
    // printed as a number.
    void RequireFinite() const;
    // The text of the field with `header`.
    const std::string& Cell(const std::string& header) const;
    std::vector<std::string> Headers() const;
    std::vector<std::string> Cells() const;

  private:
    friend class RecordWriter;
    struct Field {
        std::string header, key, text;
        cli::Json json;
        bool number = false, finite = true, hasJson = false;
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
    RecordWriter(Format format, bool rows, Output& out) : format_(format), rows_(rows), out_(out) {}
    // Checks the record (RequireFinite) before anything of it is printed.
    void Write(const Record& record);

  private:
    Format format_;
    bool rows_;
    Output& out_;
    bool started_ = false;
};

// ---------------------------------------------------------------------------------------------
// A whole document. The table is `title`, the rows and, after a blank line, the summary as
// "label  value" lines; CSV is the rows alone; JSON is one object of `head`, the rows (or
// `items`, one JSON value a line) under `listKey`, `tail`, and "text_repaired": true when a
// text had bytes that are not UTF-8.
struct Report {
    std::string title;
    RowSet rows{{}};
    std::vector<std::pair<std::string, std::string>> summary;
    std::vector<std::pair<std::string, Json>> head, tail;
    bool tableRows = true;  // the table shows the rows after the title
    std::string listKey = "patches";
    bool listItems = false;  // JSON lists `items` instead of the rows
    std::vector<Json> items;
};

void Render(const Report& report, Format format, Output& out);

}  // namespace cli
