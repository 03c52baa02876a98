/// @file
/// Colour science: CIE XYZ, L*a*b* and LCh conversions, colour differences, RGB encodings and
/// HSV, spectra and densities, lightness, chromatic adaptation and the monitor matrix.
///
/// Every colour component is a single-precision float. Scalar forms take three values and
/// write three outputs through pointers, which must be valid; array forms take a pointer to
/// three floats. Nothing is range-checked: out-of-range or non-finite input follows the
/// formulas under IEEE arithmetic (a zero white component divides by zero).
///
/// XYZ scales: percent (white Y = 100), unit (white Y = 1) and 255 (white Y = 127.50195,
/// L* multiplied by 2.55). The D50 white is (96.42, 100, 82.49) on the percent scale.
#pragma once

#include <cstdint>

#include "vantrel/export.h"
#include "vantrel/result_codes.h"

// ---------------------------------------------------------------------------------------------
// XYZ, L*a*b* and LCh

/// XYZ to L*a*b* relative to the white (Xn, Yn, Zn), given in the same units as X, Y, Z.
VANTREL_API void CX_XYZ2LAB_float(float X, float Y, float Z, float Xn, float Yn, float Zn, float* L,
                                  float* a, float* b);
/// Percent-scale XYZ to L*a*b* relative to D50 (96.42, 100, 82.49).
VANTREL_API void CX_D50XYZ2LAB(float X, float Y, float Z, float* L, float* a, float* b);
/// L*a*b* to XYZ on the scale of the white (Xn, Yn, Zn). Negative X and Z are clamped to 0;
/// Y is not (a negative L* gives a negative Y).
VANTREL_API void CX_LAB2XYZ_float(float L, float a, float b, float Xn, float Yn, float Zn, float* X,
                                  float* Y, float* Z);
/// L*a*b* to percent-scale XYZ relative to D50; X and Z clamped at 0 as above.
VANTREL_API void CX_D50LAB2XYZ(float L, float a, float b, float* X, float* Y, float* Z);
/// 255-scale XYZ to L* x 2.55 (0..255) and plain a*, b*. The white is
/// (122.93738, 127.50195, 105.17635) scaled component-wise by `whiteFactors` when that is
/// non-null (it is only read); null means factors (1, 1, 1). Nothing is rounded or offset.
VANTREL_API void CX_XYZ255ToL255AB(float X, float Y, float Z, float* L, float* a, float* b,
                                   float* whiteFactors);
/// Inverse of CX_XYZ255ToL255AB: L* x 2.55 and plain a*, b* to 255-scale XYZ.
VANTREL_API void CX_L255ABToXYZ255(float L, float a, float b, float* X, float* Y, float* Z,
                                   float* whiteFactors);
/// L*a*b* array to L*, C*, h with the hue in radians (0 to 2 pi). labIn and lchOut may be the
/// same array.
VANTREL_API void LAB2LCH(const float* labIn, float* lchOut);
/// L*, C*, h to L*a*b*, the hue taken in degrees (not the radians LAB2LCH gives).
VANTREL_API void CX_LCH2LAB(float L, float C, float h, float* Lout, float* a, float* b);

// ---------------------------------------------------------------------------------------------
// Colour differences
//
// Each takes two L*a*b* arrays (plain CIE units, read only): the reference first, then the
// sample. DeltaE94 and DeltaECMC weight the difference by the reference's chroma (and, for
// CMC, its lightness and hue), so swapping the arguments changes their result.

/// CIE 1976 difference, Delta E*ab: the Euclidean distance in L*a*b*.
VANTREL_API float DeltaE(const float* refLab, const float* sampleLab);
/// CIE 1994 difference with the parametric factors kL, kC, kH for lightness, chroma and hue,
/// used as passed (1, 1, 1 for graphic arts; a zero factor gives an infinite or NaN result).
VANTREL_API float DeltaE94(const float* refLab, const float* sampleLab, float kL, float kC,
                           float kH);
/// CMC l:c difference with the lightness factor l and the chroma factor c (2:1 for
/// acceptability, 1:1 for perceptibility), used as passed.
VANTREL_API float DeltaECMC(const float* refLab, const float* sampleLab, float l, float c);

// ---------------------------------------------------------------------------------------------
// RGB encodings and HSV
//
// XYZ input is relative to D50 on the unit scale (white Y = 1: the D50 white gives RGB 1, 1, 1);
// L*a*b* input is relative to D50 in plain CIE units. RGB comes out gamma-encoded in 0..1,
// unrounded: linear RGB is clipped to 0..1 and raised to 1 / gamma, a pure power curve with no
// linear segment near black (also for sRGB).

