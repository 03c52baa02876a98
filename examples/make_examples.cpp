// Writes the example measurement files examples/reference.cgats and examples/measured.cgats:
// 24 patches of a colour-checker-like chart made of smooth reflectance curves, and the same
// chart as a slightly drifting press would print it. Colorimetry comes from the library.
//
//   make_examples DIRECTORY
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "vantrel/colorimetry.h"

namespace {

struct Bump {
    double centre, width, height;  // Gaussian in nm, or logistic step when width < 0
};

struct Chart {
    const char* name;
    double base;
    std::vector<Bump> bumps;
};

// Steps (negative width: the step's softness) model the absorption edges of yellow, orange and
// red inks; bumps the transmission bands of blues, greens and cyans.
const Chart kPatches[] = {
    {"dark skin", 0.05, {{610, -25, 0.22}, {450, 60, 0.03}}},
    {"light skin", 0.17, {{590, -25, 0.45}, {450, 50, 0.06}}},
    {"blue sky", 0.08, {{460, 70, 0.20}, {680, -20, 0.04}}},
    {"foliage", 0.04, {{550, 35, 0.10}, {700, -12, 0.25}}},
    {"blue flower", 0.10, {{440, 50, 0.22}, {640, -25, 0.22}}},
    {"bluish green", 0.07, {{500, 55, 0.38}}},
    {"orange", 0.04, {{570, -14, 0.60}}},
    {"purplish blue", 0.05, {{445, 40, 0.30}, {660, -20, 0.07}}},
    {"moderate red", 0.05, {{595, -14, 0.45}, {430, 35, 0.10}}},
    {"purple", 0.05, {{420, 40, 0.15}, {625, -20, 0.20}}},
    {"yellow green", 0.05, {{545, 55, 0.40}, {600, -25, 0.15}}},
    {"orange yellow", 0.05, {{550, -14, 0.65}}},
    {"blue", 0.04, {{445, 35, 0.30}}},
    {"green", 0.05, {{530, 35, 0.32}}},
    {"red", 0.04, {{600, -12, 0.55}}},
    {"yellow", 0.06, {{520, -13, 0.78}}},
    {"magenta", 0.07, {{430, 45, 0.35}, {605, -15, 0.55}}},
    {"cyan", 0.05, {{480, 55, 0.45}}},
    {"white", 0.89, {{420, 25, -0.03}}},
    {"neutral 8", 0.59, {}},
    {"neutral 6.5", 0.36, {}},
    {"neutral 5", 0.19, {}},
    {"neutral 3.5", 0.09, {}},
    {"black", 0.031, {}},
};

double Reflectance(const Chart& patch, double nm) {
    double r = patch.base;
    for (const Bump& b : patch.bumps) {
        if (b.width < 0)
            r += b.height / (1.0 + std::exp(-(nm - b.centre) / -b.width));
        else
            r += b.height * std::exp(-0.5 * std::pow((nm - b.centre) / b.width, 2));
    }
    return std::clamp(r, 0.005, 0.95);
}

// How the measured print departs from the reference: a gain on the whole curve, a shift of its
// features along the wavelengths and a veil of light, each drawn from a fixed sequence.
struct Drift {
    double gain, shift, veil;
};

class Sequence {
  public:
    double Next() {  // uniform in -1..1
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 4503599627370496.0 - 1.0;
    }

