"""ostrel2.Number: construction from every kind of value, precision by number and by context,
text and conversions, exact comparisons, and the operators. Expected values come from Python's
exact Fraction and Decimal arithmetic or by hand."""
import copy
import decimal
import math
import numbers
import typing
from decimal import Decimal
from fractions import Fraction
from pathlib import Path

import pytest

import ostrel2
from ostrel2 import Number


def exact(x):
    """The exact value of a Number as a Fraction."""
    return Fraction(x.to_decimal())


@pytest.mark.parametrize("value, precision, text, value_held", [
    (0, 1, "0", 0),
    (-17, 1, "-17", -17),
    (12345678901, 1, "12345678901", 12345678901),
    (10 ** 100, 1, "1e100", 10 ** 100),
    ("  -1.25e-300 ", 2, "-1.25e-300", Fraction(-125, 10 ** 302)),
    ("+.5", 1, "0.5", Fraction(1, 2)),
    (Decimal("1.5E+3"), 1, "1500", 1500),
    (Decimal("-0.000"), 1, "0", 0),
    (Fraction(3, 8), 1, "0.375", Fraction(3, 8)),
    (Fraction(-7, 4), 2, "-1.75", Fraction(-7, 4)),
    (0.5, 1, "0.5", Fraction(1, 2)),
    (True, 1, "1", 1),
])
def test_values_that_fit_are_held_exactly(value, precision, text, value_held):
    x = Number(value, precision, exact=True)
    assert x.precision == precision
    assert str(x) == text
    assert exact(x) == value_held


def test_a_float_is_its_exact_binary_value():
    # 0.1 as a double has 55 significant digits; precision 6 holds 100.
    assert Number(0.1, 6, exact=True).to_decimal() == Decimal(0.1)
    assert str(Number(0.1, 3)) == "0.100000000000000005551115123126"


def test_digits_beyond_the_record_are_cut_toward_zero():
    # Precision 1 holds five limbs: 1/3 keeps fifty 3s, -2/3 fifty 6s (toward zero).
    assert Number(Fraction(1, 3), 1).to_decimal() == Decimal("0." + "3" * 50)
    assert Number(Fraction(-2, 3), 1).to_decimal() == Decimal("-0." + "6" * 50)
    # 51 digits at precision 1: the last is cut (the leading limb holds one digit).
    assert exact(Number(10 ** 50 + 1, 1)) == 10 ** 50
    assert exact(Number(10 ** 50 + 1, 2)) == 10 ** 50 + 1
    # A whole number beyond Python's 4,300-digit limit of str(int).
    big = 7 * 10 ** 5000 + 3
    assert exact(Number(big, 303)) == 7 * 10 ** 5000
    assert exact(Number(Fraction(big, 10 ** 5000), 1)) == 7


@pytest.mark.parametrize("value, precision", [
    (Fraction(1, 3), 30), (10 ** 50 + 1, 1), ("1." + "0" * 49 + "1", 1), (2 ** -1074, 3),
])
def test_exact_refuses_a_cut(value, precision):
    with pytest.raises(ostrel2.InexactError):
        Number(value, precision, exact=True)
    Number(value, precision)  # without exact=True the digits are cut silently


@pytest.mark.parametrize("value, error", [
    ("1.2.3", ValueError), ("", ValueError), ("1e", ValueError), ("nan", ValueError),
    ("1e3000000000", ValueError), (Decimal("NaN"), ValueError), (Decimal("-Infinity"), ValueError),
    (float("inf"), ValueError), (1j, TypeError), (None, TypeError), ([1], TypeError),
])
def test_values_without_a_number_are_refused(value, error):
    with pytest.raises(error):
        Number(value)


def test_refused_text_names_the_place():
    with pytest.raises(ValueError, match="unexpected character in number at offset 3"):
        Number("1.2.3")


def test_a_number_converted_to_another_precision():
    third = Number(1, 1) / 3                       # Div_XL works at precision 5 at least
    assert third.precision == 5
    short = Number(third, 1)
    assert short.precision == 1
    assert exact(short) == Fraction(int("3" * 50), 10 ** 50)
    assert Number(third) is not third and Number(third) == third


def test_text_and_conversions():
    x = Number(1, 1) / 8
    assert str(x) == "0.125"
    seventh = ostrel2.divide2(1, 7, 1)             # long division keeps precision 1
    assert str(seventh) == "0.1428571429"          # 0.1428571428|57..., rounded half-even
    every_limb = seventh.text(all_limbs=True)      # fifty digits, the guard limbs' truncated
    assert every_limb.startswith("0." + ("142857" * 9)[:40]) and len(every_limb) == 52
    assert abs(exact(seventh) - Fraction(1, 7)) < Fraction(1, 10 ** 48)
    assert repr(seventh) == "ostrel2.Number('0.1428571429', precision=1)"
    assert copy.deepcopy(seventh) is seventh       # numbers do not change
    assert float(seventh) == 1 / 7
    assert int(Number("-2.7")) == math.trunc(Number("-2.7")) == -2
    assert math.floor(Number("-2.7")) == -3 and math.ceil(Number("-2.7")) == -2
    assert format(Number("1.23456"), ".3f") == "1.235"
    assert f"{Number('1.5')}" == "1.5"
    assert bool(Number(0)) is False and bool(Number("1e-300")) is True


