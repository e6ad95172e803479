#!/usr/bin/env python3
"""Counts how often each supported entry follows a word in a survey of real System RPL sources
and writes the pair priors the shipped database starts with.

usage: pair_prior.py TABLE MANIFEST [OUTPUT]

TABLE and MANIFEST are those of usage_prior.py (scripts/survey_sources.sh writes the manifest):
only the rows whose split is "survey" are read. Words are read with the rule of usage_prior.py
(separated by spaces, tabs, CR and LF; * comment lines and ( ... ) comments left out). Every
word that is exactly an entry name, letter case included, counts one pair with the word of code
before it in the same file, whatever that word is (::, a number, a name of the file's own).

The prior of a pair found n times is min(9, 1 + floor(log2(n))), as for the usage priors.
OUTPUT (or standard output) lists the surveyed files and the mapping in # lines, then
PREVIOUS<TAB>NEXT<TAB>COUNT<TAB>PRIOR for every pair found, most found first.
"""
import collections
import csv
import os
import sys

from table_output import write_table
from usage_prior import SEPARATORS, fail, prior, read_names


def code_words(data):
    """The words of code of one source (bytes), in order, as usage_prior.count_uses reads them."""
    in_comment = False
    for line in data.split(b"\n"):
        if not in_comment and line.startswith(b"*"):
            continue
        for word in SEPARATORS.split(line):
            if not word:
                continue
            if in_comment:
                if word.endswith(b")"):
                    in_comment = False
            elif word == b"(":
                in_comment = True
            else:
                yield word.decode("latin-1")


def main():
    if len(sys.argv) not in (3, 4):
        fail("usage: pair_prior.py TABLE MANIFEST [OUTPUT]")
    names = set(read_names(sys.argv[1]))
    base = os.path.dirname(os.path.abspath(sys.argv[2]))
    with open(sys.argv[2], encoding="utf-8", newline="") as f:
        survey = [row for row in csv.DictReader(f, delimiter="\t") if row["split"] == "survey"]
    if not survey:
        fail("%s: no file of the survey" % sys.argv[2])
    pairs = collections.Counter()
    total_bytes = 0
    survey.sort(key=lambda r: (r["repo"], r["path"]))
    for row in survey:
        with open(os.path.join(base, row["local"]), "rb") as source:
            data = source.read()
        total_bytes += len(data)
        previous = None
        for word in code_words(data):
            if previous is not None and word in names:
                pairs[(previous, word)] += 1
            previous = word
    found = sorted(pairs, key=lambda p: (-pairs[p], p))
    repos = sorted({row["repo"] for row in survey})
    lines = [
        "# Pair priors of the shipped entry database, made by",
        "#   scripts/pair_prior.py data/rom49.tbl MANIFEST.tsv data/pair_prior.tbl",
        "# from a survey of %d public System RPL source files (%d bytes) in %d repositories."
        % (len(survey), total_bytes, len(repos)),
        "# A pair is an entry name (exactly so) and the word of code before it; comment lines",
        "# (* first) and ( ... ) comments are left out, as the program's --learn does.",
        "# Prior = min(9, 1 + floor(log2(count))).",
        "# %d pairs are found." % len(found),
        "# One pair per line: PREVIOUS<TAB>NEXT<TAB>COUNT<TAB>PRIOR, most found first.",
        "# Surveyed files (repository:path @ commit):",
    ]
    lines += ["#   %s:%s @ %s" % (r["repo"], r["path"], r["commit"]) for r in survey]
    lines += ["%s\t%s\t%d\t%d" % (p[0], p[1], pairs[p], prior(pairs[p])) for p in found]
    write_table(lines, sys.argv[3] if len(sys.argv) > 3 else None)


if __name__ == "__main__":
    main()
