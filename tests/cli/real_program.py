#!/usr/bin/env python3
"""What only the vantrel program itself can show, started with its standard output opened as a
shell opens it: a full disk is exit 1 with one line, and standard output appended to a file the
command reads is exit 2 before anything is written; and a compare of files of many patches,
whose memory the program allocates in blocks of its own, pairs and measures every patch, and
(with VANTREL_TEST_LARGE_BLOCKS=1, where the system maps large pages on request) takes at most a
page fault for every 4 of the 4 KiB pages its peak memory fills. Every other command line of
the command's tests runs inside cli_tests.

    real_program.py [LAUNCHER ...] VANTREL DATA_FOLDER
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile


def write_spectra(path, patches, changed=None):
    """A file of `patches` spectra at 380-730 nm; patch `changed` is a shade lighter."""
    random.seed(7)
    lines = ["CGATS.17", "SPECTRAL_NORM 100", "BEGIN_DATA_FORMAT",
             "SAMPLE_ID " + " ".join(f"SPECTRAL_NM{nm}" for nm in range(380, 740, 10)),
             "END_DATA_FORMAT", f"NUMBER_OF_SETS {patches}", "BEGIN_DATA"]
    for k in range(patches):
        lift = 2 if k == changed else 0
        lines.append(f"P{k} " + " ".join(f"{random.uniform(5, 90) + lift:.2f}" for _ in range(36)))
    with open(path, "w") as out:
        out.write("\n".join(lines + ["END_DATA", ""]))


def many_patches(command, folder):
    """Compares a file of 30,000 patches with a copy in which one patch changed: every pair is
    listed, in order, and only the changed one differs. Returns the number of failures."""
    reference, sample = os.path.join(folder, "r.cgats"), os.path.join(folder, "s.cgats")
    write_spectra(reference, 30000)
    write_spectra(sample, 30000, changed=12345)
    run, usage = run_counted(command + ["compare", "--format", "csv", reference, sample])
    rows = run.stdout.decode().splitlines()[1:]
    ids = [row.split(",")[0] for row in rows]
    differing = [row.split(",")[0] for row in rows if float(row.split(",")[-1]) != 0]
    if run.returncode != 0 or ids != [f"P{k}" for k in range(30000)] or differing != ["P12345"]:
        print(f"FAIL compare of many patches: status {run.returncode}, {len(rows)} rows, "
              f"differing {differing[:5]}, stderr {run.stderr[:200]!r}")
        return 1
    if not large_pages():
        return 0
    # The kernel reports the peak in KiB (ru_maxrss). A system short of free large pages at
    # that moment gives small ones: a second run tells that from a program that asks for none.
    def too_many(usage):
        return usage.ru_minflt * 4 > usage.ru_maxrss // 4

    if too_many(usage) and too_many(run_counted(run.args)[1]):
        print(f"FAIL compare of many patches: {usage.ru_minflt} page faults for a peak of "
              f"{usage.ru_maxrss} KiB")
        return 1
    return 0


def run_counted(arguments):
    """Runs a command; returns its CompletedProcess and its resource usage."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        child = subprocess.Popen(arguments, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        out.seek(0), err.seek(0)
        return subprocess.CompletedProcess(arguments, os.waitstatus_to_exitcode(status),
                                           out.read(), err.read()), usage


def large_pages():
    """Whether the program maps its large blocks in large pages here."""
    if os.environ.get("VANTREL_TEST_LARGE_BLOCKS") != "1":
        return False
    try:
        with open("/sys/kernel/mm/transparent_hugepage/enabled") as mode:
            return "[never]" not in mode.read()
    except OSError:
        return False


def main():
    *command, data = sys.argv[1:]
    # Under Wine a Unix file is handed over as a handle whose identity the program cannot
    # compare with the files it opens, and errno texts are the system's own.
    wine = any(os.path.basename(word) == "wine" for word in command[:-1])
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        prefs = os.path.join(folder, "p")
        copy = os.path.join(folder, "copy.cgats")
        subprocess.run(command + ["prefs", "init", prefs], check=True, capture_output=True)
        lab = os.path.join(data, "lab_ids.cgats")
        shutil.copy(lab, copy)
        kept = {path: open(path, "rb").read() for path in (prefs, copy)}
        full = "cannot write standard output" + ("" if wine else ": No space left on device")
        cases = [
            (["compare", lab, lab], "/dev/full", "wb", 1, full),
            (["prefs", "show", prefs], "/dev/full", "wb", 1, full),
            (["lab", "1", "2", "3"], "/dev/full", "wb", 1, full),
        ]
        if not wine:
            cases.append((["measure", copy], copy, "ab", 2, "standard output is the input"))
        for arguments, output, mode, status, message in cases:
            with open(output, mode) as out:
                run = subprocess.run(command + arguments, stdout=out, stderr=subprocess.PIPE,
                                     stdin=subprocess.DEVNULL, timeout=300)
            err = run.stderr.decode("utf-8", "replace")
            if run.returncode != status or message not in err or err.count("\n") != 1:
                failures += 1
                print(f"FAIL {arguments} >{output}: status {run.returncode}, stderr {err!r}")
        failures += many_patches(command, folder)
        for path, text in kept.items():
            if open(path, "rb").read() != text:
                failures += 1
                print(f"FAIL {path} changed")
    print(f"{len(cases) + 1} command lines, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
