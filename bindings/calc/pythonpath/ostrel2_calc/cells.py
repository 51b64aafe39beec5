"""cells -- the cell functions computed: arguments as Calc passes them in, text out.

`call(function, arguments)` takes the values Calc hands to the add-in (a float for a number, a
str for text, None for an argument left out, a tuple of rows for a range) and returns the result
as text, or raises CellError with a message for the user.

Arguments are read exactly: a number from a cell enters as its shortest round-trip text (0.1 is
"0.1", not the binary double), text as it is, into records of a precision that holds all its
digits (up to the 3,060 digits of the largest record). The result is computed at the precision p
whose promised limbs hold the digits asked for and at least ten more, and once again two limbs
higher; when the two records round to the same digits, that is the result, rounded once, halves
to even. When they differ (a function ill conditioned at its argument, or a result that hangs on
digits beyond the first record's promise), the pair moves up, the precision doubling, to 303
limbs; a result whose digits are still unsettled there is refused with a message rather than
shown wrong. Two records that both sit on the midpoint between two roundings, each within its own
promise, are an exact half, rounded to even.
"""
import decimal
import math
import re

import ostrel2

from . import digits as decimal_digits
from . import functions as table

MOST_LIMBS = 303
_LIMB_SLOTS = 306         # limbs a record has room for
_DIGITS_PER_LIMB = 10
_MARGIN_DIGITS = 10       # promised digits beyond those asked for
_CHECK_STEP = 2           # limbs between the first record and the one that confirms it
_NUMBER = re.compile(r"[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?")


class CellError(Exception):
    """A cell function cannot give a result; the message says why. `argument` is the position of
    the offending argument (0 for the first), or -1 when the failure is the computation's."""

    def __init__(self, message, argument=-1):
        super().__init__(message)
        self.argument = argument


def _single(value, name, position):
    """The one value of a single cell: a range of one cell passes its value, a larger one fails."""
    if isinstance(value, tuple):
        cells = [cell for row in value for cell in row]
        if len(cells) != 1:
            raise CellError(f"{name}: a range of {len(cells)} cells where one value belongs",
                            position)
        value = cells[0]
    return value


def _number_text(value, name, position):
    """Decimal text for a number argument: a float by its shortest round-trip text, text as the
    library's decimal syntax."""
    value = _single(value, name, position)
    if value is None:
        raise CellError(f"{name} is missing", position)
    if isinstance(value, bool):
        value = int(value)
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        if not math.isfinite(value):
            raise CellError(f"{name}: {value!r} is not a number", position)
        return repr(value)
    if isinstance(value, str):
        text = value.strip()
        if not _NUMBER.fullmatch(text):
            shown = text if len(text) <= 40 else text[:37] + "..."
            raise CellError(f"{name}: \"{shown}\" is not a decimal number", position)
        return text
    raise CellError(f"{name}: a value of type {type(value).__name__} is not a number", position)


def _exact(text):
    return decimal.Decimal(text)


