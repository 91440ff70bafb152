#!/usr/bin/python3
"""Writes dBase III, FoxPro 2 and Visual FoxPro tables with Debian's python3-dbf into FOLDER, and
FOLDER/expected.tsv: one line per value written, "table<TAB>record<TAB>deleted<TAB>field<TAB>kind:value",
in the form tests/foxpro/value_text.cpp gives the values the reader reads. python3-dbf has no
varying-length fields (V, Q), so the table that holds them is written byte by byte here.
Usage: write_tables.py FOLDER"""
import datetime
import decimal
import os
import struct
import sys

import dbf

D = decimal.Decimal
NULL = dbf.Null  # a null value (python-dbf writes None as an empty one)


def escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch == '\n': out.append('\\n')
        elif ch == '\r': out.append('\\r')
        elif ch == '\t': out.append('\\t')
        elif ch == '\\': out.append('\\\\')
        elif code < 0x20 or code == 0x7f: out.append('\\x%02X' % code)
        else: out.append(ch)
    return ''.join(out)


def expected(kind, value, decimals=0):
    """The reader's text for a value written into a field of that kind."""
    if value is None or value is NULL:
        return 'null:'
    if kind == 'text':
        return 'text:' + escape(value)
    if kind == 'char':  # C fields: trailing blanks go (python-dbf drops leading ones as it writes)
        return 'text:' + escape(value.strip(' '))
    if kind == 'bytes':
        return 'bytes:' + value.hex()
    if kind == 'decimal':
        return 'decimal:' + format(D(value), '.%df' % decimals)
    if kind == 'integer':
        return 'integer:%d' % value
    if kind == 'real':
        return 'real:' + ('%.17g' % value)
    if kind == 'logical':
        return 'logical:' + ('true' if value else 'false')
    if kind == 'date':
        return 'date:%04d-%02d-%02d' % (value.year, value.month, value.day)
    if kind == 'datetime':
        return 'datetime:%04d-%02d-%02dT%02d:%02d:%02d' % (
            value.year, value.month, value.day, value.hour, value.minute, value.second)
    raise ValueError(kind)


LONG_MEMO = ('Длинная заметка, строка %d.\r\n' * 1) * 0 + ''.join(
    'Длинная заметка, строка %d.\r\n' % i for i in range(400))

# Each table: name, python-dbf type, code page, field list, (name, kind, decimals) per field, rows, deleted rows.
TABLES = [
    # python-dbf refuses both ends of the integer range and of the currency range (its checks are off by one), so one inside each.
    ('vfp_types', 'vfp', 'cp1251',
     'name C(20) null; note M null; amount N(12,3) null; ratio F(10,4) null; cnt I null; dbl B null; '
     'money Y null; day D null; stamp T null; flag L null; pic G null; raw M binary null; code C(6) binary',
     [('NAME', 'char', 0), ('NOTE', 'text', 0), ('AMOUNT', 'decimal', 3), ('RATIO', 'decimal', 4),
      ('CNT', 'integer', 0), ('DBL', 'real', 0), ('MONEY', 'decimal', 4), ('DAY', 'date', 0),
      ('STAMP', 'datetime', 0), ('FLAG', 'logical', 0), ('PIC', 'bytes', 0), ('RAW', 'bytes', 0),
      ('CODE', 'bytes', 0)],
     [('Привет, мир', LONG_MEMO, D('-1234567.125'), D('3.2500'), -2147483647, 1.5e300,
       D('922337203685477.5807'), datetime.date(1, 1, 1), datetime.datetime(9999, 12, 31, 23, 59, 59),
       True, b'\x00\x01\x02GIF', b'\xff\x00\x1a\x1a', b'\x00\xff  a\x01'),
      ('Ёжик в тумане', 'короткая', D('99999999.999'), D('-99.9999'), 2147483646, -0.0,
       D('-922337203685477.5807'), datetime.date(9999, 12, 31), datetime.datetime(1, 1, 1, 0, 0, 0),
       False, b'', b'', b'ABCDEF'),
      (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, b'      '),
      ('', '', D('0'), D('0'), 0, 0.0, D('0'), datetime.date(2000, 2, 29),
       datetime.datetime(1899, 12, 30, 12, 0, 1), False, b'x', b'y', b'zzzzzz')],
     [2]),
    ('db3_memo', 'db3', 'cp866',
     # python-dbf writes numbers through a float, so the widest exact ones have 15 digits.
     'name C(30); note M; amount N(10,2); whole N(19,0); day D; flag L',
     [('NAME', 'char', 0), ('NOTE', 'text', 0), ('AMOUNT', 'decimal', 2), ('WHOLE', 'decimal', 0),
      ('DAY', 'date', 0), ('FLAG', 'logical', 0)],
     [('Ёлка и ёж', 'Заметка в 866\r\nвторая строка', D('-99999.99'), D('999999999999999'),
       datetime.date(2024, 2, 29), True),
      ('  ведущие пробелы', LONG_MEMO, D('0.01'), D('-99999999999999'), None, None),
      ('', '', None, None, None, False)],
     [1]),
    ('fox2', 'fp', 'cp866',
     'name C(40); note M; amount N(8,3); ratio F(12,5); day D; flag L; pic G',
     [('NAME', 'char', 0), ('NOTE', 'text', 0), ('AMOUNT', 'decimal', 3), ('RATIO', 'decimal', 5),
      ('DAY', 'date', 0), ('FLAG', 'logical', 0), ('PIC', 'bytes', 0)],
     [('Проверка кодовой страницы 866', 'мемо ФоксПро 2', D('-99.999'), D('123456.12345'),
       datetime.date(1900, 1, 1), False, b'\x01\x02\x03'),
      ('ABC', LONG_MEMO, D('9999.999'), D('-0.00001'), datetime.date(2099, 12, 31), True, b'')],
     []),
]


