"""ostrel2.Number, the precision context, the exceptions, and the calls behind them."""
from __future__ import annotations

import contextvars
import ctypes
import decimal
import functools
import inspect
import math
import numbers
import operator
import re
import warnings
from fractions import Fraction
from typing import Any, Callable, Dict, NamedTuple, Optional, Tuple, TypeVar, Union

from . import _exports
from ._library import (DIGITS_PER_LIMB, MAX_PRECISION, LongNumber, call, format_record,
                       live_limbs, parse_text)

DEFAULT_PRECISION = 5
_SLOTS = live_limbs(MAX_PRECISION)

# The precision context of this thread or task: None until `ostrel2.precision(...)` (a with block
# or a decorated function) or set_precision() sets it to (limbs, digits), digits None when the
# precision was asked in limbs. While it is set, it is the precision of every operation.
_context: contextvars.ContextVar[Optional[Tuple[int, Optional[int]]]] = contextvars.ContextVar(
    "ostrel2_precision", default=None)
# The values the context had before each `with ostrel2.precision(...)` block still open here.
_outer: contextvars.ContextVar[tuple] = contextvars.ContextVar("ostrel2_outer_precisions", default=())

# Significant digits written for a rational value: more than any record holds (3,060), so that
# every digit a record keeps is exact and a non-zero remainder is seen as a cut.
_RATIONAL_DIGITS = 3080

# Decimal arithmetic wide enough for every record's value, rounding half to even.
_WIDE = decimal.Context(prec=decimal.MAX_PREC, rounding=decimal.ROUND_HALF_EVEN,
                        Emax=decimal.MAX_EMAX, Emin=decimal.MIN_EMIN)


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


