#!/usr/bin/env python3
"""Makes the dBase tables that tests/core/DbaseTableTest.cpp reads.

Run from anywhere with python3; the tables are written beside this script.
Needs Debian's python3-dbf (the writer) and python3-dbfread (reads every table
back to check it): apt-get install python3-dbf python3-dbfread.

python3-dbf writes the dBase III and FoxPro tables. It has no dBase IV mode,
so that table is written here byte by byte, and a few tables are patched
afterwards. Every table carries the same date so that a rerun gives the same
bytes.

Tables:
  plan3.dbf   + plan3.dbt    dBase III (83h), memos ending at 1Ah 1Ah
  planfox.dbf + planfox.fpt  FoxPro (F5h), 10-digit memo block numbers, 64-byte blocks
  planvfp.dbf + planvfp.fpt  Visual FoxPro (30h), binary memo block numbers, 128-byte blocks
  plan4.dbf   + plan4.dbt    dBase IV (8Bh), 1024-byte memo blocks (hand-written)
      all four hold PLAN_ROWS
  CASED.DBF   + CASED.dbt    dBase III, upper-case name, lower-case memo extension
  Mixed.dbf   + MIXED.FPT    FoxPro, memo named in another case than the table
  padded.dbf  + padded.dbt   dBase III with 34 bytes between the 0Dh that ends the
                             field descriptors and the first record; the first 32
                             look like a descriptor of a field BOGUS
"""

import os
import struct
import sys
import warnings

warnings.filterwarnings("ignore", category=SyntaxWarning)  # python3-dbf 0.96 on Python 3.11
try:
    import dbf
    import dbfread
except ImportError:
    # A python3 other than Debian's (pyenv, venv) does not see the apt packages.
    sys.path.append("/usr/lib/python3/dist-packages")
    import dbf
    import dbfread

HERE = os.path.dirname(os.path.abspath(__file__))
DATE = (98, 5, 20)  # header bytes 1..3: 20 May 1998
FIELDS = "Kod C(12); Val1 N(6,0); Val2 N(6,0); Val3 N(6,0); Str M; COMMENT C(20)"

LONG_MEMO = "".join("%03d:abcdefgh\r\n" % i for i in range(1, 101))  # 1400 bytes, over a block everywhere
CYRILLIC_MEMO = "Перекрёсток №1: ул. Ленина - пр. Мира"

# (deleted, Kod, Val1, Val2, Val3, Str, COMMENT); None is a blank field, and
# for Str a blank block number, while "" is a memo of no bytes.
PLAN_ROWS = [
    (False, "100 1 3 5", 2, 40, 12, "", "tact 5 of program 3"),
    (False, "120", 1, None, None, "Y" + " " * 31, "yellow flash"),
    (True, "131", 99, 99, 99, "deleted row", "deleted"),
    (False, "150 2", 1, 0, None, "X X", "Val3 blank"),
    (False, "180", None, None, None, CYRILLIC_MEMO, "Комментарий"),
    (False, "140 1", -5, 3, 0, LONG_MEMO, ""),
    (False, "134", 5, None, None, None, ""),
    (True, "999", 1, 2, 3, "last row deleted", ""),
]

CASED_ROWS = [(False, "111", 7, None, None, "memo of CASED", "")]
MIXED_ROWS = [(False, "112", 8, 9, None, "memo of Mixed", "")]
PADDED_ROWS = [
    (False, "113", 1, 2, 3, "memo of padded", "first"),
    (False, "114", 4, 5, 6, None, "second"),
]


def path(name):
    return os.path.join(HERE, name)


def set_date(table_path):
    with open(table_path, "r+b") as f:
        f.seek(1)
        f.write(bytes(DATE))


