// vantrel name | dither | resolution: ICC profile names, dither method names, resolution text.
#include <cctype>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "cli.h"
#include "text_codec.h"
#include "vantrel/text.h"

namespace {

// --- name -------------------------------------------------------------------------------------

// The characters that count once blanks at both ends are trimmed, as the library trims.
size_t TrimmedLength(const std::wstring& name) {
    size_t first = 0, last = name.size();
    while (first < last && std::iswspace(static_cast<wint_t>(name[first]))) ++first;
    while (last > first && std::iswspace(static_cast<wint_t>(name[last - 1]))) --last;
    return last - first;
}

// Why the library refuses `name` (check, or fix with or without appending), in one phrase.
std::string Refusal(const std::wstring& name, bool noAppend) {
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t one[] = {name[i], L'\0'};
        if (!IsValidFilename(one))
            return "reserved character " +
                   cli::Quoted(cli::Utf8FromWide(std::wstring(1, name[i]))) + " at character " +
                   std::to_string(i + 1);
    }
    const std::string length = std::to_string(TrimmedLength(name)) + " characters after trimming";
    if (TrimmedLength(name) > 31)
        return length + "; at most 31 are allowed (27 without an .icc or .icm extension)";
    if (TrimmedLength(name) > 27)
        return length + " and no .icc or .icm extension; at most 27 are allowed without one";
    if (noAppend) return "no .icc or .icm extension, and --no-append was given";
    return "refused";
}

int RunName(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const bool noAppend = run.options.Has("--no-append");
    auto v = cli::Expect(run.options.Operands(), {"ACTION", "NAME"});
    if (v[0] != "check" && v[0] != "fix")
        throw cli::UsageError("argument ACTION: " + cli::Quoted(v[0]) + " is not check or fix");
    const std::wstring name = cli::WideFromUtf8(v[1], "argument NAME");
    cli::Record record;
    record.Text("name", "name", v[1]);
    if (v[0] == "check") {
        run.options.RequireAppliesTo("name", v[0]);
        const bool valid = IsValidICCFilename(name.c_str());
        const size_t characters = TrimmedLength(name);
        const std::string reason = valid ? "" : Refusal(name, false);
        record.Text("valid", "", valid ? "yes" : "no")
            .Json("valid", cli::Json::Bool(valid))
            .Integer("characters", "characters", static_cast<long long>(characters))
            .Text("reason", "reason", reason)
            .TableText(valid ? "valid (" + std::to_string(characters) +
                                   " characters after trimming)\n"
                             : "invalid: " + reason + "\n");
        cli::RecordWriter(format, false, run.out).Write(record);
        return valid ? cli::kExitOk : cli::kExitFailure;
    }
    CString repaired(name);
    if (!MakeValidICCFilename(repaired, noAppend ? 1 : 0))
        throw cli::Failure("cannot fix: " + Refusal(name, noAppend));
    const std::string fixed = cli::Utf8FromWide(repaired.str());
    record.Text("fixed", "fixed", fixed).TableText(fixed + "\n");
    cli::RecordWriter(format, false, run.out).Write(record);
    return cli::kExitOk;
}

// --- dither -----------------------------------------------------------------------------------

// The ids of the library's dither methods.
constexpr int kFirstDitherId = 0;
constexpr int kLastDitherId = 7;

// The keys that the library's default dither array pairs with each id (ids 2 and 4 have no
// entry there); the exported lookups give keys only from an array the caller passes.
const char* DefaultKey(int id) {
    switch (id) {
        case 0:
            return "KF_Diffusion";
        case 1:
            return "Error_Diffusion";
        case 3:
            return "Random_Diffusion";
        case 5:
            return "LX_Diffusion";
        case 6:
            return "Angled_Screen";
        case 7:
            return "FM_Diffusion";
        default:
            return "";
    }
}

cli::Record DitherRecord(int id) {
    wchar_t local[256], english[256];
    GetLocalDitherStrByDitherID(nullptr, id, local, 256);
    GetEnglishDitherStrByDitherID(nullptr, id, english, 256);
    cli::Record record;
    record.Integer("id", "id", id);
    // "-" in the table and CSV where the table has no entry; null in JSON.
    const std::pair<const char*, std::string> names[] = {
        {"local name", cli::Utf8FromWide(local)},
        {"English name", cli::Utf8FromWide(english)},
        {"key", DefaultKey(id)}};
    for (const auto& [header, text] : names) {
        std::string key = header;
        for (char& c : key) c = c == ' ' ? '_' : static_cast<char>(std::tolower(c));
        record.Text(header, "", text.empty() ? "-" : text).Json(key, cli::Json::TextOrNull(text));
    }
    return record;
}

