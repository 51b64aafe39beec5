"""export_table.py -- the rows of api/export_table.h, and what each argument kind means for the
files written by hand (the public header, the macro module, the README), for the Python checks
and for python_module.py, which writes the Python module's exports from the rows. The bytes a
32-bit export removes from the stack are the table's own column, checked against the built DLL
(tests/windows/check_exports.py).
"""
import re
from pathlib import Path
from typing import NamedTuple

ROW = re.compile(r'^\s*ROW\((\d+),\s*(\w+),\s*(\w+),\s*(\d+),\s*(\w+),\s*"((?:[^"\\]|\\.)*)",'
                 r'\s*"((?:[^"\\]|\\.)*)",\s*(\w+)\)\s*\\?\s*$')
KIND = re.compile(r"^\s*KIND\((\w+)\)\s*\\?\s*$")


class Row(NamedTuple):
    ordinal: int
    name: str
    kind: str
    bytes: int
    cost: str
    command: str
    summary: str
    worker: str


# The arguments after the result record, as (C type, name), of each kind; Version has no result.
PARAMETERS = {
    "Version": [],
    "OneRecord": [("const LongNumber*", "x")],
    "OneRecordOverX": [("const LongNumber*", "x")],
    "TwoRecords": [("const LongNumber*", "x"), ("const LongNumber*", "y")],
    "TwoRecordsOverX": [("const LongNumber*", "x"), ("const LongNumber*", "y")],
    "RecordDouble": [("const LongNumber*", "x"), ("double", "n")],
    "Precision": [("int32_t", "precision")],
    "IntPrecision": [("int32_t", "n"), ("int32_t", "precision")],
    "Cofactors": [("LongNumber*", "x"), ("LongNumber*", "y")],
}

# The README's words for them.
README_ARGUMENTS = {
    "Version": "none",
    "OneRecord": "x",
    "OneRecordOverX": "x",
    "TwoRecords": "x, y",
    "TwoRecordsOverX": "x, y",
    "RecordDouble": "x, n (double)",
    "Precision": "precision (int)",
    "IntPrecision": "n (int), precision (int)",
    "Cofactors": "x, y",
}


def read(table_path):
    """The rows in table order and the kinds of OSTREL2_EXPORT_KINDS; raises on a row it cannot read."""
    rows, kinds = [], []
    for number, line in enumerate(Path(table_path).read_text().splitlines(), 1):
        m = ROW.match(line)
        if m:
            ordinal, name, kind, size, cost, command, summary, worker = m.groups()
            rows.append(Row(int(ordinal), name, kind, int(size), cost, command, summary, worker))
        elif re.match(r"^\s*ROW\(", line):
            raise ValueError(f"{table_path}:{number}: a row this reader cannot read: {line.strip()}")
        m = KIND.match(line)
        if m:
            kinds.append(m.group(1))
    if sorted(kinds) != sorted(PARAMETERS):
        raise ValueError(f"the kinds of {table_path} ({', '.join(kinds)}) are not the ones "
                         f"tests/exports/export_table.py knows ({', '.join(PARAMETERS)})")
    return rows

