#!/usr/bin/env bash
# run_calc_tests.sh -- the Calc extension in a real headless LibreOffice Calc.
#
#   bash tests/calc/run_calc_tests.sh <build folder>
#
# Installs <build>/ostrel2.oxt with `unopkg add --shared` into a private LibreOffice profile and
# a private folder of shared extensions (nothing outside <build>/calc-test is written), lets Calc
# compute the sheet of tests/calc/cases.tsv and random formulas and compares every cell with its
# expected text or value (checked against exact rational arithmetic or MPFR), checks the function
# wizard's names and descriptions, renders the picture of docs/calc.md to
# <build>/calc-test/calc-sheet.png, and removes the extension again, also when a step fails.
# Needs LibreOffice Calc, python3-uno, python3-gmpy2 and poppler-utils (pdftoppm).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:?usage: run_calc_tests.sh <build folder>}" && pwd)
extension=$build/ostrel2.oxt
work=$build/calc-test
# Debian's Python, which has the uno module of LibreOffice and gmpy2.
python=/usr/bin/python3
[[ -x $python ]] || python=$(command -v python3)

[[ -f $extension ]] || { echo "run_calc_tests.sh: $extension is missing (cmake --build $build --target ostrel2_calc)" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
office=("-env:UserInstallation=file://$work/profile" "-env:UNO_SHARED_PACKAGES_CACHE=file://$work/shared")
soffice_options=()
for option in "${office[@]}"; do soffice_options+=("--soffice-option=$option"); done

# The extension and the library the module would otherwise be pointed at: soffice must use the
# libraries inside the extension.
unset OSTREL2_LIBRARY_DIR

remove_extension() {
  unopkg remove --shared "${office[@]}" org.ostrel2.calc </dev/null >/dev/null 2>&1 || true
}
trap remove_extension EXIT

echo "calc: unopkg add --shared $extension"
unopkg add --shared "${office[@]}" "$extension" </dev/null

status=0
echo "calc: the sheet tests/calc/cases.tsv"
"$python" "$here/check_sheet.py" "${soffice_options[@]}" --work "$work/sheet" </dev/null || status=1
echo "calc: the function wizard's names and descriptions"
"$python" "$here/check_descriptions.py" "${soffice_options[@]}" </dev/null || status=1
echo "calc: the picture of docs/calc.md"
"$python" "$here/render_picture.py" "${soffice_options[@]}" --work "$work/picture" \
  --output "$work/calc-sheet.png" </dev/null || status=1

echo "calc: unopkg remove --shared org.ostrel2.calc"
unopkg remove --shared "${office[@]}" org.ostrel2.calc </dev/null
trap - EXIT
exit $status
