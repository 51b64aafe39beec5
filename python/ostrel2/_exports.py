"""The library's exports as the module offers them, and the methods of ostrel2.Number.

Written by tests/exports/python_module.py from api/export_table.h: edit the table and run it
again, not this file.
"""

from __future__ import annotations

from typing import TYPE_CHECKING, Optional

if TYPE_CHECKING:
    from ._number import Number

# The kinds of call, by the export's arguments after the result record.
VERSION = "version"                   # no result record; returns an int32
RECORD = "record"                     # f(result, x)
TWO_RECORDS = "two records"           # f(result, x, y)
COFACTORS = "cofactors"               # f(result, x, y); writes the cofactors into x and y
RECORD_AND_DOUBLE = "record, double"  # f(result, x, n) with n a double
PRECISION = "precision"               # f(result, precision)
INTEGER_AND_PRECISION = "int, precision"  # f(result, n, precision)

# (Python name, export, kind, summary), one row per export, ordinals 1, 2, ...
EXPORTS = (
    ('version', 'Version_XL', VERSION, "the library's version number"),
    ('abs', 'Abs_XL', RECORD, '|x|'),
    ('fix', 'Fix_XL', RECORD, 'x truncated toward zero'),
    ('round', 'Round_XL', RECORD, 'x rounded to a whole number, halves away from zero'),
    ('mod', 'Mod_XL', TWO_RECORDS, 'x - fix(x / y) * y, with the sign of x'),
    ('add', 'Add_XL', TWO_RECORDS, 'x + y'),
    ('subtract', 'Subtract_XL', TWO_RECORDS, 'x - y'),
    ('multiply2', 'Multipl2_XL', TWO_RECORDS, 'x * y, limb by limb'),
    ('multiply', 'Multipl_XL', TWO_RECORDS, 'x * y, by transform (at least 5 limbs)'),
    ('divide2', 'Div2_XL', TWO_RECORDS, 'x / y, by long division'),
    ('divide', 'Div_XL', TWO_RECORDS, 'x / y, by Newton reciprocal'),
    ('sqrt', 'Sqr_XL', RECORD, 'the square root of x'),
    ('power', 'Power_XL', RECORD_AND_DOUBLE, 'x to the whole power n'),
    ('powerx', 'PowerX_XL', TWO_RECORDS, 'x to the power y'),
    ('root', 'Root_XL', RECORD_AND_DOUBLE, 'the n-th root of x'),
    ('pi', 'Pai_XL', PRECISION, 'pi at the precision given'),
    ('cos', 'Cos_XL', RECORD, 'the cosine of x (radians)'),
    ('sin', 'Sin_XL', RECORD, 'the sine of x (radians)'),
    ('tan', 'Tan_XL', RECORD, 'the tangent of x (radians)'),
    ('asin', 'Asn_XL', RECORD, 'the arc sine of x'),
    ('acos', 'Acs_XL', RECORD, 'the arc cosine of x'),
    ('atan', 'Atn_XL', RECORD, 'the arc tangent of x'),
    ('exp', 'Exp_XL', RECORD, 'e to the power x'),
    ('log', 'Loge_XL', RECORD, 'the natural logarithm of x'),
    ('log10', 'Log10_XL', RECORD, 'the common logarithm of x'),
    ('sinh', 'Sinh_XL', RECORD, 'the hyperbolic sine of x'),
    ('cosh', 'Cosh_XL', RECORD, 'the hyperbolic cosine of x'),
    ('tanh', 'Tanh_XL', RECORD, 'the hyperbolic tangent of x'),
    ('asinh', 'Asinh_XL', RECORD, 'the inverse hyperbolic sine of x'),
    ('acosh', 'Acosh_XL', RECORD, 'the inverse hyperbolic cosine of x'),
    ('atanh', 'Atanh_XL', RECORD, 'the inverse hyperbolic tangent of x'),
    ('factorial', 'Factorial_XL', INTEGER_AND_PRECISION, 'n! at the precision given'),
    ('gcd', 'LCM_XL', COFACTORS, 'g = gcd(round(x), round(y)), then the cofactors x/g and y/g'),
)


