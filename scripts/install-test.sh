#!/usr/bin/env bash
# Checks the installed program: installs the build tree into a staging folder
# (DESTDIR), checks the layout, validates the desktop file and the AppStream
# metadata, installs the tree again into another prefix (--prefix) and has
# GLib load that launcher and the bus start that search service, renders the
# manual pages and holds them against --help, runs the
# installed meslek-ara on the installed list, and starts the installed
# meslekana under Xvfb in share/meslekana/, as its launcher does: only the
# main window comes up, "KOPYALA" puts the first code on the clipboard, the
# panel shows the program's own page, the help window shows the help text.
# Ten seconds after its start the program's memory (PSS of all its processes)
# is measured beside a site's build with the web engine ($MESLEK_SITE_BUILD,
# when scripts/site-test.sh built it). Expects a built tree ($MESLEK_BUILD)
# without a maker's site, the default.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
# GLib's own reading of a launcher, as GNOME Shell's: python3-gi.
ensure_packages "${INSTALL_TEST_PACKAGES[@]}" python3-gi gir1.2-glib-2.0

app_id=io.github.meslekana.MeslekArama
bus_name=$app_id.SearchProvider
title="Tresvoli Hızlı Arama Programı"
help_title="Dermansa - Yardım"
work="$MESLEK_BUILD/install-test"
stage="$work/stage"
prefix="$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$MESLEK_BUILD/CMakeCache.txt")"
root="$stage$prefix"
failures=0

