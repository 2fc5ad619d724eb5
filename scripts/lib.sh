# Shared by the build scripts: installs missing Debian packages and configures
# and builds the default build tree.

MESLEK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MESLEK_BUILD="${MESLEK_BUILD:-$MESLEK_ROOT/build}"

BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-webengine-dev libgl-dev
    libglib2.0-dev libicu-dev mdbtools-dev qt6-translations-l10n fonts-wine fonts-liberation)
TEST_PACKAGES=(googletest libgtest-dev mdbtools clang-14 libclang-rt-14-dev xvfb xauth)
BENCH_PACKAGES=(libbenchmark-dev mdbtools)
RUN_PACKAGES=(xvfb xauth matchbox-window-manager wmctrl imagemagick x11-utils xdg-utils)
# The screen-reader check (scripts/atspi-test.sh): a session bus, the accessibility bus, pyatspi.
ATSPI_PACKAGES=(dbus at-spi2-core python3-pyatspi xdotool xvfb xauth x11-utils)

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
