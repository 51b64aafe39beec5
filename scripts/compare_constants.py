#!/usr/bin/env python3
"""compare_constants.py -- the exports that take pi, e or ln 10, called through two builds of the
library, must give the same bytes.

    python3 scripts/compare_constants.py OLD/libOstrel2.so NEW/libOstrel2.so [--quick]

Each library runs in a process of its own and makes every call of the case list twice, the
first pass on a fresh process (pi, e and ln 10 met for the first time at each precision) and
the second after it (met again); the precisions run both upward and downward, so that a
constant is met first at a small precision in one pass and at a large one in the other. Every
result record (all 306 limb slots) and the bytes each call printed are compared between the two
libraries, and between the two passes of each. Exits 0 when everything agrees, 1 otherwise.
"""
import ctypes
import hashlib
import os
import random
import subprocess
import sys
import tempfile

SLOTS = 306
ZERO_EXPONENT = -2100000000


class LongNumber(ctypes.Structure):
    _fields_ = [("sign", ctypes.c_int32), ("exponent", ctypes.c_int32),
                ("precision", ctypes.c_int32), ("error", ctypes.c_int32),
                ("limbs", ctypes.c_double * SLOTS)]


def record(p, sign, exponent, limbs):
    """sign * (limbs read as base-10^10 digits) * 10^exponent at precision p."""
    x = LongNumber()
    x.sign, x.exponent, x.precision, x.error = sign, exponent, p, 0
    for k, v in enumerate(limbs[:p + 4]):
        x.limbs[k] = v
    if sign == 0:
        x.exponent = ZERO_EXPONENT
    return x


