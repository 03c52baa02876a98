// Many rows of the same columns (the patches of measure and compare, the records of a
// preference file), kept compactly and printed fast as an aligned table, CSV or JSON: a table
// of 100,000 rows is laid out in two halves at once, into memory advised to large pages.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json.h"
#include "output.h"

namespace cli {

enum class Format { kTable, kCsv, kJson };

// Many rows of the same columns, given one cell after the other in column order: texts to the
// text columns, values to the number columns. Texts are kept in one buffer and values as they
// are: numbers are written only when printed, straight into their place.
class RowSet {
  public:
    struct Column {
        std::string header;  // table and CSV
        std::string key;     // JSON
        bool number = false;
        int decimals = 0;  // of a number column, as its values were given
    };

    explicit RowSet(std::vector<Column> columns);

    // Inline: a large file gives millions of cells.
    void Text(std::string_view text) {
        texts_.append(text);
        textEnds_.push_back(static_cast<std::uint32_t>(texts_.size()));
        NextColumn();
    }
    void Value(double value, int decimals) {
        if (!std::isfinite(value) && firstNonFinite_ == kNone)
            firstNonFinite_ = rows_ * columns_.size() + column_;
        columns_[column_].decimals = decimals;
        numbers_.push_back(value);
        NextColumn();
    }
    void Reserve(size_t rows);
    size_t Rows() const { return rows_; }
    // A value that is not finite is never printed: a Failure names its patch (the row's first
    // cell) and column.
    void RequireFinite() const;

    // Columns padded to their widest cell: the first (labels) left-aligned, the values
    // right-aligned; an empty text shows as "-".
    void PrintTable(Output& out) const;
    void PrintCsv(Output& out) const;
    // The rows as a JSON array of objects, each on a line of its own after `indent`.
    void PrintJson(Output& out, JsonWriter& json, const char* indent) const;

  private:
    void NextColumn() {
        if (++column_ < columns_.size()) return;
        column_ = 0;
        ++rows_;
    }
    void Lines(std::string& text, const std::vector<size_t>& widths, size_t begin,
               size_t end) const;
    std::string_view TextAt(size_t row, size_t t) const;
    double ValueAt(size_t row, size_t v) const { return numbers_[row * numberColumns_ + v]; }

    static constexpr size_t kNone = ~size_t{0};
    std::vector<Column> columns_;
    size_t textColumns_ = 0, numberColumns_ = 0;
    std::string texts_;
    std::vector<std::uint32_t> textEnds_;  // text k is texts_[textEnds_[k - 1], textEnds_[k])
    std::vector<double> numbers_;
    size_t rows_ = 0;
    size_t column_ = 0;              // of the next cell given
    size_t firstNonFinite_ = kNone;  // the first cell whose value is not finite
};

}  // namespace cli
