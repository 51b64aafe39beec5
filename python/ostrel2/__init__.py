"""ostrel2 -- decimal floating-point arithmetic at up to 3,030 significant digits.

    >>> import ostrel2
    >>> with ostrel2.precision(digits=30):
    ...     print(ostrel2.Number(1) / 7)
    0.142857142857142857142857142857

A Number holds a record of the Ostrel2 library (precision p: p limbs of ten digits promised,
3 guard limbs); arithmetic, its methods (x.sqrt(), x.ln(), ...) and the module functions call the
library's exports. A failure raises ostrel2.Error with the library's message and error code. See
docs/python.md.
"""
from ._library import export as _export, package_version as _package_version
from ._exports import EXPORTS as _EXPORTS
from ._number import (DEFAULT_PRECISION, Error, InexactError, LibraryWarning, Number, Value,
                      _FUNCTIONS, get_precision, precision, set_precision)

# The exports of the loaded library, for the calls; one missing is a library of another version.
_missing = []
for _name, _export_name, _kind, _summary in _EXPORTS:
    _function = _export(_export_name, _kind)
    if _function is None:
        _missing.append(_export_name)
    _FUNCTIONS[_export_name] = _function
if _missing:
    raise ImportError(f"ostrel2: the loaded library lacks {', '.join(_missing)}: it is not the "
                      f"library of this module (OSTREL2_LIBRARY_DIR, or install again)")

from ._functions import *  # noqa: E402,F401,F403  (one function per export)
from ._functions import __all__ as _function_names  # noqa: E402

__version__ = _package_version()

for _public in (Number, Error, InexactError, LibraryWarning, precision):
    _public.__module__ = __name__

MAX_PRECISION = 303

# The module functions, one per export in the order of the ordinals.
available = tuple(_function_names)

# `from ostrel2 import *` leaves Python's own abs() and round() alone.
__all__ = ["Number", "Error", "InexactError", "LibraryWarning", "precision", "get_precision",
           "set_precision", "DEFAULT_PRECISION", "MAX_PRECISION", "Value", "available"] + [
    name for name in available if name not in ("abs", "round")]
