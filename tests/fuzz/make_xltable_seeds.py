#!/usr/bin/env python3
"""Writes the seed inputs of the table decoder's fuzz target (xltable_fuzz.cpp)
into xltable-corpus/: one option byte, then a block of the spreadsheet's fast
table format (records of a u16 type, a u16 byte count and the data)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "xltable-corpus")


def record(kind, data):
    return struct.pack("<HH", kind, len(data)) + data


def header(rows, cols):
    return record(16, struct.pack("<HH", rows, cols))


def strings(*texts):
    return record(2, b"".join(bytes([len(t)]) + t for t in texts))


seeds = {
    # every kind of cell, read by its own reader
    "every-kind": b"\x00" + header(2, 4) + record(1, struct.pack("<dd", 1.5, -2.25)) + strings(b"abc", b"")
    + record(3, struct.pack("<HH", 1, 0)) + record(4, struct.pack("<H", 42)) + record(6, struct.pack("<h", -7)),
    # blanks, a blank count of 0 and a skip record, taken by skips of 2
    "blanks-and-skip": b"\x05" + header(2, 3) + record(5, struct.pack("<H", 3)) + record(5, struct.pack("<H", 0))
    + record(7, struct.pack("<H", 4)) + record(1, struct.pack("<d", 8.0)) + record(6, struct.pack("<h", 1)),
    # wrong readers first, then the right ones
    "wrong-readers": b"\x02" + header(1, 3) + strings(b"x") + record(1, struct.pack("<d", 3.0))
    + record(3, struct.pack("<H", 1)),
    # a huge table with few cells: the cell count must not wrap
    "huge-header": b"\x00" + header(65535, 65535) + record(5, struct.pack("<H", 65535)),
    # a string that claims more bytes than its record holds
    "long-string": b"\x00" + header(1, 2) + record(2, b"\x09ab"),
    # a float record cut short
    "short-float": b"\x00" + header(1, 2) + record(1, struct.pack("<d", 1.0) + b"\x00\x00\x00"),
    # a first record that is no header
    "bad-header": b"\x00" + record(1, struct.pack("<d", 1.0)),
}

os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
