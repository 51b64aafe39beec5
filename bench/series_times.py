#!/usr/bin/env python3
"""series_times.py -- processor time per call of the series-heavy exports in two builds of the
library, measured in one run.

    python3 bench/series_times.py OLD/libOstrel2.so NEW/libOstrel2.so [--rounds N]

Each library runs in a process of its own, the two alternating for N rounds (default 3); each
cell is the best round's mean over as many calls as fill 0.3 s of processor time (at least one).
The arguments are short records (scripts/compare_constants.py's decimal) at p = 30, 100, 303.
Prints a table: export, argument, p, microseconds per call before and after, and their ratio.
"""
import ctypes
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from compare_constants import LongNumber, decimal  # noqa: E402

CASES = [("Sin_XL", "1"), ("Cos_XL", "0.5"), ("Tan_XL", "1"), ("Atn_XL", "0.9"),
         ("Loge_XL", "1.5"), ("Log10_XL", "1.5"), ("Exp_XL", "1.5"), ("Sinh_XL", "1.5")]
PRECISIONS = (30, 100, 303)
FILL = 0.3


def measure(library):
    lib = ctypes.CDLL(library)
    ptr = ctypes.POINTER(LongNumber)
    out = {}
    for name, text in CASES:
        f = getattr(lib, name)
        f.argtypes = [ptr, ptr]
        for p in PRECISIONS:
            x = decimal(p, text)
            r = LongNumber()
            f(ctypes.byref(r), ctypes.byref(x))  # warm-up
            calls, start = 0, time.process_time()
            while True:
                f(ctypes.byref(r), ctypes.byref(x))
                calls += 1
                spent = time.process_time() - start
                if spent >= FILL:
                    break
            out[f"{name}|{text}|{p}"] = spent / calls
    return out


def main():
    if sys.argv[1:2] == ["--run"]:
        print(json.dumps(measure(sys.argv[2])))
        return 0
    rounds = int(sys.argv[sys.argv.index("--rounds") + 1]) if "--rounds" in sys.argv else 3
    libraries = [a for a in sys.argv[1:] if not a.startswith("--") and not a.isdigit()]
    if len(libraries) != 2:
        print(__doc__)
        return 2
    best = [{}, {}]
    for _ in range(rounds):
        for k, library in enumerate(libraries):
            run = subprocess.run([sys.executable, __file__, "--run", os.path.abspath(library)],
                                 check=True, capture_output=True, text=True)
            for key, seconds in json.loads(run.stdout).items():
                best[k][key] = min(seconds, best[k].get(key, seconds))
    print(f"{'export':<10} {'x':>4} {'p':>4} {'before us':>12} {'after us':>12} {'after/before':>13}")
    for key in best[0]:
        name, text, p = key.split("|")
        old, new = best[0][key] * 1e6, best[1][key] * 1e6
        print(f"{name:<10} {text:>4} {p:>4} {old:12.1f} {new:12.1f} {new / old:13.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
