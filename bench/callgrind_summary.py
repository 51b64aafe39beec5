#!/usr/bin/env python3
"""callgrind_summary.py -- what a callgrind run of an export's calls says, for the report.

Usage:
  callgrind_summary.py own FILE
      "TOTAL INSIDE OWN": the instructions recorded, those inside MultiplLong (inclusive), and the
      own work (outside the transform products over inside them, in %, or "-" without products)
  callgrind_summary.py calls FILE CALLS NAME...
      a markdown list: how often each function whose name contains NAME followed by "(" was
      called per call of the export (summed over all callers; calls made while collection was on)
  callgrind_summary.py self FILE [SHARE]
      a markdown table of the functions with at least SHARE % (default 1) of the instructions
      (self), their names without return type, parameters and anonymous namespaces

FILE comes from `valgrind --tool=callgrind --toggle-collect=EXPORT`, so only the instructions and
calls inside the export are recorded. The calls come from the raw file; the instructions from
callgrind_annotate.
"""
import re
import subprocess
import sys


def annotate(path, inclusive):
    """(total, [(instructions, function name)]) from callgrind_annotate."""
    args = ["callgrind_annotate", "--auto=no", "--threshold=100", path]
    if inclusive:
        args.insert(2, "--inclusive=yes")
    text = subprocess.run(args, capture_output=True, text=True, check=True).stdout
    total = 0
    rows = []
    line_pattern = re.compile(r"^\s*([\d,]+)\s+\(\s*[\d.]+%\)\s+(.*)$")
    for line in text.splitlines():
        match = line_pattern.match(line)
        if not match:
            continue
        count = int(match.group(1).replace(",", ""))
        name = match.group(2)
        if name == "PROGRAM TOTALS":
            total = count
            continue
        name = re.sub(r"\s*\[[^\]]*\]$", "", name)  # the object file
        name = re.sub(r"^[^\s:]*:(?!:)", "", name)  # the source file
        rows.append((count, name))
    return total, rows


def short_name(name):
    """The function's name without its parameter list, clone suffix and return type."""
    name = re.sub(r" \[clone [^\]]*\]", "", name)
    if name.endswith(")"):
        depth = 0
        for i in range(len(name) - 1, -1, -1):
            depth += {")": 1, "(": -1}.get(name[i], 0)
            if depth == 0:
                name = name[:i]
                break
    depth = 0
    start = 0
    for i, c in enumerate(name):  # a return type before the name ends at a space at depth 0
        depth += {"<": 1, ">": -1, "(": 1, ")": -1}.get(c, 0)
        if c == " " and depth == 0:
            start = i + 1
    return name[start:].replace("(anonymous namespace)::", "")


def own(path):
    total, rows = annotate(path, inclusive=True)
    inside = max((count for count, name in rows if "ostrel2::MultiplLong(" in name), default=0)
    share = "-" if inside == 0 else f"{100 * (total - inside) / inside:.1f} %"
    print(total, inside, share)


def calls(path, per, wanted):
    names = {}
    totals = {name: 0 for name in wanted}
    callee = None
    definition = re.compile(r"^c?fn=\((\d+)\)(?: (.*))?$")
    with open(path, errors="replace") as f:
        for line in f:
            match = definition.match(line.rstrip("\n"))
            if match:
                ident, name = match.groups()
                if name is not None:
                    names[ident] = name
                callee = names.get(ident, "") if line.startswith("cfn=") else None
                continue
            if line.startswith("calls=") and callee is not None:
                count = int(line[6:].split()[0])
                for name in totals:
                    if name + "(" in callee:
                        totals[name] += count
                callee = None
    for name, count in totals.items():
        print(f"- `{name}`: {count / per:,.2f}")


def self_table(path, least):
    total, rows = annotate(path, inclusive=False)
    print("| function | share |")
    print("|---|---:|")
    for count, name in rows:
        if total and 100 * count / total >= least:
            print(f"| `{short_name(name)}` | {100 * count / total:.1f} % |")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    command, path = sys.argv[1], sys.argv[2]
    if command == "own":
        own(path)
    elif command == "calls" and len(sys.argv) >= 5:
        calls(path, int(sys.argv[3]), sys.argv[4:])
    elif command == "self":
        self_table(path, float(sys.argv[3]) if len(sys.argv) > 3 else 1.0)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
