// What the command reads: whole input files ("-" is standard input), the lines of a batch on
// standard input, and the checks that keep a command from writing over a file it reads.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "numbers.h"
#include "render.h"

namespace cli {
struct Invocation;
}

namespace cli {

// The bytes of the file at `path`, or of standard input for "-". A Failure naming the file
// when it is missing, unreadable or a directory.
std::string ReadInput(const std::string& path);
// How an input is named in messages: "standard input" for "-", else the path.
std::string InputName(const std::string& path);

// Refuses (UsageError) to write `output`, given by `option`, when it is one of `inputs`.
void RefuseOutputOverInput(const std::string& output, const std::string& option,
                           const std::vector<std::string>& inputs);
// Refuses (UsageError) to run when standard output is one of the files `inputs`, which the
// shell may already have emptied.
void RefuseStandardOutputOverInput(const std::vector<std::string>& inputs);

// The numbers of a text as words: the runs of characters other than blanks and commas.
std::vector<std::string> SplitNumbers(std::string_view text);

// Calls `each` with the words of every line of standard input that holds any, split at blanks
// and commas, and the line's number. Whatever `each` throws becomes a Failure whose message
// starts with "standard input, line N: ".
void ForEachInputLine(
    const std::function<void(const std::vector<std::string>& words, long line)>& each);

// A number a single-colour subcommand converts: its name (for messages and help) and range.
struct Operand {
    const char* name;
    Range range = kAnyNumber;
};

// The sets of numbers of a single-colour subcommand: its operands are one set, or "-" alone to
// read one set per line of standard input. Each set is parsed (in single precision unless
// `doublePrecision`), turned into a record by `convert` and printed in the --format of `run`;
// a batch prints one row per line, and a bad line stops it with an error naming the line,
// after the rows before it.
void ConvertSets(const Invocation& run, const std::vector<Operand>& operands,
                 const std::function<Record(const std::vector<double>&)>& convert,
                 bool doublePrecision = false);

}  // namespace cli
