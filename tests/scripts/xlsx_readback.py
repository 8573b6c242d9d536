#!/usr/bin/env python3
"""Reads the workbook of `quorvil-cli export xlsx` back with zipfile and
xml.etree only, and checks the sheet's name, the bold frozen header, the
column widths and each cell's type, value and number format for every
field type, with empty, unreadable, long and high-byte values."""
import datetime
import os
import re
import sys
import tempfile
import zipfile
import xml.etree.ElementTree as ET

from readback_common import as_unicode, create_database, run

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
REL = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id"

# (name, type code, width in pixels)
FIELDS = [("Text", 1, 140), ("Yes", 2, 30), ("Day", 4, 70), ("Count", 8, 49), ("Price", 16, 0), ("At", 32, 56),
          ("Region", 64, 70), ("Made", 65, 70), ("Made at", 66, 56), ("No", 67, 2100), ("Changed", 73, 70),
          ("Changed at", 80, 56), ("Intl", 65535, 84)]

HIGH = "".join(chr(b) for b in range(0x80, 0x100))  # the tool's JSON: one code point a byte
LONG = "".join(f"line {k:03} " + "x" * 40 + ("\r\n" if k % 2 else "\n") for k in range(80))[:4000]
RECORDS = [
    ["plain", "1", "05/03/2003", "12", "-3.25", "09:30:15", "North", "28/02/1900", "23:59", "7", "01/03/1900",
     "0:00", "05 Mar 2003"],
    ["", "yes", "31/02/2003", "12abc", "1.2.3", "25:00", "", "31/12/1899", "", "x", "", "9:61", "31 Feb 2003"],
    [LONG, "0", "5/3/03", " 42 ", "1e3", "7.05", HIGH, "01/01/1900", "", "", "", "", ""],
    ["ctl \x01\x1f tab\t and _x0041_ kept", "", "", "", "", "", "", "", "", "", "", "", ""],
]
# What each cell must read back as: (cell type, value), None for no cell.
DATE, TIME, TEXT = "date", "time", "text"
EXPECTED = [
    [(TEXT, "plain"), ("b", True), (DATE, 37685), ("n", 12), ("n", -3.25), (TIME, 9 * 3600 + 30 * 60 + 15),
     (TEXT, "North"), (DATE, 59), (TIME, 23 * 3600 + 59 * 60), ("n", 7), (DATE, 61), (TIME, 0), (DATE, 37685)],
    [None, None, None, None, None, None, None, (TEXT, "31/12/1899"), None, None, None, None, None],
    [(TEXT, LONG.replace("\r\n", "\n")), ("b", False), (DATE, 37685), ("n", 42), ("n", 1000), (TIME, 7 * 3600 + 300),
     (TEXT, HIGH), (DATE, 1), None, None, None, None, None],
    [(TEXT, "ctl \x01\x1f tab\t and _x0041_ kept")] + [None] * 12,
]



