#!/usr/bin/env python3
"""vantrel measure and compare on the measurement, spectrum and chart files that Debian's
argyll-ref and colord-data ship, and on the examples: each is read, or refused with one line
saying why, and what is read says how (colour source, scale, pairing). A damaged copy is refused
naming its line. Charts are compared with copies whose colours drift, by pairing, colour source,
tolerance profile and media-relative colour, and measure's CGATS output reads back the same.

    real_files.py [LAUNCHER ...] VANTREL
"""
import glob
import os
import subprocess
import sys
import tempfile

ARGYLL = "/usr/share/color/argyll/ref/"
COLORD = "/usr/share/colord/"


def cases():
    """(arguments, exit status, a part of standard output or of the one line of errors)."""
    light = [f for f in glob.glob(ARGYLL + "*.sp") + glob.glob(COLORD + "illuminant/*.sp")
             if os.path.basename(f) not in ("SOtele.sp", "example121.sp")]
    for path in light:
        yield ["measure", path], 1, "holds the spectrum of light ("
    for path in glob.glob(COLORD + "cmf/*.cmf"):
        yield ["measure", path], 1, "holds colour-matching functions (a CMF file)"
    for path in glob.glob(ARGYLL + "*.ti[12]") + glob.glob(ARGYLL + "*.cie"):
        yield ["measure", path], 0, "colour from "
    # NUMBER_OF_FIELDS 9 over 8 listed fields in its first table: the second reads too.
    yield ["measure", "--table", "2", ARGYLL + "FograStrip3.ti1"], 0, "colour from XYZ as given"
    yield ["measure", ARGYLL + "example121.sp"], 1, "spectral fields not evenly spaced"
    yield ["measure", ARGYLL + "SOtele.sp"], 0, "percent (stated: SPECTRAL_NORM 100)"
    yield (["measure", COLORD + "ref/CIE-TCS.sp"], 0,
           "360 to 830 nm every 5 nm; factors (stated: SPECT files without SPECTRAL_NORM")
    yield (["compare", ARGYLL + "CMP_Digital_Target-4.cie", ARGYLL + "CMP_Digital_Target-4.ti2"],
           0, "570 matched by SAMPLE_ID")


def drifted(path, folder, columns, shift):
    """A copy of a chart whose XYZ (`columns` of each data row) drift by a fixed pattern;
    `shift` adds to the patches whose device values are those of a cyan solid."""
    out, data = [], False
    for n, line in enumerate(open(path).read().split("\n")):
        if line.strip() in ("BEGIN_DATA", "END_DATA"):
            data = line.strip() == "BEGIN_DATA"
        elif data and line.strip():
            words = line.split()
            solid = words[2:6] == ["100.00", "0.0000", "0.0000", "0.0000"]
            for c in columns:
                words[c] = "%.4f" % (float(words[c]) * (1 + 0.004 * (n % 5 - 2)) +
                                    (shift if solid and c == columns[1] else 0))
            line = " ".join(words)
        out.append(line)
    copy = os.path.join(folder, os.path.basename(path))
    open(copy, "w").write("\n".join(out))
    return copy


def run(command, args):
    done = subprocess.run(command + args, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL)
    # Every run prints something. Under Wine a run has once ended with both streams empty (in
    # one full suite, not again in hundreds of runs of the same command line): such a run is
    # made once more, and said so, rather than failing the suite on Wine's account.
    if "wine" in [os.path.basename(word) for word in command[:-1]] and not (
            done.stdout or done.stderr):
        print("Wine lost the output of vantrel %s: run again" % " ".join(args))
        done = subprocess.run(command + args, capture_output=True, text=True,
                              stdin=subprocess.DEVNULL)
    return done


def checks(command, folder):
    """(arguments, exit status, parts of standard output or of the one line of errors)."""
    examples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
    eci = ARGYLL + "ECI2002.ti2"
    press = drifted(eci, folder, [6, 7, 8], 6.0)
    display = drifted(COLORD + "ti1/display-normal.ti1", folder, [4, 5, 6], 0)
    profile = os.path.join(folder, "bad.tol")
    open(profile, "w").write("group solids\n  max 3\n  tolerance 2\n")
    yield ["compare", eci, press], 1, ["SAMPLE_ID '0' given twice", "(--pair chooses)"]
    yield ["compare", eci, press, "--pair", "order", "--max", "11"], 0, ["1539 matched by order"]
    yield (["compare", eci, press, "--pair", "location", "--tolerances",
            examples + "/press-check.tol"], 3,
           ["1539 matched by SAMPLE_LOC", "group solids     8 patches", "max 5.00 FAIL",
            "max-dh 2.50 FAIL", "group paper white 56 patches", "max 3.00 PASS",
            "verdict          FAIL"])
    yield (["compare", COLORD + "ti1/display-normal.ti1", display, "--tolerances",
            examples + "/display-check.tol", "--format", "json"], 0,
           ['"name": "white"', '"verdict": "PASS"'])
    yield ["compare", eci, press, "--pair", "location", "--tolerances", profile], 1, [
        profile + ":3: 'tolerance' is not a statement"]
    yield (["compare", eci, press, "--pair", "location", "--relative-to-paper", "--paper", "K18",
            "--format", "json"], 0, ['"media_relative": {"reference": "1", "sample": "1"}'])
    yield (["measure", examples + "/measured.cgats", "--colour", "stated"], 0,
           ["colour from L*a*b* as given (D50, 2 degree, assumed)"])


def main():
    command = sys.argv[1:]
    if not os.path.isdir(ARGYLL) or not os.path.isdir(COLORD):
        print("argyll-ref and colord-data are not installed (scripts/deps installs them)")
        return 1
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        # A damaged copy: one value gone from the row on line 14.
        lines = open(ARGYLL + "ColorChecker.cie").read().split("\n")
        lines[13] = lines[13].rsplit(" ", 1)[0]
        damaged = os.path.join(folder, "damaged.cie")
        open(damaged, "w").write("\n".join(lines))
        all_cases = [(args, status, [part]) for args, status, part in cases()]
        all_cases += [(["measure", damaged], 1, [damaged + ":14: "])]
        all_cases += list(checks(command, folder))
        for args, status, parts in all_cases:
            done = run(command, args)
            errors = done.stderr.strip().split("\n") if done.stderr.strip() else []
            text = done.stdout if status != 1 else done.stderr
            if (done.returncode != status or any(part not in text for part in parts) or
                    (status == 1 and len(errors) != 1)):
                failures += 1
                print("vantrel %s: status %d, expected %d with %r\n%s%s" % (
                    " ".join(args), done.returncode, status, parts, done.stdout[:600],
                    done.stderr))
        # measure's CGATS reads back with the same colours.
        for example in ("reference", "measured"):
            path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "examples", example + ".cgats")
            written = os.path.join(folder, example + ".colours")
            open(written, "w").write(run(command, ["measure", path, "--format", "cgats"]).stdout)
            first = run(command, ["measure", path, "--format", "csv"]).stdout.split("\n")
            again = run(command, ["measure", written, "--format", "csv"]).stdout.split("\n")
            if [l.split(",")[2:8] for l in first[1:]] != [l.split(",")[2:8] for l in again[1:]]:
                failures += 1
                print("measure --format cgats of %s reads back otherwise" % example)
    print("%d runs on Debian's files, %d failures" % (len(all_cases), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
