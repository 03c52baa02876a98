// vantrel prefs init | show | monitor, and vantrel monitor: preference files and the monitor's
// RGB-to-XYZ matrix.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli.h"
#include "vantrel/colorimetry.h"
#include "vantrel/settings.h"

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw cli::Failure(path + ": " + what);
}

// --- Text -------------------------------------------------------------------------------------

void append_utf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A UTF-16 text field as UTF-8, up to its terminator (or its whole length when it has none);
// an unpaired surrogate shows as U+FFFD.
template <size_t N>
std::string field_text(const char16_t (&field)[N]) {
    std::string out;
    for (size_t i = 0; i < N && field[i]; ++i) {
        char32_t c = field[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < N && field[i + 1] >= 0xDC00 &&
            field[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (field[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        append_utf8(c, &out);
    }
    return out;
}

// Stores UTF-8 `text` in a UTF-16 field, terminated and zero-filled; a usage error when it is
// not valid UTF-8 or does not fit.
template <size_t N>
void set_field_text(char16_t (&field)[N], const std::string& text, const std::string& what) {
    std::u16string units;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text.c_str());
    while (*s) {
        int extra = s[0] < 0x80             ? 0
                    : (s[0] & 0xE0) == 0xC0 ? 1
                    : (s[0] & 0xF0) == 0xE0 ? 2
                    : (s[0] & 0xF8) == 0xF0 ? 3
                                            : -1;
        const char32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
        bool ok = extra >= 0;
        char32_t c = !ok ? 0 : extra == 0 ? s[0] : s[0] & (0x3F >> extra);
        for (int i = 1; ok && i <= extra; ++i) {
            ok = (s[i] & 0xC0) == 0x80;  // also stops at the terminator
            c = (c << 6) | (s[i] & 0x3F);
        }
        if (!ok || c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            throw cli::UsageError("argument " + what + ": not valid UTF-8");
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
        s += 1 + extra;
    }
    if (units.size() > N - 1)
        throw cli::UsageError("argument " + what + ": longer than " + std::to_string(N - 1) +
                              " UTF-16 units");
    std::memset(field, 0, sizeof field);
    std::memcpy(field, units.data(), units.size() * sizeof(char16_t));
}

// The shortest decimal that reads back as the same float.
std::string shortest(float value) {
    char buffer[32];
    for (int precision = 1; precision <= 9; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, static_cast<double>(value));
        if (std::strtof(buffer, nullptr) == value) break;
    }
    return buffer;
}

std::string json_string(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
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

std::string json_number(float value) {
    return std::isfinite(value) ? shortest(value) : "null";
}

std::string hex(const std::uint8_t* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// --- Reading a preference file, with a diagnosis of damage -------------------------------------

struct RawRecord {
    int index = 0;            // 1-based position in the file
    std::int64_t offset = 0;  // of its header
    std::int32_t signature = 0;
    std::int32_t size = 0;  // data bytes
    std::string data;       // held for the records that are decoded
};

struct FileView {
    std::int64_t size = 0;
    std::int32_t count = 0;
    std::vector<RawRecord> records;
    std::int64_t trailing = 0;  // bytes after the last counted record
};

const char* record_kind(std::int32_t signature) {
    switch (signature) {
        case PF_SigOldVersion:
            return "old-version marker";
        case PF_SigProfileSettings:
            return "profile settings";
        case PF_SigMonitorSettings:
            return "monitor settings";
        case PF_SigMeterOptions:
            return "meter options";
        default:
            return nullptr;
    }
}

// The data size of a record the command decodes, or -1.
std::int32_t decoded_size(std::int32_t signature) {
    switch (signature) {
        case PF_SigProfileSettings:
            return sizeof(PF_ProfileSettings);
        case PF_SigMonitorSettings:
            return sizeof(PF_MonitorSettings);
        case PF_SigMeterOptions:
            return sizeof(MeterOptionsRecord);
        default:
            return -1;
    }
}

std::int32_t le32(const unsigned char* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

// Walks every record of the file and checks each length against the file's size; anything
// the store would refuse is a Failure naming the file and what is wrong with it.
FileView inspect(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    if (!file) fail(path, std::string("cannot open: ") + std::strerror(errno));
    struct stat info;
    if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode))
        fail(path, "not a regular file");

    FileView view;
    view.size = info.st_size;
    if (view.size == 0) fail(path, "empty file, no record count");
    unsigned char word[8];
    if (view.size < 4 || std::fread(word, 1, 4, file.get()) != 4)
        fail(path, std::to_string(view.size) + " bytes, too short for the 4-byte record count");
    view.count = le32(word);
    if (view.count < 0) fail(path, "record count is negative (" + std::to_string(view.count) + ")");

    std::int64_t position = 4;
    for (std::int32_t i = 0; i < view.count; ++i) {
        RawRecord r;
        r.index = i + 1;
        r.offset = position;
        std::string which = "record " + std::to_string(r.index);
        std::int64_t left = view.size - position;
        if (left == 0)
            fail(path, "record count is " + std::to_string(view.count) +
                           " but the file ends after " + std::to_string(i) +
                           (i == 1 ? " record" : " records"));
        if (left < 8 || std::fread(word, 1, 8, file.get()) != 8)
            fail(path,
                 which + " is cut off: its header has " + std::to_string(left) + " of 8 bytes");
        r.signature = le32(word);
        std::int32_t length = le32(word + 4);
        which += " (signature " + std::to_string(r.signature) + ")";
        if (length < 8)
            fail(path,
                 which + " has length " + std::to_string(length) + ", less than its 8-byte header");
        if (length - 8 > left - 8)
            fail(path, which + " runs past the end of the file: length " + std::to_string(length) +
                           ", " + std::to_string(left) + " bytes left");
        r.size = length - 8;
        if (r.size == decoded_size(r.signature)) {
            r.data.resize(static_cast<size_t>(r.size));
            if (std::fread(&r.data[0], 1, r.data.size(), file.get()) != r.data.size())
                fail(path, which + ": read error");
        } else if (fseeko(file.get(), r.size, SEEK_CUR) != 0) {
            fail(path, which + ": seek error");
        }
        position += length;
        view.records.push_back(std::move(r));
    }
    view.trailing = view.size - position;
    return view;
}

FM_FILESPEC spec_of(const std::string& path) {
    FM_FILESPEC spec;
    if (!FM_SetPath(&spec, path.c_str()))
        fail(path, "path is not valid UTF-8 or longer than 511 UTF-16 units");
    return spec;
}

std::string status_text(short status) {
    switch (status) {
        case PF_ERR_NOT_FOUND:
            return "no such record";
        case PF_ERR_NO_MEMORY:
            return "out of memory";
        case PF_ERR_DAMAGED:
            return "damaged file";
        case PF_ERR_SIZE_MISMATCH:
            return "the stored record has another size";
        case FM_ERR_NOT_FOUND:
            return "no such file or directory";
        case FM_ERR_ACCESS:
            return "permission denied";
        case FM_ERR_WRITE:
            return "write error (disk full?)";
        default:
            return "file-service status " + std::to_string(status);
    }
}

// --- Replacing a file safely --------------------------------------------------------------------

// A temporary file next to the target that becomes the target only when everything written to
// it succeeded; otherwise it is removed and the target stays as it was.
class Replacement {
  public:
    explicit Replacement(const std::string& target) : target_(target) {
        std::string name = target + ".tmp.XXXXXX";
        std::vector<char> buffer(name.begin(), name.end());
        buffer.push_back('\0');
        int fd = mkstemp(buffer.data());
        if (fd < 0)
            fail(target, std::string("cannot create a file next to it: ") + std::strerror(errno));
        path_ = buffer.data();
        struct stat info;
        mode_t mode;
        if (stat(target.c_str(), &info) == 0) {
            mode = info.st_mode & 07777;  // keep the permissions of the file replaced
        } else {
            mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;  // those of a newly created file
        }
        fchmod(fd, mode);
        close(fd);
    }
    ~Replacement() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    const std::string& path() const { return path_; }

    void copy_from(const std::string& source) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(source.c_str(), "rb"),
                                                           std::fclose);
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path_.c_str(), "wb"),
                                                            std::fclose);
        if (!in || !out) fail(target_, std::string("cannot copy: ") + std::strerror(errno));
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
            if (std::fwrite(buffer, 1, n, out.get()) != n)
                fail(target_, "cannot copy: write error");
        if (std::ferror(in.get()) || std::fflush(out.get()) != 0)
            fail(target_, "cannot copy: read or write error");
    }

    // Moves the new file over the target; with `mustBeNew`, fails instead when the target
    // exists by now.
    void commit(bool mustBeNew) {
        if (mustBeNew) {
            if (link(path_.c_str(), target_.c_str()) != 0)
                fail(target_, errno == EEXIST
                                  ? "already exists (use --force to replace it)"
                                  : std::string("cannot create: ") + std::strerror(errno));
        } else if (rename(path_.c_str(), target_.c_str()) != 0) {
            fail(target_, std::string("cannot replace: ") + std::strerror(errno));
        }
        if (mustBeNew) unlink(path_.c_str());
        path_.clear();
    }

  private:
    std::string target_;
    std::string path_;
};

