#!/usr/bin/env python3
"""What only the vantrel program itself can show, started with its standard output opened as a
shell opens it: a full disk is exit 1 with one line, and standard output appended to a file the
command reads is exit 2 before anything is written. Every other command line of the command's
tests runs inside cli_tests.

    real_program.py [LAUNCHER ...] VANTREL DATA_FOLDER
"""
import os
import shutil
import subprocess
import sys
import tempfile


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
        for path, text in kept.items():
            if open(path, "rb").read() != text:
                failures += 1
                print(f"FAIL {path} changed")
    print(f"{len(cases)} command lines, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
