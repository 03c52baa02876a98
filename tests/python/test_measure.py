"""vantrel.measure: the example charts read and compared as the vantrel command does."""

import json
import os
import subprocess
from pathlib import Path

import numpy as np
import pytest

import vantrel
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


def cgats(fields, *rows, header=""):
    return (f"CGATS.17\n{header}NUMBER_OF_FIELDS {len(fields.split())}\nBEGIN_DATA_FORMAT\n{fields}\n"
            f"END_DATA_FORMAT\nNUMBER_OF_SETS {len(rows)}\nBEGIN_DATA\n" + "\n".join(rows) + "\nEND_DATA\n")


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


def command(*arguments):
    done = subprocess.run([os.environ["VANTREL_CLI"], *map(str, arguments), "--format", "json"],
                          capture_output=True, text=True, check=True)
    return json.loads(done.stdout)


def printed(v):
    return float(f"{v:.4f}")


needs_command = pytest.mark.skipif("VANTREL_CLI" not in os.environ, reason="the vantrel command is not built")


# Groups by lightness, by id (with its own metric and a limit on dH) and by name, relative to
# the paper white.
PROFILE = """group dark
  lightness 0..40
  max 2
group blues
  ids A3 A8 A13
  metric 94
  mean 1
  max-dh 1
group greys
  names neutral* white black
  relative yes
  max 1.5
"""

CLI_CASES = {
    "CIEDE2000 with limits": ({"max": 5, "mean": 1.5}, ["--max", "5", "--mean", "1.5"]),
    "tolerance profile, paper named": ({"paper": "A19", "max": 4}, ["--paper", "A19", "--max", "4"]),
    "by order, media-relative, stated colour": (
        {"pair_by": "order", "relative_to_paper": True, "colour": "stated"},
        ["--pair", "order", "--relative-to-paper", "--colour", "stated"],
    ),
    "CIE94 failing p95": ({"metric": "CIE94", "p95": 1}, ["--metric", "94", "--p95", "1"]),
    "CMC 1:1 under D65, 10 degree": (
        {"metric": "cmc", "l": 1, "c": 1, "illuminant": "D65", "observer": "10"},
        ["--metric", "cmc", "--l", "1", "--c", "1", "--illuminant", "D65", "--observer", "10"],
    ),
}


@needs_command
@pytest.mark.parametrize("case", CLI_CASES)
def test_compare_agrees_with_the_command_to_its_printed_digits(case, tmp_path):
    options, arguments = CLI_CASES[case]
    if "profile" in case:
        (tmp_path / "profile.tol").write_text(PROFILE)
        options = {**options, "tolerances": tmp_path / "profile.tol"}
        arguments = [*arguments, "--tolerances", str(tmp_path / "profile.tol")]
    done = subprocess.run(
        [os.environ["VANTREL_CLI"], "compare", str(REFERENCE), str(MEASURED), "--format", "json", *arguments],
        capture_output=True, text=True,
    )
    want = json.loads(done.stdout)
    got = measure.compare(REFERENCE, MEASURED, **options)
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
    assert [
        [g.name, g.count, printed(g.mean), printed(g.p95), printed(g.max), g.passed]
        + [[c.name, printed(c.value), c.passed] for c in g.checks]
        for g in got.groups
    ] == [
        [g["name"], g["patches"], g["mean"], g["p95"], g["max"], g["pass"]]
        + [[k, v["value"], v["pass"]] for k, v in g["limits"].items()]
        for g in want.get("groups", [])
    ]
    assert (want["media_relative"] is None) == (got.paper is None)
    assert got.passed == (want.get("verdict", "PASS") == "PASS") == (done.returncode == 0)