// The file a path names, symbolic links followed, so that an edit replaces the file itself.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

// Labelled values, one a line: labels padded to the widest, values left-aligned (they are
// mostly text).
class Fields {
  public:
    void row(std::string label, std::string value) {
        rows_.emplace_back(std::move(label), std::move(value));
    }
    void print() const {
        size_t width = 0;
        for (const auto& r : rows_) width = std::max(width, r.first.size());
        for (const auto& r : rows_)
            std::printf("%s%s  %s\n", r.first.c_str(),
                        std::string(width - r.first.size(), ' ').c_str(), r.second.c_str());
    }

  private:
    std::vector<std::pair<std::string, std::string>> rows_;
};

// --- Showing records --------------------------------------------------------------------------

template <typename Record>
Record decode(const RawRecord& raw) {
    Record r;
    std::memcpy(&r, raw.data.data(), sizeof r);
    return r;
}

std::string four_characters(std::uint32_t signature) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((signature >> shift) & 0xFF);
        out += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    return out;
}

struct Meter {
    std::int32_t code;
    int flag;
    std::int32_t value;
    const std::uint8_t* data;  // the 256 bytes the meter settings keep
};

Meter meter_of(const MeterBlock& block) {
    bool flagged = block.nCode >= 100;
    return {flagged ? block.nCode - 100 : block.nCode, flagged ? 1 : 0, block.nValue, block.abData};
}

