#!/usr/bin/env python3
"""Outside check of the configuration images of the M-Bus models.

Lays out, by its own reading of the image formats, the bank files of a set of
small projects, has the program build and save the same projects with its
build-and-save tool, and compares every file byte for byte. A difference is
reported with the offset and the name of the field it falls in.

Covered: device types 1 and 20 with BACnet/IP (general record, M-Bus network
block, object area, the joined bank3 of type 20) and with BACnet MS/TP (the
compact image), the M-Bus bank of types 1, 20 and 21 (object area, wireless
section, wireless meter table, wireless M-Bus general record, wired section,
bank_T.bin), and the M-Bus master models 1001, 1002 and 1003 (general record,
node, variable, request and object tables, BBMD table, object texts) with the
register map of 1002 and 1003. Builds that must be refused are checked for the
refusal and for an untouched bin folder.

Python 3 standard library only.

usage: check_mbus_images.py --tool IMAGE_BUILD_TOOL --data TESTS_DATA_DIR
                            [--keep DIR] [--only NAME] [-v]
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape, quoteattr


# ---------------------------------------------------------------------------
# Numbers and texts as the project files hold them

_WHOLE = re.compile(r'^[ \t]*([+-]?)(?:(\$|0[xX]|[xX])([0-9A-Fa-f]+)|([0-9]+))$')


def whole(text, bits=32):
    """A whole number: blanks, a sign, decimal digits or hexadecimal ones after
    "$", "x" or "0x". None for any other text, or one out of range."""
    if text is None:
        return None
    m = _WHOLE.match(text)
    if not m:
        return None
    sign, _, hexdigits, decdigits = m.groups()
    value = int(hexdigits, 16) if hexdigits else int(decdigits)
    if sign == '-':
        value = -value
    if not -(1 << (bits - 1)) <= value < (1 << (bits - 1)):
        return None
    return value


def low8(text_chars):
    """Texts go into the images one byte per character, its low 8 bits."""
    return bytes(ord(c) & 0xFF for c in text_chars)


def field(text, size):
    """A text cut to a fixed field, zero bytes after it."""
    raw = low8(text[:size])
    return raw + bytes(size - len(raw))


class Refused(Exception):
    """The build must refuse the project; the text is a part of the message."""


# ---------------------------------------------------------------------------
# An image under construction, every byte labelled with the field it belongs to

class Image:
    def __init__(self, name):
        self.name = name
        self.data = bytearray()
        self.spans = []
        self.pos = 0

    def seek(self, pos):
        self.pos = pos
        return self

    def put(self, raw, label):
        end = self.pos + len(raw)
        if end > len(self.data):
            self.data.extend(bytes(end - len(self.data)))
        self.data[self.pos:end] = raw
        self.spans.append((self.pos, end, label))
        self.pos = end
        return self

    def u8(self, v, label):
        return self.put(struct.pack('<B', v & 0xFF), label)

    def u16(self, v, label):
        return self.put(struct.pack('<H', v & 0xFFFF), label)

    def u32(self, v, label):
        return self.put(struct.pack('<I', v & 0xFFFFFFFF), label)

    def be32(self, v, label):
        return self.put(struct.pack('>I', v & 0xFFFFFFFF), label)

    def zeros(self, n, label):
        return self.put(bytes(n), label)

    def fill_to(self, end, label):
        if end > self.pos:
            self.zeros(end - self.pos, label)
        return self

    def append(self, other, label):
        """Another image's bytes, its labels prefixed."""
        base = self.pos
        self.put(bytes(other.data), label)
        for s, e, lab in other.spans:
            self.spans.append((base + s, base + e, label + ': ' + lab))
        return self

    def label_at(self, offset):
        best = None
        for s, e, lab in self.spans:
            if s <= offset < e and (best is None or e - s <= best[1] - best[0]):
                best = (s, e, lab)
        return best


def diff(expected, actual, limit=16):
    """The differences between a laid-out image and the bytes of a file."""
    out = []
    if len(actual) != len(expected.data):
        out.append('%s: %d bytes written, %d expected' % (expected.name, len(actual), len(expected.data)))
    n = min(len(actual), len(expected.data))
    offset = 0
    while offset < n and len(out) < limit:
        if actual[offset] == expected.data[offset]:
            offset += 1
            continue
        span = expected.label_at(offset) or (offset, offset + 1, '?')
        e = min(span[1], n)
        # Long fields (pools, fills) are shown from just before the first difference.
        s = span[0] if span[1] - span[0] <= 24 else max(span[0], offset - 4)
        out.append('%s offset %d (0x%X), field %s [%d..%d): wrote %s, expected %s (from offset %d)' % (
            expected.name, offset, offset, span[2], span[0], span[1],
            actual[s:e][:24].hex(' ').upper(), bytes(expected.data[s:e][:24]).hex(' ').upper(), s))
        offset = max(e, offset + 1)
    return out


# ---------------------------------------------------------------------------
# ParGen.xml

class ParGen:
    def __init__(self, pairs):
        self.present = pairs is not None
        self.keys = {}
        for k, v in pairs or []:
            self.keys.setdefault(k, v)

    def text(self, key):
        return self.keys.get(key)

    def num(self, key, default):
        v = whole(self.keys.get(key))
        return default if v is None else v

    def flag(self, key):
        return self.keys.get(key) == '1'

    def xml(self):
        return '<Par_Gen>' + ''.join('<%s>%s</%s>' % (k, escape(v), k) for k, v in self.pairs()) + '</Par_Gen>'

    def pairs(self):
        return list(self.keys.items())


def address_keys(pg, prefix, enable, ip_default):
    ip = bytes(pg.num('%sIP%d' % (prefix, i + 1), ip_default[i]) & 0xFF for i in range(4))
    sm = bytes(pg.num('%sSM%d' % (prefix, i + 1), d) & 0xFF for i, d in enumerate((255, 255, 255, 0)))
    gat = bytes(pg.num('%sGAT%d' % (prefix, i + 1), d) & 0xFF for i, d in enumerate((192, 168, 0, 1)))
    if not pg.flag(enable):
        gat = b'\xff\xff\xff\xff'
    return ip, sm, gat


METER_BAUD = (300, 600, 1200, 2400, 4800, 9600, 19200, 38400)


def meter_baud(code):
    return METER_BAUD[code] if 0 <= code < 8 else 2400


def meter_params(pg):
    """The meter parameter block's keys: no default for the first three."""
    vals = []
    for key in ('Meter_Baud', 'Meter_Par', 'Meter_Req_Delay'):
        v = whole(pg.text(key))
        if v is None:
            raise Refused(key)
        vals.append(v)
    return vals[0], vals[1], vals[2], pg.num('Meter_NS_Error_Code', 255)


# ---------------------------------------------------------------------------
# The builder's model of M_Bus.xml

class Node:
    pass


class Var:
    pass


def attr_num(a, name, default, bits=32):
    v = whole(a.get(name), bits)
    return default if v is None else v


def read_variable(a):
    v = Var()
    v.type = attr_num(a, 'Type', 0) & 0xFF
    ff = attr_num(a, 'Fun_Field', 0) & 0xFF
    v.function = {1: 2, 2: 1}.get(ff, ff)
    v.dim = attr_num(a, 'Dim', 0) & 0xFF
    v.unita = attr_num(a, 'Unit', 0) & 0xFF
    v.storage = attr_num(a, 'StoNumber', 0, 64) & 0xFFFFFFFF
    v.tarif = attr_num(a, 'Tariff', 0, 64) & 0xFFFFFFFF
    v.vife = attr_num(a, 'VIFE', 0) & 0xFF
    v.bcd = attr_num(a, 'BCDtoINT', 0) & 0xFF
    text = a.get('VIF_ASCII', '')
    if v.type == 21:
        v.vif, v.len_vif = text, len(text) & 0xFF
    else:
        v.vif, v.len_vif = '', 0
    v.length = attr_num(a, 'Length', 0) & 0xFF
    v.position = attr_num(a, 'Position', 1) & 0xFF
    if v.dim != 7:
        v.length = 0
    v.eng = attr_num(a, 'BACnet_EngUnits', 95) & 0xFFFF
    v.dtype = attr_num(a, 'BACnet_DataType', 0) & 0xFFFF
    v.post = attr_num(a, 'Post_Operation', 0) & 0xFF
    v.desc = a.get('Desc', '')
    return v


def read_network(xml_text, mode, wired_allowed=True):
    """mode: 'ip' (BACnet/IP images), 'mstp' (MS/TP image) or 'bank' (the
    M-Bus bank, wired and wireless). Returns wired nodes, wireless nodes and
    the wireless meter entries."""
    wired, wireless, meters = [], [], []
    if xml_text is None:
        return wired, wireless, meters
    root = ET.fromstring(xml_text)
    for e in root:
        a = e.attrib
        if attr_num(a, 'Enable_Node', 1) != 1:
            continue
        is_wired = mode != 'bank' or attr_num(a, 'MBus_Type', 1) == 1
        if is_wired and not wired_allowed:
            continue
        taken = [x for x in e if x.get('Enable') == '1']
        if not taken:
            continue
        n = Node()
        meter = None
        if is_wired:
            n.id_type = attr_num(a, 'Node_ID_Type', 0) & 0xFF
            n.id = attr_num(a, 'ID_Secondary' if n.id_type != 0 else 'ID_Primary', 0, 64) & 0xFFFFFFFF
            n.snd = attr_num(a, 'Send_SND_NKE', 0) & 0xFF
            n.reset = attr_num(a, 'Reset_App', 0) & 0xFF
            cut = whole(a.get('Cut_After'))
            n.cut = 250 if cut is None else (cut + 1) & 0xFF
        else:
            meter = {
                'manid': attr_num(a, 'wMBus_ManID', 0, 64) & 0xFFFF,
                'add': attr_num(a, 'wMBus_Add', 0, 64) & 0xFFFFFFFF,
                'ver': attr_num(a, 'wMBus_Ver', 0, 64) & 0xFF,
                'devtype': attr_num(a, 'wMBus_DevType', 0, 64) & 0xFF,
                'en_key': attr_num(a, 'wMBus_En_Key', 0, 64) & 0xFF,
                'key': [0] * 16,
            }
            if meter['en_key'] == 1:
                meter['key'] = [attr_num(a, 'wMBus_Key_%d' % (k + 1), 0, 64) & 0xFF for k in range(16)]
            n.id_type, n.id, n.snd, n.reset, n.cut = 0, meter['add'], 0, 0, 0
        n.node_state = attr_num(a, 'Node_State', 0) & 0xFF
        n.ident = attr_num(a, 'Ident_Num', 0) & 0xFF
        n.bcd = attr_num(a, 'BCDtoINT_IN', 0) & 0xFF
        n.swap = attr_num(a, 'Swap_IN', 0) & 0xFF
        n.var_type = attr_num(a, 'Var_List_Type', 0) & 0xFF
        if mode != 'mstp' and n.node_state == 1 and attr_num(a, 'NS_VarType', 0) == 1:
            n.node_state = 129
        n.desc = a.get('Descrizione', '')
        n.vars = [read_variable(x.attrib) for x in taken]
        if is_wired:
            wired.append(n)
        else:
            wireless.append(n)
            meters.append(meter)
    return wired, wireless, meters