def _asked(precision, digits):
    """(limbs, digits or None) for a precision asked in limbs or in digits; None for neither."""
    if precision is not None and digits is not None:
        raise TypeError("give precision (limbs) or digits, not both")
    if digits is not None:
        digits = operator.index(digits)
        if not 1 <= digits <= MAX_PRECISION * DIGITS_PER_LIMB:
            raise ValueError(f"digits must be from 1 to {MAX_PRECISION * DIGITS_PER_LIMB}, not {digits}")
        return -(-digits // DIGITS_PER_LIMB), digits
    if precision is None:
        return None
    precision = operator.index(precision)
    if not 1 <= precision <= MAX_PRECISION:
        raise ValueError(f"precision must be from 1 to {MAX_PRECISION} limbs, not {precision}")
    return precision, None


def _for_new_numbers(precision=None, digits=None):
    """(limbs, digits or None) for values made into Numbers: as asked, else the context's, else
    DEFAULT_PRECISION limbs."""
    return _asked(precision, digits) or _context.get() or (DEFAULT_PRECISION, None)


def get_precision() -> int:
    """The precision, in limbs of ten digits, that new numbers get in this context."""
    return _for_new_numbers()[0]


def set_precision(precision: Optional[int] = None, *, digits: Optional[int] = None) -> None:
    """Sets the precision of this context (thread, task) for the rest of it: `precision` limbs of
    ten digits, or the fewest limbs that hold `digits` significant digits (then shown as digits).
    Numbers made from plain values and the results of every operation get it. Without either,
    the context is cleared: operations follow their operands again, new numbers get 5 limbs."""
    _context.set(_asked(precision, digits))


_Function = TypeVar("_Function", bound=Callable[..., Any])


class precision:
    """The precision of a block of code or of a function, for its thread or task:

        with ostrel2.precision(30): ...           30 limbs (300 digits)
        with ostrel2.precision(digits=45): ...    5 limbs, numbers shown with 45 digits

        @ostrel2.precision(digits=100)
        def f(x): ...

    Inside, numbers made from plain values get that precision, and so does every operation:
    its Number operands are brought to it (the digits beyond its limbs cut off), and its result
    shows the digits asked for. The precision outside comes back at the end of the block or call.
    """

    def __init__(self, precision: Optional[int] = None, *, digits: Optional[int] = None):
        asked = _asked(precision, digits)
        if asked is None:
            raise TypeError("precision() needs precision or digits")
        self.limbs, self.digits = asked

    def __enter__(self) -> int:
        _outer.set(_outer.get() + (_context.get(),))
        _context.set((self.limbs, self.digits))
        return self.limbs

    def __exit__(self, *exception) -> None:
        outer = _outer.get()
        _context.set(outer[-1])
        _outer.set(outer[:-1])

    def __call__(self, function: _Function) -> _Function:
        if inspect.iscoroutinefunction(function):
            @functools.wraps(function)
            async def run_async(*arguments, **keywords):
                with self:
                    return await function(*arguments, **keywords)
            return run_async  # type: ignore[return-value]

        @functools.wraps(function)
        def run(*arguments, **keywords):
            with self:
                return function(*arguments, **keywords)
        return run  # type: ignore[return-value]

    def __repr__(self) -> str:
        asked = f"digits={self.digits}" if self.digits is not None else f"{self.limbs}"
        return f"ostrel2.precision({asked})"


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


_NOT_FINITE = ("nan", "snan", "inf", "infinity")


def _not_finite(value):
    return ValueError(f"ostrel2.Number has no value {value!r}: a Number is a finite decimal "
                      f"number (NaN and infinities have no record)")


def _text_of(value):
    """Decimal text for a plain value a Number can be made from."""
    if isinstance(value, str):
        text = value.strip()
        if text.lstrip("+-").lower() in _NOT_FINITE:
            raise _not_finite(value)
        return text
    if isinstance(value, numbers.Integral):
        return _rational_text(int(value), 1)
    if isinstance(value, float):
        if not math.isfinite(value):
            raise _not_finite(value)
        value = decimal.Decimal(value)  # the float's exact value
    if isinstance(value, decimal.Decimal):
        if not value.is_finite():
            raise _not_finite(value)
        return str(value)
    if isinstance(value, numbers.Rational):
        return _rational_text(value.numerator, value.denominator)
    raise TypeError(f"cannot make an ostrel2.Number from {type(value).__name__}")


def _resized(record, limbs):
    """(record, cut): the record at precision `limbs`, holding the digits of its live limbs that
    fit (those beyond are cut off toward zero; cut tells whether any was not zero)."""
    if record.precision == limbs:
        return record, False
    have, keep = live_limbs(record.precision), live_limbs(limbs)
    resized = LongNumber.from_buffer_copy(record)
    cut = keep < have and any(resized.limbs[keep:have])
    start = min(have, keep)  # slots past the live limbs may hold anything: clear them
    ctypes.memset(ctypes.addressof(resized.limbs) + 8 * start, 0, 8 * (_SLOTS - start))
    resized.precision = limbs
    return resized, cut


def _from_record(record, digits=None):
    number = Number.__new__(Number)
    number._record = record
    number._digits = digits
    return number


def _raise_or_warn(record, messages, function):
    """Raises Error for a failed record; passes on messages of a success as a warning."""
    english, original = messages or ("", "")
    if record.error != 0:
        raise Error(english, record.error, function, original)
    if messages:
        warnings.warn(LibraryWarning(f"{function}: {english}"), stacklevel=3)


class _Shown(NamedTuple):
    """A non-zero record's value as shown: rounded half to even to the digits shown."""
    negative: bool
    digits: str      # the significant digits, trailing zeros dropped
    first: int       # the exponent of the first of them
    last: int        # the exponent of the last place kept by the rounding
    dropped: bool    # whether a non-zero digit was rounded away

    def positional(self):
        """Positional text unless that needs more than 6 zeros between the point and the digits,
        more than 20 zeros before the point, or a zero there in place of a digit rounded away."""
        if self.first < 0:
            return self.first >= -7
        padding = self.first + 1 - len(self.digits)
        return padding <= 0 or (padding <= 20 and (not self.dropped or self.last <= 0))

    def text(self):
        sign, digits, e = "-" if self.negative else "", self.digits, self.first
        if not self.positional():
            fraction = "." + digits[1:] if len(digits) > 1 else ""
            return f"{sign}{digits[0]}{fraction}e{e}"
        if e < 0:
            return f"{sign}0.{'0' * (-e - 1)}{digits}"
        if len(digits) <= e + 1:
            return sign + digits + "0" * (e + 1 - len(digits))
        return f"{sign}{digits[:e + 1]}.{digits[e + 1:]}"

    def decimal(self):
        """The shown value as a Decimal: its digits, and an exponent of 0 where the text is a
        whole number written out (so that formats write 100, not 1e+2)."""
        exponent = self.first - len(self.digits) + 1
        digits = self.digits
        if exponent > 0 and self.positional():
            digits, exponent = digits + "0" * exponent, 0
        return decimal.Decimal(f"{'-' if self.negative else ''}{digits}E{exponent}")


def _shown(record, digits):
    """The record's value rounded half to even, once, to `digits` significant digits, or to the
    whole limbs it promises when `digits` is None: from its leading non-zero limb, `precision`
    limbs, or one more when that limb has fewer than ten digits (so that the record's 10 x
    precision digits are all there). Never more than the record promises. None for zero."""
    slots = live_limbs(record.precision)
    limbs = record.limbs[:slots]
    lead = next((k for k, limb in enumerate(limbs) if limb), None) if record.sign else None
    if lead is None:
        return None
    head = "%d" % limbs[lead]
    text = head + "".join("%010d" % limb for limb in limbs[lead + 1:])
    first = record.exponent - DIGITS_PER_LIMB * lead + len(head) - 1
    promised = record.precision + (1 if len(head) < DIGITS_PER_LIMB else 0)
    count = len(head) + DIGITS_PER_LIMB * (promised - 1) if lead + promised < slots else len(text)
    if digits is not None:
        count = min(digits, count)
    last = first - (count - 1)
    kept, rest = text[:count], text[count:].rstrip("0")
    if rest and (rest > "5" or (rest == "5" and kept[-1] in "13579")):
        up = str(int(kept) + 1)
        first += len(up) - len(kept)  # 9...9 became 10...0
        kept = up
    return _Shown(record.sign < 0, kept.rstrip("0"), first, last, bool(rest))


# The format string's fields: [[fill]align][sign][z][#][0][width][grouping][.precision][type]
_FORMAT = re.compile(r"(?:(?P<fill>.)?(?P<align>[<>=^]))?(?P<sign>[-+ ])?z?#?(?P<zero>0)?"
                     r"(?P<width>\d+)?(?P<grouping>[,_])?(?:\.(?P<places>\d+))?(?P<type>[eEfFgGn%])?\Z",
                     re.S)


def _padded(text, form):
    """The text with the sign, fill, alignment and width of a format string."""
    if form["sign"] in ("+", " ") and not text.startswith("-"):
        text = form["sign"] + text
    width = int(form["width"] or 0)
    if len(text) >= width:
        return text
    align = form["align"] or ("=" if form["zero"] else ">")
    fill = form["fill"] or ("0" if form["zero"] and not form["align"] else " ")
    room = width - len(text)
    if align == "<":
        return text + fill * room
    if align == "^":
        return fill * (room // 2) + text + fill * (room - room // 2)
    if align == "=" and text[:1] in "+- ":
        return text[0] + fill * room + text[1:]
    return fill * room + text


def _comparison(test):
    def compare(self, other):
        return self._compare(other, test)
    compare.__name__ = f"__{test.__name__}__"
    return compare


def _operator(operation, floats=False):
    """The operator and its reflected form: operation(x, y) with this number and an operand it
    takes (a Number, int, Decimal or Fraction; a float too where `floats` is true)."""
    def taken(other):
        return isinstance(other, (Number, numbers.Rational, decimal.Decimal)) or (
            floats and isinstance(other, float))

    def forward(self, other):
        return operation(self, other) if taken(other) else NotImplemented

    def reflected(self, other):
        return operation(other, self) if taken(other) else NotImplemented
    return forward, reflected


def _library_operator(export):
    return _operator(lambda x, y: _call(export, _exports.TWO_RECORDS, x, y))


def _whole(value):
    """The value as an int when it is a whole number that a double holds exactly, else None."""
    if isinstance(value, numbers.Integral):
        whole = int(value)
    elif isinstance(value, numbers.Rational):
        if value.denominator != 1:
            return None
        whole = value.numerator
    elif isinstance(value, float):
        if not value.is_integer():  # also NaN and infinities
            return None
        whole = int(value)
    else:  # a Number or a Decimal
        exact = value.to_decimal() if isinstance(value, Number) else value
        if not exact.is_finite() or exact.adjusted() >= 16 or exact != exact.to_integral_value():
            return None
        whole = int(exact)
    return whole if -2 ** 53 < whole < 2 ** 53 else None


class Number(_exports.NumberMethods):
    """A decimal number held in a record of the library: `precision` limbs of ten digits promised,
    3 guard limbs beyond them.

    Number(value, precision=None, *, digits=None, exact=False) takes an int, str, Decimal,
    Fraction, float (its exact binary value) or Number; NaN and infinities are refused. Digits
    beyond the record's limbs are cut off toward zero, or raise InexactError when exact is true.

    Precision: `precision` limbs, or `digits` significant digits (the fewest limbs that hold
    them; the number then shows those digits). Without either, a Number keeps its own, and other
    values take the context's (ostrel2.precision), else 5 limbs.

    Operations follow the library's rules: the result has the larger of the operands' precisions
    (at least 5 limbs for products, quotients and what is built on them), and shows the digits
    its operands were asked for. Inside ostrel2.precision(...) every operation works at that
    precision instead. str(), repr() and format() show the promised digits, or the digits asked
    for, rounded half to even once from the record: never a guard digit. text(all_limbs=True)
    and to_decimal() give every limb, exactly.
    """

    __slots__ = ("_record", "_digits")
    _record: LongNumber
    _digits: Optional[int]

    def __init__(self, value: Value = 0, precision: Optional[int] = None, *,
                 digits: Optional[int] = None, exact: bool = False):
        asked = _asked(precision, digits)
        if isinstance(value, Number):
            if asked is None:
                self._record, self._digits = value._record, value._digits
                return
            record, inexact = _resized(value._record, asked[0])
        else:
            asked = asked or _context.get() or (DEFAULT_PRECISION, None)
            record, inexact = parse_text(_text_of(value), asked[0])
        if inexact and exact:
            raise InexactError(f"{value!r} has more digits than {record.precision} limbs hold")
        self._record, self._digits = record, asked[1]

    @property
    def precision(self) -> int:
        """Limbs of ten digits the number promises."""
        return self._record.precision

    @property
    def digits(self) -> int:
        """Significant digits the number shows: as asked with digits=, else 10 x precision."""
        return self._digits if self._digits is not None else self._record.precision * DIGITS_PER_LIMB

    def _shown(self):
        return _shown(self._record, self._digits)

    def text(self, all_limbs: bool = False) -> str:
        """The digits shown, as str() writes them; with all_limbs every live limb exactly, guard
        limbs included."""
        if all_limbs:
            return format_record(self._record, True)
        shown = self._shown()
        return shown.text() if shown else "0"

    def __str__(self) -> str:
        return self.text()

    def __repr__(self) -> str:
        asked = f"digits={self._digits}" if self._digits is not None else f"precision={self.precision}"
        return f"ostrel2.Number('{self}', {asked})"

    def __format__(self, form: str) -> str:
        """Format strings as for Decimal, on the digits shown: e, f, g, %, n, with and
        without a precision. A precision that asks for fewer digits rounds the record's value
        once, half to even; one that asks for more pads the digits shown with zeros."""
        parts = _FORMAT.match(form)
        shown = self._shown()
        if parts and parts["type"] is None and parts["places"] is None and not parts["grouping"]:
            return _padded(shown.text() if shown else "0", parts)
        value = shown.decimal() if shown else decimal.Decimal(0)
        if parts and parts["places"] is not None and shown:
            places, kind = int(parts["places"]), parts["type"] or "g"
            exact = self.to_decimal()
            if kind in "eE":
                last = exact.adjusted() - places
            elif kind in "fF":
                last = -places
            elif kind == "%":
                last = -places - 2
            else:
                last = exact.adjusted() - max(places, 1) + 1
            if last >= shown.last:  # no more digits than shown: round the record's value once
                value = exact
        with decimal.localcontext(_WIDE):
            return format(value, form)

    def __reduce__(self):
        return (_restore, (self.text(all_limbs=True), self.precision, self._digits))

    def __copy__(self) -> Number:
        return self

    def __deepcopy__(self, memo) -> Number:
        return self

    def to_decimal(self) -> decimal.Decimal:
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

    def as_integer_ratio(self) -> Tuple[int, int]:
        """The exact value as (numerator, denominator) in lowest terms, denominator positive, as
        for Decimal and float: Fraction(*x.as_integer_ratio())."""
        return self.to_decimal().as_integer_ratio()

    def __float__(self) -> float:
        return float(self.to_decimal())

    def __int__(self) -> int:
        return int(self.to_decimal())  # toward zero

    __trunc__ = __int__

    def __floor__(self) -> int:
        return math.floor(self.to_decimal())

    def __ceil__(self) -> int:
        return math.ceil(self.to_decimal())

    def __round__(self, ndigits: Optional[int] = None):
        """round(x) is the nearest int, round(x, n) the Number nearest x with n places after the
        point (n < 0: a multiple of 10^-n); halves go to the even neighbour, as for Decimal and
        float. ostrel2.round(x) is the library's Round_XL, halves away from zero."""
        exact = self.to_decimal()
        if ndigits is None:
            return int(exact.to_integral_value(rounding=decimal.ROUND_HALF_EVEN))
        ndigits = operator.index(ndigits)
        exponent = exact.as_tuple().exponent  # an int: the value is finite
        if not exact or (isinstance(exponent, int) and exponent >= -ndigits):
            return self._in_context()  # already a multiple of 10^-n
        rounded = exact.quantize(decimal.Decimal((0, (1,), -ndigits)), context=_WIDE)
        record, _ = parse_text(str(rounded), self.precision)
        return _from_record(record, self._digits)._in_context()

    def __bool__(self) -> bool:
        return self._record.sign != 0

    def __hash__(self) -> int:
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
    # % Mod_XL, abs() Abs_XL; a plain operand (int, Decimal, Fraction) takes this number's
    # precision. A float only as an exponent: Decimal refuses floats, to keep 0.1 from being
    # taken for its binary value unawares.
    __add__, __radd__ = _library_operator("Add_XL")
    __sub__, __rsub__ = _library_operator("Subtract_XL")
    __mul__, __rmul__ = _library_operator("Multipl_XL")
    __truediv__, __rtruediv__ = _library_operator("Div_XL")
    __mod__, __rmod__ = _library_operator("Mod_XL")
    __divmod__, __rdivmod__ = _operator(lambda x, y: _divmod(x, y))
    __floordiv__, __rfloordiv__ = _operator(lambda x, y: _divmod(x, y)[0])
    _power_of, __rpow__ = _operator(lambda x, y: _power(x, y), floats=True)

    def __pow__(self, other, modulo=None):
        return self._power_of(other) if modulo is None else NotImplemented

    def __neg__(self) -> Number:
        record = LongNumber.from_buffer_copy(self._record)
        record.sign = -record.sign
        return _from_record(record, self._digits)._in_context()

    def __pos__(self) -> Number:
        return self._in_context()

    def __abs__(self) -> Number:
        return _call("Abs_XL", _exports.RECORD, self)

    def _in_context(self):
        """This number at the context's precision while one is set, else itself."""
        asked = _context.get()
        if asked is None or (asked[0] == self._record.precision and asked[1] == self._digits):
            return self
        return _from_record(_resized(self._record, asked[0])[0], asked[1])

    def _apply(self, export, kind, *values, precision=None, digits=None):
        return _call(export, kind, self, *values, precision=precision, digits=digits)


numbers.Number.register(Number)

# What a Number can be made from (the operators take all but str, and float only in **).
Value = Union[Number, int, float, str, decimal.Decimal, Fraction]


def _restore(text, precision, digits=None):
    """A pickled Number: every limb, its precision, the digits it shows."""
    return _from_record(parse_text(text, precision)[0], digits)


def _divmod(x, y):
    """(q, r) with r = x % y (Mod_XL: the sign of x, as for Decimal) and q = (x - r) / y, a whole
    number rounded from the quotient, so that x = q * y + r as far as the records hold."""
    r = _call("Mod_XL", _exports.TWO_RECORDS, x, y)
    q = _call("Div_XL", _exports.TWO_RECORDS, _call("Subtract_XL", _exports.TWO_RECORDS, x, r), y)
    return _call("Round_XL", _exports.RECORD, q), r


def _power(x, y):
    """x ** y: Power_XL for a whole y a double holds (exact, any sign of x), else PowerX_XL."""
    whole = _whole(y)
    if whole is not None:
        return _call("Power_XL", _exports.RECORD_AND_DOUBLE, x, whole)
    return _call("PowerX_XL", _exports.TWO_RECORDS, x, y)


def _operands(values, precision, digits):
    """(records, digits shown) for the record operands of a call. A precision or digits given to
    the call, else the context's, applies to every operand: Numbers are brought to it. Else a
    plain value takes the precision of a Number beside it (DEFAULT_PRECISION when there is none),
    and the result shows the most digits its Number operands show, when they all were asked in
    digits."""
    asked = _context.get() if precision is None and digits is None else _asked(precision, digits)
    if asked is not None:
        limbs, shown = asked
        return [_resized(v._record, limbs)[0] if isinstance(v, Number)
                else parse_text(_text_of(v), limbs)[0] for v in values], shown
    limbs, shown, plain = 0, 0, False
    for v in values:
        if isinstance(v, Number):
            limbs = max(limbs, v._record.precision)
            if shown is not None:
                shown = None if v._digits is None else max(shown, v._digits)
        else:
            plain = True
    if not limbs:
        limbs, shown = DEFAULT_PRECISION, None
    if not plain:
        return [v._record for v in values], shown
    return [v._record if isinstance(v, Number) else parse_text(_text_of(v), limbs)[0]
            for v in values], shown


def _call(export, kind, *values, precision=None, digits=None):
    """Calls an export on values (records first, then a plain double or int as the kind asks) and
    returns its result: a Number, a tuple for the cofactors, an int for the version."""
    if kind == _exports.VERSION:
        return int(_FUNCTIONS[export]())
    result = LongNumber()
    if kind in (_exports.PRECISION, _exports.INTEGER_AND_PRECISION):
        limbs, shown = _for_new_numbers(precision, digits)
        if kind == _exports.PRECISION:
            messages = call(export, result, precision=limbs)
        else:
            messages = call(export, result, whole=operator.index(values[0]), precision=limbs)
    elif kind == _exports.RECORD_AND_DOUBLE:
        (x,), shown = _operands(values[:1], precision, digits)
        messages = call(export, result, x, n=float(values[1]))
    else:
        records, shown = _operands(values, precision, digits)
        if kind == _exports.COFACTORS:  # the export writes the cofactors into its arguments
            records = [LongNumber.from_buffer_copy(r) for r in records]
        messages = call(export, result, *records)
        if kind == _exports.COFACTORS:
            _raise_or_warn(result, messages, export)
            return tuple(_from_record(r, shown) for r in [result] + records)
    _raise_or_warn(result, messages, export)
    return _from_record(result, shown)


# Export name -> ctypes function of the loaded library, filled by the package on import.
_FUNCTIONS: Dict[str, Any] = {}