def decimal(p, text):
    """A short decimal text such as '-3.14159' as a record of precision p."""
    sign = -1 if text.startswith("-") else 1
    text = text.lstrip("-")
    whole, _, fraction = text.partition(".")
    whole = int(whole)
    fraction = (fraction + "0" * 40)[:40]
    limbs = [float(whole)] + [float(fraction[i:i + 10]) for i in range(0, 40, 10)]
    if whole == 0:  # a leading limb of zero: move the fraction up
        exponent = -10
        limbs = limbs[1:]
        while limbs and limbs[0] == 0.0:
            limbs = limbs[1:]
            exponent -= 10
        return record(p, sign, exponent, limbs + [0.0])
    if whole >= 10**10:
        return record(p, sign, 10, [float(whole // 10**10), float(whole % 10**10)] + limbs[1:])
    return record(p, sign, 0, limbs)


UNARY = ["Cos_XL", "Sin_XL", "Tan_XL", "Atn_XL", "Asn_XL", "Acs_XL", "Exp_XL", "Loge_XL",
         "Log10_XL", "Sinh_XL", "Cosh_XL", "Tanh_XL", "Asinh_XL", "Acosh_XL", "Atanh_XL"]
# Angles and arguments that take every branch: the quadrants of the cosine and sine, the band
# about pi/2, angles between 3.141592653 and pi, near pi and 2 pi (the tangent's sin / cos), the
# reduction of large angles, the arctangent's starts near pi/2, the domain ends of asin and
# acos, and the exponentials and logarithms of short and long arguments.
ARGUMENTS = ["0.5", "1", "2", "-0.3", "0.9", "-0.9", "0.79", "1.57075", "1.5707963268",
             "2.356", "2.5", "3.1415926535", "3.14159265358979", "3.14159", "6.2831853071",
             "7", "-7", "10", "-10", "100", "12345.678", "10000000000", "1.5", "-2.25",
             "0.99999999999", "-1", "1", "0.00001", "1234567890123.5"]


def full_length(rng, p, exponent):
    limbs = [float(rng.randrange(1, 10)), *[float(rng.randrange(10**10)) for _ in range(p + 3)]]
    return record(p, rng.choice((-1, 1)), exponent, limbs)


def cases(quick):
    """(export, arguments) in the order of the calls; arguments are (p, record[, y record])."""
    rng = random.Random(20240601)
    small = [1, 2, 3, 4, 5, 6, 7, 10, 30] if quick else [1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 30, 61, 100]
    out = []
    for p in small:
        out.append(("Pai_XL", p, None, None))
        for name in UNARY:
            for text in ARGUMENTS:
                out.append((name, p, decimal(p, text), None))
            out.append((name, p, full_length(rng, p, 0), None))
            out.append((name, p, full_length(rng, p, -10), None))
        for base, power in (("1.5", "0.3"), ("7", "-2.25"), ("2", "1.5"), ("0.5", "3.25")):
            out.append(("PowerX_XL", p, decimal(p, base), decimal(p, power)))
    big = 303
    for name, text in (("Cos_XL", "1"), ("Sin_XL", "100"), ("Tan_XL", "2"), ("Tan_XL", "100"),
                       ("Atn_XL", "10"), ("Acs_XL", "-0.3"), ("Asn_XL", "1"), ("Exp_XL", "1.5"),
                       ("Log10_XL", "1.5"), ("Cosh_XL", "1.5"), ("Tanh_XL", "-2.25")):
        out.append((name, big, decimal(big, text), None))
    out.append(("Pai_XL", big, None, None))
    return out


def run(library, quick, path):
    """Records every call twice (precisions up, then down) into path: digests of the bytes."""
    lib = ctypes.CDLL(library)
    libc = ctypes.CDLL(None)
    ptr = ctypes.POINTER(LongNumber)
    for name in UNARY:
        getattr(lib, name).argtypes = [ptr, ptr]
    lib.PowerX_XL.argtypes = [ptr, ptr, ptr]
    lib.Pai_XL.argtypes = [ptr, ctypes.c_int32]
    calls = cases(quick)
    # The printed diagnostics go to a file of their own, read back after each call.
    capture = tempfile.TemporaryFile()
    saved = os.dup(1)
    os.dup2(capture.fileno(), 1)
    lines = []
    try:
        for order in (calls, list(reversed(calls))):
            for index, (name, p, x, y) in enumerate(order):
                result = LongNumber()
                ctypes.memset(ctypes.byref(result), 0xA5, ctypes.sizeof(result))
                if name == "Pai_XL":
                    lib.Pai_XL(ctypes.byref(result), p)
                elif y is not None:
                    lib.PowerX_XL(ctypes.byref(result), ctypes.byref(x), ctypes.byref(y))
                else:
                    getattr(lib, name)(ctypes.byref(result), ctypes.byref(x))
                libc.fflush(None)
                capture.seek(0)
                printed = capture.read()
                capture.seek(0)
                capture.truncate()
                digest = hashlib.sha256(bytes(result) + printed).hexdigest()
                position = index if order is calls else len(calls) - 1 - index
                lines.append(f"{position} {name} {p} {digest}")
    finally:
        libc.fflush(None)
        os.dup2(saved, 1)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    quick = "--quick" in sys.argv
    if sys.argv[1:2] == ["--run"]:  # one library's calls, in a process of its own
        run(sys.argv[2], quick, sys.argv[3])
        return 0
    args = [a for a in sys.argv[1:] if a != "--quick"]
    if len(args) != 2:
        print(__doc__)
        return 2
    tables = []
    with tempfile.TemporaryDirectory() as folder:
        for k, library in enumerate(args):
            path = os.path.join(folder, f"{k}.txt")
            command = [sys.executable, __file__, "--run", os.path.abspath(library), path]
            if quick:
                command.append("--quick")
            subprocess.run(command, check=True)
            with open(path) as f:
                tables.append(f.read().split("\n"))
    old, new = (table[:-1] for table in tables)  # the last line is empty
    calls = len(old) // 2
    mismatches = 0
    for a, b in zip(old, new):
        if a != b:
            mismatches += 1
            if mismatches <= 20:
                print(f"libraries differ: {a} | {b}")
    for table, label in ((old, args[0]), (new, args[1])):
        for a, b in zip(table[:calls], reversed(table[calls:])):
            if a != b:
                mismatches += 1
                if mismatches <= 20:
                    print(f"passes differ in {label}: {a} | {b}")
    compared = len(old) + 2 * calls
    print(f"{calls} calls, each twice in each library")
    print(f"{compared - mismatches} passed, {mismatches} failed")
    return 0 if mismatches == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
