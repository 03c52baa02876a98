// vantrel measure | compare: colorimetry and densities of measurement files, and the colour
// differences between a reference set and a sample set.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cgats.h"
#include "cli.h"
#include "report_png.h"
#include "vantrel/colorimetry.h"

namespace {

using cli::ColourSource;
using cli::MeasurementFile;
using cli::Patch;

// ---------------------------------------------------------------------------------------------
// Colour of a patch

struct Colour {
    float xyz[3];  // D50, percent scale
    float lab[3];
    float lch[3];  // hue in degrees
};

Colour colour_of(const MeasurementFile& file, const Patch& patch) {
    Colour c;
    switch (file.source) {
        case ColourSource::Spectrum:
            CX_SpectrumToD50XYZ(patch.spectrum.data(), c.xyz);
            CX_D50XYZ2LAB(c.xyz[0], c.xyz[1], c.xyz[2], &c.lab[0], &c.lab[1], &c.lab[2]);
            break;
        case ColourSource::XYZ:
            std::copy(patch.xyz.begin(), patch.xyz.end(), c.xyz);
            CX_D50XYZ2LAB(c.xyz[0], c.xyz[1], c.xyz[2], &c.lab[0], &c.lab[1], &c.lab[2]);
            break;
        case ColourSource::Lab:
            std::copy(patch.lab.begin(), patch.lab.end(), c.lab);
            CX_D50LAB2XYZ(c.lab[0], c.lab[1], c.lab[2], &c.xyz[0], &c.xyz[1], &c.xyz[2]);
            break;
    }
    LAB2LCH(c.lab, c.lch);
    c.lch[2] = static_cast<float>(static_cast<double>(c.lch[2]) * 180.0 / M_PI);
    return c;
}

const char* source_name(const MeasurementFile& file) {
    switch (file.source) {
        case ColourSource::Spectrum:
            return file.percent_reflectance ? "spectra (percent reflectance, scaled to factors)"
                                            : "spectra";
        case ColourSource::XYZ:
            return "XYZ";
        case ColourSource::Lab:
            return "L*a*b*";
    }
    return "";
}

// What a person calls the patch: its id, else its name, else its place in the file.
std::string label_of(const Patch& patch, size_t index) {
    if (!patch.id.empty()) return patch.id;
    if (!patch.name.empty()) return patch.name;
    return "#" + std::to_string(index + 1);
}

void report_warnings(const std::string& command, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        std::fprintf(stderr, "vantrel %s: warning: %s\n", command.c_str(), w.c_str());
}

// ---------------------------------------------------------------------------------------------
// Output: one record per row, printed as an aligned table, CSV or JSON.

enum class Format { Table, Csv, Json };

Format parse_format(cli::Args& args) {
    std::string name = args.option_value("--format", "table");
    if (name == "table") return Format::Table;
    if (name == "csv") return Format::Csv;
    if (name == "json") return Format::Json;
    throw cli::UsageError("argument --format: '" + name + "' is not table, csv or json");
}

struct Cell {
    std::string text;
    bool number = false;
};

Cell text_cell(const std::string& text) {
    return {text, false};
}
Cell number_cell(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    // "-0.00" reads as a sign where there is none.
    std::string text = buffer;
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
    return {text, true};
}

struct Records {
    std::vector<std::string> headers;  // shown in the table and CSV
    std::vector<std::string> keys;     // JSON member names
    std::vector<std::vector<Cell>> rows;

    void drop_column(size_t column) {
        headers.erase(headers.begin() + static_cast<long>(column));
        keys.erase(keys.begin() + static_cast<long>(column));
        for (auto& row : rows) row.erase(row.begin() + static_cast<long>(column));
    }
};

// Column 1 holds the names; it is left out when there are none.
constexpr size_t kNameColumn = 1;

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string json_value(const Cell& cell) {
    return cell.number ? cell.text : json_string(cell.text);
}

void print_table(const Records& records) {
    cli::Table table;
    table.row(records.headers);
    for (const auto& row : records.rows) {
        std::vector<std::string> cells;
        for (const Cell& cell : row) cells.push_back(cell.text.empty() ? "-" : cell.text);
        table.row(cells);
    }
    table.print();
}

void print_csv(const Records& records) {
    auto line = [](const std::vector<std::string>& cells) {
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i) text += (i ? "," : "") + csv_field(cells[i]);
        std::printf("%s\n", text.c_str());
    };
    line(records.headers);
    for (const auto& row : records.rows) {
        std::vector<std::string> cells;
        for (const Cell& cell : row) cells.push_back(cell.text);
        line(cells);
    }
}

