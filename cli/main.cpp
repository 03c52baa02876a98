// vantrel: colour-management utilities on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"
#include "version.h"

namespace {

void PrintOverview(std::FILE* out) {
    std::fprintf(out,
                 "usage: vantrel COMMAND [ARGS...]\n"
                 "       vantrel COMMAND --help\n\n"
                 "Colour-management utilities: conversions, colour differences, encodings,\n"
                 "chromatic adaptation, solvers, preference files, names and dialogs.\n\n"
                 "Commands:\n");
    size_t width = 0;
    for (const auto& c : cli::Commands()) width = std::max(width, std::strlen(c.name));
    for (const auto& c : cli::Commands())
        std::fprintf(out, "  %-*s  %s\n", static_cast<int>(width), c.name, c.summary);
    std::fprintf(
        out,
        "\nExample:\n"
        "  $ vantrel lab 41.24 21.26 1.93\n"
        "  XYZ to L*a*b*: the XYZ of an sRGB red on the percent scale, relative to D50.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintOverview(stdout);
        return cli::kExitOk;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintOverview(stdout);
        return cli::kExitOk;
    }
    if (name == "--version") {
        std::printf("vantrel %s\n", cli::kVersion);
        return cli::kExitOk;
    }
    const cli::Command* command = nullptr;
    for (const auto& c : cli::Commands())
        if (name == c.name) command = &c;
    if (!command) {
        std::fprintf(stderr, "vantrel: unknown command '%s' (see 'vantrel --help')\n",
                     name.c_str());
        return cli::kExitUsage;
    }
    std::vector<std::string> words(argv + 2, argv + argc);
    for (const std::string& word : words)
        if (word == "--help" || word == "-h") {
            std::fputs(command->help, stdout);
            return cli::kExitOk;
        }
    cli::Args args(name, std::move(words));
    try {
        int status = command->run(args);
        // A full disk or a closed pipe must not pass for success.
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "vantrel %s: cannot write standard output\n", name.c_str());
            return cli::kExitFailure;
        }
        return status;
    } catch (const cli::UsageError& e) {
        std::fprintf(stderr, "vantrel %s: %s (see 'vantrel %s --help')\n", name.c_str(), e.what(),
                     name.c_str());
        return cli::kExitUsage;
    } catch (const cli::Failure& e) {
        std::fprintf(stderr, "vantrel %s: %s\n", name.c_str(), e.what());
        return cli::kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrel %s: %s\n", name.c_str(), e.what());
        return cli::kExitFailure;
    }
}
