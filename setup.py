"""setup.py -- the ostrel2 Python module, with the two shared libraries it calls inside it.

`pip install .` builds libOstrel2 and libOstrel2Text from this source tree with CMake (library
only: no tests, no program) and puts them beside the module's Python files, which load them
with ctypes. Nothing is downloaded: setuptools, CMake and a C++17 compiler, as Debian packages
them, are all the build needs. The version is the one in the file VERSION.
"""
import os
import shutil
import subprocess
from pathlib import Path

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

ROOT = Path(__file__).resolve().parent
VERSION = (ROOT / "VERSION").read_text(encoding="ascii").split()[0]
LIBRARIES = ("Ostrel2", "Ostrel2Text")


class BuildWithLibraries(build_py):
    """The Python files, then the shared libraries built by CMake and copied into the package."""

    def run(self):
        super().run()
        if self.dry_run:
            return
        cmake_build = Path(self.get_finalized_command("build").build_temp).resolve() / "cmake"
        subprocess.check_call(["cmake", "-S", str(ROOT), "-B", str(cmake_build),
                               "-DCMAKE_BUILD_TYPE=Release", "-DOSTREL2_BUILD_TESTS=OFF",
                               "-DOSTREL2_BUILD_TOOLS=OFF"])
        subprocess.check_call(["cmake", "--build", str(cmake_build), "--target", *LIBRARIES,
                               "--parallel", str(os.cpu_count() or 1)])
        package = Path(self.build_lib) / "ostrel2"
        major = VERSION.split(".")[0]
        for name in LIBRARIES:
            shutil.copyfile(cmake_build / f"lib{name}.so.{major}", package / f"lib{name}.so.{major}")


class BinaryDistribution(Distribution):
    """The package holds compiled libraries: its wheel is for this platform only."""

    def has_ext_modules(self):
        return True


setup(
    name="ostrel2",
    version=VERSION,
    description="Decimal floating-point arithmetic at up to 3,030 significant digits",
    long_description=(ROOT / "docs" / "python.md").read_text(encoding="utf-8"),
    long_description_content_type="text/markdown",
    license="MIT",
    python_requires=">=3.8",
    package_dir={"": "python"},
    packages=["ostrel2"],
    cmdclass={"build_py": BuildWithLibraries},
    distclass=BinaryDistribution,
    options={"build": {"build_base": "build-python"}},
    zip_safe=False,
)