std::string data_summary(const std::uint8_t* bytes, size_t n) {
    size_t nonzero = 0;
    for (size_t i = 0; i < n; ++i) nonzero += bytes[i] != 0;
    return std::to_string(n) + " bytes, " +
           (nonzero ? std::to_string(nonzero) + " non-zero" : std::string("all zero"));
}

std::string text_or_empty(const std::string& text) {
    return text.empty() ? "(empty)" : text;
}

void monitor_rows(const PF_MonitorSettings& m, Fields* t) {
    t->row("  name", text_or_empty(field_text(m.szName)));
    t->row("  red x y", shortest(m.fRedX) + " " + shortest(m.fRedY));
    t->row("  green x y", shortest(m.fGreenX) + " " + shortest(m.fGreenY));
    t->row("  blue x y", shortest(m.fBlueX) + " " + shortest(m.fBlueY));
    t->row("  white x y", shortest(m.fWhiteX) + " " + shortest(m.fWhiteY));
    t->row("  gamma", shortest(m.fGamma));
    t->row("  white point", text_or_empty(field_text(m.szWhitePointName)));
    t->row("  primaries", text_or_empty(field_text(m.szPrimariesName)));
    t->row("  tone response", text_or_empty(field_text(m.szGammaName)));
}

void show_text(const std::string& path, const FileView& view) {
    Fields head;
    head.row("file", path);
    head.row("size", std::to_string(view.size) + " bytes");
    head.row("records", std::to_string(view.count));
    if (view.trailing)
        head.row("after them", std::to_string(view.trailing) +
                                   " bytes not counted (left by an interrupted write)");
    head.print();
    for (const RawRecord& r : view.records) {
        const char* kind = record_kind(r.signature);
        std::string title = "\nrecord " + std::to_string(r.index) + ": signature " +
                            std::to_string(r.signature) + (kind ? std::string(", ") + kind : "") +
                            ", " + std::to_string(r.size) + " bytes";
        if (kind && r.data.empty() && decoded_size(r.signature) >= 0)
            title += " (not " + std::to_string(decoded_size(r.signature)) + ": not decoded)";
        std::printf("%s\n", title.c_str());
        if (r.data.empty()) continue;
        Fields t;
        if (r.signature == PF_SigMeterOptions) {
            MeterOptionsRecord m = decode<MeterOptionsRecord>(r);
            for (int i = 0; i < 2; ++i) {
                Meter meter = meter_of(m.aBlock[i]);
                std::string label = "  meter " + std::to_string(i + 1);
                t.row(label + " code", std::to_string(meter.code));
                t.row(label + " flag", std::to_string(meter.flag));
                t.row(label + " value", std::to_string(meter.value));
                t.row(label + " data", data_summary(meter.data, 256));
            }
        } else if (r.signature == PF_SigProfileSettings) {
            PF_ProfileSettings p = decode<PF_ProfileSettings>(r);
            char value[16];
            std::snprintf(value, sizeof value, "0x%08X", p.sigColorSpace);
            t.row("  colour space", "'" + four_characters(p.sigColorSpace) + "' (" + value + ")");
            t.row("  setting 0", std::to_string(p.nSetting0));
            t.row("  setting 8", std::to_string(p.nSetting8));
            t.row("  setting 12", std::to_string(p.nSetting12));
            t.row("  setting 16", std::to_string(p.nSetting16));
            t.row("  setting 24", std::to_string(p.nSetting24));
            t.row("  setting 32", data_summary(p.abSetting32, 32));
        } else {
            monitor_rows(decode<PF_MonitorSettings>(r), &t);
        }
        t.print();
    }
}

