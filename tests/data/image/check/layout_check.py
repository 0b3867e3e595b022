#!/usr/bin/env python3
"""Second, separate reading of the bank1 layouts of the CAN, CANopen, PROFIBUS, PROFINET,
EtherNet/IP, DeviceNet slave, KNX, DMX and SNMP models.

For every project kept under projects/<device type>/ it computes the whole bank1 image from the
project files alone (ParGen.xml and the table files), with no code shared with the program, and
compares it byte for byte with the golden image ../bank1_<device type>.hex that the program's own
test builds. A difference is reported with its offset and the field it falls in.

    python3 layout_check.py [data folder]        (default: the folder above this script)

Exit status 0 when every image agrees, 1 otherwise.
"""
import os
import sys
import xml.etree.ElementTree as ET

# ---------------------------------------------------------------------------------------------
# Texts and numbers as the program reads them


def to_int(text, bits=32):
    """Whole-integer rule: leading blanks, optional sign, decimal digits or hexadecimal digits
    after "$", "x", "X", "0x", "0X"; nothing after the digits. None when the text is not one
    or out of range. Hexadecimal values up to the unsigned maximum wrap into the signed range."""
    if text is None:
        return None
    s = text.lstrip(' ')
    neg = False
    if s[:1] in ('-', '+'):
        neg = s[0] == '-'
        s = s[1:]
    hexa = False
    for prefix in ('0x', '0X', '$', 'x', 'X'):
        if s.startswith(prefix):
            s = s[len(prefix):]
            hexa = True
            break
    digits = '0123456789abcdefABCDEF' if hexa else '0123456789'
    if not s or any(c not in digits for c in s):
        return None
    v = int(s, 16 if hexa else 10)
    lo, hi = -(1 << (bits - 1)), (1 << (bits - 1)) - 1
    if hexa and not neg and v <= (1 << bits) - 1:
        if v > hi:
            v -= 1 << bits
    if neg:
        v = -v
    if v < lo or v > hi:
        return None
    return v


def int_def(text, default, bits=32):
    v = to_int(text, bits)
    return default if v is None else v


def low_bytes(text):
    """One byte per UTF-16 code unit: its low 8 bits."""
    raw = text.encode('utf-16-le', 'surrogatepass')
    return bytes(raw[0::2])


def upper(text):
    return text.upper() if text is not None else None


def ip_text_to_bytes(text, out):
    """The four parts of a dotted address into `out` (a list of four); True when the text is
    empty (out untouched) or any part is bad (that part becomes 0)."""
    if text is None or text == '':
        return True
    parts = text.split('.', 3)
    while len(parts) < 4:
        parts.append('')
    bad = False
    for k in range(4):
        v = to_int(parts[k])
        if v is None or not 0 <= v <= 255 or not parts[k].strip(' ').lstrip('+-').isdigit():
            out[k] = 0
            bad = True
        else:
            out[k] = v
    return bad


def ip_number(parts):
    return (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3]


class BuildError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# Project files


class Project:
    def __init__(self, folder, dtype):
        self.folder = folder
        self.type = dtype
        self.par = None
        path = os.path.join(folder, 'ParGen.xml')
        if os.path.exists(path):
            root = ET.parse(path).getroot()
            self.par = {}
            for child in root:
                if child.tag not in self.par:
                    self.par[child.tag] = child.text or ''

    def has_par(self):
        return self.par is not None

    def key(self, name):
        """Text of a ParGen.xml key; None when the key (or the file) is missing."""
        if self.par is None:
            return None
        return self.par.get(name)

    def num(self, name, default):
        return int_def(self.key(name), default)

    def flag(self, name):
        return self.key(name) == '1'

    def table(self, name):
        path = os.path.join(self.folder, name)
        if not os.path.exists(path):
            return None
        return ET.parse(path).getroot()


def section(root, name, fname):
    for child in root:
        if child.tag == name:
            return list(child)
    raise BuildError('%s: section %s missing' % (fname, name))


def attr_int(row, name, fname, bits=32):
    t = row.get(name)
    v = to_int(t, bits)
    if v is None:
        raise BuildError('%s: attribute %s = %r is not an integer' % (fname, name, t))
    return v


# ---------------------------------------------------------------------------------------------
# An image with the name of every field written, for the report


class Image:
    def __init__(self, size):
        self.b = bytearray(size)
        self.names = []

    def name(self, offset, width, name):
        self.names.append((offset, offset + width, name))

    def put(self, offset, width, value, name):
        self.b[offset:offset + width] = (value & ((1 << (8 * width)) - 1)).to_bytes(width, 'little')
        self.name(offset, width, name)

    def put_bytes(self, offset, data, name, width=None):
        self.b[offset:offset + len(data)] = data
        self.name(offset, width if width is not None else len(data), name)

    def field_at(self, offset):
        best = None
        for lo, hi, n in self.names:
            if lo <= offset < hi and (best is None or hi - lo <= best[1] - best[0]):
                best = (lo, hi, n)
        return '%s (+%d)' % (best[2], offset - best[0]) if best else 'unnamed (should be zero)'


class Record:
    """A 2048-byte general parameter record, filled field by field; the checksum of bytes
    0..2043 is stored at 2044 when it is placed into an image."""

    def __init__(self):
        self.b = bytearray(2048)
        self.names = []

    def put(self, offset, width, value, name):
        self.b[offset:offset + width] = (value & ((1 << (8 * width)) - 1)).to_bytes(width, 'little')
        self.names.append((offset, offset + width, name))

    def put_text(self, offset, width, text, name):
        data = low_bytes(text)[:width]
        self.b[offset:offset + width] = data + bytes(width - len(data))
        self.names.append((offset, offset + width, name))

    def place(self, img, at, forced_zero=()):
        for k in forced_zero:
            self.b[k] = 0
        total = sum(self.b[:2044]) & 0xFFFFFFFF
        self.b[2044:2048] = total.to_bytes(4, 'little')
        img.put_bytes(at, self.b, 'record', 2048)
        for lo, hi, n in self.names:
            img.name(at + lo, hi - lo, 'record.' + n)
        img.name(at + 2044, 4, 'record.Checksum')


# ---------------------------------------------------------------------------------------------
# BACnet object area

DATA_TYPES = ["ANALOG INPUT", "ANALOG OUT", "BINARY INPUT", "BINARY OUT", "LARGE ANALOG VALUE",
              "DATETIME VALUE", "POSITIVE INTEGER VALUE", "CHARACTERSTRING VALUE", "INTEGER VALUE",
              "MULTI STATE INPUT", "MULTI STATE OUTPUT", "MULTI STATE VALUE", "ANALOG VALUE",
              "BINARY VALUE", "LIFE SAFETY POINT", "LIFE SAFETY ZONE", "ACCESS DOOR", "ACCUMULATOR",
              "OCTET STRING"]

OBJECT_FILES = {6: 'PROFIBUSs_BACnet_SetAccess.xml', 7: 'CAN_BACnet_SetAccess.xml',
                8: 'CANopen_BACnet_SetAccess.xml', 9: 'PROFINET_BACnet_SetAccess.xml',
                11: 'DeviceNetS_BACnet_SetAccess.xml', 12: 'EtherNetIP_BACnet_SetAccess.xml',
                16: 'KNX_BACnet_SetAccess.xml', 2016: 'KNX_BACnet_SetAccess.xml',
                17: 'SNMP_BACnet_SetAccess.xml', 18: 'SNMP_BACnet_SetAccess.xml',
                19: 'SNMP_BACnet_SetAccess.xml'}

AREA_SIZE = 0x10800
POOL_SIZE = 0x8800


def base_address(dtype):
    if dtype in (16, 2016):
        return 0x55000
    if dtype in (17, 18, 19):
        return 0x57800
    return 0x4F800


