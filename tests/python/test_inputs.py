"""What the functions accept, the shapes they give, and the errors they raise."""

import re
import threading
import time

import numpy as np
import pytest

import vantrel
from vantrel import _core

XYZ = [[41.24, 21.26, 1.93], [96.42, 100.0, 82.49]]
_GRID = np.arange(24.0).reshape(2, 4, 3)


def bits(x):
    x = np.asarray(x)
    return x.dtype, x.shape, x.tobytes()


@pytest.mark.parametrize(
    "what, given",
    [
        ("list of floats", XYZ),
        ("list of ints", [[41, 21, 2], [96, 100, 82]]),
        ("int8", np.array([[41, 21, 2], [96, 100, 82]], np.int8)),
        ("uint16", np.array([[41, 21, 2], [96, 100, 82]], np.uint16)),
        ("float16", np.array(XYZ, np.float16)),
        ("big-endian float32", np.array(XYZ, ">f4")),
        ("big-endian float64", np.array(XYZ, ">f8")),
        ("long double", np.array(XYZ, np.longdouble)),
        ("strided view", np.repeat(np.array(XYZ), 2, axis=1)[:, ::2]),
        ("Fortran order", np.asfortranarray(XYZ)),
        ("reversed view", np.array(XYZ)[::-1, ::-1][::-1, ::-1]),
    ],
)
def test_real_input_is_narrowed_to_float32_as_the_library_takes_it(what, given):
    narrowed = np.asarray(given).astype(np.float32)
    assert bits(vantrel.xyz_to_lab(given)) == bits(vantrel.xyz_to_lab(narrowed))
    assert bits(vantrel.delta_e(given, narrowed[::-1], "CIE94")) == bits(
        vantrel.delta_e(narrowed, narrowed[::-1], "CIE94")
    )


@pytest.mark.parametrize(
    "what, call, shape, dtype",
    [
        ("stack of colours", lambda: vantrel.xyz_to_lab(_GRID), (2, 4, 3), np.float32),
        ("whites broadcast", lambda: vantrel.xyz_to_lab(_GRID, _GRID[0] + 1), (2, 4, 3), np.float32),
        ("empty stack", lambda: vantrel.lab_to_rgb(np.zeros((0, 5, 3))), (0, 5, 3), np.float32),
        ("one colour", lambda: vantrel.rgb_to_hsv([1, 0.5, 0]), (3,), np.float32),
        ("difference per pair", lambda: vantrel.delta_e(_GRID, [50, 0, 0]), (2, 4), np.float64),
        ("one difference", lambda: vantrel.delta_e([50, 1, 0], [50, 0, 0], "CMC"), (), np.float32),
        ("empty differences", lambda: vantrel.delta_e(np.zeros((0, 3)), [1, 2, 3]), (0,), np.float64),
        ("spectra to XYZ", lambda: vantrel.spectrum_to_xyz(np.ones((2, 31))), (2, 3), np.float32),
        ("densities", lambda: vantrel.densities(np.ones((4, 1, 31)), "I"), (4, 1, 4), np.float32),
        ("scalar lightness", lambda: vantrel.lightness(18.0), (), np.float32),
        ("lightness with whites", lambda: vantrel.lightness([[18.0], [20]], [100, 50]), (2, 2), np.float32),
        ("adapted stack", lambda: vantrel.adapt(_GRID, "D65", [95, 100, 108], "bradford"), (2, 4, 3), np.float32),
    ],
)
def test_shapes_broadcast(what, call, shape, dtype):
    result = np.asarray(call())
    assert (result.shape, result.dtype) == (shape, dtype)


