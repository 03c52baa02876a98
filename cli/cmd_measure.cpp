// vantrel measure | compare: colorimetry and densities of measurement files, and the colour
// differences between a reference set and a sample set with a verdict against tolerances.
// The reading, pairing, colour science, statistics and picture are libvantrel_measure's; this
// file parses arguments and prints.
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "cli.h"
#include "input.h"
#include "measure_options.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

constexpr int kTableDecimals = 2;
// CSV and JSON are read by programs: they get more digits than the table.
constexpr int kMachineDecimals = 4;
constexpr std::size_t kFlushAt = 1 << 20;
constexpr long long kMaxTable = 1000000;

// ---------------------------------------------------------------------------------------------
// Output: cells kept as text in one buffer, so that a table of many patches can be aligned
// without a string per cell; printed as an aligned table, CSV or JSON.

// Memory for many rows, not yet touched, is better mapped in large pages where the system
// offers them on request: far fewer page faults as it fills. Only advice.
void AdviseLargePages(const void* data, std::size_t bytes) {
    constexpr std::uintptr_t kLargePage = 2u << 20;
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kLargePage - 1);
#if defined(MADV_HUGEPAGE)
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)begin, (void)end;  // no such advice on this system (Windows)
#endif
}

// Standard output through a large buffer.
class Out {
  public:
    ~Out() { Flush(); }
    Out& operator<<(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushAt) Flush();
        return *this;
    }
    // A large block of text, written as it is.
    void Write(const std::string& text) {
        Flush();
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

  private:
    std::string buffer_;
};

// A fixed-point number, correctly rounded as std::to_chars gives it; "-0.00" loses its sign,
// which reads as a difference where there is none. Written backwards so that it ends just
// before `end`; returns where it begins (at most kNumberRoom bytes before `end`). Values far
// from a tie between two decimals (nearly all of them) are rounded from their scaled
// integer, which is exact when the scaled value is below 1e9: its own rounding error is then
// below 1e-7.
constexpr std::size_t kNumberRoom = 350;  // the longest fixed-point double, 309 digits and more

char* WriteNumberBefore(char* end, double value, int decimals) {
    static constexpr double kScales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const double scaled = value * kScales[decimals];
    // The floor of the scaled value, exact below 1e9, without a call to floor().
    const auto truncated = static_cast<long long>(std::fabs(scaled) < 1e9 ? scaled : 0);
    const long long whole = truncated - (scaled < static_cast<double>(truncated));
    const double above = scaled - static_cast<double>(whole);
    if (std::fabs(scaled) < 1e9 && std::fabs(above - 0.5) > 1e-6) {
        const long long units = whole + (above > 0.5);
        // The digits from the last, the point after `decimals` of them, and at least one
        // digit before the point; below 1e9 + 1 they fit 32 bits.
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
    char buffer[kNumberRoom];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);
    char* const begin = end - text.size();
    std::memcpy(begin, text.data(), text.size());
    return begin;
}

void AppendNumber(std::string& out, double value, int decimals) {
    char buffer[kNumberRoom];
    char* const end = buffer + sizeof buffer;
    const char* begin = WriteNumberBefore(end, value, decimals);
    out.append(begin, static_cast<std::size_t>(end - begin));
}

std::size_t NumberWidth(double value, int decimals) {
    char buffer[kNumberRoom];
    char* const end = buffer + sizeof buffer;
    return static_cast<std::size_t>(end - WriteNumberBefore(end, value, decimals));
}

std::string Number(double value, int decimals) {
    std::string text;
    AppendNumber(text, value, decimals);
    return text;
}

using cli::CsvField;
using cli::JsonString;

struct Column {
    std::string header;  // table and CSV
    std::string key;     // JSON
    bool number = false;
    int decimals = 0;  // of a number column, as its values were given
};

// Rows of cells, given one cell after the other in column order: texts to the text columns,
// values to the number columns. Texts are kept in one buffer and values as they are: the
// numbers are written only when printed, straight into their place in the table or line.
class Records {
  public:
    explicit Records(std::vector<Column> columns) : columns_(std::move(columns)) {
        for (const Column& column : columns_) (column.number ? numberColumns_ : textColumns_)++;
    }

    void Text(std::string_view text) {
        texts_.append(text);
        textEnds_.push_back(static_cast<std::uint32_t>(texts_.size()));
        NextColumn();
    }
    void Value(double value, int decimals) {
        if (!std::isfinite(value) && firstNonFinite_ == kNone)
            firstNonFinite_ = Rows() * columns_.size() + column_;
        columns_[column_].decimals = decimals;
        numbers_.push_back(value);
        NextColumn();
    }

