// vantrel prefs init | show | monitor | repair: preference files created, shown, edited and
// repaired. Each action has its own file; this one reads the command line and dispatches.
#include <string>
#include <vector>

#include "input.h"
#include "prefs.h"

namespace {

using cli::PrefsRequest;

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
    r.edits = cli::EditsOf(options);
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
    if (r.action == "init") return cli::PrefsInit(r);
    if (r.action == "show") return cli::PrefsShow(r);
    if (r.action == "monitor") return cli::PrefsMonitor(r);
    return cli::PrefsRepair(r);
}

std::vector<cli::Option> PrefsOptions() {
    std::vector<cli::Option> options = {
        cli::Flag("--force",
                  "replace or edit FILE even where it exists or holds bytes after "
                  "its counted records")
            .For({"init", "monitor", "repair"}),
        cli::Flag("--json", "the same as --format json").For({"show"}), cli::FormatOption(),
        cli::Text("--output", {"NEW"}, "write the repaired file to NEW").For({"repair"})};
    for (const cli::Option& o : cli::MonitorOptions(true)) options.push_back(o);
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

}  // namespace
