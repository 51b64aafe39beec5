"""The module functions: one for each export of the library.

Written by tests/exports/python_module.py from api/export_table.h: edit the table and run it
again, not this file.
"""

from __future__ import annotations

from typing import Optional, Tuple

from ._exports import (COFACTORS, INTEGER_AND_PRECISION, PRECISION, RECORD,
                       RECORD_AND_DOUBLE, TWO_RECORDS, VERSION)
from ._number import Number, Value, _call

__all__ = (
    'version', 'abs', 'fix', 'round', 'mod', 'add', 'subtract', 'multiply2', 'multiply',
    'divide2', 'divide', 'sqrt', 'power', 'powerx', 'root', 'pi', 'cos', 'sin', 'tan', 'asin',
    'acos', 'atan', 'exp', 'log', 'log10', 'sinh', 'cosh', 'tanh', 'asinh', 'acosh', 'atanh',
    'factorial', 'gcd')


def version() -> int:
    """The library's version number (Version_XL, ordinal 1).

    Returns the interface version, an int.
    """
    return _call('Version_XL', VERSION)


def abs(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """|x| (Abs_XL, ordinal 2).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Abs_XL', RECORD, x, precision=precision, digits=digits)


def fix(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """x truncated toward zero (Fix_XL, ordinal 3).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Fix_XL', RECORD, x, precision=precision, digits=digits)


def round(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """x rounded to a whole number, halves away from zero (Round_XL, ordinal 4).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Round_XL', RECORD, x, precision=precision, digits=digits)


def mod(x: Value, y: Value, precision: Optional[int] = None, *,
        digits: Optional[int] = None) -> Number:
    """x - fix(x / y) * y, with the sign of x (Mod_XL, ordinal 5).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Mod_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def add(x: Value, y: Value, precision: Optional[int] = None, *,
        digits: Optional[int] = None) -> Number:
    """x + y (Add_XL, ordinal 6).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Add_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def subtract(x: Value, y: Value, precision: Optional[int] = None, *,
             digits: Optional[int] = None) -> Number:
    """x - y (Subtract_XL, ordinal 7).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Subtract_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def multiply2(x: Value, y: Value, precision: Optional[int] = None, *,
              digits: Optional[int] = None) -> Number:
    """x * y, limb by limb (Multipl2_XL, ordinal 8).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Multipl2_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def multiply(x: Value, y: Value, precision: Optional[int] = None, *,
             digits: Optional[int] = None) -> Number:
    """x * y, by transform (at least 5 limbs) (Multipl_XL, ordinal 9).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Multipl_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def divide2(x: Value, y: Value, precision: Optional[int] = None, *,
            digits: Optional[int] = None) -> Number:
    """x / y, by long division (Div2_XL, ordinal 10).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Div2_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def divide(x: Value, y: Value, precision: Optional[int] = None, *,
           digits: Optional[int] = None) -> Number:
    """x / y, by Newton reciprocal (Div_XL, ordinal 11).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Div_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def sqrt(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The square root of x (Sqr_XL, ordinal 12).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Sqr_XL', RECORD, x, precision=precision, digits=digits)


def power(x: Value, n: int, precision: Optional[int] = None, *,
          digits: Optional[int] = None) -> Number:
    """x to the whole power n (Power_XL, ordinal 13).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Power_XL', RECORD_AND_DOUBLE, x, n, precision=precision, digits=digits)


def powerx(x: Value, y: Value, precision: Optional[int] = None, *,
           digits: Optional[int] = None) -> Number:
    """x to the power y (PowerX_XL, ordinal 14).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('PowerX_XL', TWO_RECORDS, x, y, precision=precision, digits=digits)


def root(x: Value, n: int, precision: Optional[int] = None, *,
         digits: Optional[int] = None) -> Number:
    """The n-th root of x (Root_XL, ordinal 15).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Root_XL', RECORD_AND_DOUBLE, x, n, precision=precision, digits=digits)


def pi(precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """pi at the precision given (Pai_XL, ordinal 16).

    Computed at `precision` limbs, or the fewest that hold `digits`.
    """
    return _call('Pai_XL', PRECISION, precision=precision, digits=digits)


def cos(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The cosine of x (radians) (Cos_XL, ordinal 17).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Cos_XL', RECORD, x, precision=precision, digits=digits)


def sin(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The sine of x (radians) (Sin_XL, ordinal 18).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Sin_XL', RECORD, x, precision=precision, digits=digits)


def tan(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The tangent of x (radians) (Tan_XL, ordinal 19).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Tan_XL', RECORD, x, precision=precision, digits=digits)


def asin(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The arc sine of x (Asn_XL, ordinal 20).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Asn_XL', RECORD, x, precision=precision, digits=digits)


def acos(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The arc cosine of x (Acs_XL, ordinal 21).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Acs_XL', RECORD, x, precision=precision, digits=digits)


def atan(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The arc tangent of x (Atn_XL, ordinal 22).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Atn_XL', RECORD, x, precision=precision, digits=digits)


def exp(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """e to the power x (Exp_XL, ordinal 23).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Exp_XL', RECORD, x, precision=precision, digits=digits)


def log(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The natural logarithm of x (Loge_XL, ordinal 24).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Loge_XL', RECORD, x, precision=precision, digits=digits)


def log10(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The common logarithm of x (Log10_XL, ordinal 25).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Log10_XL', RECORD, x, precision=precision, digits=digits)


def sinh(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The hyperbolic sine of x (Sinh_XL, ordinal 26).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Sinh_XL', RECORD, x, precision=precision, digits=digits)


def cosh(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The hyperbolic cosine of x (Cosh_XL, ordinal 27).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Cosh_XL', RECORD, x, precision=precision, digits=digits)


def tanh(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The hyperbolic tangent of x (Tanh_XL, ordinal 28).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Tanh_XL', RECORD, x, precision=precision, digits=digits)


def asinh(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The inverse hyperbolic sine of x (Asinh_XL, ordinal 29).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Asinh_XL', RECORD, x, precision=precision, digits=digits)


def acosh(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The inverse hyperbolic cosine of x (Acosh_XL, ordinal 30).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Acosh_XL', RECORD, x, precision=precision, digits=digits)


def atanh(x: Value, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """The inverse hyperbolic tangent of x (Atanh_XL, ordinal 31).

    The operands are Numbers or plain values (int, str, Decimal, Fraction, float); see
    ostrel2.Number for the precision a call works at.
    """
    return _call('Atanh_XL', RECORD, x, precision=precision, digits=digits)


def factorial(n: int, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
    """n! at the precision given (Factorial_XL, ordinal 32).

    Computed at `precision` limbs, or the fewest that hold `digits`.
    """
    return _call('Factorial_XL', INTEGER_AND_PRECISION, n, precision=precision, digits=digits)


def gcd(x: Value, y: Value, precision: Optional[int] = None, *,
        digits: Optional[int] = None) -> Tuple[Number, Number, Number]:
    """g = gcd(round(x), round(y)), then the cofactors x/g and y/g (LCM_XL, ordinal 33).

    Returns (g, x / g, y / g) as Numbers; x and y stay as they were.
    """
    return _call('LCM_XL', COFACTORS, x, y, precision=precision, digits=digits)