def test_out_receives_the_result_and_may_widen_it():
    out32 = np.empty((2, 3), np.float32)
    assert vantrel.xyz_to_lab(XYZ, out=out32) is out32
    out64 = np.empty((2, 3))
    vantrel.xyz_to_lab(XYZ, out=out64)
    assert np.array_equal(out64, out32.astype(np.float64))
    with pytest.raises(ValueError, match="xyz_to_lab"):
        vantrel.xyz_to_lab(XYZ, out=np.empty((3, 3), np.float32))
    in_place = np.array(XYZ, np.float32)
    vantrel.adapt(in_place, "D65", "D50", "bradford", out=in_place)
    assert bits(in_place) == bits(vantrel.adapt(XYZ, "D65", "D50", "bradford"))


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda: vantrel.xyz_to_lab([1, 2]), ValueError, r"xyz_to_lab: xyz must have shape \(\.\.\., 3\)"),
        (lambda: vantrel.xyz_to_lab(5.0), ValueError, r"xyz must have shape \(\.\.\., 3\), not \(\)"),
        (lambda: vantrel.spectrum_to_xyz(np.ones(30)), ValueError, r"spectrum must have shape \(\.\.\., 31\)"),
        (lambda: vantrel.delta_e(np.ones(3), np.ones(4)), ValueError, "delta_e: sample must have"),
        (lambda: vantrel.xyz_to_lab([[1, 2, 3], [1, 2]]), ValueError, "xyz_to_lab"),
        (lambda: vantrel.xyz_to_lab([1j, 2, 3]), TypeError, "xyz_to_lab: xyz must be real numbers, not complex"),
        (lambda: vantrel.rgb_to_hsv(["1", "2", "3"]), TypeError, "rgb must be real numbers"),
        (lambda: vantrel.lab_to_lch([1, None, 3]), TypeError, "lab must be real numbers, not object"),
        (lambda: vantrel.lightness("18"), TypeError, "y must be real numbers"),
        (lambda: vantrel.xyz_to_lab(XYZ, "D93"), ValueError, "unknown white 'D93'"),
        (lambda: vantrel.xyz_to_lab(XYZ, [96, 0, 82]), ValueError, "white must be finite and above 0"),
        (lambda: vantrel.xyz_to_lab(XYZ, [96, 100]), ValueError, r"white must have shape \(\.\.\., 3\)"),
        (lambda: vantrel.xyz_to_lab(XYZ, ["96", "100", "82"]), TypeError, "white must be real"),
        (lambda: vantrel.lab_to_xyz(XYZ, scale="percentage"), ValueError, "scale must be 'percent' or 'unit'"),
        (lambda: vantrel.xyz_to_rgb(XYZ, "AdobeRGB"), ValueError, "space must be"),
        (lambda: vantrel.delta_e(XYZ, XYZ, "CIE2001"), ValueError, "unknown method 'CIE2001'"),
        (lambda: vantrel.delta_e(XYZ, XYZ, "CMC", kl=2), ValueError, "kl is not a factor of CMC"),
        (lambda: vantrel.delta_e(XYZ, XYZ, kc=1j), TypeError, "kc must be real"),
        (lambda: vantrel.adapt(XYZ, "D65", "D50", "cat02"), ValueError, "unknown method 'cat02'"),
        (lambda: vantrel.adapt(XYZ, "D65", "F2"), ValueError, "unknown target_white 'F2'"),
        (lambda: vantrel.densities(np.ones(31), "X"), ValueError, "status must be 'T' or 'I'"),
        (lambda: vantrel.CalibratedRGB(np.eye(2), 2.2), ValueError, r"matrix must have shape \(3, 3\)"),
    ],
)
def test_bad_input_raises(call, error, message):
    with pytest.raises(error, match=message):
        call()


def test_names_and_triples_of_whites_agree():
    for scale, divisor in (("percent", 1), ("unit", 100)):
        for name, white in vantrel.WHITES.items():
            triple = np.array([f"{v / divisor:.6g}" for v in white]).astype(np.float32)
            assert bits(vantrel.xyz_to_lab(XYZ, name.lower(), scale=scale)) == bits(
                vantrel.xyz_to_lab(XYZ, triple, scale=scale)
            )
    assert bits(vantrel.adapt(XYZ, "D65", "D50")) == bits(
        vantrel.adapt(XYZ, [95.05, 100, 108.88], [96.42, 100, 82.49])
    )


FUNCTIONS = [name for name in dir(_core) if type(getattr(_core, name)) is type(_core.xyz_to_lab)]


@pytest.mark.parametrize("dtype", [np.float32, np.float64])
@pytest.mark.parametrize("name", FUNCTIONS)
def test_a_call_done_at_once_gives_the_ufuncs_bits(name, dtype):
    # Packed data and one set of parameters: the core runs its loop without the ufunc. Values
    # that raise no floating-point exception, so that it does not hand the call to the ufunc.
    function, rng = getattr(_core, name), np.random.default_rng(3)
    ufunc = function.ufunc
    cores = [int(c or 0) for c in re.findall(r"\((\d*)\)", ufunc.signature or "")] or [0] * ufunc.nin
    data = [a != b for a, b in zip(*(t.split("->")[0] for t in ufunc.types))]  # by loop
    value = np.dtype(ufunc.types[0][-1]).type
    args = [
        rng.uniform(5, 90, (4, 2, core) if core else (4, 2)).astype(dtype)
        if is_data
        else (rng.uniform(0.5, 2, core).astype(value) if core else value(rng.uniform(0.5, 2)))
        for core, is_data in zip(cores, data)
    ]
    first = [a[0, 0] if is_data else a for a, is_data in zip(args, data)]
    lists = [a.tolist() if is_data else a for a, is_data in zip(first, data)]
    before = function.calls_at_once
    with np.errstate(all="raise"):
        want = ufunc(*args)
        assert bits(function(*args)) == bits(want)
        out = np.empty_like(want)
        assert function(*args, out=out) is out and bits(out) == bits(want)
        assert bits(function(*lists)) == bits(ufunc(*first))
    assert function.calls_at_once == before + (3 if cores[0] else 2)  # numbers are not converted


def test_other_threads_run_while_a_large_call_runs():
    xyz = np.random.default_rng(1).uniform(0, 100, (4_000_000, 3))
    counted, started, stop = [0], threading.Event(), threading.Event()

    def count():
        started.set()
        while not stop.is_set():
            counted[0] += 1

    def rate(work):  # the counting thread's pace while this thread works
        before, start = counted[0], time.perf_counter()
        work()
        return (counted[0] - before) / (time.perf_counter() - start)

    thread = threading.Thread(target=count)
    thread.start()
    started.wait()
    asleep = rate(lambda: time.sleep(0.2))
    busy = rate(lambda: vantrel.adapt(xyz, "D65", "D50", "bradford"))
    stop.set()
    thread.join()
    # Holding the GIL would let the counter move only at the call's start (about 1% of the pace).
    assert busy > 0.2 * asleep
