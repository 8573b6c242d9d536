#!/usr/bin/env python3
"""Reads the CSV of `quorvil-cli export csv-utf8` back with Python's csv
module and with `quorvil-cli import --utf8`, for each separator with and
without the byte-order mark, and checks both give exactly the database's
field names and cells (beside ';' a Float's number with a decimal comma)."""
import csv
import json
import os
import re
import sys

from readback_common import as_unicode, check_samples, create_database, run

# The tool's JSON shows a cell's bytes as the characters U+0000..U+00FF.
# Every byte from 0x80, quotes, both separators and line breaks in cells.
HARD_CELLS = [
    "".join(chr(b) for b in range(0x80, 0x100)),
    '"Gigi" to her friends; "dear", too',
    "first line\nsecond line\n",
    "",
    "a,b;c",
    "kept\r\nas CR LF",
]



FLOAT = 16
# A number as the program reads one: blanks around it, a sign, digits with a
# point, an exponent.
NUMBER = re.compile(r"[ \t]*[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?[ \t]*")


def with_decimal_comma(rows, fields):
    """The rows as the ';' CSV holds them: a Float's point becomes a comma."""
    floats = [k for k, f in enumerate(fields) if f["type"] == FLOAT]
    out = [list(rows[0])]
    for row in rows[1:]:
        row = list(row)
        for k in floats:
            if NUMBER.fullmatch(row[k]) and "." in row[k]:
                row[k] = row[k].replace(".", ",", 1)
        out.append(row)
    return out


def make_hard_database(cli, folder):
    spec = {
        "title": "Hard cells",
        "layout": 3,
        "fields": [{"name": "Text", "type": 1, "width": 80}, {"name": "Ünit; \"q\"", "type": 1, "width": 40}],
        "records": [[cell, str(k)] for k, cell in enumerate(HARD_CELLS)],
    }
    return create_database(cli, folder, "hard", spec)





def import_back(cli, csv_path, folder, bom):
    """The field names and cells of the CSV imported again, as the tool's
    JSON shows them; the mark alone must choose UTF-8."""
    pdb = os.path.join(folder, "back.PDB")
    run(cli, "import", csv_path, "-o", pdb, *([] if bom else ["--utf8"]))
    info = json.loads(run(cli, "info", pdb, "--json", "--records"))
    return [[f["name"] for f in info["fields"]]] + info["records"]


def check(cli, pdb, folder):
    info = json.loads(run(cli, "info", pdb, "--json", "--records"))
    original = [[f["name"] for f in info["fields"]]] + info["records"]
    failures = 0
    for separator in (",", ";"):
        written = with_decimal_comma(original, info["fields"]) if separator == ";" else original
        expected = [[as_unicode(cell) for cell in row] for row in written]
        for bom in (False, True):
            out = os.path.join(folder, "out.csv")
            args = [cli, "export", "csv-utf8", pdb, "-o", out, "--separator", separator] + (["--bom"] if bom else [])
            run(*args)
            with open(out, "rb") as f:
                raw = f.read()
            if raw.startswith(b"\xef\xbb\xbf") != bom:
                print(f"{pdb} sep {separator!r} bom {bom}: mark wrong")
                failures += 1
            if not raw.endswith(b"\r\n"):
                print(f"{pdb} sep {separator!r}: last row does not end in CR LF")
                failures += 1
            with open(out, encoding="utf-8-sig" if bom else "utf-8", newline="") as f:
                rows = list(csv.reader(f, delimiter=separator))
            if rows != expected:
                print(f"{pdb} sep {separator!r} bom {bom}: read back differs")
                for got, want in zip(rows, expected):
                    if got != want:
                        print("  got ", got, "\n  want", want)
                        break
                failures += 1
            back = import_back(cli, out, folder, bom)
            if back != written:
                print(f"{pdb} sep {separator!r} bom {bom}: import --utf8 gives other cells")
                failures += 1
    return failures


def main():
    return check_samples(sys.argv[1], sys.argv[2], make_hard_database, check)


if __name__ == "__main__":
    sys.exit(main())