int RunDither(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const std::vector<std::string>& v = run.options.Operands();
    if (v.size() > 1) throw cli::UsageError("unexpected argument " + cli::Quoted(v[1]));
    std::vector<cli::Record> records;
    if (v.empty()) {
        for (int id = kFirstDitherId; id <= kLastDitherId; ++id)
            records.push_back(DitherRecord(id));
    } else {
        records.push_back(DitherRecord(
            static_cast<int>(cli::ParseWhole(v[0], "argument ID", kFirstDitherId, kLastDitherId))));
    }
    if (format != cli::Format::kTable) {
        cli::RecordWriter writer(format, true, run.out);
        for (const cli::Record& record : records) writer.Write(record);
        return cli::kExitOk;
    }
    cli::Table rows(cli::Table::Align::kLeft);
    rows.AddRow(records[0].Headers());
    for (const cli::Record& record : records) rows.AddRow(record.Cells());
    run.out << rows.Text();
    return cli::kExitOk;
}

// --- resolution -------------------------------------------------------------------------------

// The resolutions the library's text holds whole: up to a million, with its five decimals.
constexpr double kMaxResolution = 1000000.0;

int RunResolution(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const std::vector<std::string>& v = run.options.Operands();
    if (v.empty()) throw cli::UsageError("missing argument X");
    if (v.size() > 2) throw cli::UsageError("unexpected argument " + cli::Quoted(v[2]));
    const float x = cli::ParseFloat(v[0], "argument X", {0.0, true, kMaxResolution, false});
    const float y = v.size() == 2
                        ? cli::ParseFloat(v[1], "argument Y", {0.0, false, kMaxResolution, false})
                        : 0.0f;
    CString text;
    GetResolutionString(x, y, text);
    const std::string resolution = cli::Utf8FromWide(text.str());
    cli::RecordWriter(format, false, run.out)
        .Write(cli::Record()
                   .Text("resolution", "resolution", resolution)
                   .ExactNumber("", "x", x)
                   .ExactNumber("", "y", y == 0.0f ? x : y)
                   .TableText(resolution + "\n"));
    return cli::kExitOk;
}

const cli::Register kNameCommand(
    {"name",
     "check or repair an ICC profile name",
     {"name check NAME", "name fix NAME"},
     {cli::FormatOption(),
      cli::Flag("--no-append", "refuse a name without extension instead of appending .icm")
          .For({"fix"})},
     "An ICC profile name may not hold any of  \" * / : < > ? \\ |  (such a name is refused,\n"
     "the character is never removed). Blanks at both ends are trimmed; the trimmed name may\n"
     "have at most 31 characters when it ends in .icc or .icm (any case), at most 27 when it\n"
     "does not, so that .icm can be appended. NAME must be UTF-8.\n\n"
     "check prints 'valid' or the rule the name breaks (exit status 1).\n"
     "fix prints the trimmed name, with .icm appended when it has no extension; with\n"
     "--no-append a name without extension is refused instead. A name that cannot be fixed\n"
     "gives the rule it breaks on standard error (exit status 1).\n",
     "vantrel name fix ' my profile '",
     RunName});
const cli::Register kDitherCommand(
    {"dither",
     "dither method names by id (local, English, key)",
     {"dither [ID]"},
     {cli::FormatOption()},
     "Prints the default dither table, ids 0 to 7, or the row of one id (0 to 7): the local\n"
     "name (from the library's list of names), the English display name and the key of the\n"
     "default array; '-' where there is none (ids 2 and 4 have an English name only), null\n"
     "in JSON.\n",
     "vantrel dither 7",
     RunDither});
const cli::Register kResolutionCommand(
    {"resolution",
     "a print resolution as text (720, 720x360, 1.5x2)",
     {"resolution X [Y]"},
     {cli::FormatOption()},
     "Prints the resolution as the library shows it: one number when Y is absent, 0 or equal\n"
     "to X, else XxY; each number with the decimals it needs (at most 5). X is above 0 and\n"
     "at most 1000000, Y from 0 to 1000000.\n",
     "vantrel resolution 720 360",
     RunResolution});

}  // namespace
