// vantrel prefs init | show | monitor, and vantrel monitor: preference files and the monitor's
// RGB-to-XYZ matrix.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "cli.h"
#include "prefs_view.h"
#include "text_codec.h"
#include "vantrel/colorimetry.h"
#include "vantrel/settings.h"

namespace {

using cli::Shortest;

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw cli::Failure(path + ": " + what);
}

// --- Showing records --------------------------------------------------------------------------

std::string FourCharacters(std::uint32_t signature) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((signature >> shift) & 0xFF);
        out += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    return out;
}

std::string DataSummary(const std::uint8_t* bytes, size_t n) {
    size_t nonzero = 0;
    for (size_t i = 0; i < n; ++i) nonzero += bytes[i] != 0;
    return std::to_string(n) + " bytes, " +
           (nonzero ? std::to_string(nonzero) + " non-zero" : std::string("all zero"));
}

std::string TextOrEmpty(const std::string& text) {
    return text.empty() ? "(empty)" : text;
}

// Labelled values, one a line: labels padded to the widest, values left-aligned (they are
// mostly text).
constexpr cli::Table::Align kTextValues = cli::Table::Align::kLeft;

void AddMonitorRows(const PF_MonitorSettings& m, cli::Table* t) {
    t->AddRow({"  name", TextOrEmpty(cli::Utf8FromField(m.szName))});
    t->AddRow({"  red x y", Shortest(m.fRedX) + " " + Shortest(m.fRedY)});
    t->AddRow({"  green x y", Shortest(m.fGreenX) + " " + Shortest(m.fGreenY)});
    t->AddRow({"  blue x y", Shortest(m.fBlueX) + " " + Shortest(m.fBlueY)});
    t->AddRow({"  white x y", Shortest(m.fWhiteX) + " " + Shortest(m.fWhiteY)});
    t->AddRow({"  gamma", Shortest(m.fGamma)});
    t->AddRow({"  white point", TextOrEmpty(cli::Utf8FromField(m.szWhitePointName))});
    t->AddRow({"  primaries", TextOrEmpty(cli::Utf8FromField(m.szPrimariesName))});
    t->AddRow({"  tone response", TextOrEmpty(cli::Utf8FromField(m.szGammaName))});
}

void ShowText(const std::string& path, const cli::PreferenceFileView& view) {
    cli::Table head(kTextValues);
    head.AddRow({"file", path});
    head.AddRow({"size", std::to_string(view.size) + " bytes"});
    head.AddRow({"records", std::to_string(view.count)});
    if (view.trailing)
        head.AddRow({"after them", std::to_string(view.trailing) +
                                       " bytes not counted (left by an interrupted write)"});
    head.Print();
    for (const cli::RawRecord& r : view.records) {
        const char* kind = cli::RecordKind(r.signature);
        std::string title = "\nrecord " + std::to_string(r.index) + ": signature " +
                            std::to_string(r.signature) + (kind ? std::string(", ") + kind : "") +
                            ", " + std::to_string(r.size) + " bytes";
        if (kind && r.data.empty() && cli::DecodedSize(r.signature) >= 0)
            title += " (not " + std::to_string(cli::DecodedSize(r.signature)) + ": not decoded)";
        std::printf("%s\n", title.c_str());
        if (r.data.empty()) continue;
        cli::Table t(kTextValues);
        if (r.signature == PF_SigMeterOptions) {
            MeterOptionsRecord m = cli::Decode<MeterOptionsRecord>(r);
            for (int i = 0; i < 2; ++i) {
                cli::Meter meter = cli::MeterOf(m.aBlock[i]);
                std::string label = "  meter " + std::to_string(i + 1);
                t.AddRow({label + " code", std::to_string(meter.code)});
                t.AddRow({label + " flag", std::to_string(meter.flag)});
                t.AddRow({label + " value", std::to_string(meter.value)});
                t.AddRow({label + " data", DataSummary(meter.data, 256)});
            }
        } else if (r.signature == PF_SigProfileSettings) {
            PF_ProfileSettings p = cli::Decode<PF_ProfileSettings>(r);
            char value[16];
            std::snprintf(value, sizeof value, "0x%08X", p.sigColorSpace);
            t.AddRow(
                {"  colour space", "'" + FourCharacters(p.sigColorSpace) + "' (" + value + ")"});
            t.AddRow({"  setting 0", std::to_string(p.nSetting0)});
            t.AddRow({"  setting 8", std::to_string(p.nSetting8)});
            t.AddRow({"  setting 12", std::to_string(p.nSetting12)});
            t.AddRow({"  setting 16", std::to_string(p.nSetting16)});
            t.AddRow({"  setting 24", std::to_string(p.nSetting24)});
            t.AddRow({"  setting 32", DataSummary(p.abSetting32, 32)});
        } else {
            AddMonitorRows(cli::Decode<PF_MonitorSettings>(r), &t);
        }
        t.Print();
    }
}

