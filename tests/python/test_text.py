"""What a Number shows: str(), repr() and format() write the digits asked for (digits=) or the
limbs the record promises, rounded half to even once from the record, never a guard digit.
Oracles: Python's decimal at the digits asked for, and the text library's own rounded text."""
import decimal
import pickle
import random
import re
from decimal import Decimal

import pytest

import ostrel2
from ostrel2 import Number
from ostrel2 import _library


def significant(text):
    """The significant digits of a number's text, its exponent left out."""
    mantissa = re.sub(r"[eE].*$", "", text)
    return re.sub(r"[^0-9]", "", mantissa).lstrip("0")


@pytest.mark.parametrize("digits", [1, 9, 10, 11, 30, 55, 299])
@pytest.mark.parametrize("function, reference", [
    (lambda d: ostrel2.sqrt(2, digits=d), lambda: Decimal(2).sqrt()),
    (lambda d: ostrel2.exp(1, digits=d), lambda: Decimal(1).exp()),
    (lambda d: ostrel2.log(10, digits=d), lambda: Decimal(10).ln()),
    (lambda d: Number(1, digits=d) / 7, lambda: Decimal(1) / 7),
], ids=["sqrt 2", "exp 1", "log 10", "1/7"])
def test_digits_means_digits(function, reference, digits):
    x = function(digits)
    with decimal.localcontext(decimal.Context(prec=digits)):
        expected = +reference()             # decimal's correctly rounded value at those digits
    assert Decimal(str(x)) == expected and len(significant(str(x))) <= digits
    assert x.digits == digits and x.precision >= -(-digits // 10)
    assert repr(x) == f"ostrel2.Number('{x}', digits={digits})"


def test_sqrt_2_at_30_digits_in_every_output():
    x = ostrel2.sqrt(2, digits=30)
    assert x.precision == 5                 # the square root works at 5 limbs at least
    shown = "1.41421356237309504880168872421"
    assert str(x) == x.text() == f"{x}" == shown
    assert repr(x) == f"ostrel2.Number('{shown}', digits=30)"
    assert eval(repr(x), {"ostrel2": ostrel2}) == Decimal(shown)
    # The record keeps its guard limbs for whoever asks for them explicitly.
    assert len(significant(x.text(all_limbs=True))) > 60
    assert x.to_decimal() != Decimal(shown)


SQRT2_30 = "1.41421356237309504880168872421"


@pytest.mark.parametrize("form, expected", [
    ("e", SQRT2_30 + "e+0"),
    ("E", SQRT2_30 + "E+0"),
    ("g", SQRT2_30),
    ("f", SQRT2_30),
    ("%", "141.421356237309504880168872421%"),
    ("", SQRT2_30),
    (">34", "   " + SQRT2_30),
    ("+", "+" + SQRT2_30),
    (".5e", "1.41421e+0"),
    (".3g", "1.41"),
    (".10f", "1.4142135624"),
    (".2%", "141.42%"),
    (".29e", SQRT2_30 + "e+0"),               # all 30 digits
    (".35e", SQRT2_30 + "000000e+0"),         # more than shown: zeros, as for a 30-digit Decimal
    (".32f", SQRT2_30 + "000"),
    (".40g", SQRT2_30),
])
def test_formats_show_no_guard_digit(form, expected):
    assert format(ostrel2.sqrt(2, digits=30), form) == expected


def test_format_rounds_the_record_once():
    # Shown to 5 digits, 0.12345; the record holds 0.123450000001, which rounds up at 4 places
    # (rounding the shown 0.12345 half to even would give 0.1234).
    x = Number("0.123450000001", digits=5)
    assert str(x) == "0.12345"
    assert format(x, ".4f") == "0.1235" and format(x, ".3e") == "1.235e-1"
    assert format(x, ".8f") == "0.12345000"
    assert format(Number("0.125", digits=3), ".2f") == "0.12"   # a true half: to even
    with decimal.localcontext(decimal.Context(rounding=decimal.ROUND_DOWN)):
        assert format(x, ".4f") == "0.1235"                    # not the caller's decimal rounding


def test_format_of_zero_and_of_whole_numbers():
    assert [format(Number(0), s) for s in ("", "e", ".2f", "g")] == ["0", "0e+0", "0.00", "0"]
    # As for Decimal(100): the whole number str() writes out.
    assert [format(Number(100), s) for s in ("", "g", "e", ".1e")] == ["100", "100", "1.00e+2", "1.0e+2"]
    assert format(Number(10 ** 40, digits=30), "g") == "1e+40"
    assert [format(Number(-12345, digits=3), s) for s in ("", "f")] == ["-1.23e4", "-12300"]


@pytest.mark.parametrize("value, digits, text", [
    ("0.123456", 3, "0.123"),
    ("0.1235", 3, "0.124"),                  # a tie, to even
    ("0.1245", 3, "0.124"),
    ("0.12450001", 3, "0.125"),
    ("999.96", 4, "1000"),                    # the carry: one digit more before the point
    ("9.5", 1, "10"),
    ("8.5", 1, "8"),
    ("12345", 3, "1.23e4"),                   # no zero in place of a digit rounded away
    ("12000", 3, "12000"),
    ("-0.000000012345", 3, "-1.23e-8"),
    ("0.0000001", 5, "0.0000001"),
    ("1e-8", 5, "1e-8"),
])
def test_digits_round_half_to_even(value, digits, text):
    assert str(Number(value, digits=digits)) == text


def random_records(count, seed=2026):
    """Records of precision 1 .. 8 with leading limbs short and full, ties, runs of 9s, and
    exponents from positional to scientific."""
    generate = random.Random(seed)
    for _ in range(count):
        precision = generate.randint(1, 8)
        length = generate.randint(1, 10 * (precision + 4))
        shape = generate.choice(["random", "nines", "tie", "near tie"])
        if shape == "nines":
            digits = "9" * length
        else:
            digits = str(generate.randint(1, 9)) + "".join(
                generate.choice("0123456789") for _ in range(length - 1))
            if shape in ("tie", "near tie") and length > 10 * precision + 2:
                cut = generate.randint(10 * precision - 9, 10 * precision + 1)
                tail = "5" + "0" * (length - cut - 1)
                if shape == "near tie":
                    tail = tail[:-1] + generate.choice("19")
                digits = digits[:cut] + tail
        exponent = generate.randint(-60, 60)
        sign = generate.choice(["", "-"])
        yield f"{sign}{digits}e{exponent}", precision


def test_str_is_the_text_library_rounded_text():
    # Where no digits were asked for, str() writes what the C text library writes for the record:
    # the whole limbs it promises, rounded half to even, positional or scientific by one rule.
    for text, precision in random_records(600):
        record, _ = _library.parse_text(text, precision)
        x = Number(text, precision)
        assert str(x) == _library.format_record(record, False), (text, precision)


def test_pickle_keeps_every_limb_and_the_digits_shown():
    for x in (ostrel2.sqrt(2, digits=30), ostrel2.divide2(1, 7, precision=1), Number(0)):
        copy = pickle.loads(pickle.dumps(x))
        assert copy.to_decimal() == x.to_decimal()
        assert (copy.precision, copy.digits, str(copy)) == (x.precision, x.digits, str(x))