def data_size(n, v, last_vife):
    if v.dim == 7:
        return v.length
    if n.var_type != 0:
        return {0: 4, 1: 8, 2: 4}.get(v.dtype, 0)
    t = v.type
    if t <= 18:
        return 4
    if t == 19:
        e = v.vife
        if e == 0:
            return 0
        if e == 50:
            return 8
        return 4 if e <= last_vife else 0
    if t == 20:
        return 8
    if t <= 25:
        return 4
    return 0


def assign_data(nodes, mode, d):
    last = 146 if mode == 'bank' else 125
    published = (lambda x: x == 1) if mode == 'mstp' else (lambda x: x != 0)
    for n in nodes:
        n.add_ns = d
        d += 4 if published(n.node_state) else 0
        n.add_in = d
        d += 4 if published(n.ident) else 0
        n.add_start = d
        for v in n.vars:
            v.data = d
            d += data_size(n, v, last)
    return d


DIM_CODE = (1, 2, 4, 7, 3, 6, 5, 13)


def tables_size(nodes):
    return sum(23 + sum(24 + v.len_vif for v in n.vars) for n in nodes)


def put_tables(img, nodes, node_table, what):
    """Node records, variable records and VIF texts, addressed from
    `node_table`."""
    nvars = sum(len(n.vars) for n in nodes)
    var_addr = node_table + 23 * len(nodes)
    text_addr = var_addr + 24 * nvars
    for n in nodes:
        n.add = var_addr
        var_addr += 24 * len(n.vars)
        for v in n.vars:
            v.addr_vif = text_addr
            text_addr += v.len_vif
    for i, n in enumerate(nodes):
        p = '%s node %d ' % (what, i + 1)
        img.u8(n.id_type, p + 'ID_Type').be32(n.id, p + 'ID (big-endian)').u16(len(n.vars), p + 'variables')
        img.u32(n.add, p + 'Add').u8(n.snd, p + 'SND_NKE').u8(n.reset, p + 'Reset_App')
        img.u8(n.node_state, p + 'Node_State').u16(n.add_ns, p + 'Add_NS').u8(n.ident, p + 'Ident_Num')
        img.u16(n.add_in, p + 'Add_IN').u8(n.bcd, p + 'BCDtoINT_IN').u8(n.swap, p + 'Swap_IN')
        img.u8(n.var_type, p + 'Var_Type').u8(n.cut, p + 'Cut_After')
    k = 0
    for n in nodes:
        for v in n.vars:
            k += 1
            p = '%s variable %d ' % (what, k)
            img.u8(v.type, p + 'Type_Of_Data').u8(v.function, p + 'Function_Field')
            img.u8(DIM_CODE[v.dim] if v.dim < 8 else 2, p + 'dimension code').u16(v.data, p + 'data address')
            img.u8(v.unita, p + 'Unita').u32(v.storage, p + 'Storage_Num').u32(v.tarif, p + 'Tarif')
            img.u8(v.vife, p + 'VIFE').u8(v.bcd, p + 'BCDtoINT').u8(v.length, p + 'Length')
            img.u8(v.len_vif, p + 'Len_VIF_ASCII').u32(v.addr_vif, p + 'Address_VIF_ASCII')
            img.u8(v.position, p + 'Position').u8(v.post, p + 'Post_Ope')
    for n in nodes:
        for v in n.vars:
            img.put(low8(v.vif[:v.len_vif][::-1]), '%s VIF text "%s"' % (what, v.vif))


def put_meter_block(img, params, nodes):
    baud, par, delay, ns_error = params
    img.u8(baud, 'meter block: M-Bus baud-rate index').u8(par, 'meter block: parity index')
    img.u16(delay, 'meter block: request delay').u8(ns_error, 'meter block: node-state error code')
    img.u8(nodes, 'meter block: number of nodes')


# ---------------------------------------------------------------------------
# BACnet objects of an M-Bus network

def kind_of(n, v, bank):
    if v.dim == 7:
        return 'S'
    if n.var_type != 0:
        return {0: 'AI', 1: 'DT', 2: 'PI'}.get(v.dtype)
    t = v.type
    if t <= 18:
        return 'AI'
    if t == 19:
        e = v.vife
        if e in (38, 39) or 51 <= e <= 69 or (bank and (e == 131 or 137 <= e <= 146)):
            return 'AI'
        if e == 50:
            return 'DT'
        if 1 <= e <= 37 or 40 <= e <= 49 or 70 <= e <= 125 or (bank and (126 <= e <= 130 or 132 <= e <= 136)):
            return 'PI'
        return None
    if t == 20:
        return 'DT'
    if t <= 25:
        return 'PI'
    return None


def plan_objects(lists, bank):
    objs, counts = [], {'AI': 0, 'DT': 0, 'PI': 0, 'S': 0, 'CMD': 0}

    def walk(kind, node_value):
        for nodes in lists:
            for n in nodes:
                if node_value and n.node_state == node_value:
                    objs.append((n.add_ns, 95, 4, 0, 'NS_' + n.desc))
                    counts[kind] += 1
                if node_value and n.ident == node_value:
                    objs.append((n.add_in, 95, 4, 0, 'IN_' + n.desc))
                    counts[kind] += 1
                for v in n.vars:
                    if kind_of(n, v, bank) == kind:
                        size = v.length if kind == 'S' else 8 if kind == 'DT' else 4
                        objs.append((v.data, v.eng, size, 0, v.desc))
                        counts[kind] += 1

    walk('AI', 129)
    walk('DT', None)
    walk('PI', 1)
    walk('S', None)
    return objs, counts


def make_objects(objs, flag, pool_base, capacity):
    limit = 32 if flag else 16
    if len(objs) > capacity:
        raise Refused('BACnet object')
    entries, pool, p = [], bytearray(34816), 1
    for pos, unit, size, flags, name in objs:
        name = name[:limit]
        if not name:
            entries.append((pos, unit, size, flags, pool_base, name))
            continue
        if p + len(name) + 1 > 34816:
            raise Refused('name pool')
        entries.append((pos, unit, size, flags, pool_base + p, name))
        pool[p:p + len(name)] = low8(name)
        p += len(name) + 1
    return entries, bytes(pool)


def put_entries(img, entries, count, what):
    for i in range(count):
        p = '%s entry %d ' % (what, i)
        if i < len(entries):
            pos, unit, size, flags, addr, name = entries[i]
            p += '(%s) ' % name
        else:
            pos = unit = size = flags = addr = 0
        img.u32(pos, p + 'value address').u16(unit, p + 'unit').u8(size, p + 'size').u8(flags, p + 'flags')
        img.u32(addr, p + 'name address').u16(0, p + 'row').u8(0, p + 'bit').u8(0, p + 'reserved')


PLAIN_COMMANDS = ('AppReset_SUBCODE', 'Address', 'Execute_Command', 'Reset_Converter')


def command_objects(names):
    return [(0, 95, 4, 1, s) for s in names]


# ---------------------------------------------------------------------------
# Device types 1 and 20, BACnet/IP

def std_record(pg, counts):
    """The general parameter record, standard layout, as the M-Bus converters
    fill it."""
    r = Image('record')
    r.zeros(2044, 'reserved / filler')
    defaults = [(0, 4, 250000, 'CAN_Bit_Rate'), (12, 4, 9600, 'Port1_Baud_Rate'), (16, 2, 8, 'Port1_Data_Bits'),
                (24, 4, 0, 'Modbus_Slave_ID'), (52, 2, 10000, 'Config_Port'), (64, 2, 8, 'Port2_Data_Bits'),
                (333, 1, 1, 'BACnet_Ser_Max_Master'), (334, 1, 1, 'BACnet_Ser_Max_Info_Frames'),
                (336, 2, 1, 'BACnet_Ser_Network'), (616, 4, 0xFFFFFFFF, 'Slaves_Present_Position'),
                (54, 2, 10001, 'Modbus_TCP_Port'), (56, 2, 10001, 'Modbus_TCP_Port_2'), (58, 2, 32, 'Option_Word'),
                (96, 1, 0x20, 'Protocol_Code')]
    for off, width, value, label in defaults:
        r.seek(off).put(value.to_bytes(width, 'little'), label)
    if pg.present:
        ip, sm, gat = address_keys(pg, 'BACnet_', 'BACnet_EN_GAT', (192, 168, 0, 5))
        r.seek(40).put(ip, 'BACnet_IP').put(sm, 'BACnet_SM').put(gat, 'BACnet_GAT')
        r.seek(60).u32(meter_baud(pg.num('Meter_Baud', 0)), 'Port2_Baud_Rate (M-Bus)')
        par = pg.num('Meter_Par', 2)
        r.seek(66).u16(0 if par == 0 else 3 if par == 1 else 2, 'Port2_Parity (M-Bus)')
        name = pg.text('BACnet_NAME_STA')
        r.seek(80).put(field('devicename1' if name is None else name, 16), 'BACnet_Device_Name')
        r.seek(104).u16(pg.num('BACnet_PORT', 47808), 'BACnet_Port')
        r.seek(168).u32(pg.num('BACnet_DEV_IDE', 1), 'BACnet_Device_Instance')
    for off, k in ((132, 'AI'), (152, 'DT'), (156, 'PI'), (160, 'S'), (296, 'CMD')):
        r.seek(off).u32(counts[k], 'Object_Count (%s)' % k)
    r.seek(2044).u32(sum(r.data[:2044]), 'checksum')
    return r


