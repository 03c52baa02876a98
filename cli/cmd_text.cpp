// vantrel name | dither | resolution: ICC profile names, dither method names, resolution text.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "cli.h"
#include "vantrel/text.h"

namespace {

// --- text conversion --------------------------------------------------------------------------

// Arguments and output are UTF-8 whatever the locale.
std::wstring from_utf8(const std::string& text, const std::string& what) {
    const cli::UsageError invalid("argument " + what + ": not valid UTF-8");
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t extra;
        std::uint32_t code;
        if (lead < 0x80) {
            extra = 0, code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07u;
        } else {
            throw invalid;
        }
        if (text.size() - i <= extra) throw invalid;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) throw invalid;
            code = (code << 6) | (next & 0x3Fu);
        }
        wide += static_cast<wchar_t>(code);
        i += extra + 1;
    }
    return wide;
}

std::string to_utf8(const std::wstring& text) {
    std::string narrow;
    for (wchar_t ch : text) {
        const auto code = static_cast<std::uint32_t>(ch);
        if (code < 0x80) {
            narrow += static_cast<char>(code);
        } else if (code < 0x800) {
            narrow += static_cast<char>(0xC0 | (code >> 6));
            narrow += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            narrow += static_cast<char>(0xE0 | (code >> 12));
            narrow += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            narrow += static_cast<char>(0xF0 | (code >> 18));
            narrow += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            narrow += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return narrow;
}

// --- name -------------------------------------------------------------------------------------

// The characters that count once blanks at both ends are trimmed, as the library trims.
size_t trimmed_length(const std::wstring& name) {
    size_t first = 0, last = name.size();
    while (first < last && std::iswspace(static_cast<wint_t>(name[first]))) ++first;
    while (last > first && std::iswspace(static_cast<wint_t>(name[last - 1]))) --last;
    return last - first;
}

// Why the library refuses `name` (check, or fix with or without appending), in one phrase.
std::string refusal(const std::wstring& name, bool noAppend) {
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t one[] = {name[i], L'\0'};
        if (!IsValidFilename(one))
            return "reserved character '" + to_utf8(std::wstring(1, name[i])) + "' at character " +
                   std::to_string(i + 1);
    }
    const std::string length = std::to_string(trimmed_length(name)) + " characters after trimming";
    if (trimmed_length(name) > 31)
        return length + "; at most 31 are allowed (27 without an .icc or .icm extension)";
    if (trimmed_length(name) > 27)
        return length + " and no .icc or .icm extension; at most 27 are allowed without one";
    if (noAppend) return "no .icc or .icm extension, and --no-append was given";
    return "refused";
}

int run_name(cli::Args& args) {
    const bool noAppend = args.flag("--no-append");
    auto v = args.expect({"ACTION", "NAME"});
    const std::wstring name = from_utf8(v[1], "NAME");
    if (v[0] == "check") {
        if (noAppend) throw cli::UsageError("option --no-append applies to fix only");
        if (IsValidICCFilename(name.c_str())) {
            std::printf("valid (%zu characters after trimming)\n", trimmed_length(name));
            return cli::kExitOk;
        }
        std::printf("invalid: %s\n", refusal(name, false).c_str());
        return cli::kExitFailure;
    }
    if (v[0] == "fix") {
        CString repaired(name);
        if (!MakeValidICCFilename(repaired, noAppend ? 1 : 0))
            throw cli::Failure("cannot fix: " + refusal(name, noAppend));
        std::printf("%s\n", to_utf8(repaired.str()).c_str());
        return cli::kExitOk;
    }
    throw cli::UsageError("argument ACTION: '" + v[0] + "' is not check or fix");
}

// --- dither -----------------------------------------------------------------------------------

// The keys that the library's default dither array pairs with each id (ids 2 and 4 have no
// entry there); the exported lookups give keys only from an array the caller passes.
const char* default_key(int id) {
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

std::vector<std::string> dither_row(int id) {
    wchar_t local[256], english[256];
    GetLocalDitherStrByDitherID(nullptr, id, local, 256);
    GetEnglishDitherStrByDitherID(nullptr, id, english, 256);
    auto cell = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    return {std::to_string(id), cell(to_utf8(local)), cell(to_utf8(english)),
            cell(default_key(id))};
}

// Columns left-aligned and padded to their widest cell.
void print_left_aligned(const std::vector<std::vector<std::string>>& rows) {
    std::vector<size_t> widths;
    for (const auto& row : rows)
        for (size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i) widths.push_back(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    for (const auto& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        std::printf("%s\n", line.c_str());
    }
}

int run_dither(cli::Args& args) {
    const std::vector<std::string> v = args.positional();
    if (v.size() > 1) throw cli::UsageError("unexpected argument '" + v[1] + "'");
    std::vector<std::vector<std::string>> rows = {{"id", "local name", "English name", "key"}};
    if (v.empty()) {
        for (int id = 0; id <= 7; ++id) rows.push_back(dither_row(id));
    } else {
        const long id = cli::parse_int(v[0], "ID");
        if (id < INT_MIN || id > INT_MAX)
            throw cli::UsageError("argument ID: '" + v[0] + "' is out of range");
        rows.push_back(dither_row(static_cast<int>(id)));
    }
    print_left_aligned(rows);
    return cli::kExitOk;
}

// --- resolution -------------------------------------------------------------------------------

int run_resolution(cli::Args& args) {
    const std::vector<std::string> v = args.positional();
    if (v.empty()) throw cli::UsageError("missing argument X");
    if (v.size() > 2) throw cli::UsageError("unexpected argument '" + v[2] + "'");
    const float x = cli::parse_float(v[0], "X");
    const float y = v.size() == 2 ? cli::parse_float(v[1], "Y") : 0.0f;
    CString text;
    GetResolutionString(x, y, text);
    std::printf("%s\n", to_utf8(text.str()).c_str());
    return cli::kExitOk;
}

const cli::Register name_command(
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
     run_name});
const cli::Register dither_command(
    {"dither", "dither method names by id (local, English, key)",
     "usage: vantrel dither [ID]\n\n"
     "Prints the default dither table, ids 0 to 7, or the row of one id: the local name (from\n"
     "the library's list of names), the English display name and the key of the default\n"
     "array; '-' where there is none (ids 2 and 4 have an English name only).\n\n"
     "example: vantrel dither 7\n",
     run_dither});
const cli::Register resolution_command(
    {"resolution", "a print resolution as text (720, 720x360, 1.5x2)",
     "usage: vantrel resolution X [Y]\n\n"
     "Prints the resolution as the library shows it: one number when Y is absent, 0 or equal\n"
     "to X, else XxY; each number with the decimals it needs (at most 5).\n\n"
     "example: vantrel resolution 720 360\n",
     run_resolution});

}  // namespace
