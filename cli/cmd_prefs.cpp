// vantrel prefs init | show | monitor | repair, and vantrel monitor: preference files and the
// monitor's RGB-to-XYZ matrix.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "atomic_file.h"
#include "cli.h"
#include "input.h"
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

std::string RecordTitle(const cli::RawRecord& r) {
    const char* kind = cli::RecordKind(r.signature);
    return "record " + std::to_string(r.index) + ": signature " + std::to_string(r.signature) +
           (kind ? std::string(", ") + kind : "") + ", " + std::to_string(r.size) + " bytes";
}

std::string ShowText(const std::string& name, const cli::PreferenceFileView& view) {
    cli::Table head(kTextValues);
    head.AddRow({"file", name});
    head.AddRow({"size", std::to_string(view.size) + " bytes"});
    head.AddRow({"records", std::to_string(view.count)});
    if (view.trailing)
        head.AddRow({"after them", std::to_string(view.trailing) +
                                       " bytes not counted (left by an interrupted write; see "
                                       "'vantrel prefs repair')"});
    std::string text = head.Text();
    for (const cli::RawRecord& r : view.records) {
        std::string title = "\n" + RecordTitle(r);
        const bool decoded = cli::Decodable(r);
        if (cli::RecordKind(r.signature) && !decoded && cli::DecodedSize(r.signature) >= 0)
            title += " (not " + std::to_string(cli::DecodedSize(r.signature)) + ": not decoded)";
        text += title + "\n";
        if (!decoded) continue;
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
        text += t.Text();
    }
    return text;
}

cli::Json JsonPair(float x, float y) {
    return cli::Json::Array(
        {cli::Json::Literal(cli::JsonNumber(x)), cli::Json::Literal(cli::JsonNumber(y))});
}

cli::Json MonitorJson(const PF_MonitorSettings& m) {
    return cli::Json::Object()
        .AddText("name", cli::Utf8FromField(m.szName))
        .Add("red", JsonPair(m.fRedX, m.fRedY))
        .Add("green", JsonPair(m.fGreenX, m.fGreenY))
        .Add("blue", JsonPair(m.fBlueX, m.fBlueY))
        .Add("white", JsonPair(m.fWhiteX, m.fWhiteY))
        .Add("gamma", cli::Json::Literal(cli::JsonNumber(m.fGamma)))
        .AddText("white_point_name", cli::Utf8FromField(m.szWhitePointName))
        .AddText("primaries_name", cli::Utf8FromField(m.szPrimariesName))
        .AddText("gamma_name", cli::Utf8FromField(m.szGammaName));
}

cli::Json RecordHeaderJson(const cli::RawRecord& r) {
    cli::Json record = cli::Json::Object();
    record.AddInteger("index", r.index)
        .AddInteger("offset", r.offset)
        .AddInteger("signature", r.signature)
        .AddInteger("size", r.size);
    if (const char* kind = cli::RecordKind(r.signature)) record.AddText("kind", kind);
    return record;
}

cli::Json JsonRecord(const cli::RawRecord& r) {
    cli::Json record = RecordHeaderJson(r);
    if (!cli::Decodable(r)) return record;
    if (r.signature == PF_SigMeterOptions) {
        MeterOptionsRecord m = cli::Decode<MeterOptionsRecord>(r);
        cli::Json meters = cli::Json::Array();
        for (const MeterBlock& block : m.aBlock) {
            cli::Meter meter = cli::MeterOf(block);
            meters.Push(cli::Json::Object()
                            .AddInteger("code", meter.code)
                            .AddInteger("flag", meter.flag)
                            .AddInteger("value", meter.value)
                            .AddText("data", cli::Hex(meter.data, 256)));
        }
        record.Add("meters", std::move(meters));
    } else if (r.signature == PF_SigProfileSettings) {
        PF_ProfileSettings p = cli::Decode<PF_ProfileSettings>(r);
        record.Add("profile", cli::Json::Object()
                                  .AddText("color_space", FourCharacters(p.sigColorSpace))
                                  .AddInteger("color_space_value", p.sigColorSpace)
                                  .AddInteger("setting0", p.nSetting0)
                                  .AddInteger("setting8", p.nSetting8)
                                  .AddInteger("setting12", p.nSetting12)
                                  .AddInteger("setting16", p.nSetting16)
                                  .AddInteger("setting24", p.nSetting24)
                                  .AddText("setting32", cli::Hex(p.abSetting32, 32)));
    } else {
        record.Add("monitor", MonitorJson(cli::Decode<PF_MonitorSettings>(r)));
    }
    return record;
}