def bacnet_ip_images(pg, net, type_, flag):
    wired, _, _ = read_network(net, 'ip')
    assign_data(wired, 'ip', 0)
    params = meter_params(pg) if pg.present else None
    objs, counts = plan_objects([wired], False)
    objs += command_objects(PLAIN_COMMANDS)
    counts['CMD'] = 4
    n_entries = 1024 if flag else 2048
    entries, pool = make_objects(objs, flag, 0x64000 if flag else 0x68000, n_entries)

    bank1 = Image('bank1.bin')
    bank1.append(std_record(pg, counts), 'general record')
    end = 2057 + tables_size(wired)
    bank1.u8(0x20, 'network block: 0x20').u32(2057, 'network block: node table offset')
    bank1.u32(end, 'network block: meter block offset T')
    put_tables(bank1, wired, 2057, 'bank1')
    if params:
        put_meter_block(bank1, params, len(wired))
    if type_ == 20 and len(bank1.data) > 63488:
        raise Refused('63488')

    bank2 = Image('bank2.bin')
    put_entries(bank2, entries, n_entries, 'object')
    bank2.put(pool, 'mnemonic pool')
    joined = None
    if type_ == 20:
        joined = Image('bank3.bin')
        joined.append(bank1, 'bank1').fill_to(63488, 'zero fill before bank2').append(bank2, 'bank2')
    return bank1, bank2, joined


# ---------------------------------------------------------------------------
# Device types 1 and 20, BACnet MS/TP

def mstp_image(pg, net):
    wired, _, _ = read_network(net, 'mstp')
    assign_data(wired, 'mstp', 0)
    flag = 1 if pg.flag('BACnet_Desc_Chars_Limit') else 0
    params = meter_params(pg)
    end = 12 + tables_size(wired)
    a = (end + 3) // 4 * 4
    objs, counts = plan_objects([wired], False)
    n = len(objs)
    # The name addresses count at most 1024 objects with the description limit.
    if flag and n > 1024:
        raise Refused('object')
    capped = min(n, 1024 if flag else 2048)
    # The command objects are made as everywhere, their names go to the pool, but their
    # entries are not written: only the first n are.
    objs += command_objects(PLAIN_COMMANDS)
    entries, pool = make_objects(objs, flag, a + 0x124000 + 16 * capped, 2048)
    p = a + 16 * n + 34816

    img = Image('bank1.bin')
    img.u32(12, 'node table offset').u32(a, 'object area offset A').u32(p, 'parameter block offset P')
    put_tables(img, wired, 12, 'bank1')
    img.fill_to(a, 'zero fill to a multiple of 4')
    put_entries(img, entries, n, 'object')
    img.put(pool, 'mnemonic pool')
    bt = pg.num('BACnet_Type', 0)
    img.u8(1 if bt == 2 else 0, 'MS/TP block: BACnet type code')
    img.u8(pg.num('BACnet_Ser_Baudrate', 3), 'MS/TP block: baud-rate index')
    img.u8(pg.num('BACnet_Ser_Parity', 0), 'MS/TP block: parity index')
    img.u8(pg.num('BACnet_Ser_ID', 0), 'MS/TP block: MAC address')
    img.u8(params[0], 'MS/TP block: M-Bus baud-rate index').u8(params[1], 'MS/TP block: M-Bus parity index')
    img.u16(params[2], 'MS/TP block: request delay').u8(len(wired), 'MS/TP block: nodes')
    img.u8(params[3], 'MS/TP block: node-state error code').u32(counts['AI'], 'MS/TP block: Analog Input count')
    img.zeros(16, 'MS/TP block: zero').u32(counts['DT'], 'MS/TP block: DateTime count')
    img.u32(counts['PI'], 'MS/TP block: Positive Integer count').u32(counts['S'], 'MS/TP block: String count')
    name = pg.text('BACnet_Ser_NAME_STA')
    name = 'devicename1' if name is None else name
    img.put(field(name, 16) if len(name) <= 16 else bytes(16), 'MS/TP block: device name')
    img.u32(pg.num('BACnet_Ser_ID', 1), 'MS/TP block: MS/TP address (32-bit)')
    img.u32(n, 'MS/TP block: objects n')
    return img


# ---------------------------------------------------------------------------
# The M-Bus bank (device type 21's bank1, bank3 of device types 1 and 20)

def wmbus_record(pg, type_, meter_count, counts):
    byte59 = 0x20 if type_ == 1 else 0
    command_instance = 1
    mstp_baud, mstp_par = 9600, 0
    ip, sm, gat = bytes((192, 168, 2, 205)), bytes((255, 255, 255, 0)), b'\xff\xff\xff\xff'
    bacnet_port, name, dev_inst = 0, bytes(16), 0
    port_baud, port_par = [0, 0, 0, 2400, 0, 0], [0] * 6
    port_stop, port_data = [0, 0, 0, 1, 0, 0], [8] * 8
    mode, channel, r584 = 0, 0, (0, 0, 0)
    ser_inst = mac = max_master = max_info = network = c_field = 0
    if pg.present:
        bt = pg.num('BACnet_Type', 0)
        ip, sm, gat = address_keys(pg, 'BACnet_', 'BACnet_EN_GAT', (192, 168, 0, 5))
        if bt == 0:
            bacnet_port = pg.num('BACnet_PORT', 47808)
            text = pg.text('BACnet_NAME_STA')
            name = field('devicename1' if text is None else text, 16)
            dev_inst = command_instance = pg.num('BACnet_DEV_IDE', 1)
        elif bt in (1, 2):
            code = pg.num('BACnet_Ser_Baudrate', 0)
            if type_ == 1:
                table = (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 76800)
            else:
                table = (9600, 19200, 38400, 57600, 76800, 115200)
            mstp_baud = table[code] if 0 <= code < len(table) else 9600
            port_baud[0] = mstp_baud
            mstp_par = pg.num('BACnet_Ser_Parity', 0)
            port_par[0], port_stop[0], port_data[0] = mstp_par & 0xFF, 0, 8
            mac = pg.num('BACnet_Ser_ID', 0)
            max_master = pg.num('BACnet_Ser_Max_Master', 1)
            max_info = pg.num('BACnet_Ser_Max_Info_Frames', 1)
            ser_inst = command_instance = pg.num('BACnet_Ser_DEV_IDE', 0)
            network = pg.num('BACnet_Ser_Network', 1)
            text = pg.text('BACnet_Ser_NAME_STA')
            name = field('devicename1' if text is None else text, 16)
            if type_ in (1, 20):
                ip, sm, gat = address_keys(pg, 'Eth2_', 'Eth2_EN_GAT', (192, 168, 0, 5))
        port_baud[3] = meter_baud(pg.num('Meter_Baud', 0))
        port_par[3] = pg.num('Meter_Par', 2) & 0xFF
        port_stop[3], port_data[3] = 0, 8
        c_field = 0x80 if pg.flag('Enable_Use_Fix_C_Field') else 0
        fix = pg.text('Use_Fix_C_Field_Value')
        c_field += 0x5B if fix is None or fix == '0' else 0x7B
        if type_ == 21:
            code = pg.num('wMBus_Mode', 0)
            mode = (1, 5, 15, 17, 11)[code] if 0 <= code < 5 else 1
            channel = pg.num('wMBus_Radio_Channel', 0)
            byte59 = 0x20
            port_baud[2], port_par[2], port_stop[2], port_data[2] = 19200, 0, 1, 8
            r584 = (3, 5, 5)

    r = Image('wireless M-Bus record')
    r.u32(125000, 'bit rate (0)').u32(125000, 'bit rate (4)').u32(mstp_baud, 'MSTP_Baud_Rate')
    r.u32(mstp_par, 'MSTP_Parity').zeros(24, 'zero 16..39')
    r.put(ip, 'Gateway_IP').put(sm, 'Gateway_SM').put(gat, 'Gateway_GAT')
    r.u16(10000, 'Config_Port').u16(10001, 'port 54').u16(10001, 'port 56').u8(10, 'value 10 (58)')
    r.u8(byte59, 'byte 59').u32(9600, 'baud rate (60)').u32(0, 'zero 64').u32(0, 'zero 68').zeros(4, 'zero 72')
    r.u16(bacnet_port, 'BACnet_Port').zeros(2, 'zero 78').u32(0, 'zero 80').zeros(256, 'zero 84..339')
    r.u32(0, 'zero 340').put(name, 'BACnet_Device_Name').zeros(136, 'zero 360..495')
    for i, v in enumerate(port_baud):
        r.u32(v, 'Port_Baud_Rate[%d]' % i)
    for label, values in (('Port_Parity', port_par), ('Port_Stop_Bits', port_stop), ('Port_Data_Bits', port_data)):
        for i, v in enumerate(values):
            r.u8(v, '%s[%d]' % (label, i))
    r.u32(0, 'zero 540').u32(0, 'zero 544').zeros(11, 'zero 548..558')
    for i in range(4):
        r.u8(1, 'value 1 (%d)' % (559 + i))
    r.u8(0, 'zero 563').u8(meter_count, 'wMBus_Meter_Count').zeros(3, 'zero 565..567')
    r.u8(mode, 'wMBus_Mode_Code').u8(0, 'zero 569').u8(0xBF, 'value 0xBF (570)').zeros(11, 'zero 571..581')
    r.u8(channel, 'wMBus_Radio_Channel').u8(0, 'zero 583')
    for i, v in enumerate(r584):
        r.u8(v, 'byte %d' % (584 + i))
    r.zeros(3, 'zero 587..589').u8(1, 'value 1 (590)').zeros(5, 'zero 591..595')
    r.u32(0x67C00, 'value 0x67C00 (596)').zeros(20, 'zero 600..619').zeros(16, 'zero 620..635')
    r.u32(dev_inst, 'BACnet_Device_Instance')
    for k in range(18):
        key = {0: 'AI', 5: 'DT', 6: 'PI', 7: 'S', 11: 'CMD'}.get(k)
        r.u32(counts[key] if key else 0, 'Object_Count[%d]' % k)
    r.u32(ser_inst, 'BACnet_Ser_Device_Instance').u8(mac, 'BACnet_Ser_MAC').u8(max_master, 'BACnet_Ser_Max_Master')
    r.u8(max_info, 'BACnet_Ser_Max_Info_Frames').u8(0, 'zero 719').u16(network, 'BACnet_Ser_Network')
    r.u16(0, 'zero 722').u32(0, 'zero 724').u32(c_field, 'C_Field_Word').zeros(8, 'zero 732..739')
    r.zeros(4, 'zero 740..743').u32(0, 'zero 744').u32(0, 'zero 748')
    assert r.pos == 752
    r.zeros(2044 - 752, 'zero filler 752..2043')
    r.u32(sum(r.data[:2044]), 'checksum')
    return r, command_instance