@needs_command
@pytest.mark.parametrize("illuminant, observer", [("D65", None), ("A", "10"), (None, 10), ("F11", "2")])
def test_spectra_under_an_illuminant_agree_with_the_command(illuminant, observer):
    spectrum = np.linspace(0.05, 0.95, 31).astype(np.float32) ** 2
    options = [f"--{k}={v}" for k, v in (("illuminant", illuminant), ("observer", observer)) if v]
    want = command("spectrum", *spectrum.tolist(), "--factors", *options)
    got = vantrel.spectrum_to_xyz([spectrum, spectrum[::-1]], illuminant=illuminant, observer=observer)
    assert got.dtype == np.float64 and got.shape == (2, 3)
    assert [printed(v) for v in got[0].astype(np.float32)] == [want[k] for k in "XYZ"]  # printed from float
    unit = vantrel.spectrum_to_xyz(spectrum, illuminant=illuminant, observer=observer, scale="unit")
    assert unit.tolist() == (got[0] / 100).tolist()


@needs_command
def test_densities_of_a_files_patches_agree_with_the_command():
    want = command("measure", MEASURED, "--densities")["patches"]
    for status in "TI":
        got = measure.densities(MEASURED, status)
        assert got.dtype == np.float32
        colours = ("vis", "red", "green", "blue")
        assert [[printed(v) for v in row] for row in got] == [[p[f"{status}_{c}"] for c in colours] for p in want]
    with pytest.raises(measure.MeasureError, match="densities"):
        measure.densities(cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "1 50 0 0"))


LOCATED = cgats("SAMPLE_LOC LAB_L LAB_A LAB_B", "A1 50 0 0", "B1 60 0 0")
UNDER_A = cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "1 50 0 0", header="ILLUMINANT A\n")


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: measure.compare(LOCATED, LOCATED), r"SAMPLE_ID.*\(pair_by= chooses\)"),
        (lambda: measure.compare(LOCATED, REFERENCE, pair_by="location"), r"SAMPLE_LOC.*\(pair_by= chooses\)"),
        (lambda: measure.compare(UNDER_A, REFERENCE), r"\(ignore_conditions=True compares them anyway\)"),
        (lambda: measure.compare(REFERENCE, MEASURED, tolerances="group g\n  bogus 1\n"), "<tolerances>:2: "),
        (lambda: measure.compare(REFERENCE, MEASURED, tolerances="no-such.tol"), "no-such.tol"),
    ],
)
def test_refusals_name_what_would_do(call, message):
    with pytest.raises(measure.MeasureError, match=message):
        call()


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
    assert by_order.paper == (18, 18)
    moved = measure.compare(LOCATED, cgats("SAMPLE_LOC LAB_L LAB_A LAB_B", "B1 60 0 3", "A1 50 0 0"), pair_by="location")
    assert moved.paired_by == "SAMPLE_LOC" and moved.sample_index.tolist() == [1, 0]
    assert moved.differences[0] == 0 < moved.differences[1]
    grouped = measure.compare(REFERENCE, MEASURED, tolerances=PROFILE)
    assert grouped.groups[1].members.tolist() == [2, 7, 12] and not grouped.passed
    with pytest.raises(ValueError, match="width must be"):
        grouped.write_png(tmp_path / "narrow.png", width=100)
    grouped.write_png(tmp_path / "narrow.png", width=816)
    assert int.from_bytes((tmp_path / "narrow.png").read_bytes()[16:20], "big") <= 816
    with pytest.raises(ValueError, match="unknown metric"):
        measure.compare(REFERENCE, MEASURED, metric="CIE2001")
    with pytest.raises(ValueError, match="pair_by must be"):
        measure.compare(REFERENCE, MEASURED, pair_by="row")
    with pytest.raises(ValueError, match="unknown illuminant"):
        measure.colours(MEASURED, illuminant="D93")
    assert measure.colours(REFERENCE, colour="stated")[1][0] == pytest.approx([38.2802, 20.63, 7.8738], abs=2e-3)
    with pytest.raises(measure.MeasureError):
        measure.colours(LOCATED, colour="spectra")
    with pytest.raises(ValueError, match="colour must be"):
        measure.colours(REFERENCE, colour="measured")
