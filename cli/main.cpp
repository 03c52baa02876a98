// vantrel: colour-management utilities on the command line.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"
#include "system_files.h"
#include "version.h"

namespace {

void PrintOverview() {
    std::printf(
        "usage: vantrel COMMAND [ARGS...]\n"
        "       vantrel COMMAND --help\n\n"
        "Colour-management utilities: conversions, colour differences, encodings,\n"
        "chromatic adaptation, solvers, preference files, names and dialogs.\n\n"
        "Commands:\n");
    size_t width = 0;
    for (const auto& c : cli::Commands()) width = std::max(width, std::strlen(c.name));
    for (const auto& c : cli::Commands())
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
void Report(const std::string& command, const std::string& message) {
    std::fflush(stdout);
    const std::string prefix = command.empty() ? "vantrel: " : "vantrel " + command + ": ";
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), cli::Escaped(message).c_str());
}

// Runs the command line; the exit status before standard output is closed.
int Run(int argc, char** argv, std::string* name) {
    if (argc < 2) {
        PrintOverview();
        return cli::kExitOk;
    }
    *name = argv[1];
    if (*name == "--help" || *name == "-h" || *name == "help") {
        PrintOverview();
        return cli::kExitOk;
    }
    if (*name == "--version") {
        std::printf("vantrel %s\n", cli::kVersion);
        return cli::kExitOk;
    }
    const cli::Command* command = nullptr;
    for (const auto& c : cli::Commands())
        if (*name == c.name) command = &c;
    if (!command) {
        Report("", "unknown command " + cli::Quoted(*name) + " (see 'vantrel --help')");
        name->clear();
        return cli::kExitUsage;
    }
    std::vector<std::string> words(argv + 2, argv + argc);
    for (const std::string& word : words)
        if (word == "--help" || word == "-h") {
            std::fputs(cli::HelpText(*command).c_str(), stdout);
            return cli::kExitOk;
        }
    cli::Output out;
    try {
        return command->run({*name, cli::Options(command->options, std::move(words)), out});
    } catch (const cli::UsageError& e) {
        out.Flush();
        Report(*name, std::string(e.what()) + " (see 'vantrel " + *name + " --help')");
        return cli::kExitUsage;
    } catch (const std::exception& e) {
        out.Flush();
        Report(*name, e.what());
        return cli::kExitFailure;
    }
}

}  // namespace

int main(int argc, char** argv) {
    cli::UseBinaryStandardStreams();
    std::vector<std::string> arguments = cli::Utf8Arguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments) utf8Argv.push_back(argument.data());
    utf8Argv.push_back(nullptr);
    std::string name;
    const int status = Run(static_cast<int>(arguments.size()), utf8Argv.data(), &name);
    // A full disk or a closed pipe must not pass for success: whatever standard output still
    // buffers is written and the stream closed, and any failure on the way is reported.
    errno = 0;
    bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    int error = errno;
    if (std::fclose(stdout) != 0) {
        failed = true;
        if (!error) error = errno;
    }
    if (failed) {
        std::fprintf(stderr, "vantrel%s%s: cannot write standard output%s%s\n",
                     name.empty() ? "" : " ", name.c_str(), error ? ": " : "",
                     error ? std::strerror(error) : "");
        return cli::kExitFailure;
    }
    return status;
}
