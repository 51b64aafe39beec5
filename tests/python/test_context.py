"""The precision context: numbers made inside it and the results of operations inside it get
its precision; a with block, a decorated function or set_precision() sets it, for one thread or
task only."""
import asyncio
import threading
from decimal import Decimal
from fractions import Fraction

import pytest

import ostrel2
from ostrel2 import Number


def exact(x):
    return Fraction(x.to_decimal())


def test_new_numbers_take_the_context_precision():
    assert Number(1).precision == ostrel2.DEFAULT_PRECISION == 5
    assert Number(1, digits=11).precision == 2
    assert Number(1, digits=3030).precision == 303
    with ostrel2.precision(digits=300) as limbs:
        assert limbs == 30 and ostrel2.get_precision() == 30
        assert Number(1).precision == 30
        assert ostrel2.add(1, 2).precision == 30
        with ostrel2.precision(2):
            assert Number(1).precision == 2
        assert Number(1).precision == 30
        assert Number(1, 7).precision == 7                # a number's own precision wins
    assert Number(1).precision == 5 and ostrel2.get_precision() == 5
    for bad in ({"precision": 0}, {"precision": 304}, {"digits": 0}, {"digits": 3031}):
        with pytest.raises(ValueError):
            Number(1, **bad)
        with pytest.raises(ValueError):
            ostrel2.precision(**bad)
    with pytest.raises(TypeError):
        Number(1, 2, digits=20)


def test_operations_inside_the_context_work_at_its_precision():
    ten, two = Number(1, 10), Number(2, precision=1)
    third = Fraction(1, 3)
    with ostrel2.precision(2):
        assert (ten + ten).precision == 2                  # brought down from 10 limbs
        assert (-ten).precision == (+ten).precision == abs(ten).precision == 2
        root = two.sqrt()                                  # brought up from 1 limb
        assert root.precision == 5                         # the square root keeps 5 at least
    with ostrel2.precision(30):
        root = two.sqrt()
        quotient = Number(1, 1) / 3
    assert root.precision == 30
    assert abs(exact(root) ** 2 - 2) < Fraction(1, 10 ** 299)
    assert abs(exact(quotient) - third) < Fraction(1, 10 ** 299)
    # Outside any context an operation follows its operands.
    assert (ten + 1).precision == 10 and (two + two).precision == 1


def test_results_inside_a_digits_context_show_those_digits():
    with ostrel2.precision(digits=25):
        x = Number(2, precision=20).sqrt()
        y = ostrel2.pi() * 1
    assert (x.digits, y.digits) == (25, 25)
    assert str(x) == "1.414213562373095048801689"
    assert str(y) == "3.141592653589793238462643"
    # Operands that were all asked in digits: the result shows the most of them.
    assert (Number(1, digits=12) / Number(3, digits=21)).digits == 21
    assert (Number(1, digits=12) / Number(3)).digits == 50   # one asked in limbs: its promise


def test_a_decorated_function_runs_at_the_precision_in_every_thread():
    @ostrel2.precision(digits=40)
    def seventh():
        return Number(1) / 7

    @ostrel2.precision(3)
    async def third():
        await asyncio.sleep(0)
        return Number(1) / 3

    results = []
    threads = [threading.Thread(target=lambda: results.append(seventh())) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert [str(r) for r in results] == ["0.1428571428571428571428571428571428571429"] * 4
    assert asyncio.run(third()).precision == 5 and ostrel2.get_precision() == 5
    assert seventh.__name__ == "seventh"


def test_one_context_object_entered_by_many_threads():
    shared = ostrel2.precision(7)
    barrier = threading.Barrier(4)
    problems = []

    def work():
        for _ in range(50):
            with shared:
                barrier.wait()                         # every thread inside at once
                if ostrel2.get_precision() != 7:
                    problems.append(ostrel2.get_precision())
            if ostrel2.get_precision() != 5:
                problems.append("left at 7")

    threads = [threading.Thread(target=work) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert problems == []


def test_set_precision_belongs_to_the_thread_and_can_be_cleared():
    seen = []
    ostrel2.set_precision(digits=70)
    try:
        thread = threading.Thread(target=lambda: seen.append(ostrel2.get_precision()))
        thread.start()
        thread.join()
        assert ostrel2.get_precision() == 7
        assert (Number(1, 20) + 1).precision == 7          # the operations too
    finally:
        ostrel2.set_precision()
    assert seen == [ostrel2.DEFAULT_PRECISION]
    assert (Number(1, 20) + 1).precision == 20
    assert Decimal(str(Number(1) / 3)) == Decimal("0." + "3" * 50)
