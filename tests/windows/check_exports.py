#!/usr/bin/env python3
"""check_exports.py -- compares a built Ostrel2.dll's export directory with the export table.

The module-definition file says which exports have landed. Each must be exported by its plain
name at its table ordinal, nothing else of the library may be exported, and on 32-bit Windows
the standard-call byte count of each function (from the decorated name in the object file, e.g.
_Add_XL@12) must equal the number of bytes the table says the function removes from the stack.
"""
import argparse
import re
import subprocess
import sys
from pathlib import Path

# ordinal, name, bytes removed from the stack on 32-bit Windows
TABLE = {
    "Version_XL": (1, 0), "Abs_XL": (2, 8), "Fix_XL": (3, 8), "Round_XL": (4, 8), "Mod_XL": (5, 12),
    "Add_XL": (6, 12), "Subtract_XL": (7, 12), "Multipl2_XL": (8, 12), "Multipl_XL": (9, 12),
    "Div2_XL": (10, 12), "Div_XL": (11, 12), "Sqr_XL": (12, 8), "Power_XL": (13, 16),
    "PowerX_XL": (14, 12), "Root_XL": (15, 16), "Pai_XL": (16, 8), "Cos_XL": (17, 8),
    "Sin_XL": (18, 8), "Tan_XL": (19, 8), "Asn_XL": (20, 8), "Acs_XL": (21, 8), "Atn_XL": (22, 8),
    "Exp_XL": (23, 8), "Loge_XL": (24, 8), "Log10_XL": (25, 8), "Sinh_XL": (26, 8),
    "Cosh_XL": (27, 8), "Tanh_XL": (28, 8), "Asinh_XL": (29, 8), "Acosh_XL": (30, 8),
    "Atanh_XL": (31, 8), "Factorial_XL": (32, 12), "LCM_XL": (33, 12),
}


def landed(def_file):
    """Name -> ordinal for every export line of the module-definition file."""
    out = {}
    for line in Path(def_file).read_text().splitlines():
        m = re.match(r"\s*([A-Za-z0-9_]+)\s+@(\d+)", line)
        if m:
            out[m.group(1)] = int(m.group(2))
    return out


def dll_exports(objdump, dll):
    """Name -> ordinal from the export name table that objdump -p prints."""
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    section = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(section) != 2:
        return {}, text
    out = {}
    for line in section[1].splitlines():
        m = re.match(r"\s*\[\s*(\d+)\]\s+(\S+)\s*$", line)
        if m:
            out[m.group(2)] = int(m.group(1))
        elif out and line.strip() == "":
            break
    return out, text


def ordinal_base(text):
    m = re.search(r"Ordinal Base\s+(\d+)", text)
    return int(m.group(1)) if m else 1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--arch", required=True, choices=["i686", "x86_64"])
    ap.add_argument("--def", dest="def_file", required=True)
    ap.add_argument("--dll", required=True)
    ap.add_argument("--object", help="object file of the entry points (32-bit byte counts)")
    args = ap.parse_args()
    prefix = f"{args.arch}-w64-mingw32-"
    problems = []

    wanted = landed(args.def_file)
    for name, ordinal in wanted.items():
        if name not in TABLE:
            problems.append(f"{name} in the module-definition file is not an export of the library")
        elif TABLE[name][0] != ordinal:
            problems.append(f"{name}: module-definition ordinal {ordinal}, table ordinal {TABLE[name][0]}")

    exported, text = dll_exports(prefix + "objdump", args.dll)
    # objdump lists name-table entries by ordinal minus the base on some versions; undo that.
    base = ordinal_base(text)
    if exported and min(exported.values()) == 0:
        exported = {name: value + base for name, value in exported.items()}
    for name, ordinal in wanted.items():
        if name not in exported:
            problems.append(f"{name} is not exported")
        elif exported[name] != ordinal:
            problems.append(f"{name} is exported at ordinal {exported[name]}, not {ordinal}")
    extra = sorted(set(exported) - set(wanted))
    for name in extra:
        problems.append(f"{name} is exported but is not a landed export")
    for name in exported:
        if "@" in name:
            problems.append(f"{name} carries a decoration")

    if args.arch == "i686":
        if not args.object:
            problems.append("no object file given for the 32-bit byte counts")
        else:
            nm = subprocess.run([prefix + "nm", args.object], check=True, capture_output=True, text=True).stdout
            decorated = {}
            for line in nm.splitlines():
                m = re.match(r"[0-9a-fA-F]+\s+T\s+_([A-Za-z0-9_]+_XL)@(\d+)$", line.strip())
                if m:
                    decorated[m.group(1)] = int(m.group(2))
            for name in wanted:
                if name not in TABLE:
                    continue
                if name not in decorated:
                    problems.append(f"{name}: no standard-call symbol _{name}@N in {args.object}")
                elif decorated[name] != TABLE[name][1]:
                    problems.append(f"{name}: removes {decorated[name]} bytes, the table says {TABLE[name][1]}")

    print(f"{args.arch}: {len(exported)} names exported, {len(wanted)} landed; "
          f"export directory: {', '.join(f'{n}@{o}' for n, o in sorted(exported.items(), key=lambda i: i[1]))}")
    for p in problems:
        print(f"FAIL ({args.arch}): {p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
