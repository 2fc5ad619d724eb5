#!/usr/bin/env bash
# Checks the window as a screen reader sees it: starts the built program under
# Xvfb with a session bus and the accessibility bus, finds its occupation table
# through AT-SPI, reads the headers and the first row, presses Down and reads
# the focused cell (tests/atspi/read_table.py); then checks what a screen reader
# hears: names, labels, the focus order of the second box, the counts read
# late while typing, a copy (tests/atspi/window_speech.py). Expects a built tree.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# Everything below runs inside a session bus of its own.
if [ -z "${MESLEK_ATSPI_SESSION:-}" ]; then
    export MESLEK_ATSPI_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi

program="$MESLEK_BUILD/meslekana"
[ -x "$program" ] || { echo "atspi-test: $program is not built" >&2; exit 1; }

# The program first, the display last.
trap stop_started EXIT
start_xvfb
start_accessibility_bus || { echo "atspi-test: the accessibility bus did not start" >&2; exit 1; }

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_QPA_PLATFORM=xcb
(cd "$MESLEK_BUILD" && exec "$program") >"$MESLEK_BUILD/atspi-test.log" 2>&1 &
program_pid=$!
HEADLESS_PIDS+=("$program_pid")

# The distribution's Python, which python3-pyatspi belongs to.
if ! timeout 120 /usr/bin/python3 "$MESLEK_ROOT/tests/atspi/read_table.py" ||
    ! timeout 180 /usr/bin/python3 "$MESLEK_ROOT/tests/atspi/window_speech.py"; then
    echo "atspi-test: the program's output is in $MESLEK_BUILD/atspi-test.log" >&2
    exit 1
fi
# A termination request closes the window as the user would: the program ends
# cleanly, with the cells a screen reader was handed still alive.
kill -TERM "$program_pid"
status=0
wait_for_exit "$program_pid" 30 || status=$?
if [ "$status" -ne 0 ]; then
    echo "atspi-test: the program ended with $status (output in $MESLEK_BUILD/atspi-test.log)" >&2
    exit 1
fi
