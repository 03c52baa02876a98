// What the preference subcommands share: the request of `prefs`, its actions (init and monitor
// in prefs_edit.cpp, show in prefs_show.cpp, repair in prefs_repair.cpp), the monitor's
// options, which `vantrel monitor` takes too, the way records are described, and the writing
// of a file through the library's store.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli.h"
#include "prefs_view.h"
#include "vantrel/settings.h"

namespace cli {

// The monitor's options as given: --primaries, --white, --gamma and --name.
struct MonitorEdits {
    std::vector<std::string> primaries, white, gamma, name;
    bool Any() const {
        return !primaries.empty() || !white.empty() || !gamma.empty() || !name.empty();
    }
};

// What every action of prefs takes.
struct PrefsRequest {
    std::string action, path, output;
    bool force = false;
    Format format = Format::kTable;
    MonitorEdits edits;
    Output* out = nullptr;
};

int PrefsInit(const PrefsRequest& request);
int PrefsShow(const PrefsRequest& request);
int PrefsMonitor(const PrefsRequest& request);
int PrefsRepair(const PrefsRequest& request);

// --- The monitor's options (prefs_edit.cpp) ---------------------------------------------------

// --primaries and --white, and with `withGammaAndName` --gamma and --name for the monitor
// action; each is checked as it is parsed, before any file is touched.
std::vector<Option> MonitorOptions(bool withGammaAndName);
MonitorEdits EditsOf(const Options& options);
// Applies the edits to `monitor`; a UsageError names the option that cannot be applied.
void ApplyMonitorEdits(const MonitorEdits& edits, PF_MonitorSettings* monitor);
// The library's default monitor, every other byte zero.
PF_MonitorSettings DefaultMonitor();

// --- Records described (prefs_show.cpp) -------------------------------------------------------

// Labelled values, one a line: labels padded to the widest, values left-aligned (they are
// mostly text).
constexpr Table::Align kTextValues = Table::Align::kLeft;
// The monitor settings as labelled rows, and as a JSON object.
void AddMonitorRows(const PF_MonitorSettings& monitor, Table* table);
Json MonitorJson(const PF_MonitorSettings& monitor);
// "record N: signature S, KIND, SIZE bytes".
std::string RecordTitle(const RawRecord& record);
// Index, offset, signature, size and kind: as a JSON object, and as a row of a record list.
Json RecordHeaderJson(const RawRecord& record);
Record RecordRow(const RawRecord& record);

// --- Writing (prefs_edit.cpp) -----------------------------------------------------------------

// Whether anything, a dangling symbolic link included, has the name `path`.
bool PathExists(const std::string& path);
// Writes `path` through a temporary file next to it that `write` fills through the store,
// starting from a copy of the file itself when `fromOriginal`. With `replace` the file (the
// one a symbolic link names) is replaced; without, the commit refuses a file that exists by
// then.
void WriteThroughStore(const std::string& path, bool replace, bool fromOriginal,
                       const std::function<void(const FM_FILESPEC*)>& write);

}  // namespace cli
