import os
from dataclasses import dataclass
from typing import Any, Mapping, Optional, Tuple, Union

import numpy as np
from numpy.typing import NDArray

_Source = Union[str, os.PathLike[str]]

class MeasureError(ValueError):
    file: str
    line: int
    field: str

@dataclass(frozen=True, eq=False)
class Measurement:
    path: str
    table: int
    table_count: int
    file_type: str
    source: str
    ids: NDArray[np.str_]
    names: NDArray[np.str_]
    locations: NDArray[np.str_]
    lines: NDArray[np.int32]
    keywords: Tuple[Tuple[str, str], ...]
    conditions: Mapping[str, str]
    wavelengths: NDArray[np.int_]
    spectra: NDArray[np.float32]
    spectral_scale: Optional[str]
    spectral_scale_basis: Optional[str]
    spectral_scale_reason: str
    content: str
    xyz: Optional[NDArray[np.float64]]
    lab: Optional[NDArray[np.float64]]
    warnings: Tuple[str, ...]
    _set: Any
    def __len__(self) -> int: ...
    def to_cgats(self) -> str: ...

@dataclass(frozen=True)
class Check:
    name: str
    limit: float
    value: float
    passed: bool

@dataclass(frozen=True, eq=False)
class Group:
    name: str
    members: NDArray[np.int64]
    differences: NDArray[np.float64]
    count: int
    mean: float
    median: float
    p95: float
    max: float
    std_dev: float
    checks: Tuple[Check, ...]
    passed: bool

@dataclass(frozen=True, eq=False)
class Comparison:
    metric: str
    parameters: str
    paired_by: str
    ids: NDArray[np.str_]
    reference_index: NDArray[np.int64]
    sample_index: NDArray[np.int64]
    reference_lab: NDArray[np.float64]
    sample_lab: NDArray[np.float64]
    differences: NDArray[np.float64]
    dl: NDArray[np.float64]
    dc: NDArray[np.float64]
    dh: NDArray[np.float64]
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
    _bound: Any
    def worst(self, n: int = ...) -> NDArray[np.int64]: ...
    def write_png(self, path: _Source, *, width: int = ...) -> None: ...

def read_cgats(
    source: _Source, *, table: int = ..., scale: Optional[str] = ...
) -> Measurement: ...
def colours(
    measurement: Measurement | _Source,
    *,
    illuminant: Optional[str] = ...,
    observer: Optional[str] = ...,
    colour: str = ...,
) -> Tuple[NDArray[np.float64], NDArray[np.float64]]: ...
def densities(measurement: Measurement | _Source, status: str = ...) -> NDArray[np.float32]: ...
def compare(
    reference: Measurement | _Source,
    sample: Measurement | _Source,
    *,
    metric: str = ...,
    max: Optional[float] = ...,
    mean: Optional[float] = ...,
    p95: Optional[float] = ...,
    tolerances: Optional[_Source] = ...,
    illuminant: Optional[str] = ...,
    observer: Optional[str] = ...,
    kl: float = ...,
    kc: float = ...,
    kh: float = ...,
    l: float = ...,
    c: float = ...,
    ignore_conditions: bool = ...,
    pair_by: str = ...,
    colour: str = ...,
    relative_to_paper: bool = ...,
    paper: Optional[str] = ...,
) -> Comparison: ...
