"""ostrel2_build -- builds the ostrel2 Python package with the standard library alone.

pyproject.toml names this module as the package's build backend (`backend-path`), so that
`pip install .` needs nothing beyond pip itself: no setuptools, no wheel, no network. It offers
the hooks pip calls:

  build_wheel       runs CMake on this source tree (the two shared libraries only: no tests, no
                    program), and writes a wheel holding the module's Python files and the
                    libraries beside them
  build_sdist       writes the source tree as ostrel2-VERSION.tar.gz, from which build_wheel runs
                    again
  prepare_metadata_for_build_wheel
                    the package's metadata without building

The wheel is tagged py3-none-<platform>: the module is plain Python that loads the libraries with
ctypes, so one build serves every Python 3 of the machine, but not another platform. The CMake
build goes to build-python/cmake under the source tree (a temporary folder where the tree cannot
be written), so a second install rebuilds only what changed. Editable installs are not offered:
to work on the module, set PYTHONPATH to python/ and OSTREL2_LIBRARY_DIR to a CMake build folder.
"""
import base64
import hashlib
import io
import os
import shutil
import subprocess
import sysconfig
import tarfile
import tempfile
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
NAME = "ostrel2"
SUMMARY = "Decimal floating-point arithmetic at up to 3,030 significant digits"
REQUIRES_PYTHON = ">=3.9"
# The CMake targets whose shared libraries go into the package, beside its Python files.
LIBRARIES = ("Ostrel2", "Ostrel2Text")
# What the package folder takes from python/ostrel2: the module and its typing marker.
PACKAGE_FILES = ("*.py", "py.typed")


def _version():
    return (ROOT / "VERSION").read_text(encoding="ascii").split()[0]


def _dist_info():
    return f"{NAME}-{_version()}.dist-info"


def _metadata():
    description = (ROOT / "docs" / "python.md").read_text(encoding="utf-8")
    return (f"Metadata-Version: 2.1\nName: {NAME}\nVersion: {_version()}\nSummary: {SUMMARY}\n"
            f"License: MIT\nRequires-Python: {REQUIRES_PYTHON}\n"
            f"Description-Content-Type: text/markdown\n\n{description}")


def _platform_tag():
    return sysconfig.get_platform().replace("-", "_").replace(".", "_")


def _wheel_file():
    return (f"Wheel-Version: 1.0\nGenerator: {NAME}_build {_version()}\nRoot-Is-Purelib: false\n"
            f"Tag: py3-none-{_platform_tag()}\n")


# The hooks' answers: nothing to install before building.
def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    folder = Path(metadata_directory) / _dist_info()
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "METADATA").write_text(_metadata(), encoding="utf-8")
    (folder / "WHEEL").write_text(_wheel_file(), encoding="utf-8")
    return folder.name


def _cmake_folder():
    """build-python/cmake under the source tree, or a temporary folder where it is read-only."""
    folder = ROOT / "build-python" / "cmake"
    try:
        folder.mkdir(parents=True, exist_ok=True)
        probe = folder / ".writable"
        probe.write_bytes(b"")
        probe.unlink()
        return folder
    except OSError:
        return Path(tempfile.mkdtemp(prefix="ostrel2-cmake-"))


def _run(command):
    try:
        subprocess.run(command, check=True)
    except FileNotFoundError:
        raise RuntimeError(f"ostrel2: building the package needs {command[0]}: CMake 3.20 or later "
                           f"and a C++17 compiler (Debian: apt-get install cmake g++)") from None


def _build_libraries():
    """Builds the shared libraries with CMake and returns {name in the package: path}."""
    build = _cmake_folder()
    _run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
          "-DOSTREL2_BUILD_TESTS=OFF", "-DOSTREL2_BUILD_TOOLS=OFF"])
    _run(["cmake", "--build", str(build), "--target", *LIBRARIES,
          "--parallel", str(os.cpu_count() or 1)])
    major = _version().split(".")[0]
    built = {}
    for name in LIBRARIES:
        # libOstrel2.so.1: the name the libraries know each other by (their SONAME).
        path = build / f"lib{name}.so.{major}"
        if not path.exists():
            raise RuntimeError(f"ostrel2: CMake built no {path.name} in {build}; this package "
                               f"builds on Linux only")
        built[path.name] = path
    return built


