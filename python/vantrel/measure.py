"""Measurement files (CGATS) and the comparison of a sample set with its reference.

The reading, colorimetry, pairing, statistics, verdict and picture are those of the library's
measurement library (the `vantrel measure` and `vantrel compare` commands use the same): this
module gives their results as NumPy arrays and immutable values.
"""

from __future__ import annotations

import os
from dataclasses import dataclass, field
from types import MappingProxyType
from typing import Any, Mapping, Optional, Tuple, Union

import numpy as np

from . import _core

__all__ = [
    "Check",
    "Comparison",
    "Group",
    "MeasureError",
    "Measurement",
    "colours",
    "compare",
    "densities",
    "read_cgats",
]

#: Bad or unusable measurement data: a ValueError whose ``file``, ``line`` (from 1; 0 when
#: the fault is not on one line) and ``field`` (empty when none) say where.
MeasureError = _core.MeasureError


def _frozen(array: np.ndarray) -> np.ndarray:
    array.flags.writeable = False
    return array


@dataclass(frozen=True, eq=False)
class Measurement:
    """One table of a CGATS measurement file.

    Attributes
    ----------
    path : str
        Names the file (or the text) in messages.
    table, table_count : int
        Which table of the file this is (from 1), of how many.
    file_type : str
        The file's first word: "CGATS.17", "CTI3", ...
    source : {"spectrum", "xyz", "lab"}
        Where the patches' colour comes from: spectral fields when there are any, else XYZ,
        else L*a*b*.
    ids, names, locations : ndarray of str, shape (n,)
        SAMPLE_ID, SAMPLE_NAME and SAMPLE_LOC of each patch (empty strings when the file has
        none).
    lines : ndarray of int, shape (n,)
        The line of each patch's data row.
    keywords : tuple of (str, str)
        Header keywords in file order.
    conditions : mapping
        illuminant, observer, measurement_condition and filter as the header states them.
    wavelengths : ndarray of int, shape (k,)
        Of the spectral samples (evenly spaced); empty without spectra.
    spectra : ndarray of float32, shape (n, k)
        As written, on the scale `spectral_scale`.
    spectral_scale : {"percent", "factors"} or None
        The scale of the spectra: as the caller told, as the file states (SPECTRAL_NORM, its
        file type), as the data show (a value above 2), or a guess; None without spectra.
    spectral_scale_basis : {"told", "stated", "data", "guess"} or None
    spectral_scale_reason : str
        The scale and how it was decided, in words ("percent (stated: SPECTRAL_NORM 100)").
    content : {"surface", "light", "matching functions"}
        What the spectra are of; only surfaces have colours here.
    xyz, lab : ndarray of float64, shape (n, 3), or None
        The values the file states, when `source` is "xyz" or "lab".
    warnings : tuple of str
        About data that was read but not used.
    """

    path: str
    table: int
    table_count: int
    file_type: str
    source: str
    ids: np.ndarray
    names: np.ndarray
    locations: np.ndarray
    lines: np.ndarray
    keywords: Tuple[Tuple[str, str], ...]
    conditions: Mapping[str, str]
    wavelengths: np.ndarray
    spectra: np.ndarray
    spectral_scale: Optional[str]
    spectral_scale_basis: Optional[str]
    spectral_scale_reason: str
    content: str
    xyz: Optional[np.ndarray]
    lab: Optional[np.ndarray]
    warnings: Tuple[str, ...]
    _set: Any = field(repr=False)

    def __len__(self) -> int:
        return len(self.ids)

    def to_cgats(self) -> str:
        """The table as the text of a CGATS.17 file that reads back to the same patches,
        spectra, values and scale (counts written from the data, each number in its shortest
        exact text)."""
        return str(self._set.format())

    @classmethod
    def _of(cls, s: Any) -> "Measurement":
        spectral = s.source == "spectrum"
        values = _frozen(s.values)
        scale, basis, reason = s.scale if spectral else (None, None, "")
        return cls(
            path=s.path,
            table=s.table,
            table_count=s.table_count,
            file_type=s.file_type,
            source=s.source,
            ids=_frozen(np.array(s.ids, dtype=str)),
            names=_frozen(np.array(s.names, dtype=str)),
            locations=_frozen(np.array(s.locations, dtype=str)),
            lines=_frozen(s.lines),
            keywords=tuple(s.keywords),
            conditions=MappingProxyType(s.conditions),
            wavelengths=_frozen(
                np.arange(s.first_nm, s.last_nm + 1, s.step_nm) if spectral else np.zeros(0, int)
            ),
            spectra=_frozen(s.spectra),
            spectral_scale=scale,
            spectral_scale_basis=basis,
            spectral_scale_reason=reason,
            content=s.content,
            xyz=values if s.source == "xyz" else None,
            lab=values if s.source == "lab" else None,
            warnings=tuple(s.warnings),
            _set=s,
        )


