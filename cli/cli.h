// Building blocks of the vantrel command: the subcommand registry and argument parsing with
// one-line errors. How results are printed is in output.h.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "numbers.h"
#include "options.h"
#include "render.h"

namespace cli {

// Exit statuses, the same for every subcommand: 0 success; 1 bad or unreadable input data, a
// result that cannot be computed, or a failed write (standard output included); 2 bad usage;
// 3 a comparison outside its tolerance.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOutOfTolerance = 3;

// Thrown for a malformed or missing argument; the message names the argument.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown when the work itself fails; the message names the file and what is wrong.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// --scale percent|unit (ScaleOption): the scale of the XYZ a command reads and writes, as the
// Y of the white (100 unless --scale unit gives 1).
float XyzScale(const Options& options);
// --format table|csv|json (FormatOption), table when absent.
Format FormatOf(const Options& options);

// Requires exactly `names.size()` operands and returns them: "missing argument NAME" or
// "unexpected argument 'WORD'" otherwise.
std::vector<std::string> Expect(const std::vector<std::string>& operands,
                                const std::vector<const char*>& names);

// Prints warnings on standard error, one line each, escaped: "vantrel COMMAND: warning: ...".
void Warn(const std::string& command, const std::vector<std::string>& warnings);

// A subcommand as it is run: its name, its options (parsed and checked) and where its results
// go.
struct Invocation {
    std::string command;
    Options options;
    Output& out;
};

struct Command {
    const char* name;
    const char* summary;             // one line for the command list
    std::vector<std::string> usage;  // its forms: the name, then the operands
    std::vector<Option> options;     // every option it takes, in the order they are checked
    const char* description;         // what --help says between the usage and the options
    const char* example;             // one command line
    int (*run)(const Invocation& invocation);
};

// The whole text of `vantrel NAME --help`.
std::string HelpText(const Command& command);

// Registers a subcommand; used through a static object in each cmd_*.cpp.
struct Register {
    explicit Register(const Command& command);
};

// Every registered subcommand, by name.
const std::vector<Command>& Commands();

// Runs `vantrel WORDS...` (the words after the command's own name, in UTF-8): the overview,
// --version, a subcommand's --help or the subcommand, whose errors are reported on standard
// error in one line. Returns the exit status and sets `name` to the subcommand run (empty when
// there is none). Standard output is left open: flushing and closing it, and reporting a
// failure to write it, are the caller's.
int Run(std::vector<std::string> words, std::string* name);

}  // namespace cli
