// Runs the command for the tests inside the test process, through the command's own code.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_helpers.h"
#if defined(_WIN32)
#include <io.h>
#else
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
    const int status = RunInProcess(Words(arguments), dir);
    return {status, testing_support::ReadFile(dir.File("out")),
            testing_support::ReadFile(dir.File("err"))};
}

}  // namespace cli_testing
