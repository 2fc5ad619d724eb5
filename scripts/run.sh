#!/usr/bin/env bash
# Builds the program and lists the bundled sample database.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}"
configure_and_build -DMESLEK_BUILD_TESTS=OFF -DMESLEK_BUILD_BENCH=OFF
cd "$MESLEK_BUILD"
./meslek-ara
