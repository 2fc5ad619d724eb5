#!/usr/bin/env bash
# Checks the desktop's search end to end: inside a session bus of its own,
# with a service file that starts the built meslek-arama-servisi, asks it as
# GNOME Shell and KRunner do (gdbus) about a generated list of the user's
# own, activates results and reads the window they open through AT-SPI
# (tests/atspi/desktop_search.py): the code in the first box, the row
# current, a second activation handed to the same window, the service gone
# after its idle time. Expects a built tree.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

if [ -z "${MESLEK_DESKTOP_SEARCH_SESSION:-}" ]; then
    work="$MESLEK_BUILD/desktop-search-test"
    rm -rf "$work"
    mkdir -p "$work/share/dbus-1/services"
    # The bus reads its service folders from XDG_DATA_DIRS when it starts;
    # activation needs an absolute Exec=.
    printf '[D-BUS Service]\nName=%s\nExec=%s\n' io.github.meslekana.MeslekArama.SearchProvider \
        "$MESLEK_BUILD/meslek-arama-servisi" \
        >"$work/share/dbus-1/services/io.github.meslekana.MeslekArama.SearchProvider.service"
    export MESLEK_DESKTOP_SEARCH_SESSION="$work"
    export XDG_DATA_DIRS="$work/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
    # The bus, the service and the window write to the session's log.
    status=0
    dbus-run-session -- "$0" "$@" 2>"$work/session.log" || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$work/session.log" >&2
        echo "desktop-search-test: FAILED (the whole log: $work/session.log)" >&2
    fi
    exit "$status"
fi
work="$MESLEK_DESKTOP_SEARCH_SESSION"

# A list of the user's own under XDG_DATA_HOME, with the help file beside it.
list="$work/data-home/meslekana"
mkdir -p "$list/AnaData"
cat >"$work/list.csv" <<'CSV'
meslek_kodu,meslek_adi
5120.10,Aşçı
5120.22,Aşçı Yardımcısı
3434.01,Aşçıbaşı
7113.09,Taşçı
9629.05,Kat Görevlisi (Otel)
3112.04,Katip
2142.01,İnşaat Mühendisi
CSV
"$MESLEK_BUILD/meslek-mdb" create "$list/AnaData/MeslekAna.mdb" --csv "$work/list.csv" --quiet
cp "$MESLEK_BUILD/yardim" "$list/yardim"

# The windows the service started, then what this script started.
cleanup() {
    pkill -TERM -f "$MESLEK_BUILD/meslekana( |$)" 2>/dev/null || true
    stop_started
}
trap cleanup EXIT

start_headless_display
start_accessibility_bus ||
    { echo "desktop-search-test: the accessibility bus did not start" >&2; exit 1; }

# What the service, and the window it starts, get from the bus.
gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.UpdateActivationEnvironment \
    "{'DISPLAY': '$DISPLAY', 'XDG_DATA_HOME': '$work/data-home',
      'DBUS_SESSION_BUS_ADDRESS': '$DBUS_SESSION_BUS_ADDRESS',
      'QT_LINUX_ACCESSIBILITY_ALWAYS_ON': '1', 'QT_QPA_PLATFORM': 'xcb',
      'MESLEKANA_SERVICE_IDLE_MS': '4000'}" \
    >/dev/null

timeout 180 /usr/bin/python3 "$MESLEK_ROOT/tests/atspi/desktop_search.py" "$MESLEK_BUILD"
