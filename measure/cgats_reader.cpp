// Reading CGATS.17 measurement files: a header of keyword lines, the field names between
// BEGIN_DATA_FORMAT and END_DATA_FORMAT, and one data set per line between BEGIN_DATA and
// END_DATA; a file may hold several such tables. Values are bare words or quoted strings
// (double or single quotes, spaces and '#' inside); '#' at the start of a word begins a
// comment. Lines end in LF, CRLF or CR; a UTF-8 byte-order mark is skipped.
//
// Numbers are read exactly (std::from_chars: the nearest double to the decimal text, whatever
// the locale). The text is read in one pass and only the fields that give a patch its id,
// name and colour are kept, so memory grows with the patches and not with the other columns.
// The header's counts are checked against what follows, never trusted to size memory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#endif

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "cgats_reader.h"
#include "measure/decimal.h"
#include "measure/large_pages.h"
#include "spectral_scale.h"
#include "text_util.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A spectral field name is one of these prefixes (any case) and the wavelength in nm.
constexpr std::string_view kSpectralPrefixes[] = {"SPECTRAL_NM_", "SPECTRAL_NM", "SPECTRAL_",
                                                  "SPEC_",        "NM_",         "NM"};

struct Token {
    std::string_view text;  // without the quotes of a quoted string
    bool quoted = false;
};

// Space, tab, form feed or vertical tab; most bytes are above the space and fail at once.
bool IsBlank(char c) {
    constexpr std::uint64_t kBlanks = 1ull << ' ' | 1ull << '\t' | 1ull << '\f' | 1ull << '\v';
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' && ((kBlanks >> byte) & 1) != 0;
}

enum class TokeniseResult { Ok, UnclosedQuote, ControlByte };

// Splits a line into words and quoted strings, up to a comment.
TokeniseResult Tokenise(std::string_view line, std::vector<Token>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && IsBlank(line[i])) ++i;
        if (i == n || line[i] == '#') return TokeniseResult::Ok;
        const char c = line[i];
        if (c == '"' || c == '\'') {
            std::size_t close = line.find(c, i + 1);
            if (close == std::string_view::npos) return TokeniseResult::UnclosedQuote;
            tokens.push_back({line.substr(i + 1, close - i - 1), true});
            i = close + 1;
            continue;
        }
        const std::size_t start = i;
        for (; i < n && !IsBlank(line[i]); ++i) {
            const auto byte = static_cast<unsigned char>(line[i]);
            if (byte < 0x20 || byte == 0x7F) return TokeniseResult::ControlByte;
        }
        tokens.push_back({line.substr(start, i - start), false});
    }
}

// The wavelength of a spectral field name in nm: 0 when the name is not spectral, -1 when it
// is but its wavelength is no whole number of nm. `prefix` receives the name's prefix as
// written. Three or four digits give nm; six or seven give thousandths of a nm, as some tools
// write them ("SPEC_380000").
int WavelengthOf(std::string_view field, std::string_view* prefix) {
    for (std::string_view candidate : kSpectralPrefixes) {
        if (field.size() <= candidate.size() ||
            !EqualsIgnoreCase(field.substr(0, candidate.size()), candidate))
            continue;
        std::string_view digits = field.substr(candidate.size());
        long value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size() || digits[0] == '-' ||
            digits[0] == '+')
            return 0;
        *prefix = field.substr(0, candidate.size());
        if (digits.size() >= 3 && digits.size() <= 4) return static_cast<int>(value);
        if (digits.size() >= 6 && digits.size() <= 7)
            return value % 1000 == 0 ? static_cast<int>(value / 1000) : -1;
        return 0;
    }
    return 0;
}

// The columns of the fields that give a patch its id, name and colour; -1 where absent.
struct Columns {
    int id = -1, name = -1, location = -1;
    std::vector<int> device;  // CMYK_C, RGB_R and the like, in file order
    std::array<int, 3> xyz{-1, -1, -1};
    std::array<int, 3> lab{-1, -1, -1};
    std::vector<std::pair<int, int>> spectral;  // wavelength (nm, -1 when fractional), column
    std::string spectralPrefix;                 // of the first spectral field, as written
};

// A field of device values: CMYK_C, CMY_M, RGB_R, 6CLR_1, CMYKOG_O and the like.
bool IsDeviceField(std::string_view field) {
    const std::size_t underscore = field.find('_');
    if (underscore == std::string_view::npos || underscore + 1 == field.size()) return false;
    const std::string_view space = field.substr(0, underscore);
    for (std::string_view known : {"CMYK", "CMY", "RGB"})
        if (EqualsIgnoreCase(space.substr(0, known.size()), known)) return true;
    return space.size() > 3 && EqualsIgnoreCase(space.substr(space.size() - 3), "CLR") &&
           space.find_first_not_of("0123456789") == space.size() - 3;
}

