// Building blocks of the vantrel command: the subcommand registry, argument parsing with
// one-line errors, and aligned output.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Exit statuses: 0 success, 1 the work failed (bad or damaged input file, failed write), 2 bad
// usage, 3 a comparison outside its tolerance.
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

// The arguments of one subcommand, after its name. Options are taken out by name; whatever
// is left is positional.
class Args {
  public:
    Args(std::string command, std::vector<std::string> words)
        : command_(std::move(command)), words_(std::move(words)) {}

    const std::string& command() const { return command_; }
    // True (and removed) when the flag is present.
    bool flag(const char* name);
    // The `count` values after option `name` (removed with it), or empty when absent. The
    // first value may also be joined to the name: --name=value. An option given twice is a
    // usage error.
    std::vector<std::string> option(const char* name, size_t count);
    // Single-value option, or `fallback` when absent.
    std::string option_value(const char* name, const std::string& fallback);
    // The remaining words. Anything left that starts with "--" (other than a negative
    // number) is an unknown option.
    std::vector<std::string> positional() const;
    // Requires exactly `names.size()` positional words and returns them.
    std::vector<std::string> expect(const std::vector<const char*>& names) const;

  private:
    std::string command_;
    std::vector<std::string> words_;
};

// Parses a finite float; throws UsageError naming `what` otherwise.
float parse_float(const std::string& text, const std::string& what);
double parse_double(const std::string& text, const std::string& what);
long parse_int(const std::string& text, const std::string& what);

// Formats a float with enough digits to read back the same value (%.9g), or fixed.
std::string fmt(float value, int decimals = 6);
std::string fmt_exact(float value);

// A table whose columns are padded to their widest cell.
class Table {
  public:
    void row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    void print(std::FILE* out = stdout) const;

  private:
    std::vector<std::vector<std::string>> rows_;
};

struct Command {
    const char* name;
    const char* summary;  // one line for the command list
    const char* help;     // full usage text for `vantrel NAME --help`
    int (*run)(Args& args);
};

// Registers a subcommand; used through a static object in each cmd_*.cpp.
struct Register {
    explicit Register(const Command& command);
};

const std::vector<Command>& commands();

}  // namespace cli
