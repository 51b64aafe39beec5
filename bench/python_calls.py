#!/usr/bin/env python3
"""python_calls.py -- what a call costs from Python, and whether calls on threads run side by side.

usage: python3 bench/python_calls.py [--quick]

Run it with the module importable (installed with pip, or PYTHONPATH=python with
OSTREL2_LIBRARY_DIR naming a build folder). It prints:

- the time of one addition at precision 5: the raw ctypes call of Add_XL on ready records (the
  floor), ostrel2.add on Numbers, and `x + y` on Numbers, with their ratios to the raw call;
- the wall time of four dear calls (the natural logarithm of 2 at precision 303) one after
  another, and on two threads taking two each, with their ratio, and beside each the processor
  time the process used: on two threads that run side by side it is near twice the wall time,
  even where other work on the machine keeps the wall time from falling.

Each time is the best of several repetitions, so that other work on the machine weighs less.
"""
import ctypes
import sys
import threading
import time
import timeit

import ostrel2
from ostrel2 import _library


def best_microseconds(statement, number, repeat):
    return min(timeit.repeat(statement, number=number, repeat=repeat)) / number * 1e6


def call_figures(number, repeat):
    record = ctypes.POINTER(_library.LongNumber)
    add = _library.arithmetic.Add_XL
    add.argtypes = [record, record, record]
    add.restype = ctypes.c_void_p
    x = ostrel2.Number("1.5", 5)
    y = ostrel2.Number("2.25", 5)
    r = _library.LongNumber()
    rx, ry = x._record, y._record
    byref = ctypes.byref
    raw = best_microseconds(lambda: add(byref(r), byref(rx), byref(ry)), number, repeat)
    function = best_microseconds(lambda: ostrel2.add(x, y), number, repeat)
    operator = best_microseconds(lambda: x + y, number, repeat)
    return raw, function, operator


def dear_call():
    ostrel2.log(2, precision=ostrel2.MAX_PRECISION)


def seconds(work):
    """(wall, processor) seconds of work."""
    wall, processor = time.perf_counter(), time.process_time()
    work()
    return time.perf_counter() - wall, time.process_time() - processor


def serial():
    for _ in range(4):
        dear_call()


def two_threads():
    def two():
        dear_call()
        dear_call()
    threads = [threading.Thread(target=two) for _ in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def main():
    quick = "--quick" in sys.argv[1:]
    number, repeat, rounds = (20000, 3, 1) if quick else (100000, 7, 3)
    raw, function, operator = call_figures(number, repeat)
    print(f"one addition at precision 5 (best of {repeat} x {number} calls)")
    print(f"  raw ctypes call of Add_XL  {raw:6.2f} us")
    print(f"  ostrel2.add(x, y)          {function:6.2f} us  ({function / raw:.1f} x the raw call)")
    print(f"  x + y                      {operator:6.2f} us  ({operator / raw:.1f} x the raw call)")
    dear_call()  # the first call of a process fills the transform tables
    one = min(seconds(serial) for _ in range(rounds))
    two = min(seconds(two_threads) for _ in range(rounds))
    print(f"four logarithms of 2 at precision 303 (best of {rounds}; wall, processor time)")
    print(f"  one after another          {one[0]:6.2f} s  {one[1]:6.2f} s")
    print(f"  on two threads             {two[0]:6.2f} s  {two[1]:6.2f} s  "
          f"({two[0] / one[0]:.2f} of the serial wall time)")


if __name__ == "__main__":
    main()
