"""Failures: an exception saying in English what happened, with the library's own message (decoded
from code page 932) and its error code; the library's bytes never reach the caller's standard
output, also with many threads, and calls on different threads run side by side."""
import re
import threading
import time

import pytest

import ostrel2
from ostrel2 import Number

DIVISION_BY_ZERO = "多倍長数のゼロでの除算エラー"
OVERFLOW = "計算結果がオーバーフローしました。"


@pytest.mark.parametrize("call, message, original, code, function", [
    (lambda: Number(1) / 0, "division by zero", DIVISION_BY_ZERO, -1, "Div_XL"),
    # The long division prints the overflow's line for a zero divisor; the English says what it is.
    (lambda: ostrel2.divide2(1, 0), "division by zero", OVERFLOW, -1, "Div2_XL"),
    (lambda: Number("1e1999999990") * Number("1e1999999990"),
     "the result overflows: its magnitude lies beyond 10^2,000,000,000", OVERFLOW, -1, "Multipl_XL"),
    (lambda: ostrel2.exp(Number("-1e10")),
     "the real power underflows: its magnitude lies below 10^-2,000,000,000",
     "実数指数の累乗計算でオーバーフローしました。", -1, "Exp_XL"),
    # Failures the library reports through the error value alone are said in words too.
    (lambda: ostrel2.gcd(0, 5),
     "gcd: an operand rounds to zero (the cofactors of zero are not defined; error -2)", "", -2,
     "LCM_XL"),
    (lambda: ostrel2.factorial(-1),
     "factorial out of range: n must be a whole number from 0 to 1,000,000",
     "多倍長計算範囲外（階乗の計算は1,000,000以下の正の値を取り扱います）", -1, "Factorial_XL"),
])
def test_a_failure_raises_with_message_and_code(call, message, original, code, function, capfd):
    with pytest.raises(ostrel2.Error) as caught:
        call()
    error = caught.value
    assert (error.message, error.original, error.code, error.function) == (
        message, original, code, function)
    assert isinstance(error, ArithmeticError)
    assert str(error) == f"{message} ({function}: error {code})"
    out, err = capfd.readouterr()
    assert (out, err) == ("", "")


def test_no_library_bytes_on_standard_output(run_python):
    # A pipe is block-buffered: the prints around the call must still come out in order.
    out, err, status = run_python("""
        import ostrel2
        print("before")
        try:
            ostrel2.Number(1) / 0
        except ostrel2.Error as e:
            print(e.code)
        print("after")
    """)
    assert (out, err, status) == (b"before\n-1\nafter\n", "", 0)


def test_many_threads_keep_their_results_messages_and_output(run_python):
    # Eight threads mix failing and succeeding calls and write to descriptor 1 between them: every
    # line they write comes out, and nothing of the library's.
    out, err, status = run_python("""
        import os
        import threading
        from fractions import Fraction
        import ostrel2

        problems = []

        def work(k):
            for n in range(150):
                try:
                    ostrel2.Number(k) / 0
                    problems.append("no error")
                except ostrel2.Error as e:
                    if e.original != "多倍長数のゼロでの除算エラー" or e.code != -1:
                        problems.append(repr(e))
                r = ostrel2.Number(k) + n
                if Fraction(r.to_decimal()) != k + n:
                    problems.append(f"{k} + {n} gave {r}")
                os.write(1, f"{k} {n}\\n".encode())

        threads = [threading.Thread(target=work, args=(k,)) for k in range(8)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        print(problems)
    """)
    assert (status, err) == (0, "")
    lines = out.decode("ascii").splitlines()
    assert lines[-1] == "[]"
    assert sorted(lines[:-1]) == sorted(f"{k} {n}" for k in range(8) for n in range(150))


def test_standard_output_closed_stays_closed(run_python):
    out, err, status = run_python("""
        import os, sys
        import ostrel2
        os.close(1)
        try:
            ostrel2.Number(1) / 0
        except ostrel2.Error as e:
            sys.stderr.write(e.original)
        try:
            os.fstat(1)
            sys.stderr.write(" and descriptor 1 is open")
        except OSError:
            sys.stderr.write(" and descriptor 1 is closed")
        sys.stdout = None
    """)
    assert (out, err, status) == (b"", "多倍長数のゼロでの除算エラー and descriptor 1 is closed", 0)


def test_a_long_call_does_not_hold_up_other_threads():
    # A logarithm at the largest precision takes a good fraction of a second; additions on another
    # thread meanwhile finish long before it, as nothing is shared between the calls.
    started = threading.Event()
    finished = []

    def long_call():
        started.set()
        ostrel2.log(2, precision=ostrel2.MAX_PRECISION)
        finished.append("log")

    worker = threading.Thread(target=long_call)
    worker.start()
    started.wait()
    time.sleep(0.01)
    x = Number("1.5")
    for _ in range(200):
        x = x + 1
    finished.append("additions")
    worker.join()
    assert finished == ["additions", "log"]
    assert x == 201.5


def test_the_call_records_match_the_header(root):
    # The module spells out Ostrel2Messages and Ostrel2Call for ctypes: their sizes must be the
    # header's, or the library would write past the module's records.
    from ostrel2 import _library
    header = (root / "include" / "ostrel2_text.h").read_text()
    capacity = int(re.search(r"#define OSTREL2_MESSAGE_CAPACITY (\d+)", header).group(1))
    assert _library.MESSAGE_CAPACITY == capacity
    fields = re.search(r"typedef struct Ostrel2Call \{(.*?)\} Ostrel2Call;", header, re.S).group(1)
    names = re.findall(r"(\w+);", fields)
    assert names == [name for name, _ in _library.Call._fields_]