cli::Report ShowReport(const std::string& name, const cli::PreferenceFileView& view) {
    cli::Report report;
    report.title = ShowText(name, view);
    report.tableRows = false;
    report.head = {{"file", cli::Json::Text(name)},
                   {"size", cli::Json::Integer(view.size)},
                   {"count", cli::Json::Integer(view.count)},
                   {"trailing_bytes", cli::Json::Integer(view.trailing)}};
    report.listKey = "records";
    report.listItems = true;
    for (const cli::RawRecord& r : view.records) report.items.push_back(JsonRecord(r));
    return report;
}

// The records as rows: what each is, not its contents.
cli::Record RecordRow(const cli::RawRecord& r) {
    const char* kind = cli::RecordKind(r.signature);
    return cli::Record()
        .Integer("index", "index", r.index)
        .Integer("offset", "offset", r.offset)
        .Integer("signature", "signature", r.signature)
        .Integer("size", "size", r.size)
        .Text("kind", "kind", kind ? kind : "");
}

// --- Monitor options --------------------------------------------------------------------------

struct MonitorEdits {
    std::vector<std::string> primaries, white, gamma, name;
    bool Any() const {
        return !primaries.empty() || !white.empty() || !gamma.empty() || !name.empty();
    }
};

// A chromaticity that a colour can have: x and y above 0, and z = 1 - x - y not below 0. The
// red primaries of DCI-P3 (0.68, 0.32) and ITU-R BT 2020 (0.708, 0.292) lie on z = 0, so the
// sum may reach 1, within the rounding of the two floats read.
void ParseChromaticity(const std::string& xText, const std::string& yText, const std::string& what,
                       float* x, float* y) {
    constexpr double kLargestSum = 1.0 + 0x1p-23;
    const float cx = cli::ParseFloat(xText, what + " x", cli::kPositive);
    const float cy = cli::ParseFloat(yText, what + " y", cli::kPositive);
    const double sum = static_cast<double>(cx) + static_cast<double>(cy);
    if (!(sum <= kLargestSum))
        throw cli::UsageError(what + ": x + y = " + Shortest(static_cast<float>(sum)) +
                              " is above 1, which no colour has");
    *x = cx;
    *y = cy;
}

// Where the checks of the options apply them, to find what is wrong before anything is done.
PF_MonitorSettings gScratch;

void Apply(const MonitorEdits& e, PF_MonitorSettings* m) {
    if (!e.primaries.empty()) {
        const char* names[3] = {"red", "green", "blue"};
        float* fields[6] = {&m->fRedX, &m->fRedY, &m->fGreenX, &m->fGreenY, &m->fBlueX, &m->fBlueY};
        for (int i = 0; i < 3; ++i)
            ParseChromaticity(e.primaries[2 * i], e.primaries[2 * i + 1],
                              std::string("option --primaries ") + names[i], fields[2 * i],
                              fields[2 * i + 1]);
    }
    if (!e.white.empty())
        ParseChromaticity(e.white[0], e.white[1], "option --white", &m->fWhiteX, &m->fWhiteY);
    if (!e.gamma.empty()) m->fGamma = cli::ParseFloat(e.gamma[0], "option --gamma", cli::kPositive);
    if (!e.name.empty()) cli::StoreInField(m->szName, e.name[0], "option --name");
}

// The monitor's options, checked as they are parsed (before any file is touched).
std::vector<cli::Option> MonitorOptions(bool withGammaAndName) {
    const std::vector<std::string> monitor = {"monitor"};
    std::vector<cli::Option> options = {
        cli::Text("--primaries", {"rx", "ry", "gx", "gy", "bx", "by"},
                  "CIE 1931 x, y of the red, green and blue primaries")
            .Check([](const std::vector<std::string>& v) {
                Apply({v, {}, {}, {}}, &gScratch);
            }),
        cli::Text("--white", {"wx", "wy"}, "CIE 1931 x, y of the white point")
            .Check([](const std::vector<std::string>& v) {
                Apply({{}, v, {}, {}}, &gScratch);
            })};
    if (withGammaAndName) {
        options.push_back(cli::Real("--gamma", {"G"}, cli::kPositive, "the gamma, above 0"));
        options.push_back(
            cli::Text("--name", {"TEXT"}, "the monitor's name, UTF-8 of at most 511 UTF-16 units")
                .Check([](const std::vector<std::string>& v) {
                    Apply({{}, {}, {}, v}, &gScratch);
                }));
        for (cli::Option& o : options) o = o.For(monitor);
    }
    return options;
}

