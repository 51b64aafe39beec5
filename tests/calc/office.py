"""office.py -- a headless soffice of the tests' own, reached through UNO on a private pipe.

    with Office(soffice, options) as office:
        desktop = office.service("com.sun.star.frame.Desktop")

The office starts without OSTREL2_LIBRARY_DIR, so that the extension loads the libraries it
carries, and is ended when the block is left. Needs Python's uno module (Debian: python3-uno).
"""
import os
import subprocess
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException

WAIT_SECONDS = 120


def properties(**values):
    """A tuple of PropertyValue, as UNO calls take them."""
    found = []
    for name, value in values.items():
        entry = PropertyValue()
        entry.Name, entry.Value = name, value
        found.append(entry)
    return tuple(found)


class Office:
    def __init__(self, soffice="soffice", options=()):
        self.command = [soffice, *options]
        self.pipe = f"ostrel2_calc_{os.getpid()}"
        self.process = None

    def __enter__(self):
        environment = dict(os.environ)
        environment.pop("OSTREL2_LIBRARY_DIR", None)
        self.process = subprocess.Popen(
            [*self.command, "--headless", "--invisible", "--norestore",
             f"--accept=pipe,name={self.pipe};urp;"],
            env=environment, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        try:
            self.context = self._connect()
        except BaseException:
            self.process.kill()
            self.process.wait()
            raise
        return self

    def _connect(self):
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            try:
                return resolver.resolve(
                    f"uno:pipe,name={self.pipe};urp;StarOffice.ComponentContext")
            except NoConnectException:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError(f"soffice did not listen on the pipe {self.pipe} "
                                       f"(exit status {self.process.poll()})") from None
                time.sleep(0.2)

    def service(self, name):
        return self.context.ServiceManager.createInstanceWithContext(name, self.context)

    def __exit__(self, *exception):
        try:
            self.service("com.sun.star.frame.Desktop").terminate()
        except Exception:  # the bridge closes as soffice ends
            pass
        try:
            self.process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