std::string json_object(const std::vector<std::string>& keys, const std::vector<Cell>& cells) {
    std::string text = "{";
    for (size_t i = 0; i < cells.size(); ++i)
        text += (i ? ", " : "") + json_string(keys[i]) + ": " + json_value(cells[i]);
    return text + "}";
}

std::string json_rows(const Records& records, const char* indent) {
    std::string text = "[";
    for (size_t r = 0; r < records.rows.size(); ++r)
        text += std::string(r ? ",\n" : "\n") + indent + "  " +
                json_object(records.keys, records.rows[r]);
    return text + "\n" + indent + "]";
}

// ---------------------------------------------------------------------------------------------
// vantrel measure

constexpr int kColourDecimals = 2;
constexpr int kDensityDecimals = 2;
// CSV and JSON are read by programs: they get more digits than the table.
constexpr int kMachineDecimals = 4;

int run_measure(cli::Args& args) {
    bool densities = args.flag("--densities");
    Format format = parse_format(args);
    std::string path = args.expect({"FILE"})[0];

    std::vector<std::string> warnings;
    MeasurementFile file = cli::read_cgats(path, warnings);
    if (densities && file.source != ColourSource::Spectrum)
        throw cli::Failure(path +
                           ": --densities needs spectral fields (SPECTRAL_400..SPECTRAL_700 "
                           "or nm400..nm700); this file has " +
                           source_name(file) + " only");

    int decimals = format == Format::Table ? kColourDecimals : kMachineDecimals;
    int density_decimals = format == Format::Table ? kDensityDecimals : kMachineDecimals;
    Records records;
    records.headers = {"id", "name", "X", "Y", "Z", "L*", "a*", "b*", "C*", "h"};
    records.keys = {"id", "name", "X", "Y", "Z", "L", "a", "b", "C", "h"};
    if (densities) {
        for (const char* name :
             {"T_vis", "T_red", "T_green", "T_blue", "I_vis", "I_red", "I_green", "I_blue"}) {
            records.headers.push_back(name);
            records.keys.push_back(name);
        }
    }
    for (size_t k = 0; k < file.patches.size(); ++k) {
        const Patch& patch = file.patches[k];
        Colour c = colour_of(file, patch);
        std::vector<Cell> row = {text_cell(file.has_id ? patch.id : std::to_string(k + 1)),
                                 text_cell(patch.name)};
        for (float v : c.xyz) row.push_back(number_cell(v, decimals));
        for (float v : c.lab) row.push_back(number_cell(v, decimals));
        row.push_back(number_cell(c.lch[1], decimals));
        row.push_back(number_cell(c.lch[2], decimals));
        if (densities) {
            float t[4], i[4];
            SpectrumToDensityT(patch.spectrum.data(), t);
            SpectrumToDensityI(patch.spectrum.data(), i);
            for (float v : t) row.push_back(number_cell(v, density_decimals));
            for (float v : i) row.push_back(number_cell(v, density_decimals));
        }
        records.rows.push_back(std::move(row));
    }

    if (!file.has_name) records.drop_column(kNameColumn);

    report_warnings(args.command(), warnings);
    switch (format) {
        case Format::Table:
            std::printf("%s: %zu patches, D50 XYZ from %s\n\n", path.c_str(), file.patches.size(),
                        source_name(file));
            print_table(records);
            break;
        case Format::Csv:
            print_csv(records);
            break;
        case Format::Json:
            std::printf("{\n  \"file\": %s,\n  \"source\": %s,\n  \"patches\": %s\n}\n",
                        json_string(path).c_str(), json_string(source_name(file)).c_str(),
                        json_rows(records, "  ").c_str());
            break;
    }
    return cli::kExitOk;
}

