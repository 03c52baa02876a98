// vantrel adapt: chromatic adaptation of XYZ colours between two whites.
#include <cctype>
#include <string>
#include <vector>

#include "cli.h"
#include "input.h"
#include "vantrel/colorimetry.h"

namespace {

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

// --from / --to: a white's name or its X Y Z on the colour's scale (each above 0).
cli::Option WhiteOption(const char* name, const char* help) {
    return cli::Text(name, {"WHITE"}, help)
        .Required()
        .Arity([name](const std::string& first) -> size_t {
            if (FindWhite(first)) return 1;
            if (std::isalpha(static_cast<unsigned char>(first[0])))
                throw cli::UsageError(std::string("option ") + name + ": unknown white " +
                                      cli::Quoted(first) + " (D50, D55, D65, D75, A, E or X Y Z)");
            return 3;
        })
        .Check([name](const std::vector<std::string>& values) {
            const char* components[3] = {"X", "Y", "Z"};
            for (size_t i = 0; values.size() == 3 && i < 3; ++i)
                cli::ParseFloat(values[i], std::string("option ") + name + " " + components[i],
                                cli::kPositive);
        });
}

// The white of --from or --to on the unit scale.
void WhiteOf(const cli::Options& options, const char* option, float scale, float* white) {
    const std::vector<std::string>& values = options.Values(option);
    if (const NamedWhite* named = FindWhite(values[0])) {
        for (int i = 0; i < 3; ++i) white[i] = named->xyz[i];
        return;
    }
    for (size_t i = 0; i < 3; ++i) white[i] = cli::ParseFloat(values[i], option) / scale;
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

int RunAdapt(const cli::Invocation& run) {
    const float scale = cli::XyzScale(run.options);
    float source[3], destination[3];
    WhiteOf(run.options, "--from", scale, source);
    WhiteOf(run.options, "--to", scale, destination);
    const std::string method = run.options.Value("--method", "linear-bradford");
    const NamedMethod* chosen = &kMethods[0];
    for (const NamedMethod& m : kMethods)
        if (method == m.name) chosen = &m;
    const int decimals = scale == 1.0f ? 6 : 4;
    cli::ConvertSets(run, {{"X"}, {"Y"}, {"Z"}}, [&](const std::vector<double>& v) {
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

const cli::Register kAdaptCommand(
    {"adapt",
     "chromatic adaptation of an XYZ colour between two whites",
     {"adapt X Y Z|-"},
     {cli::FormatOption(), cli::ScaleOption(),
      WhiteOption("--from", "the white the colour is seen under"),
      WhiteOption("--to", "the white to adapt it to"),
      cli::Choice("--method", {"scaling", "vonkries", "bradford", "equienergy", "linear-bradford"},
                  "how to adapt (default linear-bradford; see below)")},
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
     "scale) becomes 0.\n",
     "vantrel adapt 41.24 21.26 1.93 --from D65 --to D50",
     RunAdapt});

}  // namespace