std::string JsonPair(float x, float y) {
    return cli::JsonArray({cli::JsonNumber(x), cli::JsonNumber(y)});
}

std::string JsonRecord(const cli::RawRecord& r) {
    cli::JsonObject record;
    record.AddInteger("index", r.index)
        .AddInteger("offset", r.offset)
        .AddInteger("signature", r.signature)
        .AddInteger("size", r.size);
    if (const char* kind = cli::RecordKind(r.signature)) record.AddString("kind", kind);
    if (r.data.empty()) return record.Text();
    if (r.signature == PF_SigMeterOptions) {
        MeterOptionsRecord m = cli::Decode<MeterOptionsRecord>(r);
        std::vector<std::string> meters;
        for (const MeterBlock& block : m.aBlock) {
            cli::Meter meter = cli::MeterOf(block);
            meters.push_back(cli::JsonObject()
                                 .AddInteger("code", meter.code)
                                 .AddInteger("flag", meter.flag)
                                 .AddInteger("value", meter.value)
                                 .AddString("data", cli::Hex(meter.data, 256))
                                 .Text());
        }
        record.Add("meters", cli::JsonArray(meters));
    } else if (r.signature == PF_SigProfileSettings) {
        PF_ProfileSettings p = cli::Decode<PF_ProfileSettings>(r);
        record.Add("profile", cli::JsonObject()
                                  .AddString("color_space", FourCharacters(p.sigColorSpace))
                                  .AddInteger("color_space_value", p.sigColorSpace)
                                  .AddInteger("setting0", p.nSetting0)
                                  .AddInteger("setting8", p.nSetting8)
                                  .AddInteger("setting12", p.nSetting12)
                                  .AddInteger("setting16", p.nSetting16)
                                  .AddInteger("setting24", p.nSetting24)
                                  .AddString("setting32", cli::Hex(p.abSetting32, 32))
                                  .Text());
    } else {
        PF_MonitorSettings m = cli::Decode<PF_MonitorSettings>(r);
        record.Add("monitor",
                   cli::JsonObject()
                       .AddString("name", cli::Utf8FromField(m.szName))
                       .Add("red", JsonPair(m.fRedX, m.fRedY))
                       .Add("green", JsonPair(m.fGreenX, m.fGreenY))
                       .Add("blue", JsonPair(m.fBlueX, m.fBlueY))
                       .Add("white", JsonPair(m.fWhiteX, m.fWhiteY))
                       .Add("gamma", cli::JsonNumber(m.fGamma))
                       .AddString("white_point_name", cli::Utf8FromField(m.szWhitePointName))
                       .AddString("primaries_name", cli::Utf8FromField(m.szPrimariesName))
                       .AddString("gamma_name", cli::Utf8FromField(m.szGammaName))
                       .Text());
    }
    return record.Text();
}

void ShowJson(const std::string& path, const cli::PreferenceFileView& view) {
    std::string out =
        "{\n  \"file\": " + cli::JsonString(path) + ",\n  \"size\": " + std::to_string(view.size) +
        ",\n  \"count\": " + std::to_string(view.count) +
        ",\n  \"trailing_bytes\": " + std::to_string(view.trailing) + ",\n  \"records\": [";
    for (size_t i = 0; i < view.records.size(); ++i)
        out += (i ? ",\n    " : "\n    ") + JsonRecord(view.records[i]);
    out += view.records.empty() ? "]\n}\n" : "\n  ]\n}\n";
    std::fputs(out.c_str(), stdout);
}