std::string json_pair(float x, float y) {
    return "[" + json_number(x) + ", " + json_number(y) + "]";
}

void show_json(const std::string& path, const FileView& view) {
    std::string out =
        "{\n  \"file\": " + json_string(path) + ",\n  \"size\": " + std::to_string(view.size) +
        ",\n  \"count\": " + std::to_string(view.count) +
        ",\n  \"trailing_bytes\": " + std::to_string(view.trailing) + ",\n  \"records\": [";
    for (size_t i = 0; i < view.records.size(); ++i) {
        const RawRecord& r = view.records[i];
        const char* kind = record_kind(r.signature);
        out += i ? ",\n    {" : "\n    {";
        out += "\"index\": " + std::to_string(r.index) +
               ", \"offset\": " + std::to_string(r.offset) +
               ", \"signature\": " + std::to_string(r.signature) +
               ", \"size\": " + std::to_string(r.size);
        if (kind) out += ", \"kind\": " + json_string(kind);
        if (!r.data.empty() && r.signature == PF_SigMeterOptions) {
            MeterOptionsRecord m = decode<MeterOptionsRecord>(r);
            out += ", \"meters\": [";
            for (int b = 0; b < 2; ++b) {
                Meter meter = meter_of(m.aBlock[b]);
                out += std::string(b ? ", " : "") + "{\"code\": " + std::to_string(meter.code) +
                       ", \"flag\": " + std::to_string(meter.flag) +
                       ", \"value\": " + std::to_string(meter.value) + ", \"data\": \"" +
                       hex(meter.data, 256) + "\"}";
            }
            out += "]";
        } else if (!r.data.empty() && r.signature == PF_SigProfileSettings) {
            PF_ProfileSettings p = decode<PF_ProfileSettings>(r);
            out += ", \"profile\": {\"color_space\": " +
                   json_string(four_characters(p.sigColorSpace)) +
                   ", \"color_space_value\": " + std::to_string(p.sigColorSpace) +
                   ", \"setting0\": " + std::to_string(p.nSetting0) +
                   ", \"setting8\": " + std::to_string(p.nSetting8) +
                   ", \"setting12\": " + std::to_string(p.nSetting12) +
                   ", \"setting16\": " + std::to_string(p.nSetting16) +
                   ", \"setting24\": " + std::to_string(p.nSetting24) + ", \"setting32\": \"" +
                   hex(p.abSetting32, 32) + "\"}";
        } else if (!r.data.empty()) {
            PF_MonitorSettings m = decode<PF_MonitorSettings>(r);
            out += ", \"monitor\": {\"name\": " + json_string(field_text(m.szName)) +
                   ", \"red\": " + json_pair(m.fRedX, m.fRedY) +
                   ", \"green\": " + json_pair(m.fGreenX, m.fGreenY) +
                   ", \"blue\": " + json_pair(m.fBlueX, m.fBlueY) +
                   ", \"white\": " + json_pair(m.fWhiteX, m.fWhiteY) +
                   ", \"gamma\": " + json_number(m.fGamma) +
                   ", \"white_point_name\": " + json_string(field_text(m.szWhitePointName)) +
                   ", \"primaries_name\": " + json_string(field_text(m.szPrimariesName)) +
                   ", \"gamma_name\": " + json_string(field_text(m.szGammaName)) + "}";
        }
        out += "}";
    }
    out += view.records.empty() ? "]\n}\n" : "\n  ]\n}\n";
    std::fputs(out.c_str(), stdout);
}