fail() {
    echo "install test: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
DESTDIR="$stage" cmake --install "$MESLEK_BUILD" >/dev/null

# The layout, file for file.
expected="$work/expected.txt"
{
    printf '%s\n' bin/meslekana bin/meslek-ara bin/meslek-mdb libexec/meslekana/meslek-reader \
        libexec/meslekana/meslek-arama-servisi \
        "share/dbus-1/services/$bus_name.service" \
        "share/gnome-shell/search-providers/$app_id.search-provider.ini" \
        "share/krunner/dbusplugins/$app_id.desktop" \
        share/meslekana/AnaData/MeslekAna.mdb share/meslekana/yardim share/meslekana/baslangic.html \
        share/meslekana/fonts/tahoma.ttf share/meslekana/fonts/tahomabd.ttf \
        share/meslekana/fonts/NOTICE \
        "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
        "share/icons/hicolor/scalable/apps/$app_id.svg"
    for size in 16 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x$size/apps/$app_id.png"
    done
    for page in meslekana meslek-ara meslek-mdb; do
        echo "share/man/man1/$page.1"
        echo "share/man/en/man1/$page.1"
    done
} | sort >"$expected"
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed.txt"
if ! diff -u "$expected" "$work/installed.txt"; then
    fail "the installed files differ from the expected layout"
fi
for program in bin/meslekana bin/meslek-ara bin/meslek-mdb libexec/meslekana/meslek-reader \
    libexec/meslekana/meslek-arama-servisi; do
    [ -x "$root/$program" ] || fail "$program is not executable"
done
for size in 16 32 48 64 128 256; do
    identify -format '%wx%h' "$root/share/icons/hicolor/${size}x$size/apps/$app_id.png" |
        grep -qx "${size}x$size" || fail "the ${size}x$size icon has another size"
done

# Without a maker's site nothing of the browser engine is linked.
if ldd "$root/bin/meslekana" | grep -qi webengine; then
    fail "the installed meslekana links Qt WebEngine"
fi

# The launcher and the metadata: valid, and sharing one application id.
desktop="$root/share/applications/$app_id.desktop"
metainfo="$root/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop file"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1 ||
    { cat "$work/appstream.txt" >&2; fail "appstreamcli rejects the metadata"; }
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(desktop_key Icon)" = "$app_id" ] || fail "Icon= is not $app_id"
[ "$(desktop_key Path)" = "$prefix/share/meslekana" ] || fail "Path= is not $prefix/share/meslekana"
[ "$(desktop_key Exec)" = "$prefix/bin/meslekana" ] || fail "Exec= is not $prefix/bin/meslekana"
grep -qx "  <id>$app_id</id>" "$metainfo" || fail "the AppStream id is not $app_id"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream launchable is not $app_id.desktop"

# The desktop's search: the bus starts the installed service by its absolute
# path, and GNOME Shell and KRunner find it under the same name and path.
key_in() { sed -n "s/^$1=//p" "$2"; }
service_file="$root/share/dbus-1/services/$bus_name.service"
provider="$root/share/gnome-shell/search-providers/$app_id.search-provider.ini"
runner="$root/share/krunner/dbusplugins/$app_id.desktop"
[ "$(key_in Name "$service_file")" = "$bus_name" ] &&
    [ "$(key_in Exec "$service_file")" = "$prefix/libexec/meslekana/meslek-arama-servisi" ] ||
    fail "the D-Bus service file does not start $prefix/libexec/meslekana/meslek-arama-servisi as $bus_name"
[ "$(key_in DesktopId "$provider")" = "$app_id.desktop" ] &&
    [ "$(key_in BusName "$provider")" = "$bus_name" ] &&
    [ "$(key_in ObjectPath "$provider")" = /io/github/meslekana/MeslekArama/SearchProvider ] &&
    [ "$(key_in Version "$provider")" = 2 ] ||
    fail "the GNOME Shell search provider file names another service"
[ "$(key_in X-Plasma-DBusRunner-Service "$runner")" = "$bus_name" ] &&
    [ "$(key_in X-Plasma-DBusRunner-Path "$runner")" = /krunner ] ||
    fail "the KRunner plugin names another service"
# The installed service, with no list of the user's own, answers from the
# installed national list, which it finds relative to itself.
cat >"$work/ask-service.sh" <<EOF
"$root/libexec/meslekana/meslek-arama-servisi" &
for _ in \$(seq 100); do
    gdbus introspect --session --dest $bus_name --object-path /krunner >/dev/null 2>&1 && break
    sleep 0.1
done
gdbus call --session --dest $bus_name --object-path /krunner --method org.kde.krunner1.Match 5120.10
kill %1
EOF
XDG_DATA_HOME="$work/empty-data-home" dbus-run-session -- bash "$work/ask-service.sh" \
    >"$work/service-answer.txt" 2>"$work/service.log" || true
grep -qF "'Aşçı', '$app_id', 100" "$work/service-answer.txt" ||
    { cat "$work/service-answer.txt" "$work/service.log" >&2
      fail "the installed search service does not find 5120.10 Aşçı in the installed list"; }

# The same tree installed into another prefix than its own, one with a space
# as a home folder may have, without a staging folder: the launcher and the
# service file name that prefix. GLib reads the launcher as GNOME Shell does,
# which drops it, and with it the search provider, when it cannot find the
# program (that prefix's bin/ is not on PATH); the bus starts the service from
# that prefix's service file.
other="$work/other prefix"
other_desktop="$other/share/applications/$app_id.desktop"
if ! cmake --install "$MESLEK_BUILD" --prefix "$other" >"$work/other-install.log" 2>&1; then
    cat "$work/other-install.log" >&2
    fail "cmake --install --prefix \"$other\" fails"
fi
desktop-file-validate "$other_desktop" ||
    fail "desktop-file-validate rejects the desktop file installed with --prefix"
[ "$(key_in Path "$other_desktop")" = "$other/share/meslekana" ] ||
    fail "with --prefix, Path= is not $other/share/meslekana"
# The program and the folder as GLib has them, or nothing when it drops the launcher.
cat >"$work/read-launcher.py" <<'EOF'
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

try:
    launcher = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])
except TypeError:
    sys.exit("GLib does not load " + sys.argv[1])
print(GLib.shell_parse_argv(launcher.get_commandline())[1][0])
print(launcher.get_string("Path"))
EOF
PATH=/usr/bin:/bin /usr/bin/python3 "$work/read-launcher.py" "$other_desktop" \
    >"$work/other-launcher.txt" || true
printf '%s\n' "$other/bin/meslekana" "$other/share/meslekana" >"$work/other-launcher-expected.txt"
diff -u "$work/other-launcher-expected.txt" "$work/other-launcher.txt" >&2 ||
    fail "with --prefix, GLib does not read a launcher that starts $other/bin/meslekana in its Path="
cat >"$work/activate-service.sh" <<EOF
gdbus call --session --dest $bus_name --object-path /krunner --method org.kde.krunner1.Match 5120.10
pid="\$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \\
    --method org.freedesktop.DBus.GetConnectionUnixProcessID $bus_name | sed 's/^(uint32 \([0-9]*\),)\$/\1/')"