// --- Monitor options --------------------------------------------------------------------------

struct MonitorEdits {
    std::vector<std::string> primaries, white, gamma, name;
    bool Any() const {
        return !primaries.empty() || !white.empty() || !gamma.empty() || !name.empty();
    }
};

void Apply(const MonitorEdits& e, PF_MonitorSettings* m) {
    if (!e.primaries.empty()) {
        const char* names[6] = {"rx", "ry", "gx", "gy", "bx", "by"};
        float* fields[6] = {&m->fRedX, &m->fRedY, &m->fGreenX, &m->fGreenY, &m->fBlueX, &m->fBlueY};
        for (int i = 0; i < 6; ++i) *fields[i] = cli::ParseFloat(e.primaries[i], names[i]);
    }
    if (!e.white.empty()) {
        float wx = cli::ParseFloat(e.white[0], "wx"), wy = cli::ParseFloat(e.white[1], "wy");
        if (wy == 0.0f) throw cli::UsageError("argument wy: a white y of 0 has no XYZ");
        m->fWhiteX = wx;
        m->fWhiteY = wy;
    }
    if (!e.gamma.empty()) {
        float gamma = cli::ParseFloat(e.gamma[0], "G");
        if (!(gamma > 0.0f)) throw cli::UsageError("argument G: the gamma must be positive");
        m->fGamma = gamma;
    }
    if (!e.name.empty()) cli::StoreInField(m->szName, e.name[0], "TEXT");
}

// Takes the monitor options out of `args`; malformed values are usage errors here, before any
// file is touched.
MonitorEdits TakeMonitorOptions(cli::Args& args, bool withGammaAndName) {
    MonitorEdits e;
    e.primaries = args.Option("--primaries", 6);
    e.white = args.Option("--white", 2);
    if (withGammaAndName) {
        e.gamma = args.Option("--gamma", 1);
        e.name = args.Option("--name", 1);
    }
    PF_MonitorSettings scratch;
    Apply(e, &scratch);
    return e;
}

PF_MonitorSettings DefaultMonitor() {
    PF_MonitorSettings m;
    std::memset(&m, 0, sizeof m);
    GetDefaultMonitor(m);
    return m;
}

// --- prefs ------------------------------------------------------------------------------------

int PrefsInit(const std::string& path, bool force) {
    struct stat info;
    bool exists = lstat(path.c_str(), &info) == 0;
    if (exists && !force) Fail(path, "already exists (use --force to replace it)");
    std::string target = exists ? cli::ResolvedPath(path) : path;
    cli::SpecOf(target);  // a path the file services cannot take fails before anything is written
    cli::FileReplacement replacement(target);
    FM_FILESPEC spec = cli::SpecOf(replacement.Path());
    short status = CreateDefaultPreferenceFile_NoMeterOptions(&spec);
    if (status < 0) Fail(path, "cannot write: " + cli::StatusText(status));
    replacement.Commit(!exists);
    std::printf(
        "%s: default preference file written (%lld bytes: meter options, profile "
        "settings, monitor settings)\n",
        path.c_str(), static_cast<long long>(cli::InspectPreferenceFile(path).size));
    return cli::kExitOk;
}

int PrefsShow(const std::string& path, bool json) {
    cli::PreferenceFileView view = cli::InspectPreferenceFile(path);
    if (json) {
        ShowJson(path, view);
    } else {
        ShowText(path, view);
    }
    return cli::kExitOk;
}

