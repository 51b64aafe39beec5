"""Shared set-up of the Python module's tests: the source tree's root, and a runner for code in
a fresh interpreter whose standard output can be inspected byte for byte."""
import os
import subprocess
import sys
import textwrap
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]


@pytest.fixture
def root():
    return ROOT


@pytest.fixture
def run_python():
    """Runs code in a new interpreter (the same module and library as this one) and returns
    (stdout bytes, stderr text, exit status)."""
    import ostrel2

    package_parent = str(Path(ostrel2.__file__).resolve().parents[1])

    def run(code):
        env = dict(os.environ)
        env["PYTHONPATH"] = os.pathsep.join(filter(None, [package_parent, env.get("PYTHONPATH")]))
        done = subprocess.run([sys.executable, "-c", textwrap.dedent(code)], env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        return done.stdout, done.stderr.decode("utf-8", "replace"), done.returncode

    return run