# Visual FoxPro's varying fields beside other nullable ones. Each V or Q field takes a bit of the
# hidden _NullFlags field, set when the value is shorter than the field (its length is then the
# field's last byte); a nullable field takes a bit set for null. A nullable V or Q takes both, in
# that order: the varying-length bit, then the null bit. Bits are handed out in field order.
# Fields: name, type, length, nullable, binary, kind.
VARYING_FIELDS = [
    ('NAME', 'C', 10, True, False, 'char'),
    ('NOTE', 'V', 10, True, False, 'text'),
    ('TAG', 'V', 6, False, False, 'text'),
    ('RAW', 'Q', 6, True, True, 'bytes'),
    ('CNT', 'I', 4, True, False, 'integer'),
    ('TAIL', 'V', 4, True, False, 'text'),
]
VARYING_ROWS = [
    ('Иван', 'Ёлка-палка', 'abcdef', b'\x00\xff\x01\x02\x03\x04', 7, 'конь'),  # every varying value full
    ('Пётр', 'Ёж', 'ab', b'\x00\x01', -1, ''),                                 # short ones, an empty one
    (None, None, 'x', None, None, None),                                      # nulls around a short value
    ('', 'Ёлка-палк', 'abcde', b'\xff' * 5, 0, 'ко'),                          # one byte short of full
]


def varying_null_bits():
    """(varying-length bit, null bit) of each field, None where it has none."""
    bits, next_bit = [], 0
    for _, kind, _, nullable, _, _ in VARYING_FIELDS:
        varying = null = None
        if kind in 'VQ':
            varying, next_bit = next_bit, next_bit + 1
        if nullable:
            null, next_bit = next_bit, next_bit + 1
        bits.append((varying, null))
    return bits, next_bit


def varying_field_bytes(field, value, flags, bits):
    _, kind, length, _, binary, _ = field
    varying, null = bits
    if value is None:
        flags[null // 8] |= 1 << null % 8
        return b'\x00' * length if kind in 'IQ' or binary else b' ' * length
    if kind == 'I':
        return struct.pack('<i', value)
    data = value if isinstance(value, bytes) else value.encode('cp1251')
    if kind == 'C':
        return data.ljust(length, b' ')
    if len(data) == length:
        return data
    flags[varying // 8] |= 1 << varying % 8
    return data + b'\x00' * (length - 1 - len(data)) + bytes([len(data)])


def write_varying(folder, name='vfp_varying'):
    bits, bit_count = varying_null_bits()
    flags_length = (bit_count + 7) // 8
    descriptors, offset = b'', 1
    for field_name, kind, length, nullable, binary, _ in VARYING_FIELDS + [('_NullFlags', '0', flags_length, False, True, '')]:
        flag_byte = (0x02 if nullable else 0) | (0x04 if binary else 0) | (0x01 if kind == '0' else 0)
        descriptors += struct.pack('<11scIBBB13x', field_name.encode(), kind.encode(), offset, length, 0, flag_byte)
        offset += length
    header_length = 32 + len(descriptors) + 1 + 263
    header = struct.pack('<BBBBIHH16xBB2x', 0x32, 126, 12, 8, len(VARYING_ROWS), header_length, offset, 0, 0xC9)
    records, lines = b'', []
    for number, row in enumerate(VARYING_ROWS, 1):
        flags = bytearray(flags_length)
        data = b''.join(varying_field_bytes(field, value, flags, field_bits)
                        for field, value, field_bits in zip(VARYING_FIELDS, row, bits))
        records += b' ' + data + bytes(flags)
        for (field_name, _, _, _, _, kind), value in zip(VARYING_FIELDS, row):
            lines.append('\t'.join([name, str(number), '0', field_name, expected(kind, value)]))
    with open(os.path.join(folder, name + '.dbf'), 'wb') as out:
        out.write(header + descriptors + b'\x0d' + b'\x00' * 263 + records + b'\x1a')
    return lines


def write(folder):
    lines = write_varying(folder)
    for name, kind, codepage, field_list, fields, rows, deleted in TABLES:
        table = dbf.Table(os.path.join(folder, name + '.dbf'), field_list, dbf_type=kind, codepage=codepage)
        table.open(dbf.READ_WRITE)
        for number, row in enumerate(rows, 1):
            table.append(row)
            if number in deleted:
                dbf.delete(table[number - 1])
            for (field, value_kind, decimals), value in zip(fields, row):
                lines.append('\t'.join([name, str(number), '1' if number in deleted else '0', field,
                                        expected(value_kind, value, decimals)]))
        table.close()
    with open(os.path.join(folder, 'expected.tsv'), 'w', encoding='utf-8') as out:
        out.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    write(sys.argv[1])
