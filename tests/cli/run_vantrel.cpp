// Runs the command for the tests: inside the test process through the command's own code, or,
// for a command line that redirects standard output, as the real program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_helpers.h"
#if defined(_WIN32)
#include <io.h>
#else
#include <sys/wait.h>
#include <unistd.h>
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

// The program started through the shell (on Windows through process_runner.cpp), its standard
// streams files of `dir`.
int StartProgram(const std::string& arguments, const testing_support::TempDir& dir) {
    const bool redirected = arguments.find(" >") != std::string::npos;
    // In a build for another processor the launcher is the emulator's command line (empty
    // otherwise).
    const std::string line = std::string(VANTREL_CLI_LAUNCHER) + "'" + VANTREL_CLI + "' " +
                             arguments + " <'" + dir.File("in") + "'" +
                             (redirected ? "" : " >'" + dir.File("out") + "'") + " 2>'" +
                             dir.File("err") + "'";
#if defined(_WIN32)
    return RunCommandLine(line);
#else
    const int raw = std::system(line.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

// cli::Run with standard input, output and error on files of `dir` for the time of the run.
// Standard input is opened anew, to forget what an earlier run buffered or reached; it is left
// on the null device.
int RunInProcess(const std::string& arguments, const testing_support::TempDir& dir) {
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
    const int status = cli::Run(Words(arguments), &name);
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
    const int status = arguments.find(" >") != std::string::npos ? StartProgram(arguments, dir)
                                                                 : RunInProcess(arguments, dir);
    return {status, testing_support::ReadFile(dir.File("out")),
            testing_support::ReadFile(dir.File("err"))};
}

}  // namespace cli_testing
