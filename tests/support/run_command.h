// Runs the vantrel command in a child process and captures what it printed.
#pragma once

#include <sys/wait.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/files.h"

namespace testing_support {

struct CommandResult {
    int status = -1;  // exit status
    std::string out;  // standard output
    std::string err;  // standard error
};

// `arguments` is appended to the command line as it stands (quote it yourself); `input`, when
// given, is fed to standard input.
inline CommandResult RunVantrel(const std::string& arguments, const std::string& input = "") {
    char dir[] = "/tmp/vantrel-cli-XXXXXX";
    CommandResult result;
    if (!mkdtemp(dir)) return result;
    std::string base = dir;
    std::string in = base + "/in", out = base + "/out", err = base + "/err";
    if (std::FILE* f = std::fopen(in.c_str(), "wb")) {
        std::fwrite(input.data(), 1, input.size(), f);
        std::fclose(f);
    }
    // In a build for another processor the launcher is the emulator's command line (empty
    // otherwise).
    std::string line = std::string(VANTREL_CLI_LAUNCHER) + "'" + VANTREL_CLI + "' " + arguments +
                       " <'" + in + "' >'" + out + "' 2>'" + err + "'";
    int raw = std::system(line.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    std::remove(in.c_str());
    std::remove(out.c_str());
    std::remove(err.c_str());
    rmdir(dir);
    return result;
}

inline int CountLines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

}  // namespace testing_support
