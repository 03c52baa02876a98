"""Every colour function gives the library's bits, on random data and an edge set."""

import numpy as np
import pytest

import vantrel
from conftest import reference

# A million colours as float64, a tenth of that as float32 and of spectra.
N = 1_000_000
RNG = np.random.default_rng(20261206)

# Values on which implementations part: non-finite, signed zeros, subnormals (of float32, and
# of float64, which narrow to zero), huge values, and the neighbours of the L* junction
# (Y / Yn = 0.008856 on both scales, L* = 8).
_F32 = np.float32
_JUNCTION = np.array(
    [
        np.nextafter(_F32(0.008856) * s, _F32(np.inf) * d) if k else _F32(0.008856) * s
        for s in (_F32(1), _F32(100))
        for k, d in ((0, 1), (1, 1), (1, -1))
    ]
    + [np.nextafter(_F32(8), _F32(8) + d) for d in (-1, 0, 1)]
)
EDGES = np.concatenate(
    [
        [np.nan, -np.nan, np.inf, -np.inf, 0.0, -0.0, 1e-40, -1e-40, 1e-310, 1e30, -1e30],
        [-1.0, -50.0, 1.0, 100.0, 1e-6, 0.8856, 96.42, 82.49],
        _JUNCTION.astype(np.float64),
    ]
)


def data(n, width, low, high, dtype):
    """n rows of `width` random values in [low, high), the edge set in the first rows: each
    edge in each column (others 50) and across the whole row."""
    rows = RNG.uniform(low, high, (n, width))
    edges = np.full((len(EDGES) * (width + 1), width), 50.0)
    for k, e in enumerate(EDGES):
        edges[k * (width + 1) : (k + 1) * (width + 1)] = np.where(
            np.eye(width + 1, width, dtype=bool) | (np.arange(width + 1) == width)[:, None], e, 50.0
        )
    rows[: len(edges)] = edges
    return rows.astype(dtype)


def fixed(*values):
    return np.array(values, np.float32)


SCALES = {"percent": 100, "unit": 1}
MATRIX = fixed(3.13, -1.62, -0.49, -0.98, 1.92, 0.03, 0.07, -0.23, 1.39)
D50 = {"percent": fixed(96.42, 100, 82.49), "unit": fixed(0.9642, 1, 0.8249)}
D65_UNIT, A_UNIT = fixed(0.9505, 1, 1.0888), fixed(1.0985, 1, 0.3558)

