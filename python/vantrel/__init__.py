"""Vantrel's colour science on NumPy arrays.

Every function takes arrays of any shape whose last dimension holds one colour (3 values),
one spectrum (31) or one set of densities (4), broadcasts its operands as NumPy does, accepts
``out=``, and returns the library's exact results: the values are narrowed to float32 and
computed by libvantrel, one colour at a time, with the GIL released. Any real array-like
input is accepted (lists, float64, integers, any strides and byte order); complex, string and
object input raise TypeError, a wrong last dimension, method, scale or white ValueError.
Non-finite results (from NaN input, say) draw NumPy's RuntimeWarning, as NumPy's own ufuncs
do; ``numpy.errstate`` silences it.

Where the library's definitions differ from what other colour code does:

- XYZ is on the percent scale (the white's Y is 100) unless ``scale="unit"`` (Y is 1);
- the sRGB and ColorMatch RGB encodings take D50 XYZ and apply a pure power curve
  (gamma 2.2 and 1.8, no linear segment near black) to linear RGB clipped to 0..1;
- the library's own LCh gives the hue in radians; :func:`lab_to_lch` and :func:`lch_to_lab`
  use degrees both ways;
- CIEDE2000 is computed in double precision (float64 results), the other differences in
  single precision (float32).
"""

from __future__ import annotations

import types
from typing import Any

import numpy as np

from . import _core, linalg, measure
from ._arrays import param, per_unit, real_array, retry, triple

__version__ = "0.1.0"

__all__ = [
    "WHITES",
    "CalibratedRGB",
    "adapt",
    "delta_e",
    "densities",
    "lab_to_lch",
    "lab_to_rgb",
    "lab_to_xyz",
    "lch_to_lab",
    "lightness",
    "lightness_to_lstar",
    "lightness_to_y",
    "lstar_to_lightness",
    "rgb_to_hsv",
    "spectrum_to_xyz",
    "xyz_to_lab",
    "xyz_to_rgb",
]

_PERCENT_WHITES = {name: np.array(w[0], np.float32) for name, w in _core.WHITES.items()}
_UNIT_WHITES = {name: np.array(w[1], np.float32) for name, w in _core.WHITES.items()}
for _white in (*_PERCENT_WHITES.values(), *_UNIT_WHITES.values()):
    _white.flags.writeable = False

_WHITES_ON_SCALE = {"percent": _PERCENT_WHITES, "unit": _UNIT_WHITES}

#: The named whites (CIE 1931 2-degree observer) on the percent scale: D50, D55, D65, D75,
#: A, C and E. On the unit scale each is the float32 nearest its value divided by 100.
WHITES = types.MappingProxyType({name: tuple(w[0]) for name, w in _core.WHITES.items()})

_XYZ = (("xyz", 3),)
_LAB = (("lab", 3),)


def _white(white: Any, scale: str, name: str, what: str = "white") -> Any:
    """A white on the data's scale: a name's float32 triple, or the triple given."""
    whites = _WHITES_ON_SCALE.get(scale)
    if whites is None:
        per_unit(scale, name)  # raises: not a scale
    if isinstance(white, str):
        found = whites.get(white)
        if found is None:
            found = whites.get(white.upper())
        if found is None:
            raise ValueError(f"{name}: unknown {what} {white!r} (one of {', '.join(whites)})")
        return found
    return triple(white, name, what)


def xyz_to_lab(xyz: Any, white: Any = "D50", *, scale: str = "percent", out: Any = None) -> Any:
    """CIE XYZ to CIE L*a*b*.

    Parameters
    ----------
    xyz : array_like, shape (..., 3)
        X, Y, Z on the scale `scale`.
    white : str or array_like, shape (..., 3), optional
        The reference white: a name of :data:`WHITES` or X, Y, Z on the data's scale, each
        above 0. D50 by default.
    scale : {"percent", "unit"}, optional
        Y of the white is 100 ("percent", the default) or 1 ("unit").
    out : ndarray, optional
        Where to write the result.

    Returns
    -------
    ndarray, shape (..., 3), float32
        L*, a*, b*.

    Examples
    --------
    >>> vantrel.xyz_to_lab([41.24, 21.26, 1.93])
    array([53.232918, 78.30396 , 62.164486], dtype=float32)
    """
    w = _white(white, scale, "xyz_to_lab")
    try:
        return _core.xyz_to_lab(xyz, w, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.xyz_to_lab, "xyz_to_lab", _XYZ, (xyz, w), out, error)