int PrefsMonitor(const std::string& path, const MonitorEdits& edits) {
    cli::PreferenceFileView view = cli::InspectPreferenceFile(path);
    PF_MonitorSettings m = DefaultMonitor();
    bool present = cli::ReadMonitor(path, view, &m);
    Apply(edits, &m);

    if (present && !edits.Any()) {
        std::printf("%s: monitor settings (record 102), unchanged\n", path.c_str());
    } else {
        std::string target = cli::ResolvedPath(path);
        cli::FileReplacement replacement(target);
        replacement.CopyFrom(target);
        FM_FILESPEC spec = cli::SpecOf(replacement.Path());
        short status = WritePreference(&spec, PF_SigMonitorSettings,
                                       reinterpret_cast<const char*>(&m), sizeof m);
        if (status < 0) Fail(path, "cannot write the monitor record: " + cli::StatusText(status));
        replacement.Commit(false);
        std::printf("%s: monitor settings (record 102) %s\n", path.c_str(),
                    present ? "updated" : "added from the defaults");
    }
    cli::Table t(kTextValues);
    AddMonitorRows(m, &t);
    t.Print();
    return cli::kExitOk;
}

int RunPrefs(cli::Args& args) {
    bool force = args.Flag("--force");
    bool json = args.Flag("--json");
    MonitorEdits edits = TakeMonitorOptions(args, true);
    std::vector<std::string> words = args.Positional();
    if (words.empty()) throw cli::UsageError("missing action (init, show or monitor)");
    const std::string action = words[0];
    if (action != "init" && action != "show" && action != "monitor")
        throw cli::UsageError("unknown action '" + action + "' (init, show or monitor)");
    if (force && action != "init") throw cli::UsageError("option --force applies to 'prefs init'");
    if (json && action != "show") throw cli::UsageError("option --json applies to 'prefs show'");
    if (edits.Any() && action != "monitor")
        throw cli::UsageError(
            "options --primaries, --white, --gamma, --name apply to "
            "'prefs monitor'");
    if (words.size() < 2) throw cli::UsageError("missing argument FILE");
    if (words.size() > 2) throw cli::UsageError("unexpected argument '" + words[2] + "'");
    const std::string& path = words[1];
    if (action == "init") return PrefsInit(path, force);
    if (action == "show") return PrefsShow(path, json);
    return PrefsMonitor(path, edits);
}

// --- monitor ----------------------------------------------------------------------------------

void PrintMatrix(const char* title, const char* rows, const float (&m)[3][3]) {
    // A zeroed column may hold negative zeros; print them as plain zeros.
    auto cell = [](float v) { return cli::Fixed(v == 0.0f ? 0.0f : v, 6); };
    std::printf("%s\n", title);
    cli::Table t;
    for (int i = 0; i < 3; ++i)
        t.AddRow({std::string("  ") + rows[i], cell(m[i][0]), cell(m[i][1]), cell(m[i][2])});
    t.Print();
}

int RunMonitor(cli::Args& args) {
    MonitorEdits edits = TakeMonitorOptions(args, false);
    std::vector<std::string> words = args.Positional();
    if (words.size() > 1) throw cli::UsageError("unexpected argument '" + words[1] + "'");
    PF_MonitorSettings m = DefaultMonitor();
    if (!words.empty()) {
        const std::string& path = words[0];
        cli::PreferenceFileView view = cli::InspectPreferenceFile(path);
        if (!cli::ReadMonitor(path, view, &m)) Fail(path, "no monitor settings (record 102)");
    }
    Apply(edits, &m);

    float forward[3][3], inverse[3][3];
    short result = GetMonitorTransformMatrix(m, forward, inverse);
    if (result == VANTREL_ERR_WHITE_NOT_DETERMINED)
        throw cli::Failure(
            "result -7: the primaries do not determine the white point (they "
            "are collinear or two of them coincide)");
    PrintMatrix("forward (linear RGB to D50 XYZ)", "XYZ", forward);
    if (result == VANTREL_ERR_SINGULAR)
        throw cli::Failure(
            "result -3: the adapted matrix is singular, so there is no inverse "
            "(the white point lies on or outside the triangle of the primaries)");
    PrintMatrix("inverse (D50 XYZ to linear RGB)", "RGB", inverse);
    std::printf("result %d\n", result);
    return result == VANTREL_SUCCESS ? cli::kExitOk : cli::kExitFailure;
}

const cli::Register kPrefsCommand(
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
     RunPrefs});

const cli::Register kMonitorCommand(
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
     RunMonitor});

}  // namespace
