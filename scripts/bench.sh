#!/usr/bin/env bash
# Builds and runs the benchmarks.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}" xvfb xauth
configure_and_build "${MESLEK_NO_SITE[@]}" -DMESLEK_BUILD_TESTS=OFF -DMESLEK_BUILD_BENCH=ON
# The start-up benchmark starts the whole program, web engine included, on a
# display: Xvfb when there is none, without a graphics card.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [ -z "${DISPLAY:-}" ]; then
    export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
        "$MESLEK_ROOT/bench/run_all.sh" "$MESLEK_BUILD"
fi
"$MESLEK_ROOT/bench/run_all.sh" "$MESLEK_BUILD"
