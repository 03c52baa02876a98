// Reference results for the Python package's tests: reads records of doubles from standard
// input, calls the library on each as a C++ caller would (narrowing the values to float where
// the library takes float) and writes the results to standard output, float or double as the
// library gives them. usage: reference_writer FUNCTION < records > results
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

// A function of the library that computes in float; CIEDE2000, in double, has no `run`.
struct Function {
    const char* name;
    int in, out;  // values per record and per result
    void (*run)(const float* v, float* r);
};

void Adapt(const float* v, float* r, EChromaticAdaptationAlgorithm method) {
    for (int i = 0; i < 3; ++i) r[i] = v[i] / v[9];
    ChromaticAdapt(v + 3, v + 6, r, 1, method);
    for (int i = 0; i < 3; ++i) r[i] *= v[9];
}

double Ciede2000(const double* v) {
    return vantrel::measure::Ciede2000({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, v[6], v[7], v[8]);
}

// Records: the inputs, then the parameters in the order the Python function passes them.
const Function kFunctions[] = {
    {"xyz_to_lab", 6, 3,
     [](const float* v, float* r) {
         CX_XYZ2LAB_float(v[0], v[1], v[2], v[3], v[4], v[5], &r[0], &r[1], &r[2]);
     }},
    {"lab_to_xyz", 6, 3,
     [](const float* v, float* r) {
         CX_LAB2XYZ_float(v[0], v[1], v[2], v[3], v[4], v[5], &r[0], &r[1], &r[2]);
     }},
    {"lab_to_lch", 3, 3,
     [](const float* v, float* r) {
         LAB2LCH(v, r);
         r[2] = static_cast<float>(static_cast<double>(r[2]) * 180.0 / M_PI);
     }},
    {"lch_to_lab", 3, 3,
     [](const float* v, float* r) { CX_LCH2LAB(v[0], v[1], v[2], &r[0], &r[1], &r[2]); }},
    {"xyz_to_srgb", 4, 3,
     [](const float* v, float* r) {
         XYZ2SRGB(v[0] / v[3], v[1] / v[3], v[2] / v[3], &r[0], &r[1], &r[2]);
     }},
    {"xyz_to_colormatch", 4, 3,
     [](const float* v, float* r) {
         XYZ2ColorMatchRGB(v[0] / v[3], v[1] / v[3], v[2] / v[3], &r[0], &r[1], &r[2]);
     }},
    {"xyz_to_calibrated", 14, 3,
     [](const float* v, float* r) {
         XYZ2CalibratedRGB(v + 4, v[13], v[0] / v[3], v[1] / v[3], v[2] / v[3], &r[0], &r[1],
                           &r[2]);
     }},
    {"lab_to_srgb", 3, 3,
     [](const float* v, float* r) { LAB2SRGB(v[0], v[1], v[2], &r[0], &r[1], &r[2]); }},
    {"lab_to_colormatch", 3, 3,
     [](const float* v, float* r) { LAB2ColorMatchRGB(v[0], v[1], v[2], &r[0], &r[1], &r[2]); }},
    {"lab_to_calibrated", 13, 3,
     [](const float* v, float* r) {
         LAB2CalibratedRGB(v + 3, v[12], v[0], v[1], v[2], &r[0], &r[1], &r[2]);
     }},
    {"rgb_to_hsv", 3, 3,
     [](const float* v, float* r) { RGB2HSV(v[0], v[1], v[2], &r[0], &r[1], &r[2]); }},
    {"spectrum_to_xyz", 32, 3,
     [](const float* v, float* r) {
         float spectrum[32] = {0};
         std::memcpy(spectrum + 1, v, 31 * sizeof(float));
         CX_SpectrumToD50XYZ(spectrum, r);
         for (int i = 0; i < 3; ++i) r[i] /= v[31];
     }},
    {"density_t", 31, 4,
     [](const float* v, float* r) {
         float spectrum[32] = {0};
         std::memcpy(spectrum + 1, v, 31 * sizeof(float));
         SpectrumToDensityT(spectrum, r);
     }},
    {"density_i", 31, 4,
     [](const float* v, float* r) {
         float spectrum[32] = {0};
         std::memcpy(spectrum + 1, v, 31 * sizeof(float));
         SpectrumToDensityI(spectrum, r);
     }},
    {"lightness", 2, 1,
     [](const float* v, float* r) { r[0] = Y2LDblStar_AveSurround(v[0], v[1]); }},
    {"lightness_to_y", 2, 1,
     [](const float* v, float* r) { r[0] = LDblStar2Y_AveSurround(v[0], v[1]); }},
    {"lstar_to_lightness", 1, 1,
     [](const float* v, float* r) { r[0] = L2LDblStar_AveSurround(v[0]); }},
    {"lightness_to_lstar", 1, 1,
     [](const float* v, float* r) { r[0] = LDblStar2L_AveSurround(v[0]); }},
    {"adapt_scaling", 10, 3, [](const float* v, float* r) { Adapt(v, r, CA_XYZScaling); }},
    {"adapt_vonkries", 10, 3, [](const float* v, float* r) { Adapt(v, r, CA_VonKries); }},
    {"adapt_bradford", 10, 3, [](const float* v, float* r) { Adapt(v, r, CA_Bradford); }},
    {"adapt_equienergy", 10, 3,
     [](const float* v, float* r) { Adapt(v, r, CA_EquiEnergyVonKries); }},
    {"adapt_linear_bradford", 10, 3,
     [](const float* v, float* r) { Adapt(v, r, CA_LinearBradford); }},
    {"delta_e_cie76", 6, 1, [](const float* v, float* r) { r[0] = DeltaE(v, v + 3); }},
    {"delta_e_cie94", 9, 1,
     [](const float* v, float* r) { r[0] = DeltaE94(v, v + 3, v[6], v[7], v[8]); }},
    {"delta_e_cmc", 8, 1, [](const float* v, float* r) { r[0] = DeltaECMC(v, v + 3, v[6], v[7]); }},
    {"delta_e_ciede2000", 9, 1, nullptr},
};

}  // namespace

int main(int argc, char** argv) {
    const Function* f = nullptr;
    for (const Function& candidate : kFunctions)
        if (argc == 2 && argv[1] == std::string(candidate.name)) f = &candidate;
    if (!f) {
        std::fprintf(stderr, "usage: reference_writer FUNCTION < records > results\n");
        return 2;
    }
    std::vector<double> records;
    double chunk[4096];
    while (const std::size_t n = std::fread(chunk, sizeof(double), 4096, stdin))
        records.insert(records.end(), chunk, chunk + n);
    std::vector<char> results;
    auto append = [&](const void* p, std::size_t size) {
        results.insert(results.end(), static_cast<const char*>(p),
                       static_cast<const char*>(p) + size);
    };
    for (std::size_t k = 0; k + f->in <= records.size(); k += f->in) {
        if (!f->run) {
            const double r = Ciede2000(&records[k]);
            append(&r, sizeof r);
            continue;
        }
        float v[32], r[4];
        for (int i = 0; i < f->in; ++i) v[i] = static_cast<float>(records[k + i]);
        f->run(v, r);
        append(r, f->out * sizeof(float));
    }
    return std::fwrite(results.data(), 1, results.size(), stdout) == results.size() ? 0 : 1;
}
