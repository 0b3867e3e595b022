"""Writes component-stream objects (the grid's cell stream and columns stream) for seed corpora
and hand-made fixtures. Only what the seeds need."""
import struct


def short(b):
    if isinstance(b, str):
        b = b.encode()
    return bytes([len(b)]) + b


def integer(v):
    if -128 <= v <= 127:
        return b"\x02" + struct.pack("<b", v)
    if -32768 <= v <= 32767:
        return b"\x03" + struct.pack("<h", v)
    return b"\x04" + struct.pack("<i", v)


def text(s):
    raw = s.encode()
    if all(c < 128 for c in raw):
        return b"\x06" + short(raw) if len(raw) < 256 else b"\x0c" + struct.pack("<I", len(raw)) + raw
    return b"\x14" + struct.pack("<I", len(raw)) + raw


def ident(s):
    return b"\x07" + short(s)


def boolean(v):
    return b"\x09" if v else b"\x08"


def strings(lines):
    return b"\x01" + b"".join(text(x) for x in lines) + b"\x00"


def binary(data):
    return b"\x0a" + struct.pack("<I", len(data)) + data


def obj(cls, props):
    out = b"TPF0" + short(cls) + short(b"")
    for name, value in props:
        out += short(name) + value
    return out + b"\x00\x00"
