// vantrel deltae | rgb | hsv | spectrum | adapt: colour differences, RGB encodings, HSV,
// spectra and densities, chromatic adaptation.
#include <array>
#include <cctype>
#include <cmath>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "cli.h"
#include "measure_options.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

// --- deltae -----------------------------------------------------------------------------------

int RunDeltae(cli::Args& args) {
    namespace measure = vantrel::measure;
    const measure::MetricChoice metric = cli::ParseMetric(args);
    auto v = args.Expect({"L1", "a1", "b1", "L2", "a2", "b2"});
    const char* names[6] = {"L1", "a1", "b1", "L2", "a2", "b2"};
    // CIEDE2000 takes the values in double precision, the library's other metrics in single.
    std::array<double, 3> lab[2];
    for (int i = 0; i < 6; ++i)
        lab[i / 3][i % 3] = metric.metric == measure::Metric::Ciede2000
                                ? cli::ParseDouble(v[i], names[i])
                                : cli::ParseFloat(v[i], names[i]);

    std::string label = measure::MetricLabel(metric);
    auto g = [](double factor) { return cli::Exact(static_cast<float>(factor)); };
    if (metric.metric == measure::Metric::Ciede2000 || metric.metric == measure::Metric::Cie94)
        label += " (" + g(metric.kL) + ":" + g(metric.kC) + ":" + g(metric.kH) + ")";
    else if (metric.metric == measure::Metric::Cmc)
        label = "dE CMC (" + g(metric.l) + ":" + g(metric.c) + ")";
    cli::Table t;
    t.AddRow(
        {label, cli::Fixed(static_cast<float>(measure::Difference(metric, lab[0], lab[1])), 4)});
    t.Print();
    return cli::kExitOk;
}

// --- rgb, hsv ---------------------------------------------------------------------------------

int RunRgb(cli::Args& args) {
    bool lab = args.Flag("--lab");
    std::string space = args.OptionValue("--space", "srgb");
    if (space != "srgb" && space != "colormatch")
        throw cli::UsageError("option --space: '" + space + "' is not srgb or colormatch");
    auto v = lab ? args.Expect({"L", "a", "b"}) : args.Expect({"X", "Y", "Z"});
    const char* names[3] = {"X", "Y", "Z"};
    const char* labNames[3] = {"L", "a", "b"};
    float in[3];
    for (int i = 0; i < 3; ++i) in[i] = cli::ParseFloat(v[i], lab ? labNames[i] : names[i]);

    float rgb[3];
    bool srgb = space == "srgb";
    if (lab && srgb)
        LAB2SRGB(in[0], in[1], in[2], &rgb[0], &rgb[1], &rgb[2]);
    else if (lab)
        LAB2ColorMatchRGB(in[0], in[1], in[2], &rgb[0], &rgb[1], &rgb[2]);
    else if (srgb)
        XYZ2SRGB(in[0], in[1], in[2], &rgb[0], &rgb[1], &rgb[2]);
    else
        XYZ2ColorMatchRGB(in[0], in[1], in[2], &rgb[0], &rgb[1], &rgb[2]);

    cli::Table t;
    const char* channels[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i)
        t.AddRow({channels[i], cli::Fixed(rgb[i], 6),
                  std::to_string(std::lround(static_cast<double>(rgb[i]) * 255.0))});
    t.Print();
    return cli::kExitOk;
}

int RunHsv(cli::Args& args) {
    auto v = args.Expect({"R", "G", "B"});
    float R = cli::ParseFloat(v[0], "R"), G = cli::ParseFloat(v[1], "G"),
          B = cli::ParseFloat(v[2], "B");
    float H, S, V;
    RGB2HSV(R, G, B, &H, &S, &V);
    cli::Table t;
    t.AddRow({"H (degrees)", cli::Fixed(H, 4)});
    t.AddRow({"S", cli::Fixed(S, 4)});
    t.AddRow({"V", cli::Fixed(V, 4)});
    t.Print();
    return cli::kExitOk;
}

// --- spectrum ---------------------------------------------------------------------------------

constexpr int kSamples = 31;  // 400 to 700 nm in 10 nm steps