/// D50 XYZ to sRGB (gamma 2.2).
VANTREL_API void XYZ2SRGB(float X, float Y, float Z, float* R, float* G, float* B);
/// D50 L*a*b* to sRGB. R, G, B first receive the intermediate XYZ (from CX_LAB2XYZ_float, then
/// divided by 100), which the RGB then overwrites.
VANTREL_API void LAB2SRGB(float L, float a, float b, float* R, float* G, float* B);
/// D50 XYZ to ColorMatch RGB (gamma 1.8).
VANTREL_API void XYZ2ColorMatchRGB(float X, float Y, float Z, float* R, float* G, float* B);
/// D50 L*a*b* to ColorMatch RGB; R, G, B carry the intermediate XYZ as in LAB2SRGB.
VANTREL_API void LAB2ColorMatchRGB(float L, float a, float b, float* R, float* G, float* B);
/// D50 XYZ to a calibrated RGB. `rgbMatrix` is nine floats row by row, R, G, B each from
/// X, Y, Z (the layout of GetMonitorTransformMatrix's inverse); the curve's exponent is
/// 1 / displayGamma (a gamma of 0 gives an infinite exponent).
VANTREL_API void XYZ2CalibratedRGB(const float* rgbMatrix, float displayGamma, float X, float Y,
                                   float Z, float* R, float* G, float* B);
/// D50 L*a*b* to a calibrated RGB; R, G, B carry the intermediate XYZ as in LAB2SRGB.
VANTREL_API void LAB2CalibratedRGB(const float* rgbMatrix, float displayGamma, float L, float a,
                                   float b, float* R, float* G, float* B);
/// RGB in any non-negative scale to hue in degrees (0 to 360), saturation (0..1) and value (the
/// largest component, in the input's scale). Black and greys have hue 0.
VANTREL_API void RGB2HSV(float R, float G, float B, float* H, float* S, float* V);

// ---------------------------------------------------------------------------------------------
// Spectra and densities
//
// A spectrum is 32 floats: element 0 is never read, elements 1 to 31 are reflectance (or
// transmittance) factors, 0..1, at 400, 410, ..., 700 nm. A density set is four floats:
// visual, red, green, blue. Each density is -log10 of a quantity first limited to 0.0001..1, so
// it lies between 0 and 4; a quantity of 1 or more gives a zero with the sign bit set.

/// Integrates a spectrum under D50 (2-degree observer) into percent-scale XYZ, written to
/// xyzOut[0..2]; a perfect reflector gives (96.421, 99.997, 82.524).
VANTREL_API void CX_SpectrumToD50XYZ(const float* spectrum, float* xyzOut);
/// Status T densities of a spectrum, written to densitiesOut[0..3] (visual, red, green, blue).
VANTREL_API void SpectrumToDensityT(const float* spectrum, float* densitiesOut);
/// Status I densities of a spectrum, written to densitiesOut[0..3] (visual, red, green, blue).
VANTREL_API void SpectrumToDensityI(const float* spectrum, float* densitiesOut);
/// Visual density of percent-scale XYZ: -log10 of Y / 100. X and Z are not used.
VANTREL_API void XYZ2VisualDensity(float X, float Y, float Z, float* densityOut);
/// Visual density of an L*a*b* colour, from the relative luminance of L*. a* and b* are not
/// used.
VANTREL_API void LAB2VisualDensity(float L, float a, float b, float* densityOut);
/// Unit-scale D50 XYZ to four Status T style densities: visual from Y, red, green and blue from
/// a fixed matrix.
VANTREL_API void D50XYZ2StatusTDensity_VW(float X, float Y, float Z, float* visualDensity,
                                          float* redDensity, float* greenDensity,
                                          float* blueDensity);
/// Four Status T style densities back to unit-scale D50 XYZ: Y from the visual density, X and Z
/// from red, green and blue. Nothing is clamped (negative densities give values above 1); the
/// round trip with D50XYZ2StatusTDensity_VW is close, not exact.
VANTREL_API void StatusTDensity2D50XYZ_VW(float visualDensity, float redDensity, float greenDensity,
                                          float blueDensity, float* X, float* Y, float* Z);

// ---------------------------------------------------------------------------------------------
// Lightness under an average surround, L clipping
//
// L** ("LDblStar") is a lightness scale for an average surround: L** = 110.5 x sqrt(Y/Yn + 0.01)
// - 11.05, 0 for black and 100.0011 for the white.

