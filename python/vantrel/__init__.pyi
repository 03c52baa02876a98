from types import MappingProxyType
from typing import Any, Literal, Tuple

import numpy as np
from numpy.typing import ArrayLike, NDArray

from . import linalg as linalg
from . import measure as measure

__version__: str

_Scale = Literal["percent", "unit"]
_White = str | ArrayLike
_Out = NDArray[Any] | None

WHITES: MappingProxyType[str, Tuple[float, float, float]]

class CalibratedRGB:
    matrix: NDArray[np.float32]
    gamma: np.float32
    def __init__(self, matrix: ArrayLike, gamma: float) -> None: ...

def xyz_to_lab(
    xyz: ArrayLike, white: _White = ..., *, scale: _Scale = ..., out: _Out = ...
) -> NDArray[np.float32]: ...
def lab_to_xyz(
    lab: ArrayLike, white: _White = ..., *, scale: _Scale = ..., out: _Out = ...
) -> NDArray[np.float32]: ...
def lab_to_lch(lab: ArrayLike, *, out: _Out = ...) -> NDArray[np.float32]: ...
def lch_to_lab(lch: ArrayLike, *, out: _Out = ...) -> NDArray[np.float32]: ...
def xyz_to_rgb(
    xyz: ArrayLike,
    space: str | CalibratedRGB = ...,
    *,
    scale: _Scale = ...,
    out: _Out = ...,
) -> NDArray[np.float32]: ...
def lab_to_rgb(
    lab: ArrayLike, space: str | CalibratedRGB = ..., *, out: _Out = ...
) -> NDArray[np.float32]: ...
def rgb_to_hsv(rgb: ArrayLike, *, out: _Out = ...) -> NDArray[np.float32]: ...
def spectrum_to_xyz(
    spectrum: ArrayLike,
    *,
    illuminant: str | None = ...,
    observer: str | int | None = ...,
    scale: _Scale = ...,
    out: _Out = ...,
) -> NDArray[np.float32] | NDArray[np.float64]: ...
def densities(
    spectrum: ArrayLike, status: Literal["T", "I", "t", "i"] = ..., *, out: _Out = ...
) -> NDArray[np.float32]: ...
def lightness(
    y: ArrayLike, white_y: ArrayLike | None = ..., *, scale: _Scale = ..., out: _Out = ...
) -> Any: ...
def lightness_to_y(
    lightness: ArrayLike,
    white_y: ArrayLike | None = ...,
    *,
    scale: _Scale = ...,
    out: _Out = ...,
) -> Any: ...
def lstar_to_lightness(lstar: ArrayLike, *, out: _Out = ...) -> Any: ...
def lightness_to_lstar(lightness: ArrayLike, *, out: _Out = ...) -> Any: ...
def adapt(
    xyz: ArrayLike,
    source_white: _White,
    target_white: _White,
    method: str = ...,
    *,
    scale: _Scale = ...,
    out: _Out = ...,
) -> NDArray[np.float32]: ...
def delta_e(
    reference: ArrayLike,
    sample: ArrayLike,
    method: str = ...,
    *,
    kl: ArrayLike | None = ...,
    kc: ArrayLike | None = ...,
    kh: ArrayLike | None = ...,
    l: ArrayLike | None = ...,
    c: ArrayLike | None = ...,
    out: _Out = ...,
) -> Any: ...
