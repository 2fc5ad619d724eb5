#!/usr/bin/env bash
# Installs what is missing, checks that the folders of src/ stand in floors,
# builds everything without a maker's site (the default), runs every test,
# checks the window through the accessibility bus (scripts/atspi-test.sh) and
# the desktop's search (scripts/desktop-search-test.sh), builds the program for
# a site with the web engine and runs the engine's tests (scripts/site-test.sh),
# checks the installed program (scripts/install-test.sh), runs every test again
# in a build for a site with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the fuzz targets.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${ENGINE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" \
    "${BENCH_PACKAGES[@]}" "${ATSPI_PACKAGES[@]}"
# The folders of src/ stand in floors: every #include within what its folder links.
/usr/bin/python3 "$MESLEK_ROOT/tools/check_layers.py" "$MESLEK_ROOT"
configure_and_build "${MESLEK_NO_SITE[@]}" -DMESLEK_BUILD_TESTS=ON -DMESLEK_BUILD_BENCH=ON
(cd "$MESLEK_BUILD" && ctest --output-on-failure -j2)
"$MESLEK_ROOT/scripts/atspi-test.sh"
"$MESLEK_ROOT/scripts/desktop-search-test.sh"
"$MESLEK_ROOT/scripts/site-test.sh"
"$MESLEK_ROOT/scripts/install-test.sh"
"$MESLEK_ROOT/scripts/sanitize.sh"
"$MESLEK_ROOT/scripts/fuzz.sh"
