// vantrel progress: paints the library's progress bar and saves it as a PNG picture.
#include <climits>
#include <string>

#include "cli.h"
#include "text_codec.h"
#include "vantrel/dialog.h"

namespace {

constexpr int kMaxSide = 4096;  // pixels

int ParseInt32(const std::string& text, const std::string& what) {
    return static_cast<int>(cli::ParseWhole(text, what, INT_MIN, INT_MAX));
}

int ParseSide(cli::Args& args, const char* option, int fallback) {
    auto values = args.Option(option, 1);
    if (values.empty()) return fallback;
    return static_cast<int>(
        cli::ParseWhole(values[0], std::string("option ") + option, 1, kMaxSide));
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
    const cli::Format format = cli::TakeFormat(args);
    int lower = 0, upper = 100;
    auto range = args.Option("--range", 2);
    if (!range.empty()) {
        lower = ParseInt32(range[0], "option --range LOWER");
        upper = ParseInt32(range[1], "option --range UPPER");
        if (lower > upper)
            throw cli::UsageError("option --range: LOWER " + range[0] + " is above UPPER " +
                                  range[1]);
    }
    const int width = ParseSide(args, "--width", 200);
    const int height = ParseSide(args, "--height", 20);
    const bool percent = !args.Flag("--no-percent");
    const std::string png = args.OptionValue("--png", "");
    const int pos = ParseInt32(args.Expect({"POS"})[0], "argument POS");
    if (png.empty()) throw cli::UsageError("missing option --png FILE");

    CCustomProgressCtrl bar;
    bar.Attach(vplatform::CreateWindow(vplatform::WindowKind::Progress, nullptr, 1, width, height));
    bar.ShowPercent(percent);
    bar.SetRange(lower, upper);
    bar.SetPos(pos);
    Painted painted = Repaint(bar, width);
    if (!vplatform::SaveSurfacePng(bar.m_hWnd, png.c_str()))
        throw cli::Failure(png + ": cannot write the picture");

    const bool inside = pos >= lower && pos <= upper;
    const std::string text = cli::Utf8FromWide(painted.text);
    cli::Table t;
    t.AddRow({"range", std::to_string(lower) + " to " + std::to_string(upper)});
    t.AddRow({"position", std::to_string(pos) + (inside ? "" : " (outside the range)")});
    t.AddRow(
        {"filled", std::to_string(painted.filled) + " of " + std::to_string(width) + " pixels"});
    t.AddRow({"text", text.empty() ? "none" : text});
    t.AddRow({"png", png + " (" + std::to_string(width) + " x " + std::to_string(height) + ")"});
    cli::RecordWriter(format, false)
        .Write(cli::Record()
                   .Integer("lower", "lower", lower)
                   .Integer("upper", "upper", upper)
                   .Integer("position", "position", pos)
                   .Integer("filled", "filled", painted.filled)
                   .Integer("width", "width", width)
                   .Integer("height", "height", height)
                   .Text("text", "", text)
                   .Json("text", text.empty() ? "null" : cli::JsonString(text))
                   .Text("png", "png", png)
                   .TableText(t.Text()));
    return cli::kExitOk;
}

const cli::Register kProgressCommand(
    {"progress", "paint the progress bar at a position and save it as PNG",
     "usage: vantrel progress POS [--range LOWER UPPER] [--width W --height H] [--no-percent]\n"
     "                        --png FILE [--format table|csv|json]\n\n"
     "Paints the library's progress bar at position POS and saves the picture as a PNG\n"
     "file. The range is 0 to 100 unless --range gives it (whole numbers, LOWER not above\n"
     "UPPER); the bar is W by H pixels (200 by 20 unless given, 1 to 4096 each). The part\n"
     "up to the position is blue, the rest the 3-D face colour, and the percentage,\n"
     "POS * 100 / UPPER, is printed over the bar in white unless --no-percent. A position\n"
     "outside the range paints an empty bar without text.\n\n"
     "example: vantrel progress 25 --png bar.png\n",
     RunProgress});

}  // namespace