// --- Monitor options --------------------------------------------------------------------------

struct MonitorEdits {
    std::vector<std::string> primaries, white, gamma, name;
    bool any() const {
        return !primaries.empty() || !white.empty() || !gamma.empty() || !name.empty();
    }
};

void apply(const MonitorEdits& e, PF_MonitorSettings* m) {
    if (!e.primaries.empty()) {
        const char* names[6] = {"rx", "ry", "gx", "gy", "bx", "by"};
        float* fields[6] = {&m->fRedX, &m->fRedY, &m->fGreenX, &m->fGreenY, &m->fBlueX, &m->fBlueY};
        for (int i = 0; i < 6; ++i) *fields[i] = cli::parse_float(e.primaries[i], names[i]);
    }
    if (!e.white.empty()) {
        float wx = cli::parse_float(e.white[0], "wx"), wy = cli::parse_float(e.white[1], "wy");
        if (wy == 0.0f) throw cli::UsageError("argument wy: a white y of 0 has no XYZ");
        m->fWhiteX = wx;
        m->fWhiteY = wy;
    }
    if (!e.gamma.empty()) {
        float gamma = cli::parse_float(e.gamma[0], "G");
        if (!(gamma > 0.0f)) throw cli::UsageError("argument G: the gamma must be positive");
        m->fGamma = gamma;
    }
    if (!e.name.empty()) set_field_text(m->szName, e.name[0], "TEXT");
}

// Takes the monitor options out of `args`; malformed values are usage errors here, before any
// file is touched.
MonitorEdits take_monitor_options(cli::Args& args, bool withGammaAndName) {
    MonitorEdits e;
    e.primaries = args.option("--primaries", 6);
    e.white = args.option("--white", 2);
    if (withGammaAndName) {
        e.gamma = args.option("--gamma", 1);
        e.name = args.option("--name", 1);
    }
    PF_MonitorSettings scratch;
    apply(e, &scratch);
    return e;
}

PF_MonitorSettings default_monitor() {
    PF_MonitorSettings m;
    std::memset(&m, 0, sizeof m);
    GetDefaultMonitor(m);
    return m;
}

