#!/usr/bin/env python3
"""Reads the PDF of `quorvil-cli export pdf` back with poppler's pdftotext
(-layout) and pdfinfo, and checks what the paper must show: every chosen
cell whole and in record order, the field names on top of every page,
"Page n of m" at the foot of each, a 4,000-character cell wrapped and
whole, only the records of --where, only the fields of --fields in their
order, a wide database's columns continued on following pages with no
field cut, record cards of "Field: value" lines, and landscape paper.
Exit status 77 (skipped) when poppler's tools are missing."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

from readback_common import create_database, run

RECORDS = 120
LONG_RECORD = 2  # the record whose Notes hold the long cell
# 4,000 characters of distinct words, so that a word lost, cut or out of
# order shows; a line break inside, as people type them.
LONG = " ".join(f"w{k:04}" for k in range(1, 668))[:3995] + "\nend."
NAMES = ["Key", "Item", "Count", "Region", "Notes"]


def goods_records():
    records = []
    for r in range(1, RECORDS + 1):
        item = "Caf\xe9" if r == 1 else f"item{r:03}"
        notes = LONG if r == LONG_RECORD else f"n{r:03}"
        records.append([f"k{r:03}", item, str(r * 7), "North" if r % 2 else "South", notes])
    return records


def make_goods(cli, folder):
    spec = {
        "title": "Goods on hand",
        "layout": 3,
        "fields": [{"name": "Key"}, {"name": "Item"}, {"name": "Count", "type_name": "INTEGER"},
                   {"name": "Region", "type_name": "LIST", "popup": ["North", "South"]}, {"name": "Notes"}],
        "records": goods_records(),
    }
    return create_database(cli, folder, "goods", spec)


WIDE_FIELDS, WIDE_RECORDS = 30, 12


def wide_value(f, r):
    # Some values wide enough that no page holds all thirty columns.
    return f"v{f:02}r{r:02}" + ("-" + "x" * 12 if (f + r) % 5 == 0 else "")


def make_wide(cli, folder):
    spec = {
        "title": "Thirty fields",
        "layout": 3,
        "fields": [{"name": f"Field{f:02}"} for f in range(1, WIDE_FIELDS + 1)],
        "records": [[wide_value(f, r) for f in range(1, WIDE_FIELDS + 1)] for r in range(1, WIDE_RECORDS + 1)],
    }
    return create_database(cli, folder, "wide", spec)


def make_cyrillic(cli, folder):
    spec_path = os.path.join(folder, "cyrillic.json")
    with open(spec_path, "w", encoding="utf-8") as f:
        json.dump({"title": "Words", "layout": 3, "fields": [{"name": "\u0421\u043b\u043e\u0432\u043e"}],
                   "records": [["\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"]]}, f, ensure_ascii=False)
    pdb = os.path.join(folder, "cyrillic.PDB")
    run(cli, "create", spec_path, "-o", pdb, "--charset", "windows-1251")
    return pdb


class Pdf:
    """The pages' text as pdftotext -layout lays it out, and pdfinfo's page
    count and paper."""

    def __init__(self, path):
        text = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", path, "-"], capture_output=True,
                              check=True).stdout.decode("utf-8")
        self.pages = [page.split("\n") for page in text.split("\f")]
        if self.pages and not "".join(self.pages[-1]).strip():
            self.pages.pop()
        info = subprocess.run(["pdfinfo", path], capture_output=True, check=True).stdout.decode("utf-8")
        self.page_count = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
        w, h = re.search(r"^Page size:\s+([\d.]+) x ([\d.]+)", info, re.M).groups()
        rotation = re.search(r"^Page rot:\s+(\d+)", info, re.M)
        turned = rotation is not None and int(rotation.group(1)) % 180 == 90
        self.landscape = (float(w) > float(h)) != turned

    def tokens(self, page=None):
        pages = self.pages if page is None else [self.pages[page]]
        return [t for p in pages for line in p for t in line.split()]


def top(lines, count=6):
    """The first `count` lines that hold something."""
    return [line for line in lines if line.strip()][:count]


def words(cells):
    return [t for cell in cells for t in cell.split()]


def first_missing(expected, tokens):
    """The first of `expected` not found, in order, in `tokens`; None when
    all are there as a subsequence."""
    k = 0
    for e in expected:
        while k < len(tokens) and tokens[k] != e:
            k += 1
        if k == len(tokens):
            return e
        k += 1
    return None


def check_pages(pdf, names, title):
    """"Page n of m" alone at the foot of every page, m as pdfinfo counts;
    the title on top of the first page; on top of every page `names` (field
    names) on one line."""
    failures = []
    m = pdf.page_count
    if len(pdf.pages) != m:
        failures.append(f"pdftotext found {len(pdf.pages)} pages, pdfinfo {m}")
    for n, lines in enumerate(pdf.pages, start=1):
        text = [line for line in lines if line.strip()]
        if not text or re.search(r"Page \d+ of \d+", "\n".join(text[:-1])) or \
                not re.fullmatch(rf"\s*Page {n} of {m}\s*", text[-1]):
            failures.append(f"page {n}: the foot is {text[-1:]!r}, want 'Page {n} of {m}' alone")
        pattern = re.compile(r"(?<!\S)" + r"\s+".join(re.escape(name) for name in names) + r"(?!\S)")
        if not any(pattern.search(line) for line in top(text)):
            failures.append(f"page {n}: no header line {' '.join(names)!r} on top")
    if title not in "\n".join(top(pdf.pages[0], 3)):
        failures.append(f"the title {title!r} is not on top of the first page")
    return failures


def check_table(pdf, records, fields, title, left_out=()):
    """Every chosen cell's words in record order and no record of `left_out`,
    the long cell on several lines, the header and foot on every page."""
    names = [NAMES[f - 1] for f in fields]
    failures = check_pages(pdf, names, title)
    expected = words(cell for record in records for cell in (record[f - 1] for f in fields))
    missing = first_missing(expected, pdf.tokens())
    if missing is not None:
        failures.append(f"the cells are not all there in order: {missing!r} missing or out of place")
    every = set(pdf.tokens())
    shown = [r[0] for r in left_out if r[0] in every]
    if shown:
        failures.append(f"records left out are shown: {shown[:3]}")
    for other in set(range(1, len(NAMES) + 1)) - set(fields):
        shown = set(words([NAMES[other - 1]] + [record[other - 1] for record in records])) & every
        if shown:
            failures.append(f"field {NAMES[other - 1]} was not chosen, yet {sorted(shown)[:3]} is shown")
    if 5 in fields and any(r[0] == f"k{LONG_RECORD:03}" for r in records):
        lines = [line for page in pdf.pages for line in page if re.search(r"\bw\d{4}\b", line)]
        if len(lines) < 10:
            failures.append(f"the 4,000-character cell takes {len(lines)} lines: not wrapped")
    return failures


def check_wide(pdf):
    """Every field's name and every value whole; on each page exactly the
    values of the fields whose names head it; the columns on several pages."""
    failures = check_pages(pdf, [], "Thirty fields")
    heads = []
    for n in range(len(pdf.pages)):
        tokens = set(pdf.tokens(n))
        named = {f for f in range(1, WIDE_FIELDS + 1) if f"Field{f:02}" in tokens}
        valued = {f for f in range(1, WIDE_FIELDS + 1) for r in range(1, WIDE_RECORDS + 1) if wide_value(f, r) in tokens}
        if named != valued:
            failures.append(f"page {n + 1}: fields named {sorted(named)}, values of {sorted(valued)}")
        heads.append(tuple(sorted(named)))
        header = [f"Field{f:02}" for f in sorted(named)]
        if not any(re.search(r"\s+".join(header), line) for line in top(pdf.pages[n])):
            failures.append(f"page {n + 1}: the names {header} are not on one line on top")
    every = set(pdf.tokens())
    for f in range(1, WIDE_FIELDS + 1):
        cut = [wide_value(f, r) for r in range(1, WIDE_RECORDS + 1) if wide_value(f, r) not in every]
        if f"Field{f:02}" not in every or cut:
            failures.append(f"field {f}: the name or the values {cut[:3]} are not whole")
    if len(set(heads)) < 2:
        failures.append(f"the thirty columns were not continued on a following page: {heads}")
    return failures


def check_cards(pdf, records):
    """A card of "Field: value" lines for each record, in record order, each
    short record's card on one page."""
    failures = check_pages(pdf, [], "Goods on hand")
    cards = []  # per card: field name -> (the value's first word, page)
    for n, lines in enumerate(pdf.pages):
        for line in lines:
            for match in re.finditer(r"(?<!\S)(" + "|".join(NAMES) + r"):\s+(\S+)", line):
                if match.group(1) == NAMES[0]:
                    cards.append({})
                if cards:
                    cards[-1].setdefault(match.group(1), (match.group(2), n))
    if len(cards) != len(records):
        failures.append(f"{len(cards)} cards for {len(records)} records")
    for card, record in zip(cards, records):
        shown = [card.get(name, ("", None))[0] for name in NAMES]
        if shown != [value.split()[0] for value in record]:
            failures.append(f"the card of {record[0]} shows {shown}")
        elif record[4] != LONG and len({page for _, page in card.values()}) != 1:
            failures.append(f"the card of {record[0]} is split across pages")
    missing = first_missing(words([LONG]), pdf.tokens())
    if missing is not None:
        failures.append(f"the long cell's card lacks {missing!r}")
    return failures


