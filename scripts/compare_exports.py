#!/usr/bin/env python3
"""compare_exports.py -- the products, quotients, powers and roots, and a sample of the dear
exports, called through two builds of the library, must give the same bytes.

    python3 scripts/compare_exports.py OLD/libOstrel2.so NEW/libOstrel2.so [--quick] [--seed N]
    python3 scripts/compare_exports.py OLD/libOstrel2.so NEW/libOstrel2.so --series [--seed N]

Each library runs in a process of its own (scripts/compare_constants.py holds the machinery).
At every precision 1 .. 303 (every 7th with --quick) the product exports take random full-length
operands, squares (the same record twice and two copies of one record), zeros, operands whose
limbs are all 9,999,999,999, small leading limbs, short operands, operands of other precisions and
records with junk in the slots beyond their live limbs; the quotients, the remainder, the least
common multiple, the square root, the integer powers and roots take random arguments of their
own at every precision too, the dear exports at a few. Every result record (all 306 slots), the
argument records after the call and the printed bytes are compared. Exits 0 when everything
agrees, 1 otherwise.

--series compares the exports built on the Taylor series instead, denser: the trigonometric
functions and the arctangent family, the logarithms and the hyperbolic functions with their
inverses, at every 5th precision 1 .. 303 and at 303, on short (one or two limbs) and full-length
arguments, tiny (below 10^-10, where the hyperbolic functions sum their series), small, about 1
and large ones.
"""
import math
import random
import sys

from compare_constants import compare_libraries, record, run_calls

LIMB = 10**10
PRODUCTS = ("Multipl_XL", "Multipl2_XL")
DEAR = ("Exp_XL", "Loge_XL", "Sin_XL", "Atn_XL", "Cosh_XL", "Tanh_XL")


