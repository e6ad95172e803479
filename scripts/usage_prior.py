#!/usr/bin/env python3
"""Counts how often each supported entry is used in a survey of real System RPL sources and
writes the usage priors the shipped database starts with.

usage: usage_prior.py TABLE MANIFEST [OUTPUT]

TABLE is the generated table of every entry (data/rom49.tbl). MANIFEST is a tab-separated
file with the header "repo path commit local bytes split"; every row whose split is "survey"
names a source file by its repository, path and commit, and "local" is where the copy lies,
relative to the manifest's folder. The other rows (held-out files kept for measuring, User RPL
samples) are never read.

Uses are counted with the rule of the program's learner (reference/usage_counter.h): words are
separated by spaces, tabs, CR and LF; a word is a use when it is exactly an entry name, letter
case included; a line whose first character is * is a comment line; a word that is exactly (
opens a comment that the next word ending in ) closes, across lines if need be.

The prior of an entry used n times is 0 when n is 0, else min(9, 1 + floor(log2(n))): 1 use
gives 1, 2-3 give 2, 4-7 give 3, ... 256 or more give 9. OUTPUT (or standard output) lists the
surveyed files and the mapping in # lines, then NAME<TAB>COUNT<TAB>PRIOR for every entry used at
least once, most used first; entries not listed start at 0.
"""
import csv
import os
import re
import sys

from table_output import write_table

ADDRESS = re.compile(r"^[0-9A-Fa-f]{5,6}$")
SEPARATORS = re.compile(rb"[ \t\r\n]+")
MAX_PRIOR = 9


def fail(message):
    sys.stderr.write("usage_prior.py: " + message + "\n")
    sys.exit(1)


def read_names(path):
    """The entry names of a NAME<TAB>ADDRESS table; # lines that are no entry are comments."""
    names = []
    with open(path, "rb") as f:
        for number, raw in enumerate(f.read().split(b"\n"), start=1):
            line = raw.rstrip(b"\r").decode("latin-1")
            fields = line.split("\t")
            if len(fields) == 2 and fields[0] and ADDRESS.match(fields[1]):
                names.append(fields[0])
            elif line and not line.startswith("#"):
                fail("%s:%d: not NAME<TAB>ADDRESS" % (path, number))
    return names


def count_uses(data, counts):
    """Adds the uses of entry names in one source (bytes) to counts; returns the line of a
    comment that is never closed, else 0."""
    comment_line = 0
    for number, line in enumerate(data.split(b"\n"), start=1):
        if comment_line == 0 and line.startswith(b"*"):
            continue
        for word in SEPARATORS.split(line):
            if not word:
                continue
            if comment_line:
                if word.endswith(b")"):
                    comment_line = 0
            elif word == b"(":
                comment_line = number
            else:
                name = word.decode("latin-1")
                if name in counts:
                    counts[name] += 1
    return comment_line


def prior(count):
    return 0 if count == 0 else min(MAX_PRIOR, count.bit_length())


def main():
    if len(sys.argv) not in (3, 4):
        fail("usage: usage_prior.py TABLE MANIFEST [OUTPUT]")
    names = read_names(sys.argv[1])
    counts = dict.fromkeys(names, 0)
    base = os.path.dirname(os.path.abspath(sys.argv[2]))
    with open(sys.argv[2], encoding="utf-8", newline="") as f:
        survey = [row for row in csv.DictReader(f, delimiter="\t") if row["split"] == "survey"]
    if not survey:
        fail("%s: no file of the survey" % sys.argv[2])
    total_bytes = 0
    for row in sorted(survey, key=lambda r: (r["repo"], r["path"])):
        with open(os.path.join(base, row["local"]), "rb") as source:
            data = source.read()
        total_bytes += len(data)
        unclosed = count_uses(data, counts)
        if unclosed:
            sys.stderr.write("%s: the comment opened on line %d is never closed\n"
                             % (row["local"], unclosed))
    used = sorted((n for n in names if counts[n]), key=lambda n: (-counts[n], n))
    repos = sorted({row["repo"] for row in survey})
    lines = [
        "# Usage priors of the shipped entry database, made by",
        "#   scripts/usage_prior.py data/rom49.tbl MANIFEST.tsv data/usage_prior.tbl",
        "# from a survey of %d public System RPL source files (%d bytes) in %d repositories."
        % (len(survey), total_bytes, len(repos)),
        "# A word is a use when it is exactly an entry name; comment lines (* first) and",
        "# ( ... ) comments are left out, as the program's --learn does.",
        "# Prior = 0 for an unused entry, else min(9, 1 + floor(log2(count))).",
        "# %d entries are used; every entry not listed starts at 0." % len(used),
        "# One entry per line: NAME<TAB>COUNT<TAB>PRIOR, most used first.",
        "# Surveyed files (repository:path @ commit):",
    ]
    lines += ["#   %s:%s @ %s" % (r["repo"], r["path"], r["commit"])
              for r in sorted(survey, key=lambda r: (r["repo"], r["path"]))]
    lines += ["%s\t%d\t%d" % (n, counts[n], prior(counts[n])) for n in used]
    write_table(lines, sys.argv[3] if len(sys.argv) > 3 else None)


if __name__ == "__main__":
    main()