    // A value that is not finite is never printed: a Failure names its patch and column.
    void RequireFinite() const {
        if (firstNonFinite_ == kNone) return;
        const std::size_t row = firstNonFinite_ / columns_.size();
        throw cli::Failure("patch " + cli::Quoted(TextOf(row, 0)) + ": " +
                           columns_[firstNonFinite_ % columns_.size()].header +
                           " cannot be computed (not a finite number)");
    }
    std::size_t Rows() const { return rows_; }

    // Room for `rows` rows.
    void Reserve(std::size_t rows) {
        textEnds_.reserve(rows * textColumns_);
        texts_.reserve(rows * textColumns_ * 8);
        numbers_.reserve(rows * numberColumns_);
    }

    // Columns padded to their widest cell: the first (labels) left-aligned, the values
    // right-aligned; an empty text shows as "-". The rows are laid out in two halves at once.
    void PrintTable(Out& out) const {
        const std::size_t n = columns_.size();
        std::vector<std::size_t> widths;
        for (const Column& column : columns_) widths.push_back(column.header.size());
        // A text column is as wide as its longest text; a number column as its longest
        // number, which is its largest or its smallest value: the text of a fixed-point
        // number grows with its magnitude.
        for (std::size_t c = 0, t = 0, v = 0; c < n; ++c) {
            if (!columns_[c].number) {
                for (std::size_t row = 0; row < rows_; ++row)
                    widths[c] =
                        std::max(widths[c], std::max<std::size_t>(1, TextAt(row, t).size()));
                ++t;
                continue;
            }
            if (rows_ > 0) {
                double low = ValueAt(0, v), high = low;
                for (std::size_t row = 1; row < rows_; ++row) {
                    low = std::min(low, ValueAt(row, v));
                    high = std::max(high, ValueAt(row, v));
                }
                widths[c] = std::max({widths[c], NumberWidth(low, columns_[c].decimals),
                                      NumberWidth(high, columns_[c].decimals)});
            }
            ++v;
        }
        std::string header;
        for (std::size_t c = 0; c < n; ++c) AppendCell(header, widths, c, columns_[c].header);
        out << header << "\n";
        const std::size_t half = rows_ / 2;
        auto second = std::async(std::launch::async, [&] { return Lines(widths, half, rows_); });
        out.Write(Lines(widths, 0, half));
        out.Write(second.get());
    }