// ---------------------------------------------------------------------------------------------
// vantrel compare: matching

struct Pair {
    const Patch* reference;
    const Patch* sample;
    std::string label;
};

struct Matching {
    std::vector<Pair> pairs;  // in the reference's order
    std::string by;           // "SAMPLE_ID", "SAMPLE_NAME" or "order"
};

const std::string& key_of(const Patch& patch, bool by_id) {
    return by_id ? patch.id : patch.name;
}

std::string line_suffix(const Patch& patch) {
    return patch.line ? " (first on line " + std::to_string(patch.line) + ")" : "";
}

// Index of each patch by its key; a key given twice makes the matching ambiguous.
std::map<std::string, size_t> index_by_key(const MeasurementFile& file, bool by_id,
                                           const std::string& field) {
    std::map<std::string, size_t> index;
    for (size_t k = 0; k < file.patches.size(); ++k) {
        const Patch& patch = file.patches[k];
        auto [at, added] = index.emplace(key_of(patch, by_id), k);
        if (!added) {
            std::string where = file.path + (patch.line ? ":" + std::to_string(patch.line) : "");
            throw cli::Failure(where + ": " + field + " '" + key_of(patch, by_id) +
                               "' given twice" + line_suffix(file.patches[at->second]));
        }
    }
    return index;
}

std::string unmatched_warning(const MeasurementFile& file, const std::vector<std::string>& keys,
                              const std::string& field, const MeasurementFile& other) {
    return file.path + ": " + std::to_string(keys.size()) + " patch" +
           (keys.size() == 1 ? "" : "es") + " with no " + field + " in " + other.path +
           " (first: '" + keys.front() + "'), left out";
}

Matching match_by_key(const MeasurementFile& reference, const MeasurementFile& sample, bool by_id,
                      std::vector<std::string>& warnings) {
    Matching m;
    m.by = by_id ? "SAMPLE_ID" : "SAMPLE_NAME";
    std::map<std::string, size_t> in_reference = index_by_key(reference, by_id, m.by);
    std::map<std::string, size_t> in_sample = index_by_key(sample, by_id, m.by);
    std::vector<std::string> only_reference, only_sample;
    for (size_t k = 0; k < reference.patches.size(); ++k) {
        const Patch& patch = reference.patches[k];
        auto found = in_sample.find(key_of(patch, by_id));
        if (found == in_sample.end()) {
            only_reference.push_back(key_of(patch, by_id));
            continue;
        }
        m.pairs.push_back({&patch, &sample.patches[found->second], label_of(patch, k)});
    }
    for (const Patch& patch : sample.patches)
        if (!in_reference.count(key_of(patch, by_id))) only_sample.push_back(key_of(patch, by_id));
    if (m.pairs.empty())
        throw cli::Failure(sample.path + ": no " + m.by + " in common with " + reference.path);
    if (!only_reference.empty())
        warnings.push_back(unmatched_warning(reference, only_reference, m.by, sample));
    if (!only_sample.empty())
        warnings.push_back(unmatched_warning(sample, only_sample, m.by, reference));
    return m;
}

Matching match_by_order(const MeasurementFile& reference, const MeasurementFile& sample,
                        std::vector<std::string>& warnings) {
    Matching m;
    m.by = "order";
    size_t n = std::min(reference.patches.size(), sample.patches.size());
    if (reference.patches.size() != sample.patches.size())
        warnings.push_back(reference.path + " has " + std::to_string(reference.patches.size()) +
                           " patches, " + sample.path + " has " +
                           std::to_string(sample.patches.size()) + ": compared the first " +
                           std::to_string(n) + " in file order");
    for (size_t k = 0; k < n; ++k)
        m.pairs.push_back(
            {&reference.patches[k], &sample.patches[k], label_of(reference.patches[k], k)});
    return m;
}

// By SAMPLE_ID when both files have it, else by SAMPLE_NAME when both have that, else by order.
Matching match(const MeasurementFile& reference, const MeasurementFile& sample,
               std::vector<std::string>& warnings) {
    if (reference.has_id && sample.has_id) return match_by_key(reference, sample, true, warnings);
    if (reference.has_name && sample.has_name)
        return match_by_key(reference, sample, false, warnings);
    return match_by_order(reference, sample, warnings);
}