def object_area(prj, img, limit_flag, read_sections=(True, True)):
    """Writes the area at offset 0; returns the 19 counts."""
    n = 1023 if limit_flag else 2047
    max_name = 32 if limit_flag else 16
    pool_addr = base_address(prj.type) + n * 16
    counts = [0] * 19
    entries = []
    pool = bytearray(POOL_SIZE)
    free = 1
    fname = OBJECT_FILES[prj.type]
    root = prj.table(fname)
    if root is not None:
        rd = section(root, 'BACnet_in_Read', fname) if read_sections[0] else []
        wr = section(root, 'BACnet_in_Write', fname) if read_sections[1] else []
        for code, text in enumerate(DATA_TYPES):
            for rows, write in ((rd, False), (wr, True)):
                for i, row in enumerate(rows):
                    if upper(row.get('Data_Type')) != text:
                        continue
                    unit = attr_int(row, 'Eng_Unit', fname)
                    pos = attr_int(row, 'Position', fname)
                    bit = to_int(row.get('Bit'))
                    length = attr_int(row, 'Length', fname)
                    number = (len(rd) + i + 1) if write else (i + 1)
                    mnem = low_bytes(row.get('Mnemonic') or '')[:max_name]
                    if mnem:
                        addr = pool_addr + free
                        pool[free:free + len(mnem)] = mnem
                        free += len(mnem) + 1
                    else:
                        addr = pool_addr
                    flags = 1 if write else 0
                    if prj.type in (6, 9, 16, 18) and row.get('Swap') == 'Y':
                        flags |= 2
                    entries.append((pos, unit, length, flags, addr, number, bit or 0))
                    counts[code] += 1
    if len(entries) > n or free > POOL_SIZE:
        raise BuildError('object table holds more than %d objects' % n)
    for k, (pos, unit, length, flags, addr, number, bit) in enumerate(entries):
        at = k * 16
        img.put(at, 4, pos, 'object[%d].Position' % k)
        img.put(at + 4, 2, unit, 'object[%d].Eng_Unit' % k)
        img.put(at + 6, 1, length, 'object[%d].Length' % k)
        img.put(at + 7, 1, flags, 'object[%d].Flags' % k)
        img.put(at + 8, 4, addr, 'object[%d].Mnemonic_Address' % k)
        img.put(at + 12, 2, number, 'object[%d].Row_Number' % k)
        img.put(at + 14, 1, bit, 'object[%d].Bit' % k)
        img.name(at + 15, 1, 'object[%d].reserved' % k)
    img.name(len(entries) * 16, (n - len(entries)) * 16, 'object entries (unused)')
    img.put_bytes(n * 16, pool, 'mnemonic pool')
    img.name(n * 16 + POOL_SIZE, AREA_SIZE - n * 16 - POOL_SIZE, 'object area tail')
    return counts


# ---------------------------------------------------------------------------------------------
# BBMD table


def bdt(prj, img, at, load):
    img.name(at, 120, 'BBMD table')
    if not load:
        return
    root = prj.table('BACnet_BDT.xml')
    if root is None:
        return
    rows = list(root)
    if len(rows) > 10:
        raise BuildError('BACnet_BDT.xml holds %d rows; the table has room for 10' % len(rows))
    for k, row in enumerate(rows):
        e = at + 12 * k
        img.put(e, 1, 1 if upper(row.get('Enable')) == 'Y' else 0, 'bdt[%d].Enable' % k)
        for name, off in (('IP_Address', 4), ('SubNet_Mask', 8)):
            parts = [0, 0, 0, 0]
            if row.get(name) is not None and not ip_text_to_bytes(row.get(name), parts):
                img.put(e + off, 4, ip_number(parts), 'bdt[%d].%s' % (k, name))
        if row.get('Port') is not None:
            img.put(e + 2, 2, int_def(row.get('Port'), 0), 'bdt[%d].Port' % k)


# ---------------------------------------------------------------------------------------------
# General parameter record, standard layout

MSTP_BAUD = {0: 9600, 1: 19200, 2: 38400, 3: 57600, 4: 76800, 5: 115200}


def mstp_baud(prj):
    return MSTP_BAUD.get(prj.num('BACnet_Ser_Baudrate', 0), 9600)


def mstp_parity(prj):
    v = prj.num('BACnet_Ser_Parity', 0)
    return 2 if v == 1 else v


def name_key(prj, key, default):
    t = prj.key(key)
    return default if t is None else t


def standard_record(dtype):
    r = Record()
    r.put(0, 4, 250000, 'CAN_Bit_Rate')
    r.put(12, 4, 9600, 'Port1_Baud_Rate')
    r.put(16, 2, 8, 'Port1_Data_Bits')
    r.put(18, 2, 0, 'Port1_Parity')
    r.put(24, 4, 0 if dtype in (0, 1, 20) else 1, 'Modbus_Slave_ID')
    r.put(52, 2, 10000, 'Config_Port')
    r.put(64, 2, 8, 'Port2_Data_Bits')
    r.put(333, 1, 1, 'BACnet_Ser_Max_Master')
    r.put(334, 1, 1, 'BACnet_Ser_Max_Info_Frames')
    r.put(336, 2, 1, 'BACnet_Ser_Network')
    r.put(616, 4, -1, 'Slaves_Present_Position')
    for off, w, n in ((40, 4, 'BACnet_IP'), (44, 4, 'BACnet_SM'), (48, 4, 'BACnet_GAT'),
                      (54, 2, 'Modbus_TCP_Port'), (56, 2, 'Modbus_TCP_Port_2'), (58, 2, 'Option_Word'),
                      (60, 4, 'Port2_Baud_Rate'), (80, 16, 'BACnet_Device_Name'), (96, 1, 'Protocol_Code'),
                      (99, 1, 'CAN_Kind'), (104, 2, 'BACnet_Port'), (112, 4, 'CAN_Frame_Count'),
                      (116, 4, 'NB_In'), (120, 4, 'NB_Out'), (168, 4, 'BACnet_Device_Instance'),
                      (172, 4, 'CANopen_SDO_Timeout'), (228, 4, 'CANopen_Node_ID'), (232, 4, 'CANopen_Flags'),
                      (240, 4, 'CAN_Table_Address'), (324, 4, 'CANopen_Delay'),
                      (328, 4, 'BACnet_Ser_Device_Instance'), (332, 1, 'BACnet_Ser_MAC'),
                      (372, 4, 'Eth2_IP'), (376, 4, 'Eth2_SM'), (380, 4, 'Eth2_GAT'),
                      (588, 16, 'Station_Name_2'), (604, 4, 'BACnet_IP_Flags'), (608, 4, 'BDT_Address'),
                      (612, 4, 'Object_Count[18]'), (620, 1, 'PROFIBUS_Station')):
        r.names.append((off, off + w, n))
    for k in range(9):
        r.names.append((132 + 4 * k, 136 + 4 * k, 'Object_Count[%d]' % k))
        r.names.append((288 + 4 * k, 292 + 4 * k, 'Object_Count[%d]' % (k + 9)))
    for k in range(6):
        r.names.append((204 + 4 * k, 208 + 4 * k, 'CANopen_Table_Count[%d]' % k))
        r.names.append((264 + 4 * k, 268 + 4 * k, 'CANopen_Table_Address[%d]' % k))
    return r


def put_address(r, prj, at, prefix, defaults, gat_defaults, en_key, name, missing_gat=None):
    """Address, mask and gateway keys <prefix>IP1..4, SM1..4, GAT1..4 into 12 bytes at `at`."""
    for k in range(4):
        r.put(at + k, 1, prj.num('%sIP%d' % (prefix, k + 1), defaults[k]), '%s_IP' % name)
    for k in range(4):
        r.put(at + 4 + k, 1, prj.num('%sSM%d' % (prefix, k + 1), (255, 255, 255, 0)[k]), '%s_SM' % name)
    for k in range(4):
        key = '%sGAT%d' % (prefix, k + 1)
        if missing_gat is not None and prj.key(key) is None:
            v = missing_gat
        else:
            v = prj.num(key, gat_defaults[k])
        r.put(at + 8 + k, 1, v, '%s_GAT' % name)
    if not prj.flag(en_key):
        r.put(at + 8, 4, 0xFFFFFFFF, '%s_GAT' % name)


