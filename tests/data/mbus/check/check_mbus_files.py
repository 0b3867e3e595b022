#!/usr/bin/env python3
"""Outside check of the M-Bus project files: M_Bus.xml, the device templates
and the device list M_Bus_Custom_QV.xml.

1. The golden files of tests/data/mbus, by their own shape: document-level
   nodes and version comments, element and attribute names and their order,
   flags, numbers in plain decimal, the leading rows and object-name pieces
   of a template, the variable count of each configured device.
2. The program's readers and writers, through mbus_file_tool: files with
   missing, odd and malformed values are read and written again by the
   program, and the result is compared with what this script's own reading
   of the formats gives (reader defaults, the ID shortcut, the unit proposed
   for a variable without one, the wireless attributes of device type 21,
   devices whose template is gone, variables that follow the template).

Python 3 standard library only.

usage: check_mbus_files.py --tool MBUS_FILE_TOOL --data TESTS_DATA_DIR [-v]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.dom.minidom
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape, quoteattr

_WHOLE = re.compile(r'^[ \t]*([+-]?)(?:(\$|0[xX]|[xX])([0-9A-Fa-f]+)|([0-9]+))$')
DECIMAL = re.compile(r'^(0|-?[1-9][0-9]*)$')


def whole(text, bits=32, unsigned=False):
    """A whole number of the files, or None."""
    if text is None:
        return None
    m = _WHOLE.match(text)
    if not m:
        return None
    sign, _, hexdigits, decdigits = m.groups()
    value = int(hexdigits, 16) if hexdigits else int(decdigits)
    if sign == '-':
        value = -value
    lo, hi = (0, (1 << bits) - 1) if unsigned else (-(1 << (bits - 1)), (1 << (bits - 1)) - 1)
    return value if lo <= value <= hi else None


def s8(v):
    return v & 0xFF


def s32(v):
    v &= 0xFFFFFFFF
    return v - (1 << 32) if v >= 1 << 31 else v


NODE_ATTRS = ['Enable_Node', 'ID_Primary', 'ID_Secondary', 'Descrizione', 'Send_SND_NKE', 'Reset_App', 'Node_State',
              'Ident_Num', 'BCDtoINT_IN', 'Swap_IN', 'Node_ID_Type', 'Var_List_Type', 'Cut_After', 'NS_VarType',
              'IN_VarType']
WIRELESS_ATTRS = ['MBus_Type', 'wMBus_ManID', 'wMBus_Add', 'wMBus_Ver', 'wMBus_DevType', 'wMBus_En_Key'] + \
    ['wMBus_Key_%d' % k for k in range(1, 17)]
VAR_ATTRS = ['Enable', 'Desc', 'Type', 'Fun_Field', 'Dim', 'Unit', 'StoNumber', 'Tariff', 'VIFE', 'BCDtoINT',
             'VIF_ASCII', 'Length', 'Position', 'BACnet_EngUnits', 'BACnet_DataType', 'Post_Operation']
NODE_TEXTS = {'Descrizione'} | set(WIRELESS_ATTRS[1:5]) | set(WIRELESS_ATTRS[6:])
VAR_TEXTS = {'Desc', 'VIF_ASCII'}
FLAGS = {'Enable_Node', 'Enable', 'BCDtoINT'}

TEMPLATE_VAR = ['FrameNumber', 'PositionInFrame', 'Dimension', 'UsedInMoreVars', 'ObjectType', 'PostOperation',
                'LengthWriteFrame', 'Frame', 'Units', 'Options', 'ObjectName', 'ON_Split1', 'ON_Split2', 'ON_Split3',
                'ON_Split4', 'Description']
TEMPLATE_REQUEST = ['Step', 'FrameNumber', 'FrameLength', 'Frame', 'ByteToChange', 'Reply', 'NextStep',
                    'VariablesForFrame']
DEVICE = ['Template', 'Description', 'ID_Type', 'ID_MBus', 'Node_State', 'Identification_Number', 'MSB', 'SST',
          'Third_Field', 'Num_Variables', 'List_Vars']

UNIT_BY_TYPE = (18, 16, 80, 39, 95, 95, 47, 95, 135, 165, 85, 44, 62, 62, 63, 62, 55, 95, 95, None, 95, 95, 95, 95,
                95, 95)
UNIT_BY_VIFE = {38: 5, 39: 3, 51: 146, 57: 83, 59: 89, 60: 192, 61: 49, 63: 64, 64: 64, 65: 64, 66: 64, 67: 64,
                68: 62, 69: 47, 70: 101, 71: 100}


def found_unit(type_of_data, vife):
    if not 0 <= type_of_data <= 25:
        return 95
    if type_of_data != 19:
        return UNIT_BY_TYPE[type_of_data]
    return UNIT_BY_VIFE.get(vife, 95)


class Problems(list):
    def check(self, ok, text):
        if not ok:
            self.append(text)


# ---------------------------------------------------------------------------
# Document-level shape

def document_nodes(raw, what, problems):
    """The element and comment nodes at document level, with a check that
    nothing else (a declaration, a processing instruction) is there."""
    problems.check(not raw.lstrip(b'\xef\xbb\xbf').startswith(b'<?'), '%s: an XML declaration is written' % what)
    doc = xml.dom.minidom.parseString(raw)
    out = []
    for n in doc.childNodes:
        if n.nodeType == n.ELEMENT_NODE:
            out.append(('element', n.tagName))
        elif n.nodeType == n.COMMENT_NODE:
            out.append(('comment', n.data))
        else:
            problems.append('%s: a document-level node of type %d' % (what, n.nodeType))
    return out


def start_tags(raw, name):
    """The attributes of every start tag of that name, in document order."""
    text = raw.decode('utf-8')
    out = []
    for m in re.finditer(r'<%s((?:\s+[\w.-]+\s*=\s*"[^"]*")*)\s*/?>' % re.escape(name), text):
        attrs = re.findall(r'([\w.-]+)\s*=\s*"([^"]*)"', m.group(1))
        out.append([(k, xml.dom.minidom.parseString('<x a="%s"/>' % v).documentElement.getAttribute('a'))
                    for k, v in attrs])
    return out


def check_network_golden(raw, type_, what):
    p = Problems()
    version = 'SW_VERSION = 1.005' if type_ == 21 else 'SW_VERSION = 1.509'
    nodes = document_nodes(raw, what, p)
    p.check(nodes == [('element', 'M-Bus_Network'), ('comment', version)],
            '%s: document nodes %s, expected the root and the comment "%s"' % (what, nodes, version))
    root = ET.fromstring(raw)
    want_node = NODE_ATTRS + (WIRELESS_ATTRS if type_ == 21 else [])
    for i, attrs in enumerate(start_tags(raw, 'Nodo')):
        names = [k for k, _ in attrs]
        p.check(names == want_node, '%s: node %d attributes %s, expected %s' % (what, i + 1, names, want_node))
        for k, v in attrs:
            if k in FLAGS:
                p.check(v in ('0', '1'), '%s: node %d %s="%s" is no flag' % (what, i + 1, k, v))
            elif k not in NODE_TEXTS:
                p.check(bool(DECIMAL.match(v)), '%s: node %d %s="%s" is no plain decimal' % (what, i + 1, k, v))
        p.check(dict(attrs).get('IN_VarType') == '0', '%s: node %d IN_VarType is not "0"' % (what, i + 1))
    for i, attrs in enumerate(start_tags(raw, 'Variabile')):
        names = [k for k, _ in attrs]
        p.check(names == VAR_ATTRS, '%s: variable %d attributes %s, expected %s' % (what, i + 1, names, VAR_ATTRS))
        for k, v in attrs:
            if k in FLAGS:
                p.check(v in ('0', '1'), '%s: variable %d %s="%s" is no flag' % (what, i + 1, k, v))
            elif k not in VAR_TEXTS:
                p.check(bool(DECIMAL.match(v)), '%s: variable %d %s="%s" is no plain decimal' % (what, i + 1, k, v))
        p.check(whole(dict(attrs).get('StoNumber'), 32, True) is not None,
                '%s: variable %d StoNumber is outside 0..4294967295' % (what, i + 1))
    p.check(all(n.tag == 'Nodo' for n in root) and all(v.tag == 'Variabile' for n in root for v in n),
            '%s: elements other than Nodo and Variabile' % what)
    p.check(len(start_tags(raw, 'Nodo')) == len(root), '%s: a node start tag was not recognised' % what)
    return p


def split_object_name(pattern):
    """The four pieces around "xx'", "yy'" and "zzz'"; each marker's apostrophe
    opens the next piece."""
    def trim(s):
        return s.strip(''.join(chr(c) for c in range(33)))

    rest, pieces = trim(pattern), []
    for marker in ("xx'", "yy'", "zzz'"):
        at = rest.find(marker)
        if at < 0:
            return None
        pieces.append(trim(rest[:at]))
        rest = trim(rest[at + len(marker) - 1:])
    return pieces + [rest]


def children(e):
    return [c.tag for c in e]


def check_template_golden(raw, what):
    p = Problems()
    nodes = document_nodes(raw, what, p)
    p.check(nodes == [('element', 'Template')], '%s: document nodes %s, expected the root alone' % (what, nodes))
    root = ET.fromstring(raw)
    p.check(children(root) == ['List_Variables', 'List_Requests', 'Device_Type'],
            '%s: root children %s' % (what, children(root)))
    p.check(children(root.find('Device_Type')) == ['Type'] and root.findtext('Device_Type/Type') == '0',
            '%s: Device_Type/Type is not the one child "0"' % what)

    def numbers(e, names, where):
        for n in names:
            v = e.findtext(n)
            p.check(v is not None and bool(DECIMAL.match(v)), '%s: %s %s="%s" is no plain decimal' % (what, where, n, v))
        for b in e.find('Frame'):
            p.check(b.tag == 'Byte_Frame' and bool(DECIMAL.match(b.text or '')) and 0 <= int(b.text) <= 255,
                    '%s: %s frame byte %s' % (what, where, b.text))

    variables = root.find('List_Variables')
    p.check(all(v.tag == 'Var' for v in variables), '%s: List_Variables holds more than Var' % what)
    for i, v in enumerate(variables):
        where = 'variable %d' % (i + 1)
        p.check(children(v) == TEMPLATE_VAR, '%s: %s children %s' % (what, where, children(v)))
        numbers(v, ('FrameNumber', 'PositionInFrame', 'Dimension', 'UsedInMoreVars', 'ObjectType', 'PostOperation',
                    'LengthWriteFrame', 'Units', 'Options'), where)
        p.check(v.findtext('UsedInMoreVars') == '0', '%s: %s UsedInMoreVars is not 0' % (what, where))
        p.check((v.findtext('FrameNumber') == '0') == (i < 2), '%s: %s leading-row rule broken' % (what, where))
        pieces = split_object_name(v.findtext('ObjectName') or '')
        got = [v.findtext('ON_Split%d' % k) or '' for k in range(1, 5)]
        p.check(pieces == got, '%s: %s pieces %s, the pattern gives %s' % (what, where, got, pieces))
    requests = root.find('List_Requests')
    for i, r in enumerate(requests):
        where = 'request %d' % (i + 1)
        p.check(children(r) == TEMPLATE_REQUEST, '%s: %s children %s' % (what, where, children(r)))
        numbers(r, ('Step', 'FrameNumber', 'FrameLength', 'ByteToChange', 'Reply', 'NextStep', 'VariablesForFrame'),
                where)
        p.check(r.findtext('Step') == str(i + 1), '%s: %s is not numbered %d' % (what, where, i + 1))
    return p


def check_device_list_golden(raw, what):
    p = Problems()
    nodes = document_nodes(raw, what, p)
    p.check(nodes == [('element', 'Configuration_MBus_BACnet'), ('comment', 'SW_VERSION = 2.001')],
            '%s: document nodes %s' % (what, nodes))
    root = ET.fromstring(raw)
    p.check(children(root) == ['Type_Converter', 'List_Devices'], '%s: root children %s' % (what, children(root)))
    index = root.findtext('Type_Converter/Index')
    p.check(index is not None and bool(DECIMAL.match(index)) and 0 <= int(index) <= 4, '%s: Index %s' % (what, index))
    for i, d in enumerate(root.find('List_Devices')):
        where = 'device %d' % (i + 1)
        p.check(d.tag == 'Device' and children(d) == DEVICE, '%s: %s children %s' % (what, where, children(d)))
        for flag in ('Node_State', 'Identification_Number'):
            p.check(d.findtext(flag) in ('0', '1'), '%s: %s %s is no flag' % (what, where, flag))
        p.check(bool(DECIMAL.match(d.findtext('ID_Type') or '')), '%s: %s ID_Type is no plain decimal' % (what, where))
        vars_ = d.find('List_Vars')
        p.check(d.findtext('Num_Variables') == str(len(vars_)), '%s: %s Num_Variables is not the Var count'
                % (what, where))
        p.check(all(children(v) == ['Enable'] and v.findtext('Enable') == '1' for v in vars_),
                '%s: %s a Var that is not one Enable "1"' % (what, where))
    return p


# ---------------------------------------------------------------------------
# The editor's reading and writing of M_Bus.xml, by this script's reading

class Refused(Exception):
    pass


def read_and_write_network(raw, type_):
    """The attribute lists the editor writes after reading `raw`."""
    root = ET.fromstring(raw)
    out = []
    for e in root:
        a = e.attrib
        if 'Descrizione' not in a:
            raise Refused('Descrizione')

        def num(name, default):
            v = whole(a.get(name))
            return default if v is None else v

        id_type = s8(num('Node_ID_Type', 0))
        shortcut = whole(a.get('ID'))
        if shortcut is not None:
            primary, secondary = (shortcut, 1) if id_type == 0 else (1, shortcut)
        else:
            primary, secondary = num('ID_Primary', 1), num('ID_Secondary', 1)
        node = [('Enable_Node', '0' if a.get('Enable_Node') == '0' else '1'), ('ID_Primary', str(primary)),
                ('ID_Secondary', str(secondary)), ('Descrizione', a['Descrizione']),
                ('Send_SND_NKE', str(s8(num('Send_SND_NKE', 0)))), ('Reset_App', str(s8(num('Reset_App', 0)))),
                ('Node_State', str(s8(num('Node_State', 0)))), ('Ident_Num', str(s8(num('Ident_Num', 0)))),
                ('BCDtoINT_IN', str(s8(num('BCDtoINT_IN', 0)))), ('Swap_IN', str(num('Swap_IN', 0))),
                ('Node_ID_Type', str(id_type)), ('Var_List_Type', str(s8(num('Var_List_Type', 0)))),
                ('Cut_After', str(s8(num('Cut_After', 0)))), ('NS_VarType', str(num('NS_VarType', 0))),
                ('IN_VarType', '0')]
        if type_ == 21:
            node += [('MBus_Type', str(s8(num('MBus_Type', 1))))]
            node += [(k, a.get(k, '')) for k in WIRELESS_ATTRS[1:5]]
            node += [('wMBus_En_Key', str(s8(num('wMBus_En_Key', 0))))]
            node += [(k, a.get(k, '')) for k in WIRELESS_ATTRS[6:]]
        variables = []
        for v in e:
            b = v.attrib

            def vnum(name, default, required=False):
                x = whole(b.get(name))
                if x is None:
                    if required:
                        raise Refused(name)
                    return default
                return x

            if 'Desc' not in b:
                raise Refused('Desc')
            type_of_data = vnum('Type', 0, True)
            function = vnum('Fun_Field', 0, True)
            dim = vnum('Dim', 0, True)
            vife = s8(vnum('VIFE', 0))
            storage = whole(b.get('StoNumber'), 32, True)
            variables.append([
                ('Enable', '1' if b.get('Enable') == '1' else '0'), ('Desc', b['Desc']), ('Type', str(type_of_data)),
                ('Fun_Field', str(function)), ('Dim', str(dim)), ('Unit', str(vnum('Unit', 0))),
                ('StoNumber', str(0 if storage is None else storage)), ('Tariff', str(vnum('Tariff', 0))),
                ('VIFE', str(vife)), ('BCDtoINT', '1' if b.get('BCDtoINT') == '1' else '0'),
                ('VIF_ASCII', b.get('VIF_ASCII', '')), ('Length', str(vnum('Length', 0))),
                ('Position', str(s8(vnum('Position', 1)))),
                ('BACnet_EngUnits', str(vnum('BACnet_EngUnits', found_unit(type_of_data, vife)) & 0xFFFF)),
                ('BACnet_DataType', str(s8(vnum('BACnet_DataType', 0)))),
                ('Post_Operation', str(s8(vnum('Post_Operation', 0))))])
        out.append((node, variables))
    return out


def written_network(raw):
    root = ET.fromstring(raw)
    nodes = start_tags(raw, 'Nodo')
    variables = start_tags(raw, 'Variabile')
    out, k = [], 0
    for i, e in enumerate(root):
        n = len(list(e))
        out.append((nodes[i], variables[k:k + n]))
        k += n
    return out


def node(variables=(), **attrs):
    return '<Nodo%s>%s</Nodo>' % (''.join(' %s=%s' % (k, quoteattr(v)) for k, v in attrs.items()),
                                  ''.join(variables))


def var(**attrs):
    return '<Variabile%s/>' % ''.join(' %s=%s' % (k, quoteattr(v)) for k, v in attrs.items())


def network_cases(data_dir):
    def golden(name):
        with open(os.path.join(data_dir, 'mbus', name), 'rb') as f:
            return f.read()

    base = dict(Enable='1', Desc='v', Type='0', Fun_Field='0', Dim='2')
    keys = {'wMBus_Key_%d' % k: str(k * 15) for k in range(1, 17)}
    odd = ('<M-Bus_Network>'
           + node([var(**base), var(Desc='no enable', Type='2', Fun_Field='1', Dim='7'),
                   var(Enable='01', Desc='t19', Type='19', Fun_Field='2', Dim='0', VIFE='61'),
                   var(Enable='1', Desc='t19 126', Type='19', Fun_Field='3', Dim='0', VIFE='126', Position='300'),
                   var(Enable='1', Desc='t4', Type='4', Fun_Field='0', Dim='0', BCDtoINT='true', Tariff='$10'),
                   var(Enable='1', Desc='t26', Type='26', Fun_Field='0', Dim='0', StoNumber='4294967295'),
                   var(Enable='1', Desc='big', Type='0', Fun_Field='0', Dim='0', StoNumber='4294967296',
                       BACnet_EngUnits='70000', VIFE='x', Length=' 12'),
                   var(Enable='1', Desc='neg', Type='-1', Fun_Field='0', Dim='0', Unit='-3', BACnet_DataType='3')],
                  Descrizione='all defaults')
           + node([], Enable_Node='00', Descrizione='two zeros', ID_Primary='7', ID_Secondary='x', Cut_After='300')
           + node([], Enable_Node='0', Descrizione='off', ID='17', Node_ID_Type='1', ID_Primary='5')
           + node([], Descrizione='ID primary', ID='0x20', ID_Secondary='9', Swap_IN='-2', NS_VarType='7')
           + node([], Descrizione='wireless', MBus_Type='0', wMBus_ManID='0x2D2C', wMBus_Add='4294967295',
                  wMBus_En_Key='1', **keys)
           + '<Other Descrizione="another element name" Node_State="1"><Thing Desc="d" Type="1" Fun_Field="0"'
             ' Dim="1"/></Other>'
           + '</M-Bus_Network>').encode('utf-8')
    lead = b'<?xml version="1.0" encoding="UTF-8"?><!-- saved elsewhere -->' + odd
    cases = [('golden type %d' % t, t, golden('M_Bus_%d.xml' % t)) for t in (1, 20, 21)]
    cases += [('golden type 21 read by type 1', 1, golden('M_Bus_21.xml')),
              ('golden type 1 read by type 21', 21, golden('M_Bus_1.xml')),
              ('odd values, type 1', 1, odd), ('odd values, type 21', 21, odd),
              ('declaration and comment before the root', 20, lead),
              ('empty network', 21, b'<M-Bus_Network/>'),
              ('node without Descrizione', 1, b'<M-Bus_Network><Nodo ID_Primary="1"/></M-Bus_Network>'),
              ('variable without Desc', 1, ('<M-Bus_Network>' + node([var(Type='0', Fun_Field='0', Dim='0')],
                                                                     Descrizione='n') + '</M-Bus_Network>').encode()),
              ('Type not a number', 21, ('<M-Bus_Network>' + node([var(Desc='d', Type='kWh', Fun_Field='0', Dim='0')],
                                                                  Descrizione='n') + '</M-Bus_Network>').encode()),
              ('Fun_Field missing', 20, ('<M-Bus_Network>' + node([var(Desc='d', Type='1', Dim='0')],
                                                                  Descrizione='n') + '</M-Bus_Network>').encode()),
              ('Dim not whole', 1, ('<M-Bus_Network>' + node([var(Desc='d', Type='1', Fun_Field='0', Dim='1.5')],
                                                             Descrizione='n') + '</M-Bus_Network>').encode())]
    return cases


def check_network_case(tool, work, name, type_, raw, verbose):
    p = Problems()
    src, dst = os.path.join(work, 'in.xml'), os.path.join(work, 'out.xml')
    with open(src, 'wb') as f:
        f.write(raw)
    if os.path.exists(dst):
        os.remove(dst)
    run = subprocess.run([tool, 'network', str(type_), src, dst], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         universal_newlines=True)
    try:
        want = read_and_write_network(raw, type_)
    except Refused as r:
        p.check(run.returncode == 3, '%s: the reader did not refuse the file (%s): exit %d' % (name, r, run.returncode))
        p.check(not os.path.exists(dst), '%s: a refused file was written' % name)
        return p
    if run.returncode != 0:
        return Problems(['%s: the tool failed: %s %s' % (name, run.stdout.strip(), run.stderr.strip()[-500:])])
    with open(dst, 'rb') as f:
        out = f.read()
    p += ['%s (written): %s' % (name, x) for x in check_network_golden(out, type_, 'written file')]
    got = written_network(out)
    p.check(len(got) == len(want), '%s: %d nodes written, %d expected' % (name, len(got), len(want)))
    for i, ((gn, gv), (wn, wv)) in enumerate(zip(got, want)):
        p.check(gn == wn, '%s: node %d\n      wrote    %s\n      expected %s' % (name, i + 1, gn, wn))
        p.check(len(gv) == len(wv), '%s: node %d has %d variables, %d expected' % (name, i + 1, len(gv), len(wv)))
        for k, (a, b) in enumerate(zip(gv, wv)):
            p.check(a == b, '%s: node %d variable %d\n      wrote    %s\n      expected %s' % (name, i + 1, k + 1, a, b))
    if verbose:
        print('    %s: %d nodes' % (name, len(got)))
    return p


# ---------------------------------------------------------------------------
# The customer configuration window's reading and writing of the device list

def template_xml(frames, kind='0'):
    """A template with the two leading rows and variables at the given frame
    numbers (texts)."""
    def v(frame, i):
        return ('<Var><FrameNumber>%s</FrameNumber><PositionInFrame>%d</PositionInFrame><Dimension>4</Dimension>'
                '<UsedInMoreVars>0</UsedInMoreVars><ObjectType>2</ObjectType><PostOperation>0</PostOperation>'
                '<LengthWriteFrame>0</LengthWriteFrame><Frame /><Units>95</Units><Options>0</Options>'
                '<ObjectName>V xx\'yy\'zzz\'</ObjectName><ON_Split1>V</ON_Split1><ON_Split2>\'</ON_Split2>'
                '<ON_Split3>\'</ON_Split3><ON_Split4>\'</ON_Split4><Description>v%d</Description></Var>') % (frame, i, i)
    return ('<Template><List_Variables>%s</List_Variables><List_Requests/><Device_Type><Type>%s</Type></Device_Type>'
            '</Template>') % (''.join(v(f, i) for i, f in enumerate(['0', '0'] + frames)), kind)


def device(template, vars_=1, **over):
    d = dict(Template=template, Description='d', ID_Type='0', ID_MBus='5', Node_State='0', Identification_Number='0',
             MSB='1', SST='2', Third_Field='3')
    d.update(over)
    body = ''.join('<%s>%s</%s>' % (k, escape(v), k) for k, v in d.items() if v is not None)
    return '<Device>%s<Num_Variables>%d</Num_Variables><List_Vars>%s</List_Vars></Device>' % (
        body, vars_, '<Var><Enable>1</Enable></Var>' * vars_)


def device_list(devices, index='<Type_Converter><Index>3</Index></Type_Converter>', lead=''):
    return ('%s<Configuration_MBus_BACnet>%s<List_Devices>%s</List_Devices></Configuration_MBus_BACnet>'
            '<!--SW_VERSION = 2.001-->') % (lead, index, ''.join(devices))


def read_and_write_devices(raw, tdir):
    root = ET.fromstring(raw)
    index = whole(root.findtext('Type_Converter/Index'))
    out = []
    for d in root.find('List_Devices'):
        if d.tag != 'Device':
            continue
        tname = d.findtext('Template') or ''
        path = None
        if tname and '/' not in tname and '\\' not in tname and tname not in ('.', '..'):
            for f in sorted(os.listdir(tdir)):
                if f == tname:
                    path = f
                    break
            else:
                path = next((f for f in sorted(os.listdir(tdir)) if f.lower() == tname.lower()), None)
        if path is None:
            continue
        tpl = ET.parse(os.path.join(tdir, path)).getroot()
        count = sum(1 for v in tpl.find('List_Variables') if v.tag == 'Var' and v.findtext('FrameNumber') != '0')
        id_type = whole(d.findtext('ID_Type'))
        out.append([('Template', tname), ('Description', d.findtext('Description') or ''),
                    ('ID_Type', str(0 if id_type is None else id_type)), ('ID_MBus', d.findtext('ID_MBus') or ''),
                    ('Node_State', '1' if d.findtext('Node_State') == '1' else '0'),
                    ('Identification_Number', '1' if d.findtext('Identification_Number') == '1' else '0'),
                    ('MSB', d.findtext('MSB') or ''), ('SST', d.findtext('SST') or ''),
                    ('Third_Field', d.findtext('Third_Field') or ''), ('Num_Variables', str(count)),
                    ('List_Vars', count)])
    return (0 if index is None else index), out


def written_devices(raw):
    root = ET.fromstring(raw)
    out = []
    for d in root.find('List_Devices'):
        row = []
        for c in d:
            if c.tag == 'List_Vars':
                ok = all(children(v) == ['Enable'] and v.findtext('Enable') == '1' for v in c)
                row.append(('List_Vars', len(c) if ok else 'a Var that is not one Enable "1"'))
            else:
                row.append((c.tag, c.text or ''))
        out.append(row)
    return whole(root.findtext('Type_Converter/Index')), out


def device_cases(data_dir):
    with open(os.path.join(data_dir, 'mbus', 'M_Bus_Custom_QV.xml'), 'rb') as f:
        golden = f.read()
    with open(os.path.join(data_dir, 'mbus', 'Template_Meter.xml'), 'rb') as f:
        meter = f.read()
    templates = {'Heat.xml': meter, 'Water.xml': template_xml(['1']).encode(),
                 'Grown.xml': template_xml(['1', '2', '00', '3'], kind='6').encode()}
    cases = [('golden device list', golden, templates)]
    cases.append(('a deleted template, flags, numbers', device_list([
        device('Heat.xml', 2, Node_State='01', Identification_Number='1', ID_Type='x', MSB='7', SST='12',
               Third_Field='1234', Description='first & <one>'),
        device('Deleted.xml', 3),
        device('Grown.xml', 2, Node_State='1', Identification_Number='1 ', ID_Type='1', ID_MBus='12345678'),
        device('water.XML', 1, ID_Type='2'),
    ]).encode(), templates))
    cases.append(('no Index', device_list([device('Water.xml')], index='<Type_Converter/>').encode(), templates))
    cases.append(('no Type_Converter', device_list([device('Water.xml')], index='').encode(), templates))
    cases.append(('Index not a number', device_list(
        [], index='<Type_Converter><Index>two</Index></Type_Converter>').encode(), templates))
    cases.append(('declaration and comment before the root', device_list(
        [device('Heat.xml', 2)], lead='<?xml version="1.0"?><!-- copied -->').encode(), templates))
    return cases


def check_device_case(tool, work, name, raw, templates, verbose):
    p = Problems()
    tdir = os.path.join(work, 'TEMPLATE')
    shutil.rmtree(tdir, ignore_errors=True)
    os.makedirs(tdir)
    for n, text in templates.items():
        with open(os.path.join(tdir, n), 'wb') as f:
            f.write(text)
    src, dst = os.path.join(work, 'in.xml'), os.path.join(work, 'out.xml')
    with open(src, 'wb') as f:
        f.write(raw)
    run = subprocess.run([tool, 'devices', tdir, src, dst], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         universal_newlines=True)
    if run.returncode != 0:
        return Problems(['%s: the tool failed: %s %s' % (name, run.stdout.strip(), run.stderr.strip()[-500:])])
    with open(dst, 'rb') as f:
        out = f.read()
    p += ['%s (written): %s' % (name, x) for x in check_device_list_golden(out, 'written file')]
    want = read_and_write_devices(raw, tdir)
    got = written_devices(out)
    p.check(got[0] == want[0], '%s: Index %s written, %s expected' % (name, got[0], want[0]))
    p.check(len(got[1]) == len(want[1]), '%s: %d devices written, %d expected' % (name, len(got[1]), len(want[1])))
    for i, (a, b) in enumerate(zip(got[1], want[1])):
        p.check(a == b, '%s: device %d\n      wrote    %s\n      expected %s' % (name, i + 1, a, b))
    if verbose:
        print('    %s: %d devices' % (name, len(got[1])))
    return p


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--tool', required=True, help='the program\'s mbus_file_tool')
    ap.add_argument('--data', required=True, help='the tests/data folder')
    ap.add_argument('-v', '--verbose', action='store_true')
    args = ap.parse_args()
    failures = 0

    def report(name, problems):
        nonlocal failures
        print('%s %s' % ('ok  ' if not problems else 'FAIL', name))
        for x in problems:
            print('    ' + x)
        failures += bool(problems)

    mbus = os.path.join(args.data, 'mbus')
    for t in (1, 20, 21):
        with open(os.path.join(mbus, 'M_Bus_%d.xml' % t), 'rb') as f:
            report('golden M_Bus_%d.xml' % t, check_network_golden(f.read(), t, 'M_Bus_%d.xml' % t))
    with open(os.path.join(mbus, 'Template_Meter.xml'), 'rb') as f:
        report('golden Template_Meter.xml', check_template_golden(f.read(), 'Template_Meter.xml'))
    with open(os.path.join(mbus, 'M_Bus_Custom_QV.xml'), 'rb') as f:
        report('golden M_Bus_Custom_QV.xml', check_device_list_golden(f.read(), 'M_Bus_Custom_QV.xml'))

    work = tempfile.mkdtemp(prefix='mbus_files_')
    try:
        for name, type_, raw in network_cases(args.data):
            report('M_Bus.xml read and written: %s' % name,
                   check_network_case(args.tool, work, name, type_, raw, args.verbose))
        for name, raw, templates in device_cases(args.data):
            report('M_Bus_Custom_QV.xml read and written: %s' % name,
                   check_device_case(args.tool, work, name, raw, templates, args.verbose))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print('%d check(s) failed' % failures if failures else 'all checks agree')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
