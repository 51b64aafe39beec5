"""ostrel2.Number, the precision context, the exceptions, and the calls behind them."""
import contextvars
import decimal
import math
import numbers
import operator
import warnings

from . import _exports
from ._library import (DIGITS_PER_LIMB, MAX_PRECISION, LongNumber, call, format_record,
                       live_limbs, parse_text)

DEFAULT_PRECISION = 5
_precision = contextvars.ContextVar("ostrel2_precision", default=DEFAULT_PRECISION)

# Significant digits written for a rational value: more than any record holds (3,060), so that
# every digit a record keeps is exact and a non-zero remainder is seen as a cut.
_RATIONAL_DIGITS = 3080


class Error(ArithmeticError):
    """A call of the library failed. `message` says why in English (also for the failures the
    library reports through the error value alone), `original` is the library's own message,
    Japanese, decoded from code page 932 ("" when it prints none), `code` the result's error
    value, `function` the export."""

    def __init__(self, message, code, function, original=""):
        self.message = message
        self.original = original
        self.code = code
        self.function = function
        shown = message if message else "failed without a message"
        super().__init__(f"{shown} ({function}: error {code})")


class InexactError(ValueError):
    """A value asked for with exact=True has more digits than a record of its precision holds."""


class LibraryWarning(UserWarning):
    """The library printed a message with a successful result."""


