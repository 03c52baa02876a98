// The options of a subcommand, declared once: name, values, range, the actions they apply to
// and help text. Parsing (--option value and --option=value), "given twice", the validation
// of every value through the one number parser, and the option part of --help all come from
// the declarations.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "numbers.h"

namespace cli {

// One declared option. Built with Flag, Choice, Real, Whole or Text and refined with the
// chained setters below.
struct Option {
    enum class Kind { kFlag, kChoice, kReal, kWhole, kText };

    const char* name = "";             // "--white"
    Kind kind = Kind::kText;           //
    std::vector<std::string> values;   // the names of its values in help; none for a flag
    std::string help;                  // what it does, for --help
    std::vector<std::string> choices;  // kChoice: the words its value may be
    Range range;                       // kReal: the range of every value
    bool doublePrecision = false;      // kReal: checked as a double (else as a float)
    long long low = 0, high = 0;       // kWhole: the range
    bool required = false;
    // The actions (first operand) of the subcommand it applies to; empty: every action.
    std::vector<std::string> actions;
    // When set, it applies only while the option `when` has one of `whenValues` (its value,
    // or `whenDefault` when it is absent); the option `when` is declared before it.
    std::string when, whenDefault;
    std::vector<std::string> whenValues;
    // An option it cannot go with, and what the refusal says after "option NAME ".
    std::string excludes, excludesMessage;
    // How many values follow the option, decided by the first (a white's name or X Y Z);
    // unset: values.size().
    std::function<size_t(const std::string& first)> arity;
    // A check of the values beyond their kind and range; throws UsageError.
    std::function<void(const std::vector<std::string>& values)> check;

    Option Required() const;
    Option For(std::vector<std::string> list) const;
    Option When(std::string option, std::vector<std::string> allowed, std::string fallback) const;
    Option Excludes(std::string other, std::string message) const;
    Option Double() const;
    Option Arity(std::function<size_t(const std::string&)> count) const;
    Option Check(std::function<void(const std::vector<std::string>&)> test) const;
};

Option Flag(const char* name, std::string help);
// One word of `choices`; its value shows as "a|b|c" in help.
Option Choice(const char* name, std::vector<std::string> choices, std::string help);
// Real numbers, one per name in `values`, each within `range`.
Option Real(const char* name, std::vector<std::string> values, Range range, std::string help);
// One whole number from `low` to `high`.
Option Whole(const char* name, std::string value, long long low, long long high, std::string help);
// Text taken as it is, one per name in `values`.
Option Text(const char* name, std::vector<std::string> values, std::string help);

// The options every result-printing subcommand takes.
Option FormatOption();
Option ScaleOption();

// The options given on a command line, parsed and checked against their declarations, and
// the operands left.
class Options {
  public:
    // Takes every declared option out of `words` (the command line after the subcommand's
    // name), in the order declared: each value checked as declared, then the operands, where
    // anything else starting with "--" (but a negative number) is an unknown option. Every
    // fault is a UsageError naming the option.
    Options(const std::vector<Option>& declared, std::vector<std::string> words);

    bool Has(const std::string& name) const { return given_.count(name) != 0; }
    // The values given (empty when absent).
    const std::vector<std::string>& Values(const std::string& name) const;
    // The one value, or `fallback` when absent.
    std::string Value(const std::string& name, const std::string& fallback = "") const;
    // Value `index` as a float or a double (already checked, so these do not fail but where
    // a value checked as a double is beyond the range of a float).
    float Float(const std::string& name, size_t index = 0) const;
    double Double(const std::string& name, size_t index = 0) const;
    long long Whole(const std::string& name, long long fallback) const;
    // The words that are not options.
    const std::vector<std::string>& Operands() const { return operands_; }

    // Refuses an option given that does not apply to `action`, naming the actions it applies
    // to ("option --force applies to 'prefs init', 'monitor' and 'repair'"); options that share
    // their actions are named together.
    void RequireAppliesTo(const std::string& command, const std::string& action) const;

  private:
    const std::vector<Option>* declared_;
    std::map<std::string, std::vector<std::string>> given_;
    std::vector<std::string> operands_;
};

// `words` with `separator` between them.
inline std::string Joined(const std::vector<std::string>& words, const char* separator) {
    std::string text;
    for (size_t i = 0; i < words.size(); ++i) text += (i ? separator : "") + words[i];
    return text;
}

// Whether `word` is one of `list`.
inline bool Contains(const std::vector<std::string>& list, const std::string& word) {
    for (const std::string& item : list)
        if (item == word) return true;
    return false;
}

// How a value is named in messages: "option --white Yn" (several values) or "option --kl".
std::string ValueName(const Option& option, size_t index);

// The option part of a subcommand's help: `usage` (the operands, one line per form, each
// starting with the subcommand's name) with every option that goes with it, then one line or
// more per option.
std::string UsageText(const std::vector<std::string>& usage, const std::vector<Option>& options);
std::string OptionsText(const std::vector<Option>& options);

}  // namespace cli
