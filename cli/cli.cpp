#include "cli.h"

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> list;
    return list;
}

bool LooksLikeNumber(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    char c = word[1];
    return (c >= '0' && c <= '9') || c == '.';
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

bool Args::Flag(const char* name) {
    auto it = std::find(words_.begin(), words_.end(), name);
    if (it == words_.end()) return false;
    words_.erase(it);
    if (std::find(words_.begin(), words_.end(), name) != words_.end())
        throw UsageError(std::string("option ") + name + " given twice");
    return true;
}

std::vector<std::string> Args::Option(const char* name, size_t count) {
    const std::string joined = std::string(name) + "=";
    auto matches = [&](const std::string& word) {
        return word == name || word.compare(0, joined.size(), joined) == 0;
    };
    auto it = std::find_if(words_.begin(), words_.end(), matches);
    if (it == words_.end()) return {};
    size_t at = static_cast<size_t>(it - words_.begin());
    std::vector<std::string> values;
    if (*it != name) {
        values.push_back(it->substr(joined.size()));
        --count;
    }
    if (words_.size() - at - 1 < count)
        throw UsageError(std::string("option ") + name + " needs " +
                         std::to_string(count + values.size()) +
                         (count + values.size() == 1 ? " value" : " values"));
    values.insert(values.end(), words_.begin() + static_cast<long>(at) + 1,
                  words_.begin() + static_cast<long>(at + 1 + count));
    for (const std::string& value : values)
        if (value.rfind("--", 0) == 0 && !LooksLikeNumber(value))
            throw UsageError(
                std::string("option ") + name + " needs " + std::to_string(values.size()) +
                (values.size() == 1 ? " value" : " values") + ", not " + Quoted(value));
    words_.erase(words_.begin() + static_cast<long>(at),
                 words_.begin() + static_cast<long>(at + 1 + count));
    if (std::find_if(words_.begin(), words_.end(), matches) != words_.end())
        throw UsageError(std::string("option ") + name + " given twice");
    return values;
}

std::string Args::OptionValue(const char* name, const std::string& fallback) {
    auto values = Option(name, 1);
    return values.empty() ? fallback : values[0];
}

std::vector<std::string> Args::Positional() const {
    for (const std::string& word : words_)
        if (word.rfind("--", 0) == 0 && !LooksLikeNumber(word))
            throw UsageError("unknown option " + Quoted(word));
    return words_;
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

std::string HelpText(const Command& command) {
    std::string text = UsageText(command.usage, command.options) + "\n" + command.description;
    if (!command.options.empty()) text += "\noptions:\n" + OptionsText(command.options);
    return text + "\nexample: " + command.example + "\n";
}

}  // namespace cli
