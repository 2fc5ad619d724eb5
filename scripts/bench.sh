#!/usr/bin/env bash
# Builds and runs the benchmarks.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
configure_and_build -DMESLEK_BUILD_TESTS=OFF -DMESLEK_BUILD_BENCH=ON
"$MESLEK_ROOT/bench/run_all.sh" "$MESLEK_BUILD"