class Cases:
    def __init__(self, seed):
        self.rng = random.Random(seed)

    def limbs(self, count, lead=None):
        rng = self.rng
        first = float(lead if lead is not None else rng.randrange(1, LIMB))
        return [first] + [float(rng.randrange(LIMB)) for _ in range(count - 1)]

    def junk(self, x):
        """x with junk (huge, negative, fractional, NaN) in the slots beyond its live limbs."""
        rng = self.rng
        for k in range(x.precision + 4, len(x.limbs)):
            x.limbs[k] = rng.choice((math.nan, -1e300, 7.5, float(rng.randrange(LIMB)), 1e16))
        return x

    def number(self, p, exponent_range=20, lead=None, used=None):
        """A random record of precision p: all live limbs random, or only the first `used`."""
        rng = self.rng
        count = p + 4 if used is None else min(used, p + 4)
        exponent = 10 * rng.randrange(-exponent_range, exponent_range + 1)
        x = record(p, rng.choice((-1, 1)), exponent, self.limbs(count, lead))
        return self.junk(x) if rng.random() < 0.25 else x

    def products(self, p):
        rng = self.rng
        x = self.number(p)
        nines = record(p, 1, 0, [float(LIMB - 1)] * (p + 4))
        zero = record(p, 0, 0, [])
        pairs = [
            [self.number(p), self.number(p)],
            [self.number(p), self.number(p)],
            [self.number(p), self.number(p)],
            [x, 0],  # the same record twice
            [x, x],  # two copies of one record
            [nines, nines],
            [nines, 0],
            [zero, self.number(p)],
            [self.number(p), zero],
            [self.number(p, lead=rng.randrange(1, 10**5)), self.number(p)],
            [self.number(p, lead=rng.randrange(1, 10**5)), 0],
            [self.number(p, used=rng.randrange(1, 6)), self.number(p)],
            [self.number(p, used=rng.randrange(1, p + 5)), self.number(p, used=rng.randrange(1, p + 5))],
            [self.number(p), self.number(rng.randrange(1, 304))],
            [self.number(rng.randrange(1, 304)), self.number(p)],
        ]
        return [(name, p, pair) for name in PRODUCTS for pair in pairs]

    def quotients(self, p):
        rng = self.rng
        nines = record(p, 1, 0, [float(LIMB - 1)] * (p + 4))
        x = self.number(p)
        out = []
        for name in ("Div_XL", "Div2_XL"):
            out += [(name, p, [self.number(p), self.number(p)]),
                    (name, p, [self.number(p), nines]),
                    (name, p, [x, 0]),
                    (name, p, [self.number(p), self.number(rng.randrange(1, 304))])]
        # Remainders of quotients of up to a few limbs, and least common multiples of integers.
        out.append(("Mod_XL", p, [self.number(p, exponent_range=0), self.number(p, exponent_range=0)]))
        big = record(p, 1, 30, self.limbs(p + 4))
        out.append(("Mod_XL", p, [big, self.number(p, exponent_range=0, used=2)]))
        for _ in range(2):
            size = rng.randrange(1, 4)
            a = record(p, 1, 10 * (size - 1), self.limbs(size))
            b = record(p, rng.choice((-1, 1)), 0, [float(rng.randrange(1, 10**6))])
            out.append(("LCM_XL", p, [a, b]))
        return out

    def powers(self, p):
        rng = self.rng
        positive = record(p, 1, 10 * rng.randrange(-5, 6), self.limbs(p + 4))
        return [("Sqr_XL", p, [positive]),
                ("Power_XL", p, [self.number(p, exponent_range=2), float(rng.choice((2, 3, 7, 13, -3, 30)))]),
                ("Power_XL", p, [self.number(p, exponent_range=2), 2.0]),
                ("Root_XL", p, [positive, float(rng.choice((2, 3, 5, -2)))])]

    def dear(self, p):
        rng = self.rng
        out = [("Pai_XL", p, [p])]
        for name in DEAR:
            out.append((name, p, [record(p, 1, 0, self.limbs(p + 4, lead=rng.randrange(1, 3)))]))
        out.append(("PowerX_XL", p, [record(p, 1, 0, self.limbs(p + 4, lead=2)),
                                     record(p, 1, -10, self.limbs(p + 4))]))
        return out


    def series(self, p):
        """Each series export on short and full-length arguments of several sizes within its
        domain: (decimal exponent, leading limb's range) per size."""
        rng = self.rng
        tiny = [(-30, LIMB), (-20, LIMB)]
        small = [(-10, LIMB)]
        near_one = [(0, 3)]
        large = [(10, LIMB), (30, LIMB)]
        sizes = {
            "Sin_XL": tiny + small + near_one + [(0, 100), (10, LIMB)],
            "Cos_XL": tiny + small + near_one + [(0, 100), (10, LIMB)],
            "Tan_XL": tiny + small + near_one + [(0, 100), (10, LIMB)],
            "Atn_XL": small + near_one + large,
            "Asn_XL": small + [(-10, LIMB // 2)],
            "Acs_XL": small + [(-10, LIMB // 2)],
            "Loge_XL": small + near_one + large,
            "Log10_XL": small + near_one + large,
            "Sinh_XL": tiny,
            "Cosh_XL": tiny,
            "Tanh_XL": tiny,
            "Asinh_XL": tiny,
            "Atanh_XL": tiny,
        }
        out = []
        for name, ranges in sizes.items():
            for exponent, top in ranges:
                for used in (rng.randrange(1, 3), p + 4):
                    lead = rng.randrange(1, top)
                    sign = 1 if name in ("Loge_XL", "Log10_XL") else rng.choice((-1, 1))
                    out.append((name, p, [record(p, sign, exponent, self.limbs(min(used, p + 4), lead))]))
        return out


def series_calls(seed):
    c = Cases(seed)
    out = []
    for p in list(range(1, 304, 5)) + [303]:
        out += c.series(p)
    return out


def calls(quick, seed, series=False):
    if series:
        return series_calls(seed)
    c = Cases(seed)
    out = []
    precisions = range(1, 304, 7) if quick else range(1, 304)
    for p in precisions:
        out += c.products(p) + c.quotients(p) + c.powers(p)
    for p in (1, 2, 5, 13, 30, 61, 100, 200, 303):
        out += c.dear(p)
    return out


def main():
    quick = "--quick" in sys.argv
    series = "--series" in sys.argv
    seed = 20261210
    if "--seed" in sys.argv:
        seed = int(sys.argv[sys.argv.index("--seed") + 1])
    options = (["--quick"] if quick else []) + (["--series"] if series else []) + ["--seed", str(seed)]
    if sys.argv[1:2] == ["--run"]:  # one library's calls, in a process of its own
        run_calls(sys.argv[2], calls(quick, seed, series), ("up",), sys.argv[3])
        return 0
    # The two libraries: the arguments that are neither an option nor the seed's value (a
    # versioned name such as libOstrel2.so.1 is as good as libOstrel2.so).
    rest = sys.argv[1:]
    if "--seed" in rest:
        del rest[rest.index("--seed"):rest.index("--seed") + 2]
    args = [a for a in rest if not a.startswith("--")]
    if len(args) != 2:
        print(__doc__)
        return 2
    return compare_libraries(__file__, args, options, ("up",))


if __name__ == "__main__":
    sys.exit(main())
