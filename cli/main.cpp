// vantrel: colour-management utilities on the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cli.h"
#include "system_files.h"

int main(int argc, char** argv) {
    cli::UseBinaryStandardStreams();
    std::vector<std::string> arguments = cli::Utf8Arguments(argc, argv);
    if (!arguments.empty()) arguments.erase(arguments.begin());  // the command's own name
    std::string name;
    const int status = cli::Run(std::move(arguments), &name);
    // A full disk or a closed pipe must not pass for success: whatever standard output still
    // buffers is written and the stream closed, and any failure on the way is reported.
    errno = 0;
    bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    int error = errno;
    if (std::fclose(stdout) != 0) {
        failed = true;
        if (!error) error = errno;
    }
    if (failed) {
        std::fprintf(stderr, "vantrel%s%s: cannot write standard output%s%s\n",
                     name.empty() ? "" : " ", name.c_str(), error ? ": " : "",
                     error ? std::strerror(error) : "");
        return cli::kExitFailure;
    }
    return status;
}
