#!/usr/bin/env python3
"""tables.py -- the performance tables and the plot's data, from one run's files.

Reads the product counts (ostrel2_product_count --tsv), the timings of ours, MPFR and Boost
(ostrel2_peers --tsv) and of Python's decimal (peers_decimal.py), all written by one run of
bench/report.sh, and writes into OUT_DIR:

  tables.md    our times, the ratios to each peer at every precision, the peers' times at each
               precision, and the products and overhead of every argument set
  docs.md      the part of it for docs/performance.md: every table at the largest precision, the
               ratios and overheads at all
  plot.dat     time against digits for the product, the division and three dear functions
  plot.gp      the gnuplot script that draws plot.dat into performance.png
  dearest.txt  the argument set with the longest time at the largest precision, among those of
               at most 0.5 s a call (for the profile)

Ratios are ours / peer: how many times the peer's time our call takes. The overhead of a set is
its time against (its transform products x the time of Multipl_XL on random operands at the same
precision, timed in the same turns as the set): "on top" = time / (products x Multipl_XL) - 1.
The products inside reciprocal divisions are among the products; the division's own additions,
normalisations and copies are overhead like every other step that is not a product. "own time"
is the counting build's own measure (ostrel2_product_count --time): the time of a call outside
its transform products as a share of the time inside them.

Usage: tables.py COUNTS.tsv PEERS.tsv DECIMAL.tsv OUT_DIR
"""
import csv
import os
import sys
from collections import OrderedDict

# Functions the plot prefers beside the product and the division, dearest first; the first three
# whose exports are built are drawn.
PLOT_PREFERENCE = [
    "Sin_XL|1", "Exp_XL|1.5", "Loge_XL|1.5", "Atn_XL|0.9", "Cos_XL|1", "Sqr_XL|random",
    "Pai_XL|-", "Root_XL|random, n=7", "Power_XL|random, n=12345",
    # Fallbacks while none of the functions above is built.
    "Mod_XL|half integer, 7", "Div2_XL|random", "Multipl2_XL|random",
]
PLOT_ALWAYS = ["Multipl_XL|random", "Div_XL|random"]
PROFILE_LIMIT = 0.5  # seconds a call may take to be profiled (callgrind: some fifty times that)
CONTESTANTS = [("ours", "Ostrel2"), ("mpfr", "MPFR"), ("boost", "Boost cpp_dec_float")]


def read_tsv(path):
    if not os.path.exists(path):
        return []
    with open(path, newline="") as f:
        return list(csv.DictReader(f, delimiter="\t"))


def us(seconds):
    v = seconds * 1e6
    if v >= 1000:
        return f"{v:,.0f}"
    if v >= 100:
        return f"{v:.1f}"
    if v >= 10:
        return f"{v:.2f}"
    return f"{v:.3f}"


def ratio(a, b):
    if a is None or b is None or b <= 0:
        return "-"
    r = a / b
    if r >= 100:
        return f"{r:,.0f}"
    if r >= 10:
        return f"{r:.1f}"
    return f"{r:.2f}"