Columns FindColumns(const std::vector<std::string>& fields) {
    static constexpr std::string_view kXyz[3] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
    static constexpr std::string_view kLab[3] = {"LAB_L", "LAB_A", "LAB_B"};
    Columns columns;
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        std::string_view name = fields[static_cast<std::size_t>(i)];
        if (EqualsIgnoreCase(name, "SAMPLE_ID") && columns.id < 0) columns.id = i;
        if (EqualsIgnoreCase(name, "SAMPLE_NAME") && columns.name < 0) columns.name = i;
        if (EqualsIgnoreCase(name, "SAMPLE_LOC") && columns.location < 0) columns.location = i;
        if (IsDeviceField(name)) columns.device.push_back(i);
        for (int k = 0; k < 3; ++k) {
            if (EqualsIgnoreCase(name, kXyz[k]) && columns.xyz[k] < 0) columns.xyz[k] = i;
            if (EqualsIgnoreCase(name, kLab[k]) && columns.lab[k] < 0) columns.lab[k] = i;
        }
        std::string_view prefix;
        int nm = WavelengthOf(name, &prefix);
        if (nm == 0) continue;
        if (columns.spectral.empty()) columns.spectralPrefix = std::string(prefix);
        columns.spectral.emplace_back(nm, i);
    }
    return columns;
}

bool Complete(const std::array<int, 3>& triple) {
    return std::all_of(triple.begin(), triple.end(), [](int c) { return c >= 0; });
}
bool Partial(const std::array<int, 3>& triple) {
    return std::any_of(triple.begin(), triple.end(), [](int c) { return c >= 0; });
}

// Whether `token` is the structural keyword `keyword` (any case), alone or followed at once by
// a comment ("END_DATA#done").
bool KeywordIs(const Token& token, std::string_view keyword) {
    if (token.quoted || token.text.size() < keyword.size()) return false;
    return EqualsIgnoreCase(token.text.substr(0, keyword.size()), keyword) &&
           (token.text.size() == keyword.size() || token.text[keyword.size()] == '#');
}

// Whether a word is one of the keywords that give a file its structure.
bool IsStructure(const Token& token) {
    for (std::string_view keyword : {"BEGIN_DATA_FORMAT", "END_DATA_FORMAT", "BEGIN_DATA",
                                     "END_DATA", "NUMBER_OF_FIELDS", "NUMBER_OF_SETS"})
        if (KeywordIs(token, keyword)) return true;
    return false;
}

// The structure of the table being read.
struct TableState {
    int setsDeclared = -1;  // NUMBER_OF_SETS
    int formatLine = 0;     // BEGIN_DATA_FORMAT
    int formatEnd = 0;      // END_DATA_FORMAT
    int dataLine = 0;       // BEGIN_DATA
    int rows = 0;
    std::vector<std::string> fields;
    // NUMBER_OF_FIELDS where given, checked against the field list once both are known.
    std::vector<std::pair<int, int>> fieldCounts;  // line, value
};

enum class Section { Header, Format, Data };

class CgatsParser {
  public:
    CgatsParser(const std::string& name, const ReadOptions& options)
        : wanted_(std::max(1, options.table)), told_(options.scale) {
        set_.path = name;
        set_.table = wanted_;
    }

    // The size of the whole text, where it is known: it bounds what a declared count of
    // sets may reserve.
    void SetSizeHint(std::size_t bytes) { sizeHint_ = bytes; }

