"""check_sheet.py -- a sheet of OSTREL2 formulas computed by a real headless Calc, every cell
compared with its expected text, and every expected number checked against MPFR.

    python3 check_sheet.py --soffice-option=-env:... [--cases cases.tsv] [--work DIR]
    python3 check_sheet.py --references-only    # the expected numbers against MPFR alone

The cases file has one row per cell: the formula, the text the cell must show, and optionally
an input put in the cell to its right, which the formula names as @. An input in double quotes
is a text cell, otherwise Calc reads it as a number. Rows starting with # are comments.

The sheet goes to Calc as tab-separated text imported with formula evaluation on (so the
functions' display names are resolved) and comes back as tab-separated text of what each cell
shows. soffice exits 0 whatever the cells hold, so only the values tell.

Expected numbers are not taken from the extension: each formula is evaluated again with MPFR
(gmpy2) at 20,000 bits, every OSTREL2 function on the exact decimal value of its arguments, its
result rounded to the digits asked for, halves to even, before it feeds an enclosing call, as
the extension does; the expected text must have exactly that value. A reference that lies so
close to a rounding midpoint that 20,000 bits cannot tell the side is reported as a fault of the
case, not decided.
"""
import argparse
import csv
import math
import os
import re
import subprocess
import sys
import tempfile
from fractions import Fraction
from pathlib import Path

import gmpy2

HERE = Path(__file__).resolve().parent
BITS = 20000
DEFAULT_DIGITS = 30
# Import: tab-separated, double quote, UTF-8, from line 1, English (United States) numbers, a
# quoted field is text, special numbers detected, formulas evaluated. Export: the same separators.
IMPORT_OPTIONS = "CSV:9,34,76,1,,1033,true,true,false,false,false,-1,true"
EXPORT_FILTER = 'csv:Text - txt - csv (StarCalc):9,34,76,1'


class Case:
    def __init__(self, line_number, formula, expected, given):
        self.line_number = line_number
        self.formula = formula
        self.expected = expected
        self.given = given


def read_cases(path):
    cases = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) not in (2, 3):
            raise SystemExit(f"{path}:{number}: want formula, expected text and an optional input, "
                             f"separated by tabs")
        cases.append(Case(number, fields[0], fields[1], fields[2] if len(fields) == 3 else None))
    return cases


# ---- the reference: the formula evaluated with MPFR ------------------------------------------

class Unsettled(Exception):
    """20,000 bits do not decide a rounding: the case needs other arguments."""


class NotEvaluated(Exception):
    """The formula holds something the reference does not evaluate (another Calc function)."""


def _tokens(formula):
    pattern = re.compile(r'\s*(?:(?P<number>(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)'
                         r'|(?P<name>[A-Za-z][A-Za-z0-9.]*)|(?P<text>"[^"]*")|(?P<punct>[();@-]))')
    position, found = 0, []
    while position < len(formula):
        match = pattern.match(formula, position)
        if not match:
            raise NotEvaluated(f"cannot read {formula[position:]!r}")
        kind = match.lastgroup
        found.append((kind, match.group(kind)))
        position = match.end()
    return found


def parse(formula):
    """The formula (without its '=') as a tree: ("call", name, [args]), ("number", text),
    ("text", text), ("input",), ("missing",)."""
    tokens = _tokens(formula)
    at = 0

    def peek():
        return tokens[at] if at < len(tokens) else (None, None)

    def take():
        nonlocal at
        at += 1
        return tokens[at - 1]

    def expression():
        kind, value = peek()
        if value == "-":
            take()
            inner = expression()
            if inner[0] != "number":
                raise NotEvaluated("a minus sign before something other than a number")
            return ("number", "-" + inner[1])
        if kind == "number":
            return ("number", take()[1])
        if kind == "text":
            return ("text", take()[1][1:-1])
        if value == "@":
            take()
            return ("input",)
        if kind == "name":
            name = take()[1].upper()
            if take()[1] != "(":
                raise NotEvaluated(f"{name} without arguments")
            arguments = []
            while True:
                if peek()[1] in (";", ")"):
                    arguments.append(("missing",))
                else:
                    arguments.append(expression())
                if take()[1] == ")":
                    break
            if arguments == [("missing",)]:
                arguments = []
            return ("call", name, arguments)
        raise NotEvaluated(f"unexpected {value!r}")

    tree = expression()
    if at != len(tokens):
        raise NotEvaluated("text after the formula")
    return tree


