"""Shared by the package's tests: the library's reference results."""

import os
import subprocess
import tempfile

import numpy as np


def reference(function, records, params=()):
    """The library's results for `records` (rows of float64 values), each completed by
    `params`, from reference_writer."""
    records = np.ascontiguousarray(records, dtype=np.float64)
    dtype = np.float64 if function in ("delta_e_ciede2000", "solve3_double") else np.float32
    with tempfile.TemporaryFile() as given, tempfile.TemporaryFile() as results:
        records.tofile(given)
        given.seek(0)
        subprocess.run(
            [os.environ["VANTREL_REFERENCE_WRITER"], function, *map(repr, map(float, params))],
            stdin=given,
            stdout=results,
            check=True,
        )
        results.seek(0)
        return np.fromfile(results, dtype=dtype).reshape(len(records), -1)
