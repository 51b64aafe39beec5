"""build_extension.py -- writes ostrel2.oxt, the LibreOffice Calc extension of Ostrel2.

    python3 build_extension.py --output ostrel2.oxt --work DIR --version 1.0.0
        --unoidl-write PATH --types TYPES.rdb OFFAPI.rdb --library libOstrel2.so.1
        --library libOstrel2Text.so.1 [--platform linux_x86_64]

From the table of cell functions (pythonpath/ostrel2_calc/functions.py) it writes the interface
in UNO IDL and compiles it to a type library with unoidl-write, the function wizard's names and
descriptions (CalcAddIns.xcu), the component registration, the manifest and the extension's
description; then it zips them with the add-in, its Python package, the ostrel2 module and the
two shared libraries. LibreOffice puts the extension's pythonpath/ folder on the search path of
its own Python, so the module and the libraries travel inside the extension. The archive is the
same bytes for the same inputs.
"""
import argparse
import subprocess
import sys
import zipfile
from pathlib import Path
from xml.sax.saxutils import escape, quoteattr

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE / "pythonpath"))
from ostrel2_calc import functions as table  # noqa: E402

MODULE = "org::ostrel2::calc"
INTERFACE = "XFunctions"
IMPLEMENTATION = "org.ostrel2.calc.Functions"
IDENTIFIER = "org.ostrel2.calc"
TYPE_LIBRARY = "ostrel2.rdb"
COMPONENTS = "ostrel2.components"
ADDIN = "ostrel2_addin.py"
CATEGORY = "Add-In"
FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def interface_idl():
    methods = []
    for f in table.FUNCTIONS:
        parameters = ", ".join(f"[in] any {name}" for name, _ in f.arguments)
        methods.append(f"        /** {f.name}: {f.description} */\n"
                       f"        string {f.method}({parameters})\n"
                       f"            raises (com::sun::star::lang::IllegalArgumentException);")
    opening = " ".join(f"module {m} {{" for m in MODULE.split("::"))
    closing = " ".join("};" for _ in MODULE.split("::"))
    return (f"// The cell functions of the Ostrel2 Calc extension (written by build_extension.py).\n"
            f"{opening}\n"
            f"    interface {INTERFACE} : com::sun::star::uno::XInterface\n    {{\n"
            + "\n".join(methods) + f"\n    }};\n{closing}\n")


def _text_property(name, text):
    return (f'<prop oor:name="{name}" oor:type="xs:string">'
            f'<value xml:lang="en-US">{escape(text)}</value></prop>')


def calc_addins_xcu():
    functions = []
    for f in table.FUNCTIONS:
        parameters = "".join(
            f'\n          <node oor:name={quoteattr(name)} oor:op="replace">'
            f'\n            {_text_property("DisplayName", name)}'
            f'\n            {_text_property("Description", description)}'
            f'\n          </node>' for name, description in f.arguments)
        functions.append(
            f'\n      <node oor:name={quoteattr(f.method)} oor:op="replace">'
            f'\n        {_text_property("DisplayName", f.name)}'
            f'\n        {_text_property("Description", f.description)}'
            f'\n        <prop oor:name="Category" oor:type="xs:string"><value>{CATEGORY}</value></prop>'
            f'\n        <node oor:name="Parameters">{parameters}\n        </node>'
            f'\n      </node>')
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<oor:component-data xmlns:oor="http://openoffice.org/2001/registry"'
            ' xmlns:xs="http://www.w3.org/2001/XMLSchema" oor:name="CalcAddIns"'
            ' oor:package="org.openoffice.Office">\n'
            '  <node oor:name="AddInInfo">\n'
            f'    <node oor:name="{IMPLEMENTATION}" oor:op="replace">\n'
            '     <node oor:name="AddInFunctions">' + "".join(functions) + '\n     </node>\n'
            '    </node>\n'
            '  </node>\n'
            '</oor:component-data>\n')


def components_xml():
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<components xmlns="http://openoffice.org/2010/uno-components">\n'
            f'  <component loader="com.sun.star.loader.Python" uri="{ADDIN}">\n'
            f'    <implementation name="{IMPLEMENTATION}">\n'
            '      <service name="com.sun.star.sheet.AddIn"/>\n'
            '    </implementation>\n'
            '  </component>\n'
            '</components>\n')


