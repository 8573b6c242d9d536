#!/usr/bin/env python3
"""Reads the pages of `quorvil-cli export html5` back with Python's HTML
parser and checks they hold exactly the database's title, field names and
cells; with `json`, checks that `export json` writes what `info --json
--records` prints and that a field list keeps those fields in that order."""
import html.parser
import json
import os
import sys

from readback_common import as_unicode, check_samples, create_database, run

# The tool's JSON shows a cell's bytes as the characters U+0000..U+00FF.
# Every byte from 0x80, markup characters, quotes, line breaks, controls.
HARD_CELLS = [
    "".join(chr(b) for b in range(0x80, 0x100)),
    'Tom & "Jerry" <b>\'s</b> &amp; &lt;',
    "first line\nsecond line\n",
    "cr lf\r\nlone cr\rend",
    "",
    "  two  spaces\ttab\x01\x1f\x7f",
]




def make_hard_database(cli, folder):
    spec = {
        "title": "Hard <cells> & \"more\"",
        "layout": 3,
        "fields": [{"name": "Text", "type": 1, "width": 80}, {"name": "Ünit <&> \"q\"", "type": 1, "width": 40},
                   {"name": "Count", "type_name": "INTEGER"}],
        "records": [[cell, str(k), str(k * 7)] for k, cell in enumerate(HARD_CELLS)],
        "sort_fields": [3, 1, 0],
        "find_field": 2,
        "saved_sorts": [{"slot": 2, "name": "By count", "fields": [3, 2, 0]}],
    }
    return create_database(cli, folder, "hard", spec)


def is_forbidden_control(c):
    """What HTML allows in no text: controls but tab, LF, FF and CR."""
    return (ord(c) < 0x20 and c not in "\t\n\f\r") or 0x7F <= ord(c) <= 0x9F


def as_page_text(json_text):
    """A cell of the tool's JSON as the page should show it: its bytes as
    Windows-1252 (the five bytes that code page leaves open stand for the C1
    controls of their number), line breaks as LF, forbidden controls as U+FFFD."""
    text = as_unicode(json_text).replace("\r\n", "\n").replace("\r", "\n")
    return "".join("\ufffd" if is_forbidden_control(c) else c for c in text)


class Page(html.parser.HTMLParser):
    """The title, the charset, and the table's rows of cells (<br> as LF)."""

    def __init__(self):
        super().__init__()
        self.doctype, self.charset, self.title, self.rows = None, None, None, []
        self.text = None

    def handle_decl(self, decl):
        self.doctype = decl

    def handle_starttag(self, tag, attrs):
        if tag == "meta":
            self.charset = dict(attrs).get("charset", self.charset)
        elif tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th", "title"):
            self.text = ""
        elif tag == "br" and self.text is not None:
            self.text += "\n"

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append((tag, self.text))
        elif tag == "title":
            self.title = self.text
        if tag in ("td", "th", "title"):
            self.text = None

    def handle_data(self, data):
        if self.text is not None:
            self.text += data


def check_html(cli, pdb, folder):
    info = json.loads(run(cli, "info", pdb, "--json", "--records"))
    want = [[("th", as_page_text(f["name"])) for f in info["fields"]]]
    want += [[("td", as_page_text(cell)) for cell in record] for record in info["records"]]
    out = os.path.join(folder, "out.html")
    run(cli, "export", "html5", pdb, "-o", out)
    page = Page()
    with open(out, encoding="utf-8", errors="strict") as f:
        page.feed(f.read())
    got = (page.doctype, page.charset, page.title)
    problems = [f"doctype, charset, title {got}"] if got != ("DOCTYPE html", "utf-8", as_page_text(info["title"])) else []
    problems += [f"row {k}: got {g}\n  want {w}" for k, (g, w) in enumerate(zip(page.rows, want)) if g != w][:1]
    if len(page.rows) != len(want):
        problems.append(f"{len(page.rows)} rows, want {len(want)}")
    for p in problems:
        print(f"{pdb}: {p}")
    return len(problems)


def check_json(cli, pdb, folder):
    full = run(cli, "info", pdb, "--json", "--records")
    out = os.path.join(folder, "out.json")
    run(cli, "export", "json", pdb, "-o", out)
    with open(out, "rb") as f:
        failures = 0 if f.read() == full else 1
    if failures:
        print(f"{pdb}: export json differs from info --json --records")
    info = json.loads(full)
    chosen = [n for n in (3, 1) if n <= info["field_count"]]
    run(cli, "export", "json", pdb, "-o", out, "--fields", ",".join(map(str, chosen)))
    with open(out, encoding="utf-8") as f:
        part = json.load(f)
    place = {n: k + 1 for k, n in enumerate(chosen)}
    want = dict(info, field_count=len(chosen), fields=[info["fields"][n - 1] for n in chosen],
                records=[[record[n - 1] for n in chosen] for record in info["records"]],
                sort_fields=[place.get(n, 0) for n in info["sort_fields"]],
                saved_sorts=[dict(s, fields=[place.get(n, 0) for n in s["fields"]]) for s in info["saved_sorts"]],
                **{key: place.get(info[key], 0) for key in ("find_field", "filter_field", "first_column")})
    if part != want:
        print(f"{pdb}: export json --fields {chosen}: " + ", ".join(k for k in want if part.get(k) != want[k]))
        failures += 1
    return failures


def main():
    cli, samples, kind = sys.argv[1], sys.argv[2], sys.argv[3]
    check = check_html if kind == "html" else check_json
    return check_samples(cli, samples, make_hard_database, check, f"{kind}: ")


if __name__ == "__main__":
    sys.exit(main())
