#!/usr/bin/env python3
"""Reads the golden exports of the lazy tree as other programs read them: the HTML with
Python's html.parser, the CSV (Windows-1252) with Python's csv. Both must give the tree's cell
texts exactly, the escaped and quoted ones included.

Usage: check_exports.py <export.html> <export.csv>"""
import csv
import io
import sys
from html.parser import HTMLParser

EXPECTED_HTML = [
    ["Name", "Value", "Note & more"],
    ["Meter 1", "12", "plain"],
    ["\xa0", 'Tariff <1> & "x"', "3;5", 'say "hi"'],
    ["Meter 2", "7", "a,b"],
]
EXPECTED_CSV = [
    ["Name", "", "Value", "Note & more"],
    ["Meter 1", "", "12", "plain"],
    ["", 'Tariff <1> & "x"', "3;5", 'say "hi"'],
    ["Meter 2", "", "7", "a,b"],
]


class Cells(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows = []
        self.cell = None
        self.caption = None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""
        elif tag == "table":
            self.caption = dict(attrs).get("caption")

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def main():
    html_path, csv_path = sys.argv[1], sys.argv[2]
    parser = Cells()
    with open(html_path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.close()
    ok = True
    if parser.rows != EXPECTED_HTML:
        print("HTML cells differ:", parser.rows)
        ok = False
    if parser.caption != 'Meters "all"':
        print("HTML caption differs:", parser.caption)
        ok = False
    with open(csv_path, encoding="cp1252", newline="") as f:
        rows = list(csv.reader(io.StringIO(f.read())))
    if rows != EXPECTED_CSV:
        print("CSV rows differ:", rows)
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
