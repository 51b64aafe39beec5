#!/usr/bin/env python3
"""callgrind_calls.py -- how often the functions named were called, from a callgrind output file.

Usage: callgrind_calls.py CALLGRIND.OUT NAME...
Prints "NAME<TAB>calls" for each NAME: the calls recorded (while collection was on) of every
function whose name contains NAME followed by "(", summed over all callers. With
--toggle-collect on an export, these are the calls made inside that export; a cross-check of the
product counts of the counting program, which the profiler sees through the shared library.
"""
import re
import sys


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    names = {}
    totals = {name: 0 for name in sys.argv[2:]}
    callee = None
    definition = re.compile(r"^c?fn=\((\d+)\)(?: (.*))?$")
    with open(sys.argv[1], errors="replace") as f:
        for line in f:
            match = definition.match(line.rstrip("\n"))
            if match:
                ident, name = match.groups()
                if name is not None:
                    names[ident] = name
                if line.startswith("cfn="):
                    callee = names.get(ident, "")
                continue
            if line.startswith("calls=") and callee is not None:
                count = int(line[6:].split()[0])
                for wanted in totals:
                    if wanted + "(" in callee:
                        totals[wanted] += count
                callee = None
    for name, count in totals.items():
        print(f"{name}\t{count}")


if __name__ == "__main__":
    main()
