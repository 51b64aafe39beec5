"""functions -- the cell functions of the Calc extension: names, arguments and descriptions.

One row per function. The type library, the function wizard's texts (CalcAddIns.xcu) and the
add-in's methods are all made from this table, so they cannot disagree. Every function takes its
arguments as `any` (a number, text, or nothing when left out) and returns text.

A row: the name in cells, the method name (the programmatic name stored in documents), the kind
of call, the ostrel2 module function behind it, a one-line description, and the arguments as
(name, description) pairs in their order.
"""
from collections import namedtuple

Function = namedtuple("Function", "name method kind module_function description arguments")

# Kinds of call: what the arguments before `digits` are.
ONE_NUMBER = "x"                  # f(x)
TWO_NUMBERS = "x, y"              # f(x, y)
NUMBER_AND_WHOLE = "x, n"         # f(x, n), n a whole number passed as a double
DIGITS_ONLY = "digits"            # pi
WHOLE = "n"                       # factorial, n a 32-bit whole number
DIVISOR = "x, y, cofactor"        # the greatest common divisor or one of its cofactors
MESSAGE = "message"               # the message of another function's call

DEFAULT_DIGITS = 30
MOST_DIGITS = 3000

X = ("x", "A number, or the text of one (such as the result of another OSTREL2 function).")
Y = ("y", "A number, or the text of one.")
DIGITS = ("digits", f"Significant digits of the result, 1 to {MOST_DIGITS:,} "
                    f"(default {DEFAULT_DIGITS}).")


def _row(name, kind, module_function, description, *arguments):
    method = name.lower()
    if kind == DIGITS_ONLY:
        arguments = (DIGITS,)
    elif kind != MESSAGE:
        arguments = arguments + (DIGITS,)
    if kind == DIVISOR:
        arguments = arguments + (("cofactor", "0 or left out: the divisor g; 1: x / g; 2: y / g."),)
    return Function("OSTREL2" + name, method, kind, module_function, description, arguments)


def _one(name, module_function, description):
    return _row(name, ONE_NUMBER, module_function, description, X)


def _two(name, module_function, description):
    return _row(name, TWO_NUMBERS, module_function, description, X, Y)


FUNCTIONS = (
    _two("ADD", "add", "The sum x + y."),
    _two("SUB", "subtract", "The difference x - y."),
    _two("MUL", "multiply", "The product x * y."),
    _two("DIV", "divide", "The quotient x / y."),
    _two("MOD", "mod", "The remainder x - FIX(x / y) * y, with the sign of x."),
    _one("ABS", "abs", "The absolute value of x."),
    _one("FIX", "fix", "x truncated toward zero to a whole number."),
    _one("ROUND", "round", "x rounded to a whole number, halves away from zero."),
    _one("SQRT", "sqrt", "The square root of x."),
    _row("POWER", NUMBER_AND_WHOLE, "power", "x to the power n, for a whole number n.", X,
         ("n", "A whole number from -1,000,000,000,000 to 1,000,000,000,000.")),
    _two("POWERX", "powerx", "x to the power y."),
    _row("ROOT", NUMBER_AND_WHOLE, "root", "The n-th root of x, for a whole number n.", X,
         ("n", "A whole number from 1 to 10,000,000,000,000.")),
    _row("PI", DIGITS_ONLY, "pi", "The number pi."),
    _one("COS", "cos", "The cosine of x (radians)."),
    _one("SIN", "sin", "The sine of x (radians)."),
    _one("TAN", "tan", "The tangent of x (radians)."),
    _one("ASIN", "asin", "The arc sine of x, in radians."),
    _one("ACOS", "acos", "The arc cosine of x, in radians."),
    _one("ATAN", "atan", "The arc tangent of x, in radians."),
    _one("EXP", "exp", "e to the power x."),
    _one("LN", "log", "The natural logarithm of x."),
    _one("LOG10", "log10", "The common (base 10) logarithm of x."),
    _one("SINH", "sinh", "The hyperbolic sine of x."),
    _one("COSH", "cosh", "The hyperbolic cosine of x."),
    _one("TANH", "tanh", "The hyperbolic tangent of x."),
    _one("ASINH", "asinh", "The inverse hyperbolic sine of x."),
    _one("ACOSH", "acosh", "The inverse hyperbolic cosine of x."),
    _one("ATANH", "atanh", "The inverse hyperbolic tangent of x."),
    _row("FACTORIAL", WHOLE, "factorial", "n! (n factorial).",
         ("n", "A whole number from 0 to 1,000,000.")),
    _row("GCD", DIVISOR, "gcd",
         "The greatest common divisor g of x and y rounded to whole numbers, or a cofactor.",
         ("x", "A number, or the text of one; rounded to a whole number."),
         ("y", "A number, or the text of one; rounded to a whole number.")),
    _row("ERROR", MESSAGE, None,
         "The message of a failed OSTREL2 call with these arguments; empty text if it succeeds.",
         ("function", 'The function\'s name, such as "DIV" or "OSTREL2DIV".'),
         ("argument1", "The call's first argument."),
         ("argument2", "The call's second argument."),
         ("argument3", "The call's third argument."),
         ("argument4", "The call's fourth argument.")),
)

BY_NAME = {f.name: f for f in FUNCTIONS}