def table(header, rows, right_from=2):
    align = ["---" if i < right_from else "---:" for i in range(len(header))]
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join(align) + "|"]
    lines += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    counts_path, peers_path, decimal_path, out_dir = sys.argv[1:5]
    os.makedirs(out_dir, exist_ok=True)

    # times[(key, p)][contestant] = seconds
    times = {}
    keys = OrderedDict()
    precisions = []
    for row in read_tsv(peers_path) + read_tsv(decimal_path):
        key = f"{row['export']}|{row['arguments']}"
        p = int(row["p"])
        keys.setdefault(key, None)
        if p not in precisions:
            precisions.append(p)
        times.setdefault((key, p), {})[row["contestant"]] = float(row["seconds"])
    precisions.sort()
    counts = {}
    for row in read_tsv(counts_path):
        counts[(f"{row['export']}|{row['arguments']}", int(row["p"]))] = row

    def t(key, p, who):
        return times.get((key, p), {}).get(who)

    def label(key):
        name, args = key.split("|", 1)
        return [f"`{name}`", args]

    ps = [f"p={p}" for p in precisions]

    def our_times():
        return "### Our time per call (us)\n\n" + table(
            ["export", "arguments"] + ps,
            [label(k) + [us(t(k, p, "ours")) if t(k, p, "ours") else "-" for p in precisions]
             for k in keys])

    def ratios():
        out = ""
        for who, title in [("mpfr", "MPFR"), ("boost", "Boost cpp_dec_float"),
                           ("decimal", "Python decimal")]:
            rows = [label(k) + [ratio(t(k, p, "ours"), t(k, p, who)) for p in precisions]
                    for k in keys if any(t(k, p, who) for p in precisions)]
            out += f"\n### Ours / {title}: our time per time of {title}, same digits\n\n"
            out += table(["export", "arguments"] + ps, rows)
            if who == "mpfr" and any(t(k, p, "mpfr_kept") for k in keys for p in precisions):
                kept = [label(k)[:1] + ["MPFR keeps its pi"] +
                        [ratio(t(k, p, "ours"), t(k, p, "mpfr_kept")) for p in precisions]
                        for k in keys if any(t(k, p, "mpfr_kept") for p in precisions)]
                out += "\nWith MPFR's cache of pi kept between calls:\n\n"
                out += table(["export", "arguments"] + ps, kept)
        return out

    def contestants(p):
        rows = []
        for k in keys:
            ours = t(k, p, "ours")
            if ours is None:
                continue
            cells = [us(ours)]
            for who in ["mpfr", "boost", "decimal"]:
                cells.append(us(t(k, p, who)) if t(k, p, who) else "-")
            cells += [ratio(ours, t(k, p, w)) for w in ["mpfr", "boost", "decimal"]]
            rows.append(label(k) + cells)
            if t(k, p, "mpfr_kept"):
                rows.append(label(k)[:1] + ["(MPFR keeps its pi)", us(ours),
                                            us(t(k, p, "mpfr_kept")), "-", "-",
                                            ratio(ours, t(k, p, "mpfr_kept")), "-", "-"])
        return (f"\n### All contestants at p = {p} ({10 * p} decimal digits), us per call\n\n" +
                table(["export", "arguments", "ours", "MPFR", "Boost", "decimal",
                       "ours/MPFR", "ours/Boost", "ours/decimal"], rows))

    def own_share(c):
        """Own time inside the call as a share of its products' time (counting build, --time)."""
        call = float(c.get("call_seconds") or 0)
        products = float(c.get("product_seconds") or 0)
        return None if products <= 0 else (call - products) / products

    def product_time(k, p):
        """Multipl_XL's time in the turns of row k, or in its own row."""
        return t(k, p, "product") or t("Multipl_XL|random", p, "ours")

    def overhead(p):
        rows = []
        plain = []
        for k in keys:
            c = counts.get((k, p))
            ours = t(k, p, "ours")
            if c is None or ours is None:
                continue
            n = float(c["products"])
            small = f"{float(c['multipl_small']):g} / {float(c['div_small']):g}"
            rng = f"{c['fewest']}..{c['most']}" if c["fewest"] != c["most"] else c["fewest"]
            if n <= 0:
                plain.append(label(k) + [us(ours), small])
                continue
            divisions = f"{float(c['divisions']):g} ({float(c['in_divisions']):g})"
            product = product_time(k, p)
            if product:
                expected = n * product
                own = own_share(c)
                rows.append(label(k) + [f"{n:g}", rng, divisions, f"{float(c['lower']):g}", small,
                                        us(ours), us(product), us(expected),
                                        f"{ours / expected:.3f}",
                                        f"{100 * (ours / expected - 1):+.1f} %",
                                        "-" if own is None else f"{100 * own:.1f} %"])
        out = f"\n### Products and overhead at p = {p}\n\n"
        out += table(["export", "arguments", "products", "range", "divisions (their products)",
                      "lower p", "MultiplSmall / DivSmall", "time us", "Multipl_XL us",
                      "products x Multipl_XL us", "ratio", "on top", "own time"], rows)
        if plain:
            out += "\nNo transform products:\n\n"
            out += table(["export", "arguments", "time us", "MultiplSmall / DivSmall"], plain)
        return out

    def overhead_by_precision():
        rows = []
        for k in keys:
            cells = []
            for p in precisions:
                c = counts.get((k, p))
                ours = t(k, p, "ours")
                product = product_time(k, p)
                if c is None or ours is None or not product or float(c["products"]) <= 0:
                    cells.append("-")
                    continue
                n = float(c["products"])
                own = own_share(c)
                cells.append(f"{n:g}: {ours / (n * product):.3f}" +
                             ("" if own is None else f" ({100 * own:.0f} %)"))
            if any(cell != "-" for cell in cells):
                rows.append(label(k) + cells)
        return ("\n### Products per call: time / (products x Multipl_XL) (own time), every precision"
                "\n\n" +
                table(["export", "arguments"] + ps, rows))

    top = precisions[-1] if precisions else 0
    everything = [our_times(), ratios()] + [contestants(p) for p in precisions] + \
        [overhead(p) for p in precisions] + [overhead_by_precision()]
    with open(os.path.join(out_dir, "tables.md"), "w") as f:
        f.write("".join(everything))
    # The selection for docs/performance.md: the largest precision in full, ratios at all.
    with open(os.path.join(out_dir, "docs.md"), "w") as f:
        f.write("".join([our_times(), ratios(), contestants(top), overhead(top),
                         overhead_by_precision()]))

    # The plot: the product, the division and three dear functions, ours beside MPFR and Boost.
    chosen = [k for k in PLOT_ALWAYS if k in keys]
    chosen += [k for k in PLOT_PREFERENCE if k in keys][:3]
    blocks = []
    with open(os.path.join(out_dir, "plot.dat"), "w") as f:
        for k in chosen:
            for who, _ in CONTESTANTS:
                points = [(10 * p, t(k, p, who)) for p in precisions if t(k, p, who)]
                if not points:
                    continue
                f.write(f"# {k} {who}\n")
                for digits, seconds in points:
                    f.write(f"{digits} {seconds * 1e6:.6g}\n")
                f.write("\n\n")
                blocks.append((k, who))
    colours = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e"]
    dashes = {"ours": 1, "mpfr": 2, "boost": 3}
    names = dict(CONTESTANTS)
    clauses = []
    for index, (k, who) in enumerate(blocks):
        colour = colours[chosen.index(k) % len(colours)]
        name, args = k.split("|", 1)
        title = f"{name} ({args}), {names[who]}" if args not in ("-", "random") else \
            f"{name}, {names[who]}"
        clauses.append(f"'plot.dat' index {index} using 1:2 with linespoints "
                       f"lw {2 if who == 'ours' else 1.5} dt {dashes[who]} lc rgb '{colour}' "
                       f"pt {7 if who == 'ours' else 6} title \"{title}\"")
    with open(os.path.join(out_dir, "plot.gp"), "w") as f:
        f.write("set terminal pngcairo noenhanced size 1000,900 font 'DejaVu Sans,10'\n")
        f.write("set output 'performance.png'\n")
        f.write("set logscale xy\n")
        f.write("set xlabel 'decimal digits (10 p)'\nset ylabel 'CPU time per call (us)'\n")
        f.write("set title 'Time per call against precision: Ostrel2 (solid), MPFR (dashed), "
                "Boost cpp_dec_float (dotted), one run'\n")
        f.write("set key outside below left Left reverse maxcols 3 width 2\nset grid\n")
        low, high = 10 * precisions[0], 10 * precisions[-1]
        f.write(f"set xrange [{low / 1.3:g}:{high * 1.3:g}]\n")
        f.write(f"set xtics ({', '.join(str(10 * p) for p in precisions)})\n")
        f.write("plot " + ", \\\n     ".join(clauses) + "\n")

    # The dearest set at the largest precision whose call takes at most PROFILE_LIMIT seconds
    # (callgrind runs some fifty times slower), for the profile.
    candidates = [k for k in keys if t(k, top, "ours") and t(k, top, "ours") <= PROFILE_LIMIT]
    dearest = max(candidates, key=lambda k: t(k, top, "ours"), default="")
    with open(os.path.join(out_dir, "dearest.txt"), "w") as f:
        f.write(f"{dearest}\t{t(dearest, top, 'ours') or 0:.6e}\t{top}\n")


if __name__ == "__main__":
    main()
