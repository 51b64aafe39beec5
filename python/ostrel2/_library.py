"""Loading the shared libraries, the record type, and calls that keep the library's messages.

Called directly, an export of the arithmetic library (libOstrel2) that fails prints a short
message in code page 932 on the process's standard output. Every call of the module goes through
ostrel2_text_call of the text library (libOstrel2Text) instead, which computes the export with
the same result bits and hands its messages back, in English and in the library's own Japanese,
without printing anything: `call` below.

Threads: nothing shared is touched (each call's messages go to a sink of its own thread), and
the libraries are loaded with ctypes.CDLL, which releases the interpreter's lock during a call,
so calls on different threads run in parallel.
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


MESSAGE_CAPACITY = 1024  # OSTREL2_MESSAGE_CAPACITY of ostrel2_text.h


class Messages(ctypes.Structure):
    """Ostrel2Messages: what a call reported, in code page 932 and in English."""
    _fields_ = [
        ("count", ctypes.c_int32),
        ("printed", ctypes.c_size_t),
        ("original", ctypes.c_char * MESSAGE_CAPACITY),
        ("english", ctypes.c_char * MESSAGE_CAPACITY),
    ]


class Call(ctypes.Structure):
    """Ostrel2Call, its records given by address."""
    _fields_ = [
        ("function", ctypes.c_char_p),
        ("result", ctypes.c_void_p),
        ("x", ctypes.c_void_p),
        ("y", ctypes.c_void_p),
        ("n", ctypes.c_double),
        ("whole", ctypes.c_int32),
        ("precision", ctypes.c_int32),
    ]


# ostrel2_text_call through a prototype that takes plain addresses: the cheapest ctypes call.
_text_call = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    ctypes.cast(text.ostrel2_text_call, ctypes.c_void_p).value)
_addressof = ctypes.addressof
_NAMES = {}


def call(export, result, x=None, y=None, n=0.0, whole=0, precision=0):
    """Computes the export (its name, "Div_XL") into the LongNumber `result`, on the LongNumber
    records x and y and the plain n, whole and precision its kind reads. Returns None when the
    call reported nothing, else (english, original): its messages in English (for a failure
    that prints nothing too) and the library's own text decoded from code page 932, each with
    one message a line. Nothing is printed; calls on different threads run in parallel."""
    name = _NAMES.get(export)
    if name is None:
        name = _NAMES[export] = export.encode("ascii")
    messages = Messages()
    arguments = Call(name, _addressof(result), _addressof(x) if x is not None else None,
                     _addressof(y) if y is not None else None, n, whole, precision)
    count = _text_call(_addressof(arguments), _addressof(messages))
    if count == 0:
        return None
    if count < 0:
        raise AssertionError(f"ostrel2_text_call refused the call of {export}")
    return (messages.english.decode("ascii", "replace").rstrip("\n"),
            messages.original.decode("cp932", "replace").rstrip("\n"))
