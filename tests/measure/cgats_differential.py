#!/usr/bin/env python3
"""Differential test of the CGATS reader.

Writes random CGATS files in every legal shape (file types, keywords and comments, quoted
strings, tabs and runs of blanks, LF, CR-LF or CR line ends, a byte-order mark, several tables,
fields in any order, numbers written every legal way), reads each with a reader of its own,
written here for the test, and with the library (through cgats_dump), and compares the two
bit for bit. Then damages valid files in known places and checks that each is refused with one
line naming the file and the line at fault.

    cgats_differential.py [LAUNCHER ...] CGATS_DUMP [--files N] [--seed S]

LAUNCHER: what runs CGATS_DUMP when it was built for another processor (an emulator).
"""
import argparse
import os
import random
import struct
import subprocess
import sys
import tempfile

PREFIXES = ["SPECTRAL_", "SPECTRAL_NM", "SPECTRAL_NM_", "NM", "nm", "SPEC_", "spectral_"]
BLANKS = [" ", "  ", "\t", " \t "]
OTHER_FIELDS = ["CMYK_C", "CMYK_K", "RGB_R", "SAMPLE_LOC", "STDEV_L", "MY_FIELD"]


# --- writing -----------------------------------------------------------------------------------

def number(rng, low, high):
    """A number between low and high, written one of the ways a decimal may be."""
    value = rng.uniform(low, high)
    form = rng.randrange(9)
    if form == 0:
        return str(int(value))
    if form == 1:
        return "%.*f" % (rng.randrange(1, 7), value)
    if form == 2:
        return "%+.*f" % (rng.randrange(0, 4), value)
    if form == 3:
        return "%.*e" % (rng.randrange(0, 6), value)
    if form == 4:
        return ("%.*E" % (rng.randrange(0, 6), value)).replace("E+0", "E+")
    if form == 5:
        return "%.20f" % value  # more digits than a double holds
    if form == 6:
        text = "%.3f" % abs(value)
        return ("-" if value < 0 else "") + "00" + text  # leading zeros
    if form == 7:
        text = "%.2f" % value
        return text.replace("0.", ".", 1) if text.startswith("0.") else text + "0"
    return repr(value)


def word(rng, allow_bare=True):
    """An id or name: a bare word, or a quoted string with blanks, '#' or the other quote."""
    stem = rng.choice(["A", "p", "Patch", "x-1", "50%", "é", "S"]) + str(rng.randrange(1000))
    kind = rng.randrange(4) if allow_bare else rng.randrange(1, 4)
    if kind == 0:
        return stem
    if kind == 1:
        return '"%s #%d"' % (stem, rng.randrange(9))
    if kind == 2:
        return "'%s \"q\"'" % stem
    return '"%s\t%s"' % (stem, "it's")


def table(rng):
    """A table: its fields, rows of tokens, and the header lines before it."""
    kind = rng.choice(["spectral", "spectral", "xyz", "lab"])
    colour = []
    if kind == "spectral":
        step = rng.choice([5, 10, 10, 20])
        first = rng.choice([360, 380, 400])
        last = rng.choice([700, 730, 780])
        prefix = rng.choice(PREFIXES)
        colour = [prefix + str(nm) for nm in range(first, last + 1, step)]
        if rng.random() < 0.3:
            colour.append("XYZ_X")  # skipped: spectra come first
    elif kind == "xyz":
        colour = ["XYZ_X", "XYZ_Y", "XYZ_Z"] + (["LAB_L"] if rng.random() < 0.3 else [])
    else:
        colour = ["LAB_L", "LAB_A", "LAB_B"]
    fields = list(colour)
    if rng.random() < 0.8:
        fields.append("SAMPLE_ID")
    if rng.random() < 0.5:
        fields.append("SAMPLE_NAME")
    fields += rng.sample(OTHER_FIELDS, rng.randrange(3))
    if rng.random() < 0.5:
        rng.shuffle(fields)
    else:  # ids first, as most files have them
        fields.sort(key=lambda f: f not in ("SAMPLE_ID", "SAMPLE_NAME"))
    percent = rng.random() < 0.5
    rows = []
    for k in range(rng.randrange(1, 6)):
        row = []
        for field in fields:
            if field == "SAMPLE_ID":
                row.append(word(rng) if rng.random() < 0.7 else "P%d" % k)
            elif field == "SAMPLE_NAME" or field == "SAMPLE_LOC":
                row.append(word(rng))
            elif field == "MY_FIELD":
                row.append(word(rng) if rng.random() < 0.5 else number(rng, -1, 1))
            elif field.startswith("LAB_"):
                row.append(number(rng, -100, 100))
            elif field.startswith("XYZ_"):
                row.append(number(rng, 0, 100))
            else:
                row.append(number(rng, 0, 100 if percent else 1))
        rows.append(row)
    header = []
    for _ in range(rng.randrange(4)):
        header.append(rng.choice([
            'ORIGINATOR "a tool # 2"', "DESCRIPTOR 'chart'", "CREATED 2026-12-06",
            "# a comment", "", "KEYWORD \"MY_KEY\"\tMY_KEY some words here",
            'INSTRUMENT  "i1"  # trailing comment', "LGOROWLENGTH 6"]))
    if rng.random() < 0.2:
        header.append("SPECTRAL_NORM %s" % ("100" if percent else "1"))
    return {"fields": fields, "rows": rows, "header": header}


