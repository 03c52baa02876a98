// vantrel deltae | rgb | hsv | spectrum | adapt: colour differences, RGB encodings, HSV,
// spectra and densities, chromatic adaptation.
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "cli.h"
#include "input.h"
#include "measure_options.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

// --- deltae -----------------------------------------------------------------------------------

int RunDeltae(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const measure::MetricChoice metric = cli::ParseMetric(args);
    std::string label = measure::MetricLabel(metric);
    auto g = [](double factor) { return cli::Exact(static_cast<float>(factor)); };
    if (metric.metric == measure::Metric::Ciede2000 || metric.metric == measure::Metric::Cie94)
        label += " (" + g(metric.kL) + ":" + g(metric.kC) + ":" + g(metric.kH) + ")";
    else if (metric.metric == measure::Metric::Cmc)
        label = "dE CMC (" + g(metric.l) + ":" + g(metric.c) + ")";
    // CIEDE2000 takes the values in double precision, the library's other metrics in single.
    const bool ciede2000 = metric.metric == measure::Metric::Ciede2000;
    cli::ConvertSets(
        args.Positional(), {{"L1"}, {"a1"}, {"b1"}, {"L2"}, {"a2"}, {"b2"}}, format,
        [&](const std::vector<double>& v) {
            const std::array<double, 3> reference = {v[0], v[1], v[2]};
            const std::array<double, 3> sample = {v[3], v[4], v[5]};
            return cli::Record()
                .Number(label, "dE", measure::Difference(metric, reference, sample), 4)
                .Json("metric", cli::JsonString(label));
        },
        ciede2000);
    return cli::kExitOk;
}

// --- rgb, hsv ---------------------------------------------------------------------------------

