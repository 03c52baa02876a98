// vantrel lab | xyz | lch: the XYZ, L*a*b* and LCh conversions.
#include <cmath>

#include "cli.h"
#include "vantrel/colorimetry.h"

namespace {

struct WhitePoint {
    float X = 96.42f, Y = 100.0f, Z = 82.49f;  // D50, percent scale
};

WhitePoint parse_white(cli::Args& args) {
    WhitePoint w;
    auto values = args.option("--white", 3);
    if (!values.empty()) {
        w.X = cli::parse_float(values[0], "Xn");
        w.Y = cli::parse_float(values[1], "Yn");
        w.Z = cli::parse_float(values[2], "Zn");
    }
    return w;
}

int run_lab(cli::Args& args) {
    WhitePoint w = parse_white(args);
    auto v = args.expect({"X", "Y", "Z"});
    float X = cli::parse_float(v[0], "X"), Y = cli::parse_float(v[1], "Y"),
          Z = cli::parse_float(v[2], "Z");
    float L, a, b;
    CX_XYZ2LAB_float(X, Y, Z, w.X, w.Y, w.Z, &L, &a, &b);
    cli::Table t;
    t.row({"L*", cli::fmt(L, 4)});
    t.row({"a*", cli::fmt(a, 4)});
    t.row({"b*", cli::fmt(b, 4)});
    t.print();
    return cli::kExitOk;
}

int run_xyz(cli::Args& args) {
    WhitePoint w = parse_white(args);
    auto v = args.expect({"L", "a", "b"});
    float L = cli::parse_float(v[0], "L"), a = cli::parse_float(v[1], "a"),
          b = cli::parse_float(v[2], "b");
    float X, Y, Z;
    CX_LAB2XYZ_float(L, a, b, w.X, w.Y, w.Z, &X, &Y, &Z);
    cli::Table t;
    t.row({"X", cli::fmt(X, 4)});
    t.row({"Y", cli::fmt(Y, 4)});
    t.row({"Z", cli::fmt(Z, 4)});
    t.print();
    return cli::kExitOk;
}

int run_lch(cli::Args& args) {
    auto v = args.expect({"L", "a", "b"});
    float lab[3] = {cli::parse_float(v[0], "L"), cli::parse_float(v[1], "a"),
                    cli::parse_float(v[2], "b")};
    float lch[3];
    LAB2LCH(lab, lch);
    double degrees = static_cast<double>(lch[2]) * 180.0 / M_PI;
    cli::Table t;
    t.row({"L*", cli::fmt(lch[0], 4)});
    t.row({"C*", cli::fmt(lch[1], 4)});
    t.row({"h (degrees)", cli::fmt(static_cast<float>(degrees), 4)});
    t.row({"h (radians)", cli::fmt(lch[2], 6)});
    t.print();
    return cli::kExitOk;
}

const cli::Register lab_command(
    {"lab", "XYZ to L*a*b* (percent scale, D50 unless --white)",
     "usage: vantrel lab X Y Z [--white Xn Yn Zn]\n\n"
     "Converts CIE XYZ to CIE L*a*b*. XYZ and the white share one scale;\n"
     "the default white is D50 on the percent scale (96.42 100 82.49).\n\n"
     "example: vantrel lab 41.24 21.26 1.93\n",
     run_lab});
const cli::Register xyz_command({"xyz", "L*a*b* to XYZ (percent scale, D50 unless --white)",
                                 "usage: vantrel xyz L a b [--white Xn Yn Zn]\n\n"
                                 "Converts CIE L*a*b* to CIE XYZ on the scale of the white; the\n"
                                 "default white is D50 on the percent scale (96.42 100 82.49).\n"
                                 "Negative X and Z are clamped to 0.\n\n"
                                 "example: vantrel xyz 50 20 -30\n",
                                 run_xyz});
const cli::Register lch_command({"lch", "L*a*b* to LCh (hue in degrees and radians)",
                                 "usage: vantrel lch L a b\n\n"
                                 "Converts CIE L*a*b* to lightness, chroma and hue; the hue is\n"
                                 "printed in degrees and in radians (0 to 2 pi).\n\n"
                                 "example: vantrel lch 50 0 -10\n",
                                 run_lch});

}  // namespace
