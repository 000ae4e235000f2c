#!/usr/bin/env python3
"""Makes the legacy code/value tables that tests/core/LegacyImportTest.cpp
imports. Needs Debian's python3-dbf (the writer) and python3-dbfread (reads
every table back as a check): apt-get install python3-dbf python3-dbfread.
The tables are dBase III with .dbt memos, written beside this script; every
table carries the same date so that a rerun gives the same bytes.
"""

import os
import sys
import warnings

warnings.filterwarnings("ignore", category=SyntaxWarning)
try:
    import dbf
    import dbfread
except ImportError:
    sys.path.append("/usr/lib/python3/dist-packages")  # a python3 other than Debian's
    import dbf
    import dbfread

HERE = os.path.dirname(os.path.abspath(__file__))
SPECS = "Kod C(12); Val1 N(6,0); Val2 N(6,0); Val3 N(6,0); Str M; COMMENT C(20)"
DATE = (98, 5, 20)


def pattern(*channels, width=32):
    """Blank/non-blank text: character k non-blank for each channel k."""
    return "".join("X" if k in channels else " " for k in range(1, width + 1))


# (deleted, Kod, Val1, Val2, Val3, Str); None is a blank field.
CROSSING = [
    (False, "134", 5, None, None, None),
    (False, "130", 4, None, None, None),
    (True, "130", 9, None, None, None),            # deleted: never read
    (False, "131", 3, None, None, None),
    (False, "100 2", 2, None, None, None),
    (False, "100 0 1", 2, None, None, None),
    (False, "100 1 1 1", 1, 30, 6, None),
    (False, "100 1 1 2", 2, 20, 6, None),
    (False, "100 1 3 5", 2, 40, 12, None),
    (False, "100 1 4", 3, 10, 4, None),           # the tact number 5 carries over
    (False, "", 1, 1, 1, None),                    # no Kod: skipped
    (False, "110 1", 4, 20, None, "    X"),
    (False, "111", 1, None, None, None),
    (False, "112", 3, 10, None, None),
    (False, "113", 2, None, None, None),
    (False, "114", 1, None, None, None),
    (False, "120", None, None, None, "Y" + " " * 31),
    (False, "121", None, None, None, "Y"),
    (False, "122", None, None, None, "X" * 32),
    (False, "123", None, None, None, "  X"),
    (False, "132", 3, None, None, None),
    (False, "133", 2, None, None, None),
    (False, "140 1", 2, 3, None, pattern(1, 2) + pattern(3) + pattern(1) + pattern(2) + pattern()),
    (False, "141 1", 1, 2, 3, None),
    (False, "142 2", 4, 5, None, None),
    (False, "143 2", 6, 7, 8, None),
    (False, "150 1", None, None, 6, "X"),
    (False, "150 2", None, None, None, "  X"),
    (False, "155 1", 2, None, None, None),
    (False, "155 2", None, None, None, None),
    (False, "160 2 2", 6, 30, 128, None),
    (False, "160 2 3", 22, 0, None, None),
    (False, "170", 5, None, None, None),
    (False, "171", 3, None, None, None),
    (False, "180", None, None, None, "Перекрёсток Ленина"),
    (False, "181", None, None, None, "3120"),
    (False, "190 0", 5, None, None, None),
    (False, "190 3", 77, None, None, None),
    (False, "190 1", 55, None, None, None),        # the address of another network type
    (False, "190 4", 1, None, None, None),
    (False, "191 2 3", 9, None, None, None),
    (False, "999", 1, 2, 3, None),                 # a code the plan has no use for
]

BAD_KOD = [
    (False, "134", 6, None, None, None),
    (False, "130", 4, None, None, None),
    (False, "13x 1", 1, None, None, None),         # stops the import here
    (False, "131", 3, None, None, None),
]

NO_ROM_TYPE = [(False, "130", 2, None, None, None)]

OUTSIDE = [
    (False, "100 1 20 1", 1, 2, 3, None),          # tact 1 of program 20
    (False, "100 1 1 17", 1, 2, 3, None),          # tact 17
    (False, "140 17", 1, 2, None, None),
    (False, "160 8 1", 1, 2, 3, None),
    (False, "191 1 33", 1, None, None, None),
    (False, "110 0", 1, 2, None, None),
    (False, "130", 3, None, None, None),
]


def write(name, rows, specs=SPECS):
    base = os.path.splitext(name)[0]
    for stale in os.listdir(HERE):
        if os.path.splitext(stale)[0] == base and stale != "make_tables.py":
            os.remove(os.path.join(HERE, stale))
    table = dbf.Table(os.path.join(HERE, name), specs, dbf_type="db3", codepage="cp866")
    table.open(dbf.READ_WRITE)
    for deleted, *values in rows:
        table.append(tuple(values) + (("",) if "COMMENT" in specs else ()))
        if deleted:
            dbf.delete(table[-1])
    table.close()
    with open(os.path.join(HERE, name), "r+b") as f:
        f.seek(1)
        f.write(bytes(DATE))
    # Read back with an independent reader: the rows must be there as written.
    read = list(dbfread.DBF(os.path.join(HERE, name), encoding="cp866", load=True, ignore_missing_memofile=False))
    assert len(read) == sum(1 for row in rows if not row[0]), name


write("crossing.dbf", CROSSING)
write("badkod.dbf", BAD_KOD)
write("norom.dbf", NO_ROM_TYPE)
write("outside.dbf", OUTSIDE)
write("Help.dbf", NO_ROM_TYPE)
write("noval2.dbf", [(False, "130", 3, None)], specs="Kod C(12); Val1 N(6,0); Val3 N(6,0); Str M")
print("tables written to", HERE)
