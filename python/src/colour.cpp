// The colour-science functions: each kernel calls one of libvantrel's functions per colour,
// with the scale conversions the vantrel command makes around it. The pure-Python functions of
// vantrel/__init__.py choose among them and prepare their parameter operands.
#include <cmath>

#include "core.h"
#include "ufunc_loop.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

// Operands: xyz and a white on the same scale (any scale), L*a*b* out.
struct XyzToLab {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 3}, kIn = 2, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float *c = in[0], *w = in[1];
        CX_XYZ2LAB_float(c[0], c[1], c[2], w[0], w[1], w[2], &out[0][0], &out[0][1], &out[0][2]);
    }
};

struct LabToXyz {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 3}, kIn = 2, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float *c = in[0], *w = in[1];
        CX_LAB2XYZ_float(c[0], c[1], c[2], w[0], w[1], w[2], &out[0][0], &out[0][1], &out[0][2]);
    }
};

// LAB2LCH gives the hue in radians; it is turned into degrees in double, as the command does.
struct LabToLch {
    using Value = float;
    static constexpr int kShape[] = {3, 3}, kIn = 1, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        LAB2LCH(in[0], out[0]);
        out[0][2] = static_cast<float>(static_cast<double>(out[0][2]) * 180.0 / M_PI);
    }
};

// CX_LCH2LAB takes the hue in degrees.
struct LchToLab {
    using Value = float;
    static constexpr int kShape[] = {3, 3}, kIn = 1, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float* c = in[0];
        CX_LCH2LAB(c[0], c[1], c[2], &out[0][0], &out[0][1], &out[0][2]);
    }
};

using Encoding = void (*)(float, float, float, float*, float*, float*);

// XYZ divided by `perUnit` (100 for percent-scale data, 1 for unit-scale) to a fixed encoding.
template <Encoding F>
struct XyzToRgb {
    using Value = float;
    static constexpr int kShape[] = {3, 0, 3}, kIn = 2, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float *c = in[0], s = in[1][0];
        F(c[0] / s, c[1] / s, c[2] / s, &out[0][0], &out[0][1], &out[0][2]);
    }
};

template <Encoding F>
struct LabToRgb {
    using Value = float;
    static constexpr int kShape[] = {3, 3}, kIn = 1, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float* c = in[0];
        F(c[0], c[1], c[2], &out[0][0], &out[0][1], &out[0][2]);
    }
};

// Operands: xyz, perUnit, the nine matrix elements row by row, the display gamma.
struct XyzToCalibrated {
    using Value = float;
    static constexpr int kShape[] = {3, 0, 9, 0, 3}, kIn = 4, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float *c = in[0], s = in[1][0];
        XYZ2CalibratedRGB(in[2], in[3][0], c[0] / s, c[1] / s, c[2] / s, &out[0][0], &out[0][1],
                          &out[0][2]);
    }
};

struct LabToCalibrated {
    using Value = float;
    static constexpr int kShape[] = {3, 9, 0, 3}, kIn = 3, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float* c = in[0];
        LAB2CalibratedRGB(in[1], in[2][0], c[0], c[1], c[2], &out[0][0], &out[0][1], &out[0][2]);
    }
};

struct RgbToHsv {
    using Value = float;
    static constexpr int kShape[] = {3, 3}, kIn = 1, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float* c = in[0];
        RGB2HSV(c[0], c[1], c[2], &out[0][0], &out[0][1], &out[0][2]);
    }
};

// The library's spectra have an unused element 0 before the 31 factors.
struct SpectrumToXyz {
    using Value = float;
    static constexpr int kShape[] = {31, 0, 3}, kIn = 2, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        float spectrum[32] = {0};
        std::memcpy(spectrum + 1, in[0], 31 * sizeof(float));
        CX_SpectrumToD50XYZ(spectrum, out[0]);
        for (int i = 0; i < 3; ++i) out[0][i] /= in[1][0];  // 1, or 100 for the unit scale
    }
};

template <void (*F)(const float*, float*)>
struct Densities {
    using Value = float;
    static constexpr int kShape[] = {31, 4}, kIn = 1, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        float spectrum[32] = {0};
        std::memcpy(spectrum + 1, in[0], 31 * sizeof(float));
        F(spectrum, out[0]);
    }
};