// Splits text at whitespace and commas.
std::vector<std::string> SplitNumbers(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char ch : text) {
        if (std::isspace(static_cast<unsigned char>(ch)) || ch == ',') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// Densities are printed without the sign of a negative zero.
std::string FmtDensity(float d) {
    return cli::Fixed(d + 0.0f, 4);
}

int RunSpectrum(cli::Args& args) {
    const vantrel::measure::Integration integration = cli::ParseIntegration(args);
    std::vector<std::string> words = args.Positional();
    bool fromInput = words.empty();
    if (fromInput) {
        std::string text((std::istreambuf_iterator<char>(std::cin)),
                         std::istreambuf_iterator<char>());
        words = SplitNumbers(text);
    }
    if (words.size() != kSamples) {
        std::string message =
            "expected 31 reflectance factors (400 to 700 nm), read " + std::to_string(words.size());
        if (fromInput) throw cli::Failure("standard input: " + message);
        throw cli::UsageError(message);
    }
    float spectrum[kSamples + 1] = {};  // element 0 is not read
    for (int k = 0; k < kSamples; ++k) {
        std::string what = std::to_string(400 + 10 * k) + " nm";
        try {
            spectrum[k + 1] = cli::ParseFloat(words[static_cast<size_t>(k)], what);
        } catch (const cli::UsageError& e) {
            if (fromInput) throw cli::Failure(std::string("standard input: ") + e.what());
            throw;
        }
    }

    // One patch of 400 to 700 nm, integrated as a measurement file's would be.
    vantrel::measure::MeasurementSet set;
    set.source = vantrel::measure::ColourSource::Spectrum;
    set.firstNm = 400;
    set.lastNm = 700;
    set.patches.resize(1);
    set.spectra.assign(spectrum + 1, spectrum + 1 + kSamples);
    const vantrel::measure::Colour c = vantrel::measure::Colours(set, integration)[0];
    float t[4], i[4];
    SpectrumToDensityT(spectrum, t);
    SpectrumToDensityI(spectrum, i);
    std::printf("%s\n\n", vantrel::measure::DescribeColour(set, integration).c_str());
    const float xyz[3] = {float(c.xyz[0]), float(c.xyz[1]), float(c.xyz[2])};
    const float lab[3] = {float(c.lab[0]), float(c.lab[1]), float(c.lab[2])};

    cli::Table colour;
    colour.AddRow({"X", cli::Fixed(xyz[0], 4)});
    colour.AddRow({"Y", cli::Fixed(xyz[1], 4)});
    colour.AddRow({"Z", cli::Fixed(xyz[2], 4)});
    colour.AddRow({"L*", cli::Fixed(lab[0], 4)});
    colour.AddRow({"a*", cli::Fixed(lab[1], 4)});
    colour.AddRow({"b*", cli::Fixed(lab[2], 4)});
    colour.Print();
    std::printf("\n");
    cli::Table densities;
    densities.AddRow({"density", "visual", "red", "green", "blue"});
    densities.AddRow(
        {"Status T", FmtDensity(t[0]), FmtDensity(t[1]), FmtDensity(t[2]), FmtDensity(t[3])});
    densities.AddRow(
        {"Status I", FmtDensity(i[0]), FmtDensity(i[1]), FmtDensity(i[2]), FmtDensity(i[3])});
    densities.Print();
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

// --from / --to take a white's name or its X Y Z.
void ParseWhite(cli::Args& args, const char* option, float* white) {
    cli::Args probe = args;  // look at the first value without consuming anything
    auto first = probe.Option(option, 1);
    if (first.empty()) throw cli::UsageError(std::string("missing option ") + option);
    if (const NamedWhite* named = FindWhite(first[0])) {
        args.Option(option, 1);
        for (int i = 0; i < 3; ++i) white[i] = named->xyz[i];
        return;
    }
    if (std::isalpha(static_cast<unsigned char>(first[0][0])))
        throw cli::UsageError(std::string("option ") + option + ": unknown white '" + first[0] +
                              "' (D50, D55, D65, D75, A, E or X Y Z)");
    auto values = args.Option(option, 3);
    for (const std::string& value : values)
        if (value.rfind("--", 0) == 0)
            throw cli::UsageError(std::string("option ") + option +
                                  " needs a white's name or 3 values");
    const std::string prefix = std::string(option).substr(2) + " ";
    const char* components[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) white[i] = cli::ParseFloat(values[i], prefix + components[i]);
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
    float source[3], destination[3];
    ParseWhite(args, "--from", source);
    ParseWhite(args, "--to", destination);
    std::string method = args.OptionValue("--method", "linear-bradford");
    const NamedMethod* chosen = nullptr;
    for (const NamedMethod& m : kMethods)
        if (method == m.name) chosen = &m;
    if (!chosen)
        throw cli::UsageError("option --method: '" + method +
                              "' is not scaling, vonkries, bradford, equienergy or "
                              "linear-bradford");
    auto v = args.Expect({"X", "Y", "Z"});
    float colour[3] = {cli::ParseFloat(v[0], "X"), cli::ParseFloat(v[1], "Y"),
                       cli::ParseFloat(v[2], "Z")};
    ChromaticAdapt(source, destination, colour, 1, chosen->algorithm);
    cli::Table t;
    t.AddRow({"X", cli::Fixed(colour[0], 6)});
    t.AddRow({"Y", cli::Fixed(colour[1], 6)});
    t.AddRow({"Z", cli::Fixed(colour[2], 6)});
    t.Print();
    return cli::kExitOk;
}

const cli::Register kDeltaeCommand(
    {"deltae", "colour difference of two L*a*b* colours (dE00, dE94, CMC, dE*ab)",
     "usage: vantrel deltae L1 a1 b1 L2 a2 b2 [--metric 2000|94|cmc|ab]\n"
     "                      [--kl K --kc K --kh K] [--l L --c C]\n\n"
     "The colour difference of a sample (L2 a2 b2) from a reference (L1 a1 b1), both\n"
     "CIE L*a*b*. The reference comes first: dE94 and CMC weight the difference by its\n"
     "chroma (and CMC by its lightness and hue), so swapping the colours changes them;\n"
     "CIEDE2000 and dE*ab are symmetric.\n\n"
     "  --metric 2000  CIEDE2000 with the factors --kl, --kc, --kh (each 1 by default),\n"
     "                 computed in double precision (default)\n"
     "  --metric 94    CIE 1994 with the factors --kl, --kc, --kh (each 1 by default)\n"
     "  --metric cmc   CMC l:c with the factors --l (default 2) and --c (default 1)\n"
     "  --metric ab    CIE 1976 dE*ab, the Euclidean distance\n"
     "Each factor must be above 0. Options also take the form --option=value.\n\n"
     "example: vantrel deltae 50 2.6772 -79.7751 50 0 -82.7485\n",
     RunDeltae});

const cli::Register kRgbCommand(
    {"rgb", "D50 XYZ or L*a*b* to sRGB or ColorMatch RGB",
     "usage: vantrel rgb X Y Z [--space srgb|colormatch]\n"
     "       vantrel rgb --lab L a b [--space srgb|colormatch]\n\n"
     "Encodes a colour relative to D50 as gamma-encoded RGB: XYZ on the unit scale (white\n"
     "Y = 1), or with --lab CIE L*a*b*. Linear RGB is clipped to 0..1 and raised to\n"
     "1 / gamma with no linear segment near black: sRGB (default) gamma 2.2, ColorMatch RGB\n"
     "gamma 1.8. Prints each channel in 0..1 and rounded to 0..255.\n\n"
     "example: vantrel rgb --lab 50 20 -30\n",
     RunRgb});

const cli::Register kHsvCommand(
    {"hsv", "RGB to hue, saturation and value",
     "usage: vantrel hsv R G B\n\n"
     "Converts RGB in any non-negative scale (0..1 or 0..255) to hue in degrees (0 to 360),\n"
     "saturation (0..1) and value (the largest component, in the scale of the input).\n"
     "Black and greys have hue 0.\n\n"
     "example: vantrel hsv 255 128 0\n",
     RunHsv});

const cli::Register kSpectrumCommand(
    {"spectrum", "reflectance spectrum to XYZ, L*a*b* and densities",
     "usage: vantrel spectrum [R400 R410 ... R700] [--illuminant ILL] [--observer 2|10]\n\n"
     "Integrates a reflectance spectrum, 31 factors (0..1) at 400 to 700 nm in 10 nm steps,\n"
     "into XYZ (percent scale) and L*a*b*, and prints its Status T and Status I densities\n"
     "(visual, red, green, blue; each 0 to 4). The first line says how it was integrated:\n"
     "by default with the library's D50 table (2 degree observer), L*a*b* relative to D50;\n"
     "with --illuminant (D50, D65, A, C, F2, F7 or F11) or --observer (2 or 10) with the CIE\n"
     "colour-matching functions weighted by the illuminant's spectrum, L*a*b* relative to\n"
     "the perfect reflector under them (see 'vantrel measure --help'). The factors come\n"
     "from the arguments or, when there are none, from standard input, separated by\n"
     "spaces, commas or line breaks. Any other count than 31 is an error (exit status 2\n"
     "for arguments, 1 for standard input).\n\n"
     "example: vantrel spectrum --illuminant D65 < patch.txt\n",
     RunSpectrum});

const cli::Register kAdaptCommand(
    {"adapt", "chromatic adaptation of an XYZ colour between two whites",
     "usage: vantrel adapt X Y Z --from WHITE --to WHITE [--method METHOD]\n\n"
     "Adapts the XYZ of a colour seen under the white --from to the white --to. WHITE is\n"
     "X Y Z on the colour's scale, or one of these names (unit scale, Y = 1, 2-degree\n"
     "observer):\n"
     "  D50  0.9642 1 0.8249      D55  0.9568 1 0.9214      D65  0.9505 1 1.0888\n"
     "  D75  0.9497 1 1.2264      A    1.0985 1 0.3558      E    1 1 1\n\n"
     "METHOD:\n"
     "  scaling          X, Y, Z each scaled by the ratio of the whites\n"
     "  vonkries         von Kries in Hunt-Pointer-Estevez cone space\n"
     "  bradford         Bradford with the non-linear blue response\n"
     "  equienergy       von Kries in the equal-energy cone space; clips to 0..1, so\n"
     "                   give unit-scale colours\n"
     "  linear-bradford  Bradford without the blue non-linearity (default)\n"
     "With bradford and linear-bradford a colour whose Y is below 0.0001 becomes 0.\n\n"
     "example: vantrel adapt 0.4124 0.2126 0.0193 --from D65 --to D50\n",
     RunAdapt});

}  // namespace