MonitorEdits EditsOf(const cli::Options& options) {
    return {options.Values("--primaries"), options.Values("--white"), options.Values("--gamma"),
            options.Values("--name")};
}

PF_MonitorSettings DefaultMonitor() {
    PF_MonitorSettings m;
    std::memset(&m, 0, sizeof m);
    GetDefaultMonitor(m);
    return m;
}

// --- prefs ------------------------------------------------------------------------------------

// What every action of prefs takes.
struct PrefsRequest {
    std::string action, path, output;
    bool force = false;
    cli::Format format = cli::Format::kTable;
    MonitorEdits edits;
    cli::Output* out = nullptr;
};

// Writes `path` through a temporary file next to it that `write` fills through the store,
// starting from a copy of the file itself when `fromOriginal`. With `replace` the file (the
// one a symbolic link names) is replaced; without, the commit refuses a file that exists by
// then.
template <typename Writer>
void WriteThroughStore(const std::string& path, bool replace, bool fromOriginal, Writer write) {
    const std::string target = replace ? cli::ResolvedPath(path) : path;
    cli::SpecOf(target);  // a path the file services cannot take fails before anything is written
    cli::FileReplacement replacement(target);
    if (fromOriginal) replacement.CopyFrom(target);
    FM_FILESPEC spec = cli::SpecOf(replacement.Path());
    write(&spec);
    replacement.Commit(!replace);
}

bool Exists(const std::string& path) {
    std::error_code error;
    try {
        return std::filesystem::exists(
            std::filesystem::symlink_status(std::filesystem::u8path(path), error));
    } catch (const std::exception&) {
        return false;
    }
}

int PrefsInit(const PrefsRequest& r) {
    const bool exists = Exists(r.path);
    if (exists && !r.force) Fail(r.path, "already exists (use --force to replace it)");
    WriteThroughStore(r.path, exists, false, [&](const FM_FILESPEC* spec) {
        const short status = CreateDefaultPreferenceFile_NoMeterOptions(spec);
        if (status < 0) Fail(r.path, "cannot write: " + cli::StatusText(status));
    });
    const long long size = cli::InspectPreferenceFile(r.path).size;
    cli::RecordWriter(r.format, false, *r.out)
        .Write(cli::Record()
                   .Text("file", "file", r.path)
                   .Integer("size", "size", size)
                   .Integer("records", "records", 3)
                   .TableText(r.path + ": default preference file written (" +
                              std::to_string(size) +
                              " bytes: meter options, profile settings, monitor settings)\n"));
    return cli::kExitOk;
}

int PrefsShow(const PrefsRequest& r) {
    const cli::PreferenceFileView view = cli::InspectPreferenceFile(r.path);
    const std::string name = cli::InputName(r.path);
    if (r.format != cli::Format::kCsv) {
        cli::Render(ShowReport(name, view), r.format, *r.out);
    } else {
        cli::RecordWriter writer(r.format, true, *r.out);
        for (const cli::RawRecord& record : view.records) writer.Write(RecordRow(record));
    }
    return cli::kExitOk;
}

