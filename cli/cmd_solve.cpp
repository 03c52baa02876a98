// vantrel solve: a square linear system A x = b from a file or standard input.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cli.h"
#include "vantrel/linalg.h"

namespace {

std::string ReadAll(std::FILE* in) {
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, n);
    return text;
}

std::string ReadInput(const std::vector<std::string>& files) {
    if (files.size() > 1) throw cli::UsageError("unexpected argument '" + files[1] + "'");
    if (files.empty() || files[0] == "-") return ReadAll(stdin);
    std::FILE* in = std::fopen(files[0].c_str(), "rb");
    if (!in) throw cli::UsageError("cannot open '" + files[0] + "': " + std::strerror(errno));
    std::string text = ReadAll(in);
    std::fclose(in);
    return text;
}

// The whitespace-separated words of the input, with their line numbers; '#' starts a comment
// that runs to the end of its line.
class Words {
  public:
    explicit Words(std::string text) : text_(std::move(text)) {}

    // The next word, or false at the end of the input.
    bool Next(std::string& word, int& line) {
        for (;;) {
            while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
                line_ += text_[pos_++] == '\n';
            if (pos_ < text_.size() && text_[pos_] == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
                continue;
            }
            break;
        }
        if (pos_ >= text_.size()) return false;
        size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
               text_[pos_] != '#')
            ++pos_;
        word = text_.substr(start, pos_ - start);
        line = line_;
        return true;
    }

  private:
    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;
};

std::string AtLine(int line) {
    return "line " + std::to_string(line) + ": ";
}

int ParseOrder(Words& words) {
    std::string word;
    int line;
    if (!words.Next(word, line)) throw cli::UsageError("input is empty: expected the order n");
    errno = 0;
    char* end = nullptr;
    long n = std::strtol(word.c_str(), &end, 10);
    if (end != word.c_str() + word.size() || errno == ERANGE || n < 0 ||
        n > VANTREL_LINSOLVE_MAX_ORDER)
        throw cli::UsageError(AtLine(line) + "the order n: '" + word +
                              "' is not a whole number from 0 to " +
                              std::to_string(VANTREL_LINSOLVE_MAX_ORDER));
    return static_cast<int>(n);
}

float ParseElement(Words& words, const std::string& what, int n) {
    std::string word;
    int line;
    if (!words.Next(word, line))
        throw cli::UsageError("input ends before " + what + ": order " + std::to_string(n) +
                              " needs " + std::to_string(n) + " rows of " + std::to_string(n) +
                              " numbers, then " + std::to_string(n) + " numbers of b");
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size() || !std::isfinite(value))
        throw cli::UsageError(AtLine(line) + what + ": '" + word + "' is not a number");
    float narrowed = static_cast<float>(value);
    if (errno == ERANGE || !std::isfinite(narrowed))
        throw cli::UsageError(AtLine(line) + what + ": '" + word + "' is out of range");
    return narrowed;
}

const char* KindText(int kind) {
    switch (kind) {
        case VANTREL_SOLUTION_UNIQUE:
            return "1 (unique solution)";
        case VANTREL_SOLUTION_MANY:
            return "2 (singular, consistent: infinitely many solutions)";
        default:
            return "0 (singular, inconsistent: no solution)";
    }
}

int RunSolve(cli::Args& args) {
    Words words(ReadInput(args.Positional()));
    const int n = ParseOrder(words);

    std::vector<std::vector<float>> A(n, std::vector<float>());
    std::vector<float*> rows(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            A[i].push_back(ParseElement(
                words, "A[" + std::to_string(i + 1) + "][" + std::to_string(j + 1) + "]", n));
        rows[i] = A[i].data();
    }
    std::vector<float> b;
    for (int i = 0; i < n; ++i)
        b.push_back(ParseElement(words, "b[" + std::to_string(i + 1) + "]", n));
    std::string extra;
    int line;
    if (words.Next(extra, line))
        throw cli::UsageError(AtLine(line) + "unexpected '" + extra +
                              "' after the last number of b");

    std::vector<float> x(n);
    int kind = -1;
    short result = LinSolve(rows.data(), b.data(), n, x.data(), kind);
    if (result == VANTREL_ERR_NO_MEMORY)
        throw cli::Failure("not enough memory for a system of order " + std::to_string(n));

    if (result == VANTREL_ERR_SINGULAR) {
        std::printf("kind  singular (a row of A is all zero)\n");
        return cli::kExitOk;
    }
    if (kind == VANTREL_SOLUTION_UNIQUE) {
        cli::Table t;
        for (int i = 0; i < n; ++i) t.AddRow({"x" + std::to_string(i + 1), cli::Exact(x[i])});
        t.Print();
    }
    std::printf("kind  %s\n", KindText(kind));
    return cli::kExitOk;
}

const cli::Register kSolveCommand(
    {"solve", "solve a square linear system A x = b (LU decomposition)",
     "usage: vantrel solve [FILE]\n\n"
     "Solves the n-by-n system A x = b in single precision by LU decomposition with\n"
     "scaled partial pivoting. Reads FILE, or standard input when FILE is absent or '-':\n"
     "the order n, then the n rows of A (n numbers each), then the n numbers of b,\n"
     "separated by any white space; '#' starts a comment to the end of the line.\n\n"
     "Prints x (as many digits as needed to read each float back exactly) and the\n"
     "solution kind: 1 unique solution, 2 singular and consistent, 0 singular and\n"
     "inconsistent. For a singular system no x is printed.\n\n"
     "example: printf '2  0 1  1 0  2 3' | vantrel solve\n",
     RunSolve});

}  // namespace