def lab_to_xyz(lab: Any, white: Any = "D50", *, scale: str = "percent", out: Any = None) -> Any:
    """CIE L*a*b* to CIE XYZ on the scale of the white.

    Parameters are those of :func:`xyz_to_lab`. Negative X and Z are clamped to 0; Y is not
    (a negative L* gives a negative Y).

    Returns
    -------
    ndarray, shape (..., 3), float32
        X, Y, Z.
    """
    w = _white(white, scale, "lab_to_xyz")
    try:
        return _core.lab_to_xyz(lab, w, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lab_to_xyz, "lab_to_xyz", _LAB, (lab, w), out, error)


def lab_to_lch(lab: Any, *, out: Any = None) -> Any:
    """CIE L*a*b* to L*, C*, h with the hue in degrees (0 to 360).

    The library computes the hue in radians; it is turned into degrees in double precision
    and narrowed to float32.

    Returns
    -------
    ndarray, shape (..., 3), float32
    """
    try:
        return _core.lab_to_lch(lab, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lab_to_lch, "lab_to_lch", _LAB, (lab,), out, error)


def lch_to_lab(lch: Any, *, out: Any = None) -> Any:
    """L*, C*, h with the hue in degrees to CIE L*a*b*.

    Returns
    -------
    ndarray, shape (..., 3), float32
    """
    try:
        return _core.lch_to_lab(lch, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lch_to_lab, "lch_to_lab", (("lch", 3),), (lch,), out, error)


class CalibratedRGB:
    """An RGB space given by a matrix from D50 unit-scale XYZ to linear RGB and a gamma.

    Parameters
    ----------
    matrix : array_like, shape (3, 3)
        Rows R, G, B; columns X, Y, Z (the inverse monitor matrix).
    gamma : float
        The display gamma: linear RGB, clipped to 0..1, is raised to 1 / gamma.
    """

    __slots__ = ("matrix", "gamma")
    matrix: np.ndarray
    gamma: np.float32

    def __init__(self, matrix: Any, gamma: float) -> None:
        m = param(matrix, np.float32, "CalibratedRGB", "matrix")
        if m.shape != (3, 3):
            raise ValueError(f"CalibratedRGB: matrix must have shape (3, 3), not {m.shape}")
        m = m.reshape(9)
        m.flags.writeable = False
        object.__setattr__(self, "matrix", m)
        object.__setattr__(self, "gamma", param(float(gamma), np.float32, "CalibratedRGB", "gamma"))

    def __setattr__(self, name: str, value: Any) -> None:
        raise AttributeError("CalibratedRGB is immutable")

    def __repr__(self) -> str:
        return f"CalibratedRGB({self.matrix.reshape(3, 3).tolist()}, {float(self.gamma)})"


_SPACES = {"srgb": "srgb", "colormatch": "colormatch", "colormatchrgb": "colormatch"}


def _space(space: Any, name: str) -> Any:
    if isinstance(space, CalibratedRGB):
        return space
    key = _SPACES.get(str(space).lower().replace(" ", "")) if isinstance(space, str) else None
    if key is None:
        raise ValueError(f"{name}: space must be 'sRGB', 'ColorMatch' or a CalibratedRGB, not {space!r}")
    return key


def xyz_to_rgb(xyz: Any, space: Any = "sRGB", *, scale: str = "percent", out: Any = None) -> Any:
    """D50 XYZ to gamma-encoded RGB, 0..1, unrounded.

    Parameters
    ----------
    xyz : array_like, shape (..., 3)
        X, Y, Z relative to D50, on the scale `scale` (D50 gives RGB 1, 1, 1).
    space : {"sRGB", "ColorMatch"} or CalibratedRGB, optional
        sRGB (gamma 2.2, the default), ColorMatch RGB (gamma 1.8) or a calibrated space.
        Every one is a pure power curve on linear RGB clipped to 0..1: the library's sRGB
        has no linear segment near black and takes D50, not D65, XYZ.
    scale : {"percent", "unit"}, optional
    out : ndarray, optional

    Returns
    -------
    ndarray, shape (..., 3), float32
    """
    s = _space(space, "xyz_to_rgb")
    unit = per_unit(scale, "xyz_to_rgb")
    if s == "srgb":
        function, args = _core.xyz_to_srgb, (xyz, unit)
    elif s == "colormatch":
        function, args = _core.xyz_to_colormatch, (xyz, unit)
    else:
        function, args = _core.xyz_to_calibrated, (xyz, unit, s.matrix, s.gamma)
    try:
        return function(*args, out=out)
    except (TypeError, ValueError) as error:
        return retry(function, "xyz_to_rgb", _XYZ, args, out, error)