def unescape(text):
    """Undoes the _xHHHH_ escapes of the file format (left to right, so an
    escaped underscore stays one)."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)



def column_index(ref):
    letters = re.match(r"[A-Z]+", ref).group(0)
    n = 0
    for c in letters:
        n = n * 26 + ord(c) - 64
    return n - 1


class Workbook:
    def __init__(self, path):
        with zipfile.ZipFile(path) as z:
            book = ET.fromstring(z.read("xl/workbook.xml"))
            self.sheet_name = book.find("m:sheets/m:sheet", NS).get("name")
            self.raw = z.read("xl/worksheets/sheet1.xml").decode("utf-8")
            sheet = ET.fromstring(self.raw)
            styles = ET.fromstring(z.read("xl/styles.xml"))
        formats = {int(f.get("numFmtId")): f.get("formatCode") for f in styles.iterfind("m:numFmts/m:numFmt", NS)}
        bold = [f.find("m:b", NS) is not None for f in styles.iterfind("m:fonts/m:font", NS)]
        self.xfs = [(formats.get(int(x.get("numFmtId")), ""), bold[int(x.get("fontId"))],
                     x.find("m:alignment[@wrapText='1']", NS) is not None)
                    for x in styles.iterfind("m:cellXfs/m:xf", NS)]
        self.pane = sheet.find("m:sheetViews/m:sheetView/m:pane", NS)
        self.widths = {int(c.get("min")) - 1: float(c.get("width")) for c in sheet.iterfind("m:cols/m:col", NS)}
        self.rows = {}
        for row in sheet.iterfind("m:sheetData/m:row", NS):
            cells = {}
            for c in row.iterfind("m:c", NS):
                kind = c.get("t", "n")
                text = "".join(t.text or "" for t in c.iterfind(".//m:t", NS))
                value = unescape(text) if kind == "inlineStr" else c.find("m:v", NS).text
                cells[column_index(c.get("r"))] = (kind, value, self.xfs[int(c.get("s", "0"))])
            self.rows[int(row.get("r")) - 1] = cells


def check_cell(where, got, want):
    """A failure text, or None."""
    if want is None:
        return f"{where}: a cell {got} where none should be" if got else None
    if not got:
        return f"{where}: no cell, want {want}"
    kind, value, (number_format, _, _) = got
    what, expected = want
    if what == TEXT:
        ok = kind == "inlineStr" and value == as_unicode(expected)
    elif what == "b":
        ok = kind == "b" and value == ("1" if expected else "0")
    elif what == "n":
        ok = kind == "n" and float(value) == expected and number_format == ""
    elif what == DATE:
        ok = kind == "n" and float(value) == expected and number_format == "dd/mm/yyyy"
    else:
        ok = kind == "n" and abs(float(value) * 86400 - expected) < 1e-6 and number_format == "hh:mm:ss"
    return None if ok else f"{where}: got {kind} {value[:60]!r} ({number_format}), want {what} {str(expected)[:60]!r}"


def make_database(cli, folder):
    spec = {
        "title": "Caf\xe9: [2003]/Q1?",
        "layout": 3,
        "fields": [{"name": n, "type": t, "width": w} for n, t, w in FIELDS],
        "records": RECORDS,
    }
    spec["fields"][6]["popup"] = ["North", "South"]
    return create_database(cli, folder, "all", spec)


def failures_of(book):
    failures = []
    if book.sheet_name != "Caf\u00e9 2003Q1":
        failures.append(f"sheet name {book.sheet_name!r}")
    if book.pane is None or book.pane.get("ySplit") != "1" or book.pane.get("state") != "frozen":
        failures.append("the header row is not frozen")
    header = book.rows.get(0, {})
    for c, (name, _, width) in enumerate(FIELDS):
        got = header.get(c)
        if not got or got[0] != "inlineStr" or got[1] != name or not got[2][1]:
            failures.append(f"header {c + 1}: {got}, want bold {name!r}")
        # The file's width holds 5 pixels of cell padding at 7 pixels a character.
        want = 8.43 if width == 0 else min(width / 7, 255)
        if abs(round(book.widths.get(c, 0) * 7) - 5 - want * 7) > 1:
            failures.append(f"column {c + 1} width {book.widths.get(c)}, want {want:.2f} characters")
    for r, row in enumerate(EXPECTED, start=1):
        for c, want in enumerate(row):
            failure = check_cell(f"record {r} {FIELDS[c][0]}", book.rows.get(r, {}).get(c), want)
            if failure:
                failures.append(failure)
    # Control characters travel as the format's escapes, the literal one escaped itself.
    if "ctl _x0001__x001F_ tab\t and _x005F_x0041_ kept" not in book.raw:
        failures.append("control characters or the literal _x0041_ not escaped")
    if not book.rows[3][0][2][2] or book.rows[1][0][2][2]:
        failures.append("the long cell does not wrap, or the one-line cell does")
    return failures


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        pdb = make_database(cli, folder)
        out = os.path.join(folder, "all.xlsx")
        run(cli, "export", "xlsx", pdb, "-o", out)
        failures = failures_of(Workbook(out))
        # --fields picks and orders the columns.
        run(cli, "export", "xlsx", pdb, "-o", out, "--fields", "4,1")
        picked = Workbook(out)
        if [picked.rows[0][c][1] for c in sorted(picked.rows[0])] != ["Count", "Text"] or picked.rows[1][0][1] != "12":
            failures.append("--fields 4,1 did not give the columns Count, Text")
    for failure in failures:
        print(failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