    // Reads the complete lines at the start of `text`, or all of it at the end of the input;
    // returns how much was read. Lines end in LF, CRLF or CR. `terminated`: the byte after
    // the text is neither a digit nor a point, and it and the 7 bytes after it may be read.
    std::size_t Feed(std::string_view text, bool end, bool terminated = false) {
        terminated_ = terminated;
        std::size_t at = 0;
        if (!started_) {
            if (!end && text.size() < kByteOrderMark.size()) return 0;
            if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) at = kByteOrderMark.size();
            started_ = true;
        }
        // Most files end their lines in LF alone: then memchr finds them.
        const bool anyCr = std::memchr(text.data() + at, '\r', text.size() - at) != nullptr;
        while (at < text.size()) {
            std::size_t stop = at;
            if (anyCr) {
                while (stop < text.size() && text[stop] != '\n' && text[stop] != '\r') ++stop;
            } else {
                const void* lf = std::memchr(text.data() + at, '\n', text.size() - at);
                stop = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data())
                          : text.size();
            }
            // A CR at the end of what has come so far may be the first half of a CRLF.
            if (!end && (stop == text.size() || stop + 1 == text.size())) break;
            std::size_t next = stop + 1;
            if (stop < text.size() && text[stop] == '\r' && next < text.size() &&
                text[next] == '\n')
                ++next;
            ++line_;
            Line(text.substr(at, stop - at));
            at = std::min(next, text.size());
        }
        return at;
    }

    MeasurementSet Finish() {
        line_ = 0;
        if (!sawText_) Fail(0, "file is empty");
        CheckEnd();
        return std::move(set_);
    }

  private:
    [[noreturn]] void Fail(int line, const std::string& message, const std::string& field = {},
                           int column = 0) const {
        throw Error({set_.path, line, field, column}, message);
    }

    void TokeniseLine(std::string_view line) {
        switch (Tokenise(line, tokens_)) {
            case TokeniseResult::Ok:
                return;
            case TokeniseResult::UnclosedQuote:
                Fail(line_, "quoted string not closed on its line");
            case TokeniseResult::ControlByte:
                Fail(line_, "not a CGATS file (binary data)");
        }
    }

    void Line(std::string_view line) {
        if (table_ > wanted_) return CountFurtherTable(line);
        if (section_ == Section::Data && table_ == wanted_) return DataRow(line);
        TokeniseLine(line);
        if (tokens_.empty()) return;
        // The first word of a file is its identifier ("CGATS.17", "CTI3", ...).
        if (!sawText_ && tokens_.size() == 1 && !tokens_[0].quoted && !IsStructure(tokens_[0]))
            set_.fileType = std::string(tokens_[0].text);
        sawText_ = true;
        switch (section_) {
            case Section::Header:
                return ReadHeaderLine();
            case Section::Format:
                return ReadFormatLine();
            case Section::Data:
                return ReadDataLine();
        }
    }

    // After the table asked for: only count the tables that follow.
    void CountFurtherTable(std::string_view line) {
        if (Tokenise(line, tokens_) == TokeniseResult::Ok && !tokens_.empty() &&
            KeywordIs(tokens_[0], "BEGIN_DATA"))
            ++furtherTables_;
    }

    bool Is(const char* keyword) const { return KeywordIs(tokens_[0], keyword); }

    int WholeNumber(const char* keyword) const {
        if (tokens_.size() < 2) Fail(line_, std::string(keyword) + " has no value");
        std::string_view text = tokens_[1].text;
        int value = -1;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < 0)
            Fail(line_, std::string(keyword) + ": '" + Printable(text) + "' is not a whole number");
        return value;
    }

    void ReadHeaderLine() {
        if (Is("BEGIN_DATA_FORMAT")) {
            state_.formatLine = line_;
            section_ = Section::Format;
            tokens_.erase(tokens_.begin());
            return ReadFormatLine();
        }
        if (Is("BEGIN_DATA")) return BeginData();
        if (Is("END_DATA") || Is("END_DATA_FORMAT"))
            Fail(line_, Printable(tokens_[0].text) + " without its BEGIN");
        if (Is("NUMBER_OF_FIELDS")) {
            state_.fieldCounts.emplace_back(line_, WholeNumber("NUMBER_OF_FIELDS"));
            if (state_.formatEnd) CheckFieldCounts();
        }
        if (Is("NUMBER_OF_SETS")) state_.setsDeclared = WholeNumber("NUMBER_OF_SETS");
        // A keyword and its value: one word or string, or the rest of the line as written.
        std::string value;
        if (tokens_.size() == 2) {
            value = tokens_[1].text;
        } else if (tokens_.size() > 2) {
            const char* first = tokens_[1].text.data() - (tokens_[1].quoted ? 1 : 0);
            const Token& last = tokens_.back();
            const char* end = last.text.data() + last.text.size() + (last.quoted ? 1 : 0);
            value.assign(first, end);
        }
        set_.keywords.emplace_back(std::string(tokens_[0].text), std::move(value));
    }

    void ReadFormatLine() {
        for (std::size_t k = 0; k < tokens_.size(); ++k) {
            if (KeywordIs(tokens_[k], "END_DATA_FORMAT")) {
                EndFormat();
                return;
            }
            state_.fields.emplace_back(tokens_[k].text);
        }
    }

    void EndFormat() {
        section_ = Section::Header;
        state_.formatEnd = line_;
        if (state_.fields.empty()) Fail(line_, "BEGIN_DATA_FORMAT lists no fields");
        CheckFieldCounts();
    }

    // The field list decides the columns; a NUMBER_OF_FIELDS that disagrees with it is noted
    // for the table being read.
    void CheckFieldCounts() {
        const int listed = static_cast<int>(state_.fields.size());
        for (const auto& [line, declared] : state_.fieldCounts)
            if (declared != listed && table_ == wanted_)
                set_.warnings.push_back(set_.path + ":" + std::to_string(line) +
                                        ": NUMBER_OF_FIELDS is " + std::to_string(declared) +
                                        " but BEGIN_DATA_FORMAT lists " + std::to_string(listed) +
                                        " fields; the list is read");
        state_.fieldCounts.clear();
    }

    void BeginData() {
        if (state_.formatLine == 0) Fail(line_, "BEGIN_DATA before BEGIN_DATA_FORMAT");
        if (state_.setsDeclared < 0) Fail(line_, "NUMBER_OF_SETS missing before BEGIN_DATA");
        state_.dataLine = line_;
        section_ = Section::Data;
        if (table_ == wanted_) ChooseColumns();
    }

    void ReadDataLine() {
        if (Is("END_DATA")) return EndData();
        const int count = static_cast<int>(tokens_.size());
        if (count != static_cast<int>(state_.fields.size())) CountFailure(count);
        ++state_.rows;
    }

    [[noreturn]] void CountFailure(int count) const {
        Fail(line_, std::to_string(count) + " values where BEGIN_DATA_FORMAT lists " +
                        std::to_string(state_.fields.size()) + " fields");
    }

    void EndData() {
        if (state_.rows == 0) Fail(state_.dataLine, "empty data block");
        if (state_.rows != state_.setsDeclared)
            Fail(line_, "NUMBER_OF_SETS is " + std::to_string(state_.setsDeclared) +
                            " but the data block holds " + std::to_string(state_.rows) + " sets");
        section_ = Section::Header;
        ++table_;
        if (table_ <= wanted_) state_ = TableState();
    }

    void CheckEnd() {
        if (section_ == Section::Format)
            Fail(state_.formatLine, "BEGIN_DATA_FORMAT has no END_DATA_FORMAT");
        if (section_ == Section::Data) Fail(state_.dataLine, "data block has no END_DATA");
        if (table_ <= wanted_) {
            if (table_ > 1)
                Fail(0, "holds " + std::to_string(table_ - 1) + " table" +
                            (table_ == 2 ? "" : "s") + ", no table " + std::to_string(wanted_));
            if (state_.formatLine == 0) Fail(0, "not a CGATS file (no BEGIN_DATA_FORMAT)");
            Fail(0, "not a CGATS file (no BEGIN_DATA)");
        }
        set_.tableCount = wanted_ + furtherTables_;
        if (set_.tableCount > 1 && wanted_ == 1)
            set_.warnings.push_back(set_.path + ": " + std::to_string(set_.tableCount) +
                                    " tables; only the first is read (--table N reads another)");
        set_.conditions = StatedConditions(set_.keywords);
        if (set_.source == ColourSource::Spectrum) DecideSpectra();
    }

    void DecideSpectra() {
        std::optional<double> norm;
        if (const std::string* text = KeywordValue(set_, "SPECTRAL_NORM")) {
            double value = 0;
            if (ParseNumber(*text, &value) != NumberResult::Ok || !(value > 0))
                Fail(0, "SPECTRAL_NORM '" + Printable(*text) + "' is not a positive number");
            norm = value;
        }
        DecideContent(set_, norm);
        const ScaleDecision own = DecideScale(set_, norm, decimals_);
        if (!told_) {
            set_.scale = own;
            return;
        }
        set_.scale = {*told_, ScaleBasis::Told, "as told"};
        if (own.basis != ScaleBasis::Guess && own.scale != *told_)
            set_.warnings.push_back(
                set_.path + ": read as " + ScaleName(*told_) + " as told, though its own " +
                (own.basis == ScaleBasis::Data ? "data show " : "header states ") +
                ScaleName(own.scale) + " (" + own.reason + ")");
    }

    static Conditions StatedConditions(
        const std::vector<std::pair<std::string, std::string>>& keywords) {
        Conditions stated;
        for (const auto& [keyword, value] : keywords) {
            if (EqualsIgnoreCase(keyword, "ILLUMINANT")) stated.illuminant = value;
            if (EqualsIgnoreCase(keyword, "OBSERVER")) stated.observer = value;
            if (EqualsIgnoreCase(keyword, "MEASUREMENT_CONDITION"))
                stated.measurementCondition = value;
            if (EqualsIgnoreCase(keyword, "FILTER")) stated.filter = value;
        }
        return stated;
    }

    void ChooseColumns() {
        columns_ = FindColumns(state_.fields);
        set_.hasId = columns_.id >= 0;
        set_.hasName = columns_.name >= 0;
        roles_.assign(state_.fields.size(), kSkipRole);
        if (set_.hasId) roles_[static_cast<std::size_t>(columns_.id)] = kIdRole;
        if (set_.hasName) roles_[static_cast<std::size_t>(columns_.name)] = kNameRole;
        set_.hasLocation = columns_.location >= 0;
        if (set_.hasLocation) roles_[static_cast<std::size_t>(columns_.location)] = kLocationRole;
        for (std::size_t j = 0; j < columns_.device.size(); ++j) {
            set_.deviceFields.push_back(
                state_.fields[static_cast<std::size_t>(columns_.device[j])]);
            roles_[static_cast<std::size_t>(columns_.device[j])] =
                kDeviceRole - static_cast<int>(j);
        }
        static const char* const kXyz[3] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
        static const char* const kLab[3] = {"LAB_L", "LAB_A", "LAB_B"};
        // L*a*b* before XYZ where a file states both: it is the colour the file's maker
        // computed, whatever white they took it relative to.
        const bool labComplete = Complete(columns_.lab);
        if (labComplete || Complete(columns_.xyz)) {
            set_.hasStated = true;
            set_.statedSource = labComplete ? ColourSource::Lab : ColourSource::Xyz;
            const auto& triple = labComplete ? columns_.lab : columns_.xyz;
            for (int k = 0; k < 3; ++k)
                roles_[static_cast<std::size_t>(triple[k])] = kStatedRole - k;
            // XYZ beside L*a*b*: kept as given too.
            set_.statesXyzToo = labComplete && Complete(columns_.xyz);
            for (int k = 0; k < 3 && set_.statesXyzToo; ++k)
                roles_[static_cast<std::size_t>(columns_.xyz[k])] = kAlsoXyzRole - k;
        }
        if (!columns_.spectral.empty()) return ChooseSpectralColumns();
        if (set_.hasStated) {
            // The stated colour is the colour: its values take the fast way of numbers.
            set_.source = set_.statedSource;
            for (int& role : roles_)
                if (role <= kStatedRole && role > kStatedRole - 3) role = kStatedRole - role;
            return ReserveRows(0);
        }
        const bool xyz = !Partial(columns_.lab);
        const auto& triple = xyz ? columns_.xyz : columns_.lab;
        for (int k = 0; k < 3; ++k)
            if (Partial(triple) && triple[k] < 0)
                Fail(0, std::string("field ") + (xyz ? kXyz : kLab)[k] + " missing");
        Fail(0,
             "no colour fields (SPECTRAL_NNN or NMNNN and the like, XYZ_X XYZ_Y XYZ_Z or "
             "LAB_L LAB_A LAB_B)");
    }

    // The spectral fields, in wavelength order: evenly spaced, each wavelength once.
    void ChooseSpectralColumns() {
        set_.source = ColourSource::Spectrum;
        auto spectral = columns_.spectral;
        const std::string& prefix = columns_.spectralPrefix;
        auto name = [&](int column) { return state_.fields[static_cast<std::size_t>(column)]; };
        for (const auto& [nm, column] : spectral)
            if (nm < 0) Fail(0, "field " + name(column) + ": not a whole number of nm");
        std::sort(spectral.begin(), spectral.end());
        if (spectral.size() < 2)
            Fail(0,
                 "one spectral field (" + name(spectral[0].second) + "): spectra need two or more");
        int step = spectral[1].first - spectral[0].first;
        for (std::size_t k = 1; k < spectral.size(); ++k) {
            const int gap = spectral[k].first - spectral[k - 1].first;
            if (gap == 0)
                Fail(0, "fields " + name(spectral[k - 1].second) + " and " +
                            name(spectral[k].second) + " are both at " +
                            std::to_string(spectral[k].first) + " nm");
            step = std::min(step, gap);
        }
        set_.spectralPrefix = prefix;
        set_.firstNm = spectral.front().first;
        set_.lastNm = spectral.back().first;
        set_.stepNm = step;
        for (std::size_t k = 1; k < spectral.size(); ++k) {
            const int gap = spectral[k].first - spectral[k - 1].first;
            if (gap % step != 0)
                Fail(0, "spectral fields not evenly spaced: " + name(spectral[k].second) + " is " +
                            std::to_string(gap) + " nm after " + name(spectral[k - 1].second) +
                            ", where the smallest step is " + std::to_string(step) + " nm");
            if (gap != step)
                Fail(0, "field " + prefix + std::to_string(spectral[k - 1].first + step) +
                            " missing: spectra need every " + std::to_string(step) + " nm from " +
                            std::to_string(set_.firstNm) + " to " + std::to_string(set_.lastNm) +
                            " nm");
        }
        for (std::size_t k = 0; k < spectral.size(); ++k) {
            roles_[static_cast<std::size_t>(spectral[k].second)] = static_cast<int>(k);
            spectralColumns_.push_back(spectral[k].second);
        }
        runLength_ = static_cast<int>(spectralColumns_.size());
        runFirst_ = spectralColumns_.front();
        for (int k = 0; k < runLength_; ++k)
            if (spectralColumns_[static_cast<std::size_t>(k)] != runFirst_ + k) runFirst_ = -1;
        ReserveRows(spectralColumns_.size());
    }

    // Room for the rows the header declares, as far as the text can hold them: a row takes
    // at least two bytes a field.
    void ReserveRows(std::size_t samples) {
        if (state_.setsDeclared <= 0 || sizeHint_ == 0) return;
        const std::size_t rows = std::min(static_cast<std::size_t>(state_.setsDeclared),
                                          sizeHint_ / (2 * state_.fields.size()) + 1);
        set_.patches.reserve(rows);
        AdviseLargePages(set_.patches.data(), set_.patches.capacity() * sizeof(Patch));
        if (samples == 0) return;
        set_.spectra.reserve(rows * samples);
        AdviseLargePages(set_.spectra.data(), set_.spectra.capacity() * sizeof(float));
    }

    double Number(int column) const {
        std::string_view text = tokens_[static_cast<std::size_t>(column)].text;
        const std::string& field = state_.fields[static_cast<std::size_t>(column)];
        double value = 0;
        switch (ParseNumber(text, &value)) {
            case NumberResult::Ok:
                return value;
            case NumberResult::NotANumber:
                Fail(line_, "field " + field + ": '" + Printable(text) + "' is not a number", field,
                     column + 1);
            case NumberResult::OutOfRange:
                break;
        }
        Fail(line_, "field " + field + ": '" + Printable(text) + "' is out of range", field,
             column + 1);
    }

    // A data row of the table asked for, read in one pass without splitting it first: the
    // fields that give the patch its id, name and colour are kept, the others skipped. Kept
    // out of line, its loop has the registers to itself.
    __attribute__((noinline)) void DataRow(std::string_view line) {
        const char* p = line.data();
        const char* const end = p + line.size();
        while (p != end && IsBlank(*p)) ++p;
        if (p == end || *p == '#') return;
        if (end - p >= 8 && EqualsIgnoreCase(std::string_view(p, 8), "END_DATA") &&
            (end - p == 8 || IsBlank(p[8]) || p[8] == '#'))
            return EndData();
        Patch patch;
        patch.line = line_;
        const std::size_t base = set_.spectra.size();
        set_.spectra.resize(base + spectralColumns_.size());
        const std::size_t device = set_.device.size();
        set_.device.resize(device + set_.deviceFields.size());
        float* const samples = set_.spectra.data() + base;
        const bool spectrum = set_.source == ColourSource::Spectrum;
        const int* const roles = roles_.data();
        const int listed = static_cast<int>(state_.fields.size());
        const bool terminated = terminated_;
        int field = 0;
        for (;; ++field) {
            while (p != end && IsBlank(*p)) ++p;
            if (p == end || *p == '#') break;
            // The spectral fields at once, as far as they allow; the reading field by field
            // below takes the field after them, or the first that stopped them.
            if (field == runFirst_ && terminated) {
                field += ReadSpectralRun(p, end, samples);
                while (p != end && IsBlank(*p)) ++p;
                if (p == end || *p == '#') break;
            }
            const int role = field < listed ? roles[field] : kSkipRole;
            if (role >= 0) {
                // Most values are short decimals: read them as the line is scanned. The line
                // ends in its line end, or in the byte after the text.
                ShortDecimal decimal;
                const char* stop = terminated ? ScanPaddedShortDecimal(p, &decimal)
                                              : ScanShortDecimal(p, end, &decimal);
                if (stop && (stop == end || IsBlank(*stop))) {
                    float sample = 0;
                    if (spectrum && decimal.ToFloat(&sample))
                        samples[role] = sample;
                    else
                        Store(patch, base, role, decimal.ToDouble());
                    decimals_ = std::max(decimals_, decimal.decimals);
                    p = stop + (stop != end);  // past the blank after the number
                    continue;
                }
            }
            std::string_view token;
            if (*p == '"' || *p == '\'') {
                const auto* close = static_cast<const char*>(
                    std::memchr(p + 1, *p, static_cast<std::size_t>(end - p - 1)));
                if (!close) RowFailure(line);
                token = std::string_view(p + 1, static_cast<std::size_t>(close - p - 1));
                p = close + 1;
            } else {
                const char* const start = p;
                for (; p != end; ++p) {
                    const auto byte = static_cast<unsigned char>(*p);
                    if (byte > 0x20 && byte != 0x7F) continue;
                    if (IsBlank(*p)) break;
                    RowFailure(line);
                }
                token = std::string_view(start, static_cast<std::size_t>(p - start));
            }
            if (role == kIdRole) {
                patch.id = token;
            } else if (role == kNameRole) {
                patch.name = token;
            } else if (role == kLocationRole) {
                patch.location = token;
            } else if (role >= 0) {
                double value = 0;
                if (ParseNumber(token, &value) != NumberResult::Ok) RowFailure(line);
                Store(patch, base, role, value);
                decimals_ = std::max(decimals_, DecimalsWritten(token));
            } else if (role <= kStatedRole) {
                double value = 0;
                if (ParseNumber(token, &value) != NumberResult::Ok) RowFailure(line);
                if (role > kAlsoXyzRole)
                    patch.values[static_cast<std::size_t>(kStatedRole - role)] = value;
                else if (role > kDeviceRole)
                    patch.xyz[static_cast<std::size_t>(kAlsoXyzRole - role)] = value;
                else
                    set_.device[device + static_cast<std::size_t>(kDeviceRole - role)] = value;
            }
        }
        if (field != listed) RowFailure(line);
        ++state_.rows;
        set_.patches.push_back(std::move(patch));
    }

    // The spectral fields of a row, where they follow each other in wavelength order, as
    // most files write them: short decimals fitting a float, one blank after each. Reads
    // from `p` while the fields are so, and stops at the first that is not (left to the
    // field-by-field reading); returns how many were read, `p` past them.
    int ReadSpectralRun(const char*& p, const char* end, float* samples) {
        const char* q = p;
        int k = 0, decimals = decimals_;
        for (; k < runLength_; ++k) {
            ShortDecimal decimal;
            const char* stop = ScanPaddedShortDecimal(q, &decimal);
            if (!stop || !(stop == end || IsBlank(*stop)) || !decimal.ToFloat(samples + k)) break;
            decimals = std::max(decimals, decimal.decimals);
            q = stop + (stop != end);
        }
        decimals_ = decimals;
        p = q;
        return k;
    }

    void Store(Patch& patch, std::size_t base, int role, double value) {
        if (set_.source == ColourSource::Spectrum)
            set_.spectra[base + static_cast<std::size_t>(role)] = static_cast<float>(value);
        else
            patch.values[static_cast<std::size_t>(role)] = value;
    }

    // Names what is wrong with a data row: its quotes or bytes, its count of values, or the
    // first value that is not a number where one belongs.
    [[noreturn]] void RowFailure(std::string_view line) {
        TokeniseLine(line);
        const int count = static_cast<int>(tokens_.size());
        if (count != static_cast<int>(state_.fields.size())) CountFailure(count);
        for (int field = 0; field < count; ++field)
            if (roles_[static_cast<std::size_t>(field)] >= 0 ||
                roles_[static_cast<std::size_t>(field)] <= kStatedRole)
                Number(field);
        Fail(line_, "unreadable data row");
    }

    static constexpr int kSkipRole = -1;
    static constexpr int kIdRole = -2;
    static constexpr int kNameRole = -3;
    static constexpr int kLocationRole = -4;
    // A stated XYZ or L*a*b* component k beside spectra is kStatedRole - k, a stated XYZ
    // component beside stated L*a*b* kAlsoXyzRole - k, device value j kDeviceRole - j.
    static constexpr int kStatedRole = -10;
    static constexpr int kAlsoXyzRole = -13;
    static constexpr int kDeviceRole = -20;

    int wanted_;
    std::optional<SpectralScale> told_;
    MeasurementSet set_;
    std::size_t sizeHint_ = 0;
    int line_ = 0;
    int table_ = 1;          // the table being read, from 1
    int furtherTables_ = 0;  // tables after the one asked for
    Section section_ = Section::Header;
    TableState state_;
    std::vector<Token> tokens_;
    Columns columns_;
    std::vector<int> spectralColumns_;
    // What each field of a data row gives: kSkipRole, kIdRole, kNameRole, or the place of a
    // number (a colour component or a spectral sample).
    std::vector<int> roles_;
    // The spectral fields as one run: the first (-1 when they are not in wavelength order
    // side by side) and how many.
    int runFirst_ = -1;
    int runLength_ = 0;
    bool sawText_ = false;
    bool started_ = false;  // the byte-order mark, if any, is behind
    // The most decimals any value of the table was written with.
    int decimals_ = 0;
    // Whether the byte after the text being fed may be read and stops a number.
    bool terminated_ = false;
};

