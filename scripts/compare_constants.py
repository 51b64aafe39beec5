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
The calling and comparing (run_calls, compare_libraries) serve scripts/compare_exports.py too.
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
    for k, v in enumerate(limbs[:min(p + 4, SLOTS)]):
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


# Argument kinds of the exports the comparers call: R a record, I a 32-bit integer, D a double.
SIGNATURES = {name: "R" for name in UNARY + ["Abs_XL", "Fix_XL", "Round_XL", "Sqr_XL"]}
SIGNATURES.update({name: "RR" for name in ("Add_XL", "Subtract_XL", "Multipl_XL", "Multipl2_XL",
                                           "Div_XL", "Div2_XL", "Mod_XL", "LCM_XL", "PowerX_XL")})
SIGNATURES.update({"Power_XL": "RD", "Root_XL": "RD", "Pai_XL": "I", "Factorial_XL": "II"})


def run_calls(library, calls, passes, path):
    """Makes every call of calls (name, p, arguments) in each order of passes ("up" or "down")
    through library and writes one line per call into path: position, name, precision and a
    digest of the result record, the argument records after the call and the printed bytes. An
    argument is a record, a number, or an index into the arguments before it (the same record
    passed twice)."""
    lib = ctypes.CDLL(library)
    libc = ctypes.CDLL(None)
    ptr = ctypes.POINTER(LongNumber)
    kinds = {"R": ptr, "I": ctypes.c_int32, "D": ctypes.c_double}
    for name, signature in SIGNATURES.items():
        getattr(lib, name).argtypes = [ptr] + [kinds[k] for k in signature]
    # The printed diagnostics go to a file of their own, read back after each call.
    capture = tempfile.TemporaryFile()
    saved = os.dup(1)
    os.dup2(capture.fileno(), 1)
    lines = []
    try:
        for order in passes:
            indices = range(len(calls)) if order == "up" else reversed(range(len(calls)))
            for position in indices:
                name, p, arguments = calls[position]
                result = LongNumber()
                ctypes.memset(ctypes.byref(result), 0xA5, ctypes.sizeof(result))
                records = []
                values = []
                for kind, a in zip(SIGNATURES[name], arguments):
                    if kind != "R":
                        values.append(a)
                    elif isinstance(a, int):  # the record of an earlier argument again
                        values.append(values[a])
                    else:
                        copy = LongNumber.from_buffer_copy(a)
                        records.append(copy)
                        values.append(ctypes.byref(copy))
                getattr(lib, name)(ctypes.byref(result), *values)
                libc.fflush(None)
                capture.seek(0)
                printed = capture.read()
                capture.seek(0)
                capture.truncate()
                seen = bytes(result) + b"".join(bytes(r) for r in records) + printed
                lines.append(f"{position} {name} {p} {hashlib.sha256(seen).hexdigest()}")
    finally:
        libc.fflush(None)
        os.dup2(saved, 1)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def compare_libraries(script, libraries, options, passes):
    """Runs script --run LIBRARY PATH [options] for each of the two libraries, each in a process of
    its own, and compares their lines, and the passes of each library with one another. Returns
    the exit status: 0 when everything agrees, 1 otherwise."""
    tables = []
    with tempfile.TemporaryDirectory() as folder:
        for k, library in enumerate(libraries):
            path = os.path.join(folder, f"{k}.txt")
            command = [sys.executable, script, "--run", os.path.abspath(library), path, *options]
            subprocess.run(command, check=True)
            with open(path) as f:
                tables.append(f.read().split("\n"))
    old, new = (table[:-1] for table in tables)  # the last line is empty
    calls = len(old) // len(passes)
    mismatches = 0
    for a, b in zip(old, new):
        if a != b:
            mismatches += 1
            if mismatches <= 20:
                print(f"libraries differ: {a} | {b}")
    for table, label in ((old, libraries[0]), (new, libraries[1])):
        for start in range(calls, len(table), calls):
            earlier = sorted(table[:calls], key=lambda line: int(line.split()[0]))
            later = sorted(table[start:start + calls], key=lambda line: int(line.split()[0]))
            for a, b in zip(earlier, later):
                if a != b:
                    mismatches += 1
                    if mismatches <= 20:
                        print(f"passes differ in {label}: {a} | {b}")
    compared = len(old) + (len(passes) - 1) * 2 * calls
    print(f"{calls} calls, {len(passes)} pass(es) in each library")
    print(f"{compared - mismatches} passed, {mismatches} failed")
    return 0 if mismatches == 0 else 1


def main():
    quick = "--quick" in sys.argv
    options = ["--quick"] if quick else []
    if sys.argv[1:2] == ["--run"]:  # one library's calls, in a process of its own
        calls = [(name, p, [a for a in (x, y) if a is not None] if name != "Pai_XL" else [p])
                 for name, p, x, y in cases(quick)]
        run_calls(sys.argv[2], calls, ("up", "down"), sys.argv[3])
        return 0
    args = [a for a in sys.argv[1:] if a != "--quick"]
    if len(args) != 2:
        print(__doc__)
        return 2
    return compare_libraries(__file__, args, options, ("up", "down"))


if __name__ == "__main__":
    sys.exit(main())