def lab_to_rgb(lab: Any, space: Any = "sRGB", *, out: Any = None) -> Any:
    """CIE L*a*b* relative to D50 to gamma-encoded RGB, as :func:`xyz_to_rgb`.

    Returns
    -------
    ndarray, shape (..., 3), float32
    """
    s = _space(space, "lab_to_rgb")
    if s == "srgb":
        function, args = _core.lab_to_srgb, (lab,)
    elif s == "colormatch":
        function, args = _core.lab_to_colormatch, (lab,)
    else:
        function, args = _core.lab_to_calibrated, (lab, s.matrix, s.gamma)
    try:
        return function(*args, out=out)
    except (TypeError, ValueError) as error:
        return retry(function, "lab_to_rgb", _LAB, args, out, error)


def rgb_to_hsv(rgb: Any, *, out: Any = None) -> Any:
    """RGB in any non-negative scale to hue in degrees (0 to 360), saturation (0..1) and value
    (the largest component, in the input's scale). Black and greys have hue 0.

    Returns
    -------
    ndarray, shape (..., 3), float32
    """
    try:
        return _core.rgb_to_hsv(rgb, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.rgb_to_hsv, "rgb_to_hsv", (("rgb", 3),), (rgb,), out, error)


_SPECTRUM = (("spectrum", 31),)


def spectrum_to_xyz(
    spectrum: Any,
    *,
    illuminant: Any = None,
    observer: Any = None,
    scale: str = "percent",
    out: Any = None,
) -> Any:
    """Reflectance spectra to XYZ: with the library's D50 table, or under a CIE illuminant
    and observer.

    Parameters
    ----------
    spectrum : array_like, shape (..., 31)
        Reflectance (or transmittance) factors, 0..1, at 400, 410, ..., 700 nm.
    illuminant : {"D50", "D65", "A", "C", "F2", "F7", "F11"}, optional
    observer : {"2", "10"} or int, optional
        Without either, the library's D50 table (2-degree observer) gives float32 XYZ, a
        perfect reflector (96.421, 99.997, 82.524). With either (D50 and 2 degrees for the one
        not given), the measurement library integrates the spectra in double precision with
        the CIE's tables every 5 nm, as ``vantrel spectrum --illuminant`` does: float64 XYZ,
        a perfect reflector the illuminant's white with Y = 100 (the XYZ of
        ``numpy.ones(31)``, which L*a*b* under that illuminant is relative to).
    scale : {"percent", "unit"}, optional
        The scale of the result; the unit scale is the percent scale divided by 100.
    out : ndarray, optional

    Returns
    -------
    ndarray, shape (..., 3), float32 with the library's table, float64 under a CIE
    illuminant and observer
    """
    unit = per_unit(scale, "spectrum_to_xyz")
    if illuminant is not None or observer is not None:
        return _cie_xyz(spectrum, illuminant, observer, unit, out)
    divisor = np.float32(100) / unit  # the library integrates to the percent scale
    try:
        return _core.spectrum_to_xyz(spectrum, divisor, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.spectrum_to_xyz, "spectrum_to_xyz", _SPECTRUM, (spectrum, divisor), out, error)


def _cie_xyz(spectrum: Any, illuminant: Any, observer: Any, unit: Any, out: Any) -> Any:
    name = "spectrum_to_xyz"
    given = real_array(spectrum, name, "spectrum")
    if given.ndim == 0 or given.shape[-1] != 31:
        raise ValueError(f"{name}: spectrum must have shape (..., 31), not {given.shape}")
    rows = given.reshape(-1, 31)
    try:
        xyz = _core.spectra_to_xyz(rows, str(illuminant or ""), str(observer or "")) if len(rows) else np.zeros((0, 3))
    except ValueError as error:
        raise ValueError(f"{name}: {error}") from None
    xyz = xyz.reshape(given.shape[:-1] + (3,))
    if unit != 100:
        xyz /= 100
    if out is None:
        return xyz
    if np.shape(out) != xyz.shape:
        raise ValueError(f"{name}: out must have shape {xyz.shape}, not {np.shape(out)}")
    np.copyto(out, xyz, casting="same_kind")
    return out


