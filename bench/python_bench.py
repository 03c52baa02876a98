"""The Python package against the same loops in C++ and the same formulas in plain NumPy.

usage: PYTHONPATH=BUILD/python python3 bench/python_bench.py BUILD/bench/python_loops_bench
       [--rounds R] [--instructions]

Runs on demand (not in the test suite). A million random colours through XYZ to L*a*b*, CIE94
and CIEDE2000, the same colours as the C++ loops draw (the same generator, seeded alike): the
package's time, the C++ loop's (Google Benchmark) and plain NumPy doing the same arithmetic
(float32 for XYZ to L*a*b* and CIE94, float64 for CIEDE2000), in R rounds that alternate the
package and the C++ loop, 5 runs each a round, giving the best and the median of each; then the
fixed cost of one call on one colour. On a machine that other work keeps busy the times spread
widely, which is why --instructions also counts instructions with Valgrind's callgrind, a count
that no other load disturbs: the package's whole call (by the difference between a process
that calls it twice and one that calls it once) against the C++ loop function alone, and one
call on one colour.
"""

import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import timeit

import numpy as np

import vantrel

N = 1_000_000
D50 = np.array([96.42, 100, 82.49], np.float32)


def colours():
    """The C++ loops' colours: std::mt19937 seeded with 1 and uniform_real_distribution<float>,
    that is each 32-bit draw as a float over 2^32, times the range, plus its start. XYZ in
    [0, 100); reference and sample L*a*b* (the sample from the draws after the reference's),
    L* in [0, 100) and a*, b* in [-100, 100). Each loop draws afresh from the seed."""
    draws = np.random.RandomState(1).randint(0, 2**32, 6 * N, dtype=np.uint32)
    canonical = draws.astype(np.float32) / np.float32(2**32)
    canonical = np.minimum(canonical, np.nextafter(np.float32(1), np.float32(0)))
    low = np.array([0, -100, -100], np.float32)
    high = np.array([100, 100, 100], np.float32)
    xyz = canonical[: 3 * N].reshape(N, 3) * np.float32(100)
    lab = canonical.reshape(2, N, 3) * (high - low) + low
    return xyz, lab[0], lab[1]


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


def workloads():
    """Name, C++ loop function, the package's call, plain NumPy's call."""
    xyz, lab1, lab2 = colours()
    lab1d, lab2d = lab1.astype(np.float64), lab2.astype(np.float64)
    return [
        ("XYZ to L*a*b*", "XyzToLabLoop", lambda: vantrel.xyz_to_lab(xyz), lambda: numpy_xyz_to_lab(xyz, D50)),
        ("CIE94", "DeltaE94Loop", lambda: vantrel.delta_e(lab1, lab2, "CIE94"), lambda: numpy_cie94(lab1, lab2)),
        ("CIEDE2000", "Ciede2000Loop", lambda: vantrel.delta_e(lab1d, lab2d), lambda: numpy_ciede2000(lab1d, lab2d)),
    ]


def one_colour_calls():
    one = np.array([41.24, 21.26, 1.93], np.float32)
    ref, smp = np.array([50, 2.6772, -79.7751]), np.array([50, 0, -82.7485])
    return [
        ("xyz_to_lab(array)", lambda: vantrel.xyz_to_lab(one)),
        ("xyz_to_lab(list)", lambda: vantrel.xyz_to_lab([41.24, 21.26, 1.93])),
        ("delta_e(array, array)", lambda: vantrel.delta_e(ref, smp)),
    ]


def cpp_times(program, loop, runs):
    """Wall-clock times in seconds of `runs` single runs of the C++ loop."""
    out = subprocess.run(
        [program, f"--benchmark_filter=BM_{loop}$", "--benchmark_min_time=0",
         f"--benchmark_repetitions={runs}", "--benchmark_format=json"],
        capture_output=True, text=True, check=True,
    ).stdout
    return [b["real_time"] / 1e3 for b in json.loads(out)["benchmarks"] if b.get("run_type") == "iteration"]


def times(program, rounds):
    print(f"best and median of {5 * rounds} runs, package and C++ loop alternating in {rounds} rounds")
    print(f"{'10^6 colours':14} {'package':>15} {'C++ loop':>15} {'ratio':>11} {'NumPy':>8}")
    for name, loop, package, plain in workloads():
        package()
        ours, theirs = [], []
        for _ in range(rounds):
            theirs += cpp_times(program, loop, 5)
            ours += timeit.repeat(package, number=1, repeat=5)
        numpy = min(timeit.repeat(plain, number=1, repeat=3))
        best, median = min(ours), statistics.median(ours)
        cbest, cmedian = min(theirs), statistics.median(theirs)
        print(
            f"{name:14} {best * 1e3:6.1f} {median * 1e3:6.1f} ms {cbest * 1e3:6.1f} {cmedian * 1e3:6.1f} ms"
            f" {best / cbest:5.2f} {median / cmedian:5.2f} {numpy * 1e3:6.1f}ms"
        )
    print("one colour per call (fixed cost), best of 7 x 100,000 calls:")
    for name, call in one_colour_calls():
        t = min(timeit.repeat(call, number=100_000, repeat=7)) / 100_000
        print(f"  {name:24} {t * 1e6:5.2f} us")


def callgrind(command, *options):
    """Instructions that Valgrind's callgrind counts for `command`."""
    with tempfile.TemporaryDirectory() as scratch:
        done = subprocess.run(
            ["valgrind", "--tool=callgrind", f"--callgrind-out-file={scratch}/out", *options, *command],
            capture_output=True, text=True, check=True, env=dict(os.environ, PYTHONHASHSEED="0"),
        )
    return int(re.search(r"Collected : (\d+)", done.stderr).group(1))


def package_instructions(kind, index, calls):
    """Instructions of `calls` more calls of a workload (or a one-colour call), by difference."""
    run = lambda k: callgrind([sys.executable, __file__, "--calls", kind, str(index), str(k)])  # noqa: E731
    return (run(calls + 1) - run(1)) / calls


def instructions(program):
    print("instructions (callgrind)")
    print(f"{'10^6 colours':14} {'package':>10} {'C++ loop':>10} {'ratio':>6}")
    for index, (name, loop, _, _) in enumerate(workloads()):
        ours = package_instructions("workload", index, 1)
        theirs = callgrind([program, f"--benchmark_filter=BM_{loop}$", "--benchmark_min_time=0"],
                           f"--toggle-collect=*::{loop}(*")
        print(f"{name:14} {ours / 1e6:8.1f} M {theirs / 1e6:8.1f} M {ours / theirs:6.3f}")
    print("one colour per call (fixed cost):")
    for index, (name, _) in enumerate(one_colour_calls()):
        print(f"  {name:24} {package_instructions('one', index, 1000):7.0f} instructions")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("program", nargs="?", help="BUILD/bench/python_loops_bench")
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--instructions", action="store_true")
    parser.add_argument("--calls", nargs=3, help=argparse.SUPPRESS)  # kind, index, count
    args = parser.parse_args()
    if args.calls:  # the process that callgrind counts
        kind, index, count = args.calls
        calls = workloads() if kind == "workload" else one_colour_calls()
        call = calls[int(index)][2 if kind == "workload" else 1]
        for _ in range(int(count)):
            call()
        return
    if not args.program:
        parser.error("the C++ loops program is needed")
    if args.instructions:
        instructions(args.program)
    else:
        times(args.program, args.rounds)


if __name__ == "__main__":
    main()
