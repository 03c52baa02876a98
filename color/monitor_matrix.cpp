// The monitor's RGB-to-XYZ matrix relative to D50, from the chromaticities of its primaries
// and white point.
#include <cstring>

#include "vantrel/colorimetry.h"
#include "vantrel/linalg.h"
#include "vantrel/preference_records.h"

namespace {

const float kD50White[3] = {0.9642f, 1.0f, 0.8249f};

}  // namespace

short GetMonitorTransformMatrix(const PF_MonitorSettings& settings, float (*forward)[3],
                                float (*inverse)[3]) {
    // One column per primary: x, y and z = (1 - x) - y.
    const float x[3] = {settings.fRedX, settings.fGreenX, settings.fBlueX};
    const float y[3] = {settings.fRedY, settings.fGreenY, settings.fBlueY};
    float matrix[3][3];
    for (int j = 0; j < 3; ++j) {
        matrix[0][j] = x[j];
        matrix[1][j] = y[j];
        matrix[2][j] = (1.0f - x[j]) - y[j];
    }
    // The monitor's white at Y = 1.
    float white[3] = {settings.fWhiteX / settings.fWhiteY, 1.0f,
                      ((1.0f - settings.fWhiteX) - settings.fWhiteY) / settings.fWhiteY};

    // The intensities of the primaries that mix to the white.
    float* rows[3] = {matrix[0], matrix[1], matrix[2]};
    float intensity[3];
    int kind = 0;
    LinSolve3(rows, white, intensity, kind);
    if (kind != VANTREL_SOLUTION_UNIQUE) return VANTREL_ERR_WHITE_NOT_DETERMINED;

    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) matrix[i][j] = intensity[j] * matrix[i][j];

    // Each primary's XYZ, adapted from the monitor's white to D50.
    for (int j = 0; j < 3; ++j) {
        float column[3] = {matrix[0][j], matrix[1][j], matrix[2][j]};
        ChromaticAdapt(white, kD50White, column, 1, CA_LinearBradford);
        for (int i = 0; i < 3; ++i) matrix[i][j] = column[i];
    }

    if (forward) std::memcpy(forward, matrix, sizeof matrix);
    if (!inverse) return VANTREL_SUCCESS;
    std::memcpy(inverse, matrix, sizeof matrix);
    float* inverseRows[3] = {inverse[0], inverse[1], inverse[2]};
    return Invert3x3Matrix(inverseRows);
}
