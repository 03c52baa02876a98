#include "output.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>

#include "cli.h"
#include "vantrel_platform/stringapiset.h"

namespace cli {

namespace {

// Set by JsonString when it replaced bytes that are not UTF-8.
std::atomic<bool> gTextRepaired{false};

// Columns of a batch table are at least this wide, so that rows printed one by one line up
// for the usual magnitudes.
constexpr size_t kRowColumnWidth = 10;

// The length of the well-formed UTF-8 sequence at `text`, or 0.
size_t SequenceLength(std::string_view text, char32_t* codePoint) {
    return vplatform::DecodeUtf8(text.data(), text.size(), codePoint);
}

// One line of a batch table: each cell right-aligned in a column as wide as its header, or
// kRowColumnWidth when that is wider. Nothing for no cells.
void PrintRow(const std::vector<std::string>& headers, const std::vector<std::string>& cells) {
    if (cells.empty()) return;
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        const size_t width = std::max(kRowColumnWidth, headers[i].size());
        if (i) line += "  ";
        line.append(width > cells[i].size() ? width - cells[i].size() : 0, ' ') += cells[i];
    }
    std::printf("%s\n", line.c_str());
}

// A finite value with `decimals` decimals; a negative value that rounds to zero loses its
// sign, which would read as a difference where there is none.
std::string FixedText(double value, int decimals) {
    char buffer[512];  // room for the largest double in full
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

}  // namespace

std::string Fixed(float value, int decimals) {
    return FixedText(value, decimals);
}

std::string Exact(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

std::string Shortest(float value) {
    char buffer[32];
    for (int precision = 1; precision <= 9; ++precision) {
        const int length =
            std::snprintf(buffer, sizeof buffer, "%.*g", precision, static_cast<double>(value));
        float back = 0.0f;
        std::from_chars(buffer, buffer + length, back);
        if (back == value) break;
    }
    return buffer;
}

std::string Hex(const std::uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        size_t length = SequenceLength(text.substr(i), &c);
        const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
        if (length && !control) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        // A control character or a byte that is not UTF-8: each of its bytes as \xNN.
        for (size_t k = 0; k < std::max<size_t>(length, 1); ++k) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned char>(text[i + k]));
            out += escaped;
        }
        i += std::max<size_t>(length, 1);
    }
    return out;
}

std::string Quoted(std::string_view text) {
    return "'" + Escaped(text) + "'";
}

std::string Table::Text() const {
    std::vector<size_t> widths;
    for (const auto& row : rows_)
        for (size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i) widths.push_back(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    std::string text;
    for (const auto& row : rows_) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) text += "  ";
            const std::string pad(widths[i] - row[i].size(), ' ');
            const bool last = i + 1 == row.size();
            if (i == 0 || align_ == Align::kLeft)
                text += row[i] + (last ? "" : pad);
            else
                text += pad + row[i];
        }
        text += '\n';
    }
    return text;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line;
}

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        char32_t codePoint;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);  // the common case, without decoding
            ++i;
        } else if (const size_t length = SequenceLength(bytes.substr(i), &codePoint)) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            out += "\\ufffd";
            gTextRepaired = true;
            ++i;
        }
    }
    return out + "\"";
}

bool TakeTextRepaired() {
    return gTextRepaired.exchange(false);
}

std::string RepairedMember() {
    return TakeTextRepaired() ? ", \"text_repaired\": true" : "";
}

std::string JsonNumber(float value) {
    return std::isfinite(value) ? Shortest(value) : "null";
}

std::string JsonArray(const std::vector<std::string>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + values[i];
    return out + "]";
}

JsonObject& JsonObject::Add(const std::string& key, const std::string& json) {
    if (text_.size() > 1) text_ += ", ";
    text_ += JsonString(key) + ": " + json;
    return *this;
}

// --- Formats and records -----------------------------------------------------------------------

Record& Record::Number(const std::string& header, const std::string& key, double value,
                       int decimals) {
    Field f{header, key, {}, {}, true, std::isfinite(value) != 0};
    if (f.finite) f.text = f.json = FixedText(value, decimals);
    fields_.push_back(std::move(f));
    return *this;
}

Record& Record::ExactNumber(const std::string& header, const std::string& key, float value) {
    const bool finite = std::isfinite(value);
    fields_.push_back(
        {header, key, finite ? Exact(value) : "", finite ? Exact(value) : "", true, finite});
    return *this;
}

Record& Record::Integer(const std::string& header, const std::string& key, long long value) {
    fields_.push_back({header, key, std::to_string(value), std::to_string(value), true, true});
    return *this;
}

Record& Record::Text(const std::string& header, const std::string& key, const std::string& text) {
    fields_.push_back({header, key, text, {}, false, true});
    return *this;
}

Record& Record::Json(const std::string& key, const std::string& json) {
    fields_.push_back({{}, key, {}, json, false, true});
    return *this;
}

void Record::RequireFinite() const {
    for (const Field& f : fields_)
        if (!f.finite)
            throw Failure((f.header.empty() ? f.key : f.header) +
                          " cannot be computed for these values: it is not a finite number");
}

const std::string& Record::Cell(const std::string& header) const {
    static const std::string kNone;
    for (const Field& f : fields_)
        if (f.header == header) return f.text;
    return kNone;
}

bool Record::AllNumbers() const {
    return std::all_of(fields_.begin(), fields_.end(),
                       [](const Field& f) { return f.number || f.header.empty(); });
}

std::string Record::JsonText() const {
    TakeTextRepaired();
    std::string text = "{";
    for (const Field& f : fields_) {
        if (f.key.empty()) continue;
        if (text.size() > 1) text += ", ";
        text += JsonString(f.key) + ": " + (f.json.empty() ? JsonString(f.text) : f.json);
    }
    return text + RepairedMember() + "}";
}

std::vector<std::string> Record::Headers() const {
    std::vector<std::string> headers;
    for (const Field& f : fields_)
        if (!f.header.empty()) headers.push_back(f.header);
    return headers;
}

std::vector<std::string> Record::Cells() const {
    std::vector<std::string> cells;
    for (const Field& f : fields_)
        if (!f.header.empty()) cells.push_back(f.text);
    return cells;
}

void RecordWriter::Write(const Record& record) {
    record.RequireFinite();
    const bool first = !started_;
    started_ = true;
    switch (format_) {
        case Format::kTable:
            if (!rows_ && !record.TableText().empty()) {
                std::fputs(record.TableText().c_str(), stdout);
                return;
            }
            if (!rows_) {
                Table table(record.AllNumbers() ? Table::Align::kRight : Table::Align::kLeft);
                for (const std::string& header : record.Headers())
                    table.AddRow({header, record.Cell(header)});
                table.Print();
                return;
            }
            PrintRow(record.Headers(), first ? record.Headers() : std::vector<std::string>());
            PrintRow(record.Headers(), record.Cells());
            return;
        case Format::kCsv:
            if (first) std::printf("%s\n", CsvLine(record.Headers()).c_str());
            std::printf("%s\n", CsvLine(record.Cells()).c_str());
            return;
        case Format::kJson:
            std::printf("%s\n", record.JsonText().c_str());
            return;
    }
}

}  // namespace cli
