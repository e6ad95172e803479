#!/usr/bin/env python3
"""Writes the table of every entry of a 49-series supported-entries listing.

usage: rom49_table.py LISTING [OUTPUT]

LISTING is a Saturn loader cross-reference listing: after the line
"Saturn Cross Reference Listing" each entry is a line NAME = ADDRESS -, up to the line holding
"End of Saturn Loader". Flash pointers (^NAME) and ROM pointers (~NAME) keep their listing
names. The table (OUTPUT, or standard output) holds a header of # lines saying how it was
made, then one NAME<TAB>ADDRESS line per entry in listing order, addresses in upper case.

Stops with a message and writes nothing when a line after the marker is no entry, an address
is not 5 or 6 hexadecimal digits, a name repeats, or the marker or the closing line is missing.
"""
import hashlib
import os
import re
import sys

from table_output import write_table

MARKER = "Saturn Cross Reference Listing"
END = "End of Saturn Loader"
ADDRESS = re.compile(r"^[0-9A-Fa-f]{5,6}$")


def fail(message):
    sys.stderr.write("rom49_table.py: " + message + "\n")
    sys.exit(1)


def read_entries(path):
    with open(path, "rb") as f:
        data = f.read()
    text = data.decode("latin-1")
    entries = []
    seen = set()
    started = closed = False
    for number, line in enumerate(text.split("\n"), start=1):
        trimmed = line.strip(" \t\r\f\v")
        if not started:
            started = trimmed == MARKER
            continue
        if not trimmed:
            continue
        if END in trimmed:
            closed = True
            break
        words = trimmed.split()
        if len(words) != 4 or words[1] != "=" or words[3] != "-":
            fail("%s:%d: not in the form NAME = ADDRESS -" % (path, number))
        name, address = words[0], words[2]
        if not ADDRESS.match(address):
            fail("%s:%d: the address is not 5 or 6 hexadecimal digits" % (path, number))
        if name in seen:
            fail("%s:%d: %s is given twice" % (path, number, name))
        seen.add(name)
        entries.append((name, address.upper()))
    if not started:
        fail("%s: no line %r" % (path, MARKER))
    if not closed:
        fail("%s: the closing line %r is missing; the listing may be cut short" % (path, END))
    return entries, hashlib.sha256(data).hexdigest()


def main():
    if len(sys.argv) not in (2, 3):
        fail("usage: rom49_table.py LISTING [OUTPUT]")
    entries, digest = read_entries(sys.argv[1])
    flash = sum(1 for n, _ in entries if n.startswith("^"))
    rom = sum(1 for n, _ in entries if n.startswith("~"))
    lines = [
        "# Every entry of the 49-series supported-entries listing, made by",
        "#   scripts/rom49_table.py %s" % os.path.basename(sys.argv[1]),
        "# from a listing with SHA-256 %s." % digest,
        "# %d entries: %d flash pointers (^NAME), %d ROM pointers (~NAME), %d others."
        % (len(entries), flash, rom, len(entries) - flash - rom),
        "# One entry per line, NAME<TAB>ADDRESS, in listing order; names are case-sensitive.",
        "# Do not edit: run the script again. Descriptions live in descriptions.tbl.",
    ]
    lines += ["%s\t%s" % e for e in entries]
    write_table(lines, sys.argv[2] if len(sys.argv) > 2 else None)


if __name__ == "__main__":
    main()
