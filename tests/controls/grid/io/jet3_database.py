#!/usr/bin/env python3
"""Writes a small database in the older Jet 3 file format (2 KB pages) that mdbtools reads:
the header page, the system catalog with one row per table, one user table with its columns,
its rows on one data page, and the usage maps that tell which page holds whose rows. Nothing on
this system writes such files, so the tests make their own.

  jet3_database.py OUT.mdb TABLE TABLE.json
  TABLE.json: {"columns": [["Name", "text"], ["Address", "long"], ...], "rows": [["Pump", 12], ...]}
  Column kinds: byte, int, long (fixed size), text (up to 255 bytes in code page 1252); a null
  value leaves the cell empty. A row must stay below 256 bytes, all rows on one page.
"""
import json
import struct
import sys

PG = 2048
T_BYTE, T_INT, T_LONG, T_TEXT, T_OLE = 2, 3, 4, 10, 11
FIXED_SIZE = {T_BYTE: 1, T_INT: 2, T_LONG: 4}

def rc4(key, data):
    S = list(range(256)); j = 0
    for i in range(256):
        j = (j + S[i] + key[i % len(key)]) & 255; S[i], S[j] = S[j], S[i]
    i = j = 0; out = bytearray()
    for b in data:
        i = (i + 1) & 255; j = (j + S[i]) & 255; S[i], S[j] = S[j], S[i]
        out.append(b ^ S[(S[i] + S[j]) & 255])
    return bytes(out)

def page0():
    p = bytearray(PG)
    p[0:4] = b'\x00\x01\x00\x00'
    p[4:20] = b'Standard Jet DB\x00'
    plain = bytearray(126)
    struct.pack_into('<H', plain, 0x3a - 0x18, 0x409)   # language
    struct.pack_into('<H', plain, 0x3c - 0x18, 1252)    # code page
    p[0x18:0x18 + 126] = rc4(struct.pack('<I', 0x6b39dac7), bytes(plain))
    return p

def layout(cols):
    """cols: [(name, type)] -> [(name, type, fixed, offset_or_varnum)]"""
    out, fixed_off, var_num = [], 0, 0
    for name, t in cols:
        if t in FIXED_SIZE:
            out.append((name, t, True, fixed_off)); fixed_off += FIXED_SIZE[t]
        else:
            out.append((name, t, False, var_num)); var_num += 1
    return out, fixed_off, var_num

def tdef(cols, nrows, usage_row):
    lay, _, nvar = layout(cols)
    p = bytearray(PG)
    p[0], p[1] = 0x02, 0x01
    body = bytearray()
    for i, (name, t, fixed, pos) in enumerate(lay):
        c = bytearray(18)
        c[0] = t
        c[1] = i
        struct.pack_into('<H', c, 3, 0 if fixed else pos)
        struct.pack_into('<H', c, 5, i)
        c[13] = (0x01 if fixed else 0) | 0x02
        struct.pack_into('<H', c, 14, pos if fixed else 0)
        struct.pack_into('<H', c, 16, FIXED_SIZE.get(t, 255 if t == T_TEXT else 0))
        body += c
    for name, *_ in lay:
        n = name.encode('cp1252'); body += bytes([len(n)]) + n
    p[43:43 + len(body)] = body
    struct.pack_into('<I', p, 8, 43 + len(body))
    struct.pack_into('<I', p, 12, nrows)
    p[20] = 0x4e
    struct.pack_into('<H', p, 21, len(cols))
    struct.pack_into('<H', p, 23, nvar)
    struct.pack_into('<H', p, 25, len(cols))
    struct.pack_into('<I', p, 35, usage_row)
    struct.pack_into('<I', p, 39, usage_row)
    return p

def row(cols, values):
    lay, fixed_len, nvar = layout(cols)
    fixed = bytearray(fixed_len)
    var_parts = [b''] * nvar
    present = 0
    for i, ((name, t, isfixed, pos), v) in enumerate(zip(lay, values)):
        if v is None:
            continue
        present |= 1 << i
        if isfixed:
            fmt = {T_BYTE: '<B', T_INT: '<h', T_LONG: '<i'}[t]
            struct.pack_into(fmt, fixed, pos, v)
        else:
            var_parts[pos] = v.encode('cp1252') if isinstance(v, str) else v
    r = bytearray([len(cols)]) + fixed
    offsets = []
    for part in var_parts:
        offsets.append(len(r)); r += part
    eod = len(r)
    tail = bytearray([eod]) + bytearray(reversed(offsets)) + bytearray([nvar])
    mask = present.to_bytes((len(cols) + 7) // 8, 'little')
    r += tail + mask
    assert len(r) < 256
    return bytes(r)

def data_page(owner, rows):
    p = bytearray(PG)
    p[0], p[1] = 0x01, 0x01
    struct.pack_into('<I', p, 4, owner)
    struct.pack_into('<H', p, 8, len(rows))
    end = PG
    for i, r in enumerate(rows):
        start = end - len(r)
        p[start:end] = r
        struct.pack_into('<H', p, 10 + 2 * i, start)
        end = start
    struct.pack_into('<H', p, 2, end - (10 + 2 * len(rows)))  # free space
    return p

def usage_map(first_page, pages):
    bits = 0
    for pg in pages:
        bits |= 1 << (pg - first_page)
    return bytes([0]) + struct.pack('<I', first_page) + bits.to_bytes(4, 'little')

SYS_COLS = [('Id', T_LONG), ('ParentId', T_LONG), ('Name', T_TEXT), ('Type', T_INT), ('Flags', T_LONG), ('LvProp', T_OLE)]

def database(table, cols, rows):
    # 0 header, 1 empty, 2 catalog tdef, 3 catalog data, 4 table tdef, 5 table data, 6 usage maps
    maps = data_page(0, [usage_map(3, [3]), usage_map(5, [5])])
    catalog = [row(SYS_COLS, [2, 0, 'MSysObjects', 1, -2147483646, None]),
               row(SYS_COLS, [4, 0, table, 1, 0, None])]
    pages = [page0(), bytearray(PG),
             tdef(SYS_COLS, len(catalog), (6 << 8) | 0), data_page(2, catalog),
             tdef(cols, len(rows), (6 << 8) | 1), data_page(4, [row(cols, r) for r in rows]),
             maps]
    return b''.join(bytes(p) for p in pages)

if __name__ == '__main__':
    kinds = {'byte': T_BYTE, 'int': T_INT, 'long': T_LONG, 'text': T_TEXT}
    content = json.loads(open(sys.argv[3], encoding='utf-8').read())
    cols = [(name, kinds[kind]) for name, kind in content['columns']]
    with open(sys.argv[1], 'wb') as out:
        out.write(database(sys.argv[2], cols, content['rows']))
