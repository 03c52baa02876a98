"""Linear systems through the library's solvers."""

from __future__ import annotations

from typing import Any

import numpy as np
from numpy.linalg import LinAlgError

from . import _core
from ._arrays import real_array

__all__ = ["LinAlgError", "solve"]

_UNIQUE, _NONE, _MANY, _ZERO_ROW, _NO_MEMORY = 1, 0, 2, 3, 4


def solve(a: Any, b: Any) -> np.ndarray:
    """Solve ``a @ x = b`` for each system of a stack.

    Parameters
    ----------
    a : array_like, shape (..., n, n)
        The matrices (real numbers), element ``[..., i, j]`` in row i, column j.
    b : array_like, shape (..., n)
        One right-hand side per matrix; the leading dimensions broadcast with those of `a`.

    Returns
    -------
    ndarray, shape (..., n)
        3x3 systems are solved by the library's LinSolve3 (Gaussian elimination with complete
        pivoting; an element whose magnitude is below 1e-9 counts as zero), in float64 when
        `a` or `b` is float64 and in float32 otherwise. Every other order is solved by
        LinSolve (LU decomposition with scaled partial pivoting) in float32.

    Raises
    ------
    numpy.linalg.LinAlgError
        When a matrix is singular; the message names the system and says whether it has no
        solution or infinitely many.
    ValueError
        When the shapes do not fit.
    MemoryError
        When LinSolve cannot allocate its working storage (about 4 n^2 bytes).
    """
    a = real_array(a, "solve", "a")
    b = real_array(b, "solve", "b")
    if a.ndim < 2 or a.shape[-1] != a.shape[-2]:
        raise ValueError(f"solve: a must have shape (..., n, n), not {a.shape}")
    n = a.shape[-1]
    if b.ndim < 1 or b.shape[-1] != n:
        raise ValueError(f"solve: b must have shape (..., {n}) for a of shape {a.shape}, not {b.shape}")
    try:
        batch = np.broadcast_shapes(a.shape[:-2], b.shape[:-1])
    except ValueError:
        raise ValueError(f"solve: the stacks of a {a.shape} and b {b.shape} do not broadcast") from None
    double = n == 3 and np.float64 in (a.dtype, b.dtype)
    dtype = np.float64 if double else np.float32
    stack_a = np.ascontiguousarray(np.broadcast_to(a, batch + (n, n)), dtype).reshape(-1, n, n)
    stack_b = np.ascontiguousarray(np.broadcast_to(b, batch + (n,)), dtype).reshape(-1, n)
    x, kinds = (_core.solve3_double if double else _core.solve_float)(stack_a, stack_b)
    failed = np.flatnonzero(kinds != _UNIQUE)
    if failed.size:
        k = int(failed[0])
        where = f"system {np.unravel_index(k, batch)}" if batch else "the system"
        if kinds[k] == _NO_MEMORY:
            raise MemoryError(f"solve: no working storage for {where} of order {n}")
        many = _has_many_solutions(stack_a[k], stack_b[k], int(kinds[k]))
        raise LinAlgError(
            f"solve: the matrix of {where} is singular: "
            + ("infinitely many solutions" if many else "no solution")
        )
    return x.reshape(batch + (n,))


def _has_many_solutions(a: np.ndarray, b: np.ndarray, kind: int) -> bool:
    if kind != _ZERO_ROW:
        return kind == _MANY
    # LinSolve stops at a row of zeros without telling whether the rest is consistent: the
    # system has solutions when b is zero on those rows and the others are consistent.
    zero_rows = ~a.any(axis=1)
    if b[zero_rows].any():
        return False
    rest = a[~zero_rows].astype(np.float64)
    augmented = np.column_stack([rest, b[~zero_rows]])
    return bool(np.linalg.matrix_rank(rest) == np.linalg.matrix_rank(augmented))
