"""The Python package against the same loops in C++ and the same formulas in plain NumPy.

usage: PYTHONPATH=BUILD/python python3 bench/python_bench.py BUILD/bench/python_loops_bench

Runs on demand (not in the test suite). A million random colours through XYZ to L*a*b*, CIE94
and CIEDE2000: the package's time, the C++ loop's (Google Benchmark), and plain NumPy doing the
same arithmetic (float32 for XYZ to L*a*b* and CIE94, float64 for CIEDE2000); then the fixed
cost of one call on one colour. Times are the best of several runs.
"""

import json
import subprocess
import sys
import timeit

import numpy as np

import vantrel

N = 1_000_000


def best(function, repeat=15):
    return min(timeit.repeat(function, number=1, repeat=repeat))


def numpy_xyz_to_lab(xyz, white):
    t = xyz / white
    f = np.where(t > np.float32(0.008856), np.cbrt(t), np.float32(7.787) * t + np.float32(16 / 116))
    return np.stack(
        [116 * f[..., 1] - 16, 500 * (f[..., 0] - f[..., 1]), 200 * (f[..., 1] - f[..., 2])], -1
    )


def numpy_cie94(r, s):
    c1 = np.hypot(r[..., 1], r[..., 2])
    c2 = np.hypot(s[..., 1], s[..., 2])
    dl, dc = r[..., 0] - s[..., 0], c1 - c2
    dh2 = np.maximum(((r - s)[..., 1:] ** 2).sum(-1) - dc * dc, 0)
    sc, sh = 1 + np.float32(0.045) * c1, 1 + np.float32(0.015) * c1
    return np.sqrt(dl**2 + (dc / sc) ** 2 + dh2 / sh**2)


def numpy_ciede2000(r, s):
    l1, a1, b1 = np.moveaxis(r, -1, 0)
    l2, a2, b2 = np.moveaxis(s, -1, 0)
    cbar = (np.hypot(a1, b1) + np.hypot(a2, b2)) / 2
    g = 0.5 * (1 - np.sqrt(cbar**7 / (cbar**7 + 25.0**7)))
    a1p, a2p = a1 * (1 + g), a2 * (1 + g)
    c1p, c2p = np.hypot(a1p, b1), np.hypot(a2p, b2)
    h1p = np.degrees(np.arctan2(b1, a1p)) % 360
    h2p = np.degrees(np.arctan2(b2, a2p)) % 360
    dlp, dcp = l2 - l1, c2p - c1p
    dh = h2p - h1p
    dh = np.where(c1p * c2p == 0, 0, np.where(dh > 180, dh - 360, np.where(dh < -180, dh + 360, dh)))
    dhp = 2 * np.sqrt(c1p * c2p) * np.sin(np.radians(dh / 2))
    lbar, cbarp = (l1 + l2) / 2, (c1p + c2p) / 2
    hsum = h1p + h2p
    hbar = np.where(
        c1p * c2p == 0,
        hsum,
        np.where(np.abs(h1p - h2p) <= 180, hsum / 2, np.where(hsum < 360, (hsum + 360) / 2, (hsum - 360) / 2)),
    )
    t = (
        1
        - 0.17 * np.cos(np.radians(hbar - 30))
        + 0.24 * np.cos(np.radians(2 * hbar))
        + 0.32 * np.cos(np.radians(3 * hbar + 6))
        - 0.20 * np.cos(np.radians(4 * hbar - 63))
    )
    sl = 1 + 0.015 * (lbar - 50) ** 2 / np.sqrt(20 + (lbar - 50) ** 2)
    sc, sh = 1 + 0.045 * cbarp, 1 + 0.015 * cbarp * t
    rt = -2 * np.sqrt(cbarp**7 / (cbarp**7 + 25.0**7)) * np.sin(np.radians(60 * np.exp(-(((hbar - 275) / 25) ** 2))))
    return np.sqrt((dlp / sl) ** 2 + (dcp / sc) ** 2 + (dhp / sh) ** 2 + rt * (dcp / sc) * (dhp / sh))


def cpp_loops(program):
    out = subprocess.run(
        [program, "--benchmark_format=json", "--benchmark_repetitions=15"],
        capture_output=True, text=True, check=True,
    ).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "min" or b.get("run_type") == "iteration":
            name = b["run_name"] if "run_name" in b else b["name"]
            times[name] = min(times.get(name, 1e9), b["real_time"] / 1e3)
    return times


def main():
    rng = np.random.default_rng(1)
    xyz = rng.uniform(0, 100, (N, 3)).astype(np.float32)
    lab1, lab2 = (np.column_stack([rng.uniform(0, 100, N), rng.uniform(-100, 100, (N, 2))]).astype(np.float32) for _ in "12")
    lab1d, lab2d = lab1.astype(np.float64), lab2.astype(np.float64)
    d50 = np.array([96.42, 100, 82.49], np.float32)
    cpp = cpp_loops(sys.argv[1])
    rows = [
        ("XYZ to L*a*b*", "BM_XyzToLabLoop", lambda: vantrel.xyz_to_lab(xyz), lambda: numpy_xyz_to_lab(xyz, d50)),
        ("CIE94", "BM_DeltaE94Loop", lambda: vantrel.delta_e(lab1, lab2, "CIE94"), lambda: numpy_cie94(lab1, lab2)),
        ("CIEDE2000", "BM_Ciede2000Loop", lambda: vantrel.delta_e(lab1d, lab2d), lambda: numpy_ciede2000(lab1d, lab2d)),
    ]
    print(f"{'10^6 colours':16} {'package':>9} {'C++ loop':>9} {'ratio':>6} {'NumPy':>9}")
    for name, key, package, plain in rows:
        p, c, n = best(package), cpp[key], best(plain, 3)
        print(f"{name:16} {p * 1e3:7.1f}ms {c * 1e3:7.1f}ms {p / c:6.2f} {n * 1e3:7.1f}ms")
    one = xyz[0]
    ref, smp = lab1d[0], lab2d[0]
    print("one colour per call (fixed cost):")
    for name, call in (
        ("xyz_to_lab(array)", lambda: vantrel.xyz_to_lab(one)),
        ("xyz_to_lab(list)", lambda: vantrel.xyz_to_lab([41.24, 21.26, 1.93])),
        ("delta_e(array, array)", lambda: vantrel.delta_e(ref, smp)),
    ):
        t = min(timeit.repeat(call, number=100_000, repeat=5)) / 100_000
        print(f"  {name:24} {t * 1e6:5.2f} us")


if __name__ == "__main__":
    main()
