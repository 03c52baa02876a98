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

int RunProgress(const cli::Invocation& run) {
    const cli::Options& options = run.options;
    const cli::Format format = cli::FormatOf(options);
    int lower = 0, upper = 100;
    if (options.Has("--range")) {
        lower = ParseInt32(options.Values("--range")[0], "option --range LOWER");
        upper = ParseInt32(options.Values("--range")[1], "option --range UPPER");
    }
    const int width = static_cast<int>(options.Whole("--width", 200));
    const int height = static_cast<int>(options.Whole("--height", 20));
    const bool percent = !options.Has("--no-percent");
    const std::string png = options.Value("--png");
    const int pos = ParseInt32(cli::Expect(options.Operands(), {"POS"})[0], "argument POS");

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
    cli::RecordWriter(format, false, run.out)
        .Write(cli::Record()
                   .Integer("lower", "lower", lower)
                   .Integer("upper", "upper", upper)
                   .Integer("position", "position", pos)
                   .Integer("filled", "filled", painted.filled)
                   .Integer("width", "width", width)
                   .Integer("height", "height", height)
                   .Text("text", "", text)
                   .Json("text", cli::Json::TextOrNull(text))
                   .Text("png", "png", png)
                   .TableText(t.Text()));
    return cli::kExitOk;
}

const cli::Register kProgressCommand(
    {"progress",
     "paint the progress bar at a position and save it as PNG",
     {"progress POS"},
     {cli::FormatOption(),
      cli::Text("--range", {"LOWER", "UPPER"},
                "the range, whole numbers, LOWER not above UPPER (default 0 100)")
          .Check([](const std::vector<std::string>& v) {
              if (ParseInt32(v[0], "option --range LOWER") >
                  ParseInt32(v[1], "option --range UPPER"))
                  throw cli::UsageError("option --range: LOWER " + v[0] + " is above UPPER " +
                                        v[1]);
          }),
      cli::Whole("--width", "W", 1, kMaxSide, "width of the bar in pixels (default 200)"),
      cli::Whole("--height", "H", 1, kMaxSide, "height of the bar in pixels (default 20)"),
      cli::Flag("--no-percent", "paint no percentage over the bar"),
      cli::Text("--png", {"FILE"}, "the picture to write").Required()},
     "Paints the library's progress bar at position POS and saves the picture as a PNG\n"
     "file. The part up to the position is blue, the rest the 3-D face colour, and the\n"
     "percentage, POS * 100 / UPPER, is printed over the bar in white unless --no-percent.\n"
     "A position outside the range paints an empty bar without text.\n",
     "vantrel progress 25 --png bar.png",
     RunProgress});

}  // namespace
