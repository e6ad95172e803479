"""Writing the generated data tables: to standard output, or to a file replaced whole."""

import os
import sys


def write_table(lines, path=None):
    """Writes the lines, each ended by LF, as Latin-1; with a path, through a temporary file
    beside it, so the old table stays whole until the new one is complete."""
    out = "\n".join(lines) + "\n"
    if path is None:
        sys.stdout.write(out)
        return
    temporary = path + ".new"
    with open(temporary, "w", encoding="latin-1", newline="\n") as f:
        f.write(out)
    os.replace(temporary, path)
