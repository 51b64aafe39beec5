#!/usr/bin/env python3
"""check_exports.py -- compares a built Ostrel2.dll's export directory with the export table.

The built rows of api/export_table.h are the exports that have landed. Each must be exported by
its plain name at its table ordinal, nothing else of the library may be exported, and on 32-bit
Windows the standard-call byte count of each function (from the decorated name in the object
file, e.g. _Add_XL@12) must equal the number of bytes the table says the function removes from
the stack.
"""
import argparse
import re
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "exports"))
import export_table  # noqa: E402


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
    ap.add_argument("--table", required=True, help="api/export_table.h")
    ap.add_argument("--dll", required=True)
    ap.add_argument("--object", help="object file of the entry points (32-bit byte counts)")
    args = ap.parse_args()
    prefix = f"{args.arch}-w64-mingw32-"
    problems = []

    rows = export_table.read(args.table)
    wanted = {r.name: r.ordinal for r in rows}
    table_bytes = {r.name: r.bytes for r in rows}

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
                if name not in decorated:
                    problems.append(f"{name}: no standard-call symbol _{name}@N in {args.object}")
                elif decorated[name] != table_bytes[name]:
                    problems.append(f"{name}: removes {decorated[name]} bytes, the table says {table_bytes[name]}")

    print(f"{args.arch}: {len(exported)} names exported, {len(wanted)} landed; "
          f"export directory: {', '.join(f'{n}@{o}' for n, o in sorted(exported.items(), key=lambda i: i[1]))}")
    for p in problems:
        print(f"FAIL ({args.arch}): {p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
