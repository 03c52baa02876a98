// vantrel name | dither | resolution: ICC profile names, dither method names, resolution text.
#include <climits>
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
            return "reserved character '" + cli::Utf8FromWide(std::wstring(1, name[i])) +
                   "' at character " + std::to_string(i + 1);
    }
    const std::string length = std::to_string(TrimmedLength(name)) + " characters after trimming";
    if (TrimmedLength(name) > 31)
        return length + "; at most 31 are allowed (27 without an .icc or .icm extension)";
    if (TrimmedLength(name) > 27)
        return length + " and no .icc or .icm extension; at most 27 are allowed without one";
    if (noAppend) return "no .icc or .icm extension, and --no-append was given";
    return "refused";
}

int RunName(cli::Args& args) {
    const bool noAppend = args.Flag("--no-append");
    auto v = args.Expect({"ACTION", "NAME"});
    const std::wstring name = cli::WideFromUtf8(v[1], "NAME");
    if (v[0] == "check") {
        if (noAppend) throw cli::UsageError("option --no-append applies to fix only");
        if (IsValidICCFilename(name.c_str())) {
            std::printf("valid (%zu characters after trimming)\n", TrimmedLength(name));
            return cli::kExitOk;
        }
        std::printf("invalid: %s\n", Refusal(name, false).c_str());
        return cli::kExitFailure;
    }
    if (v[0] == "fix") {
        CString repaired(name);
        if (!MakeValidICCFilename(repaired, noAppend ? 1 : 0))
            throw cli::Failure("cannot fix: " + Refusal(name, noAppend));
        std::printf("%s\n", cli::Utf8FromWide(repaired.str()).c_str());
        return cli::kExitOk;
    }
    throw cli::UsageError("argument ACTION: '" + v[0] + "' is not check or fix");
}

// --- dither -----------------------------------------------------------------------------------

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

std::vector<std::string> DitherRow(int id) {
    wchar_t local[256], english[256];
    GetLocalDitherStrByDitherID(nullptr, id, local, 256);
    GetEnglishDitherStrByDitherID(nullptr, id, english, 256);
    auto cell = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    return {std::to_string(id), cell(cli::Utf8FromWide(local)), cell(cli::Utf8FromWide(english)),
            cell(DefaultKey(id))};
}

int RunDither(cli::Args& args) {
    const std::vector<std::string> v = args.Positional();
    if (v.size() > 1) throw cli::UsageError("unexpected argument '" + v[1] + "'");
    cli::Table rows(cli::Table::Align::kLeft);
    rows.AddRow({"id", "local name", "English name", "key"});
    if (v.empty()) {
        for (int id = 0; id <= 7; ++id) rows.AddRow(DitherRow(id));
    } else {
        const long id = cli::ParseInt(v[0], "ID");
        if (id < INT_MIN || id > INT_MAX)
            throw cli::UsageError("argument ID: '" + v[0] + "' is out of range");
        rows.AddRow(DitherRow(static_cast<int>(id)));
    }
    rows.Print();
    return cli::kExitOk;
}

// --- resolution -------------------------------------------------------------------------------

int RunResolution(cli::Args& args) {
    const std::vector<std::string> v = args.Positional();
    if (v.empty()) throw cli::UsageError("missing argument X");
    if (v.size() > 2) throw cli::UsageError("unexpected argument '" + v[2] + "'");
    const float x = cli::ParseFloat(v[0], "X");
    const float y = v.size() == 2 ? cli::ParseFloat(v[1], "Y") : 0.0f;
    CString text;
    GetResolutionString(x, y, text);
    std::printf("%s\n", cli::Utf8FromWide(text.str()).c_str());
    return cli::kExitOk;
}

const cli::Register kNameCommand(
    {"name", "check or repair an ICC profile name",
     "usage: vantrel name check NAME\n"
     "       vantrel name fix NAME [--no-append]\n\n"
     "An ICC profile name may not hold any of  \" * / : < > ? \\ |  (such a name is refused,\n"
     "the character is never removed). Blanks at both ends are trimmed; the trimmed name may\n"
     "have at most 31 characters when it ends in .icc or .icm (any case), at most 27 when it\n"
     "does not, so that .icm can be appended.\n\n"
     "check prints 'valid' or the rule the name breaks (exit status 1).\n"
     "fix prints the trimmed name, with .icm appended when it has no extension; with\n"
     "--no-append a name without extension is refused instead. A name that cannot be fixed\n"
     "gives the rule it breaks on standard error (exit status 1).\n\n"
     "example: vantrel name fix ' my profile '\n",
     RunName});
const cli::Register kDitherCommand(
    {"dither", "dither method names by id (local, English, key)",
     "usage: vantrel dither [ID]\n\n"
     "Prints the default dither table, ids 0 to 7, or the row of one id: the local name (from\n"
     "the library's list of names), the English display name and the key of the default\n"
     "array; '-' where there is none (ids 2 and 4 have an English name only).\n\n"
     "example: vantrel dither 7\n",
     RunDither});
const cli::Register kResolutionCommand(
    {"resolution", "a print resolution as text (720, 720x360, 1.5x2)",
     "usage: vantrel resolution X [Y]\n\n"
     "Prints the resolution as the library shows it: one number when Y is absent, 0 or equal\n"
     "to X, else XxY; each number with the decimals it needs (at most 5).\n\n"
     "example: vantrel resolution 720 360\n",
     RunResolution});

}  // namespace