    void PrintCsv(Out& out) const {
        std::string line;
        for (std::size_t c = 0; c < columns_.size(); ++c)
            line += (c ? "," : "") + CsvField(columns_[c].header);
        out << line << "\n";
        for (std::size_t row = 0; row < rows_; ++row) {
            line.clear();
            for (std::size_t c = 0, t = 0, v = 0; c < columns_.size(); ++c) {
                if (c) line += ',';
                if (columns_[c].number) {
                    AppendNumber(line, ValueAt(row, v++), columns_[c].decimals);
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

    // The rows as a JSON array of objects, each on a line of its own.
    void PrintJsonRows(Out& out, const char* indent) const {
        out << "[";
        std::vector<std::string> keys;
        for (const Column& column : columns_) keys.push_back(JsonString(column.key) + ": ");
        std::string line;
        for (std::size_t row = 0; row < rows_; ++row) {
            line.assign(row ? ",\n" : "\n").append(indent).append("  {");
            for (std::size_t c = 0, t = 0, v = 0; c < columns_.size(); ++c) {
                line.append(c ? ", " : "").append(keys[c]);
                if (columns_[c].number) {
                    AppendNumber(line, ValueAt(row, v++), columns_[c].decimals);
                    continue;
                }
                const std::string_view text = TextAt(row, t++);
                if (IsPlain(text))
                    line.append("\"").append(text).append("\"");
                else
                    line.append(JsonString(text));
            }
            out << line << "}";
        }
        out << "\n" << indent << "]";
    }

  private:
    void NextColumn() {
        if (++column_ < columns_.size()) return;
        column_ = 0;
        ++rows_;
    }

    void AppendCell(std::string& line, const std::vector<std::size_t>& widths, std::size_t column,
                    std::string_view text) const {
        if (column) line += "  ";
        const std::size_t pad = widths[column] - text.size();
        if (column == 0) {
            line += text;
            if (columns_.size() > 1) line.append(pad, ' ');
        } else {
            line.append(pad, ' ');
            line += text;
        }
    }

    // Rows [begin, end) of the table, each ended by a line break. The text is sized first and
    // filled with blanks; texts are then copied to their places, and numbers written
    // backwards from the end of theirs.
    std::string Lines(const std::vector<std::size_t>& widths, std::size_t begin,
                      std::size_t end) const {
        const std::size_t n = columns_.size();
        auto shown = [](std::string_view cell) {
            return cell.empty() ? std::string_view("-") : cell;
        };
        // With more than one column every line has the same length; a single column is not
        // padded.
        std::size_t size = 0;
        if (n > 1) {
            std::size_t lineLength = 1 + 2 * (n - 1);
            for (std::size_t w : widths) lineLength += w;
            size = (end - begin) * lineLength;
        } else {
            for (std::size_t row = begin; row < end; ++row)
                size += (columns_[0].number ? NumberWidth(ValueAt(row, 0), columns_[0].decimals)
                                            : shown(TextAt(row, 0)).size()) +
                        1;
        }
        std::string text;
        text.reserve(size);
        AdviseLargePages(text.data(), text.capacity());
        text.resize(size, ' ');
        char* p = text.data();
        for (std::size_t row = begin; row < end; ++row) {
            for (std::size_t c = 0, t = 0, v = 0; c < n; ++c) {
                if (c) p += 2;
                if (columns_[c].number) {
                    const double value = ValueAt(row, v++);
                    if (n > 1) {
                        p += widths[c];
                        WriteNumberBefore(p, value, columns_[c].decimals);
                    } else {
                        p += NumberWidth(value, columns_[c].decimals);
                        WriteNumberBefore(p, value, columns_[c].decimals);
                    }
                    continue;
                }
                const std::string_view cell = shown(TextAt(row, t++));
                const std::size_t pad = n > 1 ? widths[c] - cell.size() : 0;
                if (c) p += pad;
                std::memcpy(p, cell.data(), cell.size());
                p += cell.size();
                if (c == 0) p += pad;
            }
            *p++ = '\n';
        }
        return text;
    }

    // Printable ASCII without quotes, backslashes or commas: the same in CSV and, between
    // quotes, in JSON.
    static bool IsPlain(std::string_view text) {
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\' || c == ',') return false;
        }
        return true;
    }
    // Text `t` (counted among the text columns) and value `v` (among the number columns) of
    // a row.
    std::string_view TextAt(std::size_t row, std::size_t t) const {
        const std::size_t k = row * textColumns_ + t;
        const std::size_t begin = k ? textEnds_[k - 1] : 0;
        return std::string_view(texts_).substr(begin, textEnds_[k] - begin);
    }
    double ValueAt(std::size_t row, std::size_t v) const {
        return numbers_[row * numberColumns_ + v];
    }
    // The text of column `c` of a row, "" for a number column.
    std::string_view TextOf(std::size_t row, std::size_t c) const {
        if (columns_[c].number) return {};
        std::size_t t = 0;
        for (std::size_t k = 0; k < c; ++k) t += !columns_[k].number;
        return TextAt(row, t);
    }

    static constexpr std::size_t kNone = ~std::size_t{0};

    std::vector<Column> columns_;
    std::size_t textColumns_ = 0, numberColumns_ = 0;
    std::string texts_;
    std::vector<std::uint32_t> textEnds_;  // text k is texts_[textEnds_[k - 1], textEnds_[k])
    std::vector<double> numbers_;
    std::size_t rows_ = 0;
    std::size_t column_ = 0;              // of the next cell given
    std::size_t firstNonFinite_ = kNone;  // the first cell whose value is not finite
};

void ReportWarnings(const std::string& command, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        std::fprintf(stderr, "vantrel %s: warning: %s\n", command.c_str(), cli::Escaped(w).c_str());
}

// ---------------------------------------------------------------------------------------------
// Options shared by measure and compare

// Reads a measurement file; "-" is standard input.
measure::MeasurementSet ReadSet(const std::string& path, int table) {
    if (path != "-") return measure::ReadCgats(path, {table});
    return measure::ParseCgats(cli::ReadInput("-"), "standard input", {table});
}

int ParseTable(cli::Args& args, const char* option, int fallback) {
    auto value = args.Option(option, 1);
    if (value.empty()) return fallback;
    return static_cast<int>(
        cli::ParseWhole(value[0], std::string("option ") + option, 1, kMaxTable));
}

// A file whose header states an illuminant or observer other than the one its spectra are
// integrated for gets a warning: the colour printed is not the colour the file describes.
void WarnOfStatedConditions(const measure::MeasurementSet& set,
                            const measure::Integration& integration,
                            std::vector<std::string>& warnings) {
    if (set.source != measure::ColourSource::Spectrum) return;
    const auto illuminant = measure::ParseIlluminant(set.conditions.illuminant);
    const std::string& observer = set.conditions.observer;
    const bool tenDegrees = observer.rfind("10", 0) == 0;
    const bool twoDegrees = observer.rfind("2", 0) == 0;
    const bool usedTen = integration.observer == measure::Observer::TenDegree;
    if ((illuminant && *illuminant != integration.illuminant) || (tenDegrees && !usedTen) ||
        (twoDegrees && usedTen))
        warnings.push_back(set.path + ": states ILLUMINANT '" + set.conditions.illuminant +
                           "' and OBSERVER '" + observer + "'; its spectra were integrated for " +
                           measure::IlluminantName(integration.illuminant) +
                           (usedTen ? " and 10 degrees" : " and 2 degrees") +
                           " (--illuminant and --observer choose)");
}

// ---------------------------------------------------------------------------------------------
// vantrel measure

int RunMeasure(cli::Args& args) {
    const bool densities = args.Flag("--densities");
    const cli::Format format = cli::TakeFormat(args);
    const measure::Integration integration = cli::ParseIntegration(args);
    const float scale = cli::TakeXyzScale(args);
    const int table = ParseTable(args, "--table", 1);
    const std::string path = args.Expect({"FILE"})[0];
    cli::RefuseStandardOutputOverInput({path});

    const measure::MeasurementSet set = ReadSet(path, table);
    const std::vector<measure::Colour> colours = measure::Colours(set, integration);
    if (densities) measure::DensitiesOf(set, 0);  // fails before anything is printed

    const int decimals = format == cli::Format::kTable ? kTableDecimals : kMachineDecimals;
    std::vector<Column> columns = {{"id", "id", false}};
    if (set.hasName) columns.push_back({"name", "name", false});
    for (const char* name : {"X", "Y", "Z"}) columns.push_back({name, name, true});
    for (const char* name : {"L*", "a*", "b*", "C*"}) columns.push_back({name, {name[0]}, true});
    columns.push_back({"h", "h", true});
    if (densities)
        for (const char* name :
             {"T_vis", "T_red", "T_green", "T_blue", "I_vis", "I_red", "I_green", "I_blue"})
            columns.push_back({name, name, true});
    Records records(std::move(columns));
    for (std::size_t k = 0; k < set.patches.size(); ++k) {
        const measure::Patch& patch = set.patches[k];
        const measure::Colour& c = colours[k];
        records.Text(set.hasId ? patch.id : std::to_string(k + 1));
        if (set.hasName) records.Text(patch.name);
        // XYZ on the unit scale keeps the digits of the percent scale.
        for (double v : c.xyz)
            records.Value(scale == 1.0f ? v / 100.0 : v, scale == 1.0f ? decimals + 2 : decimals);
        for (double v : c.lab) records.Value(v, decimals);
        double hue = std::atan2(c.lab[2], c.lab[1]) * 180.0 / M_PI;
        if (hue < 0) hue += 360.0;
        records.Value(std::hypot(c.lab[1], c.lab[2]), decimals);
        records.Value(hue, decimals);
        if (densities) {
            const measure::Densities d = measure::DensitiesOf(set, k);
            for (float v : d.statusT) records.Value(v, decimals);
            for (float v : d.statusI) records.Value(v, decimals);
        }
    }

    records.RequireFinite();
    std::vector<std::string> warnings = set.warnings;
    WarnOfStatedConditions(set, integration, warnings);
    ReportWarnings(args.Command(), warnings);
    const std::string colour = measure::DescribeColour(set, integration);
    Out out;
    switch (format) {
        case cli::Format::kTable:
            out << set.path << ": " << std::to_string(set.patches.size())
                << (set.patches.size() == 1 ? " patch" : " patches") << ", colour from " << colour
                << "\n\n";
            records.PrintTable(out);
            break;
        case cli::Format::kCsv:
            records.PrintCsv(out);
            break;
        case cli::Format::kJson:
            cli::TakeTextRepaired();
            out << "{\n  \"file\": " << JsonString(set.path)
                << ",\n  \"table\": " << std::to_string(set.table)
                << ",\n  \"colour\": " << JsonString(colour) << ",\n  \"patches\": ";
            records.PrintJsonRows(out, "  ");
            out << (cli::TakeTextRepaired() ? ",\n  \"text_repaired\": true" : "") << "\n}\n";
            break;
    }
    return cli::kExitOk;
}

// ---------------------------------------------------------------------------------------------
// vantrel compare

measure::Tolerances ParseTolerances(cli::Args& args) {
    measure::Tolerances tolerances;
    const std::pair<const char*, std::optional<double>*> limits[] = {
        {"--max", &tolerances.max}, {"--mean", &tolerances.mean}, {"--p95", &tolerances.p95}};
    for (const auto& [option, target] : limits) {
        auto value = args.Option(option, 1);
        if (!value.empty())
            *target =
                cli::ParseDouble(value[0], std::string("option ") + option, cli::kNonNegative);
    }
    return tolerances;
}

struct CompareRequest {
    measure::CompareOptions options;
    cli::Format format = cli::Format::kTable;
    std::string png;
    bool sort = false;
    std::size_t worst = 0;  // 0: every patch
    int referenceTable = 1, sampleTable = 1;
    std::vector<std::string> paths;
};

CompareRequest ParseCompare(cli::Args& args) {
    CompareRequest r;
    r.options.metric = cli::ParseMetric(args);
    r.options.integration = cli::ParseIntegration(args);
    r.options.tolerances = ParseTolerances(args);
    r.options.ignoreConditions = args.Flag("--ignore-conditions");
    r.format = cli::TakeFormat(args);
    r.png = args.OptionValue("--png", "");
    r.sort = args.Flag("--sort");
    auto worst = args.Option("--worst", 1);
    if (!worst.empty()) {
        r.worst = static_cast<std::size_t>(cli::ParseWhole(worst[0], "option --worst", 1));
    }
    const int both = ParseTable(args, "--table", 1);
    r.referenceTable = ParseTable(args, "--ref-table", both);
    r.sampleTable = ParseTable(args, "--sample-table", both);
    r.paths = args.Expect({"REFERENCE", "SAMPLE"});
    if (r.paths[0] == "-" && r.paths[1] == "-")
        throw cli::UsageError("standard input ('-') can be only one of the two files");
    cli::RefuseOutputOverInput(r.png, "--png", r.paths);
    cli::RefuseStandardOutputOverInput(r.paths);
    return r;
}

// The rows to list: every pair in the reference's order, or worst first, or the worst N.
std::vector<std::size_t> ListedRows(const CompareRequest& r, const measure::Comparison& c) {
    if (!r.sort && r.worst == 0) {
        std::vector<std::size_t> rows(c.patches.size());
        for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = k;
        return rows;
    }
    std::vector<std::size_t> rows = measure::WorstFirst(c.differences);
    if (r.worst && r.worst < rows.size()) rows.resize(r.worst);
    return rows;
}

Records CompareRecords(const CompareRequest& r, const measure::MeasurementSet& reference,
                       const measure::Comparison& c) {
    const bool machine = r.format != cli::Format::kTable;
    const int decimals = machine ? kMachineDecimals : kTableDecimals;
    const std::string label = measure::MetricLabel(r.options.metric);
    std::vector<Column> columns = {{"id", "id", false}};
    if (reference.hasName) columns.push_back({"name", "name", false});
    const char* const kLab[] = {"L*", "a*", "b*"};
    for (const char* side : {"ref", "smp"})
        for (const char* name : kLab)
            columns.push_back(
                {std::string(name) + side, std::string(1, name[0]) + "_" + side, true});
    if (machine) {
        columns.push_back({"dL*", "dL", true});
        columns.push_back({"dC*", "dC", true});
        columns.push_back({"dH*", "dH", true});
    }
    columns.push_back({label, "dE", true});
    const std::vector<std::size_t> rows = ListedRows(r, c);
    Records records(columns);
    records.Reserve(rows.size());
    for (const std::size_t k : rows) {
        const measure::ComparedPatch& p = c.patches[k];
        const measure::Patch& patch = reference.patches[p.reference];
        if (patch.id.empty())
            records.Text(measure::PatchLabel(reference, p.reference));
        else
            records.Text(patch.id);
        if (reference.hasName) records.Text(patch.name);
        for (double v : p.referenceLab) records.Value(v, decimals);
        for (double v : p.sampleLab) records.Value(v, decimals);
        if (machine) {
            records.Value(p.components.dL, decimals);
            records.Value(p.components.dC, decimals);
            records.Value(p.components.dH, decimals);
        }
        records.Value(p.difference, decimals);
    }
    return records;
}

std::string ColourLine(const CompareRequest& r, const measure::MeasurementSet& reference,
                       const measure::MeasurementSet& sample) {
    const std::string ref = measure::DescribeColour(reference, r.options.integration);
    const std::string smp = measure::DescribeColour(sample, r.options.integration);
    return ref == smp ? ref : "reference " + ref + "; sample " + smp;
}

void PrintSummaryTable(Out& out, const CompareRequest& r, const measure::MeasurementSet& reference,
                       const measure::MeasurementSet& sample, const measure::Comparison& c) {
    const measure::Statistics& s = c.statistics;
    const std::string parameters = measure::MetricParameters(r.options.metric);
    auto n = [](double v) { return Number(v, kTableDecimals); };
    std::vector<std::pair<std::string, std::string>> lines = {
        {"metric", measure::MetricLabel(r.options.metric) +
                       (parameters.empty() ? "" : " (" + parameters + ")")},
        {"colour", ColourLine(r, reference, sample)},
        {"patches", std::to_string(s.count) + " matched by " + measure::PairedByName(c.pairing.by)},
        {"mean", n(s.mean)},
        {"std. deviation", n(s.stdDev)},
        {"median", n(s.median)},
        {"95th percentile", n(s.p95)},
        {"maximum",
         n(s.max) + " (" + measure::PatchLabel(reference, c.patches[s.worst].reference) + ")"},
    };
    for (const measure::LimitCheck& check : c.verdict.checks) {
        std::string text = n(check.limit) + "  " + (check.pass ? "PASS" : "FAIL");
        if (check.name == "max")
            text += " (" + std::to_string(c.verdict.overMax) + " patch" +
                    (c.verdict.overMax == 1 ? "" : "es") + " over)";
        lines.emplace_back("limit " + check.name, text);
    }
    if (!c.verdict.checks.empty()) lines.emplace_back("verdict", c.verdict.pass ? "PASS" : "FAIL");
    for (const auto& [label, value] : lines) {
        char head[32];
        std::snprintf(head, sizeof head, "%-16s ", label.c_str());
        out << head << value << "\n";
    }
}

void PrintSummaryJson(Out& out, const CompareRequest& r, const measure::MeasurementSet& reference,
                      const measure::MeasurementSet& sample, const measure::Comparison& c) {
    const measure::Statistics& s = c.statistics;
    auto n = [](double v) { return Number(v, kMachineDecimals); };
    out << ",\n  \"summary\": {\"count\": " << std::to_string(s.count)
        << ", \"mean\": " << n(s.mean) << ", \"std_dev\": " << n(s.stdDev)
        << ", \"median\": " << n(s.median) << ", \"p95\": " << n(s.p95) << ", \"max\": " << n(s.max)
        << ", \"max_patch\": "
        << JsonString(measure::PatchLabel(reference, c.patches[s.worst].reference)) << "}";
    out << ",\n  \"colour\": {\"reference\": "
        << JsonString(measure::DescribeColour(reference, r.options.integration))
        << ", \"sample\": " << JsonString(measure::DescribeColour(sample, r.options.integration))
        << "}";
    if (c.verdict.checks.empty()) return;
    out << ",\n  \"tolerances\": {";
    for (std::size_t k = 0; k < c.verdict.checks.size(); ++k) {
        const measure::LimitCheck& check = c.verdict.checks[k];
        out << (k ? ", " : "") << JsonString(check.name) << ": {\"limit\": " << n(check.limit)
            << ", \"value\": " << n(check.value)
            << ", \"pass\": " << (check.pass ? "true" : "false");
        if (check.name == "max") out << ", \"over\": " << std::to_string(c.verdict.overMax);
        out << "}";
    }
    out << "},\n  \"verdict\": " << (c.verdict.pass ? "\"PASS\"" : "\"FAIL\"");
}

// A file read and its colours computed: the two files of a comparison are read at the same
// time, one on a thread of its own.
struct ReadFile {
    measure::MeasurementSet set;
    std::vector<measure::Colour> colours;
};

ReadFile ReadWithColours(const std::string& path, int table,
                         const measure::Integration& integration) {
    ReadFile file{ReadSet(path, table), {}};
    file.colours = measure::Colours(file.set, integration);
    return file;
}

int RunCompare(cli::Args& args) {
    CompareRequest r = ParseCompare(args);
    auto later = std::async(std::launch::async, ReadWithColours, r.paths[1], r.sampleTable,
                            r.options.integration);
    ReadFile first = ReadWithColours(r.paths[0], r.referenceTable, r.options.integration);
    ReadFile second = later.get();
    try {
        if (!r.options.ignoreConditions) measure::CheckConditions(first.set, second.set);
    } catch (const measure::Error& e) {
        throw cli::Failure(std::string(e.what()) + " (--ignore-conditions compares them anyway)");
    }
    // Both files integrated alike, and a scale guessed for one settled by the other: then the
    // colours are computed again.
    const measure::Integration integration =
        measure::SharedIntegration(first.set, second.set, r.options.integration);
    const bool guessed = first.set.scale.basis == measure::ScaleBasis::Guess ||
                         second.set.scale.basis == measure::ScaleBasis::Guess;
    measure::SettleGuessedScale(first.set, second.set, r.options);
    for (ReadFile* file : {&first, &second})
        if (guessed ||
            (integration.cie && measure::UsesLibraryTable(file->set, r.options.integration)))
            file->colours = measure::Colours(file->set, integration);
    r.options.integration = integration;
    const measure::MeasurementSet& reference = first.set;
    const measure::MeasurementSet& sample = second.set;
    measure::CompareOptions options = r.options;
    options.ignoreConditions = true;
    options.pairBy = reference.hasId && sample.hasId       ? measure::PairedBy::SampleId
                     : reference.hasName && sample.hasName ? measure::PairedBy::SampleName
                                                           : measure::PairedBy::Order;
    // The pairs are measured in two halves at once.
    measure::Comparison c = measure::StartComparison(reference, sample, options);
    const std::size_t pairs = c.patches.size(), half = pairs / 2;
    auto measured = std::async(std::launch::async, [&] {
        measure::MeasurePairs(c, first.colours, second.colours, r.options.metric, half, pairs);
    });
    measure::MeasurePairs(c, first.colours, second.colours, r.options.metric, 0, half);
    measured.get();
    measure::FinishComparison(c, r.options.tolerances);
    if (!r.png.empty()) measure::WriteReportPng(r.png, reference, sample, c, r.options);

    const Records records = CompareRecords(r, reference, c);
    records.RequireFinite();
    std::vector<std::string> warnings = reference.warnings;
    warnings.insert(warnings.end(), sample.warnings.begin(), sample.warnings.end());
    WarnOfStatedConditions(reference, r.options.integration, warnings);
    WarnOfStatedConditions(sample, r.options.integration, warnings);
    warnings.insert(warnings.end(), c.pairing.warnings.begin(), c.pairing.warnings.end());
    ReportWarnings(args.Command(), warnings);
    Out out;
    switch (r.format) {
        case cli::Format::kTable:
            records.PrintTable(out);
            out << "\n";
            PrintSummaryTable(out, r, reference, sample, c);
            break;
        case cli::Format::kCsv:
            records.PrintCsv(out);
            break;
        case cli::Format::kJson:
            cli::TakeTextRepaired();
            out << "{\n  \"reference\": " << JsonString(reference.path)
                << ",\n  \"sample\": " << JsonString(sample.path)
                << ",\n  \"metric\": " << JsonString(measure::MetricLabel(r.options.metric))
                << ",\n  \"parameters\": "
                << JsonString(measure::MetricParameters(r.options.metric))
                << ",\n  \"matched_by\": " << JsonString(measure::PairedByName(c.pairing.by))
                << ",\n  \"patches\": ";
            records.PrintJsonRows(out, "  ");
            PrintSummaryJson(out, r, reference, sample, c);
            out << (cli::TakeTextRepaired() ? ",\n  \"text_repaired\": true" : "") << "\n}\n";
            break;
    }
    return c.verdict.pass ? cli::kExitOk : cli::kExitOutOfTolerance;
}

// ---------------------------------------------------------------------------------------------
// Help

const cli::Register measure_command(
    {"measure", "colorimetry (and densities) of each patch of a CGATS measurement file",
     "usage: vantrel measure FILE [--densities] [--illuminant ILL] [--observer 2|10]\n"
     "                       [--table N] [--scale percent|unit] [--format table|csv|json]\n\n"
     "Reads a CGATS.17 measurement file ('-' reads standard input) and prints, for each\n"
     "patch, its id and name, XYZ (percent scale, white Y = 100, unless --scale unit),\n"
     "L*a*b* and C*, h (hue in degrees). The first line of the table says where the colour\n"
     "came from.\n\n"
     "The colour comes from the spectral fields when the file has them, else from XYZ_X\n"
     "XYZ_Y XYZ_Z (percent scale, D50), else from LAB_L LAB_A LAB_B. Spectral fields are\n"
     "named SPECTRAL_380, SPECTRAL_NM380, SPECTRAL_NM_380, NM380 or SPEC_380 (any case),\n"
     "every 5 or 10 nm; the samples every 10 nm are used and must have no gap. Spectral\n"
     "values are percent and divided by 100 when any value in the file is above 1.5. Ids\n"
     "come from SAMPLE_ID (else the patch's place in the file), names from SAMPLE_NAME.\n\n"
     "Spectra are integrated, by default, with the library's D50 table (2 degree observer,\n"
     "400 to 700 nm, the file must cover that), L*a*b* relative to D50. With --illuminant\n"
     "or --observer the file's own range is integrated every 10 nm with the CIE\n"
     "colour-matching functions weighted by the illuminant's spectrum, and L*a*b* is\n"
     "relative to the perfect reflector under the same illuminant and observer. F2, F7 and\n"
     "F11 are sampled every 10 nm too, which misses the narrow lines of those lamps between\n"
     "the samples.\n\n"
     "  --densities   add the Status T and Status I densities (visual, red, green, blue);\n"
     "                needs spectra covering 400 to 700 nm\n"
     "  --illuminant  D50, D65, A, C, F2, F7 or F11 (D50 when only --observer is given)\n"
     "  --observer    2 (CIE 1931, default) or 10 (CIE 1964)\n"
     "  --table N     read the file's table N (from 1); the first by default, with a\n"
     "                warning when the file holds more\n"
     "  --format      table (default, 2 decimals), csv or json (4 decimals)\n\n"
     "A missing, unreadable or malformed file is exit status 1, with one line naming the\n"
     "file, and the line and field at fault.\n\n"
     "example: vantrel measure examples/reference.cgats --densities\n",
     RunMeasure});

const cli::Register compare_command(
    {"compare", "colour differences between a reference and a sample, with a verdict",
     "usage: vantrel compare REFERENCE SAMPLE [--metric 2000|94|cmc|ab]\n"
     "                       [--kl K --kc K --kh K | --l L --c C]\n"
     "                       [--max X] [--mean X] [--p95 X] [--sort] [--worst N]\n"
     "                       [--illuminant ILL] [--observer 2|10] [--ignore-conditions]\n"
     "                       [--table N] [--ref-table N] [--sample-table N]\n"
     "                       [--format table|csv|json] [--png FILE]\n\n"
     "Reads two CGATS measurement files (see 'vantrel measure --help' for the fields and\n"
     "the integration of spectra; '-' reads one of them from standard input), pairs their\n"
     "patches and prints the colour difference of each pair and a summary.\n\n"
     "Patches are paired by SAMPLE_ID when both files have it, else by SAMPLE_NAME when both\n"
     "have it, else by their order in the files. Patches without a partner are left out with\n"
     "a warning; so are the surplus patches when pairing by order. When both files state an\n"
     "ILLUMINANT, OBSERVER, MEASUREMENT_CONDITION (M0 to M3) or FILTER in their header and\n"
     "these differ, nothing is compared (exit status 1) unless --ignore-conditions is given.\n\n"
     "  --metric  2000 (CIEDE2000, dE00, default, computed in double precision), 94 (CIE\n"
     "            1994, dE94), cmc (CMC l:c, dECMC) or ab (CIE 1976, dE*ab); the\n"
     "            reference is the standard of the weighted metrics\n"
     "  --kl --kc --kh  parametric factors of dE00 and dE94 (default 1 1 1)\n"
     "  --l --c   CMC lightness and chroma factors (default 2 1)\n"
     "  --max X   tolerance on the largest difference; the summary also counts the\n"
     "            patches above it\n"
     "  --mean X  tolerance on the mean difference\n"
     "  --p95 X   tolerance on the 95th percentile\n"
     "  --sort    list the patches worst first\n"
     "  --worst N list only the N worst patches, worst first (the summary covers all)\n"
     "  --illuminant, --observer  integrate spectra for another illuminant or observer\n"
     "  --table N        read table N of both files; --ref-table N and --sample-table N\n"
     "                   choose for one file\n"
     "  --format  table (default, 2 decimals), csv (pairs only) or json (4 decimals); csv\n"
     "            and json also give the signed dL*, dC*ab and dH*ab of the sample from the\n"
     "            reference\n"
     "  --png     also draw the comparison (at most 4096 x 4096 pixels): a title with both\n"
     "            files and the metric, a legend, a histogram of the differences with the\n"
     "            tolerances, and a split swatch per pair (reference left, sample right, in\n"
     "            sRGB) labelled with its difference, the worst tenth outlined. When not\n"
     "            all fit, the worst are drawn, worst first, and the picture says how many\n"
     "            were left out. FILE may not be one of the inputs.\n\n"
     "Summary: metric and parameters, where the colour came from, count, mean, standard\n"
     "deviation (of a sample: divided by n - 1), median, 95th percentile and maximum with its\n"
     "patch; then each tolerance given with PASS or FAIL, and the verdict. Median and 95th\n"
     "percentile interpolate linearly between the two nearest ranks: the q-quantile of n\n"
     "sorted values v[0..n-1] is taken at rank q (n - 1).\n\n"
     "Exit status: 0 success, every tolerance met; 1 bad input (one line naming the file,\n"
     "and the line and field at fault; nothing written) or a failed write; 2 bad usage;\n"
     "3 a tolerance failed (everything is still printed and drawn).\n\n"
     "example: vantrel compare examples/reference.cgats examples/measured.cgats --max 5\n",
     RunCompare});

}  // namespace