def read_cgats(
    source: Union[str, "os.PathLike[str]"], *, table: int = 1, scale: Optional[str] = None
) -> Measurement:
    """Reads a CGATS.17 measurement file.

    Parameters
    ----------
    source : str or path-like
        A path, or the file's text itself (a str holding a line break).
    table : int, optional
        The table to read, from 1.
    scale : {"percent", "factors"}, optional
        The scale of the spectral values, when known; decided from the file otherwise.

    Raises
    ------
    MeasureError
        For a missing or unreadable file, text that is not CGATS, counts that disagree with
        the data, a value that is not a number where one belongs, or no colour fields.
    """
    if isinstance(source, str) and ("\n" in source or "\r" in source):
        return Measurement._of(_core.parse_cgats(source, "<text>", table, scale or ""))
    return Measurement._of(_core.read_cgats_file(os.fspath(source), table, scale or ""))


def _measurement(value: Any) -> Measurement:
    return value if isinstance(value, Measurement) else read_cgats(value)


def colours(
    measurement: Any,
    *,
    illuminant: Optional[str] = None,
    observer: Optional[str] = None,
    colour: str = "auto",
) -> Tuple[np.ndarray, np.ndarray]:
    """XYZ (percent scale) and L*a*b* of every patch, float64 arrays of shape (n, 3).

    Spectra are integrated with the library's D50 table (400 to 700 nm) unless `illuminant`
    (D50, D65, A, C, F2, F7, F11) or `observer` ("2" or "10") asks for the CIE tables over the
    file's own range, L*a*b* then relative to the perfect reflector under them. The colour
    comes from the spectra when the file has them (`colour="auto"`), else from the XYZ or
    L*a*b* it states; `colour="spectra"` or `"stated"` insists on one (MeasureError when the
    file lacks it), as ``vantrel measure --colour`` does.
    """
    m = _measurement(measurement)
    xyz, lab, _ = _core.colours(m._set, illuminant or "", str(observer or ""), colour)
    return _frozen(xyz), _frozen(lab)


def densities(measurement: Any, status: str = "T") -> np.ndarray:
    """Status T or Status I densities (visual, red, green, blue) of every patch, float32 of
    shape (n, 4), from the samples at 400, 410, ..., 700 nm of its spectra (every second
    sample of spectra every 5 nm), as :func:`vantrel.densities` gives them for factors.

    Raises
    ------
    MeasureError
        For a file without spectra of surfaces, or without those samples.
    """
    if status not in ("T", "t", "I", "i"):
        raise ValueError(f"densities: status must be 'T' or 'I', not {status!r}")
    status_t, status_i = _core.densities(_measurement(measurement)._set)
    return _frozen(status_t if status in ("T", "t") else status_i)


@dataclass(frozen=True)
class Check:
    """One tolerance: its name ("max", "mean" or "p95"), limit, the value found, and whether
    the value is within the limit."""

    name: str
    limit: float
    value: float
    passed: bool


@dataclass(frozen=True, eq=False)
class Group:
    """The judgement of one group of a tolerance profile.

    Attributes
    ----------
    name : str
    members : ndarray of int, shape (m,)
        Positions of its patches in the arrays of the comparison.
    differences : ndarray of float64, shape (m,)
        In the group's metric, and relative to each file's paper white when the group asks.
    count, mean, median, p95, max, std_dev : statistics of `differences` (0 without members)
    checks : tuple of Check
        Its limits, "max-dh" (on the largest |dH*ab|) among them when it has one.
    passed : bool
        Every limit is met (True for a group without members).
    """

    name: str
    members: np.ndarray
    differences: np.ndarray
    count: int
    mean: float
    median: float
    p95: float
    max: float
    std_dev: float
    checks: Tuple[Check, ...]
    passed: bool


def _statistics(stats: Mapping[str, Any]) -> Mapping[str, Any]:
    return {k: stats[k] for k in ("count", "mean", "median", "p95", "max", "std_dev")}


