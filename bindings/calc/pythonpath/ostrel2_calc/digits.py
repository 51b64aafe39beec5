"""digits -- a decimal value rounded to significant digits and written as the ostrel2 program writes.

Values are exact decimal.Decimal numbers (a record's every live limb). Rounding is to nearest,
halves to even, done once. The notation is the program's: the digits kept, trailing zeros
dropped, positional ("123.45", "0.00012", "1200000000000000000000") unless that would need more
than 20 zeros between the digits and the point, a zero there in place of a digit rounded away,
or more than 6 zeros between the point and the digits; then scientific ("1.5e-300", "1e30",
"1.23e6" for 1234567 to three digits).
"""
import decimal

# Enough for any record (at most 3,060 digits) and for the midpoint between two roundings of
# 3,000 digits; exponents of records reach 2,000,000,000.
_CONTEXT = decimal.Context(prec=4000, rounding=decimal.ROUND_HALF_EVEN, Emax=decimal.MAX_EMAX,
                           Emin=decimal.MIN_EMIN, traps=[decimal.InvalidOperation])
_MOST_PADDING_BEFORE_POINT = 20
_MOST_ZEROS_AFTER_POINT = 6


def leading_exponent(value):
    """The decimal exponent of the leading digit of a non-zero value (1 for 12.5, -2 for 0.05)."""
    return value.adjusted()


def power_of_ten(exponent):
    """10 ** exponent, exact."""
    return decimal.Decimal((0, (1,), exponent))


def quantum(value, digits):
    """The place value of the last of `digits` significant digits of a non-zero value."""
    return power_of_ten(leading_exponent(value) - digits + 1)


def rounded(value, digits):
    """value rounded to `digits` significant digits, halves to even (9.95 to 2 digits is 10)."""
    if not value:
        return decimal.Decimal(0)
    return value.quantize(quantum(value, digits), context=_CONTEXT)


def midpoint(value, digits):
    """The point halfway between the two numbers of `digits` significant digits around a
    non-zero value: where rounding to that many digits changes direction."""
    step = quantum(value, digits)
    below = value.copy_abs().quantize(step, rounding=decimal.ROUND_FLOOR, context=_CONTEXT)
    half = _CONTEXT.add(below, _CONTEXT.multiply(step, decimal.Decimal("0.5")))
    return half.copy_sign(value)


def distance(a, b):
    """|a - b|, exact."""
    return _CONTEXT.subtract(a, b).copy_abs()


def text(value, digits):
    """The program's text of value rounded once to `digits` significant digits."""
    if not value:
        return "0"
    kept = rounded(value, digits)
    dropped = kept != value                       # a non-zero digit was rounded away
    last_kept = leading_exponent(value) - digits + 1  # place of the last digit kept
    sign, run, exponent = kept.as_tuple()
    run = "".join(map(str, run)).rstrip("0")
    count = len(run)
    lead = exponent + len(kept.as_tuple().digits) - 1  # exponent of run[0], after any carry
    minus = "-" if sign else ""
    if lead >= 0:
        padding = lead + 1 - count
        positional = padding <= 0 or (padding <= _MOST_PADDING_BEFORE_POINT
                                      and (not dropped or last_kept <= 0))
    else:
        positional = lead >= -(_MOST_ZEROS_AFTER_POINT + 1)
    if not positional:
        fraction = "." + run[1:] if count > 1 else ""
        return f"{minus}{run[0]}{fraction}e{lead}"
    if lead < 0:
        return f"{minus}0.{'0' * (-lead - 1)}{run}"
    whole = lead + 1
    if count <= whole:
        return f"{minus}{run}{'0' * (whole - count)}"
    return f"{minus}{run[:whole]}.{run[whole:]}"
