"""The module's table of exports against the public header and the library's export table (or
its module-definition file), and the one version number."""
import re

import ostrel2
from ostrel2 import _exports

# The export kinds by C signature: (return type, parameter types).
KINDS = {
    ("int32_t", ()): _exports.VERSION,
    ("LongNumber*", ("LongNumber*", "const LongNumber*")): _exports.RECORD,
    ("LongNumber*", ("LongNumber*", "const LongNumber*", "const LongNumber*")): _exports.TWO_RECORDS,
    ("LongNumber*", ("LongNumber*", "LongNumber*", "LongNumber*")): _exports.COFACTORS,
    ("LongNumber*", ("LongNumber*", "const LongNumber*", "double")): _exports.RECORD_AND_DOUBLE,
    ("LongNumber*", ("LongNumber*", "int32_t")): _exports.PRECISION,
    ("LongNumber*", ("LongNumber*", "int32_t", "int32_t")): _exports.INTEGER_AND_PRECISION,
}


def parameter_type(parameter):
    """The type of one declared parameter, its name dropped: "const LongNumber* x" gives
    "const LongNumber*", "double n" gives "double"."""
    text = re.sub(r"\s+", " ", parameter.strip())
    if "*" in text:
        return re.sub(r"\s*\*\s*\w+$", "*", text).replace(" *", "*")
    return re.sub(r"^(\S.*?) \w+$", r"\1", text)


def header_kinds(root):
    text = re.sub(r"/\*.*?\*/", "", (root / "include" / "ostrel2.h").read_text(), flags=re.S)
    kinds = {}
    pattern = r"OSTREL2_API\s+([\w ]+?\s*\*?)\s*OSTREL2_CALL\s+(\w+)\s*\(([^)]*)\)\s*;"
    for result, name, parameters in re.findall(pattern, text):
        types = () if parameters.strip() == "void" else tuple(
            parameter_type(p) for p in parameters.split(","))
        kinds[name] = KINDS[(result.replace(" ", ""), types)]
    return kinds


# The argument kinds of api/export_table.h as the module's kinds.
TABLE_KINDS = {
    "Version": _exports.VERSION, "OneRecord": _exports.RECORD, "OneRecordOverX": _exports.RECORD,
    "TwoRecords": _exports.TWO_RECORDS, "TwoRecordsOverX": _exports.TWO_RECORDS,
    "RecordDouble": _exports.RECORD_AND_DOUBLE, "Precision": _exports.PRECISION,
    "IntPrecision": _exports.INTEGER_AND_PRECISION, "Cofactors": _exports.COFACTORS,
}


def built_exports(root):
    """{export: (ordinal, kind or None)} of the built exports: from the export table
    api/export_table.h where there is one, else from the module-definition file."""
    table = root / "api" / "export_table.h"
    if table.exists():
        rows = re.findall(r"^\s*BUILT\((\d+),\s*(\w+),\s*(\w+),", table.read_text(), re.M)
        return {name: (int(ordinal), TABLE_KINDS[kind]) for ordinal, name, kind in rows}
    text = (root / "api" / "Ostrel2.def").read_text()
    return {name: (int(ordinal), None)
            for name, ordinal in re.findall(r"^\s+(\w+_XL)\s+@(\d+)", text, re.M)}


def test_every_row_has_its_ordinal_and_a_distinct_name():
    assert len(_exports.EXPORTS) == 33
    assert len({row[0] for row in _exports.EXPORTS}) == 33
    assert len({row[1] for row in _exports.EXPORTS}) == 33


def test_rows_match_the_header_and_the_export_table(root):
    rows = {export: (ordinal, name, kind)
            for ordinal, (name, export, kind, _) in enumerate(_exports.EXPORTS, start=1)}
    for export, kind in header_kinds(root).items():
        assert rows[export][2] == kind, export
    built = built_exports(root)
    assert built
    for export, (ordinal, kind) in built.items():
        assert rows[export][0] == ordinal, export
        assert kind is None or rows[export][2] == kind, export
    # A module function for each built export, and none for the others.
    assert set(ostrel2.available) == {rows[export][1] for export in built}
    for name, export, _, _ in _exports.EXPORTS:
        assert hasattr(ostrel2, name) == (export in built), name


def test_one_version_number(root):
    version = (root / "VERSION").read_text().split()[0]
    assert ostrel2.__version__ == version
    assert ostrel2.version() == 20091025          # the interface version stays
    try:
        from importlib.metadata import PackageNotFoundError, version as installed
        assert installed("ostrel2") == version
    except PackageNotFoundError:                  # run from the source tree
        pass