int PrefsMonitor(const PrefsRequest& r) {
    const cli::PreferenceFileView view = cli::InspectPreferenceFile(r.path);
    PF_MonitorSettings m = DefaultMonitor();
    const bool present = cli::ReadMonitor(r.path, view, &m);
    Apply(r.edits, &m);

    const bool write = !present || r.edits.Any();
    if (write && view.trailing && !r.force)
        Fail(r.path, "holds " + std::to_string(view.trailing) + " bytes after its " +
                         std::to_string(view.count) +
                         " counted records, left by an interrupted write; not modified "
                         "('vantrel prefs repair' recovers them, --force edits the file anyway)");
    if (write)
        WriteThroughStore(r.path, true, true, [&](const FM_FILESPEC* spec) {
            const short status = WritePreference(spec, PF_SigMonitorSettings,
                                                 reinterpret_cast<const char*>(&m), sizeof m);
            if (status < 0)
                Fail(r.path, "cannot write the monitor record: " + cli::StatusText(status));
        });
    const std::string change = !write    ? "unchanged"
                               : present ? "updated"
                                         : "added from the defaults";
    cli::Table t(kTextValues);
    AddMonitorRows(m, &t);
    cli::RecordWriter(r.format, false, *r.out)
        .Write(
            cli::Record()
                .Text("file", "file", r.path)
                .Text("monitor settings", "change", change)
                .Json("monitor", MonitorJson(m))
                .TableText(r.path + ": monitor settings (record 102) " + change + "\n" + t.Text()));
    return cli::kExitOk;
}

int PrefsRepair(const PrefsRequest& r) {
    if (!r.output.empty()) cli::RefuseOutputOverInput(r.output, "--output", {r.path});
    const cli::Salvage salvage = cli::SalvagePreferenceFile(r.path);
    const std::string name = cli::InputName(r.path);
    const bool needed = salvage.counted != salvage.count ||
                        salvage.kept.size() != static_cast<size_t>(salvage.count) ||
                        !salvage.dropped.empty();

    std::string written;
    if (needed && (!r.output.empty() || r.force)) {
        const std::string target = r.output.empty() ? r.path : r.output;
        if (salvage.kept.empty()) Fail(name, "no whole record to keep; nothing written");
        const bool exists = Exists(target);
        if (exists && !r.force) Fail(target, "already exists (use --force to replace it)");
        WriteThroughStore(target, exists, false, [&](const FM_FILESPEC* spec) {
            for (const cli::RawRecord& k : salvage.kept) {
                const short status = WritePreference(spec, static_cast<PF_Signature>(k.signature),
                                                     k.data.data(), k.size);
                if (status < 0)
                    Fail(target, "cannot write record " + std::to_string(k.index) + ": " +
                                     cli::StatusText(status));
            }
        });
        written = target;
    }

    cli::Table table(kTextValues);
    table.AddRow({"file", name});
    table.AddRow({"count", std::to_string(salvage.count) + " (" +
                               std::to_string(salvage.kept.size()) + " whole records)"});
    cli::Json kept = cli::Json::Array();
    for (size_t i = 0; i < salvage.kept.size(); ++i) {
        const cli::RawRecord& k = salvage.kept[i];
        const bool counted = i < static_cast<size_t>(salvage.counted);
        table.AddRow({i ? "" : "kept", RecordTitle(k) + (counted ? "" : " (recovered)")});
        kept.Push(RecordHeaderJson(k).Add("counted", cli::Json::Bool(counted)));
    }
    cli::Json dropped = cli::Json::Array();
    for (size_t i = 0; i < salvage.dropped.size(); ++i) {
        table.AddRow({i ? "" : "dropped", salvage.dropped[i]});
        dropped.Push(cli::Json::Text(salvage.dropped[i]));
    }
    if (!needed)
        table.AddRow({"written", "nothing: every whole record is counted, nothing to repair"});
    else if (written.empty())
        table.AddRow({"written",
                      "nothing (--output NEW writes the repaired file, --force "
                      "replaces FILE)"});
    else
        table.AddRow({"written", written});

    if (r.format == cli::Format::kCsv) {
        cli::RecordWriter writer(r.format, true, *r.out);
        for (size_t i = 0; i < salvage.kept.size(); ++i)
            writer.Write(
                RecordRow(salvage.kept[i])
                    .Text("counted", "", i < static_cast<size_t>(salvage.counted) ? "yes" : "no"));
        return cli::kExitOk;
    }
    cli::RecordWriter(r.format, false, *r.out)
        .Write(cli::Record()
                   .Text("file", "file", name)
                   .Integer("count", "count", salvage.count)
                   .Json("kept", std::move(kept))
                   .Json("dropped", std::move(dropped))
                   .Json("written", cli::Json::TextOrNull(written))
                   .TableText(table.Text()));
    return cli::kExitOk;
}

