#!/usr/bin/env python3
"""check_declares.py -- the macro module's Declare statements against the public header.

Every export the header declares must be declared in both branches of the module (#If VBA7 and
#Else) with the same name, Lib "Ostrel2.dll", an argument list that matches the C parameters
(LongNumber* -> ByRef As LongNumber, int32_t -> ByVal As Long, double -> ByVal As Double) and a
return of Long (Version_XL) or the record address (LongPtr under VBA7, Long before). The
module's Type LongNumber must have the header's fields in the header's order.
"""
import re
import sys
from pathlib import Path

C_TO_VBA = {"LongNumber*": ("ByRef", "LongNumber"), "int32_t": ("ByVal", "Long"), "double": ("ByVal", "Double")}


def header_exports(text):
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    out = {}
    for m in re.finditer(r"OSTREL2_API\s+(\w+\s*\*?)\s*OSTREL2_CALL\s+(\w+)\s*\(([^)]*)\)\s*;", text):
        ret, name, params = m.group(1).replace(" ", ""), m.group(2), m.group(3).strip()
        args = []
        if params != "void":
            for p in params.split(","):
                p = re.sub(r"\bconst\b", "", p).strip()
                m2 = re.match(r"(\w+)\s*(\*?)\s*(\w+)$", p)
                args.append((m2.group(1) + m2.group(2), m2.group(3)))
        out[name] = (ret, args)
    return out


def module_branches(text):
    lines = text.replace("\r\n", "\n").split("\n")
    branches, current = {"VBA7": [], "older": []}, None
    for line in lines:
        s = line.strip()
        if s.startswith("#If VBA7"):
            current = "VBA7"
        elif s.startswith("#Else"):
            current = "older"
        elif s.startswith("#End If"):
            current = None
        elif current and s.startswith("Public Declare"):
            branches[current].append(s)
    return branches


DECLARE = re.compile(r'Public Declare (PtrSafe )?Function (\w+) Lib "([^"]+)" \(([^)]*)\) As (\w+)$')


def main(header_path, module_path):
    exports = header_exports(Path(header_path).read_text())
    module = Path(module_path).read_text()
    problems = []
    if not exports:
        problems.append("no exports found in the header")
    for branch, declares in module_branches(module).items():
        seen = {}
        for d in declares:
            m = DECLARE.match(d)
            if not m:
                problems.append(f"{branch}: cannot read: {d}")
                continue
            ptrsafe, name, lib, params, ret = m.groups()
            seen[name] = True
            if lib != "Ostrel2.dll":
                problems.append(f"{branch} {name}: Lib {lib}")
            if bool(ptrsafe) != (branch == "VBA7"):
                problems.append(f"{branch} {name}: PtrSafe {'missing' if branch == 'VBA7' else 'not allowed'}")
            if name not in exports:
                problems.append(f"{branch} {name}: not an export of the header")
                continue
            cret, cargs = exports[name]
            want_ret = "Long" if cret == "int32_t" else ("LongPtr" if branch == "VBA7" else "Long")
            if ret != want_ret:
                problems.append(f"{branch} {name}: returns {ret}, want {want_ret}")
            got = [a.strip() for a in params.split(",")] if params.strip() else []
            want = [f"{C_TO_VBA[t][0]} {n} As {C_TO_VBA[t][1]}" for t, n in cargs]
            if got != want:
                problems.append(f"{branch} {name}: arguments ({', '.join(got)}), want ({', '.join(want)})")
        for name in exports:
            if name not in seen:
                problems.append(f"{branch}: no Declare of {name}")
    fields = re.search(r"Public Type LongNumber\s*(.*?)End Type", module, flags=re.S)
    got_fields = [" ".join(l.split()) for l in fields.group(1).splitlines() if l.strip()] if fields else []
    want_fields = ["sign As Long", "exponent As Long", "precision As Long", "error As Long",
                   "limbs(0 To 305) As Double"]
    if got_fields != want_fields:
        problems.append(f"Type LongNumber is {got_fields}, want {want_fields}")
    for p in problems:
        print("FAIL:", p)
    print(f"{len(exports)} exports declared in the header; {len(problems)} problems")
    print(f"{1 if not problems else 0} passed, {1 if problems else 0} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
