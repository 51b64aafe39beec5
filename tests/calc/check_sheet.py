"""check_sheet.py -- a sheet of OSTREL2 formulas computed by a real headless Calc, every cell
compared with its expected text, and every expected number checked against MPFR.

    python3 check_sheet.py --soffice-option=-env:... [--cases cases.tsv] [--work DIR]
                           [--random 150] [--seed N]
    python3 check_sheet.py --references-only    # the expected numbers against MPFR alone

The cases file has one row per cell: the formula, the text the cell must show, and optionally
an input put in the cell to its right, which the formula names as @. An input in double quotes
is a text cell, otherwise Calc reads it as a number. Rows starting with # are comments.

Beside the written cases the sheet holds random formulas (150 by default, from a fixed seed):
every function over its domain, arguments as text of up to 40 digits or as doubles, 1 to 500
digits; each of those cells must show its reference value.

The sheet goes to Calc as tab-separated text imported with formula evaluation on (so the
functions' display names are resolved) and comes back as tab-separated text of what each cell
shows. soffice exits 0 whatever the cells hold, so only the values tell.

Expected numbers are not taken from the extension: each formula is evaluated again, every
OSTREL2 function on the exact decimal value of its arguments (rational results exactly, the
others with MPFR through gmpy2 at 20,000 bits), its result rounded to the digits asked for,
halves to even, before it feeds an enclosing call, as the extension does; the expected text must
have exactly that value. An MPFR value so close to a rounding midpoint that 20,000 bits cannot
tell the side is reported as a fault of the case, not decided.
"""
import argparse
import csv
import math
import os
import random
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
RANDOM_FORMULAS = 150
RANDOM_SEED = 20091025


class Case:
    """A cell: its formula, the text it must show (or, for a random formula, the value), and the
    input beside it."""

    def __init__(self, where, formula, expected, given=None, value=None):
        self.where = where
        self.formula = formula
        self.expected = expected
        self.given = given
        self.value = value

    def shows(self, text):
        if self.value is None:
            return text == self.expected
        try:
            return _decimal(text) == self.value
        except ValueError:
            return False


def read_cases(path):
    cases = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) not in (2, 3):
            raise SystemExit(f"{path}:{number}: want formula, expected text and an optional input, "
                             f"separated by tabs")
        cases.append(Case(f"line {number}", fields[0], fields[1],
                          fields[2] if len(fields) == 3 else None))
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


def _round_away(value):
    """A Fraction rounded to a whole number, halves away from zero."""
    whole = math.floor(abs(value) + Fraction(1, 2))
    return Fraction(-whole if value < 0 else whole)


# Rational results, exact.
_EXACT = {"ADD": lambda x, y: x + y, "SUB": lambda x, y: x - y, "MUL": lambda x, y: x * y,
          "DIV": lambda x, y: x / y, "MOD": lambda x, y: x - math.trunc(x / y) * y,
          "ABS": abs, "FIX": lambda x: Fraction(math.trunc(x)), "ROUND": _round_away,
          "FACTORIAL": lambda n: Fraction(math.factorial(int(n)))}
# Irrational results, by MPFR.
_MPFR = {"SQRT": gmpy2.sqrt, "COS": gmpy2.cos, "SIN": gmpy2.sin, "TAN": gmpy2.tan,
         "ASIN": gmpy2.asin, "ACOS": gmpy2.acos, "ATAN": gmpy2.atan, "EXP": gmpy2.exp,
         "LN": gmpy2.log, "LOG10": gmpy2.log10, "SINH": gmpy2.sinh, "COSH": gmpy2.cosh,
         "TANH": gmpy2.tanh, "ASINH": gmpy2.asinh, "ACOSH": gmpy2.acosh, "ATANH": gmpy2.atanh,
         "POWERX": lambda x, y: x ** y, "ROOT": lambda x, n: gmpy2.rootn(x, int(n)),
         "POWER": lambda x, n: x ** int(n), "PI": gmpy2.const_pi}
_TWO_OPERANDS = ("ADD", "SUB", "MUL", "DIV", "MOD", "POWER", "POWERX", "ROOT", "GCD")
_MOST_EXACT_POWER = 10000


def _exact_result(name, operands, cofactor):
    """The exact value of a rational function, or None for one MPFR computes."""
    if name == "GCD":
        g = math.gcd(*(int(_round_away(x)) for x in operands))
        return Fraction(g) if cofactor == 0 else _round_away(operands[cofactor - 1] / g)
    if name == "POWER" and abs(operands[1]) <= _MOST_EXACT_POWER:
        return operands[0] ** int(operands[1])
    if name in _EXACT:
        return _EXACT[name](*operands)
    return None


