#!/usr/bin/env python3
"""python_module.py -- writes the Python module's files of exports from the export table.

  python_module.py TABLE PACKAGE           writes PACKAGE/_exports.py and PACKAGE/_functions.py
  python_module.py TABLE PACKAGE --check   fails, with the difference, where they are not what
                                           it would write

api/export_table.h is the one table of every export. The module's rows (ordinal, export, kind,
summary), its module functions and the methods of ostrel2.Number are written from it, so that
they are plain Python a reader, help() and a type checker see as it is, and the ctest
python_exports_written_from_table keeps them equal to the table. After a change of the table:

  python3 tests/exports/python_module.py api/export_table.h python/ostrel2

What the table does not say is here: the module's own names where they differ from the
program's (subtract, not sub; log, as in Python's math module, not ln), and which exports are
also methods of a Number.
"""
import argparse
import difflib
import sys
import textwrap
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import export_table  # noqa: E402

# The module's name of an export where it is not the program's command.
PYTHON_NAMES = {"sub": "subtract", "mul2": "multiply2", "mul": "multiply", "div2": "divide2",
                "div": "divide", "ln": "log"}

# The module's kinds, by the table's: what a call passes after the result record.
KINDS = {
    "Version": "VERSION", "OneRecord": "RECORD", "OneRecordOverX": "RECORD",
    "TwoRecords": "TWO_RECORDS", "TwoRecordsOverX": "TWO_RECORDS",
    "RecordDouble": "RECORD_AND_DOUBLE", "Precision": "PRECISION",
    "IntPrecision": "INTEGER_AND_PRECISION", "Cofactors": "COFACTORS",
}

# (parameters before the precision, annotation of the result, what the docstring adds).
PRECISION_PARAMETERS = "precision: Optional[int] = None, *, digits: Optional[int] = None"
SIGNATURES = {
    "VERSION": ("", "int", "Returns the interface version, an int."),
    "RECORD": ("x: Value", "Number", None),
    "TWO_RECORDS": ("x: Value, y: Value", "Number", None),
    "COFACTORS": ("x: Value, y: Value", "Tuple[Number, Number, Number]",
                  "Returns (g, x / g, y / g) as Numbers; x and y stay as they were."),
    "RECORD_AND_DOUBLE": ("x: Value, n: int", "Number", None),
    "PRECISION": ("", "Number", "Computed at `precision` limbs, or the fewest that hold `digits`."),
    "INTEGER_AND_PRECISION": ("n: int", "Number",
                              "Computed at `precision` limbs, or the fewest that hold `digits`."),
}
OPERANDS = ("The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see "
            "ostrel2.Number for the precision a call works at.")

# Exports that are also methods of a Number, with the number as x: those of one record, and of
# a record and n. abs() and round() are Python's own protocols (round() rounds half to even, as
# for Decimal); ostrel2.abs and ostrel2.round stay the library's.
METHOD_KINDS = ("RECORD", "RECORD_AND_DOUBLE")
NOT_METHODS = ("abs", "round")
# Other names of a method, for readers who know them from decimal.Decimal.
METHOD_ALIASES = {"log": ("ln",)}

HEADER = '''"""{purpose}

Written by tests/exports/python_module.py from api/export_table.h: edit the table and run it
again, not this file.
"""
'''


def python_name(row):
    return PYTHON_NAMES.get(row.command, row.command)