// Reads a file in blocks, so that memory holds the patches and not the whole text. The
// buffer is no larger than the file (and a block at most), and is not cleared before use.
MeasurementSet ReadFile(const std::string& path, CgatsParser& parser, std::size_t largestBlock) {
#if defined(_WIN32)
    // Binary mode: text mode would translate line ends and stop at ^Z. The path is UTF-8.
    const int fd =
        ::_wopen(std::filesystem::u8path(path).c_str(), O_RDONLY | O_BINARY | O_NOINHERIT);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (fd < 0) throw Error(path, std::string("cannot open (") + std::strerror(errno) + ")");
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw Error(path, std::string("cannot read (") + std::strerror(errno) + ")");
    if (S_ISDIR(info.st_mode)) throw Error(path, "is a directory");
    // After what is held, a zero byte ends the last number of the text, and 7 more bytes
    // may be read by the scan of 8 bytes at once.
    constexpr std::size_t kPadding = 8;
    std::size_t block = largestBlock;
    if (S_ISREG(info.st_mode) && info.st_size >= 0) {
        parser.SetSizeHint(static_cast<std::size_t>(info.st_size));
        // One read takes a small file whole, the next finds its end.
        block = std::min(block, static_cast<std::size_t>(info.st_size) + 1);
    }
    std::unique_ptr<char[]> buffer(new char[block + kPadding]);
    std::size_t capacity = block + kPadding, held = 0;
    while (true) {
        // What is left of a block (the start of a line) moved to the front; a line longer
        // than the room left makes the buffer grow.
        if (capacity - held < block + kPadding) {
            capacity = std::max(2 * capacity, held + block + kPadding);
            std::unique_ptr<char[]> larger(new char[capacity]);
            std::memcpy(larger.get(), buffer.get(), held);
            buffer = std::move(larger);
        }
        const ssize_t n = ::read(fd, buffer.get() + held, block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Error(path, std::string("cannot read (") + std::strerror(errno) + ")");
        held += static_cast<std::size_t>(n);
        std::memset(buffer.get() + held, 0, kPadding);
        const std::size_t used = parser.Feed(std::string_view(buffer.get(), held), n == 0, true);
        std::memmove(buffer.get(), buffer.get() + used, held - used);
        held -= used;
        if (n == 0) return parser.Finish();
    }
}

}  // namespace

Error::Error(Location where, const std::string& message)
    : std::runtime_error(where.file + (where.line > 0 ? ":" + std::to_string(where.line) : "") +
                         ": " + message),
      where_(std::move(where)) {}

Error::Error(const std::string& file, const std::string& message)
    : Error(Location{file, 0, {}, 0}, message) {}

MeasurementSet ParseCgats(std::string_view text, const std::string& name,
                          const ReadOptions& options) {
    CgatsParser parser(name, options);
    parser.SetSizeHint(text.size());
    parser.Feed(text, true);
    return parser.Finish();
}

MeasurementSet ReadCgatsInBlocks(const std::string& path, const ReadOptions& options,
                                 std::size_t block) {
    CgatsParser parser(path, options);
    return ReadFile(path, parser, std::max<std::size_t>(block, 1));
}

MeasurementSet ReadCgats(const std::string& path, const ReadOptions& options) {
    constexpr std::size_t kBlock = 1 << 20;
    return ReadCgatsInBlocks(path, options, kBlock);
}

}  // namespace vantrel::measure