int RunPrefs(const cli::Invocation& run) {
    const cli::Options& options = run.options;
    PrefsRequest r;
    r.out = &run.out;
    r.force = options.Has("--force");
    const bool json = options.Has("--json");
    r.format = cli::FormatOf(options);
    if (json && r.format != cli::Format::kTable)
        throw cli::UsageError("option --json is --format json; give one of them");
    if (json) r.format = cli::Format::kJson;
    r.output = options.Value("--output");
    r.edits = EditsOf(options);
    const std::vector<std::string>& words = options.Operands();
    if (words.empty()) throw cli::UsageError("missing action (init, show, monitor or repair)");
    r.action = words[0];
    if (r.action != "init" && r.action != "show" && r.action != "monitor" && r.action != "repair")
        throw cli::UsageError("unknown action " + cli::Quoted(r.action) +
                              " (init, show, monitor or repair)");
    options.RequireAppliesTo("prefs", r.action);
    if (words.size() < 2) throw cli::UsageError("missing argument FILE");
    if (words.size() > 2) throw cli::UsageError("unexpected argument " + cli::Quoted(words[2]));
    r.path = words[1];
    const bool writesFile = r.action == "init" || r.action == "monitor" ||
                            (r.action == "repair" && r.output.empty() && r.force);
    if (r.path == "-" && writesFile)
        throw cli::UsageError("'prefs " + r.action +
                              "' writes FILE; standard input ('-') "
                              "cannot be written");
    cli::RefuseStandardOutputOverInput({r.path});
    if (r.action == "init") return PrefsInit(r);
    if (r.action == "show") return PrefsShow(r);
    if (r.action == "monitor") return PrefsMonitor(r);
    return PrefsRepair(r);
}

// --- monitor ----------------------------------------------------------------------------------

// A matrix on the XYZ scale: the forward matrix gives XYZ, the inverse takes it.
std::vector<std::vector<float>> Scaled(const float (&m)[3][3], float factor) {
    std::vector<std::vector<float>> rows(3, std::vector<float>(3));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rows[i][j] = m[i][j] * factor;
    return rows;
}

void AddMatrix(const char* name, const char* rows, const std::vector<std::vector<float>>& m,
               int decimals, cli::Record* record, std::string* table) {
    cli::Table t;
    cli::Json jsonRows = cli::Json::Array();
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> cells = {std::string("  ") + rows[i]};
        cli::Json json = cli::Json::Array();
        for (int j = 0; j < 3; ++j) {
            const std::string header = std::string(name) + " " + rows[i] + std::to_string(j + 1);
            record->Number(header, "", m[i][j], decimals);
            cells.push_back(record->Cell(header));
            json.Push(cli::Json::Literal(record->Cell(header)));
        }
        t.AddRow(cells);
        jsonRows.Push(std::move(json));
    }
    record->Json(name, std::move(jsonRows));
    *table += std::string(name) +
              (std::string(name) == "forward" ? " (linear RGB to D50 XYZ)\n"
                                              : " (D50 XYZ to linear RGB)\n") +
              t.Text();
}

int RunMonitor(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const float scale = cli::XyzScale(run.options);
    const MonitorEdits edits = EditsOf(run.options);
    const std::vector<std::string>& words = run.options.Operands();
    if (words.size() > 1) throw cli::UsageError("unexpected argument " + cli::Quoted(words[1]));
    PF_MonitorSettings m = DefaultMonitor();
    if (!words.empty()) {
        const std::string& path = words[0];
        cli::RefuseStandardOutputOverInput({path});
        const cli::PreferenceFileView view = cli::InspectPreferenceFile(path);
        if (!cli::ReadMonitor(cli::InputName(path), view, &m))
            Fail(cli::InputName(path), "no monitor settings (record 102)");
    }
    Apply(edits, &m);

    float forward[3][3], inverse[3][3];
    const short result = GetMonitorTransformMatrix(m, forward, inverse);
    if (result == VANTREL_ERR_WHITE_NOT_DETERMINED)
        throw cli::Failure(
            "result -7: the primaries do not determine the white point (they "
            "are collinear or two of them coincide)");
    // On the unit scale six decimals; on the percent scale the forward matrix has two more
    // digits before the point and the inverse two more after it.
    const int unitDecimals = 6;
    cli::Record record;
    std::string table;
    AddMatrix("forward", "XYZ", Scaled(forward, scale), scale == 1.0f ? unitDecimals : 4, &record,
              &table);
    if (result == VANTREL_ERR_SINGULAR) {
        cli::RecordWriter(format, false, run.out)
            .Write(record.Integer("", "result", result).TableText(table));
        throw cli::Failure(
            "result -3: the adapted matrix is singular, so there is no inverse "
            "(the white point lies on or outside the triangle of the primaries)");
    }
    AddMatrix("inverse", "RGB", Scaled(inverse, 1.0f / scale),
              scale == 1.0f ? unitDecimals : unitDecimals + 2, &record, &table);
    record.Integer("", "result", result)
        .TableText(table + "result " + std::to_string(result) + "\n");
    cli::RecordWriter(format, false, run.out).Write(record);
    return result == VANTREL_SUCCESS ? cli::kExitOk : cli::kExitFailure;
}

