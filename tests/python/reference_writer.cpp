// Reference results for the Python package's tests: reads records of doubles from standard
// input, completes each with the parameters given as arguments, calls the library on it as a
// C++ caller would (narrowing the values to float where the library takes float) and writes
// the results to standard output, float or double as the library gives them.
// usage: reference_writer FUNCTION [PARAMETER...] < records > results
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vantrel/colorimetry.h"
#include "vantrel/linalg.h"
#include "vantrel/measure.h"

namespace {

// A function of the library: values per record and per result, and the computation (in
// float, or in double for those that compute in double).
template <typename T>
struct Function {
    const char* name;
    int in, out;
    void (*run)(const T* v, T* r);
};

void Adapt(const float* v, float* r, EChromaticAdaptationAlgorithm method) {
    for (int i = 0; i < 3; ++i) r[i] = v[i] / v[9];
    ChromaticAdapt(v + 3, v + 6, r, 1, method);
    for (int i = 0; i < 3; ++i) r[i] *= v[9];
}

// Records: A row by row, then b. Results: x, 0 unless the solution is unique, and the kind of
// solution (3 for LinSolve's row of zeros).
template <typename T, int N>
void Solve(const T* v, T* r) {
    T a[N][N], b[N];
    T* rows[N];
    std::memcpy(a, v, sizeof a);
    std::memcpy(b, v + N * N, sizeof b);
    for (int i = 0; i < N; ++i) rows[i] = a[i];
    int kind = 0;
    short result = 0;
    if constexpr (N == 3) result = LinSolve3(rows, b, r, kind);
    if constexpr (N != 3) result = LinSolve(rows, b, N, r, kind);
    if (kind != VANTREL_SOLUTION_UNIQUE || result != VANTREL_SUCCESS)
        for (int i = 0; i < N; ++i) r[i] = 0;
    r[N] = static_cast<T>(result == VANTREL_ERR_SINGULAR ? 3 : kind);
}

// Records: the inputs, then the parameters in the order the Python function passes them.
const Function<float> kFunctions[] = {
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
    {"solve3", 12, 4, Solve<float, 3>},
    {"solve4", 20, 5, Solve<float, 4>},
};

const Function<double> kDoubleFunctions[] = {
    {"delta_e_ciede2000", 9, 1,
     [](const double* v, double* r) {
         r[0] =
             vantrel::measure::Ciede2000({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, v[6], v[7], v[8]);
     }},
    {"solve3_double", 12, 4, Solve<double, 3>},
};

template <typename T, std::size_t N>
const Function<T>* Find(const Function<T> (&table)[N], const char* name) {
    for (const Function<T>& f : table)
        if (name == std::string(f.name)) return &f;
    return nullptr;
}

// Runs f on each record followed by the parameters, narrowed to T, and appends its results'
// bytes to `results`.
template <typename T>
void RunAll(const Function<T>& f, const std::vector<double>& records,
            const std::vector<double>& parameters, std::vector<char>& results) {
    const std::size_t width = f.in - parameters.size();
    for (std::size_t k = 0; k + width <= records.size(); k += width) {
        T v[32], r[5];
        for (std::size_t i = 0; i < width; ++i) v[i] = static_cast<T>(records[k + i]);
        for (std::size_t i = 0; i < parameters.size(); ++i)
            v[width + i] = static_cast<T>(parameters[i]);
        f.run(v, r);
        const char* bytes = reinterpret_cast<const char*>(r);
        results.insert(results.end(), bytes, bytes + f.out * sizeof(T));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Function<float>* f = argc >= 2 ? Find(kFunctions, argv[1]) : nullptr;
    const Function<double>* d = argc >= 2 ? Find(kDoubleFunctions, argv[1]) : nullptr;
    if ((!f && !d) || argc - 2 >= (f ? f->in : d->in)) {
        std::fprintf(stderr, "usage: reference_writer FUNCTION [PARAMETER...] < records\n");
        return 2;
    }
    std::vector<double> parameters;
    for (int i = 2; i < argc; ++i) parameters.push_back(std::strtod(argv[i], nullptr));
    std::vector<double> records;
    double chunk[4096];
    while (const std::size_t n = std::fread(chunk, sizeof(double), 4096, stdin))
        records.insert(records.end(), chunk, chunk + n);
    std::vector<char> results;
    if (f) RunAll(*f, records, parameters, results);
    if (d) RunAll(*d, records, parameters, results);
    return std::fwrite(results.data(), 1, results.size(), stdout) == results.size() ? 0 : 1;
}