def standard_bacnet_keys(r, prj, bbmd=True, profibus=False):
    """BACnet-side keys of ParGen.xml into the standard record; returns the description-limit
    flag."""
    btype = prj.num('BACnet_Type', 0)
    limit = prj.flag('BACnet_Desc_Chars_Limit')
    put_address(r, prj, 40, 'BACnet_', (192, 168, 0, 5), (192, 168, 0, 1), 'BACnet_EN_GAT', 'BACnet',
                missing_gat=255 if profibus else None)
    if btype == 0:
        r.put(104, 2, prj.num('BACnet_PORT', 47808), 'BACnet_Port')
        r.put_text(80, 16, name_key(prj, 'BACnet_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
        r.put(168, 4, prj.num('BACnet_DEV_IDE', 1), 'BACnet_Device_Instance')
        if bbmd:
            flags = (1 if prj.flag('BACnet_EN_BBMD') else 0) | (2 if prj.flag('BACnet_EN_FDR') else 0)
            r.put(604, 4, flags, 'BACnet_IP_Flags')
    elif btype == 1:
        r.put(12, 4, mstp_baud(prj), 'Port1_Baud_Rate')
        r.put(18, 2, mstp_parity(prj), 'Port1_Parity')
        r.put(332, 1, prj.num('BACnet_Ser_ID', 0), 'BACnet_Ser_MAC')
        r.put(333, 1, prj.num('BACnet_Ser_Max_Master', 1), 'BACnet_Ser_Max_Master')
        r.put(334, 1, prj.num('BACnet_Ser_Max_Info_Frames', 1), 'BACnet_Ser_Max_Info_Frames')
        r.put(328, 4, prj.num('BACnet_Ser_DEV_IDE', 0), 'BACnet_Ser_Device_Instance')
        r.put(336, 2, prj.num('BACnet_Ser_Network', 1), 'BACnet_Ser_Network')
        r.put_text(80, 16, name_key(prj, 'BACnet_Ser_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
    return limit


def standard_counts(r, counts):
    for k in range(9):
        r.put(132 + 4 * k, 4, counts[k], 'Object_Count[%d]' % k)
        r.put(288 + 4 * k, 4, counts[k + 9], 'Object_Count[%d]' % (k + 9))
    r.put(612, 4, counts[18], 'Object_Count[18]')


# ---------------------------------------------------------------------------------------------
# Device type 7: CAN

CAN_BAUD = [10000, 20000, 50000, 62500, 100000, 125000, 250000, 500000, 800000, 1000000, 90909]


def build_can(prj):
    img = Image(102520)
    r = standard_record(7)
    r.put(96, 1, 0x24, 'Protocol_Code')
    r.put(99, 1, 1, 'CAN_Kind')
    r.put(58, 2, 0, 'Option_Word')
    r.put(240, 4, 0x60000, 'CAN_Table_Address')
    limit = False
    if prj.has_par():
        limit = standard_bacnet_keys(r, prj)
        t = prj.key('CAN_BAUDRATE')
        if t is not None:
            idx = int_def(t, 9)
            r.put(0, 4, CAN_BAUD[idx] if 0 <= idx < len(CAN_BAUD) else 1000000, 'CAN_Bit_Rate')
        else:
            r.put(0, 4, 1000000, 'CAN_Bit_Rate')
    counts = object_area(prj, img, limit)
    standard_counts(r, counts)

    frames = []  # [cob, timer, timeout, direction, length, positions]

    def cob(row, fname):
        v = attr_int(row, 'Cob_Id', fname)
        if row.get('Type') == '2.0B (29 bits)':
            v = (v + 0x80000000) & 0xFFFFFFFF
        return v & 0xFFFFFFFF

    def info(fname, first, count):
        root = prj.table(fname)
        if root is None:
            return
        rows = list(root)
        for i in range(min(count, len(rows))):
            f = frames[first + i]
            for n in range(1, 9):
                f[5][n - 1] = attr_int(rows[i], 'B%d' % n, fname) & 0xFFFF if n <= f[4] else 0xFFFF

    rec = prj.table('CAN_Rec_Frames.xml')
    nrec = 0
    if rec is not None:
        for row in section(rec, 'Receive_Frames', 'CAN_Rec_Frames.xml'):
            c = cob(row, 'CAN_Rec_Frames.xml')
            length = attr_int(row, 'Dimension', 'CAN_Rec_Frames.xml') & 0xFF
            timeout = attr_int(row, 'TimeOut', 'CAN_Rec_Frames.xml')
            frames.append([c, 0, timeout, 0, length, [0xFFFF] * 8])
        nrec = len(frames)
        info('CAN_Rec_Info.xml', 0, nrec)
    snd = prj.table('CAN_Send_Frames.xml')
    if snd is not None:
        for row in section(snd, 'Send_Frames', 'CAN_Send_Frames.xml'):
            c = cob(row, 'CAN_Send_Frames.xml')
            length = attr_int(row, 'Dimension', 'CAN_Send_Frames.xml') & 0xFF
            timer = attr_int(row, 'Timer_Send', 'CAN_Send_Frames.xml')
            if upper(row.get('Send_Type')) == 'ON DATA CHANGE':
                timer = 0
            frames.append([c, timer, 0, 1, length, [0xFFFF] * 8])
        info('CAN_Send_Info.xml', nrec, len(frames) - nrec)
    if len(frames) > 1024:
        raise BuildError('more than 1024 CAN frames')
    r.put(112, 4, len(frames), 'CAN_Frame_Count')
    for k in range(1024):
        at = 0x10800 + 32 * k
        c, timer, timeout, direction, length, pos = frames[k] if k < len(frames) else (0, 0, 0, 0, 0, [0xFFFF] * 8)
        img.put(at, 4, c, 'can[%d].COB_ID' % k)
        img.put(at + 4, 4, timer, 'can[%d].send_timer' % k)
        img.put(at + 8, 4, timeout, 'can[%d].timeout' % k)
        img.put(at + 13, 1, direction, 'can[%d].direction' % k)
        img.put(at + 14, 1, length, 'can[%d].length' % k)
        for n in range(8):
            img.put(at + 16 + 2 * n, 2, pos[n], 'can[%d].B%d' % (k, n + 1))
    bbmd = r.b[604] & 1
    r.put(608, 4, 0x68800, 'BDT_Address')
    r.place(img, 0x18800)
    bdt(prj, img, 0x19000, bbmd)
    return img


# ---------------------------------------------------------------------------------------------
# Device type 8: CANopen

CANOPEN_BAUD = [10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000]
# (file, section, capacity, image offset, gateway address, kind, write)
CANOPEN_TABLES = [
    ('SDO_Server_CANopen.xml', 'SDO_Read', 512, 0x10800, 0x60000, 'server', False),
    ('SDO_Server_CANopen.xml', 'SDO_Write', 512, 0x14800, 0x64000, 'server', True),
    ('SDO_Client_CANopen.xml', 'SDO_Read', 256, 0x19000, 0x68800, 'client', False),
    ('SDO_Client_CANopen.xml', 'SDO_Write', 256, 0x1B000, 0x6A800, 'client', True),
    ('PDO_CANopen.xml', 'Receive_PDO', 128, 0x1D000, 0x6C800, 'pdo', False),
    ('PDO_CANopen.xml', 'Transmit_PDO', 128, 0x1E000, 0x6D800, 'pdo', True),
]


def canopen_entry(row, kind, write, fname):
    e = bytearray(32)

    def p(off, w, v):
        e[off:off + w] = (v & ((1 << (8 * w)) - 1)).to_bytes(w, 'little')

    on_change = upper(row.get('On_Change')) == 'Y'
    if kind in ('server', 'client'):
        n = attr_int(row, 'NByte', fname)
        if kind == 'client':
            p(7, 1, attr_int(row, 'Device_ID', fname))
        p(4, 2, attr_int(row, 'Index', fname))
        p(6, 1, attr_int(row, 'SubIndex', fname))
        if kind == 'client':
            p(8, 4, attr_int(row, 'Poll_Time', fname, 64))
        for k in range(4):
            read = k == 0 or (k == 1 and n >= 2) or (k >= 2 and n >= 4)
            p(20 + 2 * k, 2, attr_int(row, 'Address_B%d' % (k + 1), fname) if read else 0)
        p(28, 1, n)
        if kind == 'server':
            p(29, 1, 1 if write else 0)
        else:
            p(29, 1, (3 if on_change else 1) if write else 0)
    else:
        n = attr_int(row, 'Dimension', fname)
        p(0, 4, attr_int(row, 'COB-ID', fname, 64))
        p(8, 4, attr_int(row, 'Send_Time' if write else 'TimeOut', fname, 64))
        for k in range(8):
            read = k == 0 or n >= k + 1
            p(12 + 2 * k, 2, attr_int(row, 'Address_B%d' % (k + 1), fname) if read else 0)
        p(28, 1, n)
        p(29, 1, (3 if on_change else 1) if write else 0)
    return bytes(e)


def build_canopen(prj):
    img = Image(127096)
    r = standard_record(8)
    r.put(96, 1, 0x24, 'Protocol_Code')
    r.put(99, 1, 2, 'CAN_Kind')
    r.put(97, 1, 0, 'Serial_Mode')
    r.put(58, 2, 0, 'Option_Word')
    for k, t in enumerate(CANOPEN_TABLES):
        r.put(264 + 4 * k, 4, t[4], 'CANopen_Table_Address[%d]' % k)
    limit = False
    if prj.has_par():
        limit = standard_bacnet_keys(r, prj)
        r.put(228, 4, prj.num('CANopen_IDDev', 1), 'CANopen_Node_ID')
        t = prj.key('CANopen_BAUDRATE')
        idx = 8 if t is None else int_def(t, 8)
        r.put(0, 4, CANOPEN_BAUD[idx] if 0 <= idx < len(CANOPEN_BAUD) else 1000000, 'CAN_Bit_Rate')
        flags = (1 if prj.flag('CANopen_Set_Operational') else 0) | (2 if prj.flag('CANopen_Network_Start') else 0)
        r.put(232, 4, flags, 'CANopen_Flags')
        r.put(324, 4, prj.num('CANopen_Delay', 10) * 1000, 'CANopen_Delay')
        r.put(172, 4, prj.num('CANopen_SDO_TimeOut', 10000), 'CANopen_SDO_Timeout')
    counts = object_area(prj, img, limit)
    standard_counts(r, counts)
    for k, (fname, sec, cap, at, _addr, kind, write) in enumerate(CANOPEN_TABLES):
        rows = []
        root = prj.table(fname)
        if root is not None:
            rows = section(root, sec, fname)
        if len(rows) > cap:
            raise BuildError('%s %s: more than %d rows' % (fname, sec, cap))
        r.put(204 + 4 * k, 4, len(rows), 'CANopen_Table_Count[%d]' % k)
        preset = bytes(12) + b'\xff' * 16 + bytes(4)
        for i in range(cap):
            e = canopen_entry(rows[i], kind, write, fname) if i < len(rows) else preset
            img.put_bytes(at + 32 * i, e, '%s %s[%d]' % (fname, sec, i))
    bbmd = r.b[604] & 1
    r.put(608, 4, 0x6E800, 'BDT_Address')
    r.place(img, 0x18800)
    bdt(prj, img, 0x1F000, bbmd)
    return img


# ---------------------------------------------------------------------------------------------
# Device types 9, 6, 12: PROFINET, PROFIBUS, EtherNet/IP


def build_fieldbus_slave(prj):
    dtype = prj.type
    img = Image(102520 if dtype == 9 else 102400)
    img.name(0x10800, 0x8000, 'empty protocol table')
    r = standard_record(dtype)
    limit = False
    if dtype == 9:
        r.put(96, 1, 0x26, 'Protocol_Code')
        r.put(58, 2, 0, 'Option_Word')
        r.put(56, 2, 34963, 'Modbus_TCP_Port_2')
        if prj.has_par():
            limit = standard_bacnet_keys(r, prj)
            r.put(116, 4, prj.num('PROFINET_NB_IN', 1439), 'NB_In')
            r.put(120, 4, prj.num('PROFINET_NB_OUT', 1439), 'NB_Out')
            put_address(r, prj, 372, 'PROFINET_', (192, 168, 0, 10), (192, 168, 0, 1), 'PROFINET_EN_GAT', 'Eth2')
            r.put_text(588, 16, name_key(prj, 'PROFINET_NAME_STA', 'devicename2'), 'Station_Name_2')
    elif dtype == 6:
        if prj.has_par():
            limit = standard_bacnet_keys(r, prj, bbmd=False, profibus=True)
            r.put(620, 1, prj.num('PROFIBUS_SLAVE_ID_DEV', 10), 'PROFIBUS_Station')
            r.put(120, 4, prj.num('PROFIBUS_SLAVE_NB_IN', 244), 'NB_Out')
            r.put(116, 4, prj.num('PROFIBUS_SLAVE_NB_OUT', 244), 'NB_In')
    else:
        r.put(96, 1, 0xA4, 'Protocol_Code')
        r.put(58, 2, 0, 'Option_Word')
        if prj.has_par():
            btype = prj.num('BACnet_Type', 0)
            limit = prj.flag('BACnet_Desc_Chars_Limit')
            if btype == 0:
                put_address(r, prj, 40, 'BACnet_', (192, 168, 0, 5), (192, 168, 0, 1), 'BACnet_EN_GAT', 'BACnet')
                r.put(104, 2, prj.num('BACnet_PORT', 47808), 'BACnet_Port')
                r.put_text(80, 16, name_key(prj, 'BACnet_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
                r.put(168, 4, prj.num('BACnet_DEV_IDE', 1), 'BACnet_Device_Instance')
            elif btype == 1:
                standard_bacnet_keys(r, prj, bbmd=False)  # the MS/TP group; the address keys are redone below
                r.put(40, 12, 0, 'BACnet_address_block')
            elif btype == 2:
                r.put(60, 4, mstp_baud(prj), 'Port2_Baud_Rate')
                r.put(66, 2, mstp_parity(prj), 'Port2_Parity')
                r.put(168, 4, prj.num('BACnet_Ser_ID', 0), 'BACnet_Device_Instance')
                r.put_text(80, 16, name_key(prj, 'BACnet_Ser_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
            put_address(r, prj, 372 if btype == 0 else 40, 'EtherNetIP_', (192, 168, 0, 11), (192, 168, 0, 1),
                        'EtherNetIP_EN_GAT', 'Eth2' if btype == 0 else 'BACnet')
            r.put(54, 2, 44818, 'Modbus_TCP_Port')
            r.put(56, 2, 44818, 'Modbus_TCP_Port_2')
            r.put(116, 4, prj.num('EtherNetIP_NB_IN', 496), 'NB_In')
            r.put(120, 4, prj.num('EtherNetIP_NB_OUT', 500), 'NB_Out')
    counts = object_area(prj, img, limit)
    standard_counts(r, counts)
    bbmd = r.b[604] & 1
    if dtype == 9:
        r.put(608, 4, 0x68800, 'BDT_Address')
    r.place(img, 0x18800)
    if dtype == 9:
        bdt(prj, img, 0x19000, bbmd)
    return img


# ---------------------------------------------------------------------------------------------
# KNX/DMX/DeviceNet record


def knx_dmx_dnet_record():
    r = Record()
    r.put(0, 4, 125000, 'CAN_Bit_Rate')
    r.put(12, 4, 9600, 'Port1_Baud_Rate')
    r.put(16, 2, 8, 'Port1_Data_Bits')
    r.put(40, 4, 0x0A00A8C0, 'BACnet_IP')
    r.put(44, 4, 0x00FFFFFF, 'BACnet_SM')
    r.put(48, 4, 0xFFFFFFFF, 'BACnet_GAT')
    r.put(52, 2, 10000, 'Config_Port')
    r.put(54, 2, 10001, 'fixed 10001')
    r.put(56, 2, 10001, 'fixed 10001')
    r.put(60, 4, 9600, 'Port2_Baud_Rate')
    r.put(64, 2, 8, 'Port2_Data_Bits')
    r.put(436, 8, 0x0808080808080808, 'eight bytes of 8')
    r.put(460, 2, 3671, 'fixed 3671')
    for off, w, n in ((18, 2, 'Port1_Parity'), (28, 4, 'DeviceNet_MAC_ID'), (58, 2, 'BACnet_Port'),
                      (80, 16, 'BACnet_Device_Name'), (96, 1, 'Protocol_Code'), (116, 4, 'NB_In'),
                      (120, 4, 'NB_Out'), (248, 4, 'Object_Base_Address'), (256, 1, 'BACnet_Ser_MAC'),
                      (257, 1, 'BACnet_Ser_Max_Master'), (258, 1, 'BACnet_Ser_Max_Info_Frames'),
                      (270, 2, 'BACnet_Ser_Network'), (308, 4, 'BACnet_Device_Instance'),
                      (400, 4, 'BACnet_Ser_Baud_Rate'), (424, 1, 'BACnet_Ser_Parity'),
                      (444, 4, 'KNX_Read_Table_Address'), (448, 4, 'KNX_Write_Table_Address'),
                      (452, 4, 'KNX_Read_Count'), (456, 4, 'KNX_Write_Count'), (462, 2, 'KNX_Physical_Address'),
                      (476, 2, 'DMX_In_Channels'), (478, 2, 'DMX_Out_Channels'), (480, 4, 'DMX_Table_Address'),
                      (1792, 4, 'Object_Count[18]')):
        r.names.append((off, off + w, n))
    return r


KDD_COUNT_CODES = [0, 1, 12, 2, 3, 13, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17]


def kdd_bacnet_keys(r, prj, model):
    """BACnet-side keys of the three readers; model is 'dnet', 'knx' or 'dmx'."""
    btype = prj.num('BACnet_Type', 0)
    limit = prj.flag('BACnet_Desc_Chars_Limit')
    ipd, gatd = ((192, 168, 2, 205), (192, 168, 2, 1)) if model == 'dmx' else ((192, 168, 0, 5), (192, 168, 0, 1))
    put_address(r, prj, 40, 'BACnet_', ipd, gatd, 'BACnet_EN_GAT', 'BACnet')
    if btype == 0:
        r.put(58, 2, prj.num('BACnet_PORT', 47808), 'BACnet_Port')
        r.put_text(80, 16, name_key(prj, 'BACnet_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
        r.put(308, 4, prj.num('BACnet_DEV_IDE', 1), 'BACnet_Device_Instance')
    elif btype == 1:
        baud, parity = mstp_baud(prj), mstp_parity(prj)
        r.put(400, 4, baud, 'BACnet_Ser_Baud_Rate')
        r.put(424, 1, parity, 'BACnet_Ser_Parity')
        if model != 'dnet':
            r.put(12, 4, baud, 'Port1_Baud_Rate')
            r.put(18, 2, parity, 'Port1_Parity')
            r.put(424, 1, parity & 0xFFFF, 'BACnet_Ser_Parity')
        r.put(256, 1, prj.num('BACnet_Ser_ID', 0), 'BACnet_Ser_MAC')
        r.put_text(80, 16, name_key(prj, 'BACnet_Ser_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
        r.put(308, 4, prj.num('BACnet_Ser_DEV_IDE', 0), 'BACnet_Device_Instance')
        if model != 'knx':
            r.put(257, 1, prj.num('BACnet_Ser_Max_Master', 1), 'BACnet_Ser_Max_Master')
            r.put(258, 1, prj.num('BACnet_Ser_Max_Info_Frames', 1), 'BACnet_Ser_Max_Info_Frames')
            r.put(270, 2, prj.num('BACnet_Ser_Network', 1), 'BACnet_Ser_Network')
    return limit


def kdd_counts(r, counts, octet):
    for k, code in enumerate(KDD_COUNT_CODES):
        r.put(312 + 4 * k, 4, counts[code], 'Object_Count[%d]' % code)
    if octet:
        r.put(1792, 4, counts[18], 'Object_Count[18]')


KDD_FORCED_ZERO = (1333, 1337, 1338, 1339)


# Device type 11: DeviceNet slave

def build_devicenet(prj):
    img = Image(102400)
    img.name(0x10800, 0x8000, 'empty protocol table')
    r = knx_dmx_dnet_record()
    r.put(96, 1, 0xA4, 'Protocol_Code')
    limit = False
    if prj.has_par():
        limit = kdd_bacnet_keys(r, prj, 'dnet')
        r.put(28, 4, prj.num('DNETS_ID_DEV', 10), 'DeviceNet_MAC_ID')
        code = prj.num('DNETS_BAUDRATE', 2)
        r.put(0, 4, {0: 125000, 1: 250000}.get(code, 500000), 'CAN_Bit_Rate')
        r.put(116, 4, prj.num('DNETS_NB_IN', 455), 'NB_In')
        r.put(120, 4, prj.num('DNETS_NB_OUT', 455), 'NB_Out')
    r.put(248, 4, 0x4F800, 'Object_Base_Address')
    counts = object_area(prj, img, limit)
    kdd_counts(r, counts, True)
    r.place(img, 0x18800, KDD_FORCED_ZERO)
    return img


# Device types 16 and 2016: KNX

def knx_physical_address_code(text):
    if '.' not in text:
        return int_def(text, 0x1114)
    a, rest = text.split('.', 1)
    a, rest = a.strip(' '), rest.strip(' ')
    if '.' in rest:
        b, c = rest.split('.', 1)
    else:
        b, c = '', rest
    return int_def(a, 1) * 4096 + int_def(b.strip(' '), 1) * 256 + int_def(c.strip(' '), 20)


def knx_address_code(text, group):
    t = text.strip(' ')
    sep = '/' if group else '.'
    if sep not in t:
        return int_def(t, 0)
    a, rest = t.split(sep, 1)
    a, rest = int_def(a.strip(' '), 0), rest.strip(' ')
    if group:
        if '/' in rest:
            b, c = rest.split('/', 1)
            return (a & 0x1F) * 2048 + (int_def(b.strip(' '), 0) & 7) * 256 + (int_def(c.strip(' '), 0) & 0xFF)
        return (a & 0x1F) * 2048 + (int_def(rest, 0) & 0x7FF)
    if '.' in rest:
        b, c = rest.split('.', 1)
    else:
        b, c = '', rest
    return (a & 0x0F) * 4096 + (int_def(b.strip(' '), 0) & 0x0F) * 256 + (int_def(c.strip(' '), 0) & 0xFF)


CONVERSIONS = {'NONE': 0, 'SWAP16': 0x1000, 'SWAP32': 0x2000, 'SWAP ALL': 0x3000, 'INT TO FLOAT': 0x4000,
               'FLOAT TO INT': 0x5000, 'FLOAT16 TO FLOAT32': 0x6000, 'FLOAT16 TO INT': 0x7000,
               'FLOAT16 TO INT * 10': 0x8000, 'FLOAT16 TO INT * 100': 0x9000}
PRIORITIES = {'SYSTEM': 0, 'NORMAL': 1, 'URGENT': 2, 'LOW': 3}


def knx_record_bytes(row, fname):
    def need(name):
        v = row.get(name)
        if v is None:
            raise BuildError('%s: attribute %s missing' % (fname, name))
        return v

    apci_t = upper(need('APCI'))
    apci = 128 if apci_t == 'WRITE' else 0 if apci_t == 'READ' else int_def(need('APCI'), 0)
    prio = PRIORITIES.get(upper(need('Priority')), 2)
    flags = 0
    if upper(need('Extended')) == 'Y':
        flags |= 0x10
    dest = need('Destination_Address')
    group = '.' not in dest
    if group:
        flags |= 0x20
    if upper(need('ReTest')) == 'Y':
        flags |= 0x02
    src = knx_address_code(need('Source_Address'), False)
    dst = knx_address_code(dest, group)
    if upper(row.get('On_Command')) == 'Y':
        flags |= 0x08
    if upper(need('On_Change')) == 'Y':
        flags |= 0x01
    poll = 0
    if upper(row.get('On_Timer')) == 'Y' and row.get('Poll_Time') is not None:
        poll = int_def(row.get('Poll_Time'), 1000)
    if row.get('Format') is not None:
        flags |= CONVERSIONS.get(upper(row.get('Format')), 0)
    bit_mode = need('Bit_Mode')
    if upper(bit_mode) == 'NO':
        pos = int_def(need('Position'), 0)
    else:
        flags |= 0x40
        pos = int_def(need('Position'), 0) * 8 + int_def(bit_mode, 0)
    length = int_def(need('Length'), 1)
    e = bytearray(20)
    e[0:4] = (poll & 0xFFFFFFFF).to_bytes(4, 'little')
    e[8] = prio & 0xFF
    e[9] = length & 0xFF
    e[10:12] = (flags & 0xFFFF).to_bytes(2, 'little')
    e[12:14] = (apci & 0xFFFF).to_bytes(2, 'little')
    e[14:16] = (src & 0xFFFF).to_bytes(2, 'little')
    e[16:18] = (dst & 0xFFFF).to_bytes(2, 'little')
    e[18:20] = (pos & 0xFFFF).to_bytes(2, 'little')
    return bytes(e)


def build_knx(prj):
    img = Image(0x13800)
    r = knx_dmx_dnet_record()
    r.put(248, 4, 0x55000, 'Object_Base_Address')
    r.put(444, 4, 0x65800, 'KNX_Read_Table_Address')
    r.put(448, 4, 0x65800, 'KNX_Write_Table_Address')
    limit = False
    if prj.has_par():
        limit = kdd_bacnet_keys(r, prj, 'knx')
        t = prj.key('KNX_ID_DEV')
        r.put(462, 2, 0x11C8 if t is None else knx_physical_address_code(t), 'KNX_Physical_Address')
    counts = object_area(prj, img, limit)
    kdd_counts(r, counts, True)
    records = []
    fname = 'KNX_SetAccess.xml'
    root = prj.table(fname)
    if root is not None:
        for row in section(root, 'KNX_in_Write', fname):
            en = row.get('Enable')
            if en is not None and en.strip(' ').upper() != 'Y':
                continue
            records.append(knx_record_bytes(row, fname))
    if len(records) > 512:
        raise BuildError('more than 512 enabled KNX rows')
    r.put(452, 4, 0, 'KNX_Read_Count')
    r.put(456, 4, len(records), 'KNX_Write_Count')
    for k in range(512):
        img.put_bytes(0x10800 + 20 * k, records[k] if k < len(records) else bytes(20), 'knx[%d]' % k)
    r.place(img, 0x13000, KDD_FORCED_ZERO)
    return img


# Device type 18: DMX

def build_dmx(prj):
    img = Image(0x11200)
    r = knx_dmx_dnet_record()
    direction = 1
    r.put(480, 4, 0x68800, 'DMX_Table_Address')
    r.put(248, 4, 0x57800, 'Object_Base_Address')
    limit = False
    if prj.has_par():
        limit = kdd_bacnet_keys(r, prj, 'dmx')
        direction = prj.num('DMX_DMX', 1)
        channels = prj.num('DMX_Num_Channels', 512)
        r.put(476, 2, channels if direction == 0 else 0, 'DMX_In_Channels')
        r.put(478, 2, 0 if direction == 0 else channels, 'DMX_Out_Channels')
    counts = object_area(prj, img, limit, (direction == 0, direction != 0))
    kdd_counts(r, counts, False)
    r.place(img, 0x10800, KDD_FORCED_ZERO)
    table = bytearray(512)
    root = prj.table('DMX_Default_Values.xml')
    if root is not None:
        for i, row in enumerate(list(root)[:512]):
            table[i] = int_def(row.get('Default_Value'), 0) & 0xFF
    img.put_bytes(0x11000, table, 'DMX defaults')
    return img


# ---------------------------------------------------------------------------------------------
# SNMP record


def snmp_record():
    r = Record()
    r.put(0, 4, 125000, 'CAN_Bit_Rate')
    r.put(12, 4, 9600, 'Port1_Baud_Rate')
    r.put(16, 2, 8, 'Port1_Data_Bits')
    r.put(40, 4, 0xCD02A8C0, 'BACnet_IP')
    r.put(44, 4, 0x00FFFFFF, 'BACnet_SM')
    r.put(48, 4, 0xFFFFFFFF, 'BACnet_GAT')
    r.put(52, 2, 10000, 'Config_Port')
    r.put(54, 2, 10001, 'port 10001')
    r.put(56, 2, 10001, 'BACnet_Port')
    r.put(60, 4, 9600, 'Port2_Baud_Rate')
    r.put(64, 2, 8, 'Port2_Data_Bits')
    for off, w, n in ((18, 2, 'Port1_Parity'), (58, 2, 'Option_Word'), (66, 2, 'Port2_Parity'),
                      (80, 16, 'BACnet_Device_Name'), (96, 1, 'Protocol_Code'), (116, 4, 'NB_In'),
                      (120, 4, 'NB_Out'), (248, 4, 'Object_Base_Address'), (256, 1, 'BACnet_Ser_MAC'),
                      (257, 1, 'BACnet_Ser_Max_Master'), (258, 1, 'BACnet_Ser_Max_Info_Frames'),
                      (304, 4, 'Eth2_IP'), (308, 4, 'Eth2_SM'), (312, 4, 'Eth2_GAT'), (318, 2, 'BACnet_Ser_Network'),
                      (352, 4, 'BACnet_Device_Instance'), (364, 4, 'Manager_Row_Count'),
                      (368, 4, 'Manager_Table_Address'), (412, 4, 'BACnet_Ser_Device_Instance'),
                      (416, 4, 'Trap_Read_Count'), (420, 4, 'Trap_Write_Count'), (424, 4, 'Trap_Read_Address'),
                      (428, 4, 'Trap_Write_Address'), (432, 4, 'SNMP_Options'), (440, 16, 'SNMP_Name_of_Station'),
                      (456, 16, 'SNMP_Contact'), (472, 16, 'SNMP_Location'), (488, 20, 'SNMP_VER3_USER'),
                      (508, 16, 'SNMP_VER3_AUTHORITY'), (524, 16, 'SNMP_VER3_PRIVACY')):
        r.names.append((off, off + w, n))
    return r


SNMP_COUNT_PLACES = {0: 268, 1: 272, 2: 276, 3: 280, 7: 284, 6: 288, 4: 292, 5: 296, 12: 372, 13: 376, 8: 380,
                     9: 384, 10: 388, 11: 392, 14: 396, 15: 400, 16: 404, 17: 408, 18: 576}


def snmp_bacnet_keys(r, prj, manager):
    btype = prj.num('BACnet_Type', 0)
    limit = prj.flag('BACnet_Desc_Chars_Limit')
    put_address(r, prj, 40, 'BACnet_', (192, 168, 0, 5), (192, 168, 0, 1), 'BACnet_EN_GAT', 'BACnet')
    if btype == 0:
        r.put(56, 2, prj.num('BACnet_PORT', 47808), 'BACnet_Port')
        r.put_text(80, 16, name_key(prj, 'BACnet_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
        r.put(352, 4, prj.num('BACnet_DEV_IDE', 1), 'BACnet_Device_Instance')
    elif btype in (1, 2):
        r.put(12 if btype == 1 else 60, 4, mstp_baud(prj), 'serial baud rate')
        r.put(18 if btype == 1 else 66, 2, mstp_parity(prj), 'serial parity')
        r.put(256, 1, prj.num('BACnet_Ser_ID', 0), 'BACnet_Ser_MAC')
        if manager and btype == 1:
            r.put(257, 1, prj.num('BACnet_Ser_Max_Master', 1), 'BACnet_Ser_Max_Master')
            r.put(258, 1, prj.num('BACnet_Ser_Max_Info_Frames', 1), 'BACnet_Ser_Max_Info_Frames')
        r.put(412, 4, prj.num('BACnet_Ser_DEV_IDE', 0), 'BACnet_Ser_Device_Instance')
        if manager and btype == 1:
            r.put(318, 2, prj.num('BACnet_Ser_Network', 1), 'BACnet_Ser_Network')
        r.put_text(80, 16, name_key(prj, 'BACnet_Ser_NAME_STA', 'devicename1'), 'BACnet_Device_Name')
    return limit, btype


def snmp_place(r, img, counts):
    for code, off in SNMP_COUNT_PLACES.items():
        r.put(off, 4, counts[code], 'Object_Count[%d]' % code)
    r.place(img, 0x10800)


def snmp_text(prj, key, default):
    t = prj.key(key)
    return default if t is None else t


# Device type 17: SNMP agent

SNMP_TRAP_CONVERSIONS = {'FLOAT': 1, 'FLOAT * 10': 2, 'FLOAT * 100': 3, 'FLOAT / 10': 4, 'FLOAT / 100': 5}


def trap_entry(row, read):
    e = bytearray(48)

    def p(off, w, v):
        e[off:off + w] = (v & ((1 << (8 * w)) - 1)).to_bytes(w, 'little')

    name = low_bytes(row.get('Community_Name') or '')[:16]
    e[12:12 + len(name)] = name
    flags = 8 if upper(row.get('Type')) == 'INT' else 0
    if read:
        for attr, bit in (('On_Change', 1), ('On_Command', 2), ('On_Timer', 4)):
            if upper(row.get(attr)) == 'Y':
                flags |= bit
        p(8, 4, int_def(row.get('Time'), 0))
    e[7] = flags
    p(0, 2, int_def(row.get('Position'), 0))
    p(2, 2, int_def(row.get('Bit'), 0))
    nb = 0 if row.get('NumBits') is None else int_def(row.get('NumBits'), 1)
    if not flags & 8:
        nb = nb * 8
    p(4, 2, nb)
    desc = low_bytes(row.get('Description') or '')[:16]
    e[28:28 + len(desc)] = desc
    if read:
        parts = [0, 0, 0, 0]
        ip_text_to_bytes(row.get('IP_Address'), parts)
        p(44, 4, ip_number(parts))
    conv = row.get('Conversion')
    e[6] = 0 if conv is None else SNMP_TRAP_CONVERSIONS.get(conv.strip(' ').upper(), 0)
    return bytes(e)


def build_snmp_agent(prj):
    img = Image(94208)
    r = snmp_record()
    r.put(248, 4, 0x57800, 'Object_Base_Address')
    r.put(96, 1, 0x26, 'Protocol_Code')
    r.put(58, 2, 0, 'Option_Word')
    limit = False
    if prj.has_par():
        limit, _ = snmp_bacnet_keys(r, prj, False)
        r.put(116, 4, 1024, 'NB_In')
        r.put(120, 4, 1024, 'NB_Out')
        r.put_text(440, 16, snmp_text(prj, 'SNMP_Name_of_Station', 'SNMPdevice1')[:15], 'SNMP_Name_of_Station')
        r.put_text(456, 16, snmp_text(prj, 'SNMP_Contact', ''), 'SNMP_Contact')
        r.put_text(472, 16, snmp_text(prj, 'SNMP_Location', ''), 'SNMP_Location')
        opt = 0
        for k, bit in ((1, 1), (2, 2), (3, 4)):
            if prj.flag('SNMP_VERSION%d' % k):
                opt |= bit
        if opt & 4:
            r.put_text(488, 20, snmp_text(prj, 'SNMP_VER3_USER', ''), 'SNMP_VER3_USER')
            level = (snmp_text(prj, 'SNMP_VER3_SECURITY_LEVEL', '')).strip().upper()
            idx = {'AUTH NOPRIV': 1, 'AUTH PRIV': 2}.get(level, 0)
            if idx >= 1:
                opt |= 0x10
            if idx == 2:
                opt |= 0x20
        if opt & 0x10:
            r.put_text(508, 16, snmp_text(prj, 'SNMP_VER3_AUTHORITY', ''), 'SNMP_VER3_AUTHORITY')
            mode = snmp_text(prj, 'SNMP_VER3_AUTHORITY_MODE', '').strip().upper()
            opt |= 0x80 if mode == 'SHA' else 0x40
        if opt & 0x20:
            r.put_text(524, 16, snmp_text(prj, 'SNMP_VER3_PRIVACY', ''), 'SNMP_VER3_PRIVACY')
            mode = snmp_text(prj, 'SNMP_VER3_PRIVACY_MODE', '').strip().upper()
            opt |= 0x200 if mode == 'AES' else 0x100
        r.put(432, 4, opt, 'SNMP_Options')
    counts = object_area(prj, img, limit)
    tables = ([], [])
    root = prj.table('SNMP_Trap.xml')
    if root is not None:
        for t, (sec, read) in enumerate((('SNMP_Trap_Read', True), ('SNMP_Trap_Write', False))):
            rows = []
            for child in root:
                if child.tag == sec:
                    rows = list(child)
                    break
            for row in rows:
                if upper(row.get('Enable')) != 'Y' or len(tables[t]) >= 256:
                    continue
                tables[t].append(trap_entry(row, read))
    r.put(416, 4, len(tables[0]), 'Trap_Read_Count')
    r.put(420, 4, len(tables[1]), 'Trap_Write_Count')
    r.put(424, 4, 0x68800, 'Trap_Read_Address')
    r.put(428, 4, 0x6B800, 'Trap_Write_Address')
    snmp_place(r, img, counts)
    for t, at in ((0, 0x11000), (1, 0x14000)):
        for k in range(256):
            img.put_bytes(at + 48 * k, tables[t][k] if k < len(tables[t]) else bytes(48),
                          '%s trap[%d]' % ('read' if t == 0 else 'write', k))
    return img


# Device type 19: SNMP manager

def manager_entry(row):
    e = bytearray(128)

    def p(off, w, v):
        e[off:off + w] = (v & ((1 << (8 * w)) - 1)).to_bytes(w, 'little')

    def text(off, value):
        # 16-byte field, at most 15 characters, zero-padded
        data = low_bytes(value)[:15]
        e[off:off + 16] = data + bytes(16 - len(data))

    flags = 0
    parts = [0, 0, 0, 0]
    ip_text_to_bytes(row.get('IP_Address'), parts)
    p(4, 4, ip_number(parts))
    version = int_def(row.get('Version'), 1)
    flags |= 0x10 if version == 1 else 0x20 if version == 2 else 0x40
    comm = row.get('Community_String')
    text(12, 'kelpie' if comm is None else comm)
    oid = low_bytes(row.get('OID') or '')[:62]
    e[66:66 + len(oid)] = oid
    if upper(row.get('Type')) == 'INT':
        flags |= 0x8
    mode = upper(row.get('Mode'))
    e[63] = 0 if mode == 'GET' else 1 if mode == 'SET' else 2
    for attr, bit in (('On_Change', 1), ('On_Command', 2), ('On_Timer', 4)):
        if upper(row.get(attr)) == 'Y':
            flags |= bit
    p(0, 4, int_def(row.get('Time'), 1000))
    p(60, 2, int_def(row.get('Position'), 0))
    nbytes = int_def(row.get('Number_Bytes'), 1)
    if not 0 <= nbytes <= 255:
        raise BuildError('SNMP_Manager.xml: Number_Bytes %d does not fit one byte' % nbytes)
    p(64, 1, nbytes)
    conv = row.get('ConvertFrom')
    e[62] = 0 if conv is None else {'FLOAT': 1, 'FLOAT * 10': 2, 'FLOAT * 100': 3}.get(conv.strip(' ').upper(), 0)
    if flags & 0x40:
        user = row.get('User')
        text(12, 'admin' if user is None else user)
        a = row.get('Auth_Pass')
        text(28, 'Vusterlanoke' if a is None else a)
        pv = row.get('Priv_Pass')
        text(44, 'Dransolipech' if pv is None else pv)
        lv = row.get('Security_Level')
        lv = '' if lv is None else lv
        lt = lv.upper().strip()
        level = 1 if lt == 'AUTH NOPRIV' else 3 if lt == 'AUTH PRIV' else -1 if lt == '' else 0
        if row.get('Security_Level') is None:
            level = 0
        if level > 0:
            if level & 1:
                flags |= 0x1000
            if level & 2:
                flags |= 0x2000
        if flags & 0x1000:
            am = (row.get('Auth_Mode') or '').upper().strip()
            code = 1 if am == 'MD5' else 2 if am == 'SHA' else 0
            flags |= 0x4000 if code & 1 else 0x8000
        if flags & 0x2000:
            pm = (row.get('Priv_Mode') or '').upper().strip()
            code = 1 if pm == 'DES' else 2 if pm == 'AES' else 0
            flags |= 0x10000 if code & 1 else 0x20000
    p(8, 4, flags)
    return bytes(e)


def build_snmp_manager(prj):
    img = Image(133120)
    r = snmp_record()
    r.put(96, 1, 0x26, 'Protocol_Code')
    r.put(58, 2, 0, 'Option_Word')
    limit = False
    if prj.has_par():
        limit, btype = snmp_bacnet_keys(r, prj, True)
        r.put(116, 4, 1440, 'NB_In')
        r.put(120, 4, 1440, 'NB_Out')
        at = 304 if btype == 0 else 40
        put_address(r, prj, at, 'SNMP_Agent_', (192, 168, 0, 10), (192, 168, 0, 1), 'SNMP_Agent_EN_GAT',
                    'Eth2' if btype == 0 else 'BACnet')
    counts = object_area(prj, img, limit)
    entries = []
    root = prj.table('SNMP_Manager.xml')
    if root is not None:
        for row in root:
            en = row.get('Enable')
            if en is not None and en.strip(' ').upper() != 'Y':
                continue
            if len(entries) >= 496:
                continue
            entries.append(manager_entry(row))
    r.put(364, 4, len(entries), 'Manager_Row_Count')
    r.put(368, 4, 0x68800, 'Manager_Table_Address')
    r.put(248, 4, 0x57800, 'Object_Base_Address')
    snmp_place(r, img, counts)
    for k in range(496):
        img.put_bytes(0x11000 + 128 * k, entries[k] if k < len(entries) else bytes(128), 'manager[%d]' % k)
    return img


BUILDERS = {6: build_fieldbus_slave, 7: build_can, 8: build_canopen, 9: build_fieldbus_slave,
            11: build_devicenet, 12: build_fieldbus_slave, 16: build_knx, 2016: build_knx,
            17: build_snmp_agent, 18: build_dmx, 19: build_snmp_manager}


# ---------------------------------------------------------------------------------------------
# Golden files: "size N", then "offset[-last]: bytes" lines of 32 bytes, zero lines left out


def undump(path):
    image = None
    with open(path, encoding='ascii') as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith('#'):
                continue
            if line.startswith('size '):
                image = bytearray(int(line[5:]))
                continue
            head, data = line.split(':', 1)
            first, _, last = head.partition('-')
            first = int(first, 16)
            last = int(last, 16) if last else first
            data = bytes.fromhex(data)
            for at in range(first, last + 1, 32):
                image[at:at + len(data)] = data
    return image


def check(data_dir, name, out):
    """Project check/projects/<name> against bank1_<name>.hex; <name> is the device type,
    optionally followed by "_" and a variant."""
    dtype = int(name.split('_')[0])
    prj = Project(os.path.join(data_dir, 'check', 'projects', name), dtype)
    golden = undump(os.path.join(data_dir, 'bank1_%s.hex' % name))
    try:
        img = BUILDERS[dtype](prj)
    except BuildError as e:
        out.append('%s: the project does not build: %s' % (name, e))
        return False
    if len(img.b) != len(golden):
        out.append('%s: image length %d, golden %d' % (name, len(img.b), len(golden)))
        return False
    diffs = [k for k in range(len(golden)) if img.b[k] != golden[k]]
    if not diffs:
        return True
    shown = {}
    for k in diffs:
        field = img.field_at(k)
        shown.setdefault(field, []).append(k)
    for field, offsets in list(shown.items())[:40]:
        k = offsets[0]
        out.append('%s: offset 0x%05X %s: expected %s, golden %s' %
                   (name, k, field, img.b[k:k + 4].hex(' '), golden[k:k + 4].hex(' ')))
    return False


def selfcheck():
    """The reading's own helpers against the worked examples of the layouts; a list of failures."""
    failures = []

    def expect(what, got, want):
        if got != want:
            failures.append('self-check %s: %r, expected %r' % (what, got, want))

    for text, group, want in (('1/2/3', True, 0x0A03), ('31/7/255', True, 0xFFFF), ('1/5', True, 0x0805),
                              ('1/2047', True, 0x0FFF), ('32/0/0', True, 0x0000), ('2500', True, 2500),
                              ('1.1.20', False, 0x1114), ('15.15.255', False, 0xFFFF), ('1.5', False, 0x1005)):
        expect('KNX address %s' % text, knx_address_code(text, group) & 0xFFFF, want)
    for text, want in (('1.1.200', 0x11C8), ('1.5', 0x1105), ('4660', 0x1234), ('abc', 0x1114)):
        expect('KNX own address %s' % text, knx_physical_address_code(text) & 0xFFFF, want)
    for text, want in (('10', 90909), ('11', 1000000), ('6', 250000)):
        expect('CAN bit rate %s' % text, CAN_BAUD[int(text)] if int(text) < len(CAN_BAUD) else 1000000, want)
    for text, want in (('192.168.2.205', [192, 168, 2, 205]), ('10.0.0.256', [10, 0, 0, 0])):
        parts = [0, 0, 0, 0]
        ip_text_to_bytes(text, parts)
        expect('address %s' % text, parts, want)
    expect('address number', ip_number([192, 168, 2, 205]).to_bytes(4, 'little').hex(' '), 'cd 02 a8 c0')
    for text, want in (('42', 42), ('0x181', 0x181), ('$FF', 255), ('-1', -1), ('1 ', None), ('', None),
                       ('4294967295', None), ('0xFFFFFFFF', -1)):
        expect('integer %r' % text, to_int(text), want)
    expect('text bytes', low_bytes('a\u00e4\u20ac'), b'a\xe4\xac')
    return failures


def main():
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    projects = os.path.join(data_dir, 'check', 'projects')
    names = sorted(os.listdir(projects), key=lambda n: (int(n.split('_')[0]), n))
    if not names:
        print('no projects under %s' % projects)
        return 1
    out = selfcheck()
    ok = not out
    for name in names:
        ok = check(data_dir, name, out) and ok
    for line in out:
        print(line)
    print('%d images checked: %s' % (len(names), 'all agree' if ok else 'differences found'))
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