int RunRgb(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const bool lab = args.Flag("--lab");
    if (lab && !cli::Args(args).Option("--scale", 1).empty())
        throw cli::UsageError("option --scale applies to XYZ, not to --lab");
    const float scale = cli::TakeXyzScale(args);
    const std::string space = args.OptionValue("--space", "srgb");
    if (space != "srgb" && space != "colormatch")
        throw cli::UsageError("option --space: " + cli::Quoted(space) +
                              " is not srgb or colormatch");
    const bool srgb = space == "srgb";
    std::vector<cli::Operand> operands = {{"X"}, {"Y"}, {"Z"}};
    if (lab) operands = {{"L"}, {"a"}, {"b"}};
    cli::ConvertSets(args.Positional(), operands, format, [&](const std::vector<double>& v) {
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

int RunHsv(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const std::vector<cli::Operand> operands = {
        {"R", cli::kNonNegative}, {"G", cli::kNonNegative}, {"B", cli::kNonNegative}};
    cli::ConvertSets(args.Positional(), operands, format, [](const std::vector<double>& v) {
        float H, S, V;
        RGB2HSV(float(v[0]), float(v[1]), float(v[2]), &H, &S, &V);
        return cli::Record()
            .Number("H (degrees)", "H", H, 4)
            .Number("S", "S", S, 4)
            .Number("V", "V", V, 4);
    });
    return cli::kExitOk;
}

// --- spectrum ---------------------------------------------------------------------------------

constexpr int kSamples = 31;  // 400 to 700 nm in 10 nm steps

// The 31 values as written, from the arguments or standard input; a problem with standard
// input is bad data (exit 1), with the arguments bad usage.
std::vector<float> ReadSpectrum(std::vector<std::string> words, int* decimals) {
    const bool fromInput = words.empty() || (words.size() == 1 && words[0] == "-");
    if (fromInput) words = cli::SplitNumbers(cli::ReadInput("-"));
    try {
        if (words.size() != kSamples)
            throw cli::UsageError("expected 31 reflectance values (400 to 700 nm), read " +
                                  std::to_string(words.size()));
        std::vector<float> values;
        *decimals = 0;
        for (int k = 0; k < kSamples; ++k) {
            const std::string& word = words[static_cast<size_t>(k)];
            values.push_back(cli::ParseFloat(word, std::to_string(400 + 10 * k) + " nm"));
            *decimals = std::max(*decimals, measure::DecimalsWritten(word));
        }
        return values;
    } catch (const cli::UsageError& e) {
        if (fromInput) throw cli::Failure(std::string("standard input: ") + e.what());
        throw;
    }
}

int RunSpectrum(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const measure::Integration integration = cli::ParseIntegration(args);
    const float scale = cli::TakeXyzScale(args);
    const bool percent = args.Flag("--percent"), factors = args.Flag("--factors");
    if (percent && factors)
        throw cli::UsageError("options --percent and --factors exclude each other");
    int decimals = 0;
    std::vector<float> values = ReadSpectrum(args.Positional(), &decimals);

    // Percent reflectance or factors: as told, or decided as measure decides from data.
    measure::ScaleDecision decision =
        measure::ScaleFromData(values.data(), values.size(), decimals);
    if (percent || factors)
        decision = {percent ? measure::SpectralScale::Percent : measure::SpectralScale::Factors,
                    measure::ScaleBasis::Told, percent ? "--percent" : "--factors"};

    // One patch of 400 to 700 nm, integrated as a measurement file's would be.
    measure::MeasurementSet set;
    set.source = measure::ColourSource::Spectrum;
    set.firstNm = 400;
    set.lastNm = 700;
    set.scale = decision;
    set.patches.resize(1);
    set.spectra = values;
    const measure::Colour c = measure::Colours(set, integration)[0];
    const measure::Densities measured = measure::DensitiesOf(set, 0);
    const float* t = measured.statusT.data();
    const float* i = measured.statusI.data();
    const std::string description = measure::DescribeColour(set, integration);

    const int xyzDecimals = scale == 1.0f ? 6 : 4;
    cli::Record record;
    const char* xyzNames[3] = {"X", "Y", "Z"};
    const char* labNames[3][2] = {{"L*", "L"}, {"a*", "a"}, {"b*", "b"}};
    for (int k = 0; k < 3; ++k)
        record.Number(xyzNames[k], xyzNames[k], float(c.xyz[k]) * (scale / 100.0f), xyzDecimals);
    for (int k = 0; k < 3; ++k) record.Number(labNames[k][0], labNames[k][1], float(c.lab[k]), 4);
    const char* densityNames[4] = {"vis", "red", "green", "blue"};
    for (int k = 0; k < 4; ++k)
        record.Number(std::string("T_") + densityNames[k], std::string("T_") + densityNames[k],
                      t[k], 4);
    for (int k = 0; k < 4; ++k)
        record.Number(std::string("I_") + densityNames[k], std::string("I_") + densityNames[k],
                      i[k], 4);
    record.Json("colour", cli::JsonString(description));

    cli::Table colour;
    for (const char* name : {"X", "Y", "Z", "L*", "a*", "b*"})
        colour.AddRow({name, record.Cell(name)});
    cli::Table densities;
    densities.AddRow({"density", "visual", "red", "green", "blue"});
    for (const char* status : {"T", "I"}) {
        std::vector<std::string> row = {std::string("Status ") + status};
        for (const char* name : densityNames)
            row.push_back(record.Cell(std::string(status) + "_" + name));
        densities.AddRow(row);
    }
    record.TableText(description + "\n\n" + colour.Text() + "\n" + densities.Text());
    cli::RecordWriter(format, false).Write(record);
    return cli::kExitOk;
}

// --- adapt ------------------------------------------------------------------------------------

struct NamedWhite {
    const char* name;
    float xyz[3];
};

// Unit scale (Y = 1), CIE 1931 2-degree observer.
const NamedWhite kWhites[] = {
    {"D50", {0.9642f, 1.0f, 0.8249f}}, {"D55", {0.9568f, 1.0f, 0.9214f}},
    {"D65", {0.9505f, 1.0f, 1.0888f}}, {"D75", {0.9497f, 1.0f, 1.2264f}},
    {"A", {1.0985f, 1.0f, 0.3558f}},   {"E", {1.0f, 1.0f, 1.0f}},
};

const NamedWhite* FindWhite(const std::string& name) {
    for (const NamedWhite& w : kWhites)
        if (name == w.name) return &w;
    return nullptr;
}

// --from / --to take a white's name or its X Y Z on the colour's scale; the white is returned
// on the unit scale.
void TakeWhite(cli::Args& args, const char* option, float scale, float* white) {
    cli::Args probe = args;  // look at the first value without consuming anything
    auto first = probe.Option(option, 1);
    if (first.empty()) throw cli::UsageError(std::string("missing option ") + option);
    if (const NamedWhite* named = FindWhite(first[0])) {
        args.Option(option, 1);
        for (int i = 0; i < 3; ++i) white[i] = named->xyz[i];
        return;
    }
    if (std::isalpha(static_cast<unsigned char>(first[0][0])))
        throw cli::UsageError(std::string("option ") + option + ": unknown white " +
                              cli::Quoted(first[0]) + " (D50, D55, D65, D75, A, E or X Y Z)");
    const auto values = args.Option(option, 3);
    const char* components[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i)
        white[i] = cli::ParseFloat(values[i], std::string("option ") + option + " " + components[i],
                                   cli::kPositive) /
                   scale;
}

struct NamedMethod {
    const char* name;
    EChromaticAdaptationAlgorithm algorithm;
};

const NamedMethod kMethods[] = {
    {"scaling", CA_XYZScaling},
    {"vonkries", CA_VonKries},
    {"bradford", CA_Bradford},
    {"equienergy", CA_EquiEnergyVonKries},
    {"linear-bradford", CA_LinearBradford},
};

int RunAdapt(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const float scale = cli::TakeXyzScale(args);
    float source[3], destination[3];
    TakeWhite(args, "--from", scale, source);
    TakeWhite(args, "--to", scale, destination);
    const std::string method = args.OptionValue("--method", "linear-bradford");
    const NamedMethod* chosen = nullptr;
    for (const NamedMethod& m : kMethods)
        if (method == m.name) chosen = &m;
    if (!chosen)
        throw cli::UsageError("option --method: " + cli::Quoted(method) +
                              " is not scaling, vonkries, bradford, equienergy or "
                              "linear-bradford");
    const int decimals = scale == 1.0f ? 6 : 4;
    cli::ConvertSets(
        args.Positional(), {{"X"}, {"Y"}, {"Z"}}, format, [&](const std::vector<double>& v) {
            // The library adapts unit-scale colours.
            float colour[3] = {float(v[0]) / scale, float(v[1]) / scale, float(v[2]) / scale};
            ChromaticAdapt(source, destination, colour, 1, chosen->algorithm);
            return cli::Record()
                .Number("X", "X", colour[0] * scale, decimals)
                .Number("Y", "Y", colour[1] * scale, decimals)
                .Number("Z", "Z", colour[2] * scale, decimals);
        });
    return cli::kExitOk;
}

const cli::Register kDeltaeCommand(
    {"deltae", "colour difference of two L*a*b* colours (dE00, dE94, CMC, dE*ab)",
     "usage: vantrel deltae L1 a1 b1 L2 a2 b2|- [--metric 2000|94|cmc|ab]\n"
     "                      [--kl K --kc K --kh K] [--l L --c C] [--format table|csv|json]\n\n"
     "The colour difference of a sample (L2 a2 b2) from a reference (L1 a1 b1), both\n"
     "CIE L*a*b*. The reference comes first: dE94 and CMC weight the difference by its\n"
     "chroma (and CMC by its lightness and hue), so swapping the colours changes them;\n"
     "CIEDE2000 and dE*ab are symmetric. With '-' in place of the six numbers, reads one\n"
     "pair per line of standard input.\n\n"
     "  --metric 2000  CIEDE2000 with the factors --kl, --kc, --kh (each 1 by default),\n"
     "                 computed in double precision (default)\n"
     "  --metric 94    CIE 1994 with the factors --kl, --kc, --kh (each 1 by default)\n"
     "  --metric cmc   CMC l:c with the factors --l (default 2) and --c (default 1)\n"
     "  --metric ab    CIE 1976 dE*ab, the Euclidean distance\n"
     "Each factor must be above 0.\n\n"
     "example: vantrel deltae 50 2.6772 -79.7751 50 0 -82.7485\n",
     RunDeltae});

const cli::Register kRgbCommand(
    {"rgb", "D50 XYZ or L*a*b* to sRGB or ColorMatch RGB",
     "usage: vantrel rgb X Y Z|- [--scale percent|unit] [--space srgb|colormatch]\n"
     "       vantrel rgb --lab L a b|- [--space srgb|colormatch]\n"
     "       [--format table|csv|json]\n\n"
     "Encodes a colour relative to D50 as gamma-encoded RGB: XYZ on the percent scale\n"
     "(white Y = 100; --scale unit for Y = 1), or with --lab CIE L*a*b*. Linear RGB is\n"
     "clipped to 0..1 and raised to 1 / gamma with no linear segment near black: sRGB\n"
     "(default) gamma 2.2, ColorMatch RGB gamma 1.8. Prints each channel in 0..1 and\n"
     "rounded to 0..255. With '-' in place of the numbers, reads one colour per line of\n"
     "standard input.\n\n"
     "example: vantrel rgb 41.24 21.26 1.93\n",
     RunRgb});

const cli::Register kHsvCommand(
    {"hsv", "RGB to hue, saturation and value",
     "usage: vantrel hsv R G B|- [--format table|csv|json]\n\n"
     "Converts RGB in any scale (0..1 or 0..255; each component 0 or more) to hue in\n"
     "degrees (0 to 360), saturation (0..1) and value (the largest component, in the scale\n"
     "of the input). Black and greys have hue 0. With '-' in place of R G B, reads one\n"
     "colour per line of standard input.\n\n"
     "example: vantrel hsv 255 128 0\n",
     RunHsv});

const cli::Register kSpectrumCommand(
    {"spectrum", "reflectance spectrum to XYZ, L*a*b* and densities",
     "usage: vantrel spectrum [R400 R410 ... R700 | -] [--percent | --factors]\n"
     "                        [--illuminant ILL] [--observer 2|10] [--scale percent|unit]\n"
     "                        [--format table|csv|json]\n\n"
     "Integrates a reflectance spectrum, 31 values at 400 to 700 nm in 10 nm steps, into\n"
     "XYZ (percent scale unless --scale unit) and L*a*b*, and prints its Status T and\n"
     "Status I densities (visual, red, green, blue). The values are reflectance factors\n"
     "(0..1) with --factors, percent reflectance (0..100) with --percent; without either\n"
     "they are read as measure reads a file's spectra: percent when any value is above\n"
     "1.5, factors otherwise, and the first line says which was guessed. It also says how\n"
     "the spectrum was integrated: by default with the library's D50 table (2 degree\n"
     "observer), L*a*b* relative to D50; with --illuminant (D50, D65, A, C, F2, F7 or\n"
     "F11) or --observer (2 or 10) with the CIE colour-matching functions weighted by the\n"
     "illuminant's spectrum, L*a*b* relative to the perfect reflector under them (see\n"
     "'vantrel measure --help'). The values come from the arguments or, when there are\n"
     "none or '-', from standard input, separated by blanks, commas or line breaks. Any\n"
     "other count than 31 is an error (exit status 2 for arguments, 1 for standard input).\n\n"
     "example: vantrel spectrum --illuminant D65 < patch.txt\n",
     RunSpectrum});

const cli::Register kAdaptCommand(
    {"adapt", "chromatic adaptation of an XYZ colour between two whites",
     "usage: vantrel adapt X Y Z|- --from WHITE --to WHITE [--method METHOD]\n"
     "                     [--scale percent|unit] [--format table|csv|json]\n\n"
     "Adapts the XYZ of a colour seen under the white --from to the white --to. XYZ is on\n"
     "the percent scale (white Y = 100) unless --scale unit (Y = 1). WHITE is X Y Z on the\n"
     "colour's scale (each above 0), or one of these names (2-degree observer, Y = 100):\n"
     "  D50  96.42 100 82.49      D55  95.68 100 92.14      D65  95.05 100 108.88\n"
     "  D75  94.97 100 122.64     A    109.85 100 35.58     E    100 100 100\n"
     "With '-' in place of X Y Z, reads one colour per line of standard input.\n\n"
     "METHOD:\n"
     "  scaling          X, Y, Z each scaled by the ratio of the whites\n"
     "  vonkries         von Kries in Hunt-Pointer-Estevez cone space\n"
     "  bradford         Bradford with the non-linear blue response\n"
     "  equienergy       von Kries in the equal-energy cone space; clips to 0..100\n"
     "                   (0..1 on the unit scale)\n"
     "  linear-bradford  Bradford without the blue non-linearity (default)\n"
     "With bradford and linear-bradford a colour whose Y is below 0.01 (0.0001 on the unit\n"
     "scale) becomes 0.\n\n"
     "example: vantrel adapt 41.24 21.26 1.93 --from D65 --to D50\n",
     RunAdapt});

}  // namespace
