"""The module's exports against the public header, and the one version number."""
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


def test_one_function_per_export_of_the_kind_the_header_declares(root):
    # The rows themselves are written from api/export_table.h (tests/exports/python_module.py,
    # checked by the ctest python_exports_written_from_table); here they meet the C header.
    assert [row[1] for row in _exports.EXPORTS] == list(header_kinds(root))
    for name, export, kind, _ in _exports.EXPORTS:
        assert header_kinds(root)[export] == kind, export
    assert ostrel2.available == tuple(row[0] for row in _exports.EXPORTS)
    for name in ostrel2.available:
        assert callable(getattr(ostrel2, name)), name


def test_one_version_number(root):
    version = (root / "VERSION").read_text().split()[0]
    assert ostrel2.__version__ == version
    assert ostrel2.version() == 20091025          # the interface version stays
    try:
        from importlib.metadata import PackageNotFoundError, version as installed
        assert installed("ostrel2") == version
    except PackageNotFoundError:                  # run from the source tree
        pass