def _limbs(precision=None, digits=None):
    """The precision in limbs from `precision` (limbs) or `digits`, else the context's."""
    if precision is not None and digits is not None:
        raise TypeError("give precision (limbs) or digits, not both")
    if digits is not None:
        digits = operator.index(digits)
        if not 1 <= digits <= MAX_PRECISION * DIGITS_PER_LIMB:
            raise ValueError(f"digits must be from 1 to {MAX_PRECISION * DIGITS_PER_LIMB}, not {digits}")
        return -(-digits // DIGITS_PER_LIMB)
    if precision is None:
        return _precision.get()
    precision = operator.index(precision)
    if not 1 <= precision <= MAX_PRECISION:
        raise ValueError(f"precision must be from 1 to {MAX_PRECISION} limbs, not {precision}")
    return precision


def get_precision():
    """The precision, in limbs of ten digits, that new numbers get in this context."""
    return _precision.get()


def set_precision(precision=None, *, digits=None):
    """Sets the precision of new numbers in this context (thread, task): `precision` limbs of ten
    digits, or the fewest limbs that hold `digits` significant digits."""
    if precision is None and digits is None:
        raise TypeError("set_precision() needs precision or digits")
    _precision.set(_limbs(precision, digits))


class precision:
    """`with ostrel2.precision(30):` or `with ostrel2.precision(digits=300):` -- numbers made from
    plain values inside the block get that precision."""

    def __init__(self, precision=None, *, digits=None):
        if precision is None and digits is None:
            raise TypeError("precision() needs precision or digits")
        self.limbs = _limbs(precision, digits)
        self._tokens = []

    def __enter__(self):
        self._tokens.append(_precision.set(self.limbs))
        return self.limbs

    def __exit__(self, *exception):
        _precision.reset(self._tokens.pop())
        return False


def _rational_text(numerator, denominator):
    """Decimal text of numerator / denominator with its leading _RATIONAL_DIGITS digits exact and
    one more non-zero digit when anything is left over."""
    if numerator == 0:
        return "0"
    sign = "-" if numerator < 0 else ""
    numerator = abs(numerator)
    if denominator == 1 and numerator.bit_length() < 10000:  # ~3,000 digits: exact as it is
        return sign + str(numerator)
    # Decimal digits of the quotient, to within one: 0.30103 digits per bit.
    estimate = int((numerator.bit_length() - denominator.bit_length()) * 0.30103)
    shift = _RATIONAL_DIGITS - estimate
    if shift >= 0:
        whole, rest = divmod(numerator * 10 ** shift, denominator)
    else:
        whole, rest = divmod(numerator, denominator * 10 ** -shift)
    return f"{sign}{whole}{'1' if rest else ''}e{-shift - (1 if rest else 0)}"


def _text_of(value):
    """Decimal text for a value a Number can be made from."""
    if isinstance(value, Number):
        return value.text(all_limbs=True)
    if isinstance(value, str):
        return value.strip()
    if isinstance(value, numbers.Integral):
        return _rational_text(int(value), 1)
    if isinstance(value, float):
        if not math.isfinite(value):
            raise ValueError(f"ostrel2.Number has no value {value!r}")
        value = decimal.Decimal(value)  # the float's exact value
    if isinstance(value, decimal.Decimal):
        if not value.is_finite():
            raise ValueError(f"ostrel2.Number has no value {value!r}")
        return str(value)
    if isinstance(value, numbers.Rational):
        return _rational_text(value.numerator, value.denominator)
    raise TypeError(f"cannot make an ostrel2.Number from {type(value).__name__}")


def _from_record(record):
    number = Number.__new__(Number)
    number._record = record
    return number


def _raise_or_warn(record, messages, function):
    """Raises Error for a failed record; passes on messages of a success as a warning."""
    english, original = messages or ("", "")
    if record.error != 0:
        raise Error(english, record.error, function, original)
    if messages:
        warnings.warn(LibraryWarning(f"{function}: {english}"), stacklevel=3)


def _comparison(test):
    def compare(self, other):
        return self._compare(other, test)
    compare.__name__ = f"__{test.__name__}__"
    return compare


def _arithmetic(export):
    """The operator and its reflected form, calling the export."""
    def forward(self, other):
        return self._binary(export, other)

    def reflected(self, other):
        return self._binary(export, other, reflected=True)
    return forward, reflected


class Number:
    """A decimal number held in a record of the library: `precision` limbs of ten digits promised,
    3 guard limbs beyond them.

    Number(value, precision=None, *, digits=None, exact=False) takes an int, str, Decimal,
    Fraction, float (its exact binary value) or Number. Without precision or digits, a Number
    keeps its own and other values take the context's (ostrel2.precision). Digits beyond the
    record's limbs are cut off toward zero, or raise InexactError when exact is true.
    """

    __slots__ = ("_record",)

    def __init__(self, value=0, precision=None, *, digits=None, exact=False):
        if isinstance(value, Number) and precision is None and digits is None:
            self._record = value._record
            return
        record, inexact = parse_text(_text_of(value), _limbs(precision, digits))
        if inexact and exact:
            raise InexactError(f"{value!r} has more digits than {record.precision} limbs hold")
        self._record = record

    @property
    def precision(self):
        """Limbs of ten digits the number promises."""
        return self._record.precision

    @property
    def digits(self):
        """Significant digits the number promises (10 x precision)."""
        return self._record.precision * DIGITS_PER_LIMB

    def text(self, all_limbs=False):
        """The promised significant digits, rounded half to even on the guard limbs, or with
        all_limbs every live limb exactly."""
        return format_record(self._record, all_limbs)

    def __str__(self):
        return self.text()

    def __repr__(self):
        return f"ostrel2.Number('{self.text(all_limbs=True)}', precision={self.precision})"

    def __format__(self, form):
        return format(self.to_decimal(), form) if form else str(self)

    def __reduce__(self):
        return (Number, (self.text(all_limbs=True), self.precision))

    def to_decimal(self):
        """The exact value, every live limb, as a decimal.Decimal."""
        record = self._record
        if record.sign == 0:
            return decimal.Decimal(0)
        count = live_limbs(record.precision)
        digits = "".join("%010d" % limb for limb in record.limbs[:count])
        exponent = record.exponent - DIGITS_PER_LIMB * (count - 1)
        significant = digits.rstrip("0")  # a zero record has sign 0: some digit is not zero
        exponent += len(digits) - len(significant)
        sign = "-" if record.sign < 0 else ""
        return decimal.Decimal(f"{sign}{significant}E{exponent}")

    def __float__(self):
        return float(self.to_decimal())

    def __int__(self):
        return int(self.to_decimal())  # toward zero

    __trunc__ = __int__

    def __floor__(self):
        return math.floor(self.to_decimal())

    def __ceil__(self):
        return math.ceil(self.to_decimal())

    def __round__(self, ndigits=None):
        if ndigits is not None:
            raise TypeError("ostrel2.Number rounds to whole numbers only: round(x)")
        return int(_call("Round_XL", _exports.RECORD, self))

    def __bool__(self):
        return self._record.sign != 0

    def __hash__(self):
        return hash(self.to_decimal())

    # Comparisons are exact, on the values of every live limb.
    def _compare(self, other, test):
        if isinstance(other, Number):
            other = other.to_decimal()
        elif isinstance(other, float):
            if math.isnan(other):
                return test is operator.ne
            other = decimal.Decimal(other)  # exact; infinities included
        elif not isinstance(other, (numbers.Rational, decimal.Decimal)):
            return NotImplemented
        return test(self.to_decimal(), other)

    __eq__ = _comparison(operator.eq)
    __ne__ = _comparison(operator.ne)
    __lt__ = _comparison(operator.lt)
    __le__ = _comparison(operator.le)
    __gt__ = _comparison(operator.gt)
    __ge__ = _comparison(operator.ge)

    # Arithmetic goes to the library: + Add_XL, - Subtract_XL, * Multipl_XL, / Div_XL,
    # % Mod_XL, abs() Abs_XL; a plain operand takes this number's precision.
    def _binary(self, export, other, reflected=False):
        if not isinstance(other, (Number, numbers.Rational, decimal.Decimal)):
            return NotImplemented
        x, y = (other, self) if reflected else (self, other)
        return _call(export, _exports.TWO_RECORDS, x, y)

    __add__, __radd__ = _arithmetic("Add_XL")
    __sub__, __rsub__ = _arithmetic("Subtract_XL")
    __mul__, __rmul__ = _arithmetic("Multipl_XL")
    __truediv__, __rtruediv__ = _arithmetic("Div_XL")
    __mod__, __rmod__ = _arithmetic("Mod_XL")

    def __pow__(self, other):
        # x ** n for a whole n by Power_XL, otherwise PowerX_XL, once the library has them.
        if isinstance(other, numbers.Integral) and "Power_XL" in _FUNCTIONS and abs(other) < 2 ** 53:
            return _call("Power_XL", _exports.RECORD_AND_DOUBLE, self, other)
        if "PowerX_XL" in _FUNCTIONS and isinstance(other, (Number, numbers.Rational, decimal.Decimal)):
            return _call("PowerX_XL", _exports.TWO_RECORDS, self, other)
        return NotImplemented

    def __neg__(self):
        record = LongNumber.from_buffer_copy(self._record)
        record.sign = -record.sign
        return _from_record(record)

    def __pos__(self):
        return self

    def __abs__(self):
        return _call("Abs_XL", _exports.RECORD, self)


numbers.Number.register(Number)

# Export name -> ctypes function, for the exports the loaded library defines.
_FUNCTIONS = {}


def _operands(values, precision, digits):
    """Numbers for the record operands: given precision or digits apply to every operand; else a
    plain value takes the precision of a Number beside it, or the context's."""
    if precision is not None or digits is not None:
        limbs = _limbs(precision, digits)
        return [Number(v, limbs) for v in values]
    own = [v.precision for v in values if isinstance(v, Number)]
    limbs = max(own) if own else _precision.get()
    return [v if isinstance(v, Number) else Number(v, limbs) for v in values]


def _call(export, kind, *values, precision=None, digits=None):
    """Calls an export on values (records first, then a plain double or int as the kind asks) and
    returns its result: a Number, a tuple for the cofactors, an int for the version."""
    if kind == _exports.VERSION:
        return int(_FUNCTIONS[export]())
    result = LongNumber()
    if kind == _exports.PRECISION:
        messages = call(export, result, precision=_limbs(precision, digits))
    elif kind == _exports.INTEGER_AND_PRECISION:
        messages = call(export, result, whole=operator.index(values[0]),
                        precision=_limbs(precision, digits))
    elif kind == _exports.RECORD_AND_DOUBLE:
        (x,) = _operands(values[:1], precision, digits)
        messages = call(export, result, x._record, n=float(values[1]))
    else:
        records = [o._record for o in _operands(values, precision, digits)]
        if kind == _exports.COFACTORS:  # the export writes the cofactors into its arguments
            records = [LongNumber.from_buffer_copy(r) for r in records]
        messages = call(export, result, *records)
        if kind == _exports.COFACTORS:
            _raise_or_warn(result, messages, export)
            return (_from_record(result),) + tuple(map(_from_record, records))
    _raise_or_warn(result, messages, export)
    return _from_record(result)
