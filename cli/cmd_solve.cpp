// vantrel solve: a square linear system A x = b from a file or standard input.
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "cli.h"
#include "input.h"
#include "vantrel/linalg.h"

namespace {

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

// Reads the system; every fault of the text is a Failure naming the input and the line.
class SystemReader {
  public:
    SystemReader(const std::string& name, std::string text)
        : name_(name), words_(std::move(text)) {}

    int Order() {
        const std::string word = Take("the order n");
        return static_cast<int>(Parse(
            [&] { return cli::ParseWhole(word, "the order n", 0, VANTREL_LINSOLVE_MAX_ORDER); }));
    }

    float Element(const std::string& what) {
        const std::string word = Take(what);
        return Parse([&] { return cli::ParseFloat(word, what); });
    }

    void ExpectEnd() {
        std::string extra;
        if (words_.Next(extra, line_))
            Fail("unexpected " + cli::Quoted(extra) + " after the last number of b");
    }

    void SetOrder(int n) { n_ = n; }

  private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw cli::Failure(name_ + ", line " + std::to_string(line_) + ": " + message);
    }

    std::string Take(const std::string& what) {
        std::string word;
        if (words_.Next(word, line_)) return word;
        const std::string n = std::to_string(n_);
        if (what == "the order n") throw cli::Failure(name_ + ": empty, expected the order n");
        throw cli::Failure(name_ + ": ends before " + what + ": order " + n + " needs " + n +
                           " rows of " + n + " numbers, then " + n + " numbers of b");
    }

    template <typename Parser>
    auto Parse(Parser parse) -> decltype(parse()) {
        try {
            return parse();
        } catch (const cli::UsageError& e) {
            Fail(e.what());
        }
    }

    std::string name_;
    Words words_;
    int line_ = 1;
    int n_ = 0;
};

const char* KindText(int kind) {
    switch (kind) {
        case VANTREL_SOLUTION_UNIQUE:
            return "unique solution";
        case VANTREL_SOLUTION_MANY:
            return "singular, consistent: infinitely many solutions";
        default:
            return "singular, inconsistent: no solution";
    }
}

int RunSolve(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const std::vector<std::string>& files = run.options.Operands();
    if (files.size() > 1) throw cli::UsageError("unexpected argument " + cli::Quoted(files[1]));
    const std::string path = files.empty() ? "-" : files[0];
    cli::RefuseStandardOutputOverInput({path});
    SystemReader reader(cli::InputName(path), cli::ReadInput(path));
    const int n = reader.Order();
    reader.SetOrder(n);

    std::vector<std::vector<float>> A(n, std::vector<float>());
    std::vector<float*> rows(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            A[i].push_back(
                reader.Element("A[" + std::to_string(i + 1) + "][" + std::to_string(j + 1) + "]"));
        rows[i] = A[i].data();
    }
    std::vector<float> b;
    for (int i = 0; i < n; ++i) b.push_back(reader.Element("b[" + std::to_string(i + 1) + "]"));
    reader.ExpectEnd();

    std::vector<float> x(n);
    int kind = -1;
    const short result = LinSolve(rows.data(), b.data(), n, x.data(), kind);
    if (result == VANTREL_ERR_NO_MEMORY)
        throw cli::Failure("not enough memory for a system of order " + std::to_string(n));

    cli::Record record;
    cli::Table table;
    const bool solved = result != VANTREL_ERR_SINGULAR && kind == VANTREL_SOLUTION_UNIQUE;
    for (int i = 0; solved && i < n; ++i) {
        const std::string name = "x" + std::to_string(i + 1);
        record.ExactNumber(name, name, x[i]);
        table.AddRow({name, record.Cell(name)});
    }
    // A zero row of A stops the solver before it can tell whether the system is consistent.
    const std::string text = result == VANTREL_ERR_SINGULAR
                                 ? "singular (a row of A is all zero)"
                                 : std::to_string(kind) + " (" + KindText(kind) + ")";
    record.Text("kind", "", text);
    record.Json("kind",
                result == VANTREL_ERR_SINGULAR ? cli::Json::Null() : cli::Json::Integer(kind));
    record.Json("solution",
                cli::Json::Text(result == VANTREL_ERR_SINGULAR ? "singular (a row of A is all zero)"
                                                               : KindText(kind)));
    cli::RecordWriter(format, false, run.out)
        .Write(record.TableText(table.Text() + "kind  " + text + "\n"));
    return cli::kExitOk;
}

const cli::Register kSolveCommand(
    {"solve",
     "solve a square linear system A x = b (LU decomposition)",
     {"solve [FILE|-]"},
     {cli::FormatOption()},
     "Solves the n-by-n system A x = b in single precision by LU decomposition with\n"
     "scaled partial pivoting. Reads FILE, or standard input when FILE is absent or '-':\n"
     "the order n (0 to 46340), then the n rows of A (n numbers each), then the n numbers\n"
     "of b, separated by any white space; '#' starts a comment to the end of the line.\n\n"
     "Prints x (as many digits as needed to read each float back exactly) and the\n"
     "solution kind: 1 unique solution, 2 singular and consistent, 0 singular and\n"
     "inconsistent, or 'singular' when a row of A is all zero (the solver stops there\n"
     "without telling whether the system is consistent). For a singular system no x is\n"
     "printed. A fault of the input (exit status 1) names the line.\n",
     "printf '2  0 1  1 0  2 3' | vantrel solve",
     RunSolve});

}  // namespace
