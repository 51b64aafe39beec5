"""ostrel2 -- decimal floating-point arithmetic at up to 3,030 significant digits.

    >>> import ostrel2
    >>> with ostrel2.precision(digits=30):
    ...     print(ostrel2.Number(1) / 7)
    0.142857142857142857142857142857

A Number holds a record of the Ostrel2 library (precision p: p limbs of ten digits promised,
3 guard limbs); arithmetic and the module functions call the library's exports. A failure
raises ostrel2.Error with the library's message and error code. See docs/python.md.
"""
import builtins

from . import _exports
from ._library import arithmetic as _arithmetic, export as _export, package_version as _package_version
from ._number import (DEFAULT_PRECISION, Error, InexactError, LibraryWarning, Number, _call,
                      _FUNCTIONS, get_precision, precision, set_precision)

__version__ = _package_version()

for _public in (Number, Error, InexactError, LibraryWarning, precision):
    _public.__module__ = __name__

MAX_PRECISION = 303


def _module_function(name, export, kind, summary):
    if kind == _exports.VERSION:
        def function():
            return _call(export, kind)
        signature = "()"
    elif kind == _exports.RECORD:
        def function(x, precision=None, *, digits=None):
            return _call(export, kind, x, precision=precision, digits=digits)
        signature = "(x, precision=None, *, digits=None)"
    elif kind in (_exports.TWO_RECORDS, _exports.COFACTORS):
        def function(x, y, precision=None, *, digits=None):
            return _call(export, kind, x, y, precision=precision, digits=digits)
        signature = "(x, y, precision=None, *, digits=None)"
    elif kind == _exports.RECORD_AND_DOUBLE:
        def function(x, n, precision=None, *, digits=None):
            return _call(export, kind, x, n, precision=precision, digits=digits)
        signature = "(x, n, precision=None, *, digits=None)"
    elif kind == _exports.PRECISION:
        def function(precision=None, *, digits=None):
            return _call(export, kind, precision=precision, digits=digits)
        signature = "(precision=None, *, digits=None)"
    elif kind == _exports.INTEGER_AND_PRECISION:
        def function(n, precision=None, *, digits=None):
            return _call(export, kind, n, precision=precision, digits=digits)
        signature = "(n, precision=None, *, digits=None)"
    else:
        raise AssertionError(f"unknown kind {kind!r} of {export}")
    function.__name__ = function.__qualname__ = name
    function.__module__ = __name__
    function.__doc__ = f"{name}{signature} -- {summary} ({export})."
    return function


# One module function per export the loaded library defines.
available = []
for _name, _export_name, _kind, _summary in _exports.EXPORTS:
    _function = _export(_export_name, _kind)
    if _function is None:
        continue
    _FUNCTIONS[_export_name] = _function
    globals()[_name] = _module_function(_name, _export_name, _kind, _summary)
    available.append(_name)
available = tuple(available)

# `from ostrel2 import *` leaves Python's own abs() and round() alone.
__all__ = ["Number", "Error", "InexactError", "LibraryWarning", "precision", "get_precision",
           "set_precision", "DEFAULT_PRECISION", "MAX_PRECISION", "available"] + [
    name for name in available if not hasattr(builtins, name)]