@dataclass(frozen=True, eq=False)
class Comparison:
    """The comparison of a sample set with its reference, patch by patch.

    Attributes
    ----------
    metric : str
        "dE00", "dE94", "dECMC" or "dE*ab", and `parameters` its factors as text.
    paired_by : str
        "SAMPLE_ID", "SAMPLE_NAME", "SAMPLE_LOC" or "order".
    ids : ndarray of str, shape (n,)
        What a person calls each compared patch of the reference (id, else name, else #k).
    reference_index, sample_index : ndarray of int, shape (n,)
        The paired patches in their files, in the reference's order.
    reference_lab, sample_lab : ndarray of float64, shape (n, 3)
    differences : ndarray of float64, shape (n,)
    dl, dc, dh : ndarray of float64, shape (n,)
        Signed CIE 1976 lightness, chroma and hue differences of the sample.
    count, mean, median, p95, max, std_dev : statistics of `differences`
    checks : tuple of Check
    groups : tuple of Group
        The groups of the tolerance profile, in its order.
    passed : bool
        Every tolerance and every group of the profile passes (True when none was given).
    over_max : int
        Patches above the max tolerance.
    paper : (int, int) or None
        For a media-relative comparison, the paper white patches of the reference and the
        sample (indices in their files).
    warnings : tuple of str
        Patches left out of the pairing.
    """

    metric: str
    parameters: str
    paired_by: str
    ids: np.ndarray
    reference_index: np.ndarray
    sample_index: np.ndarray
    reference_lab: np.ndarray
    sample_lab: np.ndarray
    differences: np.ndarray
    dl: np.ndarray
    dc: np.ndarray
    dh: np.ndarray
    count: int
    mean: float
    median: float
    p95: float
    max: float
    std_dev: float
    checks: Tuple[Check, ...]
    groups: Tuple[Group, ...]
    passed: bool
    over_max: int
    paper: Optional[Tuple[int, int]]
    warnings: Tuple[str, ...]
    _bound: Any = field(repr=False)

    def worst(self, n: int = 1) -> np.ndarray:
        """Positions (into the arrays of this comparison) of the `n` largest differences,
        largest first; equal differences keep their order."""
        return _frozen(np.asarray(self._bound.worst_first[: max(n, 0)], dtype=np.int64))

    def write_png(self, path: Union[str, "os.PathLike[str]"], *, width: int = 1600) -> None:
        """Draws the comparison as a PNG picture `width` pixels wide at most (816 to 4096; 1600,
        an A4 page at 200 pixels an inch, by default): the groups of a tolerance profile with
        their verdicts, a histogram with the limits, and a split swatch per patch, where the
        chart has it when the reference gives locations (SAMPLE_LOC), the worst outlined. The
        cells shrink to the width; at most 4096 pixels high, the worst patches first when not
        all fit. Written whole or not at all, MeasureError otherwise."""
        if isinstance(width, bool) or not isinstance(width, (int, np.integer)) or not 816 <= width <= 4096:
            raise ValueError(f"write_png: width must be a whole number from 816 to 4096, not {width!r}")
        _core.write_report(os.fspath(path), self._bound, int(width))


_METRICS = {"CIEDE2000": "CIEDE2000", "CIE94": "CIE94", "CMC": "CMC", "CIE76": "CIE76"}


def _profile(tolerances: Any) -> Any:
    """A tolerance profile from its path or its text (a str holding a line break)."""
    if isinstance(tolerances, str) and ("\n" in tolerances or "\r" in tolerances):
        return _core.parse_tolerance_profile(tolerances, "<tolerances>")
    return _core.read_tolerance_profile(os.fspath(tolerances))


# What a refusal of the library lacks to say which argument changes it.
_REMEDIES = (
    ("; pairing by ", "pair_by= chooses"),
    ("conditions differ", "ignore_conditions=True compares them anyway"),
    ("colours under different conditions", "ignore_conditions=True compares them anyway"),
)


