# Shared by the build scripts: installs missing Debian packages and configures
# and builds the default build tree.

MESLEK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MESLEK_BUILD="${MESLEK_BUILD:-$MESLEK_ROOT/build}"

BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
    libglib2.0-dev libicu-dev mdbtools-dev libquazip1-qt6-dev libxxhash-dev python3-fonttools qt6-translations-l10n fonts-wine
    fonts-liberation)
# A build for a maker's site serves its web panel with Qt WebEngine; the default
# build (no site) needs none of it.
ENGINE_PACKAGES=(qt6-webengine-dev)
# The default tree is built without a maker's site, whatever its cache held.
MESLEK_NO_SITE=(-DMESLEK_SITE_HOST= -DMESLEK_SITE_DOMAIN= -DMESLEK_SITE_NOTICE=)
# The site of the trees that test a maker's build: reserved names that resolve
# nowhere.
MESLEK_TEST_SITE=(-DMESLEK_SITE_HOST=www.tresvoli.example -DMESLEK_SITE_DOMAIN=tresvoli.example
    "-DMESLEK_SITE_NOTICE=www.tresvoli.example  -  bilgi@tresvoli.example")
TEST_PACKAGES=(googletest libgtest-dev mdbtools clang-14 libclang-rt-14-dev xvfb xauth dbus)
BENCH_PACKAGES=(libbenchmark-dev mdbtools xlsx2csv)
RUN_PACKAGES=(xvfb xauth matchbox-window-manager wmctrl imagemagick x11-utils xdg-utils)
# The screen-reader checks (scripts/atspi-test.sh, scripts/desktop-search-test.sh): a session
# bus, the accessibility bus, pyatspi, gdbus.
ATSPI_PACKAGES=(dbus at-spi2-core python3-pyatspi xdotool xvfb xauth x11-utils libglib2.0-bin
    matchbox-window-manager procps)
# The check of the installed program: the desktop file's and the metadata's
# validators, the manual pages, and the program under Xvfb driven by clicks.
INSTALL_TEST_PACKAGES=("${RUN_PACKAGES[@]}" desktop-file-utils appstream man-db xdotool xclip dbus
    libglib2.0-bin)
# scripts/package.sh: the rest comes from debian/control through apt-get build-dep.
PACKAGE_PACKAGES=(dpkg-dev debhelper lintian)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

configure_and_build() {
    cmake -S "$MESLEK_ROOT" -B "$MESLEK_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$MESLEK_BUILD"
}

# Starts Xvfb on a free display and exports DISPLAY; fails when it does not
# come up within 10 seconds. stop_headless_display ends it.
start_xvfb() {
    local number=99
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    export DISPLAY=":$number"
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    HEADLESS_XVFB_PID=$!
    HEADLESS_WM_PID=""
    for _ in $(seq 100); do
        # Our server, not one that held the display a moment ago.
        kill -0 "$HEADLESS_XVFB_PID" 2>/dev/null || break
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}

# Starts Xvfb (start_xvfb) with a small window manager.
start_headless_display() {
    start_xvfb || return 1
    matchbox-window-manager -use_titlebar yes >/dev/null 2>&1 &
    HEADLESS_WM_PID=$!
}

# Ends the window manager and Xvfb and waits (up to 5 seconds) until both are
# gone: a server still dying when the next script starts its own on the same
# display number would be the one that script talks to, and then vanish.
stop_headless_display() {
    local pid
    for pid in "${HEADLESS_WM_PID:-}" "${HEADLESS_XVFB_PID:-}"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null || continue
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
    done
}

# Waits up to 30 seconds for a window whose title holds $1.
wait_for_window() {
    for _ in $(seq 150); do
        wmctrl -l 2>/dev/null | grep -qF "$1" && return 0
        sleep 0.2
    done
    return 1
}

# Waits up to $2 seconds for process $1 (a child of this shell) to end, then
# kills it. Returns the process's exit status.
wait_for_exit() {
    local status=0
    for _ in $(seq $(($2 * 5))); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$1" 2>/dev/null; then
        echo "process $1 did not end within $2 s; killed" >&2
        kill -KILL "$1" 2>/dev/null || true
    fi
    wait "$1" || status=$?
    return "$status"
}

# Asks the window titled $1 to close and waits up to 10 seconds for process $2
# to end. Returns the process's exit status.
close_program() {
    wmctrl -c "$1" || kill -TERM "$2"
    wait_for_exit "$2" 10
}

# Processes a headless check started, ended in reverse order by stop_started.
HEADLESS_PIDS=()

# Ends the processes in HEADLESS_PIDS, last started first, then the display.
stop_started() {
    local i
    for ((i = ${#HEADLESS_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${HEADLESS_PIDS[i]}" 2>/dev/null || true
        wait_for_exit "${HEADLESS_PIDS[i]}" 5 2>/dev/null || true
    done
    stop_headless_display
}

# Asking for the name's owner does not start a second launcher, as a call to the bus would.
accessibility_bus_is_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q "boolean true"
}

# Starts the accessibility bus in this session bus (its launcher joins
# HEADLESS_PIDS) and waits up to 10 seconds for it; fails when it does not come up.
start_accessibility_bus() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    HEADLESS_PIDS+=($!)
    local _
    for _ in $(seq 100); do
        accessibility_bus_is_up && return 0
        sleep 0.1
    done
    return 1
}