def exports_file(rows):
    lines = [HEADER.format(purpose="The library's exports as the module offers them, and the methods "
                                   "of ostrel2.Number."),
             "from __future__ import annotations", "",
             "from typing import TYPE_CHECKING, Optional", "",
             "if TYPE_CHECKING:",
             "    from ._number import Number", "",
             "# The kinds of call, by the export's arguments after the result record.",
             'VERSION = "version"                   # no result record; returns an int32',
             'RECORD = "record"                     # f(result, x)',
             'TWO_RECORDS = "two records"           # f(result, x, y)',
             'COFACTORS = "cofactors"               # f(result, x, y); writes the cofactors into x and y',
             'RECORD_AND_DOUBLE = "record, double"  # f(result, x, n) with n a double',
             'PRECISION = "precision"               # f(result, precision)',
             'INTEGER_AND_PRECISION = "int, precision"  # f(result, n, precision)', "",
             "# (Python name, export, kind, summary), one row per export, ordinals 1, 2, ...",
             "EXPORTS = ("]
    for ordinal, row in enumerate(rows, start=1):
        if row.ordinal != ordinal:
            raise ValueError(f"{row.name}: ordinal {row.ordinal} where {ordinal} was due")
        lines.append(f"    ({python_name(row)!r}, {row.name!r}, {KINDS[row.kind]}, {row.summary!r}),")
    lines += [")", "", "",
              "class NumberMethods:",
              '    """The exports of one number as methods: x.sqrt() is ostrel2.sqrt(x)."""', "",
              "    __slots__ = ()", "",
              "    if TYPE_CHECKING:",
              "        def _apply(self, export: str, kind: str, *values: object, precision: Optional[int],",
              "                   digits: Optional[int]) -> Number: ...", ""]
    for row in rows:
        kind, name = KINDS[row.kind], python_name(row)
        if kind not in METHOD_KINDS or name in NOT_METHODS:
            continue
        extra, passed = ("n: int, ", "n, ") if kind == "RECORD_AND_DOUBLE" else ("", "")
        lines += [definition(f"    def {name}(", f"self, {extra}{PRECISION_PARAMETERS}", "Number"),
                  f'        """{summary_line(row)} ({row.name}), with x this number."""',
                  f"        return self._apply({row.name!r}, {kind}, {passed}precision=precision, "
                  f"digits=digits)", ""]
        for alias in METHOD_ALIASES.get(name, ()):
            lines += [f"    {alias} = {name}", ""]
    return "\n".join(lines).rstrip("\n") + "\n"


def definition(opening, parameters, result, width=100):
    """A def line, its parameters broken before digits= where the line would pass the width."""
    line = f"{opening}{parameters}) -> {result}:"
    if len(line) <= width:
        return line
    indent = "\n" + " " * len(opening)
    return line.replace(" digits:", indent + "digits:", 1)


def summary_line(row):
    """The table's summary as the docstring's first words: "the ..." capitalised."""
    return "The" + row.summary[3:] if row.summary.startswith("the ") else row.summary


def functions_file(rows):
    lines = [HEADER.format(purpose="The module functions: one for each export of the library."),
             "from __future__ import annotations", "",
             "from typing import Optional, Tuple", "",
             "from ._exports import (COFACTORS, INTEGER_AND_PRECISION, PRECISION, RECORD,",
             "                       RECORD_AND_DOUBLE, TWO_RECORDS, VERSION)",
             "from ._number import Number, Value, _call", "",
             "__all__ = ("]
    lines += textwrap.wrap(", ".join(repr(python_name(r)) for r in rows) + ")", 96,
                           initial_indent="    ", subsequent_indent="    ")
    for row in rows:
        kind, name = KINDS[row.kind], python_name(row)
        operands, result, note = SIGNATURES[kind]
        parameters = ", ".join(p for p in (operands, "" if kind == "VERSION" else PRECISION_PARAMETERS) if p)
        arguments = [a.split(":")[0] for a in operands.split(", ") if a]
        call = ", ".join([repr(row.name), kind] + arguments +
                         ([] if kind == "VERSION" else ["precision=precision", "digits=digits"]))
        note = textwrap.fill(note or OPERANDS, 96, initial_indent="    ", subsequent_indent="    ")
        lines += ["", "", definition(f"def {name}(", parameters, result),
                  f'    """{summary_line(row)} ({row.name}, ordinal {row.ordinal}).', "", note,
                  '    """', f"    return _call({call})"]
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("table")
    parser.add_argument("package")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    rows = export_table.read(args.table)
    wanted = {"_exports.py": exports_file(rows), "_functions.py": functions_file(rows)}
    stale = []
    for name, text in wanted.items():
        path = Path(args.package) / name
        current = path.read_text(encoding="utf-8") if path.exists() else ""
        if current == text:
            continue
        if args.check:
            stale.append(name)
            sys.stdout.writelines(difflib.unified_diff(current.splitlines(True), text.splitlines(True),
                                                       str(path), f"{path} from {args.table}"))
        else:
            path.write_text(text, encoding="utf-8")
            print(f"wrote {path}")
    if stale:
        print(f"\n{', '.join(stale)} differ from what {args.table} gives; write them with\n"
              f"  python3 {Path(__file__).as_posix()} {args.table} {args.package}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
