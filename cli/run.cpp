// The command line run inside a process: the overview, --version, a subcommand's --help or the
// subcommand itself, with errors reported on standard error.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"
#include "version.h"

namespace cli {

namespace {

void PrintOverview() {
    std::printf(
        "usage: vantrel COMMAND [ARGS...]\n"
        "       vantrel COMMAND --help\n\n"
        "Colour-management utilities: conversions, colour differences, encodings,\n"
        "chromatic adaptation, solvers, preference files, names and dialogs.\n\n"
        "Commands:\n");
    size_t width = 0;
    for (const auto& c : Commands()) width = std::max(width, std::strlen(c.name));
    for (const auto& c : Commands())
        std::printf("  %-*s  %s\n", static_cast<int>(width), c.name, c.summary);
    std::printf(
        "\nConventions, the same for every command:\n"
        "  Numbers are decimal ('5e-01', '-.5'; no NaN, infinities or hexadecimal), checked\n"
        "    against the range the command's help gives. A result that cannot be computed\n"
        "    (not a finite number) is never printed: the command names it and exits with 1.\n"
        "  XYZ is on the percent scale (Y = 100 for the white) wherever a command reads or\n"
        "    writes it; --scale unit reads and writes 0-1 (Y = 1) instead.\n"
        "  '-' reads standard input in place of a file. lab, xyz, lch, deltae, rgb, hsv and\n"
        "    adapt given '-' in place of their numbers read one set per line (blanks or\n"
        "    commas between the numbers, blank lines skipped) and print one row per set.\n"
        "  --format table|csv|json chooses the output of every command that prints results\n"
        "    (table by default; json is one object per line, or one document for measure,\n"
        "    compare and prefs show). Text that is not UTF-8 is repaired in JSON (U+FFFD) and\n"
        "    the object says \"text_repaired\": true.\n"
        "  --option=value works wherever --option value does; an option given twice is an\n"
        "    error. No command writes over a file it reads.\n\n"
        "Exit status:\n"
        "  0  success\n"
        "  1  bad or unreadable input data, a result that cannot be computed, or a failed\n"
        "     write (standard output included); one line on standard error\n"
        "  2  bad usage: a malformed, missing or out-of-range argument; one line\n"
        "  3  a comparison outside its tolerance (compare)\n\n"
        "Example:\n"
        "  $ vantrel lab 41.24 21.26 1.93\n"
        "  XYZ to L*a*b*: the XYZ of an sRGB red on the percent scale, relative to D50.\n");
}

// Prints a one-line message on standard error after what standard output holds so far, so
// that the rows printed before an error come first. Bytes that could upset a terminal or do
// not form UTF-8 are escaped.
void ReportError(const std::string& command, const std::string& message) {
    std::fflush(stdout);
    const std::string prefix = command.empty() ? "vantrel: " : "vantrel " + command + ": ";
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), Escaped(message).c_str());
}

}  // namespace

int Run(std::vector<std::string> words, std::string* name) {
    if (words.empty()) {
        PrintOverview();
        return kExitOk;
    }
    *name = words.front();
    words.erase(words.begin());
    if (*name == "--help" || *name == "-h" || *name == "help") {
        PrintOverview();
        return kExitOk;
    }
    if (*name == "--version") {
        std::printf("vantrel %s\n", kVersion);
        return kExitOk;
    }
    const Command* command = nullptr;
    for (const auto& c : Commands())
        if (*name == c.name) command = &c;
    if (!command) {
        ReportError("", "unknown command " + Quoted(*name) + " (see 'vantrel --help')");
        name->clear();
        return kExitUsage;
    }
    for (const std::string& word : words)
        if (word == "--help" || word == "-h") {
            std::fputs(HelpText(*command).c_str(), stdout);
            return kExitOk;
        }
    Output out;
    try {
        return command->run({*name, Options(command->options, std::move(words)), out});
    } catch (const UsageError& e) {
        out.Flush();
        ReportError(*name, std::string(e.what()) + " (see 'vantrel " + *name + " --help')");
        return kExitUsage;
    } catch (const std::exception& e) {
        out.Flush();
        ReportError(*name, e.what());
        return kExitFailure;
    }
}

}  // namespace cli
