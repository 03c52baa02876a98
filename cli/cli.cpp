#include "cli.h"

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> list;
    return list;
}

}  // namespace

Register::Register(const Command& command) {
    Registry().push_back(command);
}

const std::vector<Command>& Commands() {
    auto& list = Registry();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
    return list;
}

std::vector<std::string> Expect(const std::vector<std::string>& words,
                                const std::vector<const char*>& names) {
    if (words.size() < names.size())
        throw UsageError(std::string("missing argument ") + names[words.size()]);
    if (words.size() > names.size())
        throw UsageError("unexpected argument " + Quoted(words[names.size()]));
    return words;
}

void Warn(const std::string& command, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        std::fprintf(stderr, "vantrel %s: warning: %s\n", command.c_str(), Escaped(w).c_str());
}

float XyzScale(const Options& options) {
    return options.Value("--scale", "percent") == "unit" ? 1.0f : 100.0f;
}

Format FormatOf(const Options& options) {
    const std::string name = options.Value("--format", "table");
    return name == "csv" ? Format::kCsv : name == "json" ? Format::kJson : Format::kTable;
}

}  // namespace cli
