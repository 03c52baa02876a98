"""Calling the core's ufuncs: parameter operands, and errors that name the function."""

from __future__ import annotations

from typing import Any, Sequence, Tuple

import numpy as np

#: XYZ divided by this for the library's unit-scale functions, by scale name.
PER_UNIT = {"percent": np.float32(100), "unit": np.float32(1)}

_REAL_KINDS = "biuf"


def per_unit(scale: str, name: str) -> np.float32:
    try:
        return PER_UNIT[scale]
    except (KeyError, TypeError):
        raise ValueError(f"{name}: scale must be 'percent' or 'unit', not {scale!r}") from None


def real_array(value: Any, name: str, what: str) -> np.ndarray:
    """`value` as an array of real numbers, or TypeError naming `what`."""
    try:
        array = np.asarray(value)
    except ValueError as error:
        raise ValueError(f"{name}: {what}: {error}") from None
    if array.dtype.kind not in _REAL_KINDS:
        raise TypeError(f"{name}: {what} must be real numbers, not {array.dtype} ({value!r:.60})")
    return array


def param(value: Any, dtype: type, name: str, what: str) -> Any:
    """A parameter operand (a number or an array of them) in the kernel's dtype."""
    if type(value) in (int, float):
        return dtype(value)
    return real_array(value, name, what).astype(dtype)


def triple(value: Any, name: str, what: str) -> np.ndarray:
    """A white or other triple of positive finite float32 values (any leading shape)."""
    array = param(value, np.float32, name, what)
    if array.ndim == 0 or array.shape[-1] != 3:
        raise ValueError(f"{name}: {what} must have shape (..., 3), not {array.shape}")
    if not np.all(np.isfinite(array) & (array > 0)):
        raise ValueError(f"{name}: each component of {what} must be finite and above 0")
    return array


def retry(
    function: Any,
    name: str,
    operands: Sequence[Tuple[str, int]],
    args: Tuple[Any, ...],
    out: Any,
    error: Exception,
) -> Any:
    """After ``function(*args, out=out)``, a function of the core, raised `error` (NumPy's
    TypeError or ValueError): says which data operand is at fault in terms of the function
    `name`, or converts a real dtype that has no loop (long double) to the kernel's and calls
    again. The data are the first operands of `args`; `operands` names each and gives its
    last dimension (0 for scalars)."""
    count = len(operands)
    data = _checked(function, name, operands, args[:count], error)
    return function(*data, *args[count:], out=out)


def _checked(
    function: Any,
    name: str,
    operands: Sequence[Tuple[str, int]],
    data: Tuple[Any, ...],
    error: Exception,
) -> Tuple[Any, ...]:
    # The type the kernel computes in, that of its results (float32, or float64).
    value_dtype = np.dtype(function.ufunc.types[0][-1])
    converted = []
    changed = False
    for value, (what, length) in zip(data, operands):
        array = real_array(value, name, what)
        if length and (array.ndim == 0 or array.shape[-1] != length):
            raise ValueError(f"{name}: {what} must have shape (..., {length}), not {array.shape}")
        if array.dtype.kind == "f" and not np.can_cast(array.dtype, np.float64):
            array = array.astype(value_dtype)  # long double, narrowed once
            changed = True
        converted.append(array)
    if not changed:
        raise type(error)(f"{name}: {error}") from None
    return tuple(converted)
