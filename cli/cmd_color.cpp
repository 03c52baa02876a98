// vantrel deltae | rgb | hsv: colour differences, RGB encodings and HSV.
#include <cmath>
#include <string>
#include <vector>

#include "cli.h"
#include "input.h"
#include "measure_common.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

// --- deltae -----------------------------------------------------------------------------------

int RunDeltae(const cli::Invocation& run) {
    const measure::MetricChoice metric = cli::MetricOf(run.options);
    // The metric's label, then its factors in short: "dE00 (1:1:1)", "dECMC (2:1)".
    std::string label = measure::MetricLabel(metric);
    auto g = [](double factor) { return cli::Exact(static_cast<float>(factor)); };
    if (metric.metric == measure::Metric::Ciede2000 || metric.metric == measure::Metric::Cie94)
        label += " (" + g(metric.kL) + ":" + g(metric.kC) + ":" + g(metric.kH) + ")";
    else if (metric.metric == measure::Metric::Cmc)
        label += " (" + g(metric.l) + ":" + g(metric.c) + ")";
    // CIEDE2000 takes the values in double precision, the library's other metrics in single.
    const bool ciede2000 = metric.metric == measure::Metric::Ciede2000;
    cli::ConvertSets(
        run, {{"L1"}, {"a1"}, {"b1"}, {"L2"}, {"a2"}, {"b2"}},
        [&](const std::vector<double>& v) {
            const std::array<double, 3> reference = {v[0], v[1], v[2]};
            const std::array<double, 3> sample = {v[3], v[4], v[5]};
            return cli::Record()
                .Number(label, "dE", measure::Difference(metric, reference, sample), 4)
                .Json("metric", cli::Json::Text(label));
        },
        ciede2000);
    return cli::kExitOk;
}

// --- rgb, hsv ---------------------------------------------------------------------------------

int RunRgb(const cli::Invocation& run) {
    const bool lab = run.options.Has("--lab");
    const float scale = cli::XyzScale(run.options);
    const bool srgb = run.options.Value("--space", "srgb") == "srgb";
    std::vector<cli::Operand> operands = {{"X"}, {"Y"}, {"Z"}};
    if (lab) operands = {{"L"}, {"a"}, {"b"}};
    cli::ConvertSets(run, operands, [&](const std::vector<double>& v) {
        float in[3] = {float(v[0]), float(v[1]), float(v[2])};
        float rgb[3];
        if (lab && srgb)
            LAB2SRGB(in[0], in[1], in[2], &rgb[0], &rgb[1], &rgb[2]);
        else if (lab)
            LAB2ColorMatchRGB(in[0], in[1], in[2], &rgb[0], &rgb[1], &rgb[2]);
        else if (srgb)
            XYZ2SRGB(in[0] / scale, in[1] / scale, in[2] / scale, &rgb[0], &rgb[1], &rgb[2]);
        else
            XYZ2ColorMatchRGB(in[0] / scale, in[1] / scale, in[2] / scale, &rgb[0], &rgb[1],
                              &rgb[2]);
        const char* channels[3] = {"R", "G", "B"};
        cli::Record record;
        cli::Table table;
        for (int i = 0; i < 3; ++i) record.Number(channels[i], channels[i], rgb[i], 6);
        for (int i = 0; i < 3; ++i) {
            const double levels = std::round(static_cast<double>(rgb[i]) * 255.0);
            record.Number(channels[i] + std::string("255"), channels[i] + std::string("255"),
                          levels, 0);
            table.AddRow({channels[i], record.Cell(channels[i]),
                          record.Cell(channels[i] + std::string("255"))});
        }
        return record.TableText(table.Text());
    });
    return cli::kExitOk;
}

int RunHsv(const cli::Invocation& run) {
    const std::vector<cli::Operand> operands = {
        {"R", cli::kNonNegative}, {"G", cli::kNonNegative}, {"B", cli::kNonNegative}};
    cli::ConvertSets(run, operands, [](const std::vector<double>& v) {
        float H, S, V;
        RGB2HSV(float(v[0]), float(v[1]), float(v[2]), &H, &S, &V);
        return cli::Record()
            .Number("H (degrees)", "H", H, 4)
            .Number("S", "S", S, 4)
            .Number("V", "V", V, 4);
    });
    return cli::kExitOk;
}

const cli::Register kDeltaeCommand(
    {"deltae",
     "colour difference of two L*a*b* colours (dE00, dE94, CMC, dE*ab)",
     {"deltae L1 a1 b1 L2 a2 b2|-"},
     [] {
         std::vector<cli::Option> options = {cli::FormatOption()};
         for (const cli::Option& o : cli::MetricOptions()) options.push_back(o);
         return options;
     }(),
     "The colour difference of a sample (L2 a2 b2) from a reference (L1 a1 b1), both\n"
     "CIE L*a*b*. The reference comes first: dE94 and CMC weight the difference by its\n"
     "chroma (and CMC by its lightness and hue), so swapping the colours changes them;\n"
     "CIEDE2000 and dE*ab are symmetric. With '-' in place of the six numbers, reads one\n"
     "pair per line of standard input.\n",
     "vantrel deltae 50 2.6772 -79.7751 50 0 -82.7485",
     RunDeltae});

const cli::Register kRgbCommand(
    {"rgb",
     "D50 XYZ or L*a*b* to sRGB or ColorMatch RGB",
     {"rgb X Y Z|-", "rgb --lab L a b|-"},
     {cli::FormatOption(), cli::Flag("--lab", "the colour is CIE L*a*b*, not XYZ"),
      cli::ScaleOption().Excludes("--lab", "applies to XYZ, not to --lab"),
      cli::Choice("--space", {"srgb", "colormatch"},
                  "sRGB (default, gamma 2.2) or ColorMatch RGB (gamma 1.8)")},
     "Encodes a colour relative to D50 as gamma-encoded RGB: XYZ on the percent scale\n"
     "(white Y = 100; --scale unit for Y = 1), or with --lab CIE L*a*b*. Linear RGB is\n"
     "clipped to 0..1 and raised to 1 / gamma with no linear segment near black. Prints\n"
     "each channel in 0..1 and rounded to 0..255. With '-' in place of the numbers, reads\n"
     "one colour per line of standard input.\n",
     "vantrel rgb 41.24 21.26 1.93",
     RunRgb});

const cli::Register kHsvCommand(
    {"hsv",
     "RGB to hue, saturation and value",
     {"hsv R G B|-"},
     {cli::FormatOption()},
     "Converts RGB in any scale (0..1 or 0..255; each component 0 or more) to hue in\n"
     "degrees (0 to 360), saturation (0..1) and value (the largest component, in the scale\n"
     "of the input). Black and greys have hue 0. With '-' in place of R G B, reads one\n"
     "colour per line of standard input.\n",
     "vantrel hsv 255 128 0",
     RunHsv});

}  // namespace