std::vector<cli::Option> PrefsOptions() {
    std::vector<cli::Option> options = {
        cli::Flag("--force",
                  "replace or edit FILE even where it exists or holds bytes after "
                  "its counted records")
            .For({"init", "monitor", "repair"}),
        cli::Flag("--json", "the same as --format json").For({"show"}), cli::FormatOption(),
        cli::Text("--output", {"NEW"}, "write the repaired file to NEW").For({"repair"})};
    for (const cli::Option& o : MonitorOptions(true)) options.push_back(o);
    return options;
}

const cli::Register kPrefsCommand(
    {"prefs",
     "create, show, edit and repair preference files",
     {"prefs init FILE", "prefs show FILE|-", "prefs monitor FILE", "prefs repair FILE|-"},
     PrefsOptions(),
     "init     writes a complete default preference file (meter options, profile settings\n"
     "         and monitor settings); an existing FILE is replaced only with --force.\n"
     "show     decodes every record: the monitor's chromaticities, gamma and names, the\n"
     "         profile settings with the colour space as four characters, both meters'\n"
     "         code, flag and value; records of other signatures as signature and size.\n"
     "         csv lists the records (index, offset, signature, size, kind).\n"
     "monitor  edits the monitor settings (record 102), adding them from the defaults when\n"
     "         FILE has none, and prints them. Chromaticities are CIE 1931 x, y: each above\n"
     "         0, x + y at most 1. The names of the white point, primaries and tone response\n"
     "         are kept.\n"
     "repair   recovers what an interrupted write left: the whole records after the counted\n"
     "         ones, which the library no longer sees. It lists the records it keeps (each\n"
     "         signature once, as the library reads it) and what it drops (a record cut\n"
     "         short), and writes the repaired file only when told: to NEW with --output\n"
     "         NEW (an existing NEW only with --force), over FILE with --force alone.\n\n"
     "FILE is only ever changed through the library's store, through a temporary copy next\n"
     "to it that replaces it once complete; a failed command leaves it as it was. A file\n"
     "holding bytes after its counted records (an interrupted write) is not edited unless\n"
     "--force is given: 'prefs repair' first recovers what they hold. A damaged FILE is\n"
     "reported in one line (exit status 1) and never modified.\n",
     "vantrel prefs monitor monitor.prefs --white 0.3457 0.3585 --gamma 1.8",
     RunPrefs});

const cli::Register kMonitorCommand(
    {"monitor",
     "a monitor's RGB-to-XYZ matrix relative to D50, and its inverse",
     {"monitor [FILE|-]"},
     [] {
         std::vector<cli::Option> options = {cli::FormatOption(), cli::ScaleOption()};
         for (const cli::Option& o : MonitorOptions(false)) options.push_back(o);
         return options;
     }(),
     "Builds the matrix from linear RGB (0..1) to XYZ relative to D50 (percent scale, white\n"
     "Y = 100, unless --scale unit) for a monitor given by the CIE 1931 x, y of its primaries\n"
     "and white point (each above 0, x + y at most 1), each primary adapted to D50 by linear\n"
     "Bradford, and its inverse. With --scale unit the inverse is the matrix a calibrated RGB\n"
     "encoding of the library takes. The monitor comes from record 102 of FILE, or the\n"
     "defaults (ITU-R BT 709 primaries, D65 white); the options replace its values. Exit\n"
     "status 1 with an explanation for result -7 (the primaries do not determine the white)\n"
     "and -3 (no inverse: the white lies on or outside the primaries' triangle).\n",
     "vantrel monitor --white 0.3457 0.3585 --scale unit",
     RunMonitor});

}  // namespace
