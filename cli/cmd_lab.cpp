// vantrel lab | xyz | lch: the XYZ, L*a*b* and LCh conversions.
#include <cmath>

#include "cli.h"
#include "input.h"
#include "vantrel/colorimetry.h"

namespace {

// A white point on the scale of the colours it goes with: D50 unless --white gives one.
struct WhitePoint {
    float X, Y, Z;
};

WhitePoint WhiteOf(const cli::Options& options, float scale) {
    // D50 on the percent scale, and exactly the library's unit-scale D50 on the unit scale.
    WhitePoint w =
        scale == 1.0f ? WhitePoint{0.9642f, 1.0f, 0.8249f} : WhitePoint{96.42f, 100.0f, 82.49f};
    if (options.Has("--white"))
        w = {options.Float("--white", 0), options.Float("--white", 1), options.Float("--white", 2)};
    return w;
}

// XYZ has two more decimals on the unit scale than on the percent scale.
int XyzDecimals(float scale) {
    return scale == 1.0f ? 6 : 4;
}

int RunLab(const cli::Invocation& run) {
    const cli::Options& options = run.options;
    const WhitePoint w = WhiteOf(options, cli::XyzScale(options));
    cli::ConvertSets(run, {{"X"}, {"Y"}, {"Z"}}, [&](const std::vector<double>& v) {
        float L, a, b;
        CX_XYZ2LAB_float(float(v[0]), float(v[1]), float(v[2]), w.X, w.Y, w.Z, &L, &a, &b);
        return cli::Record()
            .Number("L*", "L", L, 4)
            .Number("a*", "a", a, 4)
            .Number("b*", "b", b, 4);
    });
    return cli::kExitOk;
}

int RunXyz(const cli::Invocation& run) {
    const cli::Options& options = run.options;
    const float scale = cli::XyzScale(options);
    const WhitePoint w = WhiteOf(options, scale);
    cli::ConvertSets(run, {{"L"}, {"a"}, {"b"}}, [&](const std::vector<double>& v) {
        float X, Y, Z;
        CX_LAB2XYZ_float(float(v[0]), float(v[1]), float(v[2]), w.X, w.Y, w.Z, &X, &Y, &Z);
        return cli::Record()
            .Number("X", "X", X, XyzDecimals(scale))
            .Number("Y", "Y", Y, XyzDecimals(scale))
            .Number("Z", "Z", Z, XyzDecimals(scale));
    });
    return cli::kExitOk;
}

int RunLch(const cli::Invocation& run) {
    cli::ConvertSets(run, {{"L"}, {"a"}, {"b"}}, [&](const std::vector<double>& v) {
        float lab[3] = {float(v[0]), float(v[1]), float(v[2])};
        float lch[3];
        LAB2LCH(lab, lch);
        const double degrees = static_cast<double>(lch[2]) * 180.0 / M_PI;
        return cli::Record()
            .Number("L*", "L", lch[0], 4)
            .Number("C*", "C", lch[1], 4)
            .Number("h (degrees)", "h", static_cast<float>(degrees), 4)
            .Number("h (radians)", "h_radians", lch[2], 6);
    });
    return cli::kExitOk;
}

// The options of lab and xyz, in the order they are checked.
std::vector<cli::Option> WhiteOptions() {
    return {cli::FormatOption(), cli::ScaleOption(),
            cli::Real("--white", {"Xn", "Yn", "Zn"}, cli::kPositive,
                      "the white, on the scale of XYZ, each component above 0: D50 (96.42 100 "
                      "82.49, or 0.9642 1 0.8249 on the unit scale) by default")};
}

const cli::Register kLabCommand(
    {"lab",
     "XYZ to L*a*b* (percent scale, D50 unless --white)",
     {"lab X Y Z|-"},
     WhiteOptions(),
     "Converts CIE XYZ to CIE L*a*b*. XYZ and the white share one scale: percent (white\n"
     "Y = 100) unless --scale unit. With '-' in place of X Y Z, reads one colour per line of\n"
     "standard input.\n",
     "vantrel lab 41.24 21.26 1.93",
     RunLab});
const cli::Register kXyzCommand(
    {"xyz",
     "L*a*b* to XYZ (percent scale, D50 unless --white)",
     {"xyz L a b|-"},
     WhiteOptions(),
     "Converts CIE L*a*b* to CIE XYZ on the scale of the white. Negative X and Z are clamped\n"
     "to 0. With '-' in place of L a b, reads one colour per line of standard input.\n",
     "vantrel xyz 50 20 -30",
     RunXyz});
const cli::Register kLchCommand(
    {"lch",
     "L*a*b* to LCh (hue in degrees and radians)",
     {"lch L a b|-"},
     {cli::FormatOption()},
     "Converts CIE L*a*b* to lightness, chroma and hue; the hue is printed in degrees and\n"
     "in radians (0 to 2 pi). With '-' in place of L a b, reads one colour per line of\n"
     "standard input.\n",
     "vantrel lch 50 0 -10",
     RunLch});

}  // namespace