def _limbs_to_hold(text, name, position):
    """The least precision whose live limbs (precision + 4 of them, at most the record's 306 slots)
    hold every digit of the text; text with more digits than that is refused, not cut."""
    sign, digits, exponent = _exact(text).as_tuple()
    while digits and digits[-1] == 0:
        digits = digits[:-1]
        exponent += 1
    if not digits:
        return 1
    lead = exponent + len(digits) - 1
    record_exponent = (lead // _DIGITS_PER_LIMB) * _DIGITS_PER_LIMB
    limbs = (record_exponent - exponent) // _DIGITS_PER_LIMB + 1
    if limbs > _LIMB_SLOTS:
        raise CellError(f"{name}: more significant digits than a record holds "
                        f"({_LIMB_SLOTS * _DIGITS_PER_LIMB:,} from a limb boundary)", position)
    return min(MOST_LIMBS, max(1, limbs - 4))


def _whole(value, name, position, low, high):
    """A whole-number argument from low to high, as an int."""
    exact = _exact(_number_text(value, name, position))
    if exact != exact.to_integral_value() or not low <= exact <= high:
        raise CellError(f"{name} must be a whole number from {low:,} to {high:,}", position)
    return int(exact)


def _digits(value, position):
    value = _single(value, "digits", position)
    if value is None:
        return table.DEFAULT_DIGITS
    return _whole(value, "digits", position, 1, table.MOST_DIGITS)


def _limbs_for_digits(digits):
    """The least precision whose promised limbs hold `digits` and _MARGIN_DIGITS more, whatever the
    width of the leading limb: p limbs from a leading limb of one digit hold 10 (p - 1) + 1."""
    return -(-(digits + _MARGIN_DIGITS - 1) // _DIGITS_PER_LIMB) + 1


def _whole_double(value, name, position):
    """A whole-number argument the library takes as a double: any number a double holds exactly
    (the library itself refuses fractions and values out of its range, with its own message)."""
    exact = _exact(_number_text(value, name, position))
    n = float(exact)
    if decimal.Decimal(n) != exact:
        raise CellError(f"{name} = {exact} is not a number a double holds exactly", position)
    return n


def _value(number):
    """The exact value of a record, every live limb."""
    return _exact(number.text(all_limbs=True))


def _promise(value, limbs):
    """How far a record of `limbs` promised limbs may lie from the true value: a unit of its last
    promised digit, counted from the leading digit of a leading limb of one digit, times ten."""
    return decimal_digits.power_of_ten(decimal_digits.leading_exponent(value)
                                       - _DIGITS_PER_LIMB * (limbs - 1) + 1)


def _on_midpoint(values, limbs, digits):
    """True when every record lies within its promise of the same midpoint between two roundings."""
    middle = decimal_digits.midpoint(values[-1], digits)
    return all(decimal_digits.distance(v, middle) <= _promise(middle, p)
               for v, p in zip(values, limbs))


def _settled(compute, digits, limbs):
    """The exact value to round: compute(limbs) at `limbs` and higher until two records agree on
    the digits asked for."""
    first = _value(compute(limbs))
    if limbs >= MOST_LIMBS:  # nothing above to confirm it: the promise alone
        return first
    step = _CHECK_STEP
    while True:
        higher = min(MOST_LIMBS, limbs + step)
        second = _value(compute(higher))
        if not first and not second:
            return first
        if first and second and _on_midpoint((first, second), (limbs, higher), digits):
            return decimal_digits.midpoint(second, digits)
        if decimal_digits.rounded(first, digits) == decimal_digits.rounded(second, digits):
            return second
        if higher >= MOST_LIMBS:
            raise CellError(f"the first {digits:,} digits cannot be settled within the "
                            f"{MOST_LIMBS * _DIGITS_PER_LIMB:,} digits of the largest record: the "
                            f"result is too sensitive to its argument here")
        first, limbs, step = second, higher, higher


def _library_call(function, limbs, texts, extra=()):
    """A function of the ostrel2 module on the texts at a precision; its failure as a CellError."""
    try:
        return function(*texts, *extra, precision=limbs)
    except ostrel2.Error as failure:
        raise CellError(str(failure)) from None
    except ValueError as failure:  # text the library's parser refuses (an exponent out of range)
        raise CellError(str(failure)) from None


def _arguments(function, values, count):
    """values padded with None to `count`; more than that fails."""
    values = tuple(values)
    if len(values) > count:
        raise CellError(f"{function.name} takes at most {count} arguments, not {len(values)}")
    return values + (None,) * (count - len(values))


def call(name, values):
    """The text result of the cell function `name` (such as "OSTREL2ADD") on Calc's values."""
    function = table.BY_NAME[name]
    values = _arguments(function, values, len(function.arguments))
    if function.kind == table.MESSAGE:
        return message(*values)
    kind = function.kind
    module_function = getattr(ostrel2, function.module_function)

    if kind == table.DIGITS_ONLY:
        digits = _digits(values[0], 0)
        limbs = _limbs_for_digits(digits)
        return decimal_digits.text(_settled(lambda p: _library_call(module_function, p, ()),
                                            digits, limbs), digits)

    if kind == table.WHOLE:
        n = _whole(values[0], "n", 0, -2 ** 31, 2 ** 31 - 1)
        digits = _digits(values[1], 1)
        limbs = _limbs_for_digits(digits)
        return decimal_digits.text(_settled(lambda p: _library_call(module_function, p, (n,)),
                                            digits, limbs), digits)

    records = 2 if kind in (table.TWO_NUMBERS, table.DIVISOR) else 1
    names = [a[0] for a in function.arguments]
    texts = tuple(_number_text(values[k], names[k], k) for k in range(records))
    extra = ()
    if kind == table.NUMBER_AND_WHOLE:
        extra = (_whole_double(values[1], "n", 1),)
    digits_position = records + len(extra)
    digits = _digits(values[digits_position], digits_position)
    limbs = max([_limbs_for_digits(digits)]
                + [_limbs_to_hold(t, names[k], k) for k, t in enumerate(texts)])
    if kind == table.TWO_NUMBERS or kind == table.DIVISOR:
        limbs = max(limbs, _quotient_limbs(function, texts, digits))

    if kind == table.DIVISOR:
        part = _whole(values[3], "cofactor", 3, 0, 2) if values[3] is not None else 0
        if any(_exact(t).copy_abs() < decimal.Decimal("0.5") for t in texts):
            raise CellError("x and y must round to whole numbers other than 0")

        def compute(p):
            return _library_call(module_function, p, texts)[part]
    else:
        def compute(p):
            return _library_call(module_function, p, texts, extra)
    return decimal_digits.text(_settled(compute, digits, limbs), digits)


def _quotient_limbs(function, texts, digits):
    """Limbs for the whole quotients behind a remainder: those of OSTREL2MOD's x / y and the
    remainder's digits beyond them, or those of the steps of Euclid's algorithm in OSTREL2GCD,
    which have up to as many digits as the larger argument. The library refuses a remainder whose
    quotient has more digits than its division delivers."""
    x, y = (_exact(t) for t in texts)
    if not x or not y:
        return 1
    if function.name == "OSTREL2MOD":
        return min(MOST_LIMBS, _limbs_for_digits(max(0, x.adjusted() - y.adjusted() + 1) + digits))
    if function.name == "OSTREL2GCD":
        return min(MOST_LIMBS, _limbs_for_digits(max(0, x.adjusted() + 1, y.adjusted() + 1)))
    return 1


def message(name, *values):
    """The message of a call of the function `name` ("DIV" or "OSTREL2DIV") on the values, or ""
    when the call succeeds."""
    name = _single(name, "function", 0)
    if not isinstance(name, str) or not name.strip():
        return "function: give the name of an OSTREL2 function, such as \"DIV\""
    wanted = name.strip().upper()
    if not wanted.startswith("OSTREL2"):
        wanted = "OSTREL2" + wanted
    function = table.BY_NAME.get(wanted)
    if function is None or function.kind == table.MESSAGE:
        return f"function: there is no function {name.strip()}"
    while values and values[-1] is None:
        values = values[:-1]
    try:
        call(function.name, values)
    except CellError as failure:
        return str(failure)
    except Exception as failure:  # a fault of the add-in; the cell itself shows an error value
        return f"{type(failure).__name__}: {failure}"
    return ""
