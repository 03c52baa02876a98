#!/usr/bin/env python3
"""vantrel measure and compare on the measurement, spectrum and chart files that Debian's
argyll-ref and colord-data ship: each is read, or refused with one line saying why, and what
is read says how (colour source, scale). A damaged copy is refused naming its line.

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
        all_cases = list(cases()) + [(["measure", damaged], 1, damaged + ":14: ")]
        for args, status, part in all_cases:
            run = subprocess.run(command + args, capture_output=True, text=True)
            errors = run.stderr.strip().split("\n") if run.stderr.strip() else []
            text = run.stdout if status == 0 else run.stderr
            if run.returncode != status or part not in text or (status and len(errors) != 1):
                failures += 1
                print("vantrel %s: status %d, expected %d with %r\n%s%s" % (
                    " ".join(args), run.returncode, status, part, run.stdout[:300], run.stderr))
    print("%d runs on Debian's files, %d failures" % (len(all_cases), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