/// Luminance Y and white luminance Yn (any common scale) to L**.
VANTREL_API float Y2LDblStar_AveSurround(float Y, float Yn);
/// L** to luminance on the scale of the white luminance Yn.
VANTREL_API float LDblStar2Y_AveSurround(float Lss, float Yn);
/// CIE L* to L**.
VANTREL_API float L2LDblStar_AveSurround(float L);
/// L** to CIE L*.
VANTREL_API float LDblStar2L_AveSurround(float Lss);
/// Clips a colour lighter than Lmax (expected positive): moves L*, a*, b* along the line
/// towards (Lmax / 2, 0, 0) until L* equals Lmax, keeping the hue. Unchanged when L <= Lmax.
VANTREL_API void LClipping(float& L, float& a, float& b, float Lmax);

// ---------------------------------------------------------------------------------------------
// Cone space and chromatic adaptation

/// The transform ChromaticAdapt applies. Any value other than 1 to 4 behaves as CA_XYZScaling.
enum EChromaticAdaptationAlgorithm : std::int32_t {
    CA_XYZScaling = 0,          ///< X, Y and Z each scaled by the ratio of the whites
    CA_VonKries = 1,            ///< von Kries in Hunt-Pointer-Estevez cone space (D65-normalised)
    CA_Bradford = 2,            ///< Bradford with the non-linear blue response
    CA_EquiEnergyVonKries = 3,  ///< von Kries in the equal-energy cone space, with clipping
    CA_LinearBradford = 4,      ///< Bradford without the blue non-linearity
};

/// Unit-scale XYZ to the equal-energy cone responses L, M, S, each clipped to 0..1.
VANTREL_API void EquiEnergyXYZToCone(float X, float Y, float Z, float* L, float* M, float* S);
/// Equal-energy cone responses to unit-scale XYZ, each clipped to 0..1.
VANTREL_API void ConeToEquiEnergyXYZ(float L, float M, float S, float* X, float* Y, float* Z);
/// Adapts `count` XYZ triples, stored one after another in `colors` (X, Y, Z, X, ...), in place
/// from the white `srcWhite` (under which they were measured) to the white `dstWhite`. Whites
/// are XYZ triples on the colours' scale (white Y = 1 or 100); `colors` must hold 3 x count
/// floats and is not touched when count is 0. CA_EquiEnergyVonKries clips to 0..1, so it wants
/// unit-scale colours. With CA_Bradford and CA_LinearBradford a colour whose Y is below 0.0001
/// (negative included) becomes zero.
///
/// CA_Bradford keeps the white-dependent exponent and factors of its last pair of whites in a
/// memo. The memo is one per thread, so calls from several threads may overlap; every result
/// is what a single memo would give to the calling thread's own sequence of calls.
VANTREL_API void ChromaticAdapt(const float* srcWhite, const float* dstWhite, float* colors,
                                std::uint32_t count, EChromaticAdaptationAlgorithm algorithm);

// ---------------------------------------------------------------------------------------------
// Monitor matrix

/// The monitor record (vantrel/preference_records.h, also included by vantrel/settings.h).
struct PF_MonitorSettings;

/// The matrix that maps a monitor's linear RGB (0..1) to unit-scale XYZ relative to D50, from
/// the CIE 1931 x, y chromaticities of its primaries and white in `settings` (only those eight
/// fields are read). The matrix is built for the monitor's white, then each primary is adapted
/// to D50 (0.9642, 1, 0.8249) with CA_LinearBradford, so RGB (1, 1, 1) maps to D50.
///
/// `forward` (rows X, Y, Z; columns R, G, B) and `inverse` (rows R, G, B; columns X, Y, Z, the
/// layout XYZ2CalibratedRGB takes) are each three rows of three floats, either or both null.
/// Returns VANTREL_SUCCESS (10) with every requested matrix written;
/// VANTREL_ERR_WHITE_NOT_DETERMINED (-7) when the primaries do not determine the white
/// (collinear or coincident primaries), writing nothing; VANTREL_ERR_SINGULAR (-3) when the
/// inverse is requested and the adapted matrix is singular: the forward matrix is written if
/// requested and `inverse` holds a copy of it. A white on or outside the primaries' triangle gives
/// primaries of zero or negative intensity, whose columns the adaptation sets to zero. A white y of
/// 0 is not rejected; it makes the matrices non-finite.
VANTREL_API short GetMonitorTransformMatrix(const PF_MonitorSettings& settings, float (*forward)[3],
                                            float (*inverse)[3]);