template <float (*F)(float, float)>
struct Binary {
    using Value = float;
    static constexpr int kShape[] = {0, 0, 0}, kIn = 2, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        out[0][0] = F(in[0][0], in[1][0]);
    }
};

template <float (*F)(float)>
struct Unary {
    using Value = float;
    static constexpr int kShape[] = {0, 0}, kIn = 1, kData = 1;
    static void Run(const float* const* in, float* const* out) { out[0][0] = F(in[0][0]); }
};

// Operands: xyz, the source and target whites on the unit scale, perUnit. The colour is
// adapted on the unit scale and scaled back, as the command does.
template <EChromaticAdaptationAlgorithm kMethod>
struct Adapt {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 3, 0, 3}, kIn = 4, kData = 1;
    static void Run(const float* const* in, float* const* out) {
        const float s = in[3][0];
        float* c = out[0];
        for (int i = 0; i < 3; ++i) c[i] = in[0][i] / s;
        ChromaticAdapt(in[1], in[2], c, 1, kMethod);
        for (int i = 0; i < 3; ++i) c[i] *= s;
    }
};

struct DeltaE76 {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 0}, kIn = 2, kData = 2;
    static void Run(const float* const* in, float* const* out) { out[0][0] = DeltaE(in[0], in[1]); }
};

// Operands: reference, sample, kL, kC, kH.
struct DeltaE1994 {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 0, 0, 0, 0}, kIn = 5, kData = 2;
    static void Run(const float* const* in, float* const* out) {
        out[0][0] = DeltaE94(in[0], in[1], in[2][0], in[3][0], in[4][0]);
    }
};

// Operands: reference, sample, l, c.
struct DeltaECmc {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 0, 0, 0}, kIn = 4, kData = 2;
    static void Run(const float* const* in, float* const* out) {
        out[0][0] = DeltaECMC(in[0], in[1], in[2][0], in[3][0]);
    }
};

// The same with the usual factors: kL, kC, kH 1 (graphic arts) and CMC 2:1 (acceptability),
// which a call need not pass as operands.
struct DeltaE1994Default {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 0}, kIn = 2, kData = 2;
    static void Run(const float* const* in, float* const* out) {
        out[0][0] = DeltaE94(in[0], in[1], 1.0f, 1.0f, 1.0f);
    }
};

struct DeltaECmcDefault {
    using Value = float;
    static constexpr int kShape[] = {3, 3, 0}, kIn = 2, kData = 2;
    static void Run(const float* const* in, float* const* out) {
        out[0][0] = DeltaECMC(in[0], in[1], 2.0f, 1.0f);
    }
};

// CIEDE2000 is the measurement library's, in double precision. Operands as DeltaE1994.
struct DeltaE2000 {
    using Value = double;
    static constexpr int kShape[] = {3, 3, 0, 0, 0, 0}, kIn = 5, kData = 2;
    static void Run(const double* const* in, double* const* out) {
        const std::array<double, 3> reference = {in[0][0], in[0][1], in[0][2]};
        const std::array<double, 3> sample = {in[1][0], in[1][1], in[1][2]};
        out[0][0] = vantrel::measure::Ciede2000(reference, sample, in[2][0], in[3][0], in[4][0]);
    }
};

struct DeltaE2000Default {
    using Value = double;
    static constexpr int kShape[] = {3, 3, 0}, kIn = 2, kData = 2;
    static void Run(const double* const* in, double* const* out) {
        const std::array<double, 3> reference = {in[0][0], in[0][1], in[0][2]};
        const std::array<double, 3> sample = {in[1][0], in[1][1], in[1][2]};
        out[0][0] = vantrel::measure::Ciede2000(reference, sample, 1.0, 1.0, 1.0);
    }
};

}  // namespace

