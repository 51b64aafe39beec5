"""ostrel2_addin -- the UNO component of the Calc extension: a com.sun.star.sheet.AddIn whose
methods are the OSTREL2 cell functions.

Calc calls a method with the cell's arguments and shows the text it returns. A failure raises
com.sun.star.lang.IllegalArgumentException, which Calc shows as the error value Err:502, so
ISERROR and IFERROR see it; the reason is given by OSTREL2ERROR with the same arguments. Nothing
else leaves a method: an unforeseen Python exception is turned into the same error value rather
than reaching Calc as a failed call.
"""
import os
import sys
import traceback

import unohelper
from com.sun.star.lang import IllegalArgumentException
from org.ostrel2.calc import XFunctions

# LibreOffice appends the extension's pythonpath/ to the search path; put it first, so that the
# module and libraries the extension carries are the ones used, not another copy of ostrel2
# installed for the same Python.
_OWN_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pythonpath")
if sys.path[:1] != [_OWN_PATH]:
    sys.path.insert(0, _OWN_PATH)

from ostrel2_calc import functions as table  # noqa: E402

IMPLEMENTATION = "org.ostrel2.calc.Functions"
SERVICE = "com.sun.star.sheet.AddIn"

# The module and its shared libraries are loaded on the first call, so that a library that cannot
# be loaded leaves every cell an error value with the reason, rather than the add-in missing.
_cells = None


def _load():
    """The cells module, with the ostrel2 module loading the libraries beside it: a library folder
    named in LibreOffice's environment (OSTREL2_LIBRARY_DIR) is not consulted."""
    global _cells
    if _cells is None:
        chosen = os.environ.pop("OSTREL2_LIBRARY_DIR", None)
        try:
            from ostrel2_calc import cells
        finally:
            if chosen is not None:
                os.environ["OSTREL2_LIBRARY_DIR"] = chosen
        _cells = cells
    return _cells


class Functions(unohelper.Base, XFunctions):
    def __init__(self, context):
        self.context = context


def _method(function):
    def method(self, *values):
        try:
            cells = _load()
        except Exception as failure:  # the module or its shared libraries
            reason = f"the ostrel2 module cannot be loaded: {type(failure).__name__}: {failure}"
            if function.kind == table.MESSAGE:
                return reason
            raise IllegalArgumentException(reason, self, -1) from None
        try:
            return cells.call(function.name, values)
        except cells.CellError as failure:
            raise IllegalArgumentException(str(failure), self, failure.argument) from None
        except Exception as failure:  # a fault of the add-in: still only this cell's error value
            traceback.print_exc()
            raise IllegalArgumentException(f"{type(failure).__name__}: {failure}", self,
                                           -1) from None
    method.__name__ = function.method
    return method


for _function in table.FUNCTIONS:
    setattr(Functions, _function.method, _method(_function))

g_ImplementationHelper = unohelper.ImplementationHelper()
g_ImplementationHelper.addImplementation(Functions, IMPLEMENTATION, (SERVICE,))
