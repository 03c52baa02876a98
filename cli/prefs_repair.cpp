// vantrel prefs repair: the whole records that an interrupted write left after the counted
// ones recovered, each signature once, and written to a new file or over the old one when told.
#include <string>

#include "input.h"
#include "prefs.h"

namespace cli {

int PrefsRepair(const PrefsRequest& r) {
    if (!r.output.empty()) RefuseOutputOverInput(r.output, "--output", {r.path});
    const Salvage salvage = SalvagePreferenceFile(r.path);
    const std::string name = InputName(r.path);
    const bool needed = salvage.counted != salvage.count ||
                        salvage.kept.size() != static_cast<size_t>(salvage.count) ||
                        !salvage.dropped.empty();

    std::string written;
    if (needed && (!r.output.empty() || r.force)) {
        const std::string target = r.output.empty() ? r.path : r.output;
        if (salvage.kept.empty()) FailOn(name, "no whole record to keep; nothing written");
        const bool exists = PathExists(target);
        if (exists && !r.force) FailOn(target, "already exists (use --force to replace it)");
        WriteThroughStore(target, exists, false, [&](const FM_FILESPEC* spec) {
            for (const RawRecord& k : salvage.kept) {
                const short status = WritePreference(spec, static_cast<PF_Signature>(k.signature),
                                                     k.data.data(), k.size);
                if (status < 0)
                    FailOn(target, "cannot write record " + std::to_string(k.index) + ": " +
                                       StatusText(status));
            }
        });
        written = target;
    }

    Table table(kTextValues);
    table.AddRow({"file", name});
    table.AddRow({"count", std::to_string(salvage.count) + " (" +
                               std::to_string(salvage.kept.size()) + " whole records)"});
    Json kept = Json::Array();
    for (size_t i = 0; i < salvage.kept.size(); ++i) {
        const RawRecord& k = salvage.kept[i];
        const bool counted = i < static_cast<size_t>(salvage.counted);
        table.AddRow({i ? "" : "kept", RecordTitle(k) + (counted ? "" : " (recovered)")});
        kept.Push(RecordHeaderJson(k).Add("counted", Json::Bool(counted)));
    }
    Json dropped = Json::Array();
    for (size_t i = 0; i < salvage.dropped.size(); ++i) {
        table.AddRow({i ? "" : "dropped", salvage.dropped[i]});
        dropped.Push(Json::Text(salvage.dropped[i]));
    }
    if (!needed)
        table.AddRow({"written", "nothing: every whole record is counted, nothing to repair"});
    else if (written.empty())
        table.AddRow({"written",
                      "nothing (--output NEW writes the repaired file, --force "
                      "replaces FILE)"});
    else
        table.AddRow({"written", written});

    if (r.format == Format::kCsv) {
        RecordWriter writer(r.format, true, *r.out);
        for (size_t i = 0; i < salvage.kept.size(); ++i)
            writer.Write(
                RecordRow(salvage.kept[i])
                    .Text("counted", "", i < static_cast<size_t>(salvage.counted) ? "yes" : "no"));
        return kExitOk;
    }
    RecordWriter(r.format, false, *r.out)
        .Write(Record()
                   .Text("file", "file", name)
                   .Integer("count", "count", salvage.count)
                   .Json("kept", std::move(kept))
                   .Json("dropped", std::move(dropped))
                   .Json("written", Json::TextOrNull(written))
                   .TableText(table.Text()));
    return kExitOk;
}

}  // namespace cli
