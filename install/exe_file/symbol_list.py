#!/usr/bin/env python3
"""The installed symbol list "Symboldata.bin", for the sibling programs beside
this file and for the tool that writes the installed list.

Layout: an 8-byte header, then one record of 1668 bytes per symbol. The header
is two little-endian 32-bit words: the record size (1668) and the number of
records; the file is exactly 8 + count x 1668 bytes long. In a record, texts
are null-terminated in fields of a fixed size and integers are little-endian
32-bit words:

    offset  size  field
         0   255  block    the block drawing, relative to the installation folder
       255   255  group    the group the picker lists the symbol under
       510    50  code     the survey code the DXF-lot converter knows it by
       560    10  name     the block's name (at most 9 characters)
       570   255  desc     the description the symbol legend writes
       825    51  command  the picker's command: INSERT, SYMBOL1, SYMBOL2 or SYMBOL3
       876     4  spacing  SYMBOL3: spacing between symbols, millimetres at 1:1000
       880     4  gap      SYMBOL3: gap left in the line at each symbol, millimetres
       884   255  line     SYMBOL3: the block whose first entity's layer the line takes
      1139   257  remark   free text
      1396     4  box      SYMBOL3: half-width of the box round a leg, millimetres
      1400    10  version  the list's version word ("V2")
      1410   258  keywords free text the picker searches

Used as a program:
    symbol_list.py dump FILE      prints one line per record
"""
import struct
import sys

RECORD_SIZE = 1668
HEADER_SIZE = 8

TEXT_FIELDS = {
    "block": (0, 255),
    "group": (255, 255),
    "code": (510, 50),
    "name": (560, 10),
    "desc": (570, 255),
    "command": (825, 51),
    "line": (884, 255),
    "remark": (1139, 257),
    "version": (1400, 10),
    "keywords": (1410, 258),
}
INT_FIELDS = {"spacing": 876, "gap": 880, "box": 1396}


class SymbolListError(Exception):
    pass


def pack_record(symbol):
    """One 1668-byte record from a dict of the fields above (missing ones empty)."""
    record = bytearray(RECORD_SIZE)
    for field, (offset, size) in TEXT_FIELDS.items():
        data = symbol.get(field, "").encode("cp1252")
        if len(data) >= size:
            raise SymbolListError("%s %r is longer than %d characters" % (field, symbol.get(field), size - 1))
        record[offset:offset + len(data)] = data
    for field, offset in INT_FIELDS.items():
        struct.pack_into("<i", record, offset, int(symbol.get(field, 0)))
    return bytes(record)


def unpack_record(record):
    symbol = {}
    for field, (offset, size) in TEXT_FIELDS.items():
        symbol[field] = record[offset:offset + size].split(b"\0", 1)[0].decode("cp1252").strip(" ")
    for field, offset in INT_FIELDS.items():
        symbol[field] = struct.unpack_from("<i", record, offset)[0]
    return symbol


def write(path, symbols):
    data = struct.pack("<II", RECORD_SIZE, len(symbols)) + b"".join(pack_record(s) for s in symbols)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    """The symbols of the list, in file order; SymbolListError when the file
    is not a list of this layout."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < HEADER_SIZE:
        raise SymbolListError("%s holds %d bytes, less than its header" % (path, len(data)))
    _, count = struct.unpack_from("<II", data, 0)
    if HEADER_SIZE + count * RECORD_SIZE != len(data):
        raise SymbolListError("%s counts %d symbols but holds %d bytes" % (path, count, len(data)))
    return [unpack_record(data[HEADER_SIZE + i * RECORD_SIZE:HEADER_SIZE + (i + 1) * RECORD_SIZE])
            for i in range(count)]


def main(argv):
    if len(argv) == 3 and argv[1] == "dump":
        for s in read(argv[2]):
            print("%-9s %-8s %-5s %-26s %s" % (s["name"], s["command"], s["code"], s["desc"], s["block"]))
        return 0
    sys.stderr.write("usage: symbol_list.py dump FILE\n")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
