#!/usr/bin/env python3
"""check_declarations.py -- the files written by hand for their readers against the export table.

  check_declarations.py TABLE --header include/ostrel2.h
  check_declarations.py TABLE --module bindings/Ostrel2.bas
  check_declarations.py TABLE --readme README.md

The public header must declare every export of api/export_table.h and nothing else, in
ordinal order, each under a comment that names its ordinal, with the parameters of its kind. The
macro module must declare the same exports in both of its branches (#If VBA7 and #Else) with
Lib "Ostrel2.dll" and the arguments of the kind (records ByRef As LongNumber, int ByVal As Long,
double ByVal As Double), returning Long (Version_XL) or the record's address (LongPtr under VBA7,
Long before), and its Type LongNumber must have the record's fields in order. The README's
function table must list all 33 exports once, in ordinal order, with the table's ordinals and the
arguments of their kinds.
"""
import argparse
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import export_table  # noqa: E402


def ordinals_named(comment):
    """The ordinals a comment such as "Ordinals 2 to 5: ..." or "Ordinals 17, 18 and 19" names."""
    m = re.search(r"Ordinals?\s+([0-9 ,]+(?:(?:to|and)\s+[0-9 ,]+)*)", comment)
    if not m:
        return set()
    tokens = re.findall(r"\d+|to", m.group(1))
    named, k = set(), 0
    while k < len(tokens):
        if k + 2 < len(tokens) and tokens[k + 1] == "to":
            named.update(range(int(tokens[k]), int(tokens[k + 2]) + 1))
            k += 3
        else:
            if tokens[k] != "to":
                named.add(int(tokens[k]))
            k += 1
    return named


def check_header(rows, text):
    problems = []
    by_name = {r.name: r for r in rows}
    declared = []
    comment_ordinals = set()
    pattern = re.compile(r"/\*.*?\*/|OSTREL2_API\s+(\w+\s*\*?)\s*OSTREL2_CALL\s+(\w+)\s*\(([^)]*)\)\s*;", re.S)
    for m in pattern.finditer(text):
        if m.group(0).startswith("/*"):
            if "Ordinal" in m.group(0):
                comment_ordinals = ordinals_named(m.group(0))
            continue
        ret, name, params = m.group(1).replace(" ", ""), m.group(2), " ".join(m.group(3).split())
        declared.append(name)
        row = by_name.get(name)
        if row is None:
            problems.append(f"{name} is declared but is not a row of the export table")
            continue
        if row.ordinal not in comment_ordinals:
            problems.append(f"{name}: the comment above it does not name its ordinal {row.ordinal}")
        want_ret = "int32_t" if row.kind == "Version" else "LongNumber*"
        want = ["LongNumber* result"] if row.kind != "Version" else []
        want += [f"{t} {n}" for t, n in export_table.PARAMETERS[row.kind]]
        want_params = ", ".join(want) if want else "void"
        if ret != want_ret or params != want_params:
            problems.append(f"{name}: declared {ret} ({params}), its kind {row.kind} wants {want_ret} ({want_params})")
    code = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    for name in sorted(set(re.findall(r"\b(\w+_XL)\s*\(", code)) - set(declared)):
        problems.append(f"{name} is declared without OSTREL2_API ... OSTREL2_CALL")
    for row in rows:
        if row.name not in declared:
            problems.append(f"{row.name} is in the export table but not declared")
    order = [by_name[n].ordinal for n in declared if n in by_name]
    if order != sorted(order):
        problems.append(f"declarations are not in ordinal order: {', '.join(declared)}")
    return problems


VBA = {"LongNumber*": ("ByRef", "LongNumber"), "const LongNumber*": ("ByRef", "LongNumber"),
       "int32_t": ("ByVal", "Long"), "double": ("ByVal", "Double")}
DECLARE = re.compile(r'Public Declare (PtrSafe )?Function (\w+) Lib "([^"]+)" \(([^)]*)\) As (\w+)$')


