"""vantrel.measure: the example charts read and compared as the vantrel command does."""

import json
import os
import subprocess
from pathlib import Path

import numpy as np
import pytest

from vantrel import measure

EXAMPLES = Path(os.environ["VANTREL_SOURCE_DIR"]) / "examples"
REFERENCE, MEASURED = EXAMPLES / "reference.cgats", EXAMPLES / "measured.cgats"


def test_reads_a_spectral_file_from_a_path_or_its_text():
    m = measure.read_cgats(MEASURED)
    assert (m.source, len(m), m.spectral_scale, m.table, m.table_count) == ("spectrum", 24, "percent", 1, 1)
    first_row = next(k for k, line in enumerate(MEASURED.read_text().splitlines(), 1) if line.startswith("A1 "))
    assert (m.ids[0], m.names[0], m.lines[0]) == ("A1", "dark skin", first_row)
    assert (m.spectral_scale_basis, m.content, m.file_type) == ("stated", "surface", "CGATS.17")
    assert np.array_equal(m.wavelengths, np.arange(380, 731, 10))
    assert m.spectra.shape == (24, 36) and m.spectra.dtype == np.float32 and m.spectra[0, 0] == np.float32(6.74)
    assert ("DESCRIPTOR", "measured print") in m.keywords and m.xyz is None
    for same in (measure.read_cgats(MEASURED.read_text()), measure.read_cgats(m.to_cgats())):
        assert same.path == "<text>" and same.spectra.tobytes() == m.spectra.tobytes()
    with pytest.raises(ValueError):
        m.spectra[0, 0] = 1


def cgats(fields, row):
    return (f"CGATS.17\nNUMBER_OF_FIELDS {len(fields.split())}\nBEGIN_DATA_FORMAT\n{fields}\n"
            f"END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n{row}\nEND_DATA\n")


@pytest.mark.parametrize(
    "text, line, field",
    [(cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "1 50 x 0"), 8, "LAB_A"), (cgats("SAMPLE_ID", "1"), 0, "")],
)
def test_bad_files_raise_measure_error_saying_where(text, line, field):
    with pytest.raises(measure.MeasureError) as caught:
        measure.read_cgats(text)
    assert isinstance(caught.value, ValueError)
    assert (caught.value.file, caught.value.line, caught.value.field) == ("<text>", line, field)
    with pytest.raises(measure.MeasureError, match="nowhere.cgats"):
        measure.read_cgats("nowhere.cgats")


CLI_CASES = {
    "CIEDE2000 with limits": ({"max": 5, "mean": 1.5}, ["--max", "5", "--mean", "1.5"]),
    "CIE94 failing p95": ({"metric": "CIE94", "p95": 1}, ["--metric", "94", "--p95", "1"]),
    "CMC 1:1 under D65, 10 degree": (
        {"metric": "cmc", "l": 1, "c": 1, "illuminant": "D65", "observer": "10"},
        ["--metric", "cmc", "--l", "1", "--c", "1", "--illuminant", "D65", "--observer", "10"],
    ),
}


@pytest.mark.skipif("VANTREL_CLI" not in os.environ, reason="the vantrel command is not built")
@pytest.mark.parametrize("case", CLI_CASES)
def test_compare_agrees_with_the_command_to_its_printed_digits(case):
    options, arguments = CLI_CASES[case]
    done = subprocess.run(
        [os.environ["VANTREL_CLI"], "compare", str(REFERENCE), str(MEASURED), "--format", "json", *arguments],
        capture_output=True, text=True,
    )
    want = json.loads(done.stdout)
    got = measure.compare(REFERENCE, MEASURED, **options)
    printed = lambda v: float(f"{v:.4f}")  # noqa: E731
    rows = zip(want["patches"], got.ids, got.reference_lab, got.sample_lab, got.dl, got.dc, got.dh, got.differences)
    for patch, id_, ref, smp, dl, dc, dh, de in rows:
        assert patch["id"] == id_
        values = [*ref, *smp, dl, dc, dh, de]
        keys = ["L_ref", "a_ref", "b_ref", "L_smp", "a_smp", "b_smp", "dL", "dC", "dH", "dE"]
        assert [printed(v) for v in values] == [patch[k] for k in keys]
    summary = want["summary"]
    assert [printed(getattr(got, k)) for k in ("mean", "std_dev", "median", "p95", "max")] == [
        summary[k] for k in ("mean", "std_dev", "median", "p95", "max")
    ]
    assert got.ids[got.worst(1)[0]] == summary["max_patch"] and got.count == len(got.ids) == 24
    assert (got.metric, got.paired_by) == (want["metric"], want["matched_by"])
    for check in got.checks:
        assert (printed(check.limit), check.passed) == (want["tolerances"][check.name]["limit"], want["tolerances"][check.name]["pass"])
    assert got.passed == (want.get("verdict", "PASS") == "PASS") == (done.returncode == 0)


def test_comparison_results_worst_colours_and_picture(tmp_path):
    got = measure.compare(measure.read_cgats(REFERENCE), MEASURED, max=2)
    worst = got.worst(3)
    assert list(got.differences[worst]) == sorted(got.differences, reverse=True)[:3]
    assert got.over_max == int((got.differences > 2).sum()) and not got.passed
    xyz, lab = measure.colours(MEASURED)
    assert lab.shape == (24, 3) and lab[got.sample_index].tobytes() == got.sample_lab.tobytes()
    got.write_png(tmp_path / "report.png")
    assert (tmp_path / "report.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    by_order = measure.compare(REFERENCE, MEASURED, pair_by="order", relative_to_paper=True, paper="A19")
    assert by_order.paired_by == "order" and by_order.reference_lab[18].tolist() == [100, 0, 0]
    with pytest.raises(ValueError, match="unknown metric"):
        measure.compare(REFERENCE, MEASURED, metric="CIE2001")
    with pytest.raises(ValueError, match="pair_by must be"):
        measure.compare(REFERENCE, MEASURED, pair_by="row")
    with pytest.raises(ValueError, match="unknown illuminant"):
        measure.colours(MEASURED, illuminant="D93")
