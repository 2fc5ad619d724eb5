"""What the AT-SPI checks share: failing with a message, and waiting for the
accessibility tree to show something."""

import sys
import time


class Check:
    def __init__(self, name):
        self.name = name

    def fail(self, message):
        print("%s FAILED: %s" % (self.name, message), file=sys.stderr)
        sys.exit(1)

    def wait_for(self, what, probe, timeout):
        deadline = time.monotonic() + timeout
        while True:
            try:
                found = probe()
            except Exception:  # the tree can change under us while a window is built
                found = None
            if found:
                return found
            if time.monotonic() > deadline:
                self.fail("timed out after %gs waiting for %s" % (timeout, what))
            time.sleep(0.2)


WINDOW_TITLE = "Tresvoli Hızlı Arama Programı"


def main_window(title=WINDOW_TITLE):
    """The program's top-level window of that title, as AT-SPI offers it, or None."""
    import pyatspi
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None and window.name == title:
                return window
    return None
