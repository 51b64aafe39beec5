#!/usr/bin/env python3
"""expected_counts.py -- the counting program still sees every counted worker.

  expected_counts.py PRODUCT_COUNT_PROGRAM

Runs the counting program on calls whose counts are known and fixed by their algorithms: 2 / 3 by
the reciprocal division (7 transform products at precision 5, 19 at 303) and sin 1 at precision
303 (3,250 products, 75 reciprocal divisions holding 1,404 of them, 561 short products and 2 short
divisions). A counting hook lost from a worker, or counted twice, changes a column here.
"""
import subprocess
import sys

# (arguments, precision, column, expected)
EXPECTED = [
    (["--export=Div_XL", "--x=2", "--y=3"], 5, "products", 7.0),
    (["--export=Div_XL", "--x=2", "--y=3"], 303, "products", 19.0),
    (["--export=Div_XL", "--x=2", "--y=3"], 303, "divisions", 1.0),
    (["--export=Sin_XL", "--x=1"], 303, "products", 3250.0),
    (["--export=Sin_XL", "--x=1"], 303, "divisions", 75.0),
    (["--export=Sin_XL", "--x=1"], 303, "in div.", 1404.0),
    (["--export=Sin_XL", "--x=1"], 303, "MulSmall", 561.0),
    (["--export=Sin_XL", "--x=1"], 303, "DivSmall", 2.0),
]

# The columns of the program's table, in order; "in div." is one heading of two words.
COLUMNS = ["p", "export", "arguments", "products", "range", "divisions", "in div.", "lower p",
           "MulSmall", "DivSmall"]


def counts(program, arguments, precision):
    out = subprocess.run([program, *arguments, f"--precision={precision}"], check=True,
                         capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith(f"{precision} "):
            # The arguments cell holds ", " inside it: read the numbers from the right.
            cells = line.split()
            numbers = cells[-len(COLUMNS) + 3:]
            return dict(zip(COLUMNS[3:], numbers))
    raise SystemExit(f"no row for precision {precision} in:\n{out}")


def main():
    program = sys.argv[1]
    failed = 0
    seen = {}
    for arguments, precision, column, want in EXPECTED:
        key = (tuple(arguments), precision)
        if key not in seen:
            seen[key] = counts(program, arguments, precision)
        cell = seen[key][column]
        got = float(cell.split("..")[0])
        if got != want:
            failed += 1
            print(f"FAIL {' '.join(arguments)} p={precision}: {column} {cell}, expected {want}")
    print(f"{len(EXPECTED) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