// ---------------------------------------------------------------------------------------------
// vantrel compare: metric and statistics

struct Metric {
    enum Kind { Ab, E94, Cmc } kind = Ab;
    float kL = 1.0f, kC = 1.0f, kH = 1.0f;  // ΔE94 parametric factors
    float l = 2.0f, c = 1.0f;               // CMC l:c, 2:1 (acceptability) by default

    float operator()(const float* reference, const float* sample) const {
        switch (kind) {
            case E94:
                return DeltaE94(reference, sample, kL, kC, kH);
            case Cmc:
                return DeltaECMC(reference, sample, l, c);
            case Ab:
                break;
        }
        return DeltaE(reference, sample);
    }

    std::string name() const {
        switch (kind) {
            case E94:
                return "dE94";
            case Cmc:
                return "dECMC";
            case Ab:
                break;
        }
        return "dE*ab";
    }

    std::string parameters() const {
        auto g = [](float v) { return cli::fmt_exact(v); };
        switch (kind) {
            case E94:
                return "kL " + g(kL) + ", kC " + g(kC) + ", kH " + g(kH);
            case Cmc:
                return "l:c " + g(l) + ":" + g(c);
            case Ab:
                break;
        }
        return "";
    }
};

Metric parse_metric(cli::Args& args) {
    Metric m;
    std::string name = args.option_value("--metric", "ab");
    if (name == "94")
        m.kind = Metric::E94;
    else if (name == "cmc")
        m.kind = Metric::Cmc;
    else if (name != "ab")
        throw cli::UsageError("argument --metric: '" + name + "' is not ab, 94 or cmc");

    struct Factor {
        const char* option;
        Metric::Kind applies_to;
        float* target;
    };
    const Factor factors[] = {{"--kl", Metric::E94, &m.kL},
                              {"--kc", Metric::E94, &m.kC},
                              {"--kh", Metric::E94, &m.kH},
                              {"--l", Metric::Cmc, &m.l},
                              {"--c", Metric::Cmc, &m.c}};
    for (const Factor& f : factors) {
        auto value = args.option(f.option, 1);
        if (value.empty()) continue;
        if (m.kind != f.applies_to)
            throw cli::UsageError(std::string("option ") + f.option + " applies to --metric " +
                                  (f.applies_to == Metric::E94 ? "94" : "cmc"));
        *f.target = cli::parse_float(value[0], f.option);
        if (!(*f.target > 0.0f))
            throw cli::UsageError(std::string("argument ") + f.option + ": '" + value[0] +
                                  "' is not above 0");
    }
    return m;
}

struct Summary {
    size_t count = 0;
    double mean = 0, median = 0, p95 = 0, max = 0;
    size_t max_index = 0;  // first pair with the maximum
};