// Record 102 of a checked file, or false when it has none.
bool read_monitor(const std::string& path, const FileView& view, PF_MonitorSettings* m) {
    for (const RawRecord& r : view.records) {
        if (r.signature != PF_SigMonitorSettings) continue;
        if (r.size != static_cast<std::int32_t>(sizeof *m))
            fail(path, "record " + std::to_string(r.index) + " (signature 102) holds " +
                           std::to_string(r.size) + " bytes, not the 1828 of monitor settings");
        break;
    }
    FM_FILESPEC spec = spec_of(path);
    char* data = nullptr;
    std::int32_t size = 0;
    short status = ReadPreference(&spec, PF_SigMonitorSettings, &data, &size);
    if (status == PF_ERR_NOT_FOUND) return false;
    if (status < 0) fail(path, "cannot read the monitor record: " + status_text(status));
    if (size != static_cast<std::int32_t>(sizeof *m)) {
        delete[] data;
        fail(path, "the monitor record changed while it was read");
    }
    std::memcpy(m, data, sizeof *m);
    delete[] data;
    return true;
}

// --- prefs ------------------------------------------------------------------------------------

int prefs_init(const std::string& path, bool force) {
    struct stat info;
    bool exists = lstat(path.c_str(), &info) == 0;
    if (exists && !force) fail(path, "already exists (use --force to replace it)");
    std::string target = exists ? resolved(path) : path;
    spec_of(target);  // a path the file services cannot take fails before anything is written
    Replacement replacement(target);
    FM_FILESPEC spec = spec_of(replacement.path());
    short status = CreateDefaultPreferenceFile_NoMeterOptions(&spec);
    if (status < 0) fail(path, "cannot write: " + status_text(status));
    replacement.commit(!exists);
    std::printf(
        "%s: default preference file written (%lld bytes: meter options, profile "
        "settings, monitor settings)\n",
        path.c_str(), static_cast<long long>(inspect(path).size));
    return cli::kExitOk;
}

int prefs_show(const std::string& path, bool json) {
    FileView view = inspect(path);
    if (json) {
        show_json(path, view);
    } else {
        show_text(path, view);
    }
    return cli::kExitOk;
}

int prefs_monitor(const std::string& path, const MonitorEdits& edits) {
    FileView view = inspect(path);
    PF_MonitorSettings m = default_monitor();
    bool present = read_monitor(path, view, &m);
    apply(edits, &m);

    if (present && !edits.any()) {
        std::printf("%s: monitor settings (record 102), unchanged\n", path.c_str());
    } else {
        std::string target = resolved(path);
        Replacement replacement(target);
        replacement.copy_from(target);
        FM_FILESPEC spec = spec_of(replacement.path());
        short status = WritePreference(&spec, PF_SigMonitorSettings,
                                       reinterpret_cast<const char*>(&m), sizeof m);
        if (status < 0) fail(path, "cannot write the monitor record: " + status_text(status));
        replacement.commit(false);
        std::printf("%s: monitor settings (record 102) %s\n", path.c_str(),
                    present ? "updated" : "added from the defaults");
    }
    Fields t;
    monitor_rows(m, &t);
    t.print();
    return cli::kExitOk;
}

int run_prefs(cli::Args& args) {
    bool force = args.flag("--force");
    bool json = args.flag("--json");
    MonitorEdits edits = take_monitor_options(args, true);
    std::vector<std::string> words = args.positional();
    if (words.empty()) throw cli::UsageError("missing action (init, show or monitor)");
    const std::string action = words[0];
    if (action != "init" && action != "show" && action != "monitor")
        throw cli::UsageError("unknown action '" + action + "' (init, show or monitor)");
    if (force && action != "init") throw cli::UsageError("option --force applies to 'prefs init'");
    if (json && action != "show") throw cli::UsageError("option --json applies to 'prefs show'");
    if (edits.any() && action != "monitor")
        throw cli::UsageError(
            "options --primaries, --white, --gamma, --name apply to "
            "'prefs monitor'");
    if (words.size() < 2) throw cli::UsageError("missing argument FILE");
    if (words.size() > 2) throw cli::UsageError("unexpected argument '" + words[2] + "'");
    const std::string& path = words[1];
    if (action == "init") return prefs_init(path, force);
    if (action == "show") return prefs_show(path, json);
    return prefs_monitor(path, edits);
}

// --- monitor ----------------------------------------------------------------------------------

