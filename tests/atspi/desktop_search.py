#!/usr/bin/env python3
"""Asks the desktop search service as GNOME Shell and KRunner do, activates
results and reads the window they open through AT-SPI. Runs inside
scripts/desktop-search-test.sh, which makes the list (seven rows of the
user's own) and the session. Exits with 1 and says why on the first thing
that is not as it should be."""

import re
import subprocess
import sys
import time

import pyatspi

from atspi_support import Check

BUILD = sys.argv[1]
BUS_NAME = "io.github.meslekana.MeslekArama.SearchProvider"
GNOME_PATH = "/io/github/meslekana/MeslekArama/SearchProvider"
GNOME = "org.gnome.Shell.SearchProvider2"
WINDOW_TITLE = "Tresvoli Hızlı Arama Programı"


CHECK = Check("desktop search check")
fail = CHECK.fail
wait_for = CHECK.wait_for


def call(path, method, *args):
    result = subprocess.run(["gdbus", "call", "--session", "--dest", BUS_NAME, "--object-path",
                             path, "--method", method, *args],
                            capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        fail("%s failed: %s" % (method, result.stderr.strip()))
    return result.stdout


def strings(text):
    return re.findall(r"'((?:[^'\\]|\\.)*)'", text)


def initial_results(terms):
    return strings(call(GNOME_PATH, GNOME + ".GetInitialResultSet", repr(terms)))


def metas(ids):
    """[(id, name, code)] in the order given."""
    out = call(GNOME_PATH, GNOME + ".GetResultMetas", repr(ids))
    found = []
    for entry in re.findall(r"\{([^{}]*)\}", out):
        fields = dict(re.findall(r"'(\w+)': <'((?:[^'\\]|\\.)*)'>", entry))
        found.append((fields.get("id"), fields.get("name"), fields.get("description")))
    return found


def service_running():
    out = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                          "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                          "string:" + BUS_NAME], capture_output=True, text=True).stdout
    return "boolean true" in out


def windows():
    found = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None and window.name == WINDOW_TITLE:
                found.append(window)
    return found


def window_processes():
    out = subprocess.run(["pgrep", "-f", "^%s/meslekana( |$)" % re.escape(BUILD)],
                         capture_output=True, text=True).stdout
    return out.split()


def box_text(window, name):
    box = pyatspi.findDescendant(window, lambda o: o is not None and o.name == name
                                 and o.getRole() == pyatspi.ROLE_TEXT)
    return box.queryText().getText(0, -1)


def table_rows(window):
    table = pyatspi.findDescendant(window, lambda o: o is not None
                                   and o.getRole() == pyatspi.ROLE_TABLE
                                   and o.name == "Meslek listesi")
    t = table.queryTable()
    return [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]


def window_shows(window, term1, term2, rows):
    def probe():
        return (box_text(window, "Arama terimi 1") == term1
                and box_text(window, "Arama terimi 2") == term2
                and table_rows(window) == rows)
    what = "the window to show %r, %r and the rows %r" % (term1, term2, rows)
    wait_for(what, probe, 60)


def main():
    # GNOME Shell: "asci" finds the names with "aşçı"; the name that is the
    # term comes first, then names that start with it, shorter first, then
    # the rest.
    ids = initial_results(["asci"])
    found = metas(ids)
    names = [name for _, name, _ in found]
    if names != ["Aşçı", "Aşçıbaşı", "Aşçı Yardımcısı", "Taşçı"]:
        fail("GetInitialResultSet(['asci']) gave %r" % names)
    if [code for _, _, code in found] != ["5120.10", "3434.01", "5120.22", "7113.09"]:
        fail("GetResultMetas gave the codes %r" % found)
    print("GNOME Shell: 'asci' -> %s" % ", ".join(names))

    # KRunner: one line, the codes that start with 5120.
    matches = call("/krunner", "org.kde.krunner1.Match", "5120")
    subtexts = re.findall(r"'subtext': <'([^']*)'>", matches)
    if subtexts != ["5120.10", "5120.22"]:
        fail("Match('5120') gave the codes %r" % subtexts)
    print("KRunner: '5120' -> %s" % ", ".join(subtexts))

    # Activating "Aşçı" opens the window on that row.
    asci = next(i for i, name, _ in found if name == "Aşçı")
    call(GNOME_PATH, GNOME + ".ActivateResult", asci, "['asci']", "0")
    window = wait_for("the window", lambda: windows()[0] if windows() else None, 90)
    window_shows(window, "5120.10", "", [["5120.10", "Aşçı"]])
    print("ActivateResult: the window opened on 5120.10 Aşçı")

    # A second result goes to the same window.
    katip = initial_results(["katip"])
    if len(katip) != 1:
        fail("GetInitialResultSet(['katip']) gave %r" % katip)
    call("/krunner", "org.kde.krunner1.Run", katip[0], "")
    window_shows(window, "3112.04", "", [["3112.04", "Katip"]])
    if len(windows()) != 1 or len(window_processes()) != 1:
        fail("a second activation opened another window (%d windows, processes %r)"
             % (len(windows()), window_processes()))
    print("Run: the running window moved to 3112.04 Katip")

    # The search itself, with two terms.
    call(GNOME_PATH, GNOME + ".LaunchSearch", "['kat', 'otel']", "0")
    window_shows(window, "kat", "otel", [["9629.05", "Kat Görevlisi (Otel)"]])
    if len(window_processes()) != 1:
        fail("LaunchSearch opened another window")
    print("LaunchSearch: the running window searched 'kat' VE 'otel'")

    # Without calls the service ends after its idle time (4 s here).
    deadline = time.monotonic() + 30
    while service_running():
        if time.monotonic() > deadline:
            fail("the service still runs 30 s after the last call")
        time.sleep(0.5)
    print("the service ended after its idle time")
    print("desktop search check passed")


main()
