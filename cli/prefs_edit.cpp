// vantrel prefs init and prefs monitor: a default preference file written, the monitor settings
// edited; the monitor's options, which `vantrel monitor` takes too; and the writing of a file
// through the store, by way of a temporary file that replaces it once complete.
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "atomic_file.h"
#include "prefs.h"
#include "text_codec.h"

namespace cli {

namespace {

// A chromaticity that a colour can have: x and y above 0, and z = 1 - x - y not below 0. The
// red primaries of DCI-P3 (0.68, 0.32) and ITU-R BT 2020 (0.708, 0.292) lie on z = 0, so the
// sum may reach 1, within the rounding of the two floats read.
void ParseChromaticity(const std::string& xText, const std::string& yText, const std::string& what,
                       float* x, float* y) {
    constexpr double kLargestSum = 1.0 + 0x1p-23;
    const float cx = ParseFloat(xText, what + " x", kPositive);
    const float cy = ParseFloat(yText, what + " y", kPositive);
    const double sum = static_cast<double>(cx) + static_cast<double>(cy);
    if (!(sum <= kLargestSum))
        throw UsageError(what + ": x + y = " + Shortest(static_cast<float>(sum)) +
                         " is above 1, which no colour has");
    *x = cx;
    *y = cy;
}

// Where the checks of the options apply them, to find what is wrong before anything is done.
PF_MonitorSettings gScratch;

}  // namespace

void ApplyMonitorEdits(const MonitorEdits& e, PF_MonitorSettings* m) {
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
    if (!e.gamma.empty()) m->fGamma = ParseFloat(e.gamma[0], "option --gamma", kPositive);
    if (!e.name.empty()) StoreInField(m->szName, e.name[0], "option --name");
}

std::vector<Option> MonitorOptions(bool withGammaAndName) {
    const std::vector<std::string> monitor = {"monitor"};
    std::vector<Option> options = {Text("--primaries", {"rx", "ry", "gx", "gy", "bx", "by"},
                                        "CIE 1931 x, y of the red, green and blue primaries")
                                       .Check([](const std::vector<std::string>& v) {
                                           ApplyMonitorEdits({v, {}, {}, {}}, &gScratch);
                                       }),
                                   Text("--white", {"wx", "wy"}, "CIE 1931 x, y of the white point")
                                       .Check([](const std::vector<std::string>& v) {
                                           ApplyMonitorEdits({{}, v, {}, {}}, &gScratch);
                                       })};
    if (withGammaAndName) {
        options.push_back(Real("--gamma", {"G"}, kPositive, "the gamma, above 0"));
        options.push_back(
            Text("--name", {"TEXT"}, "the monitor's name, UTF-8 of at most 511 UTF-16 units")
                .Check([](const std::vector<std::string>& v) {
                    ApplyMonitorEdits({{}, {}, {}, v}, &gScratch);
                }));
        for (Option& o : options) o = o.For(monitor);
    }
    return options;
}

MonitorEdits EditsOf(const Options& options) {
    return {options.Values("--primaries"), options.Values("--white"), options.Values("--gamma"),
            options.Values("--name")};
}

PF_MonitorSettings DefaultMonitor() {
    PF_MonitorSettings m;
    std::memset(&m, 0, sizeof m);
    GetDefaultMonitor(m);
    return m;
}

void WriteThroughStore(const std::string& path, bool replace, bool fromOriginal,
                       const std::function<void(const FM_FILESPEC*)>& write) {
    const std::string target = replace ? ResolvedPath(path) : path;
    SpecOf(target);  // a path the file services cannot take fails before anything is written
    FileReplacement replacement(target);
    if (fromOriginal) replacement.CopyFrom(target);
    FM_FILESPEC spec = SpecOf(replacement.Path());
    write(&spec);
    replacement.Commit(!replace);
}

bool PathExists(const std::string& path) {
    std::error_code error;
    try {
        return std::filesystem::exists(
            std::filesystem::symlink_status(std::filesystem::u8path(path), error));
    } catch (const std::exception&) {
        return false;
    }
}

int PrefsInit(const PrefsRequest& r) {
    const bool exists = PathExists(r.path);
    if (exists && !r.force) FailOn(r.path, "already exists (use --force to replace it)");
    WriteThroughStore(r.path, exists, false, [&](const FM_FILESPEC* spec) {
        const short status = CreateDefaultPreferenceFile_NoMeterOptions(spec);
        if (status < 0) FailOn(r.path, "cannot write: " + StatusText(status));
    });
    const long long size = InspectPreferenceFile(r.path).size;
    RecordWriter(r.format, false, *r.out)
        .Write(Record()
                   .Text("file", "file", r.path)
                   .Integer("size", "size", size)
                   .Integer("records", "records", 3)
                   .TableText(r.path + ": default preference file written (" +
                              std::to_string(size) +
                              " bytes: meter options, profile settings, monitor settings)\n"));
    return kExitOk;
}

int PrefsMonitor(const PrefsRequest& r) {
    const PreferenceFileView view = InspectPreferenceFile(r.path);
    PF_MonitorSettings m = DefaultMonitor();
    const bool present = ReadMonitor(r.path, view, &m);
    ApplyMonitorEdits(r.edits, &m);

    const bool write = !present || r.edits.Any();
    if (write && view.trailing && !r.force)
        FailOn(r.path, "holds " + std::to_string(view.trailing) + " bytes after its " +
                           std::to_string(view.count) +
                           " counted records, left by an interrupted write; not modified "
                           "('vantrel prefs repair' recovers them, --force edits the file anyway)");
    if (write)
        WriteThroughStore(r.path, true, true, [&](const FM_FILESPEC* spec) {
            const short status = WritePreference(spec, PF_SigMonitorSettings,
                                                 reinterpret_cast<const char*>(&m), sizeof m);
            if (status < 0)
                FailOn(r.path, "cannot write the monitor record: " + StatusText(status));
        });
    const std::string change = !write    ? "unchanged"
                               : present ? "updated"
                                         : "added from the defaults";
    Table t(kTextValues);
    AddMonitorRows(m, &t);
    RecordWriter(r.format, false, *r.out)
        .Write(
            Record()
                .Text("file", "file", r.path)
                .Text("monitor settings", "change", change)
                .Json("monitor", MonitorJson(m))
                .TableText(r.path + ": monitor settings (record 102) " + change + "\n" + t.Text()));
    return kExitOk;
}

}  // namespace cli