def lines_of(rng, tables, file_type):
    """The file's lines, and for each table the numbers of its data rows and markers."""
    lines = [file_type] if file_type else []
    places = []
    for t in tables:
        for entry in t["header"]:
            lines.extend(entry.split("\t") if entry.startswith("KEYWORD") else [entry])
        count = rng.choice(["NUMBER_OF_FIELDS", "number_of_fields", None])
        if count:
            lines.append("%s%s%d" % (count, rng.choice(BLANKS), len(t["fields"])))
        fields = list(t["fields"])
        cut = rng.randrange(len(fields) + 1)
        lines.append("BEGIN_DATA_FORMAT" + ("" if rng.random() < 0.7 else " " + fields.pop(0)))
        if cut and cut < len(fields):
            lines.append(rng.choice(BLANKS).join(fields[:cut]))
            lines.append(rng.choice(BLANKS).join(fields[cut:]) + " # fields")
        else:
            lines.append(" ".join(fields))
        lines.append("END_DATA_FORMAT")
        lines.append("NUMBER_OF_SETS %d" % len(t["rows"]))
        place = {"begin": len(lines) + 1, "rows": [], "text": []}
        lines.append("BEGIN_DATA")
        for row in t["rows"]:
            if rng.random() < 0.2:
                lines.append(rng.choice(["", "# between rows", "\t"]))
            lead = rng.choice(["", "", " ", "\t"])
            text = lead + "".join(tok + rng.choice(BLANKS) for tok in row[:-1]) + row[-1]
            lines.append(text + rng.choice(["", "", " # end", "\t#end"]))
            place["rows"].append(len(lines))
            place["text"].append(text)
        place["end"] = len(lines) + 1
        lines.append(rng.choice(["END_DATA", "END_DATA#done", "END_DATA  # done", "end_data"]))
        places.append(place)
    return lines, places


# --- reading, independently --------------------------------------------------------------------

def tokens(line):
    """The words and quoted strings of a line, up to a comment."""
    out, i, n = [], 0, len(line)
    while True:
        while i < n and line[i] in " \t\f\v":
            i += 1
        if i == n or line[i] == "#":
            return out
        if line[i] in "\"'":
            close = line.index(line[i], i + 1)
            out.append(line[i + 1:close])
            i = close + 1
        else:
            start = i
            while i < n and line[i] not in " \t\f\v":
                i += 1
            out.append(line[start:i])


def wavelength(field):
    for prefix in sorted(PREFIXES, key=len, reverse=True):
        if field.upper().startswith(prefix.upper()) and field[len(prefix):].isdigit():
            return int(field[len(prefix):])
    return None


def as_float(text):
    return struct.unpack("<I", struct.pack("<f", float(text)))[0]


def as_double(text):
    return struct.unpack("<Q", struct.pack("<d", float(text)))[0]


def expected(t, place, file_type, table_count, wanted, norms):
    """What the library must make of table `t`: its shape and each patch. `norms`: the
    SPECTRAL_NORM lines of the headers up to this table's."""
    fields = t["fields"]
    spectral = sorted((wavelength(f), i) for i, f in enumerate(fields) if wavelength(f))
    ident = fields.index("SAMPLE_ID") if "SAMPLE_ID" in fields else None
    name = fields.index("SAMPLE_NAME") if "SAMPLE_NAME" in fields else None
    place_ = fields.index("SAMPLE_LOC") if "SAMPLE_LOC" in fields else None
    if spectral:
        source, columns = 0, [i for _, i in spectral]
        first, last = spectral[0][0], spectral[-1][0]
        step = spectral[1][0] - first
    else:
        source = 1 if "XYZ_X" in fields else 2
        columns = [fields.index(f) for f in (["XYZ_X", "XYZ_Y", "XYZ_Z"] if source == 1
                                             else ["LAB_L", "LAB_A", "LAB_B"])]
        first = last = 0
        step = 10
    bits = as_float if spectral else as_double
    patches = []
    for row, line in zip(t["rows"], place["rows"]):
        values = [tokens(v)[0] for v in row]
        patches.append(("x" + (values[ident].encode().hex() if ident is not None else ""),
                        "x" + (values[name].encode().hex() if name is not None else ""),
                        "x" + (values[place_].encode().hex() if place_ is not None else ""),
                        line, [bits(values[c]) for c in columns]))
    scale = None
    if spectral:
        largest = max(float(tokens(row[c])[0]) for row in t["rows"] for c in columns)
        if norms:
            scale = "percent" if norms[-1].endswith("100") else "factors"
        elif file_type == "CTI3" or largest > 2:
            scale = "percent"
    warnings = 1 if wanted == 1 and table_count > 1 else 0
    return (source, ident is not None, name is not None, first, last, step, warnings), scale, patches


