#include "rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>

#include "cli.h"
#include "measure/large_pages.h"

namespace cli {

using vantrel::measure::AdviseLargePages;

namespace {

// Printable ASCII without quotes, backslashes or commas: the same in CSV and, between quotes,
// in JSON.
bool IsPlain(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\' || c == ',') return false;
    }
    return true;
}

}  // namespace

RowSet::RowSet(std::vector<Column> columns) : columns_(std::move(columns)) {
    for (const Column& column : columns_) (column.number ? numberColumns_ : textColumns_)++;
}

void RowSet::Reserve(size_t rows) {
    textEnds_.reserve(rows * textColumns_);
    texts_.reserve(rows * textColumns_ * 8);
    numbers_.reserve(rows * numberColumns_);
    AdviseLargePages(texts_.data(), texts_.capacity());
    AdviseLargePages(numbers_.data(), numbers_.capacity() * sizeof(double));
}

void RowSet::RequireFinite() const {
    if (firstNonFinite_ == kNone) return;
    const size_t row = firstNonFinite_ / columns_.size();
    throw Failure("patch " + Quoted(columns_[0].number ? "" : TextAt(row, 0)) + ": " +
                  columns_[firstNonFinite_ % columns_.size()].header +
                  " cannot be computed (not a finite number)");
}

std::string_view RowSet::TextAt(size_t row, size_t t) const {
    const size_t k = row * textColumns_ + t;
    const size_t begin = k ? textEnds_[k - 1] : 0;
    return std::string_view(texts_).substr(begin, textEnds_[k] - begin);
}

void RowSet::PrintTable(Output& out) const {
    const size_t n = columns_.size();
    std::vector<size_t> widths;
    for (const Column& column : columns_) widths.push_back(column.header.size());
    // A text column is as wide as its longest text; a number column as its longest number,
    // which is its largest or its smallest value: the text of a fixed-point number grows with
    // its magnitude.
    for (size_t c = 0, t = 0, v = 0; c < n; ++c) {
        if (!columns_[c].number) {
            for (size_t row = 0; row < rows_; ++row)
                widths[c] = std::max(widths[c], std::max<size_t>(1, TextAt(row, t).size()));
            ++t;
            continue;
        }
        if (rows_ > 0) {
            double low = ValueAt(0, v), high = low;
            for (size_t row = 1; row < rows_; ++row) {
                low = std::min(low, ValueAt(row, v));
                high = std::max(high, ValueAt(row, v));
            }
            widths[c] = std::max({widths[c], FixedWidth(low, columns_[c].decimals),
                                  FixedWidth(high, columns_[c].decimals)});
        }
        ++v;
    }
    std::string header;
    for (size_t c = 0; c < n; ++c) {
        if (c) header += "  ";
        const size_t pad = widths[c] - columns_[c].header.size();
        if (c == 0) {
            header += columns_[c].header;
            if (n > 1) header.append(pad, ' ');
        } else {
            header.append(pad, ' ') += columns_[c].header;
        }
    }
    out << header << "\n";
    // The rows are laid out in two halves at once.
    const size_t half = rows_ / 2;
    auto second = std::async(std::launch::async, [&] { return Lines(widths, half, rows_); });
    out.Write(Lines(widths, 0, half));
    out.Write(second.get());
}

// Rows [begin, end) of the table, each ended by a line break. The text is sized first and
// filled with blanks; texts are then copied to their places, and numbers written backwards
// from the end of theirs.
std::string RowSet::Lines(const std::vector<size_t>& widths, size_t begin, size_t end) const {
    const size_t n = columns_.size();
    auto shown = [](std::string_view cell) { return cell.empty() ? std::string_view("-") : cell; };
    // With more than one column every line has the same length; a single column is not padded.
    size_t size = 0;
    if (n > 1) {
        size_t lineLength = 1 + 2 * (n - 1);
        for (size_t w : widths) lineLength += w;
        size = (end - begin) * lineLength;
    } else {
        for (size_t row = begin; row < end; ++row)
            size += (columns_[0].number ? FixedWidth(ValueAt(row, 0), columns_[0].decimals)
                                        : shown(TextAt(row, 0)).size()) +
                    1;
    }
    std::string text;
    text.reserve(size);
    AdviseLargePages(text.data(), text.capacity());
    text.resize(size, ' ');
    char* p = text.data();
    for (size_t row = begin; row < end; ++row) {
        for (size_t c = 0, t = 0, v = 0; c < n; ++c) {
            if (c) p += 2;
            if (columns_[c].number) {
                const double value = ValueAt(row, v++);
                p += n > 1 ? widths[c] : FixedWidth(value, columns_[c].decimals);
                WriteFixedBefore(p, value, columns_[c].decimals);
                continue;
            }
            const std::string_view cell = shown(TextAt(row, t++));
            const size_t pad = n > 1 ? widths[c] - cell.size() : 0;
            if (c) p += pad;
            std::memcpy(p, cell.data(), cell.size());
            p += cell.size();
            if (c == 0) p += pad;
        }
        *p++ = '\n';
    }
    return text;
}

void RowSet::PrintCsv(Output& out) const {
    std::string line;
    for (size_t c = 0; c < columns_.size(); ++c)
        line += (c ? "," : "") + CsvField(columns_[c].header);
    out << line << "\n";
    for (size_t row = 0; row < rows_; ++row) {
        line.clear();
        for (size_t c = 0, t = 0, v = 0; c < columns_.size(); ++c) {
            if (c) line += ',';
            if (columns_[c].number) {
                AppendFixed(line, ValueAt(row, v++), columns_[c].decimals);
                continue;
            }
            const std::string_view cell = TextAt(row, t++);
            if (IsPlain(cell))
                line.append(cell);
            else
                line += CsvField(cell);
        }
        line += '\n';
        out << line;
    }
}

void RowSet::PrintJson(Output& out, JsonWriter& json, const char* indent) const {
    out << "[";
    std::vector<std::string> keys;
    for (const Column& column : columns_) keys.push_back(json.String(column.key) + ": ");
    std::string line;
    for (size_t row = 0; row < rows_; ++row) {
        line.assign(row ? ",\n" : "\n").append(indent).append("  {");
        for (size_t c = 0, t = 0, v = 0; c < columns_.size(); ++c) {
            line.append(c ? ", " : "").append(keys[c]);
            if (columns_[c].number) {
                AppendFixed(line, ValueAt(row, v++), columns_[c].decimals);
                continue;
            }
            const std::string_view text = TextAt(row, t++);
            if (IsPlain(text))
                line.append("\"").append(text).append("\"");
            else
                json.Append(line, text);
        }
        out << line << "}";
    }
    out << "\n" << indent << "]";
}

}  // namespace cli
