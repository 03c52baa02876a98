// vantrel progress: paints the library's progress bar and saves it as a PNG picture.
#include <climits>
#include <string>

#include "cli.h"
#include "vantrel/dialog.h"

namespace {

constexpr int kMaxSide = 4096;  // pixels

int ParseInt32(const std::string& text, const std::string& what) {
    long value = cli::ParseInt(text, what);
    if (value < INT_MIN || value > INT_MAX)
        throw cli::UsageError("argument " + what + ": '" + text + "' is out of range");
    return static_cast<int>(value);
}

int ParseSide(cli::Args& args, const char* option, const char* what, int fallback) {
    auto values = args.Option(option, 1);
    if (values.empty()) return fallback;
    int side = ParseInt32(values[0], what);
    if (side < 1 || side > kMaxSide)
        throw cli::UsageError(std::string("argument ") + what + ": '" + values[0] +
                              "' is not between 1 and " + std::to_string(kMaxSide));
    return side;
}

// What the last paint of the bar shows: the progress-coloured pixels from the left of the top
// row, and the text drawn, if any.
struct Painted {
    int filled = 0;
    std::wstring text;
};

Painted Repaint(CCustomProgressCtrl& bar, int width) {
    vplatform::ClearDrawLog(bar.m_hWnd);
    bar.Invalidate(TRUE);
    bar.UpdateWindow();
    Painted painted;
    vplatform::Surface surface = vplatform::GetSurface(bar.m_hWnd);
    while (painted.filled < width && surface.at(painted.filled, 0) == bar.GetProgressColor())
        ++painted.filled;
    for (const auto& call : vplatform::GetDrawLog(bar.m_hWnd))
        if (call.op == vplatform::DrawOp::DrawText) painted.text = call.text;
    return painted;
}

int RunProgress(cli::Args& args) {
    int lower = 0, upper = 100;
    auto range = args.Option("--range", 2);
    if (!range.empty()) {
        lower = ParseInt32(range[0], "LOWER");
        upper = ParseInt32(range[1], "UPPER");
    }
    const int width = ParseSide(args, "--width", "W", 200);
    const int height = ParseSide(args, "--height", "H", 20);
    const bool percent = !args.Flag("--no-percent");
    const std::string png = args.OptionValue("--png", "");
    const int pos = ParseInt32(args.Expect({"POS"})[0], "POS");
    if (png.empty()) throw cli::UsageError("missing option --png FILE");

    CCustomProgressCtrl bar;
    bar.Attach(vplatform::CreateWindow(vplatform::WindowKind::Progress, nullptr, 1, width, height));
    bar.ShowPercent(percent);
    bar.SetRange(lower, upper);
    bar.SetPos(pos);
    Painted painted = Repaint(bar, width);
    if (!vplatform::SaveSurfacePng(bar.m_hWnd, png.c_str()))
        throw cli::Failure("cannot write '" + png + "'");

    const bool inside = pos >= lower && pos <= upper;
    cli::Table t;
    t.AddRow({"range", std::to_string(lower) + " to " + std::to_string(upper)});
    t.AddRow({"position", std::to_string(pos) + (inside ? "" : " (outside the range)")});
    t.AddRow(
        {"filled", std::to_string(painted.filled) + " of " + std::to_string(width) + " pixels"});
    t.AddRow({"text", painted.text.empty()
                          ? "none"
                          : std::string(painted.text.begin(), painted.text.end())});
    t.AddRow({"png", png + " (" + std::to_string(width) + " x " + std::to_string(height) + ")"});
    t.Print();
    return cli::kExitOk;
}

const cli::Register kProgressCommand(
    {"progress", "paint the progress bar at a position and save it as PNG",
     "usage: vantrel progress POS [--range LOWER UPPER] [--width W --height H] [--no-percent]\n"
     "                        --png FILE\n\n"
     "Paints the library's progress bar at position POS and saves the picture as a PNG\n"
     "file. The range is 0 to 100 unless --range gives it; the bar is W by H pixels\n"
     "(200 by 20 unless given, at most 4096 each). The part up to the position is blue,\n"
     "the rest the 3-D face colour, and the percentage, POS * 100 / UPPER, is printed over\n"
     "the bar in white unless --no-percent. A position outside the range paints an empty\n"
     "bar without text.\n\n"
     "example: vantrel progress 25 --png bar.png\n",
     RunProgress});

}  // namespace