void print_matrix(const char* title, const char* rows, const float (&m)[3][3]) {
    // A zeroed column may hold negative zeros; print them as plain zeros.
    auto cell = [](float v) { return cli::fmt(v == 0.0f ? 0.0f : v, 6); };
    std::printf("%s\n", title);
    cli::Table t;
    for (int i = 0; i < 3; ++i)
        t.row({std::string("  ") + rows[i], cell(m[i][0]), cell(m[i][1]), cell(m[i][2])});
    t.print();
}

int run_monitor(cli::Args& args) {
    MonitorEdits edits = take_monitor_options(args, false);
    std::vector<std::string> words = args.positional();
    if (words.size() > 1) throw cli::UsageError("unexpected argument '" + words[1] + "'");
    PF_MonitorSettings m = default_monitor();
    if (!words.empty()) {
        const std::string& path = words[0];
        FileView view = inspect(path);
        if (!read_monitor(path, view, &m)) fail(path, "no monitor settings (record 102)");
    }
    apply(edits, &m);

    float forward[3][3], inverse[3][3];
    short result = GetMonitorTransformMatrix(m, forward, inverse);
    if (result == VANTREL_ERR_WHITE_NOT_DETERMINED)
        throw cli::Failure(
            "result -7: the primaries do not determine the white point (they "
            "are collinear or two of them coincide)");
    print_matrix("forward (linear RGB to D50 XYZ)", "XYZ", forward);
    if (result == VANTREL_ERR_SINGULAR)
        throw cli::Failure(
            "result -3: the adapted matrix is singular, so there is no inverse "
            "(the white point lies on or outside the triangle of the primaries)");
    print_matrix("inverse (D50 XYZ to linear RGB)", "RGB", inverse);
    std::printf("result %d\n", result);
    return result == VANTREL_SUCCESS ? cli::kExitOk : cli::kExitFailure;
}

const cli::Register prefs_command(
    {"prefs", "create, show and edit preference files",
     "usage: vantrel prefs init FILE [--force]\n"
     "       vantrel prefs show FILE [--json]\n"
     "       vantrel prefs monitor FILE [--primaries rx ry gx gy bx by] [--white wx wy]\n"
     "                                  [--gamma G] [--name TEXT]\n\n"
     "init     writes a complete default preference file (meter options, profile settings\n"
     "         and monitor settings); an existing FILE is replaced only with --force.\n"
     "show     decodes every record: the monitor's chromaticities, gamma and names, the\n"
     "         profile settings with the colour space as four characters, both meters'\n"
     "         code, flag and value; records of other signatures as signature and size.\n"
     "         --json prints the same as JSON.\n"
     "monitor  edits the monitor settings (record 102) in place, adding them from the\n"
     "         defaults when FILE has none, and prints them. FILE is rewritten through a\n"
     "         temporary copy next to it. Chromaticities are CIE 1931 x, y; the names of\n"
     "         the white point, primaries and tone response are kept.\n\n"
     "A damaged FILE is reported in one line (exit status 1) and never modified; a failed\n"
     "command leaves FILE as it was.\n\n"
     "example: vantrel prefs monitor monitor.prefs --white 0.3457 0.3585 --gamma 1.8\n",
     run_prefs});

const cli::Register monitor_command(
    {"monitor", "a monitor's RGB-to-XYZ matrix relative to D50, and its inverse",
     "usage: vantrel monitor [FILE] [--primaries rx ry gx gy bx by] [--white wx wy]\n\n"
     "Builds the matrix from linear RGB (0..1) to unit-scale XYZ relative to D50 for a\n"
     "monitor given by the CIE 1931 x, y of its primaries and white point, each primary\n"
     "adapted to D50 by linear Bradford, and its inverse (the matrix a calibrated RGB\n"
     "encoding takes). The monitor comes from record 102 of FILE, or the defaults (ITU-R\n"
     "BT 709 primaries, D65 white); the options replace its values. Exit status 1 with an\n"
     "explanation for result -7 (the primaries do not determine the white) and -3 (no\n"
     "inverse: the white lies on or outside the primaries' triangle).\n\n"
     "example: vantrel monitor --white 0.3457 0.3585\n",
     run_monitor});

}  // namespace