# --- damage ------------------------------------------------------------------------------------

def damage(rng, lines, place, t):
    """Spoils the wanted table in one known place; gives the line that must be named."""
    row = rng.randrange(len(place["rows"]))
    at = place["rows"][row] - 1
    kind = rng.randrange(6)
    text = place["text"][row]
    if kind == 0:
        lines[at] = text + " 1"
    elif kind == 1:
        lines[at] = text + " \"unclosed"
    elif kind == 2:
        lines[at] = "\x01" + lines[at]
    elif kind == 3:
        line = place["begin"] - 2
        lines[line] = "NUMBER_OF_SETS %d" % (len(place["rows"]) + 1)
        return place["end"]
    elif kind == 4:
        lines[at] = "junk " * (len(t["fields"]) + 1)
    else:
        lines[at] = text + " \"two\" 3"
    return at + 1


# --- the test ----------------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dump", nargs="+")
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--keep", help="write the files into this folder and keep them")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    cases = []
    with tempfile.TemporaryDirectory() as scratch:
        folder = args.keep or scratch
        for n in range(args.files):
            file_type = rng.choice(["CGATS.17", "CGATS.17", "IT8.7/2", "CTI3", "ECI2002", ""])
            tables = [table(rng) for _ in range(rng.choice([1, 1, 1, 2, 3]))]
            wanted = rng.randrange(len(tables)) + 1
            lines, places = lines_of(rng, tables, file_type)
            damaged = n % 4 == 3
            line = damage(rng, lines, places[wanted - 1], tables[wanted - 1]) if damaged else None
            eol = rng.choice(["\n", "\r\n", "\r"])
            text = ("\ufeff" if rng.random() < 0.1 else "") + eol.join(lines) + eol
            path = os.path.join(folder, "f%d.cgats" % n)
            with open(path, "wb") as f:
                f.write(text.encode())
            norms = [h for t in tables[:wanted] for h in t["header"]
                     if h.startswith("SPECTRAL_NORM")]
            want = None if damaged else expected(tables[wanted - 1], places[wanted - 1],
                                                 file_type, len(tables), wanted, norms)
            cases.append((path, wanted, line, want))
        request = "".join("%d %s\n" % (wanted, path) for path, wanted, _, _ in cases)
        output = subprocess.run(args.dump, input=request.encode(), stdout=subprocess.PIPE,
                                check=True).stdout.decode("utf-8", "surrogateescape")
    blocks = []
    for line in output.split("\n"):
        if line.startswith("file "):
            blocks.append([])
        elif blocks and line:
            blocks[-1].append(line)
    failures = 0
    for (path, wanted, line, want), block in zip(cases, blocks):
        problem = check(path, line, want, block)
        if problem:
            failures += 1
            if failures <= 10:
                print("%s (table %d): %s" % (path, wanted, problem))
    print("%d files, %d refused as they should be, %d failures" %
          (len(cases), sum(1 for c in cases if c[2]), failures))
    return 1 if failures or len(blocks) != len(cases) else 0


def check(path, line, want, got):
    if line is not None:
        if len(got) != 1 or not got[0].startswith("error %s:%d: " % (path, line)):
            return "expected one error naming line %d, got %r" % (line, got[:2])
        return None
    if not got or got[0].startswith("error"):
        return "refused: %r" % got[:1]
    shape, scale, patches = want
    head = got[0].split()
    values = tuple(int(v) for v in head[1:7]) + (int(head[8]),)
    if values != tuple(int(v) for v in shape):
        return "shape %s, expected %s" % (values, shape)
    if scale and head[7] != scale:
        return "scale %s, expected %s" % (head[7], scale)
    if len(got) - 1 != len(patches):
        return "%d patches, expected %d" % (len(got) - 1, len(patches))
    for row, (ident, name, place, number, bits) in zip(got[1:], patches):
        parts = row.split()
        if parts[:4] != [ident, name, place, str(number)] or \
                [int(b, 16) for b in parts[4:]] != bits:
            return "patch %s, expected %s" % (parts[:4], (ident, name, place, number))
    return None


if __name__ == "__main__":
    sys.exit(main())
