#!/usr/bin/env bash
# Builds the program, without a maker's site (so without a web engine: the
# panel shows the program's own page), and starts it from the build directory,
# where the database of the national list is. Without a display it runs inside Xvfb with a small window
# manager, saves a screenshot after start-up, closes the window and prints the
# screenshot's path.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
configure_and_build "${MESLEK_NO_SITE[@]}" -DMESLEK_BUILD_TESTS=OFF -DMESLEK_BUILD_BENCH=OFF
cd "$MESLEK_BUILD"

if [ -n "${DISPLAY:-}" ]; then
    exec ./meslekana
fi

title="Tresvoli Hızlı Arama Programı"
start_headless_display
trap stop_headless_display EXIT

./meslekana &
program_pid=$!
wait_for_window "$title" || true
sleep 1.5
screenshot="$MESLEK_BUILD/meslekana-start.png"
import -window root "$screenshot"
status=0
close_program "$title" "$program_pid" || status=$?
echo "Screenshot: $screenshot (exit code $status)"
exit "$status"
