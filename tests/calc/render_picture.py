"""render_picture.py -- the picture of docs/calc.md: a sheet computing with the OSTREL2 functions,
rendered by a headless Calc to PDF and then to PNG.

    python3 render_picture.py --soffice-option=-env:... --work DIR --output calc-sheet.png

Column A shows each formula of column B as text (FORMULA), column B computes it. The sheet is
imported from tab-separated text with formula evaluation on, its columns set to their optimal
widths, exported as one PDF page the size of the sheet and turned into PNG by pdftoppm (Debian:
poppler-utils).
"""
import argparse
import subprocess
import sys
from pathlib import Path

import uno

from office import Office, properties

IMPORT_OPTIONS = "9,34,76,1,,1033,true,true,false,false,false,-1,true"
FORMULAS = (
    "=OSTREL2DIV(1;7;60)",
    "=OSTREL2SQRT(2;50)",
    "=OSTREL2MUL(B3;B3;40)",
    "=OSTREL2PI(60)",
    "=OSTREL2EXP(1;50)",
    '=OSTREL2SIN("1e19")',
    "=OSTREL2FACTORIAL(100)",
    "=OSTREL2GCD(1071;462)",
    "=OSTREL2GCD(1071;462;;1)",
    "=OSTREL2DIV(1;0)",
    '=IFERROR(OSTREL2LN(-1);"no logarithm")',
)
RESOLUTION = 96  # pixels per inch of the PNG
WIDTH_ALLOWANCE = 1.15


def sheet_text():
    rows = ['"Formula"\t"Result"']
    rows += [f"=FORMULA(B{row})\t{formula}" for row, formula in enumerate(FORMULAS, 2)]
    return "\n".join(rows) + "\n"


def render_pdf(office, source, pdf):
    desktop = office.service("com.sun.star.frame.Desktop")
    document = desktop.loadComponentFromURL(
        uno.systemPathToFileUrl(str(source.resolve())), "_blank", 0,
        properties(FilterName="Text - txt - csv (StarCalc)", FilterOptions=IMPORT_OPTIONS,
                   Hidden=True))
    try:
        sheet = document.Sheets.getByIndex(0)
        document.calculateAll()  # before the widths, which follow the results
        sheet.getCellRangeByName("A1:B1").CharWeight = 150.0  # bold headings
        for column in range(2):
            widths = sheet.Columns.getByIndex(column)
            widths.OptimalWidth = True
            # Headless Calc measures text a little narrower than the PDF draws it.
            widths.Width = int(widths.Width * WIDTH_ALLOWANCE)
        single_page = uno.Any("[]com.sun.star.beans.PropertyValue",
                              properties(SinglePageSheets=True))
        uno.invoke(document, "storeToURL", (
            uno.systemPathToFileUrl(str(pdf.resolve())),
            uno.Any("[]com.sun.star.beans.PropertyValue",
                    properties(FilterName="calc_pdf_Export", FilterData=single_page))))
    finally:
        document.close(True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--soffice", default="soffice")
    parser.add_argument("--soffice-option", action="append", default=[])
    parser.add_argument("--work", type=Path, required=True)
    parser.add_argument("--output", type=Path, required=True)
    options = parser.parse_args()

    options.work.mkdir(parents=True, exist_ok=True)
    source = options.work / "picture.tsv"
    source.write_text(sheet_text(), encoding="utf-8")
    pdf = options.work / "picture.pdf"
    with Office(options.soffice, options.soffice_option) as office:
        render_pdf(office, source, pdf)
    subprocess.run(["pdftoppm", "-png", "-r", str(RESOLUTION), "-singlefile", str(pdf),
                    str(options.output.with_suffix(""))], check=True)
    print(f"picture: {options.output} ({options.output.stat().st_size:,} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