class NumberMethods:
    """The exports of one number as methods: x.sqrt() is ostrel2.sqrt(x)."""

    __slots__ = ()

    if TYPE_CHECKING:
        def _apply(self, export: str, kind: str, *values: object, precision: Optional[int],
                   digits: Optional[int]) -> Number: ...

    def fix(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """x truncated toward zero (Fix_XL), with x this number."""
        return self._apply('Fix_XL', RECORD, precision=precision, digits=digits)

    def sqrt(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The square root of x (Sqr_XL), with x this number."""
        return self._apply('Sqr_XL', RECORD, precision=precision, digits=digits)

    def power(self, n: int, precision: Optional[int] = None, *,
              digits: Optional[int] = None) -> Number:
        """x to the whole power n (Power_XL), with x this number."""
        return self._apply('Power_XL', RECORD_AND_DOUBLE, n, precision=precision, digits=digits)

    def root(self, n: int, precision: Optional[int] = None, *,
             digits: Optional[int] = None) -> Number:
        """The n-th root of x (Root_XL), with x this number."""
        return self._apply('Root_XL', RECORD_AND_DOUBLE, n, precision=precision, digits=digits)

    def cos(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The cosine of x (radians) (Cos_XL), with x this number."""
        return self._apply('Cos_XL', RECORD, precision=precision, digits=digits)

    def sin(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The sine of x (radians) (Sin_XL), with x this number."""
        return self._apply('Sin_XL', RECORD, precision=precision, digits=digits)

    def tan(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The tangent of x (radians) (Tan_XL), with x this number."""
        return self._apply('Tan_XL', RECORD, precision=precision, digits=digits)

    def asin(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The arc sine of x (Asn_XL), with x this number."""
        return self._apply('Asn_XL', RECORD, precision=precision, digits=digits)

    def acos(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The arc cosine of x (Acs_XL), with x this number."""
        return self._apply('Acs_XL', RECORD, precision=precision, digits=digits)

    def atan(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The arc tangent of x (Atn_XL), with x this number."""
        return self._apply('Atn_XL', RECORD, precision=precision, digits=digits)

    def exp(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """e to the power x (Exp_XL), with x this number."""
        return self._apply('Exp_XL', RECORD, precision=precision, digits=digits)

    def log(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The natural logarithm of x (Loge_XL), with x this number."""
        return self._apply('Loge_XL', RECORD, precision=precision, digits=digits)

    ln = log

    def log10(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The common logarithm of x (Log10_XL), with x this number."""
        return self._apply('Log10_XL', RECORD, precision=precision, digits=digits)

    def sinh(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The hyperbolic sine of x (Sinh_XL), with x this number."""
        return self._apply('Sinh_XL', RECORD, precision=precision, digits=digits)

    def cosh(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The hyperbolic cosine of x (Cosh_XL), with x this number."""
        return self._apply('Cosh_XL', RECORD, precision=precision, digits=digits)

    def tanh(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The hyperbolic tangent of x (Tanh_XL), with x this number."""
        return self._apply('Tanh_XL', RECORD, precision=precision, digits=digits)

    def asinh(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The inverse hyperbolic sine of x (Asinh_XL), with x this number."""
        return self._apply('Asinh_XL', RECORD, precision=precision, digits=digits)

    def acosh(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The inverse hyperbolic cosine of x (Acosh_XL), with x this number."""
        return self._apply('Acosh_XL', RECORD, precision=precision, digits=digits)

    def atanh(self, precision: Optional[int] = None, *, digits: Optional[int] = None) -> Number:
        """The inverse hyperbolic tangent of x (Atanh_XL), with x this number."""
        return self._apply('Atanh_XL', RECORD, precision=precision, digits=digits)
