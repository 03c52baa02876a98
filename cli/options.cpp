#include "options.h"

#include <algorithm>

#include "cli.h"

namespace cli {

namespace {

bool LooksLikeNumber(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    char c = word[1];
    return (c >= '0' && c <= '9') || c == '.';
}

// The words of a command line after the subcommand's name. Options are taken out by name;
// whatever is left is an operand.
class Args {
  public:
    explicit Args(std::vector<std::string> words) : words_(std::move(words)) {}

    // True (and removed) when the flag is present.
    bool Flag(const char* name);
    // The `count` values after option `name` (removed with it), or empty when absent. The
    // first value may also be joined to the name: --name=value. An option given twice is a
    // usage error.
    std::vector<std::string> Option(const char* name, size_t count);
    // The remaining words. Anything left that starts with "--" (other than a negative
    // number) is an unknown option.
    std::vector<std::string> Positional() const;

  private:
    std::vector<std::string> words_;
};

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

std::vector<std::string> Args::Positional() const {
    for (const std::string& word : words_)
        if (word.rfind("--", 0) == 0 && !LooksLikeNumber(word))
            throw UsageError("unknown option " + Quoted(word));
    return words_;
}

// "a, b or c" (or "a, b and c").
std::string Alternatives(const std::vector<std::string>& words, const char* last = " or ") {
    std::string text;
    for (size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? last : ", ") + words[i];
    return text;
}

void CheckValues(const Option& o, const std::vector<std::string>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string what = ValueName(o, i);
        switch (o.kind) {
            case Option::Kind::kChoice:
                if (!Contains(o.choices, values[i]))
                    throw UsageError(what + ": " + Quoted(values[i]) + " is not " +
                                     Alternatives(o.choices));
                break;
            case Option::Kind::kReal:
                if (o.doublePrecision)
                    ParseDouble(values[i], what, o.range);
                else
                    ParseFloat(values[i], what, o.range);
                break;
            case Option::Kind::kWhole:
                ParseWhole(values[i], what, o.low, o.high);
                break;
            default:
                break;
        }
    }
    if (o.check) o.check(values);
}

}  // namespace

Option Option::Required() const {
    Option o = *this;
    o.required = true;
    return o;
}
Option Option::For(std::vector<std::string> list) const {
    Option o = *this;
    o.actions = std::move(list);
    return o;
}
Option Option::When(std::string option, std::vector<std::string> allowed,
                    std::string fallback) const {
    Option o = *this;
    o.when = std::move(option);
    o.whenValues = std::move(allowed);
    o.whenDefault = std::move(fallback);
    return o;
}
Option Option::Excludes(std::string other, std::string message) const {
    Option o = *this;
    o.excludes = std::move(other);
    o.excludesMessage = std::move(message);
    return o;
}
Option Option::Double() const {
    Option o = *this;
    o.doublePrecision = true;
    return o;
}
Option Option::Arity(std::function<size_t(const std::string&)> count) const {
    Option o = *this;
    o.arity = std::move(count);
    return o;
}
Option Option::Check(std::function<void(const std::vector<std::string>&)> test) const {
    Option o = *this;
    o.check = std::move(test);
    return o;
}

Option Flag(const char* name, std::string help) {
    Option o;
    o.name = name;
    o.kind = Option::Kind::kFlag;
    o.help = std::move(help);
    return o;
}

Option Choice(const char* name, std::vector<std::string> choices, std::string help) {
    Option o;
    o.name = name;
    o.kind = Option::Kind::kChoice;
    o.values = {Joined(choices, "|")};
    o.choices = std::move(choices);
    o.help = std::move(help);
    return o;
}

Option Real(const char* name, std::vector<std::string> values, Range range, std::string help) {
    Option o;
    o.name = name;
    o.kind = Option::Kind::kReal;
    o.values = std::move(values);
    o.range = range;
    o.help = std::move(help);
    return o;
}

Option Whole(const char* name, std::string value, long long low, long long high, std::string help) {
    Option o;
    o.name = name;
    o.kind = Option::Kind::kWhole;
    o.values = {std::move(value)};
    o.low = low;
    o.high = high;
    o.help = std::move(help);
    return o;
}