readlink "/proc/\$pid/exe"
kill "\$pid"
EOF
XDG_DATA_HOME="$work/empty-data-home" XDG_DATA_DIRS="$other/share" \
    dbus-run-session -- bash "$work/activate-service.sh" >"$work/activated.txt" 2>"$work/activation.log" ||
    true
grep -qF "'Aşçı', '$app_id', 100" "$work/activated.txt" &&
    [ "$(tail -n 1 "$work/activated.txt")" = "$other/libexec/meslekana/meslek-arama-servisi" ] ||
    { cat "$work/activated.txt" "$work/activation.log" >&2
      fail "with --prefix, the bus does not start $other/libexec/meslekana/meslek-arama-servisi"; }

# The installed meslek-ara on the installed national list, from the launcher's folder:
# it reaches the reader in libexec/, since none lies beside it.
cd "$root/share/meslekana"
"$root/bin/meslek-ara" >"$work/list.tsv" || fail "the installed meslek-ara fails on the installed list"
first_code="$(head -n 1 "$work/list.tsv" | cut -f 1)"
[ "$(head -n 1 "$work/list.tsv")" = "$(printf '0110.00\tSubaylar')" ] &&
    [ "$(tail -n 1 "$work/list.tsv" | cut -f 1)" = 9901.07 ] &&
    [ "$(wc -l <"$work/list.tsv")" -eq 7764 ] ||
    fail "the installed meslek-ara does not print the 7,764 rows of the national list"

# The manual pages render without warnings, in both languages, and name the
# same options and environment variables as --help.
names_in() { grep -oE -- '--[a-z][a-z-]*|MESLEKANA_[A-Z_]+' | sort -u; }
for page in meslekana meslek-ara meslek-mdb; do
    for file in "$root/share/man/man1/$page.1" "$root/share/man/en/man1/$page.1"; do
        if ! MANWIDTH=200 man --warnings -E UTF-8 -l "$file" >"$work/page.txt" 2>"$work/warnings.txt" ||
            [ -s "$work/warnings.txt" ] || ! grep -q "^ *$page - " "$work/page.txt"; then
            cat "$work/warnings.txt" >&2
            fail "man -l does not render ${file#"$root/"} cleanly"
            continue
        fi
        if [ "$page" != meslekana ]; then
            "$root/bin/$page" --help | names_in >"$work/help-names.txt"
            names_in <"$work/page.txt" >"$work/page-names.txt"
            diff -u "$work/help-names.txt" "$work/page-names.txt" >&2 ||
                fail "${file#"$root/"} and $page --help name different options"
        fi
    done
done

# The installed program under Xvfb, started where its launcher starts it.
start_headless_display
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    stop_headless_display
}
trap cleanup EXIT
# Under the C locale too, the page and every text are Turkish.
LANG=C.UTF-8 "$root/bin/meslekana" >"$work/meslekana.log" 2>&1 &
program_pid=$!
started_at=$SECONDS
if ! wait_for_window "$title"; then
    cat "$work/meslekana.log" >&2
    fail "the installed meslekana shows no main window"
    exit 1
fi
window="$(wmctrl -l | grep -F "$title" | head -n 1 | cut -d ' ' -f 1)"
# The window names itself as the launcher expects, and carries the icon.
wm_class="$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')"
[ "$wm_class" = "$(desktop_key StartupWMClass)" ] ||
    fail "the window's class \"$wm_class\" is not the launcher's StartupWMClass"
xprop -id "$window" _NET_WM_ICON >"$work/icon.txt"
grep -q 'Icon (128 x 128)' "$work/icon.txt" || fail "the window has no icon"

# A process and all its descendants.
tree_of() {
    local pid
    echo "$1"
    for pid in $(pgrep -P "$1"); do tree_of "$pid"; done
}
# Their proportional set size together, in kB.
pss_of_tree() {
    local total=0 pid kb
    for pid in $(tree_of "$1"); do
        kb="$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || true)"
        total=$((total + ${kb:-0}))
    done
    echo "$total"
}