def densities(spectrum: Any, status: str = "T", *, out: Any = None) -> Any:
    """Status T or Status I densities of reflectance spectra.

    Parameters
    ----------
    spectrum : array_like, shape (..., 31)
        Factors, 0..1, at 400 to 700 nm in 10 nm steps.
    status : {"T", "I"}, optional

    Returns
    -------
    ndarray, shape (..., 4), float32
        Visual, red, green and blue densities, each between 0 and 4.
    """
    if status in ("T", "t"):
        function = _core.density_t
    elif status in ("I", "i"):
        function = _core.density_i
    else:
        raise ValueError(f"densities: status must be 'T' or 'I', not {status!r}")
    try:
        return function(spectrum, out=out)
    except (TypeError, ValueError) as error:
        return retry(function, "densities", _SPECTRUM, (spectrum,), out, error)


def _white_y(white_y: Any, scale: str, name: str) -> Any:
    if white_y is None:
        return per_unit(scale, name)
    return param(white_y, np.float32, name, "white_y")


def lightness(y: Any, white_y: Any = None, *, scale: str = "percent", out: Any = None) -> Any:
    """Luminance to L**, the library's lightness under an average surround:
    L** = 110.5 sqrt(Y / Yn + 0.01) - 11.05 (0 for black, 100.0011 for the white).

    Parameters
    ----------
    y : array_like
        Luminance Y.
    white_y : array_like, optional
        The white's luminance Yn; 100, or 1 with ``scale="unit"``, by default.
    scale : {"percent", "unit"}, optional

    Returns
    -------
    ndarray or float32
    """
    yn = _white_y(white_y, scale, "lightness")
    try:
        return _core.lightness(y, yn, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lightness, "lightness", (("y", 0),), (y, yn), out, error)


def lightness_to_y(lightness: Any, white_y: Any = None, *, scale: str = "percent", out: Any = None) -> Any:
    """L** (average surround) to luminance on the scale of the white; see :func:`lightness`."""
    yn = _white_y(white_y, scale, "lightness_to_y")
    try:
        return _core.lightness_to_y(lightness, yn, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lightness_to_y, "lightness_to_y", (("lightness", 0),), (lightness, yn), out, error)


def lstar_to_lightness(lstar: Any, *, out: Any = None) -> Any:
    """CIE L* to L** (average surround)."""
    try:
        return _core.lstar_to_lightness(lstar, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lstar_to_lightness, "lstar_to_lightness", (("lstar", 0),), (lstar,), out, error)


def lightness_to_lstar(lightness: Any, *, out: Any = None) -> Any:
    """L** (average surround) to CIE L*."""
    try:
        return _core.lightness_to_lstar(lightness, out=out)
    except (TypeError, ValueError) as error:
        return retry(_core.lightness_to_lstar, "lightness_to_lstar", (("lightness", 0),), (lightness,), out, error)


_METHODS = {
    "scaling": _core.adapt_scaling,
    "vonkries": _core.adapt_vonkries,
    "von-kries": _core.adapt_vonkries,
    "bradford": _core.adapt_bradford,
    "equienergy": _core.adapt_equienergy,
    "linear-bradford": _core.adapt_linear_bradford,
}