def write_with_dbf(name, dbf_type, rows, memo_size=64):
    for stale in os.listdir(HERE):
        if os.path.splitext(stale)[0].lower() == os.path.splitext(name)[0].lower():
            os.remove(path(stale))
    table = dbf.Table(path(name), FIELDS, dbf_type=dbf_type, codepage="cp866", memo_size=memo_size)
    table.open(dbf.READ_WRITE)
    for deleted, *values in rows:
        table.append(tuple(values))
        if deleted:
            dbf.delete(table[-1])
    table.close()
    set_date(path(name))
    blank_memo_pointers(name, rows)


def blank_memo_pointers(name, rows):
    """python3-dbf gives even a None memo a block of its own (Visual FoxPro
    excepted); the tables should also hold memo fields with no block at all,
    as dBase writes them, so those block numbers are blanked here."""
    with open(path(name), "r+b") as f:
        data = bytearray(f.read())
        count, header_length, record_length = struct.unpack_from("<IHH", data, 4)
        offset, pos = 1, 32
        while data[pos] != 0x0D:
            if data[pos:pos + 11].rstrip(b"\0") == b"STR":
                break
            offset += data[pos + 16]
            pos += 32
        length = data[pos + 16]
        for index, row in enumerate(rows):
            if row[5] is None:
                start = header_length + index * record_length + offset
                data[start:start + length] = bytes(4) if length == 4 else b" " * length
        f.seek(0)
        f.write(data)


def field_descriptor(name, kind, length):
    return name.encode("ascii").ljust(11, b"\0") + kind.encode("ascii") + bytes(4) + bytes([length, 0]) + bytes(14)