# Where the window's client area starts on the screen.
window_origin() {
    xwininfo -id "$1" | sed -n 's/.*Absolute upper-left [XY]: *//p' | tr '\n' ' '
}
clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }
# Runs "$@" until the clipboard holds the text $1 (a fixed string), at most
# ten times over some ten seconds: a busy machine may be slow to answer.
until_clipboard_holds() {
    local text="$1"
    shift
    for _ in $(seq 10); do
        "$@"
        for _ in $(seq 5); do
            clipboard | grep -qF -- "$text" && return 0
            sleep 0.2
        done
    done
    return 1
}

# "KOPYALA" (206, 60 in the search area, 106 by 28) copies the current code,
# the list's first.
click_kopyala() {
    read -r left top <<<"$(window_origin "$window")"
    xdotool mousemove $((left + 259)) $((top + 74)) click 1
}
until_clipboard_holds "$first_code" click_kopyala && [ "$(clipboard)" = "$first_code" ] ||
    fail "KOPYALA copied \"$(clipboard)\", the installed meslek-ara's first code is \"$first_code\""
# Only the main window: a missing database or help file would have shown a box
# during start-up, which is over once the window answers a click.
wmctrl -l >"$work/windows.txt"
if [ "$(wc -l <"$work/windows.txt")" -ne 1 ]; then
    cat "$work/windows.txt" >&2
    fail "other windows besides the main window are up"
fi
screenshot="$work/meslekana-installed.png"
import -window root "$screenshot"

# The panel (right of the 545-pixel grid, below the 121-pixel band) shows the
# program's own page with the installed list's figures.
copy_page() {
    read -r left top <<<"$(window_origin "$window")"
    xdotool mousemove $((left + 700)) $((top + 200)) click 1
    xdotool windowactivate --sync "$window" key ctrl+a key ctrl+c 2>/dev/null
}
until_clipboard_holds "Programla gelen liste" copy_page &&
    clipboard | grep -qF "7.764 meslek" ||
    fail "the panel does not show the program's own page: \"$(clipboard | head -c 200)\""

# Memory ten seconds after the start, every process of the program; no
# process of a browser engine runs.
while [ $((SECONDS - started_at)) -lt 10 ]; do sleep 0.5; done
own_kb="$(pss_of_tree "$program_pid")"
echo "install test: meslekana without a site, 10 s after start: $((own_kb / 1024)) MB PSS in $(tree_of "$program_pid" | wc -w) process(es)"
[ "$own_kb" -le $((60 * 1024)) ] || fail "the program takes $((own_kb / 1024)) MB, more than 60 MB"
if pgrep -f QtWebEngineProcess >/dev/null; then
    fail "a process of the browser engine runs"
fi

# The help button (319, 32; 50 by 50) shows the installed help text.
read -r left top <<<"$(window_origin "$window")"
xdotool mousemove $((left + 344)) $((top + 57)) click 1
if wait_for_window "$help_title"; then
    help_window="$(wmctrl -l | grep -F "$help_title" | head -n 1 | cut -d ' ' -f 1)"
    copy_help() { xdotool windowactivate --sync "$help_window" key ctrl+a key ctrl+c 2>/dev/null; }
    until_clipboard_holds "Meslek Kodu Arama - Yardım" copy_help ||
        fail "the help window does not show the installed help text"
else
    fail "the help button opens no help window"
fi
import -window root "$work/meslekana-installed-help.png"

status=0
close_program "$title" "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "the installed meslekana ended with $status"

# Beside it, a site's build with the web engine on the same list.
site_program="${MESLEK_SITE_BUILD:-$MESLEK_ROOT/build-site}/meslekana"
if [ -x "$site_program" ]; then
    (cd "$root/share/meslekana" &&
        exec env QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu \
            "$site_program" >"$work/meslekana-site.log" 2>&1) &
    program_pid=$!
    started_at=$SECONDS
    if wait_for_window "$title"; then
        while [ $((SECONDS - started_at)) -lt 10 ]; do sleep 0.5; done
        engine_kb="$(pss_of_tree "$program_pid")"
        echo "install test: a site's build with the web engine, 10 s after start: $((engine_kb / 1024)) MB PSS in $(tree_of "$program_pid" | wc -w) process(es)"
        close_program "$title" "$program_pid" || true
    fi
    program_pid=""
fi

if [ "$failures" -gt 0 ]; then
    echo "install test: $failures failed (screenshot: $screenshot)" >&2
    exit 1
fi
echo "install test: passed (screenshot: $screenshot)"
