"""vantrel.linalg.solve: the library's bits, the singular cases, stacks and shapes."""

import numpy as np
import pytest

from conftest import reference
from vantrel.linalg import LinAlgError, solve

RNG = np.random.default_rng(7)


@pytest.mark.parametrize(
    "n, dtype, count, function",
    [(3, np.float64, 1_000_000, "solve3_double"), (3, np.float32, 100_000, "solve3"), (4, np.float64, 100_000, "solve4")],
)
def test_bits_match_the_library(n, dtype, count, function):
    a = RNG.uniform(-10, 10, (count, n, n)).astype(dtype)
    b = RNG.uniform(-10, 10, (count, n)).astype(dtype)
    got = solve(a, b)
    want = reference(function, np.hstack([a.reshape(count, -1), b]))
    assert np.all(want[:, n] == 1)
    assert got.dtype == want.dtype
    assert got.tobytes() == want[:, :n].tobytes()


@pytest.mark.parametrize(
    "what, a, b, message",
    [
        ("3x3 inconsistent", [[1, 2, 3], [2, 4, 6], [0, 1, 1]], [1, 3, 1], "no solution"),
        ("3x3 consistent", [[1, 2, 3], [2, 4, 6], [0, 1, 1]], [1, 2, 1], "infinitely many"),
        ("3x3 zero matrix, b 0", np.zeros((3, 3)), [0, 0, 0], "infinitely many"),
        ("4x4 consistent", [[1, 2, 0, 0], [2, 4, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]], [1, 2, 3, 4], "infinitely many"),
        ("4x4 inconsistent", [[1, 2, 0, 0], [2, 4, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]], [1, 3, 3, 4], "no solution"),
        ("zero row, b not 0", [[1, 0, 0, 0], [0, 0, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]], [1, 1, 1, 1], "no solution"),
        ("zero row, rest consistent", [[1, 1, 0, 0], [0, 0, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]], [1, 0, 1, 1], "infinitely many"),
        ("zero row, rest inconsistent", [[1, 1, 0, 0], [0, 0, 0, 0], [1, 1, 0, 0], [0, 0, 0, 1]], [1, 0, 2, 1], "no solution"),
    ],
)
def test_singular_systems_say_whether_they_have_solutions(what, a, b, message):
    with pytest.raises(LinAlgError, match=message):
        solve(a, b)


def test_stacks_broadcast_and_name_the_singular_system():
    a = np.stack([np.eye(3), 2 * np.eye(3)])[:, None]  # (2, 1, 3, 3)
    b = np.arange(12.0).reshape(4, 3)
    x = solve(a, b)
    assert x.shape == (2, 4, 3) and x.dtype == np.float64
    assert np.array_equal(x[1], b / 2)
    a[1, 0, 2] = 0
    with pytest.raises(LinAlgError, match=r"system \(1, 0\)"):
        solve(a, b)
    assert solve(np.eye(5, dtype=np.float32), np.ones(5)).dtype == np.float32
    assert solve(np.zeros((0, 3, 3)), np.zeros((0, 3))).shape == (0, 3)


@pytest.mark.parametrize(
    "a, b, error",
    [
        (np.eye(3), np.ones(4), ValueError),
        (np.ones((3, 4)), np.ones(3), ValueError),
        (np.ones(3), np.ones(3), ValueError),
        (np.ones((2, 3, 3)), np.ones((3, 3)), ValueError),
        (np.eye(3) * 1j, np.ones(3), TypeError),
        (np.eye(3), ["1", "2", "3"], TypeError),
    ],
)
def test_bad_operands(a, b, error):
    with pytest.raises(error, match="solve"):
        solve(a, b)
