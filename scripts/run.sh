#!/usr/bin/env bash
# Builds the program and starts it from the build directory, where the sample
# database is. Without a display it runs inside Xvfb with a small window
# manager, saves a screenshot after start-up, closes the window and prints the
# screenshot's path.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
configure_and_build -DMESLEK_BUILD_TESTS=OFF -DMESLEK_BUILD_BENCH=OFF
cd "$MESLEK_BUILD"
# The web panel's engine refuses to run as root inside its sandbox.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

if [ -n "${DISPLAY:-}" ]; then
    exec ./meslekana
fi

title="Tresvoli Hızlı Arama Programı"
display_number=99
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
    display_number=$((display_number + 1))
done
export DISPLAY=":$display_number"
# Xvfb has no graphics card.
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
matchbox-window-manager -use_titlebar yes >/dev/null 2>&1 &
wm_pid=$!

./meslekana &
program_pid=$!
for _ in $(seq 150); do
    wmctrl -l 2>/dev/null | grep -q "$title" && break
    sleep 0.2
done
sleep 1.5
screenshot="$MESLEK_BUILD/meslekana-start.png"
import -window root "$screenshot"
wmctrl -c "$title" || kill -TERM "$program_pid"
status=0
for _ in $(seq 50); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$program_pid" 2>/dev/null; then
    kill -TERM "$program_pid"
fi
wait "$program_pid" || status=$?
echo "Screenshot: $screenshot (exit code $status)"
exit "$status"