  private:
    std::uint64_t state_ = 20240611;
};

std::vector<Drift> Drifts() {
    Sequence random;
    std::vector<Drift> out;
    for (size_t k = 0; k < std::size(kPatches); ++k)
        out.push_back({1.0 + 0.04 * random.Next(), 3.0 * random.Next(), 0.004 * random.Next()});
    out[14] = {0.97, 9.0, 0.006};   // red: the ink's edge moved towards orange
    out[12] = {0.86, -2.0, 0.002};  // blue: starved
    out[4] = {1.06, 5.0, 0.0};      // blue flower
    return out;
}

struct Colour {
    float xyz[3], lab[3];
};

// Colorimetry of 31 factors at 400..700 nm.
Colour ColourOf(const std::vector<float>& factors) {
    float spectrum[32] = {0};
    std::copy(factors.begin(), factors.end(), spectrum + 1);
    Colour c;
    CX_SpectrumToD50XYZ(spectrum, c.xyz);
    CX_D50XYZ2LAB(c.xyz[0], c.xyz[1], c.xyz[2], &c.lab[0], &c.lab[1], &c.lab[2]);
    return c;
}

struct Layout {
    const char* prefix;  // spectral field names
    int first, last;     // nm
    double scale;        // 1 for factors, 100 for percent
    int decimals;
};

bool WriteFile(const std::string& path, const char* comment, const Layout& layout,
               const std::vector<Drift>* drift) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    int bands = (layout.last - layout.first) / 10 + 1;
    std::fprintf(f, "CGATS.17\n%s", comment);
    std::fprintf(f, "ORIGINATOR \"vantrel examples\"\n");
    std::fprintf(f, "DESCRIPTOR \"%s\"\n", drift ? "measured print" : "reference chart");
    // The value of a perfect reflector: the spectra are factors (1) or percent (100).
    std::fprintf(f, "KEYWORD \"SPECTRAL_NORM\"\nSPECTRAL_NORM %g\n", layout.scale);
    std::fprintf(f, "NUMBER_OF_FIELDS %d\nBEGIN_DATA_FORMAT\nSAMPLE_ID SAMPLE_NAME", bands + 8);
    for (int nm = layout.first; nm <= layout.last; nm += 10)
        std::fprintf(f, " %s%d", layout.prefix, nm);
    std::fprintf(f, " XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n");
    std::fprintf(f, "NUMBER_OF_SETS %zu\nBEGIN_DATA\n", std::size(kPatches));
    for (size_t k = 0; k < std::size(kPatches); ++k) {
        const Chart& patch = kPatches[k];
        std::fprintf(f, "A%zu \"%s\"", k + 1, patch.name);
        std::vector<float> factors;  // 400..700 nm, as the file will hold them
        for (int nm = layout.first; nm <= layout.last; nm += 10) {
            double r =
                drift ? std::clamp(Reflectance(patch, nm - (*drift)[k].shift) * (*drift)[k].gain +
                                       (*drift)[k].veil,
                                   0.003, 0.97)
                      : Reflectance(patch, nm);
            double written = std::round(r * layout.scale * std::pow(10.0, layout.decimals)) /
                             std::pow(10.0, layout.decimals);
            std::fprintf(f, " %.*f", layout.decimals, written);
            if (nm >= 400 && nm <= 700)
                factors.push_back(static_cast<float>(written) / static_cast<float>(layout.scale));
        }
        Colour c = ColourOf(factors);
        std::fprintf(f, " %.4f %.4f %.4f %.4f %.4f %.4f\n", c.xyz[0], c.xyz[1], c.xyz[2], c.lab[0],
                     c.lab[1], c.lab[2]);
    }
    std::fprintf(f, "END_DATA\n");
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples DIRECTORY\n");
        return 2;
    }
    std::string dir = argv[1];
    const char* referenceComment =
        "# Example reference: 24 patches of a colour-checker-like chart, made up for Vantrel's\n"
        "# examples (no instrument measured them). Each reflectance curve is a smooth sum of\n"
        "# Gaussian bands and logistic absorption edges, written as factors at 400..700 nm;\n"
        "# XYZ (D50, percent) and L*a*b* were computed from the written spectra with the\n"
        "# library's CX_SpectrumToD50XYZ and CX_D50XYZ2LAB. Generator: "
        "examples/make_examples.cpp\n";
    const char* measuredComment =
        "# Example measurement: the chart of reference.cgats as a slightly drifting press would\n"
        "# print it (made up, not measured): each curve scaled, shifted along the wavelengths and\n"
        "# veiled by small fixed amounts, the red, blue and blue flower patches more. Written as\n"
        "# an instrument might: percent reflectance from 380 to 730 nm. XYZ (D50, percent) and\n"
        "# L*a*b* were computed from the written 400..700 nm values with the library's\n"
        "# CX_SpectrumToD50XYZ and CX_D50XYZ2LAB. Generator: examples/make_examples.cpp\n";
    std::vector<Drift> drift = Drifts();
    bool ok =
        WriteFile(dir + "/reference.cgats", referenceComment, {"SPECTRAL_", 400, 700, 1.0, 4},
                  nullptr) &&
        WriteFile(dir + "/measured.cgats", measuredComment, {"nm", 380, 730, 100.0, 2}, &drift);
    if (!ok) std::fprintf(stderr, "make_examples: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
