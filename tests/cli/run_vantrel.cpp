// Runs the command for the tests: inside the test process through the command's own code, or,
// for a command line that redirects standard output, as the real program.
#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_helpers.h"
#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace cli_testing {

namespace {

// The words of a command line written for the shell: split at blanks, '...' taken literally.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    bool inWord = false, quoted = false;
    for (char ch : line) {
        if (!quoted && ch == ' ') {
            inWord = false;
            continue;
        }
        if (!inWord) words.emplace_back(), inWord = true;
        if (ch == '\'')
            quoted = !quoted;
        else
            words.back().push_back(ch);
    }
    return words;
}

// Where the standard streams of a run go: files, standard output appended to when `append`;
// "/dev/full" refuses every write (on Windows, the null device opened for reading).
struct Streams {
    std::string in, out, err;
    bool append = false;
};

#if defined(_WIN32)
std::wstring Wide(const std::string& utf8) {
    return std::filesystem::u8path(utf8).wstring();
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

HANDLE Open(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    if (path == "/dev/full")
        return CreateFileW(L"NUL", GENERIC_READ, 0, &inherited, OPEN_EXISTING, 0, nullptr);
    HANDLE file = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherited, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && access == FILE_APPEND_DATA)
        SetFilePointer(file, 0, nullptr, FILE_END);
    return file;
}

// The program's exit status; -1 when it cannot be started.
int StartProgram(const std::vector<std::string>& words, const Streams& streams) {
    std::wstring line;
    for (const std::string& word : words) line += (line.empty() ? L"" : L" ") + Quoted(Wide(word));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Open(streams.in, GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = streams.append ? Open(streams.out, FILE_APPEND_DATA, OPEN_ALWAYS)
                                        : Open(streams.out, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = Open(streams.err, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process = {};
    DWORD status = static_cast<DWORD>(-1);
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return static_cast<int>(status);
}
#else
// The program's exit status; -1 when it cannot be started or does not exit.
int StartProgram(const std::vector<std::string>& words, const Streams& streams) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, streams.in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, streams.out.c_str(),
                                     O_WRONLY | O_CREAT | (streams.append ? O_APPEND : O_TRUNC),
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, streams.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    int raw = -1;
    const bool ran = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     waitpid(pid, &raw, 0) == pid;
    posix_spawn_file_actions_destroy(&actions);
    return ran && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}
#endif

// cli::Run with standard input, output and error on files of `dir` for the time of the run.
// Standard input is opened anew, to forget what an earlier run buffered or reached; it is left
// on the null device.
int RunInProcess(const std::vector<std::string>& words, const testing_support::TempDir& dir) {
#if defined(_WIN32)
    const char* const kNullDevice = "NUL";
#else
    const char* const kNullDevice = "/dev/null";
#endif
    if (!std::freopen(dir.File("in").c_str(), "rb", stdin)) std::abort();
    std::fflush(stdout);
    std::fflush(stderr);
    int saved[3] = {-1, -1, -1};
    for (int fd = 1; fd < 3; ++fd) {
        std::FILE* file = testing_support::OpenFile(dir.File(fd == 1 ? "out" : "err"), "wb");
        if (!file) std::abort();
        saved[fd] = dup(fd);
        dup2(fileno(file), fd);
        std::fclose(file);
    }
    std::string name;
    const int status = cli::Run(words, &name);
    std::fflush(stdout);
    for (int fd = 1; fd < 3; ++fd) {
        dup2(saved[fd], fd);
        close(saved[fd]);
    }
    std::clearerr(stdout);
    if (!std::freopen(kNullDevice, "rb", stdin)) std::abort();
    return status;
}

}  // namespace

CommandResult RunVantrel(const std::string& arguments, const std::string& input) {
    const testing_support::TempDir dir;
    testing_support::WriteFile(dir.File("in"), input);
    std::vector<std::string> words = Words(arguments);
    int status;
    if (!words.empty() && words.back()[0] == '>') {
        // In a build for another processor the launcher is the emulator's command line (empty
        // otherwise).
        Streams streams{dir.File("in"), words.back().substr(1), dir.File("err")};
        streams.append = streams.out[0] == '>';
        if (streams.append) streams.out.erase(0, 1);
        words.pop_back();
        words.insert(words.begin(), VANTREL_CLI);
        const std::vector<std::string> launcher = Words(VANTREL_CLI_LAUNCHER);
        words.insert(words.begin(), launcher.begin(), launcher.end());
        status = StartProgram(words, streams);
    } else {
        status = RunInProcess(words, dir);
    }
    return {status, testing_support::ReadFile(dir.File("out")),
            testing_support::ReadFile(dir.File("err"))};
}

}  // namespace cli_testing
