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

#include "vantrel/export.h"

// ---------------------------------------------------------------------------------------------
// XYZ, L*a*b* and LCh

/// XYZ to L*a*b* relative to the white (Xn, Yn, Zn), given in the same units as X, Y, Z.
VANTREL_API void CX_XYZ2LAB_float(float X, float Y, float Z, float Xn, float Yn, float Zn,
                                  float* L, float* a, float* b);
/// Percent-scale XYZ to L*a*b* relative to D50 (96.42, 100, 82.49).
VANTREL_API void CX_D50XYZ2LAB(float X, float Y, float Z, float* L, float* a, float* b);
/// L*a*b* to XYZ on the scale of the white (Xn, Yn, Zn). Negative X and Z are clamped to 0;
/// Y is not (a negative L* gives a negative Y).
VANTREL_API void CX_LAB2XYZ_float(float L, float a, float b, float Xn, float Yn, float Zn,
                                  float* X, float* Y, float* Z);
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