def mbus_bank(pg, net, type_):
    flag = 1 if pg.flag('BACnet_Desc_Chars_Limit') else 0
    wired_allowed = type_ != 21 or (pg.present and pg.num('Sel_Dev_MBus_Present', 0) == 1)
    wired, wireless, meters = read_network(net, 'bank', wired_allowed)
    if len(meters) > 32:
        raise Refused('wireless meters')
    params = meter_params(pg) if pg.present else None
    d = assign_data(wired, 'bank', 0)
    assign_data(wireless, 'bank', d)
    if tables_size(wireless) > 31744:
        raise Refused('wM-Bus')
    if 13 + tables_size(wired) + (6 if params else 0) > 63488:
        raise Refused('M-Bus')

    objs, counts = plan_objects([wired, wireless], True)
    _, command_instance = wmbus_record(pg, type_, len(meters), counts)
    n = str(command_instance)
    if flag:
        names = ['Device' + n + s for s in ('_AppReset_SUBCODE', '_Address', '_Execute_Command', '_Reset_Converter')]
    else:
        names = ['Dev' + n + s for s in ('_ApReS', '_Addr', '_ExCom', '_ResCo')]
    objs += command_objects(names)
    counts['CMD'] = 4
    n_entries = 1024 if flag else 2048
    entries, pool = make_objects(objs, flag, 325632 + (0x4000 if flag else 0x8000), n_entries)
    record, _ = wmbus_record(pg, type_, len(meters), counts)

    img = Image('M-Bus bank')
    put_entries(img, entries, n_entries, 'object')
    img.put(pool, 'mnemonic pool').fill_to(67584, 'zero fill of the object area')
    section = Image('wireless section')
    put_tables(section, wireless, 0, 'wireless')
    img.append(section, 'wireless section').fill_to(99328, 'zero fill of the wireless section')
    for i in range(32):
        m = meters[i] if i < len(meters) else {'manid': 0, 'add': 0, 'ver': 0, 'devtype': 0, 'en_key': 0,
                                               'key': [0] * 16}
        p = 'wireless meter %d ' % i
        img.u16(m['manid'], p + 'manufacturer ID').u32(m['add'], p + 'address').u8(m['ver'], p + 'version')
        img.u8(m['devtype'], p + 'device type').put(bytes(m['key']), p + 'key').u8(m['en_key'], p + 'key flag')
        img.zeros(7, p + 'reserved')
    img.append(record, 'wireless M-Bus record')
    assert img.pos == 102400
    end = 13 + tables_size(wired)
    img.u8(0x20, 'wired section: 0x20').u32(34829, 'wired section: node table address')
    img.u32(34816 + end, 'wired section: meter block address').u32(0, 'wired section: wireless node table')
    put_tables(img, wired, 34829, 'wired')
    if params:
        put_meter_block(img, params, len(wired))
    return img


# ---------------------------------------------------------------------------
# The M-Bus master models 1001, 1002 and 1003

COUNTED = (0, 1, 3, 4, 46, 44, 48, 40, 45, 13, 14, 19, 2, 5, 23)


def ip_text(text):
    """Four bytes of a dotted address, or None when the text is empty or a part
    is not a decimal number 0..255."""
    if not text:
        return None
    parts = text.split('.', 3)
    parts += [''] * (4 - len(parts))
    out = []
    for p in parts:
        if not re.fullmatch(r'[0-9]+', p) or int(p) > 255:
            return None
        out.append(int(p))
    return out


def master_record(pg, type_, counts, table_t, after, nodes):
    ip, sm, gat = bytes((192, 168, 2, 205)), bytes((255, 255, 255, 0)), b'\xff\xff\xff\xff'
    port54 = port56 = 10001
    baud, parity, name, bacnet_port, nb_out, inst = 2400, 2, bytes(16), 47808, 0, 0
    delay, wait, idle, flags = 60, 0, 0, 0
    if pg.present:
        if type_ == 1002:
            ip, sm, gat = address_keys(pg, 'PROFINET_', 'PROFINET_EN_GAT', (192, 168, 0, 10))
            text = pg.text('PROFINET_NAME_STA')
            name = field('devicename1' if text is None else text, 16)
            nb_out = pg.num('PROFINET_NB_OUT', 1439)
        elif type_ == 1003:
            ip, sm, gat = address_keys(pg, 'Modbus_TCP_Slave_', 'Modbus_TCP_Slave_EN_GAT', (192, 168, 0, 10))
            port54 = port56 = pg.num('ModbusTCPS_PORT', 502)
        else:
            ip, sm, gat = address_keys(pg, 'BACnet_', 'BACnet_EN_GAT', (192, 168, 0, 5))
            text = pg.text('BACnet_NAME_STA')
            name = field('devicename1' if text is None else text, 16)
            bacnet_port = pg.num('BACnet_PORT', 47808)
            inst = pg.num('BACnet_DEV_IDE', 1)
            flags = (1 if pg.flag('BACnet_EN_BBMD') else 0) | (2 if pg.flag('BACnet_EN_FDR') else 0)
        baud = meter_baud(pg.num('Meter_Baud', 0))
        par = pg.num('Meter_Par', 2)
        parity = 0 if par == 0 else 3 if par == 1 else 2
        delay = pg.num('Meter_Req_Delay', 60)
        wait = pg.num('Wait_Answer', 0) if pg.flag('Enable_Wait_Answer') else 0
        idle = pg.num('Idle_Time', 0) if pg.flag('Enable_Idle_Time') else 0
    r = Image('master record')
    r.zeros(40, 'zero 0..39').put(ip, 'IP address').put(sm, 'subnet mask').put(gat, 'gateway')
    r.u16(10000, 'configuration port').u16(port54, 'port 54').u16(port56, 'port 56').u16(32, 'value 32 (58)')
    r.u32(baud, 'M-Bus baud rate').u16(8, 'M-Bus data bits').u16(parity, 'M-Bus parity').zeros(12, 'zero 68..79')
    r.put(name, 'station name').u8(0x20, 'protocol code').zeros(7, 'zero 97..103')
    r.u16(bacnet_port, 'BACnet UDP port').u16(0, 'zero 106').zeros(8, 'zero 108..115')
    r.u32(nb_out, 'PROFINET output bytes').u32(nb_out, 'PROFINET output bytes (copy)').zeros(8, 'zero 124..131')
    for t in COUNTED:
        r.u32(counts.get(t, 0), 'object count, type %d' % t)
    r.u32(inst, 'BACnet device instance').u32(0, 'zero 196').zeros(32, 'zero 200..231').u32(0, 'zero 232')
    r.u32(0, 'zero 236').zeros(4, 'zero 240').u32(0, 'zero 244').u32(0x51000, 'node table address')
    r.u32(table_t, 'object table address').u32(delay, 'request delay').u32(5, 'value 5 (260)')
    r.u32(nodes, 'number of nodes').u32(wait, 'wait-answer time').u32(idle, 'idle time')
    r.u32(flags, 'BACnet service flags').u32(after, 'address after the object table')
    assert r.pos == 284
    r.zeros(1760, 'zero 284..2043').u32(sum(r.data[:2044]), 'checksum')
    return r, inst


def child_text(e, name):
    c = e.find(name)
    if c is None:
        raise Refused(name)
    return c.text or ''


def child_num(e, name, default):
    v = whole(child_text(e, name))
    return default if v is None else v


def find_template(folder, name):
    if not name or name in ('.', '..') or '/' in name or '\\' in name:
        return None
    exact = os.path.join(folder, name)
    if os.path.isfile(exact):
        return exact
    for f in sorted(os.listdir(folder)):
        if f.lower() == name.lower() and os.path.isfile(os.path.join(folder, f)):
            return os.path.join(folder, f)
    return None


def pad(text, width):
    return '0' * (width - len(text)) + text if len(text) < width else text


