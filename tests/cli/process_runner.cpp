// Windows: runs a command line written for the POSIX shell without one. Words are split at
// blanks, '...' quotes literally, and a word that starts with <, >, >> or 2> redirects
// standard input, output (replaced or appended to) or error to the file it names; /dev/full
// becomes a standard output that refuses every write. The program and its arguments go to
// CreateProcessW quoted as CommandLineToArgvW splits them.
#include <windows.h>

#include <string>
#include <vector>

namespace cli_testing {

namespace {

std::wstring Wide(const std::string& utf8) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(units > 0 ? units : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], units);
    wide.pop_back();
    return wide;
}

// One argument as CommandLineToArgvW reads it back: quoted, with the backslashes before a
// quote doubled.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t ch : argument) {
        if (ch == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(ch == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(ch);
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

struct Word {
    std::string text;
    bool quotedStart = false;
};

std::vector<Word> Split(const std::string& line) {
    std::vector<Word> words;
    bool inWord = false, quoted = false;
    for (char ch : line) {
        if (!quoted && (ch == ' ' || ch == '\t')) {
            inWord = false;
            continue;
        }
        if (!inWord) words.push_back({"", ch == '\''}), inWord = true;
        if (ch == '\'')
            quoted = !quoted;
        else
            words.back().text.push_back(ch);
    }
    return words;
}

HANDLE OpenRedirection(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    if (path == "/dev/full")
        return CreateFileW(L"NUL", GENERIC_READ, 0, &inherited, OPEN_EXISTING, 0, nullptr);
    HANDLE file = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherited, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && access == FILE_APPEND_DATA)
        SetFilePointer(file, 0, nullptr, FILE_END);
    return file;
}

}  // namespace

int RunCommandLine(const std::string& line) {
    std::wstring commandLine;
    HANDLE streams[3] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
    std::vector<Word> words = Split(line);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i].text;
        const struct {
            const char* op;
            int stream;
            DWORD access, disposition;
        } redirections[] = {{"2>", 2, GENERIC_WRITE, CREATE_ALWAYS},
                            {">>", 1, FILE_APPEND_DATA, OPEN_ALWAYS},
                            {">", 1, GENERIC_WRITE, CREATE_ALWAYS},
                            {"<", 0, GENERIC_READ, OPEN_EXISTING}};
        bool redirected = false;
        for (const auto& r : redirections) {
            const std::string op = r.op;
            if (words[i].quotedStart || w.compare(0, op.size(), op) != 0) continue;
            std::string target = w.substr(op.size());
            if (target.empty() && i + 1 < words.size()) target = words[++i].text;
            if (streams[r.stream] != INVALID_HANDLE_VALUE) CloseHandle(streams[r.stream]);
            streams[r.stream] = OpenRedirection(target, r.access, r.disposition);
            redirected = true;
            break;
        }
        if (!redirected) commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(Wide(w));
    }
    const DWORD standard[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    HANDLE* targets[3] = {&startup.hStdInput, &startup.hStdOutput, &startup.hStdError};
    for (int s = 0; s < 3; ++s)
        *targets[s] = streams[s] != INVALID_HANDLE_VALUE ? streams[s] : GetStdHandle(standard[s]);
    PROCESS_INFORMATION process = {};
    DWORD status = static_cast<DWORD>(-1);
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    for (HANDLE stream : streams)
        if (stream != INVALID_HANDLE_VALUE) CloseHandle(stream);
    return static_cast<int>(status);
}

}  // namespace cli_testing
