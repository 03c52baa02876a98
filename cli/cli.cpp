#include "cli.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace cli {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

bool looks_like_number(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    char c = word[1];
    return (c >= '0' && c <= '9') || c == '.';
}

}  // namespace

Register::Register(const Command& command) {
    registry().push_back(command);
}

const std::vector<Command>& commands() {
    auto& list = registry();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
    return list;
}

bool Args::flag(const char* name) {
    auto it = std::find(words_.begin(), words_.end(), name);
    if (it == words_.end()) return false;
    words_.erase(it);
    if (std::find(words_.begin(), words_.end(), name) != words_.end())
        throw UsageError(std::string("option ") + name + " given twice");
    return true;
}

std::vector<std::string> Args::option(const char* name, size_t count) {
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
    words_.erase(words_.begin() + static_cast<long>(at),
                 words_.begin() + static_cast<long>(at + 1 + count));
    if (std::find_if(words_.begin(), words_.end(), matches) != words_.end())
        throw UsageError(std::string("option ") + name + " given twice");
    return values;
}

std::string Args::option_value(const char* name, const std::string& fallback) {
    auto values = option(name, 1);
    return values.empty() ? fallback : values[0];
}

std::vector<std::string> Args::positional() const {
    for (const std::string& word : words_)
        if (word.rfind("--", 0) == 0 && !looks_like_number(word))
            throw UsageError("unknown option " + word);
    return words_;
}

std::vector<std::string> Args::expect(const std::vector<const char*>& names) const {
    std::vector<std::string> words = positional();
    if (words.size() < names.size())
        throw UsageError(std::string("missing argument ") + names[words.size()]);
    if (words.size() > names.size())
        throw UsageError("unexpected argument '" + words[names.size()] + "'");
    return words;
}

double parse_double(const std::string& text, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) ||
        errno == ERANGE)
        throw UsageError("argument " + what + ": '" + text + "' is not a number");
    return value;
}

float parse_float(const std::string& text, const std::string& what) {
    double value = parse_double(text, what);
    float narrowed = static_cast<float>(value);
    if (!std::isfinite(narrowed))
        throw UsageError("argument " + what + ": '" + text + "' is out of range");
    return narrowed;
}

long parse_int(const std::string& text, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE)
        throw UsageError("argument " + what + ": '" + text + "' is not a whole number");
    return value;
}

std::string fmt(float value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
    return buffer;
}

std::string fmt_exact(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

void Table::print(std::FILE* out) const {
    std::vector<size_t> widths;
    for (const auto& row : rows_)
        for (size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i) widths.push_back(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    for (const auto& row : rows_) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) line += "  ";
            // The first column (labels) is left-aligned, the values right-aligned.
            std::string pad(widths[i] - row[i].size(), ' ');
            line += i == 0 ? row[i] + (i + 1 < row.size() ? pad : "") : pad + row[i];
        }
        std::fprintf(out, "%s\n", line.c_str());
    }
}

}  // namespace cli