def check_module(rows, text):
    problems = []
    by_name = {r.name: r for r in rows}
    branches, current = {"VBA7": [], "older": []}, None
    for line in text.replace("\r\n", "\n").split("\n"):
        s = line.strip()
        if s.startswith("#If VBA7"):
            current = "VBA7"
        elif s.startswith("#Else"):
            current = "older"
        elif s.startswith("#End If"):
            current = None
        elif s.startswith("Public Declare") or s.startswith("Declare"):
            if current is None:
                problems.append(f"a Declare outside the #If VBA7 branches: {s}")
            else:
                branches[current].append(s)
    for branch, declares in branches.items():
        seen = []
        for d in declares:
            m = DECLARE.match(d)
            if not m:
                problems.append(f"{branch}: cannot read: {d}")
                continue
            ptrsafe, name, lib, params, ret = m.groups()
            seen.append(name)
            row = by_name.get(name)
            if lib != "Ostrel2.dll":
                problems.append(f"{branch} {name}: Lib {lib}")
            if bool(ptrsafe) != (branch == "VBA7"):
                problems.append(f"{branch} {name}: PtrSafe {'missing' if branch == 'VBA7' else 'not allowed'}")
            if row is None:
                problems.append(f"{branch} {name}: not a row of the export table")
                continue
            want_ret = "Long" if row.kind == "Version" else ("LongPtr" if branch == "VBA7" else "Long")
            if ret != want_ret:
                problems.append(f"{branch} {name}: returns {ret}, want {want_ret}")
            got = [a.strip() for a in params.split(",")] if params.strip() else []
            want = ["ByRef result As LongNumber"] if row.kind != "Version" else []
            want += [f"{VBA[t][0]} {n} As {VBA[t][1]}" for t, n in export_table.PARAMETERS[row.kind]]
            if got != want:
                problems.append(f"{branch} {name}: arguments ({', '.join(got)}), its kind {row.kind} wants ({', '.join(want)})")
        for row in rows:
            if row.name not in seen:
                problems.append(f"{branch}: no Declare of {row.name}, which is in the export table")
        order = [by_name[n].ordinal for n in seen if n in by_name]
        if order != sorted(order):
            problems.append(f"{branch}: Declares are not in ordinal order")
    fields = re.search(r"Public Type LongNumber\s*(.*?)End Type", text, flags=re.S)
    got_fields = [" ".join(l.split()) for l in fields.group(1).splitlines() if l.strip()] if fields else []
    want_fields = ["sign As Long", "exponent As Long", "precision As Long", "error As Long",
                   "limbs(0 To 305) As Double"]
    if got_fields != want_fields:
        problems.append(f"Type LongNumber is {got_fields}, want {want_fields}")
    return problems


def check_readme(rows, text):
    problems = []
    by_name = {r.name: r for r in rows}
    section = re.search(r"^## The functions\n(.*?)(?=^## )", text, flags=re.S | re.M)
    if not section:
        return ["no section \"## The functions\""]
    listed = []
    for line in section.group(1).splitlines():
        if not line.startswith("|") or re.match(r"^\|[-| ]+\|$", line) or line.startswith("| Function"):
            continue
        cells = [c.strip() for c in re.split(r"(?<!\\)\|", line)[1:-1]]
        if len(cells) != 4:
            problems.append(f"a row of the function table without four cells: {line}")
            continue
        names = re.findall(r"`(\w+_XL)`", cells[0])
        ordinals = [int(o) for o in re.findall(r"\d+", cells[1])]
        if len(names) != len(ordinals):
            problems.append(f"{', '.join(names)}: {len(names)} names and {len(ordinals)} ordinals")
        for name, ordinal in zip(names, ordinals):
            row = by_name.get(name)
            listed.append(name)
            if row is None:
                problems.append(f"{name} is in the function table but not a row of the export table")
                continue
            if row.ordinal != ordinal:
                problems.append(f"{name}: ordinal {ordinal}, the export table says {row.ordinal}")
            if cells[2] != export_table.README_ARGUMENTS[row.kind]:
                problems.append(f"{name}: arguments \"{cells[2]}\", its kind {row.kind} wants "
                                f"\"{export_table.README_ARGUMENTS[row.kind]}\"")
    for row in rows:
        if listed.count(row.name) != 1:
            problems.append(f"{row.name} is listed {listed.count(row.name)} times in the function table")
    order = [by_name[n].ordinal for n in listed if n in by_name]
    if order != sorted(order):
        problems.append("the function table is not in ordinal order")
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("table")
    ap.add_argument("--header")
    ap.add_argument("--module")
    ap.add_argument("--readme")
    args = ap.parse_args()
    rows = export_table.read(args.table)
    problems = []
    for path, check in ((args.header, check_header), (args.module, check_module), (args.readme, check_readme)):
        if path:
            problems += [f"{path}: {p}" for p in check(rows, Path(path).read_text(encoding="utf-8"))]
    for p in problems:
        print("FAIL:", p)
    print(f"{len(rows)} exports in the table; {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
