#!/usr/bin/env python3
"""Reads the running program's occupation table through AT-SPI, as a screen
reader does: finds the main window's table, reads its column headers and its
first row, gives it the focus, presses Down (with xdotool, through the X
server) and reads the focused cell. Exits with 1 and says why on the first
thing that is not as it should be."""

import subprocess

import pyatspi

from atspi_support import WINDOW_TITLE, Check, main_window

TABLE_NAME = "Meslek listesi"
HEADERS = ["Meslek Kodu", "Meslek Adı"]


CHECK = Check("AT-SPI check")
fail = CHECK.fail
wait_for = CHECK.wait_for


def find_table(window):
    return pyatspi.findDescendant(
        window, lambda o: o is not None and o.getRole() == pyatspi.ROLE_TABLE
        and o.name == TABLE_NAME)


def focused_cell(table):
    t = table.queryTable()
    for row in range(min(t.nRows, 64)):
        for column in range(t.nColumns):
            cell = t.getAccessibleAt(row, column)
            if cell is not None and cell.getState().contains(pyatspi.STATE_FOCUSED):
                return row, column, cell.name
    return None


def main():
    window = wait_for("the window \"%s\"" % WINDOW_TITLE, main_window, 60)
    table = wait_for("the table \"%s\"" % TABLE_NAME, lambda: find_table(window), 30)
    t = table.queryTable()
    headers = wait_for("the column headers",
                       lambda: [t.getColumnHeader(c).name for c in range(t.nColumns)], 30)
    if headers != HEADERS:
        fail("column headers are %r, expected %r" % (headers, HEADERS))
    rows = wait_for("the table's rows", lambda: t.nRows, 30)
    first = [t.getAccessibleAt(0, c).name for c in range(t.nColumns)]
    second = [t.getAccessibleAt(1, c).name for c in range(t.nColumns)]
    if not all(first) or first == second:
        fail("first rows read %r and %r" % (first, second))
    print("table: %d rows; headers %s" % (rows, ", ".join(headers)))
    print("first row: %s" % ", ".join(first))

    # No window manager: the window gets the keyboard the way one would give it.
    subprocess.run(["xdotool", "search", "--sync", "--name", WINDOW_TITLE, "windowfocus", "--sync"],
                   check=True, timeout=30, stdout=subprocess.DEVNULL)
    if not table.queryComponent().grabFocus():
        fail("the table did not take the focus")
    at = wait_for("the focused cell", lambda: focused_cell(table), 10)
    if at != (0, 0, first[0]):
        fail("after taking the focus the focused cell is %r, expected row 0, column 0" % (at,))
    subprocess.run(["xdotool", "key", "Down"], check=True)
    def focus_in_second_row():
        at = focused_cell(table)
        return at if at and at[0] == 1 else None
    at = wait_for("the focus to move down a row", focus_in_second_row, 10)
    if at != (1, 0, second[0]):
        fail("after Down the focused cell is %r, expected (1, 0, %r)" % (at, second[0]))
    print("after Down: row %d, column %d: %s" % at)
    print("AT-SPI check passed")


main()
