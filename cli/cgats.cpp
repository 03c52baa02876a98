#include "cgats.h"

#include <lcms2.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "cli.h"

namespace cli {

namespace {

constexpr int kWavelengthCount = (kLastWavelength - kFirstWavelength) / kWavelengthStep + 1;
// Spectral values above this are taken as percent reflectance: factors of real surfaces stay
// well below it, even with optical brighteners.
constexpr float kPercentThreshold = 1.5f;

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string read_whole_file(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw Failure(path + ": is a directory");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure(path + ": cannot open (" + std::strerror(errno) + ")");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw Failure(path + ": cannot read");
    return text.str();
}

// Where the keywords and data rows of the first table sit, found by a plain line scan so that
// messages can name lines; the parsing proper is Little CMS's.
struct Layout {
    int format_line = 0;        // BEGIN_DATA_FORMAT
    int data_line = 0;          // BEGIN_DATA
    int end_line = 0;           // END_DATA
    bool fields_count = false;  // NUMBER_OF_FIELDS before BEGIN_DATA_FORMAT
    int declared_fields = 0;    // its value
    bool sets_count = false;    // NUMBER_OF_SETS before BEGIN_DATA
    std::vector<int> row_lines;
    std::vector<int> row_values;  // values on each row line, quoted strings counting as one
};

int count_values(const std::string& line) {
    int count = 0;
    for (size_t i = 0; i < line.size();) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else {
            ++count;
            if (line[i] == '"') {
                size_t close = line.find('"', i + 1);
                i = close == std::string::npos ? line.size() : close + 1;
            }
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        }
    }
    return count;
}

Layout scan_layout(const std::string& text) {
    Layout layout;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        first = upper(first);
        if (layout.data_line == 0) {
            if (first == "NUMBER_OF_FIELDS" && layout.format_line == 0) {
                layout.fields_count = true;
                words >> layout.declared_fields;
            }
            if (first == "NUMBER_OF_SETS") layout.sets_count = true;
            if (first == "BEGIN_DATA_FORMAT" && layout.format_line == 0)
                layout.format_line = number;
            if (first == "BEGIN_DATA" && layout.format_line != 0) layout.data_line = number;
        } else if (first == "END_DATA") {
            layout.end_line = number;
            break;
        } else {
            layout.row_lines.push_back(number);
            layout.row_values.push_back(count_values(line));
        }
    }
    return layout;
}

void check_layout(const std::string& path, const Layout& layout) {
    auto at = [&](int line) { return path + ":" + std::to_string(line) + ": "; };
    if (layout.format_line == 0) throw Failure(path + ": not a CGATS file (no BEGIN_DATA_FORMAT)");
    if (layout.data_line == 0) throw Failure(path + ": not a CGATS file (no BEGIN_DATA)");
    if (!layout.fields_count)
        throw Failure(at(layout.format_line) + "NUMBER_OF_FIELDS missing before BEGIN_DATA_FORMAT");
    if (!layout.sets_count)
        throw Failure(at(layout.data_line) + "NUMBER_OF_SETS missing before BEGIN_DATA");
    if (layout.end_line == 0) throw Failure(at(layout.data_line) + "data block has no END_DATA");
    if (layout.row_lines.empty()) throw Failure(at(layout.data_line) + "empty data block");
}

// Little CMS reports through the error handler of the context; the first message is kept and
// turned into "path:line: text".
struct ParserContext {
    std::string message;

    static void on_error(cmsContext context, cmsUInt32Number, const char* text) {
        auto* self = static_cast<ParserContext*>(cmsGetContextUserData(context));
        if (self && self->message.empty()) self->message = text ? text : "parse error";
    }
};

std::string parser_failure(const std::string& path, const Layout& layout, std::string message) {
    // A data row with too many or too few values is the usual cause, and the parser only
    // notices it at the end of the block: name the row instead.
    for (size_t k = 0; k < layout.row_lines.size(); ++k)
        if (layout.row_values[k] != layout.declared_fields)
            return path + ":" + std::to_string(layout.row_lines[k]) + ": " +
                   std::to_string(layout.row_values[k]) + " values where NUMBER_OF_FIELDS is " +
                   std::to_string(layout.declared_fields);
    while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back())))
        message.pop_back();
    // The parser's messages read "<name>: Line 12, what went wrong".
    size_t at = message.find("Line ");
    if (at != std::string::npos) {
        size_t digits = at + 5, end = digits;
        while (end < message.size() && std::isdigit(static_cast<unsigned char>(message[end])))
            ++end;
        if (end > digits && message.compare(end, 2, ", ") == 0)
            return path + ":" + message.substr(digits, end - digits) + ": " +
                   message.substr(end + 2);
    }
    return path + ": " + message;
}