def adapt(
    xyz: Any,
    source_white: Any,
    target_white: Any,
    method: str = "linear-bradford",
    *,
    scale: str = "percent",
    out: Any = None,
) -> Any:
    """Chromatic adaptation of XYZ seen under `source_white` to `target_white`.

    Parameters
    ----------
    xyz : array_like, shape (..., 3)
        X, Y, Z on the scale `scale`.
    source_white, target_white : str or array_like, shape (..., 3)
        A name of :data:`WHITES` or X, Y, Z on the data's scale, each above 0.
    method : str, optional
        "scaling" (X, Y, Z each scaled by the ratio of the whites), "vonkries" (von Kries in
        Hunt-Pointer-Estevez cone space), "bradford" (with the non-linear blue response),
        "equienergy" (von Kries in the equal-energy cone space, clipping to 0..100, or 0..1
        on the unit scale) or "linear-bradford" (the default).
    scale : {"percent", "unit"}, optional
    out : ndarray, optional

    Returns
    -------
    ndarray, shape (..., 3), float32
        The colours are adapted on the unit scale (divided by 100 first on the percent
        scale, multiplied back after). With the Bradford methods a colour whose unit-scale Y
        is below 0.0001 becomes 0.
    """
    function = _METHODS.get(method) if isinstance(method, str) else None
    if function is None:
        function = _METHODS.get(str(method).lower())
        if function is None:
            raise ValueError(
                f"adapt: unknown method {method!r} "
                "(scaling, vonkries, bradford, equienergy or linear-bradford)"
            )
    unit = per_unit(scale, "adapt")
    # The library adapts on the unit scale: named whites are taken there, given ones divided.
    whites = []
    for white, what in ((source_white, "source_white"), (target_white, "target_white")):
        if isinstance(white, str):
            whites.append(_white(white, "unit", "adapt", what))
        else:
            whites.append(triple(white, "adapt", what) / unit)
    try:
        return function(xyz, whites[0], whites[1], unit, out=out)
    except (TypeError, ValueError) as error:
        return retry(function, "adapt", _XYZ, (xyz, *whites, unit), out, error)


# Per method: the function with the usual factors, the function that takes them, their names and
# usual values, and the dtype the library computes in.
_DELTA_E = {
    "CIEDE2000": (
        _core.delta_e_ciede2000_default,
        _core.delta_e_ciede2000,
        {"kl": 1, "kc": 1, "kh": 1},
        np.float64,
    ),
    "CIE94": (
        _core.delta_e_cie94_default,
        _core.delta_e_cie94,
        {"kl": 1, "kc": 1, "kh": 1},
        np.float32,
    ),
    "CMC": (_core.delta_e_cmc_default, _core.delta_e_cmc, {"l": 2, "c": 1}, np.float32),
    "CIE76": (_core.delta_e_cie76, _core.delta_e_cie76, {}, np.float32),
}
_PAIR = (("reference", 3), ("sample", 3))


def delta_e(
    reference: Any,
    sample: Any,
    method: str = "CIEDE2000",
    *,
    kl: Any = None,
    kc: Any = None,
    kh: Any = None,
    l: Any = None,
    c: Any = None,
    out: Any = None,
) -> Any:
    """The colour difference of `sample` from `reference`, both CIE L*a*b*.

    Parameters
    ----------
    reference, sample : array_like, shape (..., 3)
    method : {"CIEDE2000", "CIE94", "CMC", "CIE76"}, optional
        CIEDE2000 (the default) is computed in double precision from the values as given
        (float64); the others are the library's single-precision functions on the values
        narrowed to float32. CIE94 and CMC weight the difference by the reference's chroma
        (CMC also by its lightness and hue), so swapping the colours changes them.
    kl, kc, kh : array_like, optional
        Parametric factors of CIEDE2000 and CIE94 (1 by default).
    l, c : array_like, optional
        The CMC l:c factors (2 and 1 by default: acceptability).
    out : ndarray, optional

    Returns
    -------
    ndarray, shape (...), float64 for CIEDE2000, float32 otherwise
    """
    kernels = _DELTA_E.get(method) if isinstance(method, str) else None
    if kernels is None and isinstance(method, str):
        kernels = _DELTA_E.get(method.upper())
    if kernels is None:
        raise ValueError(f"delta_e: unknown method {method!r} (CIEDE2000, CIE94, CMC or CIE76)")
    if kl is None and kc is None and kh is None and l is None and c is None:
        function = kernels[0]
        try:
            return function(reference, sample, out=out)
        except (TypeError, ValueError) as error:
            return retry(function, "delta_e", _PAIR, (reference, sample), out, error)
    _, function, usual, dtype = kernels
    given = {"kl": kl, "kc": kc, "kh": kh, "l": l, "c": c}
    for k, v in given.items():
        if v is not None and k not in usual:
            raise ValueError(f"delta_e: {k} is not a factor of {method}")
    args = (reference, sample) + tuple(
        param(usual[k] if given[k] is None else given[k], dtype, "delta_e", k) for k in usual
    )
    try:
        return function(*args, out=out)
    except (TypeError, ValueError) as error:
        return retry(function, "delta_e", _PAIR, args, out, error)
