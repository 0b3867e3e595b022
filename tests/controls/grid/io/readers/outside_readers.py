"""Readers that owe nothing to the program: they take a file the grid (or the tree) wrote and
print its cells as JSON (a list of rows, each a list of texts), decoded by the format's own
documented conventions only. The exchange tests compare what they print with the grid.

    outside_readers.py check MODULE...              exit 3 when a module is missing
    outside_readers.py csv FILE DELIM [--java] [--cp850] [--cp1252]
    outside_readers.py tsv FILE                     the clipboard's TAB/line text
    outside_readers.py html FILE                    html5lib, as a browser reads it
    outside_readers.py xhtml FILE                   lxml's XML parser (fails on ill-formed XML)
    outside_readers.py xml FILE [--quote-empty]     lxml's XML parser, the grid's "$amp;" coding
    outside_readers.py fixed FILE WIDTH...          fields of fixed widths in characters
    outside_readers.py cells FILE                   the grid's text cell file
"""

import csv
import importlib
import io
import json
import sys

VT = "\x0b"


def read_text(path, encoding=None):
    data = open(path, "rb").read()
    if encoding:
        return data.decode(encoding)
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8")
    return data.decode("utf-8")


def read_csv(path, delimiter, java=False, encoding=None):
    text = read_text(path, encoding)
    rows = []
    for row in csv.reader(io.StringIO(text, newline=""), delimiter=delimiter, strict=True):
        if java:
            # JavaCSV: "~" stands for a line break, a field "^" for an empty text.
            row = ["" if f == "^" else f.replace("~", "\r\n") for f in row]
        else:
            # Character 11 is the older writers' mark of a line break inside a field.
            row = [f.replace(VT, "\r\n") for f in row]
        rows.append(row)
    return rows


def read_tsv(path):
    text = read_text(path)
    rows = []
    for row in csv.reader(io.StringIO(text, newline=""), dialect="excel-tab", strict=True):
        rows.append([f.replace(VT, "\r\n") for f in row])
    return rows


def cell_text(td, br_tag):
    """The text of a table cell: a line break element stands for CR, the rest is its text."""
    out = [td.text or ""]
    for child in td:
        tag = child.tag if isinstance(child.tag, str) else ""
        if tag == br_tag:
            out.append("\r")
        else:
            out.append("".join(child.itertext()))
        out.append(child.tail or "")
    text = "".join(out)
    # An empty cell is written as one no-break space.
    return "" if text == "\xa0" else text


def table_rows(root, ns):
    rows = []
    for tr in root.iter(ns + "tr"):
        rows.append([cell_text(td, ns + "br") for td in tr if td.tag == ns + "td"])
    return rows


def read_html(path):
    import html5lib

    parser = html5lib.HTMLParser(namespaceHTMLElements=False)
    # Without guessing from the content: what counts is what the file declares.
    root = parser.parse(open(path, "rb").read(), useChardet=False)
    encoding = parser.tokenizer.stream.charEncoding[0].name
    return {"encoding": encoding, "rows": table_rows(root, "")}


def read_xhtml(path):
    from lxml import etree

    root = etree.parse(path, etree.XMLParser(resolve_entities=False, no_network=True, load_dtd=False)).getroot()
    return table_rows(root, "{http://www.w3.org/1999/xhtml}")


def read_xml(path, quote_empty=False):
    from lxml import etree

    root = etree.parse(path, etree.XMLParser(resolve_entities=False, no_network=True)).getroot()
    rows = []
    for record in root:
        row = []
        for field in record:
            t = "".join(field.itertext()).replace("$amp;", "&")
            if quote_empty and t == '""':
                t = ""
            row.append(t)
        rows.append(row)
    return rows


def take(text, count):
    """The first count characters of a text and the rest."""
    return text[:count], text[count:]


def read_fixed(path, widths):
    rows = []
    lines = read_text(path).split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    for line in lines:
        row = []
        for w in widths:
            field, line = take(line, w)
            row.append(field)
        rows.append(row)
    return rows


def decode_cell(coded):
    """The text cell file's coding: 9 CR, 8 LF, 1 NUL; character 2 escapes t, b, a, e and ends
    a coded text with "." (texts without 8 or 2 are not coded)."""
    if "\x08" not in coded and "\x02" not in coded:
        return coded
    out = []
    i = 0
    plain = {"\x09": "\r", "\x08": "\n", "\x01": "\x00"}
    escaped = {"t": "\t", "b": "\x08", "a": "\x01", "e": "\x02", ".": ""}
    while i < len(coded):
        c = coded[i]
        if c == "\x02" and i + 1 < len(coded):
            nxt = coded[i + 1]
            out.append(escaped.get(nxt, "\x02" + nxt))
            i += 2
            continue
        out.append(plain.get(c, c))
        i += 1
    return "".join(out)


def read_cells(path):
    lines = read_text(path).split("\r\n")
    cols, rows = (int(n) for n in lines[0].split(","))
    grid = [["" for _ in range(cols)] for _ in range(rows)]
    for line in lines[1:]:
        if not line or line.startswith("cw"):
            continue
        x, y, coded = line.split(",", 2)
        grid[int(y)][int(x)] = decode_cell(coded)
    return grid


def main(argv):
    what = argv[1]
    if what == "check":
        for name in argv[2:]:
            try:
                importlib.import_module(name)
            except ImportError:
                print("Python module %s is missing" % name)
                return 3
        return 0
    path = argv[2]
    flags = [a for a in argv[3:] if a.startswith("--")]
    args = [a for a in argv[3:] if not a.startswith("--")]
    if what == "csv":
        encoding = "cp850" if "--cp850" in flags else "cp1252" if "--cp1252" in flags else None
        result = read_csv(path, args[0], "--java" in flags, encoding)
    elif what == "tsv":
        result = read_tsv(path)
    elif what == "html":
        result = read_html(path)
    elif what == "xhtml":
        result = read_xhtml(path)
    elif what == "xml":
        result = read_xml(path, "--quote-empty" in flags)
    elif what == "fixed":
        result = read_fixed(path, [int(w) for w in args])
    elif what == "cells":
        result = read_cells(path)
    else:
        print("unknown reader " + what, file=sys.stderr)
        return 2
    # ASCII JSON: every character as an escape, so nothing depends on the console's encoding.
    sys.stdout.write(json.dumps(result, ensure_ascii=True))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