def reference(tree, given):
    """The value (a Fraction) the formula's tree must show: exact rational arithmetic where the
    result is rational, MPFR at BITS bits otherwise."""
    kind = tree[0]
    if kind in ("number", "text"):
        return _decimal(tree[1])
    if kind == "input":
        return _decimal(_input_value(given))
    if kind != "call" or not tree[1].startswith("OSTREL2"):
        raise NotEvaluated(f"{tree[1] if kind == 'call' else kind} is not an OSTREL2 function")
    name, arguments = tree[1][len("OSTREL2"):], tree[2]
    values = [None if a[0] == "missing" else reference(a, given) for a in arguments]
    values += [None] * 4
    arity = 0 if name == "PI" else 2 if name in _TWO_OPERANDS else 1
    operands = values[:arity]
    digits = DEFAULT_DIGITS if values[arity] is None else int(values[arity])
    cofactor = 0 if values[3] is None else int(values[3])

    exact = _exact_result(name, operands, cofactor)
    if exact is not None:
        return _significant(exact, digits)
    with gmpy2.local_context(gmpy2.context(precision=BITS)) as context:
        x = [gmpy2.mpfr(gmpy2.mpq(v.numerator, v.denominator)) for v in operands]
        result = _MPFR[name](*x)
        inexact = context.inexact
    return _rounded(result, digits, not inexact)


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
            faults.append(f"{case.where}: {case.formula}: {problem}")
            continue
        if want != expected:
            faults.append(f"{case.where}: {case.formula}: expected text {case.expected} "
                          f"is not the reference value {_decimal_text(want)}")
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


# ---- random formulas -------------------------------------------------------------------------

def _number(low, high, positive=False):
    """A random argument with its leading digit at 10^low .. 10^high: text of up to 40 digits, or
    a number of up to 15 digits that Calc reads as a double (its shortest text is the same)."""
    def make(rng):
        text = rng.random() < 0.5
        count = rng.randint(1, 40 if text else 15)
        digits = str(rng.randrange(10 ** (count - 1), 10 ** count))
        sign = "" if positive or rng.random() < 0.5 else "-"
        number = f"{sign}{digits[0]}{'.' + digits[1:] if count > 1 else ''}e{rng.randint(low, high)}"
        return f'"{number}"' if text else number
    return make


def _whole(low, high):
    return lambda rng: str(rng.randint(low, high))


# Each function's arguments, within its domain and the library's ranges.
_RANDOM_ARGUMENTS = {
    "ADD": (_number(-30, 30), _number(-30, 30)), "SUB": (_number(-30, 30), _number(-30, 30)),
    "MUL": (_number(-30, 30), _number(-30, 30)), "DIV": (_number(-30, 30), _number(-30, 30)),
    "MOD": (_number(-5, 40), _number(-5, 10)), "ABS": (_number(-30, 30),),
    "FIX": (_number(-3, 40),), "ROUND": (_number(-3, 40),),
    "SQRT": (_number(-30, 30, True),), "POWER": (_number(-3, 3), _whole(-60, 60)),
    "POWERX": (_number(-2, 2, True), _number(-3, 1)), "ROOT": (_number(-30, 30, True), _whole(1, 30)),
    "PI": (), "COS": (_number(-10, 15),), "SIN": (_number(-10, 15),), "TAN": (_number(-10, 15),),
    "ASIN": (_number(-20, -1),), "ACOS": (_number(-20, -1),), "ATAN": (_number(-30, 30),),
    "EXP": (_number(-20, 3),), "LN": (_number(-30, 30, True),),
    "LOG10": (_number(-30, 30, True),), "SINH": (_number(-20, 2),), "COSH": (_number(-20, 2),),
    "TANH": (_number(-20, 1),), "ASINH": (_number(-30, 30),), "ACOSH": (_number(0, 20, True),),
    "ATANH": (_number(-20, -1),), "FACTORIAL": (_whole(0, 3000),),
    "GCD": (_whole(1, 10 ** 15), _whole(1, 10 ** 15)),
}
_RANDOM_DIGITS = (1, 2, 5, 10, 15, 30, 31, 50, 99, 100, 200, 500)


def random_cases(count, seed):
    """`count` random formulas, each cell to show its reference value (the notation is the
    concern of the written cases)."""
    rng = random.Random(seed)
    cases = []
    while len(cases) < count:
        name = rng.choice(sorted(_RANDOM_ARGUMENTS))
        arguments = "".join(f"{make(rng)};" for make in _RANDOM_ARGUMENTS[name])
        formula = f"=OSTREL2{name}({arguments}{rng.choice(_RANDOM_DIGITS)})"
        try:
            value = reference(parse(formula[1:]), None)
        except Unsettled:
            continue
        cases.append(Case(f"random {len(cases) + 1}", formula, None, value=value))
    return cases


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
    parser.add_argument("--random", type=int, default=RANDOM_FORMULAS,
                        help="random formulas added to the sheet (default %(default)s)")
    parser.add_argument("--seed", type=int, default=RANDOM_SEED)
    options = parser.parse_args()

    cases = read_cases(options.cases)
    faults = check_references(cases)
    for fault in faults:
        print(f"reference: {fault}")
    if options.references_only:
        print(f"references: {len(faults)} failed")
        return 1 if faults else 0

    cases += random_cases(options.random, options.seed)
    work = options.work or Path(tempfile.mkdtemp(prefix="ostrel2-calc-"))
    work.mkdir(parents=True, exist_ok=True)
    shown = compute_in_calc(cases, options.soffice, options.soffice_option, work)
    passed = failed = 0
    for row, case in enumerate(cases):
        got = shown[row] if row < len(shown) else "(no cell)"
        if case.shows(got):
            passed += 1
        else:
            failed += 1
            want = case.expected if case.value is None else _decimal_text(case.value)
            print(f"{case.where}: {case.formula}\n    expected {want}\n    Calc     {got}")
    failed += len(faults)
    print(f"calc: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