// The q-quantile of sorted values, interpolated linearly between the two nearest ranks: rank
// q (n - 1) counted from 0.
double quantile(const std::vector<double>& sorted, double q) {
    double rank = q * static_cast<double>(sorted.size() - 1);
    size_t below = static_cast<size_t>(std::floor(rank));
    size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

Summary summarise(const std::vector<float>& differences) {
    Summary s;
    s.count = differences.size();
    std::vector<double> sorted(differences.begin(), differences.end());
    double sum = 0;
    for (size_t k = 0; k < differences.size(); ++k) {
        sum += differences[k];
        if (differences[k] > s.max) {
            s.max = differences[k];
            s.max_index = k;
        }
    }
    s.mean = sum / static_cast<double>(s.count);
    std::sort(sorted.begin(), sorted.end());
    s.median = quantile(sorted, 0.5);
    s.p95 = quantile(sorted, 0.95);
    return s;
}

// The worst tenth of the patches (at least one), ties included; none when all match exactly.
std::vector<bool> worst_patches(const std::vector<float>& differences) {
    std::vector<float> sorted(differences);
    std::sort(sorted.begin(), sorted.end(), std::greater<float>());
    size_t keep = std::max<size_t>(1, (differences.size() + 9) / 10);
    float threshold = sorted[std::min(keep, sorted.size()) - 1];
    std::vector<bool> worst;
    for (float d : differences) worst.push_back(d > 0.0f && d >= threshold);
    return worst;
}

std::array<std::uint8_t, 3> srgb_255(const float* lab) {
    float rgb[3];
    LAB2SRGB(lab[0], lab[1], lab[2], &rgb[0], &rgb[1], &rgb[2]);
    std::array<std::uint8_t, 3> out;
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<std::uint8_t>(std::lround(std::clamp(rgb[k], 0.0f, 1.0f) * 255.0f));
    return out;
}

// ---------------------------------------------------------------------------------------------
// vantrel compare

int run_compare(cli::Args& args) {
    Metric metric = parse_metric(args);
    Format format = parse_format(args);
    std::string png = args.option_value("--png", "");
    auto paths = args.expect({"REFERENCE", "SAMPLE"});

    std::vector<std::string> warnings;
    MeasurementFile reference = cli::read_cgats(paths[0], warnings);
    MeasurementFile sample = cli::read_cgats(paths[1], warnings);
    Matching matching = match(reference, sample, warnings);

    std::vector<Colour> ref_colours, smp_colours;
    std::vector<float> differences;
    for (const Pair& pair : matching.pairs) {
        ref_colours.push_back(colour_of(reference, *pair.reference));
        smp_colours.push_back(colour_of(sample, *pair.sample));
        differences.push_back(metric(ref_colours.back().lab, smp_colours.back().lab));
    }
    Summary summary = summarise(differences);
    const std::string& worst_label = matching.pairs[summary.max_index].label;

    if (!png.empty()) {
        std::vector<bool> worst = worst_patches(differences);
        std::vector<cli::ReportSwatch> swatches;
        for (size_t k = 0; k < matching.pairs.size(); ++k)
            swatches.push_back({matching.pairs[k].label, srgb_255(ref_colours[k].lab),
                                srgb_255(smp_colours[k].lab), differences[k], worst[k]});
        char title[160];
        std::snprintf(title, sizeof title, "%s  mean %.2f  max %.2f (%s)", metric.name().c_str(),
                      summary.mean, summary.max, worst_label.c_str());
        cli::write_report_png(png, title, swatches);
    }

    int decimals = format == Format::Table ? kColourDecimals : kMachineDecimals;
    Records records;
    records.headers = {"id",    "name",  "L*ref", "a*ref",      "b*ref",
                       "L*smp", "a*smp", "b*smp", metric.name()};
    records.keys = {"id", "name", "L_ref", "a_ref", "b_ref", "L_smp", "a_smp", "b_smp", "dE"};
    for (size_t k = 0; k < matching.pairs.size(); ++k) {
        const Pair& pair = matching.pairs[k];
        std::vector<Cell> row = {text_cell(pair.label), text_cell(pair.reference->name)};
        for (float v : ref_colours[k].lab) row.push_back(number_cell(v, decimals));
        for (float v : smp_colours[k].lab) row.push_back(number_cell(v, decimals));
        row.push_back(number_cell(differences[k], decimals));
        records.rows.push_back(std::move(row));
    }
    if (!reference.has_name) records.drop_column(kNameColumn);

    report_warnings(args.command(), warnings);
    std::string params = metric.parameters();
    switch (format) {
        case Format::Table: {
            print_table(records);
            std::printf("\n");
            const std::pair<const char*, std::string> lines[] = {
                {"metric", metric.name() + (params.empty() ? "" : " (" + params + ")")},
                {"patches", std::to_string(summary.count) + " matched by " + matching.by},
                {"mean", number_cell(summary.mean, decimals).text},
                {"median", number_cell(summary.median, decimals).text},
                {"95th percentile", number_cell(summary.p95, decimals).text},
                {"maximum", number_cell(summary.max, decimals).text + " (" + worst_label + ")"},
            };
            for (const auto& [label, value] : lines)
                std::printf("%-16s %s\n", label, value.c_str());
            break;
        }
        case Format::Csv:
            print_csv(records);
            break;
        case Format::Json: {
            auto num = [&](double v) { return number_cell(v, decimals).text; };
            std::printf(
                "{\n  \"reference\": %s,\n  \"sample\": %s,\n  \"metric\": %s,\n"
                "  \"parameters\": %s,\n  \"matched_by\": %s,\n  \"patches\": %s,\n"
                "  \"summary\": {\"count\": %zu, \"mean\": %s, \"median\": %s, \"p95\": %s, "
                "\"max\": %s, \"max_patch\": %s}\n}\n",
                json_string(reference.path).c_str(), json_string(sample.path).c_str(),
                json_string(metric.name()).c_str(), json_string(params).c_str(),
                json_string(matching.by).c_str(), json_rows(records, "  ").c_str(), summary.count,
                num(summary.mean).c_str(), num(summary.median).c_str(), num(summary.p95).c_str(),
                num(summary.max).c_str(), json_string(worst_label).c_str());
            break;
        }
    }
    return cli::kExitOk;
}

const cli::Register measure_command(
    {"measure", "colorimetry (and densities) of each patch of a CGATS measurement file",
     "usage: vantrel measure FILE [--densities] [--format table|csv|json]\n\n"
     "Reads a CGATS.17 / IT8 measurement file and prints, for each patch, its id and name,\n"
     "D50 XYZ (percent scale), L*a*b* and LCh (hue in degrees).\n\n"
     "The colour comes from the spectral fields when the file has them (SPECTRAL_400 ..\n"
     "SPECTRAL_700 or nm400 .. nm700, every 10 nm; wider ranges and 5 nm steps are reduced to\n"
     "those 31 wavelengths, and a missing one is an error), else from XYZ_X XYZ_Y XYZ_Z\n"
     "(percent scale, D50), else from LAB_L LAB_A LAB_B. Spectral values are taken as percent\n"
     "and divided by 100 when any value in the file is above 1.5. Ids come from SAMPLE_ID\n"
     "(else the patch's place in the file), names from SAMPLE_NAME. Only the first table of a\n"
     "file is read.\n\n"
     "  --densities  add the Status T and Status I densities (visual, red, green, blue);\n"
     "               needs spectral fields\n"
     "  --format     table (default, 2 decimals), csv or json (4 decimals)\n\n"
     "A missing, unreadable or malformed file gives a one-line error naming the file and the\n"
     "line or field, and exit status 1.\n\n"
     "example: vantrel measure examples/reference.cgats --densities\n",
     run_measure});

const cli::Register compare_command(
    {"compare", "colour differences between a reference and a sample measurement file",
     "usage: vantrel compare REFERENCE SAMPLE [--metric ab|94|cmc]\n"
     "                       [--kl K --kc K --kh K | --l L --c C]\n"
     "                       [--format table|csv|json] [--png FILE]\n\n"
     "Reads two CGATS measurement files (see 'vantrel measure --help' for the fields), pairs\n"
     "their patches and prints the colour difference of each pair and a summary.\n\n"
     "Patches are paired by SAMPLE_ID when both files have it, else by SAMPLE_NAME when both\n"
     "have it, else by their order in the files. Patches without a partner are left out with\n"
     "a warning; so are the surplus patches when pairing by order.\n\n"
     "  --metric  ab (dE*ab, default), 94 (dE94) or cmc (dE CMC l:c); the reference is the\n"
     "            standard of the weighted metrics\n"
     "  --kl --kc --kh  dE94 parametric factors (default 1 1 1)\n"
     "  --l --c   CMC lightness and chroma factors (default 2 1)\n"
     "  --format  table (default, 2 decimals), csv (pairs only) or json (4 decimals)\n"
     "  --png     also draw the comparison: a split swatch per pair (reference left, sample\n"
     "            right, in sRGB), labelled with its difference, the worst tenth outlined\n\n"
     "Summary: count, mean, median, 95th percentile and maximum with its patch. Median and\n"
     "95th percentile interpolate linearly between the two nearest ranks: the q-quantile of\n"
     "n sorted values v[0..n-1] is taken at rank q (n - 1).\n\n"
     "Bad input gives a one-line error naming the file and the line or field, exit status 1,\n"
     "and writes nothing.\n\n"
     "example: vantrel compare examples/reference.cgats examples/measured.cgats\n",
     run_compare});

}  // namespace
