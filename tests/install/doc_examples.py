#!/usr/bin/env python3
"""doc_examples.py -- runs the C examples of documentation pages verbatim against an installed copy.

usage: doc_examples.py PREFIX WORK PAGE.md...

In each page, a ```c block whose first line is a comment naming its file ("/* demo.c -- ...")
is written to WORK under that name; each ```sh block is then run there with bash, and its
standard output must equal the ```text block that follows it. HOME is a folder of WORK whose
.ostrel2 is PREFIX. A block that names $HOME/.ostrel2 runs as the user who installed there would
follow it, with nothing set beforehand (and no LD_LIBRARY_PATH: such a block's program must find
its libraries by itself); the others run with PKG_CONFIG_PATH and LD_LIBRARY_PATH pointing at
PREFIX, as they are for a user whose copy is installed where the system looks.
"""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

FENCE = re.compile(r"^```(\w*)\n(.*?)^```$", re.S | re.M)
FILE_NAME = re.compile(r"/\*\s*([\w.-]+\.c)\s+--")


def blocks(page):
    return [(m.group(1), m.group(2)) for m in FENCE.finditer(page.read_text(encoding="utf-8"))]


def main():
    prefix, work, pages = Path(sys.argv[1]), Path(sys.argv[2]), [Path(p) for p in sys.argv[3:]]
    libdir = next(prefix.rglob("libOstrel2.so.*")).parent
    home = work / "home"
    shutil.rmtree(home, ignore_errors=True)
    home.mkdir(parents=True)
    (home / ".ostrel2").symlink_to(prefix.resolve(), target_is_directory=True)
    plain = {k: v for k, v in os.environ.items() if k not in ("PKG_CONFIG_PATH", "LD_LIBRARY_PATH")}
    plain["HOME"] = str(home)
    installed = dict(plain, PKG_CONFIG_PATH=str(libdir / "pkgconfig"), LD_LIBRARY_PATH=str(libdir))
    passed = failed = 0
    for page in pages:
        found = blocks(page)
        folder = work / page.stem
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for kind, body in found:
            name = FILE_NAME.match(body) if kind == "c" else None
            if name:
                (folder / name.group(1)).write_text(body, encoding="utf-8")
        runs = [(body, found[k + 1][1] if k + 1 < len(found) and found[k + 1][0] == "text" else None)
                for k, (kind, body) in enumerate(found) if kind == "sh"]
        if not runs:
            print(f"FAIL: {page}: no ```sh example to run")
            failed += 1
        for command, expected in runs:
            env = plain if "$HOME/.ostrel2" in command else installed
            done = subprocess.run(["bash", "-euo", "pipefail", "-c", command], cwd=folder, env=env,
                                  capture_output=True, text=True)
            ok = done.returncode == 0 and (expected is None or done.stdout == expected)
            passed += ok
            failed += not ok
            print(("ok" if ok else "FAIL") + f": {page.name}: {command.strip()}")
            if not ok:
                print(f"--- exit status {done.returncode}\n--- expected\n{expected}--- stdout\n"
                      f"{done.stdout}--- stderr\n{done.stderr}")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
