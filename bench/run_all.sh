#!/usr/bin/env bash
# Runs every benchmark program of a build directory.
set -euo pipefail
build="${1:?build directory}"
cd "$build"
for bench in ./*_bench; do
    [ -x "$bench" ] || continue
    echo "== $bench"
    "$bench" --benchmark_counters_tabular=true
done
