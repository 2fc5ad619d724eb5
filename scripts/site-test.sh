#!/usr/bin/env bash
# Builds the program for a maker's site in its own tree ($MESLEK_SITE_BUILD,
# build-site/ by default) and runs the tests of the web engine's panel there:
# the panel that loads the site's pages, stops, and keeps the window's native
# window, and the start-up check that ends the program when the engine cannot
# start. The engine's tests run under their own Xvfb. The rest of a site's
# behaviour (its addresses, the closing page) is tested in every tree, and the
# sanitizer tree is built with a site.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${ENGINE_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
SITE_BUILD="${MESLEK_SITE_BUILD:-$MESLEK_ROOT/build-site}"

cmake -S "$MESLEK_ROOT" -B "$SITE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${MESLEK_TEST_SITE[@]}" -DMESLEK_BUILD_TESTS=ON -DMESLEK_BUILD_BENCH=OFF
cmake --build "$SITE_BUILD" --target meslekana meslek_engine_tests bundled_database help_text
(cd "$SITE_BUILD" && ctest --output-on-failure -R '^(EngineWebPanelTest|WebEngineStartTest)\.')