struct ContextDeleter {
    void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
struct HandleDeleter {
    void operator()(void* handle) const { cmsIT8Free(handle); }
};

// The wavelength of a spectral field name (SPECTRAL_400, nm400, any case), or 0.
int wavelength_of(const std::string& field) {
    std::string name = upper(field), digits;
    if (name.rfind("SPECTRAL_", 0) == 0)
        digits = name.substr(9);
    else if (name.rfind("NM", 0) == 0)
        digits = name.substr(2);
    if (digits.empty() || digits.size() > 4) return 0;
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    return std::atoi(digits.c_str());
}

// The columns of the fields this reader uses; -1 where absent.
struct Columns {
    int id = -1, name = -1;
    std::array<int, 3> xyz{-1, -1, -1};
    std::array<int, 3> lab{-1, -1, -1};
    std::array<int, kWavelengthCount> spectral{};
    bool any_spectral = false;
    std::string spectral_prefix = "SPECTRAL_";  // the style of the file's first spectral field

    Columns() { spectral.fill(-1); }
};

Columns find_columns(char** names, int count) {
    static const char* const kXYZ[3] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
    static const char* const kLab[3] = {"LAB_L", "LAB_A", "LAB_B"};
    Columns columns;
    for (int i = 0; i < count; ++i) {
        std::string name = upper(names[i] ? names[i] : "");
        if (name == "SAMPLE_ID" && columns.id < 0) columns.id = i;
        if (name == "SAMPLE_NAME" && columns.name < 0) columns.name = i;
        for (int k = 0; k < 3; ++k) {
            if (name == kXYZ[k] && columns.xyz[k] < 0) columns.xyz[k] = i;
            if (name == kLab[k] && columns.lab[k] < 0) columns.lab[k] = i;
        }
        int nm = wavelength_of(name);
        if (nm == 0) continue;
        if (!columns.any_spectral)
            columns.spectral_prefix = name.rfind("NM", 0) == 0 ? "nm" : "SPECTRAL_";
        columns.any_spectral = true;
        // Finer steps and a wider range are reduced to the 10 nm steps from 400 to 700.
        if (nm >= kFirstWavelength && nm <= kLastWavelength && nm % kWavelengthStep == 0) {
            int& slot = columns.spectral[(nm - kFirstWavelength) / kWavelengthStep];
            if (slot < 0) slot = i;
        }
    }
    return columns;
}

bool complete(const std::array<int, 3>& triple) {
    return std::all_of(triple.begin(), triple.end(), [](int c) { return c >= 0; });
}
bool partial(const std::array<int, 3>& triple) {
    return std::any_of(triple.begin(), triple.end(), [](int c) { return c >= 0; });
}

ColourSource choose_source(const std::string& path, const Columns& columns) {
    static const char* const kXYZ[3] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
    static const char* const kLab[3] = {"LAB_L", "LAB_A", "LAB_B"};
    if (columns.any_spectral) {
        for (int k = 0; k < kWavelengthCount; ++k)
            if (columns.spectral[k] < 0) {
                int nm = kFirstWavelength + k * kWavelengthStep;
                throw Failure(path + ": field " + columns.spectral_prefix + std::to_string(nm) +
                              " missing: spectra need " + std::to_string(kFirstWavelength) +
                              " to " + std::to_string(kLastWavelength) + " nm in " +
                              std::to_string(kWavelengthStep) + " nm steps");
            }
        return ColourSource::Spectrum;
    }
    if (complete(columns.xyz)) return ColourSource::XYZ;
    if (complete(columns.lab)) return ColourSource::Lab;
    const auto& triple = partial(columns.xyz) ? columns.xyz : columns.lab;
    const char* const* names = partial(columns.xyz) ? kXYZ : kLab;
    if (partial(triple))
        for (int k = 0; k < 3; ++k)
            if (triple[k] < 0) throw Failure(path + ": field " + names[k] + " missing");
    throw Failure(path +
                  ": no colour fields (SPECTRAL_400..SPECTRAL_700, nm400..nm700, "
                  "XYZ_X XYZ_Y XYZ_Z or LAB_L LAB_A LAB_B)");
}

class RowReader {
  public:
    RowReader(cmsHANDLE handle, const std::string& path, char** names, const Layout& layout,
              int rows)
        : handle_(handle), path_(path), names_(names), layout_(layout), rows_(rows) {}

