#!/usr/bin/env python3
"""peers_decimal.py -- Python's decimal on the benchmark's operands, for the peer tables.

Reads the operands that `ostrel2_peers --arguments=FILE` wrote (every argument set and precision,
as exact decimal text) and times the decimal module's counterpart of each export at 10 p digits:
a context of precision 10 p, the operands rounded to it first (decimal computes with its inputs
exact). decimal has the arithmetic, the square root, exp, ln, log10 and power, but no
trigonometric or hyperbolic functions, no pi and no factorial of its own: those rows are left out.
The integer root is power(x, 1/n). Timing as in the C++ program: thread CPU time per call over at
least --min-time seconds per round, cycling through the set's calls, the median of --rounds rounds;
a row whose first call takes more than --dear seconds gets a single call.

Usage: peers_decimal.py ARGUMENTS.tsv OUT.tsv [--rounds N] [--min-time S] [--dear S]
"""
import argparse
import csv
import decimal
import statistics
import sys
import time
from collections import OrderedDict
from decimal import Decimal


def operations(ctx, down, half_up):
    """The counterpart of each export, as a function of (x, y, n)."""
    return {
        "Add_XL": lambda x, y, n: ctx.add(x, y),
        "Subtract_XL": lambda x, y, n: ctx.subtract(x, y),
        "Multipl2_XL": lambda x, y, n: ctx.multiply(x, y),
        "Multipl_XL": lambda x, y, n: ctx.multiply(x, y),
        "Div2_XL": lambda x, y, n: ctx.divide(x, y),
        "Div_XL": lambda x, y, n: ctx.divide(x, y),
        "Abs_XL": lambda x, y, n: ctx.abs(x),
        "Fix_XL": lambda x, y, n: down.to_integral_value(x),
        "Round_XL": lambda x, y, n: half_up.to_integral_value(x),
        "Mod_XL": lambda x, y, n: ctx.remainder(x, y),
        "Sqr_XL": lambda x, y, n: ctx.sqrt(x),
        "Root_XL": lambda x, y, n: ctx.power(x, ctx.divide(1, n)),
        "Power_XL": lambda x, y, n: ctx.power(x, n),
        "Exp_XL": lambda x, y, n: ctx.exp(x),
        "Loge_XL": lambda x, y, n: ctx.ln(x),
        "Log10_XL": lambda x, y, n: ctx.log10(x),
        "PowerX_XL": lambda x, y, n: ctx.power(x, y),
    }


def per_call(run, calls, min_time):
    """Seconds per call of run(k), k cycling through the calls, over at least min_time."""
    count = 0
    batch = 1
    start = time.thread_time()
    while True:
        for _ in range(batch):
            run(count % calls)
            count += 1
        elapsed = time.thread_time() - start
        if elapsed >= min_time:
            return elapsed / count
        batch *= 2


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("arguments")
    parser.add_argument("out")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--min-time", type=float, default=0.05)
    parser.add_argument("--dear", type=float, default=1e9)
    options = parser.parse_args()

    rows = OrderedDict()
    with open(options.arguments, newline="") as f:
        for line in csv.DictReader(f, delimiter="\t"):
            key = (int(line["p"]), line["export"], line["arguments"])
            rows.setdefault(key, []).append(line)

    with open(options.out, "w") as out:
        out.write("p\texport\targuments\tcontestant\tseconds\tfastest\tslowest\n")
        for (p, name, label), calls in rows.items():
            ctx = decimal.Context(prec=10 * p, Emax=decimal.MAX_EMAX, Emin=decimal.MIN_EMIN)
            down = ctx.copy()
            down.rounding = decimal.ROUND_DOWN
            half_up = ctx.copy()
            half_up.rounding = decimal.ROUND_HALF_UP
            operation = operations(ctx, down, half_up).get(name)
            if operation is None:
                continue
            if name == "Multipl_XL" and label == "x*x":
                operation = lambda x, y, n: ctx.multiply(x, x)  # noqa: E731

            def read(text):
                return None if text == "-" else ctx.plus(Decimal(text))

            xs = [read(c["x"]) for c in calls]
            ys = [read(c["y"]) for c in calls]
            n = Decimal(calls[0]["n"]).to_integral_value()
            run = lambda k: operation(xs[k], ys[k], n)  # noqa: E731
            start = time.thread_time()
            run(0)
            if time.thread_time() - start > options.dear:
                seconds = [per_call(run, 1, 0.0)]
            else:
                seconds = sorted(per_call(run, len(calls), options.min_time)
                                 for _ in range(options.rounds))
            median = statistics.median_low(seconds)
            out.write(f"{p}\t{name}\t{label}\tdecimal\t{median:.6e}\t{seconds[0]:.6e}"
                      f"\t{seconds[-1]:.6e}\n")
            out.flush()
            print(f"{p:<5} {name:<13} {label:<21} {median * 1e6:12.3f} us", flush=True)


if __name__ == "__main__":
    sys.exit(main())