def _significant(value, digits):
    """value (a Fraction) rounded to `digits` significant digits, halves to even."""
    if value == 0:
        return Fraction(0)
    magnitude = abs(value)
    exponent = math.floor(math.log10(magnitude.numerator) - math.log10(magnitude.denominator))
    while Fraction(10) ** exponent > magnitude:
        exponent -= 1
    while Fraction(10) ** (exponent + 1) <= magnitude:
        exponent += 1
    scale = Fraction(10) ** (digits - 1 - exponent)
    return Fraction(round(value * scale)) / scale


def _rounded(value, digits, exact):
    """An MPFR or integer result rounded to digits. An inexact one must round the same from both
    ends of its error interval (a relative 2^-(BITS - 64))."""
    value = gmpy2.mpq(value)
    value = Fraction(int(value.numerator), int(value.denominator))
    if exact:
        return _significant(value, digits)
    width = abs(value) / 2 ** (BITS - 64)
    low, high = _significant(value - width, digits), _significant(value + width, digits)
    if low != high:
        raise Unsettled(f"{float(value)!r} is too near a rounding midpoint at {digits} digits")
    return low


def _decimal(text):
    text = text.strip()
    if not re.fullmatch(r"[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?", text):
        raise ValueError(f"{text!r} is not a decimal number")
    mantissa, _, exponent = text.lower().partition("e")
    whole, _, fraction = mantissa.lstrip("+-").partition(".")
    value = Fraction(int((whole + fraction) or "0"), 10 ** len(fraction)) * Fraction(10) ** int(exponent or 0)
    return -value if mantissa.startswith("-") else value


def _input_value(given):
    """The value Calc passes for the input cell: text as typed, a number as its double."""
    if given.startswith('"'):
        return given.strip('"')
    return repr(float(given))


_ONE = {"ABS": abs, "FIX": gmpy2.trunc, "ROUND": gmpy2.round_away, "SQRT": gmpy2.sqrt,
        "COS": gmpy2.cos, "SIN": gmpy2.sin, "TAN": gmpy2.tan, "ASIN": gmpy2.asin,
        "ACOS": gmpy2.acos, "ATAN": gmpy2.atan, "EXP": gmpy2.exp, "LN": gmpy2.log,
        "LOG10": gmpy2.log10, "SINH": gmpy2.sinh, "COSH": gmpy2.cosh, "TANH": gmpy2.tanh,
        "ASINH": gmpy2.asinh, "ACOSH": gmpy2.acosh, "ATANH": gmpy2.atanh}
_TWO = {"ADD": lambda x, y: x + y, "SUB": lambda x, y: x - y, "MUL": lambda x, y: x * y,
        "DIV": lambda x, y: x / y, "MOD": gmpy2.fmod, "POWERX": lambda x, y: x ** y}


def reference(tree, given):
    """The value (a Fraction) the formula's tree must show, evaluated with MPFR."""
    kind = tree[0]
    if kind == "number":
        return _decimal(tree[1])
    if kind == "text":
        return _decimal(tree[1])
    if kind == "input":
        return _decimal(_input_value(given))
    if kind != "call" or not tree[1].startswith("OSTREL2"):
        raise NotEvaluated(f"{tree[1] if kind == 'call' else kind} is not an OSTREL2 function")
    name, arguments = tree[1][len("OSTREL2"):], tree[2]
    values = [None if a[0] == "missing" else reference(a, given) for a in arguments]
    arity = {"PI": 0, "FACTORIAL": 1, "POWER": 2, "ROOT": 2, "GCD": 2}.get(
        name, 2 if name in _TWO else 1)
    digits = values[arity] if len(values) > arity and values[arity] is not None else DEFAULT_DIGITS
    digits = int(digits)
    operands = values[:arity]

    with gmpy2.local_context(gmpy2.context(precision=BITS)) as context:
        x = [gmpy2.mpfr(gmpy2.mpq(v.numerator, v.denominator)) for v in operands]
        if name == "PI":
            result = gmpy2.const_pi()
        elif name == "FACTORIAL":
            result = gmpy2.fac(int(operands[0]))
        elif name == "POWER":
            result = x[0] ** int(operands[1])
        elif name == "ROOT":
            result = gmpy2.rootn(x[0], int(operands[1]))
        elif name == "GCD":
            whole = [gmpy2.mpz(gmpy2.round_away(v)) for v in x]
            g = gmpy2.gcd(*whole)
            part = int(values[3]) if len(values) > 3 and values[3] is not None else 0
            result = g if part == 0 else gmpy2.mpz(gmpy2.round_away(x[part - 1] / g))
        elif name in _TWO:
            result = _TWO[name](*x)
        else:
            result = _ONE[name](x[0])
        exact = not context.inexact
    return _rounded(result, digits, exact)