def compare(
    reference: Any,
    sample: Any,
    *,
    metric: str = "CIEDE2000",
    max: Optional[float] = None,
    mean: Optional[float] = None,
    p95: Optional[float] = None,
    tolerances: Union[str, "os.PathLike[str]", None] = None,
    illuminant: Optional[str] = None,
    observer: Optional[str] = None,
    kl: float = 1,
    kc: float = 1,
    kh: float = 1,
    l: float = 2,
    c: float = 1,
    ignore_conditions: bool = False,
    pair_by: str = "id",
    colour: str = "auto",
    relative_to_paper: bool = False,
    paper: Optional[str] = None,
) -> Comparison:
    """Compares a sample set with its reference, as ``vantrel compare`` does.

    Parameters
    ----------
    reference, sample : Measurement, path or CGATS text
        When the spectral scale of one is a guess, it is settled by the other (the scale whose
        colours lie nearer the other's); spectra that do not take the library's D50 table make
        both sets integrated with the CIE tables.
    metric : {"CIEDE2000", "CIE94", "CMC", "CIE76"}, optional
        With the factors kl, kc, kh (CIEDE2000, CIE94) or l, c (CMC l:c).
    max, mean, p95 : float, optional
        Tolerances on the largest difference, the mean and the 95th percentile.
    tolerances : str or path-like, optional
        A tolerance profile, its path or its text (a str holding a line break), as
        ``vantrel compare --tolerances`` reads it: groups of patches (by id or name pattern,
        device values, the reference's lightness and chroma), each judged by its own metric
        and limits, absolute or media-relative; the verdict is theirs and that of max, mean
        and p95. A profile it cannot read raises MeasureError naming the line.
    illuminant, observer : str, optional
        The CIE integration of spectra, as in :func:`colours`.
    ignore_conditions : bool, optional
        Compare files whose headers state different illuminants, observers, measurement
        conditions or filters, or whose colours are under different ones (refused otherwise,
        with MeasureError).
    pair_by : {"id", "name", "location", "order"}, optional
        How patches pair: by SAMPLE_ID (the default, as ``vantrel compare`` pairs),
        SAMPLE_NAME or SAMPLE_LOC, each file having the field with each key once, or by their
        order in the files. A set that cannot be paired so raises MeasureError, which names
        the ways that would pair them.
    colour : {"auto", "spectra", "stated"}, optional
        The colour of each set: from its spectra when it has any ("auto"), else the XYZ or
        L*a*b* it states; or as asked.
    relative_to_paper : bool, optional
        Media-relative: each set's colours relative to its own paper white, so that it is
        L* 100, a* 0, b* 0.
    paper : str, optional
        The key (by `pair_by`; SAMPLE_ID when pairing by order) of the paper white patch, for
        `relative_to_paper` and the profile's media-relative groups; the lightest patch (or
        the profile's "paper") when None.

    Returns
    -------
    Comparison
    """
    name = _METRICS.get(metric.upper()) if isinstance(metric, str) else None
    if name is None:
        raise ValueError(f"compare: unknown metric {metric!r} (CIEDE2000, CIE94, CMC or CIE76)")
    ref, smp = _measurement(reference), _measurement(sample)
    factors = [float(v) for v in (kl, kc, kh, l, c)]
    if not all(np.isfinite(factors)) or min(factors) <= 0:
        raise ValueError("compare: every factor must be finite and above 0")
    profile = None if tolerances is None else _profile(tolerances)
    try:
        b = _core.compare(
            ref._set, smp._set, name, factors, illuminant or "", str(observer or ""), max, mean,
            p95, bool(ignore_conditions), pair_by, colour, bool(relative_to_paper), paper or "",
            profile,
        )
    except MeasureError as error:
        remedy = next((r for found, r in _REMEDIES if found in str(error)), None)
        if remedy:
            error.args = (f"{error} ({remedy})",)
        raise
    pairs, (ref_lab, smp_lab), parts, stats = b.pairs, b.labs, b.components, b.statistics
    label, parameters = b.metric
    return Comparison(
        metric=label,
        parameters=parameters,
        paired_by=b.paired_by,
        ids=_frozen(np.array([ref._set.label(k) for k in pairs[:, 0]], dtype=str)),
        reference_index=_frozen(pairs[:, 0].copy()),
        sample_index=_frozen(pairs[:, 1].copy()),
        reference_lab=_frozen(ref_lab),
        sample_lab=_frozen(smp_lab),
        differences=_frozen(b.differences),
        dl=_frozen(parts[:, 0].copy()),
        dc=_frozen(parts[:, 1].copy()),
        dh=_frozen(parts[:, 2].copy()),
        **_statistics(stats),
        checks=tuple(Check(*check) for check in b.checks),
        groups=tuple(
            Group(
                name=group_name,
                members=_frozen(members),
                differences=_frozen(differences),
                **_statistics(group_stats),
                checks=tuple(Check(*check) for check in checks),
                passed=passed,
            )
            for group_name, members, differences, group_stats, checks, passed in b.groups
        ),
        passed=b.passed,
        over_max=b.over_max,
        paper=b.paper,
        warnings=tuple(b.warnings),
        _bound=b,
    )
