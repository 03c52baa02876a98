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

WhitePoint TakeWhite(cli::Args& args, float scale) {
    // D50 on the percent scale, and exactly the library's unit-scale D50 on the unit scale.
    WhitePoint w =
        scale == 1.0f ? WhitePoint{0.9642f, 1.0f, 0.8249f} : WhitePoint{96.42f, 100.0f, 82.49f};
    auto values = args.Option("--white", 3);
    if (!values.empty()) {
        w.X = cli::ParseFloat(values[0], "option --white Xn", cli::kPositive);
        w.Y = cli::ParseFloat(values[1], "option --white Yn", cli::kPositive);
        w.Z = cli::ParseFloat(values[2], "option --white Zn", cli::kPositive);
    }
    return w;
}

// XYZ has two more decimals on the unit scale than on the percent scale.
int XyzDecimals(float scale) {
    return scale == 1.0f ? 6 : 4;
}

int RunLab(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const WhitePoint w = TakeWhite(args, cli::TakeXyzScale(args));
    cli::ConvertSets(
        args.Positional(), {{"X"}, {"Y"}, {"Z"}}, format, [&](const std::vector<double>& v) {
            float L, a, b;
            CX_XYZ2LAB_float(float(v[0]), float(v[1]), float(v[2]), w.X, w.Y, w.Z, &L, &a, &b);
            return cli::Record()
                .Number("L*", "L", L, 4)
                .Number("a*", "a", a, 4)
                .Number("b*", "b", b, 4);
        });
    return cli::kExitOk;
}

int RunXyz(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    const float scale = cli::TakeXyzScale(args);
    const WhitePoint w = TakeWhite(args, scale);
    cli::ConvertSets(
        args.Positional(), {{"L"}, {"a"}, {"b"}}, format, [&](const std::vector<double>& v) {
            float X, Y, Z;
            CX_LAB2XYZ_float(float(v[0]), float(v[1]), float(v[2]), w.X, w.Y, w.Z, &X, &Y, &Z);
            return cli::Record()
                .Number("X", "X", X, XyzDecimals(scale))
                .Number("Y", "Y", Y, XyzDecimals(scale))
                .Number("Z", "Z", Z, XyzDecimals(scale));
        });
    return cli::kExitOk;
}

int RunLch(cli::Args& args) {
    const cli::Format format = cli::TakeFormat(args);
    cli::ConvertSets(args.Positional(), {{"L"}, {"a"}, {"b"}}, format,
                     [&](const std::vector<double>& v) {
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

const cli::Register kLabCommand(
    {"lab", "XYZ to L*a*b* (percent scale, D50 unless --white)",
     "usage: vantrel lab X Y Z|- [--white Xn Yn Zn] [--scale percent|unit]\n"
     "                  [--format table|csv|json]\n\n"
     "Converts CIE XYZ to CIE L*a*b*. XYZ and the white share one scale: percent (white\n"
     "Y = 100) unless --scale unit. The default white is D50 (96.42 100 82.49, or\n"
     "0.9642 1 0.8249 on the unit scale); each component of a white must be above 0.\n"
     "With '-' in place of X Y Z, reads one colour per line of standard input.\n\n"
     "example: vantrel lab 41.24 21.26 1.93\n",
     RunLab});
const cli::Register kXyzCommand(
    {"xyz", "L*a*b* to XYZ (percent scale, D50 unless --white)",
     "usage: vantrel xyz L a b|- [--white Xn Yn Zn] [--scale percent|unit]\n"
     "                  [--format table|csv|json]\n\n"
     "Converts CIE L*a*b* to CIE XYZ on the scale of the white: D50 on the percent scale\n"
     "(96.42 100 82.49) unless --white or --scale unit (0.9642 1 0.8249) gives another;\n"
     "each component of a white must be above 0. Negative X and Z are clamped to 0. With\n"
     "'-' in place of L a b, reads one colour per line of standard input.\n\n"
     "example: vantrel xyz 50 20 -30\n",
     RunXyz});
const cli::Register kLchCommand(
    {"lch", "L*a*b* to LCh (hue in degrees and radians)",
     "usage: vantrel lch L a b|- [--format table|csv|json]\n\n"
     "Converts CIE L*a*b* to lightness, chroma and hue; the hue is printed in degrees and\n"
     "in radians (0 to 2 pi). With '-' in place of L a b, reads one colour per line of\n"
     "standard input.\n\n"
     "example: vantrel lch 50 0 -10\n",
     RunLch});

}  // namespace
