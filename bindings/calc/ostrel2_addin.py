"""ostrel2_addin -- the UNO component of the Calc extension: a com.sun.star.sheet.AddIn whose
methods are the OSTREL2 cell functions.

Calc calls a method with the cell's arguments and shows the text it returns. A failure raises
com.sun.star.lang.IllegalArgumentException, which Calc shows as the error value Err:502, so
ISERROR and IFERROR see it; the reason is given by OSTREL2ERROR with the same arguments. Nothing
else leaves a method: an unforeseen Python exception is turned into the same error value rather
than reaching Calc as a failed call.
"""
import traceback

import unohelper
from com.sun.star.lang import IllegalArgumentException
from org.ostrel2.calc import XFunctions

from ostrel2_calc import functions as table

IMPLEMENTATION = "org.ostrel2.calc.Functions"
SERVICE = "com.sun.star.sheet.AddIn"

# The module and its shared libraries are loaded on the first call, so that a library that cannot
# be loaded leaves every cell an error value with the reason, rather than the add-in missing.
_cells = None


def _load():
    global _cells
    if _cells is None:
        from ostrel2_calc import cells
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
