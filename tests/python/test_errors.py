"""Failures: an exception with the library's message (decoded from code page 932) and its error
code; the library's bytes never reach the caller's standard output, also with many threads."""
import pytest

import ostrel2
from ostrel2 import Number

DIVISION_BY_ZERO = "多倍長数のゼロでの除算エラー"
OVERFLOW = "計算結果がオーバーフローしました。"


@pytest.mark.parametrize("call, message, code, function", [
    (lambda: Number(1) / 0, DIVISION_BY_ZERO, -1, "Div_XL"),
    (lambda: ostrel2.divide2(1, 0), OVERFLOW, -1, "Div2_XL"),
    (lambda: Number("1e1999999990") * Number("1e1999999990"), OVERFLOW, -1, "Multipl_XL"),
    (lambda: ostrel2.gcd(0, 5), "", -2, "LCM_XL"),
])
def test_a_failure_raises_with_message_and_code(call, message, code, function, capfd):
    with pytest.raises(ostrel2.Error) as caught:
        call()
    error = caught.value
    assert (error.message, error.code, error.function) == (message, code, function)
    assert isinstance(error, ArithmeticError)
    assert str(error) == (message or "failed without a message") + f" ({function}: error {code})"
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
                    if e.message != "多倍長数のゼロでの除算エラー" or e.code != -1:
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
            sys.stderr.write(e.message)
        try:
            os.fstat(1)
            sys.stderr.write(" and descriptor 1 is open")
        except OSError:
            sys.stderr.write(" and descriptor 1 is closed")
        sys.stdout = None
    """)
    assert (out, err, status) == (b"", "多倍長数のゼロでの除算エラー and descriptor 1 is closed", 0)