def _record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode("ascii")
    return f"{name},sha256={digest},{len(data)}\n"


def _zip_entry(archive, name, data, executable=False):
    info = zipfile.ZipInfo(name, date_time=time.localtime()[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = (0o755 if executable else 0o644) << 16
    archive.writestr(info, data)


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    libraries = _build_libraries()
    files = {}
    package = ROOT / "python" / NAME
    for pattern in PACKAGE_FILES:
        for path in sorted(package.glob(pattern)):
            files[f"{NAME}/{path.name}"] = (path.read_bytes(), False)
    for name, path in libraries.items():
        files[f"{NAME}/{name}"] = (path.read_bytes(), True)
    info = _dist_info()
    files[f"{info}/METADATA"] = (_metadata().encode("utf-8"), False)
    files[f"{info}/WHEEL"] = (_wheel_file().encode("ascii"), False)
    files[f"{info}/LICENSE"] = ((ROOT / "LICENSE").read_bytes(), False)
    files[f"{info}/top_level.txt"] = (f"{NAME}\n".encode("ascii"), False)

    wheel_name = f"{NAME}-{_version()}-py3-none-{_platform_tag()}.whl"
    record = "".join(_record_line(name, data) for name, (data, _) in files.items())
    record += f"{info}/RECORD,,\n"
    with zipfile.ZipFile(Path(wheel_directory) / wheel_name, "w") as archive:
        for name, (data, executable) in files.items():
            _zip_entry(archive, name, data, executable)
        _zip_entry(archive, f"{info}/RECORD", record.encode("utf-8"))  # RECORD comes last
    return wheel_name


# Folders of a working tree that are not source: builds, virtual environments, caches.
def _is_source_folder(folder, top_level):
    name = folder.name
    if name.startswith(".") or name == "__pycache__" or name.endswith(".egg-info"):
        return False
    if top_level and (name.startswith("build") or name == "out"):
        return False
    return not (folder / "pyvenv.cfg").exists()


def _in_source_folders(name):
    parents = list(Path(name).parents)[:-1]  # the folders from the top down, without "."
    return all(_is_source_folder(ROOT / folder, len(folder.parts) == 1) for folder in reversed(parents))


def _source_files():
    """The files of the source tree, relative to it: the ones git knows (tracked, or new and not
    ignored) in a git checkout, else every file outside builds, environments and caches."""
    if (ROOT / ".git").exists() and shutil.which("git"):
        listed = subprocess.run(["git", "-C", str(ROOT), "ls-files", "-z", "--cached", "--others",
                                 "--exclude-standard"], stdout=subprocess.PIPE, check=True).stdout
        names = sorted({n for n in listed.decode("utf-8").split("\0") if n})
        return [n for n in names if (ROOT / n).is_file() and _in_source_folders(n)]
    found = []
    for folder, subfolders, names in os.walk(ROOT):
        here = Path(folder)
        subfolders[:] = sorted(s for s in subfolders if _is_source_folder(here / s, here == ROOT))
        found += [str((here / n).relative_to(ROOT)) for n in sorted(names)]
    return found


def build_sdist(sdist_directory, config_settings=None):
    top = f"{NAME}-{_version()}"
    sdist_name = f"{top}.tar.gz"
    with tarfile.open(Path(sdist_directory) / sdist_name, "w:gz", format=tarfile.PAX_FORMAT) as archive:
        for name in _source_files():
            archive.add(str(ROOT / name), arcname=f"{top}/{name}", recursive=False)
        metadata = _metadata().encode("utf-8")
        entry = tarfile.TarInfo(f"{top}/PKG-INFO")
        entry.size, entry.mtime, entry.mode = len(metadata), int(time.time()), 0o644
        archive.addfile(entry, io.BytesIO(metadata))
    return sdist_name