@pytest.mark.parametrize("value, places, expected", [
    ("2.5", None, 2), ("3.5", None, 4), ("-2.5", None, -2), ("2.5000001", None, 3),
    ("1.2345", 2, Fraction(123, 100)), ("1.235", 2, Fraction(124, 100)),
    ("-1.225", 2, Fraction(-122, 100)), ("1234.5", -2, 1200), ("0.004", 2, 0),
    ("1.5", 5, Fraction(3, 2)),
])
def test_round_goes_half_to_even_as_for_decimal(value, places, expected):
    x = Number(value, 2)
    rounded = round(x) if places is None else round(x, places)
    if places is None:
        assert type(rounded) is int and rounded == expected
        assert rounded == round(Decimal(value))
    else:
        assert isinstance(rounded, Number) and rounded.precision == 2
        assert exact(rounded) == expected == Fraction(round(Decimal(value), places))


def test_comparisons_are_exact():
    half = Number("0.5")
    assert half == Fraction(1, 2) == Decimal("0.5") == 0.5
    assert half != Fraction(1, 3) and not half == "0.5"
    assert Number(1, 1) / 3 != Fraction(1, 3)
    assert Number("1e-300") > 0 > Number("-1e-300")
    assert Number(10 ** 60 + 1, 7) > 10 ** 60
    assert Number(2) <= 2.0 < Number("2.0000000001") < math.inf
    assert not Number(1) < math.nan and not Number(1) >= math.nan and Number(1) != math.nan
    assert sorted([Number(3), Number(-1), Number("0.5")]) == [-1, Fraction(1, 2), 3]
    assert hash(Number(2)) == hash(2) and hash(Number("0.25")) == hash(Fraction(1, 4))
    assert len({Number(2), Number(2, 9), 2}) == 1