def master_images(pg, type_, project):
    _, inst = master_record(pg, type_, {}, 0, 0, 0)
    counters = {t: 0 for t in COUNTED}

    def count(t):
        if t in counters:
            counters[t] += 1

    objects = [dict(frame=0, pos=0, pos_array=0, units=95, dim=1, option=3, type=5,
                    name='Device_%d_OSL_Reset_Converter' % inst, desc='OSL_Reset_Converter')]
    count(5)
    position = 0
    nodes, templates = [], []
    dev_path = os.path.join(project, 'M_Bus_Custom_QV.xml')
    tdir = os.path.join(project, 'TEMPLATE')
    if os.path.isfile(dev_path):
        root = ET.parse(dev_path).getroot()
        for dev in root.find('List_Devices').findall('Device'):
            tname = child_text(dev, 'Template')
            path = find_template(tdir, tname)
            if path is None:
                continue
            tpl = ET.parse(path).getroot()
            kind = whole(tpl.find('Device_Type').find('Type').text or '')
            node = dict(dev_type=(kind or 0) & 0xFFFF, id_type=child_num(dev, 'ID_Type', 0) & 0xFF,
                        id=child_num(dev, 'ID_MBus', 0) & 0xFFFFFFFF, ns=child_num(dev, 'Node_State', 0),
                        ide=child_num(dev, 'Identification_Number', 0), add_ns=0, add_in=0, reads=[], writes=[])
            msb = pad(child_text(dev, 'MSB'), 2) if len(child_text(dev, 'MSB')) == 1 else child_text(dev, 'MSB')
            sst = pad(child_text(dev, 'SST'), 2) if len(child_text(dev, 'SST')) == 1 else child_text(dev, 'SST')
            third = child_text(dev, 'Third_Field')
            third = pad(third, 3) if len(third) in (1, 2) else third
            enables = [child_text(v, 'Enable') for v in dev.find('List_Vars').findall('Var')]

            def make_object(var, frame):
                nonlocal position
                t = child_num(var, 'ObjectType', 0)
                o = dict(frame=frame, pos=child_num(var, 'PositionInFrame', 0) & 0xFF,
                         units=child_num(var, 'Units', 95) & 0xFFFF, type=t, pos_array=position,
                         dim=1 if t in (3, 4, 5) else 4, option=child_num(var, 'Options', 0) & 0xFF,
                         name=child_text(var, 'ON_Split1') + msb + child_text(var, 'ON_Split2') + sst
                         + child_text(var, 'ON_Split3') + third + child_text(var, 'ON_Split4'),
                         desc=child_text(var, 'Description'))
                position += o['dim']
                return o

            c, first = 0, True
            for var in tpl.find('List_Variables').findall('Var'):
                if child_text(var, 'FrameNumber') != '0':
                    if c >= len(enables):
                        raise Refused('fewer variables')
                    enabled = enables[c] == '1'
                    c += 1
                    if not enabled:
                        continue
                    frame = child_num(var, 'FrameNumber', 1) & 0xFF
                    pos = child_num(var, 'PositionInFrame', 0) & 0xFF
                    t = child_num(var, 'ObjectType', 0)
                    count(t)
                    if not any(r['frame'] == frame and r['pos'] == pos for r in node['reads']):
                        r = dict(frame=frame, pos=pos, dim=child_num(var, 'Dimension', 1) & 0xFF,
                                 more=child_num(var, 'UsedInMoreVars', 0) & 0xFF, pos_array=position,
                                 type=t & 0xFF, post=child_num(var, 'PostOperation', 0) & 0xFF)
                        lw = child_num(var, 'LengthWriteFrame', 0)
                        if lw > 0:
                            fb = [(whole(b.text or '') or 0) & 0xFF for b in var.find('Frame').findall('Byte_Frame')]
                            fb = (fb + [0] * 10)[:10]
                            node['writes'].append(dict(frame=frame, pos=pos, len=lw & 0xFF, type=t & 0xFF,
                                                       bytes=bytes(fb), inst=max(counters.get(t, 0) - 1, 0),
                                                       pos_array=position, post=r['post'], dim=r['dim']))
                        node['reads'].append(r)
                    objects.append(make_object(var, frame))
                elif first:
                    first = False
                    if node['ns'] == 1:
                        o = make_object(var, 0)
                        node['add_ns'] = o['pos_array']
                        count(o['type'])
                        objects.append(o)
                elif node['ide'] == 1:
                    o = make_object(var, 0)
                    node['add_in'] = o['pos_array']
                    count(o['type'])
                    objects.append(o)
            names = [t['name'] for t in templates]
            if tname in names:
                node['tpl'] = names.index(tname)
            else:
                node['tpl'] = len(templates)
                reqs = []
                for q in tpl.find('List_Requests').findall('Request'):
                    fb = [(whole(b.text or '') or 0) & 0xFF for b in q.find('Frame').findall('Byte_Frame')]
                    reqs.append(dict(step=child_num(q, 'Step', 1), frame=child_num(q, 'FrameNumber', 0),
                                     len=child_num(q, 'FrameLength', 0), bytes=bytes((fb + [0] * 26)[:26]),
                                     change=child_num(q, 'ByteToChange', 0), reply=child_num(q, 'Reply', 0),
                                     next=child_num(q, 'NextStep', 0), vars=child_num(q, 'VariablesForFrame', 0)))
                templates.append(dict(name=tname, reqs=reqs))
            nodes.append(node)

    bdt = []
    bdt_path = os.path.join(project, 'BACnet_BDT.xml')
    if os.path.isfile(bdt_path):
        for row in list(ET.parse(bdt_path).getroot())[:10]:
            ipb = ip_text(row.get('IP_Address'))
            smb = ip_text(row.get('SubNet_Mask'))
            bdt.append((1 if (row.get('Enable') or '').upper() == 'Y' else 0, whole(row.get('Port') or '') or 0,
                        ipb, smb))

    bacnet = type_ not in (1002, 1003)
    V = sum(len(n['reads']) for n in nodes)
    W = sum(len(n['writes']) for n in nodes)
    R = sum(len(t['reqs']) for t in templates)
    N = len(nodes)
    t0 = 0x51000
    table_t = t0 + 34 * N + 10 * V + 24 * W + 33 * R
    written = [o for t in COUNTED for o in objects if o['type'] == t] if bacnet else []
    after = table_t + 24 * len(written)
    counts = {}
    for o in objects:
        if o['type'] in COUNTED:
            counts[o['type']] = counts.get(o['type'], 0) + 1
    record, _ = master_record(pg, type_, counts, table_t, after, N)

    bank3 = Image('bank3.bin')
    bank3.append(record, 'master record')
    add_vars, add_writes = t0 + 34 * N, t0 + 34 * N + 10 * V
    req_table = t0 + 34 * N + 10 * V + 24 * W
    for i, n in enumerate(nodes):
        p = 'node %d ' % (i + 1)
        before = sum(len(t['reqs']) for t in templates[:n['tpl']])
        bank3.u16(n['dev_type'], p + 'Dev_Type').u8(n['id_type'], p + 'ID_Type').u32(n['id'], p + 'ID_MBus')
        bank3.u16(len(n['reads']), p + 'Num_Vars').u32(add_vars, p + 'Add_Vars')
        bank3.u16(len(n['writes']), p + 'Num_W_Vars').u32(add_writes, p + 'Add_W_Vars')
        bank3.u8(len(templates[n['tpl']]['reqs']), p + 'Num_Reqs').u32(req_table + 33 * before, p + 'Add_Reqs')
        bank3.u8(n['ns'], p + 'Node_State').u32(n['add_ns'], p + 'Add_NS').u8(n['ide'], p + 'Ide_Number')
        bank3.u32(n['add_in'], p + 'Add_IN')
        add_vars += 10 * len(n['reads'])
        add_writes += 24 * len(n['writes'])
    k = 0
    for n in nodes:
        for r in n['reads']:
            k += 1
            p = 'read variable %d ' % k
            bank3.u8(r['frame'], p + 'FrameNum').u8(r['pos'], p + 'Pos_Frame').u8(r['dim'], p + 'Dimension')
            bank3.u8(r['more'], p + 'MoreVars').u32(r['pos_array'], p + 'Pos_Array').u8(r['type'], p + 'ObjType')
            bank3.u8(r['post'], p + 'PostOpe')
    k = 0
    for n in nodes:
        for w in n['writes']:
            k += 1
            p = 'write variable %d ' % k
            bank3.u8(w['frame'], p + 'FrameNum').u8(w['pos'], p + 'Pos_Frame').u8(w['len'], p + 'LenFrame')
            bank3.u8(w['type'], p + 'ObjType').put(w['bytes'], p + 'Frame').u32(w['inst'], p + 'ObjInstance')
            bank3.u32(w['pos_array'], p + 'Pos_Array').u8(w['post'], p + 'PostOpe').u8(w['dim'], p + 'Dimension')
    for t in templates:
        for j, q in enumerate(t['reqs']):
            p = 'request %s/%d ' % (t['name'], j + 1)
            bank3.u8(q['step'], p + 'Step').u8(q['frame'], p + 'FrameNum').u8(q['len'], p + 'LenFrame')
            bank3.put(q['bytes'], p + 'Frame').u8(q['change'], p + 'ByteToChange').u8(q['reply'], p + 'Reply')
            bank3.u8(q['next'], p + 'NextStep').u8(q['vars'], p + 'VarForFrame')
    if bacnet:
        for o in written:
            k = objects.index(o)
            p = 'object %d (type %d, %s) ' % (k, o['type'], o['name'])
            bank3.u8(o['frame'], p + 'FrameNum').u8(o['pos'], p + 'Pos_Frame').zeros(2, p + 'zero')
            bank3.u32(o['pos_array'], p + 'Pos_Array').u16(o['units'], p + 'Units').u8(o['dim'], p + 'Dimension')
            bank3.u8(o['option'], p + 'Option').u32(1024 + 128 * k, p + 'PointerObjName')
            bank3.u32(1088 + 128 * k, p + 'PointerDesc').zeros(4, p + 'zero')
        for i in range(10):
            p = 'BBMD entry %d ' % (i + 1)
            en, port, ipb, smb = bdt[i] if i < len(bdt) else (0, 0, None, None)
            bank3.u8(en, p + 'Enable').u8(0, p + 'zero').u16(port, p + 'Port')
            bank3.put(bytes(reversed(ipb)) if ipb else bytes(4), p + 'IP address')
            bank3.put(bytes(reversed(smb)) if smb else bytes(4), p + 'subnet mask')
    bank4 = Image('bank4.bin')
    for k, o in enumerate(objects):
        bank4.put(field(o['name'], 64), 'object %d name' % k).put(field(o['desc'], 64), 'object %d description' % k)
    return bank3, (bank4 if bacnet else None)


