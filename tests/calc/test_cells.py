"""The Calc extension's cell functions without LibreOffice: the notation against the ostrel2
program, the precision steps that settle a result's digits, and the reading of arguments.
tests/calc/cases.tsv runs the same functions in a real Calc (scripts/setup.sh test)."""
import decimal
import math
import os
import re
import subprocess
from pathlib import Path

import pytest

import ostrel2
from ostrel2_calc import cells
from ostrel2_calc import digits as decimal_digits
from ostrel2_calc import functions as table

PROGRAM = os.environ.get("OSTREL2_PROGRAM")


# ---- notation -------------------------------------------------------------------------------

# The program's text rounds a record to 10 N digits from a full leading limb (10 N + the width of
# the leading limb otherwise): the same value rounded by the add-in must read the same.
PROGRAM_VALUES = [
    ("1234567890.123456789012345678901234567890123456789", 1),
    ("1234567890.123456789012345678901234567890123456789", 2),
    ("-9999999999.99999999995", 2),        # rounds up into a new leading digit
    ("12345.00000000005", 1),             # exactly half: to even, down
    ("12345.00000000015", 1),             # exactly half: to even, up
    ("98765432109876543210987654321", 1),  # digits rounded away: no zeros in their place
    ("98765432109876543210000000000", 1),  # only zeros rounded away: positional
    ("123456789012345678901", 2),          # 21 digits, all shown
    ("1e20", 1), ("1e21", 1), ("-1.25e-300", 3), ("1e-7", 1), ("1.5e-8", 1),
    ("0.000000123456789012345678901", 1), ("0.00000001234567890123456789", 1),
    ("3.14159265358979323846264338327950288419716939937510", 3),
]


@pytest.mark.skipif(not PROGRAM, reason="OSTREL2_PROGRAM names no ostrel2 program")
@pytest.mark.parametrize("value, limbs", PROGRAM_VALUES)
def test_notation_is_the_programs(value, limbs):
    def program(*options):
        return subprocess.run([PROGRAM, "--precision", str(limbs), *options, "abs", "--", value],
                              capture_output=True, text=True, check=True).stdout.strip()

    record = decimal.Decimal(program("--all"))
    lead = record.adjusted()
    shown = limbs * 10 + (0 if lead % 10 == 9 else lead % 10 + 1)
    sign = "-" if value.startswith("-") else ""
    assert sign + program() == decimal_digits.text(-record if sign else record, shown)


@pytest.mark.parametrize("value, digits, text", [
    ("0.125", 2, "0.12"), ("0.135", 2, "0.14"), ("-0.125", 2, "-0.12"),
    ("9.995", 3, "10"), ("99999.5", 5, "100000"), ("999999.5", 5, "1e6"),
    ("1234567.8", 3, "1.23e6"), ("1230000", 3, "1230000"), ("1e30", 30, "1e30"),
    ("0.0000001", 5, "0.0000001"), ("0.00000001", 5, "1e-8"), ("0", 5, "0"),
])
def test_rounding_and_notation(value, digits, text):
    assert decimal_digits.text(decimal.Decimal(value), digits) == text


# ---- settling the digits --------------------------------------------------------------------

class Record:
    """Stands for an ostrel2.Number: only its exact text is read."""

    def __init__(self, value):
        self.value = decimal.Decimal(value)

    def text(self, all_limbs=False):
        assert all_limbs
        return str(self.value)


def computed(values):
    """compute(limbs) giving values[limbs], and the precisions asked for."""
    asked = []

    def compute(limbs):
        asked.append(limbs)
        return Record(values(limbs))
    return compute, asked


def test_a_result_confirmed_two_limbs_up_is_taken():
    compute, asked = computed(lambda p: "0.1428571428571428571428571428571428571428571428" + "9" * p)
    assert cells._settled(compute, 30, 5) == decimal.Decimal(
        "0.1428571428571428571428571428571428571428571428" + "9" * 7)
    assert asked == [5, 7]


def test_unsettled_digits_climb_to_the_largest_record_and_are_refused():
    # A result whose 30th digit changes with every precision (as sin of an angle near a large
    # multiple of pi with the angle's digits beyond the records).
    compute, asked = computed(lambda p: f"0.12345678901234567890123456789{p % 10}")
    with pytest.raises(cells.CellError, match="cannot be settled"):
        cells._settled(compute, 30, 5)
    assert asked == [5, 7, 14, 28, 56, 112, 224, 303]


def test_records_straddling_a_half_within_their_promise_round_to_even():
    # 1/8 to two digits, from a record just below 0.125 and one just above, each within a unit of
    # its last promised limb.
    compute, asked = computed(lambda p: "0.124" + "9" * (10 * p) if p == 5
                              else "0.125" + "0" * (10 * p) + "1")
    assert decimal_digits.text(cells._settled(compute, 2, 5), 2) == "0.12"
    assert asked == [5, 7]


def test_records_near_a_half_beyond_their_promise_go_on_climbing():
    sides = iter(["0.1250000000001", "0.1249999999999"] * 10)
    compute, asked = computed(lambda p: next(sides))
    with pytest.raises(cells.CellError, match="cannot be settled"):
        cells._settled(compute, 2, 3)
    assert asked[-1] == cells.MOST_LIMBS


