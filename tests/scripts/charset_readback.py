#!/usr/bin/env python3
"""Reads back the exports of databases written in other character sets with
Python's own readers: the workbook with zipfile and xml.etree, the CSV in
UTF-8 with csv, the JSON with json. The argument is a JSON list, one entry a
database: its export files (the workbook only where the build writes one)
and every text it holds, as UTF-8."""
import csv
import json
import sys

from xlsx_readback import Workbook


def table(entry):
    """The header row of field names and the records, as every export holds them."""
    return [entry["fields"]] + entry["records"]


def xlsx_failures(entry):
    book = Workbook(entry["xlsx"])
    failures = [] if book.sheet_name == entry["title"] else [f"sheet name {book.sheet_name!r}"]
    got = [[book.rows[r][c][1] for c in sorted(book.rows[r])] for r in sorted(book.rows)]
    return failures + ([] if got == table(entry) else [f"cells {got!r}"])


def csv_failures(entry):
    with open(entry["csv"], encoding="utf-8", newline="") as f:
        got = list(csv.reader(f))
    return [] if got == table(entry) else [f"rows {got!r}"]


def json_failures(entry):
    with open(entry["json"], encoding="utf-8") as f:
        got = json.load(f)
    failures = [] if got["title"] == entry["title"] else [f"title {got['title']!r}"]
    if [field["name"] for field in got["fields"]] != entry["fields"]:
        failures.append(f"field names {[field['name'] for field in got['fields']]!r}")
    if got["fields"][1]["popup"] != entry["popups"]:
        failures.append(f"popup values {got['fields'][1]['popup']!r}")
    return failures + ([] if got["records"] == entry["records"] else [f"records {got['records']!r}"])


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        entries = json.load(f)
    failures = [f"{entry['set']} {kind}: {failure}"
                for entry in entries
                for kind, check in (("xlsx", xlsx_failures), ("csv", csv_failures), ("json", json_failures))
                if kind in entry
                for failure in check(entry)]
    for failure in failures:
        print(failure)
    print(f"{len(entries)} databases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