def register_map(type_, project):
    lines = ['Registers; ID Type; ID; Description;ReadWrite;']
    step = 2 if type_ == 1003 else 4
    r = 0
    dev_path = os.path.join(project, 'M_Bus_Custom_QV.xml')
    tdir = os.path.join(project, 'TEMPLATE')

    def add(idt, ident, desc, access):
        nonlocal r
        lines.append('%d-%d;%s;%s;%s;%s;' % (r, r + step - 1, idt, ident, desc, access))
        r += step

    if os.path.isfile(dev_path):
        for dev in ET.parse(dev_path).getroot().find('List_Devices'):
            path = find_template(tdir, dev.findtext('Template') or '')
            if path is None:
                continue
            idt = 'Primary' if (dev.findtext('ID_Type') or '') == '0' else 'Secondary'
            ident = dev.findtext('ID_MBus') or ''
            if dev.findtext('Node_State') == '1':
                add(idt, ident, 'Node State', 'Read Only')
            if dev.findtext('Identification_Number') == '1':
                add(idt, ident, 'Identification Number', 'Read Only')
            msb, sst, third = (dev.findtext(k) or '' for k in ('MSB', 'SST', 'Third_Field'))
            for var in ET.parse(path).getroot().find('List_Variables'):
                if var.findtext('FrameNumber') == '0':
                    continue
                t = whole(var.findtext('ObjectType') or '')
                if (t or 0) not in (2, 13, 23):
                    continue
                opt = var.findtext('Options') or ''
                access = 'Read/Write' if opt == '1' else 'Read/Write*' if opt == '3' else 'Read Only'
                name = (var.findtext('ON_Split1') or '') + pad(msb, 2) + (var.findtext('ON_Split2') or '') \
                    + pad(sst, 2) + (var.findtext('ON_Split3') or '') + pad(third, 3) \
                    + (var.findtext('ON_Split4') or '')
                add(idt, ident, name + ', ' + (var.findtext('Description') or ''), access)
    return ''.join(line + '\r\n' for line in lines).encode('cp1252')


# ---------------------------------------------------------------------------
# What a project must give

def expected_files(fx, project):
    """The bank files of a fixture, or Refused."""
    type_ = fx['type']
    pg = ParGen(fx.get('pargen'))
    net = fx.get('mbus')
    files = {}
    if type_ in (1, 20):
        flag = 1 if pg.flag('BACnet_Desc_Chars_Limit') else 0
        bank = mbus_bank(pg, net, type_)
        bt = pg.num('BACnet_Type', 0) if pg.present else 0
        if bt != 0:
            files['bank1.bin'] = mstp_image(pg, net)
            files['bank3.bin'] = bank
        else:
            bank1, bank2, joined = bacnet_ip_images(pg, net, type_, flag)
            files['bank1.bin'] = bank1
            files['bank2.bin'] = bank2
            files['bank3.bin'] = joined or bank
    elif type_ == 21:
        files['bank1.bin'] = mbus_bank(pg, net, 21)
        t = Image('bank_T.bin')
        t.put(b'\x01\x00\x00\x00', 'bank_T')
        files['bank_T.bin'] = t
    else:
        bank3, bank4 = master_images(pg, type_, project)
        files['bank3.bin'] = bank3
        if bank4 is not None:
            files['bank4.bin'] = bank4
    for name, img in files.items():
        img.name = name
    return files


# ---------------------------------------------------------------------------
# Fixture projects

def esc_attrs(attrs):
    return ''.join(' %s=%s' % (k, quoteattr(v)) for k, v in attrs if v is not None)


def mvar(**over):
    a = {'Enable': '1', 'Desc': 'v', 'Type': '0', 'Fun_Field': '0', 'Dim': '2'}
    a.update(over)
    return '<Variabile%s/>' % esc_attrs(a.items())


def mnode(variables=None, **over):
    a = {'Enable_Node': '1', 'Descrizione': 'n', 'ID_Primary': '1'}
    a.update(over)
    body = ''.join(variables if variables is not None else [mvar()])
    return '<Nodo%s>%s</Nodo>' % (esc_attrs(a.items()), body)


def network(nodes, comment='SW_VERSION = 1.509'):
    return '<M-Bus_Network>' + ''.join(nodes) + '</M-Bus_Network><!--%s-->' % comment


METER = [('Meter_Baud', '3'), ('Meter_Par', '2'), ('Meter_Req_Delay', '100')]


def tvar(frame, pos, obj_type, pattern_splits, desc, options='0', write=(), dim='4', units='62', post='2'):
    s1, s2, s3, s4 = pattern_splits
    return ('<Var><FrameNumber>%s</FrameNumber><PositionInFrame>%s</PositionInFrame><Dimension>%s</Dimension>'
            '<UsedInMoreVars>0</UsedInMoreVars><ObjectType>%s</ObjectType><PostOperation>%s</PostOperation>'
            '<LengthWriteFrame>%d</LengthWriteFrame><Frame>%s</Frame><Units>%s</Units><Options>%s</Options>'
            '<ObjectName>x</ObjectName><ON_Split1>%s</ON_Split1><ON_Split2>%s</ON_Split2><ON_Split3>%s</ON_Split3>'
            '<ON_Split4>%s</ON_Split4><Description>%s</Description></Var>') % (
        frame, pos, dim, obj_type, post, len(write), ''.join('<Byte_Frame>%d</Byte_Frame>' % b for b in write),
        units, options, escape(s1), escape(s2), escape(s3), escape(s4), escape(desc))


def treq(step, frame, data, nxt, count='2'):
    return ('<Request><Step>%d</Step><FrameNumber>%d</FrameNumber><FrameLength>%d</FrameLength><Frame>%s</Frame>'
            '<ByteToChange>3</ByteToChange><Reply>229</Reply><NextStep>%d</NextStep>'
            '<VariablesForFrame>%s</VariablesForFrame></Request>') % (
        step, frame, len(data), ''.join('<Byte_Frame>%d</Byte_Frame>' % b for b in data), nxt, count)


def template(variables, requests, kind='0'):
    return ('<Template><List_Variables>%s</List_Variables><List_Requests>%s</List_Requests>'
            '<Device_Type><Type>%s</Type></Device_Type></Template>') % (''.join(variables), ''.join(requests), kind)


LEADING = [tvar('0', '0', '13', ('NS_', "'", "'", "'"), 'Node State'),
           tvar('0', '0', '23', ('IN_', "'", "'", "'"), 'Identification Number')]


def device(tpl, enables, ns='0', ide='0', msb='1', sst='2', third='3', ident='5', id_type='0'):
    return ('<Device><Template>%s</Template><Description>d</Description><ID_Type>%s</ID_Type><ID_MBus>%s</ID_MBus>'
            '<Node_State>%s</Node_State><Identification_Number>%s</Identification_Number><MSB>%s</MSB><SST>%s</SST>'
            '<Third_Field>%s</Third_Field><Num_Variables>%d</Num_Variables><List_Vars>%s</List_Vars></Device>') % (
        escape(tpl), id_type, ident, ns, ide, msb, sst, third, len(enables),
        ''.join('<Var><Enable>%s</Enable></Var>' % e for e in enables))


def device_list(devices):
    return ('<Configuration_MBus_BACnet><Type_Converter><Index>0</Index></Type_Converter><List_Devices>%s'
            '</List_Devices></Configuration_MBus_BACnet><!--SW_VERSION = 2.001-->') % ''.join(devices)


def bdt_rows(rows):
    return '<BACnet_BDT>%s</BACnet_BDT>' % ''.join('<row%s/>' % esc_attrs(r) for r in rows)