def test_promised_limbs_cover_the_digits_with_ten_more():
    for digits in range(1, table.MOST_DIGITS + 1):
        limbs = cells._limbs_for_digits(digits)
        assert 10 * (limbs - 1) + 1 >= digits + 10 > 10 * (limbs - 2) + 1
    assert cells._limbs_for_digits(table.MOST_DIGITS) < cells.MOST_LIMBS  # room to confirm


# ---- arguments and messages -----------------------------------------------------------------

@pytest.mark.parametrize("name, values, text", [
    ("OSTREL2ADD", (0.1, 0.2), "0.3"),                  # doubles by their shortest text
    ("OSTREL2ADD", (" 1e-400 ", (("2",),)), "2"),         # text, a range of one cell
    ("OSTREL2DIV", (1.0, 3.0, "5"), "0.33333"),          # digits as text
    ("OSTREL2SQRT", (2.0,), "1.41421356237309504880168872421"),
    ("OSTREL2GCD", (-12.0, 18.0, None, 1.0), "-2"),
    ("OSTREL2POWER", (2.0, "1e2", 3.0), "1.27e30"),
    ("OSTREL2MOD", ("1e2000", 7.0), "2"),                 # a quotient of 2,000 digits
])
def test_values_as_calc_passes_them(name, values, text):
    assert cells.call(name, values) == text


@pytest.mark.parametrize("x, y", [("12" * 1500, "18" * 1500), ("1" + "0" * 2999, "7" * 3000)])
def test_the_greatest_common_divisor_of_3000_digit_numbers(x, y):
    # Euclid's quotients reach thousands of digits (10^2999 mod 77...7 has a quotient of one
    # digit, the next one of 2,999): the records must carry them.
    g = math.gcd(int(x), int(y))
    assert decimal.Decimal(cells.call("OSTREL2GCD", (x, y, 1.0))) == decimal.Context(
        prec=1).create_decimal(g)
    shown = [cells.call("OSTREL2GCD", (x, y, 3000.0, part)) for part in (0.0, 1.0, 2.0)]
    assert [decimal.Decimal(text) for text in shown] == [g, int(x) // g, int(y) // g]


@pytest.mark.parametrize("name, values, message", [
    ("OSTREL2ADD", (1.0,), "y is missing"),
    ("OSTREL2ADD", ((("1",), ("2",)), 1.0), "x: a range of 2 cells where one value belongs"),
    ("OSTREL2ADD", ("1,5", 1.0), 'x: "1,5" is not a decimal number'),
    ("OSTREL2ADD", (1.0, 2.0, 30.0, 4.0), "OSTREL2ADD takes at most 3 arguments, not 4"),
    ("OSTREL2SQRT", (2.0, 3001.0), "digits must be a whole number from 1 to 3,000"),
    ("OSTREL2FACTORIAL", (2.0 ** 31,), "n must be a whole number"),
    ("OSTREL2POWER", (2.0, "9007199254740993"), "not a number a double holds exactly"),
    ("OSTREL2SQRT", ("1." + "1" * 3060,), "more significant digits than a record holds"),
])
def test_refused_arguments(name, values, message):
    with pytest.raises(cells.CellError, match=re.escape(message)):
        cells.call(name, values)


def test_the_librarys_message_reaches_ostrel2error():
    with pytest.raises(ostrel2.Error) as failure:
        ostrel2.divide("1", "0", precision=5)
    for name in ("DIV", "div", "OSTREL2DIV"):
        assert cells.message(name, 1.0, 0.0) == str(failure.value)
    assert cells.message("DIV", 1.0, 4.0) == ""
    assert cells.message("DIVIDE", 1.0) == "function: there is no function DIVIDE"


def test_every_function_is_callable_with_its_table_arguments():
    samples = {"x": 0.5, "y": 0.3, "n": 3.0, "digits": 12.0, "cofactor": None,
               "function": "ABS", "argument1": -1.0, "argument2": None, "argument3": None,
               "argument4": None}
    special = {"OSTREL2ACOSH": [2.0], "OSTREL2GCD": [12.0, 18.0]}
    for function in table.FUNCTIONS:
        values = [samples[name] for name, _ in function.arguments]
        given = special.get(function.name, [])
        values[:len(given)] = given
        text = cells.call(function.name, values)
        if function.kind == table.MESSAGE:
            assert text == ""
        else:
            assert cells._NUMBER.fullmatch(text), (function.name, text)


def test_every_example_of_the_function_table_is_a_row_of_the_test_sheet():
    here = Path(__file__).resolve().parent
    rows = {tuple(line.split("\t")[:2]) for line in
            (here / "cases.tsv").read_text(encoding="utf-8").splitlines()}
    examples = []
    for line in (here.parents[1] / "docs" / "calc.md").read_text(encoding="utf-8").splitlines():
        if line.startswith("| `OSTREL2"):
            example, shows = line.split(" | ")[2:4]
            examples += zip(re.findall(r"`([^`]*)`", example), re.findall(r"`([^`]*)`", shows))
    assert len(examples) == len(table.FUNCTIONS) + 1  # two for OSTREL2GCD
    assert [e for e in examples if e not in rows] == []
