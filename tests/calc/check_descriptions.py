"""check_descriptions.py -- the function wizard's view of the installed extension: every OSTREL2
function with its description, and its arguments in order, each with its name and description.

    python3 check_descriptions.py --soffice-option=-env:... [--soffice soffice]

Reads Calc's function descriptions (com.sun.star.sheet.FunctionDescriptions) from a headless
soffice through UNO and compares the OSTREL2 ones with the extension's table of functions.
"""
import argparse
import sys
from pathlib import Path

from office import Office

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "bindings" / "calc" / "pythonpath"))
from ostrel2_calc import functions as table  # noqa: E402


def wizard_entries(office):
    """{display name: (description, [(argument name, description)])} of the OSTREL2 functions."""
    descriptions = office.service("com.sun.star.sheet.FunctionDescriptions")
    found = {}
    for index in range(descriptions.getCount()):
        entry = {p.Name: p.Value for p in descriptions.getByIndex(index)}
        if entry["Name"].startswith("OSTREL2"):
            found[entry["Name"]] = (entry["Description"],
                                    [(a.Name, a.Description) for a in entry["Arguments"]])
    return found


def faults_of(found):
    """One line per function of the table that the wizard shows otherwise, and per OSTREL2
    function the wizard shows that the table lacks."""
    faults = []
    for function in table.FUNCTIONS:
        entry = found.pop(function.name, None)
        if entry is None:
            faults.append(f"{function.name}: not in the function wizard")
        elif entry != (function.description, list(function.arguments)):
            faults.append(f"{function.name}: the wizard shows {entry!r}")
    return faults + [f"{name}: in the wizard, not in the extension's table" for name in found]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--soffice", default="soffice")
    parser.add_argument("--soffice-option", action="append", default=[])
    options = parser.parse_args()

    with Office(options.soffice, options.soffice_option) as office:
        found = wizard_entries(office)
    faults = faults_of(found)
    for fault in faults:
        print(f"wizard: {fault}")
    passed = sum(1 for f in table.FUNCTIONS if not any(x.startswith(f.name + ":") for x in faults))
    print(f"wizard: {passed} passed, {len(faults)} failed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