def export(cli, *args):
    """Runs `quorvil-cli export pdf` and returns its exit status and standard
    error."""
    done = subprocess.run([cli, "export", "pdf", *args], capture_output=True)
    return done.returncode, done.stderr.decode("utf-8", errors="replace")


def check_refusals(cli, folder, pdb):
    """An output the tool cannot write fails with one line, leaving the
    database as it was and no file behind."""
    failures = []
    with open(pdb, "rb") as f:
        before = f.read()
    missing = os.path.join(folder, "no such folder", "out.pdf")
    for out in (pdb, missing):
        code, err = export(cli, pdb, "-o", out)
        if code != 1 or err.count("\n") != 1:
            failures.append(f"-o {out}: exit status {code}, standard error {err!r}: want 1 and one line")
    with open(pdb, "rb") as f:
        if f.read() != before:
            failures.append("the database was changed by a PDF written onto it")
    if os.path.exists(os.path.dirname(missing)):
        failures.append("a folder was made for the output")
    return failures


def main():
    # The tool must need no display.
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        os.environ.pop(name, None)
    if not (shutil.which("pdftotext") and shutil.which("pdfinfo")):
        print("pdftotext or pdfinfo missing (poppler-utils): skipped")
        return 77
    cli = sys.argv[1]
    records = goods_records()
    north = [r for r in records if r[3] == "North"]
    south = [r for r in records if r not in north]
    cases = [
        # (name, database, options, check)
        ("table", "goods", [], lambda pdf: check_table(pdf, records, [1, 2, 3, 4, 5], "Goods on hand") +
         ([] if not pdf.landscape else ["the default paper is landscape"])),
        ("where", "goods", ["--where", "Region", "=", "North"],
         lambda pdf: check_table(pdf, north, [1, 2, 3, 4, 5], "Goods on hand", south)),
        ("fields", "goods", ["--fields", "3,1"], lambda pdf: check_table(pdf, records, [3, 1], "Goods on hand")),
        ("landscape", "goods", ["--landscape", "--fields", "1,2"],
         lambda pdf: check_table(pdf, records, [1, 2], "Goods on hand") +
         ([] if pdf.landscape else ["--landscape gave portrait paper"])),
        ("wide", "wide", [], check_wide),
        ("cards", "goods", ["--cards"], lambda pdf: check_cards(pdf, records)),
        ("charset", "cyrillic", ["--charset", "windows-1251"],
         lambda pdf: [] if "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440" in "\n".join(pdf.pages[0])
         else ["the windows-1251 cell is not shown in Cyrillic"]),
    ]
    makers = {"goods": make_goods, "wide": make_wide, "cyrillic": make_cyrillic}
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        databases = {name: make(cli, folder) for name, make in makers.items()}
        for name, database, options, check in cases:
            out = os.path.join(folder, name + ".pdf")
            code, err = export(cli, databases[database], "-o", out, *options)
            found = check(Pdf(out)) if code == 0 else []
            if code != 0 or err:
                found.insert(0, f"exit status {code}, standard error {err!r}: want 0 and nothing")
            for failure in found[:8] + ([f"and {len(found) - 8} more"] if len(found) > 8 else []):
                print(f"{name}: {failure}")
            failures += len(found)
        for failure in check_refusals(cli, folder, databases["goods"]):
            print(f"refusals: {failure}")
            failures += 1
    print(f"{len(cases)} exports and 2 refusals, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
