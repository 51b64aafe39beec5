"""Loading the shared libraries, the record type, and calls that keep the library's output.

The arithmetic library (libOstrel2) prints a short message in code page 932 on the process's
standard output (file descriptor 1) when a call fails. Every call goes through
ostrel2_text_call of the text library (libOstrel2Text), which points descriptor 1 at a private
file for the length of the call and hands back the bytes written there, so they never reach the
caller's standard output.

Threads: ostrel2_text_call serialises the calls, so each gets its own messages. With the GNU C
library it swaps the C stream `stdout` for the file rather than descriptor 1, so the output of
other threads (Python's print writes to descriptor 1 directly) is never caught, and the libraries
are loaded with ctypes.CDLL, which lets other threads run during a long computation.
"""
import ctypes
import ctypes.util
import os
from pathlib import Path

from . import _exports

MAX_PRECISION = 303
LIMB_SLOTS = 306
DIGITS_PER_LIMB = 10


class LongNumber(ctypes.Structure):
    """The library's record: 2,464 bytes, packed to 4 bytes."""
    _pack_ = 4
    _fields_ = [
        ("sign", ctypes.c_int32),
        ("exponent", ctypes.c_int32),
        ("precision", ctypes.c_int32),
        ("error", ctypes.c_int32),
        ("limbs", ctypes.c_double * LIMB_SLOTS),
    ]


assert ctypes.sizeof(LongNumber) == 2464


def live_limbs(precision):
    """Limb slots that hold the value of a record of the given precision."""
    return min(precision + 4, LIMB_SLOTS)


def _find(name):
    """The path of lib<name>: from OSTREL2_LIBRARY_DIR when set, else beside this file (where
    `pip install` puts it), else wherever the system's loader finds it."""
    folders = []
    chosen = os.environ.get("OSTREL2_LIBRARY_DIR")
    if chosen:
        folders.append(Path(chosen))
    else:
        folders.append(Path(__file__).resolve().parent)
    for folder in folders:
        matches = sorted(folder.glob(f"lib{name}.so*")) + sorted(folder.glob(f"{name}.dll"))
        if matches:
            return str(matches[0])
    if not chosen:
        found = ctypes.util.find_library(name)
        if found:
            return found
    where = f" in OSTREL2_LIBRARY_DIR={chosen}" if chosen else ""
    raise ImportError(f"ostrel2: the shared library lib{name} was not found{where}; install the "
                      f"module with `pip install .` from the Ostrel2 source tree, or set "
                      f"OSTREL2_LIBRARY_DIR to a folder that holds it")


_RECORD = ctypes.POINTER(LongNumber)
_ARGUMENTS = {
    _exports.VERSION: [],
    _exports.RECORD: [_RECORD, _RECORD],
    _exports.TWO_RECORDS: [_RECORD, _RECORD, _RECORD],
    _exports.COFACTORS: [_RECORD, _RECORD, _RECORD],
    _exports.RECORD_AND_DOUBLE: [_RECORD, _RECORD, ctypes.c_double],
    _exports.PRECISION: [_RECORD, ctypes.c_int32],
    _exports.INTEGER_AND_PRECISION: [_RECORD, ctypes.c_int32, ctypes.c_int32],
}

arithmetic = ctypes.CDLL(_find("Ostrel2"))
text = ctypes.CDLL(_find("Ostrel2Text"))


def export(name, kind):
    """The export as a ctypes function with its signature, or None when the library lacks it."""
    function = getattr(arithmetic, name, None)
    if function is None:
        return None
    function.argtypes = _ARGUMENTS[kind]
    function.restype = ctypes.c_int32 if kind == _exports.VERSION else ctypes.c_void_p
    return function


text.ostrel2_text_parse.argtypes = [ctypes.c_char_p, ctypes.c_int32, _RECORD,
                                    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_size_t)]
text.ostrel2_text_parse.restype = ctypes.c_int
text.ostrel2_text_format.argtypes = [_RECORD, ctypes.c_int, ctypes.c_char_p, ctypes.c_size_t]
text.ostrel2_text_format.restype = ctypes.c_int
text.ostrel2_text_status_message.argtypes = [ctypes.c_int]
text.ostrel2_text_status_message.restype = ctypes.c_char_p
text.ostrel2_text_version.argtypes = []
text.ostrel2_text_version.restype = ctypes.c_char_p

TEXT_OK = 0
TEXT_ROUNDED = 0
TEXT_ALL_LIMBS = 1
TEXT_CAPACITY = 3200


def parse_text(source, precision):
    """(record, inexact) for decimal text; ValueError for text that is not a number."""
    record = LongNumber()
    inexact = ctypes.c_int(0)
    offset = ctypes.c_size_t(0)
    status = text.ostrel2_text_parse(source.encode("ascii", "replace"), precision,
                                     ctypes.byref(record), ctypes.byref(inexact),
                                     ctypes.byref(offset))
    if status != TEXT_OK:
        reason = text.ostrel2_text_status_message(status).decode()
        raise ValueError(f"not a decimal number: {source!r}: {reason} at offset {offset.value}")
    return record, bool(inexact.value)


def format_record(record, all_limbs=False):
    buffer = ctypes.create_string_buffer(TEXT_CAPACITY)
    status = text.ostrel2_text_format(ctypes.byref(record), TEXT_ALL_LIMBS if all_limbs else TEXT_ROUNDED,
                                      buffer, TEXT_CAPACITY)
    if status != TEXT_OK:
        raise ValueError(text.ostrel2_text_status_message(status).decode())
    return buffer.value.decode("ascii")


def package_version():
    return text.ostrel2_text_version().decode("ascii")


# The C kinds of ostrel2_text_call for the module's kinds of export.
_CALL_KINDS = {
    _exports.RECORD: 1,
    _exports.TWO_RECORDS: 2,
    _exports.COFACTORS: 2,
    _exports.RECORD_AND_DOUBLE: 3,
    _exports.PRECISION: 4,
    _exports.INTEGER_AND_PRECISION: 5,
}


class Call(ctypes.Structure):
    _fields_ = [
        ("kind", ctypes.c_int),
        ("function", ctypes.c_void_p),
        ("result", _RECORD),
        ("x", _RECORD),
        ("y", _RECORD),
        ("n", ctypes.c_double),
        ("whole", ctypes.c_int32),
        ("precision", ctypes.c_int32),
    ]


text.ostrel2_text_call.argtypes = [ctypes.POINTER(Call), ctypes.c_char_p, ctypes.c_size_t]
text.ostrel2_text_call.restype = ctypes.c_long
_MESSAGE_CAPACITY = 4096


def call_quietly(function, kind, result, x=None, y=None, n=0.0, whole=0, precision=0):
    """Calls an export (a ctypes function of `arithmetic`) through ostrel2_text_call and returns
    the bytes it printed. The result and the records x and y are LongNumber instances."""
    call = Call(_CALL_KINDS[kind], ctypes.cast(function, ctypes.c_void_p), ctypes.pointer(result),
                ctypes.pointer(x) if x is not None else None,
                ctypes.pointer(y) if y is not None else None, n, whole, precision)
    message = ctypes.create_string_buffer(_MESSAGE_CAPACITY)
    printed = text.ostrel2_text_call(ctypes.byref(call), message, _MESSAGE_CAPACITY)
    if printed < 0:
        raise AssertionError(f"ostrel2_text_call refused the call of kind {kind!r}")
    return message.raw[:min(printed, _MESSAGE_CAPACITY - 1)]