def manifest_xml():
    entries = ((TYPE_LIBRARY, "application/vnd.sun.star.uno-typelibrary;type=RDB"),
               (COMPONENTS, "application/vnd.sun.star.uno-components"),
               ("CalcAddIns.xcu", "application/vnd.sun.star.configuration-data"))
    lines = "".join(f'\n  <manifest:file-entry manifest:full-path="{path}" manifest:media-type="{kind}"/>'
                    for path, kind in entries)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<manifest:manifest xmlns:manifest="http://openoffice.org/2001/manifest">'
            f'{lines}\n</manifest:manifest>\n')


def description_xml(version, platform):
    platform_line = f'\n  <platform value="{platform}"/>' if platform else ""
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<description xmlns="http://openoffice.org/extensions/description/2006"'
            ' xmlns:xlink="http://www.w3.org/1999/xlink">\n'
            f'  <identifier value="{IDENTIFIER}"/>\n'
            f'  <version value="{version}"/>{platform_line}\n'
            '  <display-name><name lang="en">Ostrel2 decimal arithmetic for Calc</name></display-name>\n'
            '  <extension-description><src lang="en" xlink:href="description-en.txt"/></extension-description>\n'
            '</description>\n')


DESCRIPTION_TEXT = (
    "Cell functions of arbitrary-precision decimal arithmetic, up to 3,000 significant digits: "
    "OSTREL2ADD, OSTREL2DIV, OSTREL2SQRT, OSTREL2PI, OSTREL2SIN, OSTREL2EXP, OSTREL2FACTORIAL, "
    "OSTREL2GCD and more. Results are text with every digit shown correct; long numbers pass "
    "between cells as text. OSTREL2ERROR tells why a call failed.\n")


def _python_files(folder):
    return sorted(p for p in folder.rglob("*.py") if "__pycache__" not in p.parts)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", required=True, type=Path)
    parser.add_argument("--work", required=True, type=Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--platform", default="")
    parser.add_argument("--unoidl-write", required=True)
    parser.add_argument("--types", required=True, nargs="+",
                        help="LibreOffice's type libraries (types.rdb, types/offapi.rdb)")
    parser.add_argument("--library", required=True, action="append", type=Path,
                        help="a shared library to put beside the ostrel2 module")
    options = parser.parse_args()

    options.work.mkdir(parents=True, exist_ok=True)
    idl = options.work / f"{INTERFACE}.idl"
    idl.write_text(interface_idl(), encoding="utf-8")
    rdb = options.work / TYPE_LIBRARY
    subprocess.run([options.unoidl_write, *options.types, str(idl), str(rdb)], check=True)

    members = [  # (name in the archive, bytes)
        ("META-INF/manifest.xml", manifest_xml().encode()),
        ("description.xml", description_xml(options.version, options.platform).encode()),
        ("description-en.txt", DESCRIPTION_TEXT.encode()),
        (COMPONENTS, components_xml().encode()),
        ("CalcAddIns.xcu", calc_addins_xcu().encode()),
        (TYPE_LIBRARY, rdb.read_bytes()),
        (ADDIN, (HERE / ADDIN).read_bytes()),
        ("LICENSE", (ROOT / "LICENSE").read_bytes()),
    ]
    for source, folder in ((HERE / "pythonpath" / "ostrel2_calc", "pythonpath/ostrel2_calc"),
                           (ROOT / "python" / "ostrel2", "pythonpath/ostrel2")):
        members += [(f"{folder}/{p.relative_to(source).as_posix()}", p.read_bytes())
                    for p in _python_files(source)]
    members += [(f"pythonpath/ostrel2/{library.name}", library.read_bytes())
                for library in options.library]

    partial = options.output.with_name(options.output.name + ".part")
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            entry = zipfile.ZipInfo(name, FIXED_TIME)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = (0o755 if ".so" in name else 0o644) << 16
            archive.writestr(entry, data)
    partial.replace(options.output)


if __name__ == "__main__":
    main()
