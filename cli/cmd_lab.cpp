// vantrel lab | xyz | lch: the XYZ, L*a*b* and LCh conversions.
#include <cmath>

#include "cli.h"
#include "vantrel/colorimetry.h"

namespace {

struct WhitePoint {
    float X = 96.42f, Y = 100.0f, Z = 82.49f;  // D50, percent scale
};

WhitePoint ParseWhite(cli::Args& args) {
    WhitePoint w;
    auto values = args.Option("--white", 3);
    if (!values.empty()) {
        w.X = cli::ParseFloat(values[0], "Xn");
        w.Y = cli::ParseFloat(values[1], "Yn");
        w.Z = cli::ParseFloat(values[2], "Zn");
    }
    return w;
}

int RunLab(cli::Args& args) {
    WhitePoint w = ParseWhite(args);
    auto v = args.Expect({"X", "Y", "Z"});
    float X = cli::ParseFloat(v[0], "X"), Y = cli::ParseFloat(v[1], "Y"),
          Z = cli::ParseFloat(v[2], "Z");
    float L, a, b;
    CX_XYZ2LAB_float(X, Y, Z, w.X, w.Y, w.Z, &L, &a, &b);
    cli::Table t;
    t.AddRow({"L*", cli::Fixed(L, 4)});
    t.AddRow({"a*", cli::Fixed(a, 4)});
    t.AddRow({"b*", cli::Fixed(b, 4)});
    t.Print();
    return cli::kExitOk;
}

int RunXyz(cli::Args& args) {
    WhitePoint w = ParseWhite(args);
    auto v = args.Expect({"L", "a", "b"});
    float L = cli::ParseFloat(v[0], "L"), a = cli::ParseFloat(v[1], "a"),
          b = cli::ParseFloat(v[2], "b");
    float X, Y, Z;
    CX_LAB2XYZ_float(L, a, b, w.X, w.Y, w.Z, &X, &Y, &Z);
    cli::Table t;
    t.AddRow({"X", cli::Fixed(X, 4)});
    t.AddRow({"Y", cli::Fixed(Y, 4)});
    t.AddRow({"Z", cli::Fixed(Z, 4)});
    t.Print();
    return cli::kExitOk;
}

int RunLch(cli::Args& args) {
    auto v = args.Expect({"L", "a", "b"});
    float lab[3] = {cli::ParseFloat(v[0], "L"), cli::ParseFloat(v[1], "a"),
                    cli::ParseFloat(v[2], "b")};
    float lch[3];
    LAB2LCH(lab, lch);
    double degrees = static_cast<double>(lch[2]) * 180.0 / M_PI;
    cli::Table t;
    t.AddRow({"L*", cli::Fixed(lch[0], 4)});
    t.AddRow({"C*", cli::Fixed(lch[1], 4)});
    t.AddRow({"h (degrees)", cli::Fixed(static_cast<float>(degrees), 4)});
    t.AddRow({"h (radians)", cli::Fixed(lch[2], 6)});
    t.Print();
    return cli::kExitOk;
}

const cli::Register kLabCommand(
    {"lab", "XYZ to L*a*b* (percent scale, D50 unless --white)",
     "usage: vantrel lab X Y Z [--white Xn Yn Zn]\n\n"
     "Converts CIE XYZ to CIE L*a*b*. XYZ and the white share one scale;\n"
     "the default white is D50 on the percent scale (96.42 100 82.49).\n\n"
     "example: vantrel lab 41.24 21.26 1.93\n",
     RunLab});
const cli::Register kXyzCommand({"xyz", "L*a*b* to XYZ (percent scale, D50 unless --white)",
                                 "usage: vantrel xyz L a b [--white Xn Yn Zn]\n\n"
                                 "Converts CIE L*a*b* to CIE XYZ on the scale of the white; the\n"
                                 "default white is D50 on the percent scale (96.42 100 82.49).\n"
                                 "Negative X and Z are clamped to 0.\n\n"
                                 "example: vantrel xyz 50 20 -30\n",
                                 RunXyz});
const cli::Register kLchCommand({"lch", "L*a*b* to LCh (hue in degrees and radians)",
                                 "usage: vantrel lch L a b\n\n"
                                 "Converts CIE L*a*b* to lightness, chroma and hue; the hue is\n"
                                 "printed in degrees and in radians (0 to 2 pi).\n\n"
                                 "example: vantrel lch 50 0 -10\n",
                                 RunLch});

}  // namespace
