// The help of a subcommand, generated from its declarations: the usage lines with every option
// that goes with each form, the description, the option list and an example.
#include <string>
#include <vector>

#include "cli.h"

namespace cli {

namespace {

constexpr size_t kHelpWidth = 88;   // columns of the help text
constexpr size_t kNameColumn = 24;  // where an option's help starts, when its name fits

// The option as usage shows it: "--white Xn Yn Zn".
std::string Synopsis(const Option& o) {
    return o.values.empty() ? o.name : std::string(o.name) + " " + Joined(o.values, " ");
}

// `items` wrapped at kHelpWidth, one blank apart: the first line continues `line`, the others
// start with `indent` blanks.
void AppendWrapped(std::string& out, std::string line, const std::vector<std::string>& items,
                   size_t indent) {
    for (const std::string& item : items) {
        const bool fresh = line.find_first_not_of(' ') == std::string::npos;
        if (!fresh && line.size() + 1 + item.size() > kHelpWidth) {
            out += line + "\n";
            line.assign(indent, ' ');
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
        line += item;
    }
    out += line + "\n";
}

// The words of `text`.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

}  // namespace

std::string UsageText(const std::vector<std::string>& usage, const std::vector<Option>& options) {
    std::string out;
    for (size_t k = 0; k < usage.size(); ++k) {
        const std::string lead = (k ? "       vantrel " : "usage: vantrel ") + usage[k];
        const std::string action = usage[k].substr(usage[k].find(' ') + 1);
        std::vector<std::string> items;
        for (const Option& o : options)
            if (o.actions.empty() || Contains(o.actions, action.substr(0, action.find(' '))))
                items.push_back(o.required ? Synopsis(o) : "[" + Synopsis(o) + "]");
        // Continuation lines line up after the subcommand's name.
        AppendWrapped(out, lead, items,
                      std::string("usage: vantrel ").size() + usage[k].find(' ') + 1);
    }
    return out;
}

std::string OptionsText(const std::vector<Option>& options) {
    std::string out;
    for (const Option& o : options) {
        std::string line = "  " + Synopsis(o);
        if (line.size() + 2 > kNameColumn) {
            out += line + "\n";
            line.clear();
        }
        line.resize(kNameColumn, ' ');
        AppendWrapped(out, line, Words(o.help), kNameColumn);
    }
    return out;
}

std::string HelpText(const Command& command) {
    std::string text = UsageText(command.usage, command.options) + "\n" + command.description;
    if (!command.options.empty()) text += "\noptions:\n" + OptionsText(command.options);
    return text + "\nexample: " + command.example + "\n";
}

}  // namespace cli