    // The data row's line when every row sits on a line of its own, else 0.
    int line_of(int row) const {
        return static_cast<int>(layout_.row_lines.size()) == rows_ ? layout_.row_lines[row] : 0;
    }

    std::string where(int row) const {
        int line = line_of(row);
        return line ? path_ + ":" + std::to_string(line)
                    : path_ + ": data row " + std::to_string(row + 1);
    }

    std::string text(int row, int column) const {
        const char* value = cmsIT8GetDataRowCol(handle_, row, column);
        return value ? value : "";
    }

    float number(int row, int column) const {
        std::string value = text(row, column);
        std::string field = names_[column] ? names_[column] : "?";
        if (value.empty()) throw Failure(where(row) + ": field " + field + " has no value");
        errno = 0;
        char* end = nullptr;
        double parsed = std::strtod(value.c_str(), &end);
        float narrowed = static_cast<float>(parsed);
        if (end != value.c_str() + value.size() || errno == ERANGE || !std::isfinite(narrowed))
            throw Failure(where(row) + ": field " + field + ": '" + value + "' is not a number");
        return narrowed;
    }

  private:
    cmsHANDLE handle_;
    const std::string& path_;
    char** names_;
    const Layout& layout_;
    int rows_;
};

}  // namespace

MeasurementFile read_cgats(const std::string& path, std::vector<std::string>& warnings) {
    return parse_cgats(path, read_whole_file(path), warnings);
}

MeasurementFile parse_cgats(const std::string& path, const std::string& text,
                            std::vector<std::string>& warnings) {
    Layout layout = scan_layout(text);
    check_layout(path, layout);

    ParserContext parser;
    std::unique_ptr<_cmsContext_struct, ContextDeleter> context(cmsCreateContext(nullptr, &parser));
    if (!context) throw Failure(path + ": cannot set up the CGATS parser");
    cmsSetLogErrorHandlerTHR(context.get(), &ParserContext::on_error);
    std::unique_ptr<void, HandleDeleter> handle(
        cmsIT8LoadFromMem(context.get(), text.data(), static_cast<cmsUInt32Number>(text.size())));
    if (!parser.message.empty()) throw Failure(parser_failure(path, layout, parser.message));
    if (!handle) throw Failure(path + ": not a CGATS file");

    if (cmsIT8TableCount(handle.get()) > 1)
        warnings.push_back(path + ": " + std::to_string(cmsIT8TableCount(handle.get())) +
                           " tables; only the first is read");
    cmsIT8SetTable(handle.get(), 0);
    char** names = nullptr;
    int field_count = cmsIT8EnumDataFormat(handle.get(), &names);
    int rows = static_cast<int>(cmsIT8GetPropertyDbl(handle.get(), "NUMBER_OF_SETS"));
    if (field_count <= 0 || !names) throw Failure(path + ": no fields in BEGIN_DATA_FORMAT");
    if (rows <= 0)
        throw Failure(path + ":" + std::to_string(layout.data_line) + ": empty data block");

    Columns columns = find_columns(names, field_count);
    MeasurementFile file;
    file.path = path;
    file.source = choose_source(path, columns);
    file.has_id = columns.id >= 0;
    file.has_name = columns.name >= 0;

    RowReader reader(handle.get(), path, names, layout, rows);
    float largest = 0.0f;
    for (int row = 0; row < rows; ++row) {
        Patch patch;
        patch.line = reader.line_of(row);
        if (file.has_id) patch.id = reader.text(row, columns.id);
        if (file.has_name) patch.name = reader.text(row, columns.name);
        switch (file.source) {
            case ColourSource::Spectrum:
                for (int k = 0; k < kWavelengthCount; ++k) {
                    patch.spectrum[k + 1] = reader.number(row, columns.spectral[k]);
                    largest = std::max(largest, patch.spectrum[k + 1]);
                }
                break;
            case ColourSource::XYZ:
                for (int k = 0; k < 3; ++k) patch.xyz[k] = reader.number(row, columns.xyz[k]);
                break;
            case ColourSource::Lab:
                for (int k = 0; k < 3; ++k) patch.lab[k] = reader.number(row, columns.lab[k]);
                break;
        }
        file.patches.push_back(std::move(patch));
    }
    // Percent or factor is decided for the whole file: a dark patch in percent has all its
    // values below the threshold too.
    if (largest > kPercentThreshold) {
        file.percent_reflectance = true;
        for (Patch& patch : file.patches)
            for (int k = 1; k <= kWavelengthCount; ++k) patch.spectrum[k] /= 100.0f;
    }
    return file;
}

}  // namespace cli