def fixtures(data_dir):
    def golden(name):
        with open(os.path.join(data_dir, 'mbus', name), encoding='utf-8') as f:
            return f.read()

    fx = []

    def add(name, type_, **kw):
        kw.update(name=name, type=type_)
        fx.append(kw)

    # Every kind of variable, node flags and the two list types.
    kinds = [mvar(Type=str(t), Desc='type %d' % t) for t in (0, 5, 18, 20, 21, 22, 25, 26, 40)]
    kinds += [mvar(Type='19', VIFE=str(e), Desc='vife %d' % e, BACnet_EngUnits=str(e))
              for e in (0, 1, 37, 38, 39, 40, 49, 50, 51, 69, 70, 125, 126, 130, 131, 132, 136, 137, 146, 147, 255)]
    kinds += [mvar(Dim='7', Length='20', Desc='a string of twenty!!'), mvar(Dim='2', Length='20', Desc='not a string'),
              mvar(Type='21', VIF_ASCII='kWh', Desc='ascii unit'), mvar(VIF_ASCII='kWh', Desc='no ascii'),
              mvar(Desc='', Fun_Field='1'), mvar(Desc='a name of twenty-one', Fun_Field='2'),
              mvar(Fun_Field='3', Unit='7', StoNumber='4294967295', Tariff='1048575', BCDtoINT='1', Position='9',
                   Post_Operation='12', Dim='6'),
              mvar(Enable=None), mvar(Enable='01'), mvar(Enable='0')]
    by_position = [mvar(BACnet_DataType=str(d), Type='19', VIFE='50', Desc='pos %d' % d) for d in range(5)]
    by_position += [mvar(Dim='7', Length='3', BACnet_DataType='1', Desc='pos string')]
    varied = network([
        mnode(kinds, Descrizione='Heat meter', Node_State='1', NS_VarType='1', Ident_Num='1', Cut_After='249',
              Send_SND_NKE='1', Reset_App='1', BCDtoINT_IN='1', Swap_IN='1', ID_Primary='250'),
        mnode(by_position, Descrizione='By position', Var_List_Type='1', Node_State='1', Ident_Num='2',
              Node_ID_Type='1', ID_Secondary='12345678', Cut_After='255'),
        mnode([mvar(Enable='0')], Descrizione='no taken variable', Node_State='1'),
        mnode(Enable_Node='0', Descrizione='off'), mnode(Enable_Node='2', Descrizione='two'),
        mnode(Enable_Node=None, Descrizione='no enable attribute', Cut_After=None, ID_Primary='7'),
        mnode(Enable_Node='x', Descrizione='', Cut_After='x', Node_State='1', NS_VarType='0', Ident_Num='129'),
        mnode([mvar(Type='12', Desc='wireless one')], Descrizione='wireless in 1', MBus_Type='0', wMBus_Add='99'),
    ])
    bacnet_ip = METER + [('BACnet_IP1', '10'), ('BACnet_IP2', '1'), ('BACnet_IP3', '2'), ('BACnet_IP4', '300'),
                         ('BACnet_EN_GAT', '1'), ('BACnet_GAT1', '10'), ('BACnet_GAT2', '0'), ('BACnet_GAT3', '0'),
                         ('BACnet_GAT4', '254'), ('BACnet_PORT', '47809'), ('BACnet_DEV_IDE', '1234'),
                         ('BACnet_NAME_STA', 'a name over sixteen characters'), ('Meter_NS_Error_Code', '7')]
    add('type 1 BACnet/IP, every kind of variable', 1, mbus=varied, pargen=bacnet_ip)
    add('type 1 BACnet/IP, description limit', 1, mbus=varied,
        pargen=bacnet_ip + [('BACnet_Desc_Chars_Limit', '1'), ('Meter_Baud', '9'), ('Meter_Par', '1')])
    add('type 1 without ParGen.xml', 1, mbus=varied)
    add('type 1 without any file', 1)
    add('type 1 golden network', 1, mbus=golden('M_Bus_1.xml'), pargen=METER)
    add('type 1 MS/TP', 1, mbus=varied,
        pargen=METER + [('BACnet_Type', '1'), ('BACnet_Ser_Baudrate', '0'), ('BACnet_Ser_Parity', '1'),
                        ('BACnet_Ser_ID', '17'), ('BACnet_Ser_NAME_STA', 'sixteen chars ok'),
                        ('BACnet_Ser_DEV_IDE', '4321'), ('Eth2_IP1', '172'), ('Eth2_EN_GAT', '1')])
    add('type 1 MS/TP (NEW B244), long name, limit', 1, mbus=varied,
        pargen=METER + [('BACnet_Type', '2'), ('BACnet_Ser_NAME_STA', 'seventeen chars!!'),
                        ('BACnet_Desc_Chars_Limit', '1')])
    add('type 1 MS/TP, tables already aligned', 1, mbus=network([mnode([mvar(), mvar(Type='21', VIF_ASCII='m3')])]),
        pargen=METER + [('BACnet_Type', '1')])
    add('type 1 MS/TP, empty network', 1, pargen=METER + [('BACnet_Type', '1'), ('BACnet_Ser_NAME_STA', '')])
    mstp_limit = METER + [('BACnet_Type', '1'), ('BACnet_Desc_Chars_Limit', '1')]
    # The bank, built first, holds 1024 entries with the limit, four of them command objects.
    add('type 1 MS/TP, limit, 1020 objects', 1, mbus=network([mnode([mvar(Desc='m%d' % i) for i in range(1020)])]),
        pargen=mstp_limit)
    add('type 1 MS/TP, limit, 1021 objects', 1, mbus=network([mnode([mvar(Desc='m%d' % i) for i in range(1021)])]),
        pargen=mstp_limit, refused='object')
    add('type 20 BACnet type 3, odd meter keys', 20, mbus=varied,
        pargen=[('BACnet_Type', '3'), ('Meter_Baud', '-1'), ('Meter_Par', '7'), ('Meter_Req_Delay', '70000'),
                ('Meter_NS_Error_Code', 'x'), ('BACnet_Ser_Baudrate', '4'), ('BACnet_Ser_ID', '300')])
    add('type 1 secondary address without ID_Secondary', 1, pargen=METER,
        mbus=network([mnode(Node_ID_Type='1', ID_Primary='4'), mnode(Node_ID_Type='1', ID_Secondary='4294967295'),
                      mnode(ID_Primary='-1')]))
    add('type 1 missing Meter_Par', 1, mbus=varied, pargen=[('Meter_Baud', '3'), ('Meter_Req_Delay', '1')],
        refused='Meter_Par')
    add('type 1 Meter_Req_Delay not a number', 1, pargen=[('Meter_Baud', '3'), ('Meter_Par', '0'),
                                                          ('Meter_Req_Delay', '1.5')], refused='Meter_Req_Delay')

    add('type 20 golden network', 20, mbus=golden('M_Bus_20.xml'), pargen=bacnet_ip)
    add('type 20 description limit', 20, mbus=varied, pargen=bacnet_ip + [('BACnet_Desc_Chars_Limit', '1')])
    add('type 20 MS/TP', 20, mbus=varied,
        pargen=METER + [('BACnet_Type', '1'), ('BACnet_Ser_Baudrate', '0'), ('Eth2_IP1', '172'),
                        ('Eth2_GAT1', '172'), ('Eth2_EN_GAT', '1'), ('Enable_Use_Fix_C_Field', '1'),
                        ('Use_Fix_C_Field_Value', '1')])
    no_objects = network([mnode([mvar(Type='26')] * 2600, Descrizione='big')])
    add('type 1 with a bank1 over 63488 bytes', 1, mbus=no_objects, pargen=METER)
    add('type 20 with a bank1 over 63488 bytes', 20, mbus=no_objects, pargen=METER, refused='63488')
    many = network([mnode([mvar(Desc='n%04d' % (i * 511 + k)) for k in range(511)], Descrizione='node %d' % i)
                    for i in range(4)])
    add('type 1 with 2044 + 4 objects', 1, mbus=many, pargen=METER)
    more = network([mnode([mvar(Desc='n%04d' % (i * 1023 + k)) for k in range(1023)], Descrizione='node %d' % i)
                    for i in range(2)])
    add('type 1 with 2046 + 4 objects', 1, mbus=more, pargen=METER, refused='object')

    wired_and_wireless = network([
        mnode([mvar(), mvar(Type='19', VIFE='131')], Descrizione='wired', Node_State='1', MBus_Type='1'),
        mnode([mvar(Type='2')], Descrizione='wireless 1', Node_State='1', NS_VarType='1', MBus_Type='0',
              wMBus_ManID='11571', wMBus_Add='4294967295', wMBus_Ver='2', wMBus_DevType='7', wMBus_En_Key='1',
              **{'wMBus_Key_%d' % (k + 1): str(17 * k) for k in range(16)}),
        mnode([mvar(Type='19', VIFE='140', Desc='w2')], Descrizione='wireless 2', MBus_Type='0', wMBus_Add='1',
              wMBus_En_Key='0', Cut_After='7', Send_SND_NKE='1', **{'wMBus_Key_%d' % (k + 1): '9' for k in range(16)}),
        mnode([mvar(Dim='7', Length='5', Desc='w3'), mvar(Type='21', VIF_ASCII='abc')], Descrizione='wireless 3',
              MBus_Type='x', wMBus_ManID='65537', wMBus_Ver='x'),
        mnode([mvar()], Descrizione='wired, no MBus_Type', MBus_Type=None, ID_Primary='3'),
    ], comment='SW_VERSION = 1.005')
    add('type 21 golden network, wired allowed', 21, mbus=golden('M_Bus_21.xml'),
        pargen=METER + [('Sel_Dev_MBus_Present', '1'), ('wMBus_Mode', '3'), ('wMBus_Radio_Channel', '12'),
                        ('BACnet_DEV_IDE', '1234'), ('Enable_Use_Fix_C_Field', '1'), ('Use_Fix_C_Field_Value', '0')])
    add('type 21 wired and wireless', 21, mbus=wired_and_wireless,
        pargen=METER + [('Sel_Dev_MBus_Present', '1'), ('wMBus_Mode', '9'), ('BACnet_DEV_IDE', '1234'),
                        ('Use_Fix_C_Field_Value', '1')])
    add('type 21 wired not present, limit, MS/TP', 21, mbus=wired_and_wireless,
        pargen=METER + [('Sel_Dev_MBus_Present', '0'), ('BACnet_Desc_Chars_Limit', '1'), ('BACnet_Type', '1'),
                        ('BACnet_Ser_Baudrate', '0'), ('BACnet_Ser_DEV_IDE', '1234'), ('Eth2_IP1', '172')])
    add('type 21 without ParGen.xml', 21, mbus=wired_and_wireless)
    add('type 21 odd radio keys', 21, mbus=wired_and_wireless,
        pargen=METER + [('wMBus_Mode', '-1'), ('wMBus_Radio_Channel', '300'), ('Use_Fix_C_Field_Value', ''),
                        ('Enable_Use_Fix_C_Field', '01'), ('Sel_Dev_MBus_Present', 'x'), ('BACnet_Type', '2'),
                        ('BACnet_Ser_Baudrate', '5'), ('BACnet_Ser_Parity', '258')])

    add('type 1 bank with wireless nodes', 1, mbus=wired_and_wireless, pargen=METER + [('BACnet_Type', '1')])
    # 23 + 24 * 1321 + 17 = 31744 bytes of wireless section.
    exact = [mvar(Type='26')] * 1320 + [mvar(Type='21', VIF_ASCII='x' * 17)]
    add('type 21 wireless section of 31744 bytes', 21, mbus=network([mnode(exact, MBus_Type='0')]))
    over = [mvar(Type='26')] * 1320 + [mvar(Type='21', VIF_ASCII='x' * 18)]
    add('type 21 wireless section of 31745 bytes', 21, mbus=network([mnode(over, MBus_Type='0')]), refused='wM-Bus')
    add('type 21 with 32 wireless meters', 21,
        mbus=network([mnode(MBus_Type='0', wMBus_Add=str(i)) for i in range(32)]))
    add('type 21 with 33 wireless meters', 21,
        mbus=network([mnode(MBus_Type='0', wMBus_Add=str(i)) for i in range(33)]), refused='wireless meters')
    # 13 + 23 + 24 * 2644 + 6 = 63498: the wired section does not fit.
    add('type 1 wired section over 63488 bytes', 1, mbus=network([mnode([mvar(Type='26')] * 2644)]),
        pargen=METER, refused='M-Bus')

    heat = golden('Template_Meter.xml')
    water = template(LEADING + [tvar('1', '3', '2', ('AI_', '_', '_', ''), 'Flow', options='1', write=(1, 2, 3)),
                                tvar('1', '3', '8', ('IV_', '_', '_', ''), 'Same place, type 8')],
                     [treq(1, 1, (16, 91, 254, 89, 22), 0), treq(2, 3, tuple(range(30)), 0)], kind='7')
    mixed = template(LEADING + [tvar('0', '0', '2', ('X_', '', '', ''), 'third leading row'),
                                tvar('1', '1', '0', ('AI_', '_', '_', ''), 'first AI'),
                                tvar('1', '2', '5', ('BV_', '_', '_', ''), 'binary value', options='3', write=(7,)),
                                tvar('2', '1', '0', ('AI_', '_', '_', ''), 'second AI', write=(1,) * 12),
                                tvar('2', '9', '2', ('AV_', '_', '_', ''), 'an analog value with a long, long '
                                     'description of more than sixty-four characters in all', options='3', write=(5,)),
                                tvar('00', '4', '23', ('ACC_', '_', '_', ''), 'frame 00 is no leading row'),
                                tvar('3', 'x', 'x', ('Z_', '_', '_', ''), 'numbers that are not numbers',
                                     units='', post='x', dim='x')],
                     [treq(1, 1, (16, 64, 254, 62, 22), 2), treq(2, 2, (16, 91), 3), treq(3, 3, (16, 123), 0)])
    templates = {'Heat.xml': heat, 'Water.xml': water, 'Mixed.xml': mixed}
    # The golden device list pairs one variable with Water.xml.
    water1 = template(LEADING + [tvar('4', '0', '13', ('MS_', '-', '-', '!'), 'State', write=(9, 9))],
                      [treq(1, 4, (16, 123, 254, 121, 22), 0)])
    golden_templates = {'Heat.xml': heat, 'Water.xml': water1}
    golden_devices = golden('M_Bus_Custom_QV.xml')
    for type_ in (1001, 1002, 1003):
        add('type %d golden device list' % type_, type_, devices=golden_devices, templates=golden_templates,
            pargen=[('BACnet_DEV_IDE', '77'), ('BACnet_EN_BBMD', '1'), ('BACnet_EN_FDR', '1'),
                    ('BACnet_NAME_STA', 'exactly16chars!!'), ('PROFINET_NAME_STA', 'pn-station-name-longer'),
                    ('PROFINET_NB_OUT', '200'), ('ModbusTCPS_PORT', '5020'), ('Meter_Baud', '5'), ('Meter_Par', '1'),
                    ('Enable_Wait_Answer', '1'), ('Wait_Answer', '250'), ('Enable_Idle_Time', '0'),
                    ('Idle_Time', '9'), ('PROFINET_EN_GAT', '1'), ('Modbus_TCP_Slave_EN_GAT', '1'),
                    ('BACnet_IP1', '10'), ('PROFINET_IP4', '77'), ('Modbus_TCP_Slave_SM4', '128')],
            bdt=bdt_rows([[('Enable', 'y'), ('IP_Address', '10.0.0.1'), ('SubNet_Mask', '255.255.255.255'),
                           ('Port', '47808')],
                          [('Enable', 'Yes'), ('IP_Address', '10.0.0.256'), ('SubNet_Mask', '255.255.255.0'),
                           ('Port', 'x')]] + [[('Enable', 'Y'), ('IP_Address', '1.2.3.%d' % i)] for i in range(10)]),
            map=type_ != 1001)
        add('type %d without devices' % type_, type_, templates={}, map=type_ != 1001)
        add('type %d mixed devices' % type_, type_, templates=templates, pargen=[('Meter_Baud', 'abc')],
            devices=device_list([
                device('Mixed.xml', ['1', '1', '1', '1', '1', '1'], ns='1', ide='1', msb='7', sst='12', third='1234'),
                device('Water.xml', ['1', '1'], ns='0', ide='1', id_type='1', ident='12345678'),
                device('mixed.XML', ['0', '1', 'x', '1', '1', '1'], msb='', sst='123', third='45'),
                device('Gone.xml', ['1']),
                device('Water.xml', ['1', '0'], ns='1'),
            ]), map=type_ != 1001)
        add('type %d ParGen.xml without keys' % type_, type_, templates=golden_templates, devices=golden_devices,
            pargen=[], map=type_ != 1001)
        add('type %d device with fewer variables' % type_, type_, templates=templates,
            devices=device_list([device('Water.xml', ['1'])]), refused='fewer')
    return fx


