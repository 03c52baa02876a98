#include "render.h"

#include <algorithm>
#include <cmath>

#include "cli.h"

namespace cli {

namespace {

// Columns of a batch table are at least this wide, so that rows printed one by one line up
// for the usual magnitudes.
constexpr size_t kRowColumnWidth = 10;

// One line of a batch table: each cell right-aligned in a column as wide as its header, or
// kRowColumnWidth when that is wider. Nothing for no cells.
std::string RowLine(const std::vector<std::string>& headers,
                    const std::vector<std::string>& cells) {
    if (cells.empty()) return {};
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        const size_t width = std::max(kRowColumnWidth, headers[i].size());
        if (i) line += "  ";
        line.append(width > cells[i].size() ? width - cells[i].size() : 0, ' ') += cells[i];
    }
    return line + "\n";
}

}  // namespace

// --- Records ---------------------------------------------------------------------------------

Record& Record::Number(const std::string& header, const std::string& key, double value,
                       int decimals) {
    Field f{header, key, {}, {}, true, std::isfinite(value) != 0};
    if (f.finite) f.text = Fixed(value, decimals);
    fields_.push_back(std::move(f));
    return *this;
}

Record& Record::ExactNumber(const std::string& header, const std::string& key, float value) {
    const bool finite = std::isfinite(value);
    fields_.push_back({header, key, finite ? Exact(value) : "", {}, true, finite});
    return *this;
}

Record& Record::Integer(const std::string& header, const std::string& key, long long value) {
    fields_.push_back({header, key, std::to_string(value), {}, true, true});
    return *this;
}

Record& Record::Text(const std::string& header, const std::string& key, const std::string& text) {
    Field f{header, key, text, cli::Json::Text(text), false, true};
    f.hasJson = true;
    fields_.push_back(std::move(f));
    return *this;
}

Record& Record::Json(const std::string& key, cli::Json value) {
    Field f{{}, key, {}, std::move(value), false, true};
    f.hasJson = true;
    fields_.push_back(std::move(f));
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
            if (!rows_ && !record.tableText_.empty()) {
                out_ << record.tableText_;
            } else if (!rows_) {
                const bool numbers = std::all_of(
                    record.fields_.begin(), record.fields_.end(),
                    [](const Record::Field& f) { return f.number || f.header.empty(); });
                Table table(numbers ? Table::Align::kRight : Table::Align::kLeft);
                for (const std::string& header : record.Headers())
                    table.AddRow({header, record.Cell(header)});
                out_ << table.Text();
            } else {
                if (first) out_ << RowLine(record.Headers(), record.Headers());
                out_ << RowLine(record.Headers(), record.Cells());
            }
            break;
        case Format::kCsv:
            if (first) out_ << CsvLine(record.Headers()) << "\n";
            out_ << CsvLine(record.Cells()) << "\n";
            break;
        case Format::kJson: {
            JsonWriter json;
            std::string text = "{";
            for (const Record::Field& f : record.fields_) {
                if (f.key.empty()) continue;
                if (text.size() > 1) text += ", ";
                json.Append(text, f.key);
                text += ": " + (f.hasJson ? json.Write(f.json) : f.text);
            }
            out_ << text << (json.Repaired() ? ", \"text_repaired\": true" : "") << "}\n";
            break;
        }
    }
    // The rows of a batch appear as they come.
    if (rows_) out_.Flush();
}

// --- Reports ---------------------------------------------------------------------------------

void Render(const Report& report, Format format, Output& out) {
    switch (format) {
        case Format::kTable:
            out << report.title;
            if (report.tableRows) report.rows.PrintTable(out);
            if (report.summary.empty()) return;
            out << "\n";
            for (const auto& [label, value] : report.summary) {
                std::string line = label;
                line.resize(std::max<size_t>(16, label.size()), ' ');
                out << line << " " << value << "\n";
            }
            return;
        case Format::kCsv:
            report.rows.PrintCsv(out);
            return;
        case Format::kJson:
            break;
    }
    JsonWriter json;
    std::string text = "{";
    for (const auto& [key, value] : report.head)
        text += (text.size() > 1 ? ",\n  " : "\n  ") + json.String(key) + ": " + json.Write(value);
    out << text << (text.size() > 1 ? ",\n  " : "\n  ") << json.String(report.listKey) << ": ";
    if (!report.listItems) {
        report.rows.PrintJson(out, json, "  ");
    } else {
        text = "[";
        for (size_t i = 0; i < report.items.size(); ++i)
            text += (i ? ",\n    " : "\n    ") + json.Write(report.items[i]);
        out << text << (report.items.empty() ? "]" : "\n  ]");
    }
    text.clear();
    for (const auto& [key, value] : report.tail)
        text += ",\n  " + json.String(key) + ": " + json.Write(value);
    out << text << (json.Repaired() ? ",\n  \"text_repaired\": true" : "") << "\n}\n";
}

}  // namespace cli