@pytest.mark.parametrize("expression, expected", [
    (lambda: Number("1.5") + Number("2.25"), Fraction(15, 4)),
    (lambda: Number("1.5") + 1, Fraction(5, 2)),
    (lambda: 1 + Number("1.5"), Fraction(5, 2)),
    (lambda: Fraction(1, 2) + Number("0.25"), Fraction(3, 4)),
    (lambda: Decimal("0.1") - Number("1"), Fraction(-9, 10)),
    (lambda: Number(10 ** 20) - 1, 10 ** 20 - 1),
    (lambda: Number(12345678901234567890) * 98765432109876543210,
     12345678901234567890 * 98765432109876543210),
    (lambda: 3 * Number("-0.5"), Fraction(-3, 2)),
    (lambda: Number(1) / 8, Fraction(1, 8)),
    (lambda: 1 / Number(-4), Fraction(-1, 4)),
    (lambda: Number(7) % 3, 1),
    (lambda: Number(-7) % 3, -1),                # the sign of x, as Mod_XL and Decimal
    (lambda: 7 % Number("2.5"), 2),
    (lambda: -Number("1.5"), Fraction(-3, 2)),
    (lambda: +Number("1.5"), Fraction(3, 2)),
    (lambda: abs(Number("-1.5")), Fraction(3, 2)),
    # Floor division truncates, as for Decimal, so that x == (x // y) * y + x % y.
    (lambda: Number(7) // 2, 3),
    (lambda: Number(-7) // 2, -3),
    (lambda: 7 // Number("-2.5"), -2),
    (lambda: Number(6) // Number(3), 2),         # 6 / 3 may come out just below 2
    (lambda: Number(10) ** 40 // 7, 10 ** 40 // 7),
    (lambda: divmod(Number("-7.5"), 2)[0], -3),
    (lambda: divmod(Number("-7.5"), 2)[1], Fraction(-3, 2)),
    (lambda: divmod(7, Number(-3))[1], 1),
    # Powers: a whole exponent by Power_XL (any sign of x), others by PowerX_XL.
    (lambda: Number(2) ** 10, 1024),
    (lambda: Number(2) ** -2, Fraction(1, 4)),
    (lambda: Number(-2) ** Number(3), -8),
    (lambda: Number(-2) ** 3.0, -8),
    (lambda: 2 ** Number(10), 1024),
    (lambda: Fraction(1, 2) ** Number(3), Fraction(1, 8)),
    (lambda: Number(4) ** 0.5, 2),
    (lambda: Number(4) ** Fraction(1, 2), 2),
])
def test_operators(expression, expected):
    result = expression()
    assert isinstance(result, Number)
    assert exact(result) == expected


def test_operators_follow_the_library_precision_rules():
    assert (Number(1, 2) + 1).precision == 2           # a plain operand takes the number's
    assert (Number(1, 2) + Number(1, 9)).precision == 9
    assert (Number(1, 1) * Number(3, 1)).precision == 5   # Multipl_XL: at least 5
    third = Number(1, 1) / 3
    assert abs(exact(third) - Fraction(1, 3)) < Fraction(1, 10 ** 50)


def test_real_powers_and_methods_against_decimal():
    with decimal.localcontext(decimal.Context(prec=60)):
        sqrt2, ln10, e = Decimal(2).sqrt(), Decimal(10).ln(), Decimal(1).exp()
    close = Fraction(1, 10 ** 48)
    for x, expected in [
        (2 ** Number("0.5"), sqrt2), (Number(2) ** 0.5, sqrt2), (Number(2).sqrt(), sqrt2),
        (Number(10).ln(), ln10), (Number(10).log(), ln10), (Number(1).exp(), e),
        (Number(8).root(3), 2), (Number(3).power(4), 81), (Number("-2.5").fix(), -2),
    ]:
        assert abs(exact(x) - Fraction(expected)) < close, (x, expected)
    assert Number(2).sqrt(digits=20).digits == 20 and Number(2).sqrt(30).precision == 30


def test_operators_refuse_other_types():
    for operation in (lambda: Number(1) + 0.5,             # floats only as exponents, or Number(float)
                      lambda: 0.5 * Number(1),
                      lambda: Number(1) // 0.5,
                      lambda: Number(1) + "1",
                      lambda: pow(Number(2), 3, 5)):
        with pytest.raises(TypeError):
            operation()


@pytest.mark.parametrize("make", [
    lambda: Number(float("nan")), lambda: Number(float("-inf")), lambda: Number("inf"),
    lambda: Number(" -Infinity"), lambda: Number("nan"), lambda: Number(Decimal("NaN")),
    lambda: Number(1) + Decimal("Infinity"), lambda: Number(2) ** float("inf"),
    lambda: ostrel2.sqrt(float("nan")),
])
def test_nan_and_infinities_are_refused_with_a_clear_message(make):
    with pytest.raises(ValueError, match="a Number is a finite decimal number"):
        make()


def test_the_conventions_of_decimal_numbers():
    half = Number("0.5")
    # Hashes equal those of equal Decimals, ints and Fractions.
    assert hash(Number("0.25")) == hash(Decimal("0.25")) == hash(Fraction(1, 4))
    assert hash(Number(10 ** 40, 5)) == hash(Decimal(10) ** 40)
    assert {Decimal("0.5"): "found"}[half] == "found"
    # Mixing with int, Fraction and Decimal, either side.
    assert exact(half + 1) == exact(1 + half) == Fraction(3, 2)
    assert exact(Fraction(1, 4) * Number(4)) == 1
    assert exact(Decimal("0.5") - half) == 0
    assert isinstance(half, numbers.Number)
    assert Number("-0.125").as_integer_ratio() == (-1, 8)
    third = Number(1, 1) / 3
    assert Fraction(*third.as_integer_ratio()) == exact(third)


def test_help_and_type_hints_cover_every_function_and_method():
    import ostrel2._exports as exports
    import ostrel2._number as _number
    names = [name for name in vars(exports.NumberMethods) if not name.startswith("_")]
    assert {"sqrt", "ln", "log", "exp", "sin", "root", "power", "fix"} <= set(names)
    assert not {"abs", "round"} & set(names)
    for function in [getattr(ostrel2, name) for name in ostrel2.available] + [
            getattr(Number, name) for name in names]:
        assert function.__doc__ and "_XL" in function.__doc__, function
        # Every annotation resolves, with the names a type checker sees (TYPE_CHECKING imports).
        hints = typing.get_type_hints(function, {**vars(_number), **function.__globals__})
        assert "return" in hints, function
    assert typing.get_type_hints(Number.__init__)["value"]
    assert (Path(ostrel2.__file__).parent / "py.typed").exists()


def test_module_functions():
    assert ostrel2.version() == 20091025
    assert exact(ostrel2.add("0.1", "0.2")) == Fraction(3, 10)
    assert exact(ostrel2.subtract(1, Number("0.25"))) == Fraction(3, 4)
    assert exact(ostrel2.multiply2(Fraction(1, 2), 3)) == Fraction(3, 2)
    assert exact(ostrel2.multiply(Fraction(1, 2), 3)) == Fraction(3, 2)
    # Both divisions truncate: the long one leaves 0.2499...9 in the guard limbs.
    assert str(ostrel2.divide(1, 4)) == str(ostrel2.divide2(1, 4)) == "0.25"
    assert exact(ostrel2.mod("7.5", 2)) == Fraction(3, 2)
    assert exact(ostrel2.abs(-2)) == 2
    assert exact(ostrel2.fix("-2.5")) == -2
    assert exact(ostrel2.round("-2.5")) == -3
    assert ostrel2.add(1, 2, digits=100).precision == 10
    g, a, b = ostrel2.gcd(1071, 462)
    assert (exact(g), exact(a), exact(b)) == (21, 51, 22)
    x, y = Number(12), Number(18)
    assert [exact(v) for v in ostrel2.gcd(x, y)] == [6, 2, 3]
    assert (exact(x), exact(y)) == (12, 18)               # the arguments stay as they were