Option Text(const char* name, std::vector<std::string> values, std::string help) {
    Option o;
    o.name = name;
    o.kind = Option::Kind::kText;
    o.values = std::move(values);
    o.help = std::move(help);
    return o;
}

Option FormatOption() {
    return Choice("--format", {"table", "csv", "json"},
                  "how results are printed: an aligned table (default), CSV or JSON");
}

Option ScaleOption() {
    return Choice("--scale", {"percent", "unit"},
                  "the scale of XYZ read and written: percent (white Y = 100, default) or "
                  "unit (Y = 1)");
}

std::string ValueName(const Option& option, size_t index) {
    std::string what = std::string("option ") + option.name;
    if (option.values.size() > 1) what += " " + option.values[index];
    return what;
}

Options::Options(const std::vector<Option>& declared, std::vector<std::string> words)
    : declared_(&declared) {
    Args args(std::move(words));
    for (const Option& o : declared) {
        std::vector<std::string> values;
        bool given = false;
        if (o.kind == Option::Kind::kFlag) {
            given = args.Flag(o.name);
        } else {
            size_t count = o.values.size();
            if (o.arity) {
                Args probe = args;  // the first value decides how many there are
                const auto first = probe.Option(o.name, 1);
                if (!first.empty()) count = o.arity(first[0]);
            }
            values = args.Option(o.name, count);
            given = !values.empty();
        }
        if (!given) {
            if (o.required) throw UsageError(std::string("missing option ") + o.name);
            continue;
        }
        if (!o.when.empty() && !Contains(o.whenValues, Value(o.when, o.whenDefault)))
            throw UsageError(std::string("option ") + o.name + " applies to " + o.when + " " +
                             Alternatives(o.whenValues));
        if (!o.excludes.empty() && Has(o.excludes))
            throw UsageError(o.excludesMessage.empty()
                                 ? "options " + o.excludes + " and " + o.name +
                                       " exclude each other"
                                 : std::string("option ") + o.name + " " + o.excludesMessage);
        CheckValues(o, values);
        given_[o.name] = std::move(values);
    }
    operands_ = args.Positional();
}

const std::vector<std::string>& Options::Values(const std::string& name) const {
    static const std::vector<std::string> kNone;
    auto it = given_.find(name);
    return it == given_.end() ? kNone : it->second;
}

std::string Options::Value(const std::string& name, const std::string& fallback) const {
    const auto& values = Values(name);
    return values.empty() ? fallback : values[0];
}

float Options::Float(const std::string& name, size_t index) const {
    for (const Option& o : *declared_)
        if (name == o.name) return ParseFloat(Values(name).at(index), ValueName(o, index), o.range);
    throw std::logic_error("undeclared option " + name);
}

double Options::Double(const std::string& name, size_t index) const {
    for (const Option& o : *declared_)
        if (name == o.name)
            return ParseDouble(Values(name).at(index), ValueName(o, index), o.range);
    throw std::logic_error("undeclared option " + name);
}

long long Options::Whole(const std::string& name, long long fallback) const {
    for (const Option& o : *declared_)
        if (name == o.name && Has(name))
            return ParseWhole(Values(name)[0], ValueName(o, 0), o.low, o.high);
    return fallback;
}

void Options::RequireAppliesTo(const std::string& command, const std::string& action) const {
    for (const Option& o : *declared_) {
        if (!Has(o.name) || o.actions.empty() || Contains(o.actions, action)) continue;
        std::vector<std::string> names, places;
        for (const Option& other : *declared_)
            if (other.actions == o.actions) names.push_back(other.name);
        for (size_t i = 0; i < o.actions.size(); ++i)
            places.push_back("'" + (i ? "" : command + " ") + o.actions[i] + "'");
        throw UsageError((names.size() > 1 ? "options " + Joined(names, ", ") + " apply to "
                                           : std::string("option ") + o.name + " applies to ") +
                         Alternatives(places, " and "));
    }
}

}  // namespace cli