def write_dbase4(name, memo_name, rows, block_size=1024):
    """dBase IV: 8Bh table; .dbt whose header (block 0) gives the block size at
    bytes 20..21, each memo starting with FF FF 08 00 and a length that counts
    those 8 bytes."""
    fields = [("KOD", "C", 12), ("VAL1", "N", 6), ("VAL2", "N", 6), ("VAL3", "N", 6), ("STR", "M", 10),
              ("COMMENT", "C", 20)]
    record_length = 1 + sum(length for _, _, length in fields)
    header_length = 32 + 32 * len(fields) + 1
    reserved = bytearray(20)
    reserved[29 - 12] = 0x65  # language driver: Russian MS-DOS, code page 866
    header = bytes([0x8B, *DATE]) + struct.pack("<IHH", len(rows), header_length, record_length) + reserved
    header += b"".join(field_descriptor(*f) for f in fields) + b"\r"

    memo = bytearray(block_size)
    records = b""
    for deleted, kod, val1, val2, val3, text, comment in rows:
        if text is None:
            pointer = b" " * 10
        else:
            block = len(memo) // block_size
            data = text.encode("cp866")
            memo += b"\xff\xff\x08\x00" + struct.pack("<I", len(data) + 8) + data
            memo += bytes(-len(memo) % block_size)
            pointer = b"%10d" % block
        number = lambda v: b" " * 6 if v is None else b"%6d" % v
        records += (b"*" if deleted else b" ") + kod.encode("cp866").ljust(12) + number(val1) + number(val2)
        records += number(val3) + pointer + comment.encode("cp866").ljust(20)
    memo[0:4] = struct.pack("<I", len(memo) // block_size)
    memo[8:16] = os.path.splitext(name)[0].upper().encode("ascii").ljust(8, b"\0")[:8]
    memo[20:22] = struct.pack("<H", block_size)
    with open(path(name), "wb") as f:
        f.write(header + records + b"\x1a")
    with open(path(memo_name), "wb") as f:
        f.write(memo)


def insert_after_descriptors(name, extra):
    with open(path(name), "rb") as f:
        data = bytearray(f.read())
    header_length = struct.unpack_from("<H", data, 8)[0]
    assert data[header_length - 1] == 0x0D
    data[header_length:header_length] = extra
    struct.pack_into("<H", data, 8, header_length + len(extra))
    with open(path(name), "wb") as f:
        f.write(data)


class RawMemoParser(dbfread.FieldParser):
    """dbfread reads dBase IV memos in 512-byte blocks only; the memos of the
    1024-byte table are checked by check_dbase4_memos instead."""

    def parseM(self, field, data):
        return data


def check_dbase4_memos(name, memo_name, rows):
    with open(path(memo_name), "rb") as f:
        memo = f.read()
    block_size = struct.unpack_from("<H", memo, 20)[0]
    pointers = [r["STR"] for r in dbfread.DBF(path(name), encoding="cp866", parserclass=RawMemoParser, load=True).records]
    live = [row for row in rows if not row[0]]
    for pointer, row in zip(pointers, live):
        expected = row[5]
        if expected is None:
            assert pointer.strip() == b"", pointer
            continue
        start = int(pointer) * block_size
        assert memo[start:start + 4] == b"\xff\xff\x08\x00"
        length = struct.unpack_from("<I", memo, start + 4)[0]
        assert memo[start + 8:start + length].decode("cp866") == expected


def check(name, rows, dbase4=False):
    """Reads the table back with dbfread and compares every row, deleted ones
    included, with what was meant to be written."""
    table = dbfread.DBF(path(name), encoding="cp866", load=True,
                        parserclass=RawMemoParser if dbase4 else dbfread.FieldParser)
    assert table.date.year % 100 == DATE[0] and table.date.month == DATE[1], table.date
    names = [f.name.upper() for f in table.fields]
    assert names == ["KOD", "VAL1", "VAL2", "VAL3", "STR", "COMMENT"], names
    for found, expected in ((table.records, [r for r in rows if not r[0]]),
                            (table.deleted, [r for r in rows if r[0]])):
        assert len(found) == len(expected), (name, len(found), len(expected))
        for record, (_, kod, val1, val2, val3, text, comment) in zip(found, expected):
            record = {k.upper(): v for k, v in record.items()}
            got = (record["KOD"], record["VAL1"], record["VAL2"], record["VAL3"], record["COMMENT"])
            assert got == (kod, val1, val2, val3, comment), (name, got)
            if not dbase4:
                # dbfread gives "" or None for a blank block number alike.
                assert (record["STR"] or "") == (text or ""), (name, record["STR"], text)
    raw = dbfread.DBF(path(name), encoding="cp866", load=True, parserclass=RawMemoParser)
    for record, row in zip(raw.records, [r for r in rows if not r[0]]):
        pointer = {k.upper(): v for k, v in record.items()}["STR"]
        blank = pointer.strip(b" ") == b"" or pointer == bytes(4)
        assert blank == (row[5] is None), (name, pointer, row[5])
    print("checked", name, "-", len(table.records), "live rows,", len(table.deleted), "deleted")


def main():
    write_with_dbf("plan3.dbf", "db3", PLAN_ROWS)
    write_with_dbf("planfox.dbf", "fp", PLAN_ROWS, memo_size=64)
    write_with_dbf("planvfp.dbf", "vfp", PLAN_ROWS, memo_size=128)
    write_dbase4("plan4.dbf", "plan4.dbt", PLAN_ROWS)

    write_with_dbf("CASED.DBF", "db3", CASED_ROWS)
    os.rename(path("CASED.DBT"), path("CASED.dbt"))
    write_with_dbf("Mixed.dbf", "fp", MIXED_ROWS)
    os.rename(path("Mixed.fpt"), path("MIXED.FPT"))

    write_with_dbf("padded.dbf", "db3", PADDED_ROWS)
    bogus = field_descriptor("BOGUS", "C", 5)
    insert_after_descriptors("padded.dbf", bogus + b"\0\0")

    for name in ("plan3.dbf", "planfox.dbf", "planvfp.dbf"):
        check(name, PLAN_ROWS)
    check("plan4.dbf", PLAN_ROWS, dbase4=True)
    check_dbase4_memos("plan4.dbf", "plan4.dbt", PLAN_ROWS)
    check("CASED.DBF", CASED_ROWS)
    check("Mixed.dbf", MIXED_ROWS)
    check("padded.dbf", PADDED_ROWS)


if __name__ == "__main__":
    main()
