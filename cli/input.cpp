#include "input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli.h"
#include "system_files.h"

namespace cli {

namespace {

[[noreturn]] void FailToRead(const std::string& path, const char* what) {
    throw Failure(InputName(path) + ": " + what + " (" + std::strerror(errno) + ")");
}

// Reads `fd` to its end.
std::string ReadAll(int fd, const std::string& path) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) FailToRead(path, "cannot read");
        if (n == 0) return text;
        text.append(buffer, static_cast<size_t>(n));
    }
}

std::string Names(const std::vector<Operand>& operands) {
    std::string names;
    for (const Operand& o : operands) names += (names.empty() ? "" : " ") + std::string(o.name);
    return names;
}

}  // namespace

std::vector<std::string> SplitNumbers(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

std::string InputName(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

std::string ReadInput(const std::string& path) {
    if (path == "-") return ReadAll(STDIN_FILENO, path);
    const int fd = OpenFile(path, O_RDONLY);
    if (fd < 0 && IsDirectory(path)) throw Failure(path + ": is a directory, not a file");
    if (fd < 0) FailToRead(path, "cannot open");
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw Failure(path + ": is a directory, not a file");
    }
    std::string text;
    try {
        text = ReadAll(fd, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return text;
}

void RefuseOutputOverInput(const std::string& output, const std::string& option,
                           const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs)
        if (SameFile(output, input))
            throw UsageError("option " + option + ": " + Quoted(output) + " is the input " +
                             Quoted(input) + "; nothing written");
}

void RefuseStandardOutputOverInput(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (StandardOutputIs(input))
            throw UsageError("standard output is the input " + Quoted(input) +
                             " (a redirection may already have emptied it)");
    }
}

void ForEachInputLine(
    const std::function<void(const std::vector<std::string>& words, long line)>& each) {
    std::string line;
    for (long number = 1;; ++number) {
        if (!ReadLine(stdin, &line)) {
            if (std::ferror(stdin)) FailToRead("-", "cannot read");
            return;
        }
        const std::vector<std::string> words = SplitNumbers(line);
        if (words.empty()) continue;
        try {
            each(words, number);
        } catch (const std::exception& e) {
            throw Failure("standard input, line " + std::to_string(number) + ": " + e.what());
        }
    }
}

void ConvertSets(const Invocation& run, const std::vector<Operand>& operands,
                 const std::function<Record(const std::vector<double>&)>& convert,
                 bool doublePrecision) {
    const std::vector<std::string>& positional = run.options.Operands();
    const Format format = FormatOf(run.options);
    auto parse = [&](const std::vector<std::string>& words, const std::string& prefix) {
        std::vector<double> values;
        for (size_t i = 0; i < operands.size(); ++i) {
            const std::string what = prefix + operands[i].name;
            values.push_back(doublePrecision ? ParseDouble(words[i], what, operands[i].range)
                                             : ParseFloat(words[i], what, operands[i].range));
        }
        return values;
    };
    if (positional.size() == 1 && positional[0] == "-") {
        RecordWriter writer(format, true, run.out);
        ForEachInputLine([&](const std::vector<std::string>& words, long) {
            if (words.size() != operands.size())
                throw Failure("expected " + std::to_string(operands.size()) + " numbers (" +
                              Names(operands) + "), read " + std::to_string(words.size()));
            writer.Write(convert(parse(words, "")));
        });
        return;
    }
    if (positional.size() < operands.size())
        throw UsageError(std::string("missing argument ") + operands[positional.size()].name);
    if (positional.size() > operands.size())
        throw UsageError("unexpected argument " + Quoted(positional[operands.size()]));
    RecordWriter(format, false, run.out).Write(convert(parse(positional, "argument ")));
}

}  // namespace cli