namespace vpy {

void AddColourFunctions(PyObject* module) {
    struct Entry {
        const char* name;
        PyObject* function;
    };
    const Entry entries[] = {
        {"xyz_to_lab", MakeFunction<XyzToLab>("xyz_to_lab", "XYZ and white to L*a*b*")},
        {"lab_to_xyz", MakeFunction<LabToXyz>("lab_to_xyz", "L*a*b* and white to XYZ")},
        {"lab_to_lch", MakeFunction<LabToLch>("lab_to_lch", "L*a*b* to LCh, hue in degrees")},
        {"lch_to_lab", MakeFunction<LchToLab>("lch_to_lab", "LCh, hue in degrees, to L*a*b*")},
        {"xyz_to_srgb", MakeFunction<XyzToRgb<XYZ2SRGB>>("xyz_to_rgb", "XYZ / scale to sRGB")},
        {"xyz_to_colormatch",
         MakeFunction<XyzToRgb<XYZ2ColorMatchRGB>>("xyz_to_rgb", "XYZ / scale to ColorMatch RGB")},
        {"xyz_to_calibrated",
         MakeFunction<XyzToCalibrated>("xyz_to_rgb", "XYZ / scale to calibrated RGB")},
        {"lab_to_srgb", MakeFunction<LabToRgb<LAB2SRGB>>("lab_to_rgb", "L*a*b* to sRGB")},
        {"lab_to_colormatch",
         MakeFunction<LabToRgb<LAB2ColorMatchRGB>>("lab_to_rgb", "L*a*b* to ColorMatch RGB")},
        {"lab_to_calibrated",
         MakeFunction<LabToCalibrated>("lab_to_rgb", "L*a*b* to calibrated RGB")},
        {"rgb_to_hsv", MakeFunction<RgbToHsv>("rgb_to_hsv", "RGB to HSV")},
        {"spectrum_to_xyz",
         MakeFunction<SpectrumToXyz>("spectrum_to_xyz", "spectrum to D50 XYZ / scale")},
        {"density_t",
         MakeFunction<Densities<SpectrumToDensityT>>("densities", "Status T densities")},
        {"density_i",
         MakeFunction<Densities<SpectrumToDensityI>>("densities", "Status I densities")},
        {"lightness",
         MakeFunction<Binary<Y2LDblStar_AveSurround>>("lightness", "Y and white Y to L**")},
        {"lightness_to_y",
         MakeFunction<Binary<LDblStar2Y_AveSurround>>("lightness_to_y", "L** and white Y to Y")},
        {"lstar_to_lightness",
         MakeFunction<Unary<L2LDblStar_AveSurround>>("lstar_to_lightness", "L* to L**")},
        {"lightness_to_lstar",
         MakeFunction<Unary<LDblStar2L_AveSurround>>("lightness_to_lstar", "L** to L*")},
        {"adapt_scaling", MakeFunction<Adapt<CA_XYZScaling>>("adapt", "XYZ scaling")},
        {"adapt_vonkries", MakeFunction<Adapt<CA_VonKries>>("adapt", "von Kries")},
        {"adapt_bradford", MakeFunction<Adapt<CA_Bradford>>("adapt", "Bradford")},
        {"adapt_equienergy",
         MakeFunction<Adapt<CA_EquiEnergyVonKries>>("adapt", "equal-energy von Kries")},
        {"adapt_linear_bradford",
         MakeFunction<Adapt<CA_LinearBradford>>("adapt", "linear Bradford")},
        {"delta_e_cie76", MakeFunction<DeltaE76>("delta_e", "CIE 1976 difference")},
        {"delta_e_cie94", MakeFunction<DeltaE1994>("delta_e", "CIE 1994 difference")},
        {"delta_e_cmc", MakeFunction<DeltaECmc>("delta_e", "CMC l:c difference")},
        {"delta_e_ciede2000", MakeFunction<DeltaE2000>("delta_e", "CIEDE2000 difference")},
        {"delta_e_cie94_default", MakeFunction<DeltaE1994Default>("delta_e", "CIE 1994, 1:1:1")},
        {"delta_e_cmc_default", MakeFunction<DeltaECmcDefault>("delta_e", "CMC 2:1")},
        {"delta_e_ciede2000_default",
         MakeFunction<DeltaE2000Default>("delta_e", "CIEDE2000, 1:1:1")},
    };
    for (const Entry& e : entries) AddObject(module, e.name, e.function);
}

}  // namespace vpy