# id: (reference function, data columns and range, parameter columns for every row or None
# for random whites, package call on the data)
CASES = {
    "xyz_to_lab random white": ("xyz_to_lab", (3, -10, 130), None, None),
    "lab_to_xyz random white": ("lab_to_xyz", (3, -10, 110), None, None),
    "lab_to_lch": ("lab_to_lch", (3, -130, 130), (), vantrel.lab_to_lch),
    "lch_to_lab": ("lch_to_lab", (3, -10, 400), (), vantrel.lch_to_lab),
    "lab_to_srgb": ("lab_to_srgb", (3, -130, 130), (), vantrel.lab_to_rgb),
    "lab_to_colormatch": (
        "lab_to_colormatch",
        (3, -130, 130),
        (),
        lambda x: vantrel.lab_to_rgb(x, "ColorMatch RGB"),
    ),
    "lab_to_calibrated": (
        "lab_to_calibrated",
        (3, -130, 130),
        (*MATRIX, 2.4),
        lambda x: vantrel.lab_to_rgb(x, vantrel.CalibratedRGB(MATRIX.reshape(3, 3), 2.4)),
    ),
    "rgb_to_hsv": ("rgb_to_hsv", (3, -0.2, 1.2), (), vantrel.rgb_to_hsv),
    "density_t": ("density_t", (31, -0.1, 1.2), (), vantrel.densities),
    "density_i": ("density_i", (31, -0.1, 1.2), (), lambda x: vantrel.densities(x, "I")),
    "lstar_to_lightness": ("lstar_to_lightness", (1, -10, 110), (), vantrel.lstar_to_lightness),
    "lightness_to_lstar": ("lightness_to_lstar", (1, -10, 110), (), vantrel.lightness_to_lstar),
    "CIE76": ("delta_e_cie76", (6, -130, 130), (), lambda x: vantrel.delta_e(x[..., :3], x[..., 3:], "CIE76")),
    "CIE94": ("delta_e_cie94", (6, -130, 130), (1, 1, 1), lambda x: vantrel.delta_e(x[..., :3], x[..., 3:], "CIE94")),
    "CIE94 2:1:1": (
        "delta_e_cie94",
        (6, -130, 130),
        (2, 1, 1),
        lambda x: vantrel.delta_e(x[..., :3], x[..., 3:], "cie94", kl=2),
    ),
    "CMC 2:1": ("delta_e_cmc", (6, -130, 130), (2, 1), lambda x: vantrel.delta_e(x[..., :3], x[..., 3:], "CMC")),
    "CMC 1:1": (
        "delta_e_cmc",
        (6, -130, 130),
        (1, 1),
        lambda x: vantrel.delta_e(x[..., :3], x[..., 3:], "CMC", l=1, c=1.0),
    ),
    "CIEDE2000": (
        "delta_e_ciede2000",
        (6, -130, 130),
        (1, 1, 1),
        lambda x: vantrel.delta_e(x[..., :3], x[..., 3:]),
    ),
    "CIEDE2000 1:2:0.5": (
        "delta_e_ciede2000",
        (6, -130, 130),
        (1, 2, 0.5),
        lambda x: vantrel.delta_e(x[..., :3], x[..., 3:], kc=2, kh=np.float32(0.5)),
    ),
}
for scale, unit in SCALES.items():
    xyz = (3, -0.1 * unit, 1.3 * unit)
    CASES |= {
        f"xyz_to_lab D50 {scale}": ("xyz_to_lab", xyz, (*D50[scale],), lambda x, s=scale: vantrel.xyz_to_lab(x, scale=s)),
        f"lab_to_xyz D50 {scale}": ("lab_to_xyz", (3, -10, 110), (*D50[scale],), lambda x, s=scale: vantrel.lab_to_xyz(x, scale=s)),
        f"xyz_to_srgb {scale}": ("xyz_to_srgb", xyz, (unit,), lambda x, s=scale: vantrel.xyz_to_rgb(x, scale=s)),
        f"xyz_to_colormatch {scale}": (
            "xyz_to_colormatch",
            xyz,
            (unit,),
            lambda x, s=scale: vantrel.xyz_to_rgb(x, "colormatch", scale=s),
        ),
        f"xyz_to_calibrated {scale}": (
            "xyz_to_calibrated",
            xyz,
            (unit, *MATRIX, 1.8),
            lambda x, s=scale: vantrel.xyz_to_rgb(x, vantrel.CalibratedRGB(MATRIX.reshape(3, 3), 1.8), scale=s),
        ),
        f"spectrum_to_xyz {scale}": (
            "spectrum_to_xyz",
            (31, -0.1, 1.2),
            (100 / unit,),
            lambda x, s=scale: vantrel.spectrum_to_xyz(x, scale=s),
        ),
        f"lightness {scale}": ("lightness", (1, -0.1 * unit, 1.3 * unit), (unit,), lambda x, s=scale: vantrel.lightness(x[..., 0], scale=s)),
        f"lightness_to_y {scale}": (
            "lightness_to_y",
            (1, -10, 110),
            (unit,),
            lambda x, s=scale: vantrel.lightness_to_y(x[..., 0], scale=s),
        ),
    }
    for method in ("scaling", "vonkries", "bradford", "equienergy", "linear-bradford"):
        CASES[f"adapt {method} {scale}"] = (
            "adapt_" + method.replace("-", "_"),
            xyz,
            (*D65_UNIT, *A_UNIT, unit),
            lambda x, s=scale, m=method: vantrel.adapt(x, "D65", "A", m, scale=s),
        )


@pytest.mark.filterwarnings("ignore::RuntimeWarning")  # NaN and overflows from the edge set
@pytest.mark.parametrize("dtype", [np.float32, np.float64])
@pytest.mark.parametrize("case", CASES)
def test_bits_match_the_library(case, dtype):
    function, (width, low, high), params, call = CASES[case]
    n = N if dtype == np.float64 and width < 31 else N // 10
    x = data(n, width, low, high, dtype)
    if params is None:  # a random positive white per colour
        white = RNG.uniform(0.5, 120, (n, 3)).astype(np.float32)
        records = np.hstack([x, white])
        got = getattr(vantrel, function)(x, white)
    else:
        records = x
        got = call(x)
    want = reference(function, records, np.array(params or (), np.float32)).reshape(got.shape)
    assert got.dtype == want.dtype
    bits = np.uint64 if want.dtype == np.float64 else np.uint32
    mismatched = np.flatnonzero((got.view(bits) != want.view(bits)).reshape(n, -1).any(axis=1))
    assert mismatched.size == 0, f"{mismatched.size} rows differ, first {records[mismatched[0]]}"