# ---------------------------------------------------------------------------

def write_project(fx, project):
    os.makedirs(os.path.join(project, 'bin'))

    def write(name, text):
        with open(os.path.join(project, name), 'w', encoding='utf-8', newline='') as f:
            f.write(text)

    if fx.get('pargen') is not None:
        write('ParGen.xml', ParGen(fx['pargen']).xml())
    if fx.get('mbus') is not None:
        write('M_Bus.xml', fx['mbus'])
    if fx.get('devices') is not None:
        write('M_Bus_Custom_QV.xml', fx['devices'])
    if fx.get('bdt') is not None:
        write('BACnet_BDT.xml', fx['bdt'])
    if fx.get('templates') is not None:
        os.makedirs(os.path.join(project, 'TEMPLATE'))
        for name, text in fx['templates'].items():
            write(os.path.join('TEMPLATE', name), text)


def check(fx, tool, project, verbose):
    problems = []
    write_project(fx, project)
    cmd = [tool, str(fx['type']), project]
    map_path = os.path.join(project, 'map.csv')
    if fx.get('templates') is not None:
        cmd += ['--templates', os.path.join(project, 'TEMPLATE')]
    if fx.get('map'):
        cmd += ['--map', map_path]
    run = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True)
    written = sorted(f for f in os.listdir(os.path.join(project, 'bin')))
    try:
        expected = expected_files(fx, project)
    except Refused as r:
        if fx.get('refused') is None or fx['refused'] not in str(r):
            return ['the checker refused the project (%s) but the fixture does not say so' % r]
        if run.returncode != 3:
            problems.append('the build was not refused: exit %d, %s' % (run.returncode, run.stdout.strip()))
        elif fx['refused'] not in run.stdout:
            problems.append('the refusal does not name "%s": %s' % (fx['refused'], run.stdout.strip()))
        if written:
            problems.append('a refused build wrote %s' % written)
        return problems
    if fx.get('refused') is not None:
        problems.append('the checker expected a refusal (%s)' % fx['refused'])
    if run.returncode != 0:
        return problems + ['the tool failed: exit %d, %s %s' % (run.returncode, run.stdout.strip(),
                                                                 run.stderr.strip()[-2000:])]
    if written != sorted(expected):
        problems.append('files written %s, expected %s' % (written, sorted(expected)))
    for name, img in sorted(expected.items()):
        path = os.path.join(project, 'bin', name)
        if not os.path.isfile(path):
            continue
        with open(path, 'rb') as f:
            problems += diff(img, f.read())
        if verbose:
            print('    %s: %d bytes' % (name, len(img.data)))
    if fx.get('map'):
        want = register_map(fx['type'], project)
        with open(map_path, 'rb') as f:
            got = f.read()
        if got != want:
            problems.append('register map differs:\n      wrote    %r\n      expected %r' % (got, want))
    return problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--tool', required=True, help='the program\'s image_build_tool')
    ap.add_argument('--data', required=True, help='the tests/data folder (golden M-Bus files)')
    ap.add_argument('--keep', help='leave the projects in this folder')
    ap.add_argument('--only', help='run the fixtures whose name holds this text')
    ap.add_argument('-v', '--verbose', action='store_true')
    args = ap.parse_args()

    base = args.keep or tempfile.mkdtemp(prefix='mbus_images_')
    if args.keep:
        shutil.rmtree(base, ignore_errors=True)
        os.makedirs(base)
    failures = 0
    try:
        for i, fx in enumerate(fixtures(args.data)):
            if args.only and args.only not in fx['name']:
                continue
            project = os.path.join(base, '%02d' % i)
            problems = check(fx, args.tool, project, args.verbose)
            print('%s %s' % ('ok  ' if not problems else 'FAIL', fx['name']))
            for p in problems:
                print('    ' + p)
            failures += bool(problems)
    finally:
        if not args.keep:
            shutil.rmtree(base, ignore_errors=True)
    print('%d fixture(s) failed' % failures if failures else 'all fixtures agree')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