def check_references(cases):
    """Faults of the cases whose cell shows an OSTREL2 function's result: its value must be MPFR's.
    Error values, messages and other Calc functions' values are compared with Calc's cells only."""
    faults = []
    for case in cases:
        if (not case.formula.startswith("=OSTREL2") or case.formula.startswith("=OSTREL2ERROR")
                or case.expected.startswith("Err:")):
            continue
        try:
            expected = _decimal(case.expected)
            want = reference(parse(case.formula.lstrip("=")), case.given)
        except (ValueError, NotEvaluated, Unsettled) as problem:
            faults.append(f"line {case.line_number}: {case.formula}: {problem}")
            continue
        if want != expected:
            faults.append(f"line {case.line_number}: {case.formula}: expected text {case.expected} "
                          f"is not MPFR's value {_decimal_text(want)}")
    return faults


def _decimal_text(value):
    """A Fraction with a terminating decimal expansion, written in full."""
    if value == 0:
        return "0"
    sign = "-" if value < 0 else ""
    value = abs(value)
    shift = 0
    while (value * 10 ** shift).denominator != 1:
        shift += 1
    digits = str(int(value * 10 ** shift)).rjust(shift + 1, "0")
    whole, fraction = digits[:len(digits) - shift], digits[len(digits) - shift:].rstrip("0")
    return f"{sign}{whole}{'.' + fraction if fraction else ''}"


# ---- the sheet through Calc -------------------------------------------------------------------

def sheet_text(cases):
    """The sheet as tab-separated text: the formula in column A, its input in column B."""
    rows = []
    for row, case in enumerate(cases, 1):
        formula = case.formula.replace("@", f"B{row}")
        rows.append(formula if case.given is None else f"{formula}\t{case.given}")
    return "\n".join(rows) + "\n"


def compute_in_calc(cases, soffice, options, work):
    source = work / "sheet.tsv"
    source.write_text(sheet_text(cases), encoding="utf-8")
    out = work / "out"
    out.mkdir(exist_ok=True)
    environment = dict(os.environ)
    environment.pop("OSTREL2_LIBRARY_DIR", None)  # the extension's own libraries, none other
    done = subprocess.run([soffice, *options, "--headless", "--norestore",
                           f"--infilter={IMPORT_OPTIONS}", "--convert-to", EXPORT_FILTER,
                           "--outdir", str(out), str(source)],
                          env=environment, stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=600)
    result = out / "sheet.csv"
    if not result.exists():
        raise SystemExit(f"soffice wrote no result (exit status {done.returncode}):\n"
                         f"{done.stdout}{done.stderr}")
    with result.open(encoding="utf-8", newline="") as handle:
        return [row[0] if row else "" for row in csv.reader(handle, delimiter="\t")]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cases", type=Path, default=HERE / "cases.tsv")
    parser.add_argument("--soffice", default="soffice")
    parser.add_argument("--soffice-option", action="append", default=[],
                        help="an option for soffice, such as -env:UserInstallation=file:///...")
    parser.add_argument("--work", type=Path, help="folder for the sheet and its result")
    parser.add_argument("--references-only", action="store_true",
                        help="check the expected numbers against MPFR, without Calc")
    options = parser.parse_args()

    cases = read_cases(options.cases)
    faults = check_references(cases)
    for fault in faults:
        print(f"reference: {fault}")
    if options.references_only:
        print(f"references: {len(faults)} failed")
        return 1 if faults else 0

    work = options.work or Path(tempfile.mkdtemp(prefix="ostrel2-calc-"))
    work.mkdir(parents=True, exist_ok=True)
    shown = compute_in_calc(cases, options.soffice, options.soffice_option, work)
    passed = failed = 0
    for row, case in enumerate(cases):
        got = shown[row] if row < len(shown) else "(no cell)"
        if got == case.expected:
            passed += 1
        else:
            failed += 1
            print(f"line {case.line_number}: {case.formula}\n    expected {case.expected}\n"
                  f"    Calc     {got}")
    failed += len(faults)
    print(f"calc: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
