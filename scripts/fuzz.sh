#!/usr/bin/env bash
# Builds the libFuzzer targets in their own clang tree and runs each one for a
# bounded time with a fixed seed. Needs the default build for its seed files.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
FUZZ_BUILD="${MESLEK_FUZZ_BUILD:-$MESLEK_ROOT/build-fuzz}"
SECONDS_EACH="${MESLEK_FUZZ_SECONDS:-12}"

CC=clang-14 CXX=clang++-14 cmake -S "$MESLEK_ROOT" -B "$FUZZ_BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMESLEK_FUZZ=ON
cmake --build "$FUZZ_BUILD"

seeds="$FUZZ_BUILD/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/db"
"$MESLEK_ROOT/fuzz/make_seeds.sh" "$MESLEK_BUILD" "$seeds"

status=0
for target in "$FUZZ_BUILD"/*_fuzz; do
    name="$(basename "$target")"
    corpus="$FUZZ_BUILD/corpus/$name"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    seed_dirs=("$corpus")
    [ -d "$seeds/$name" ] && seed_dirs+=("$seeds/$name")
    [ -d "$MESLEK_ROOT/fuzz/seeds/$name" ] && seed_dirs+=("$MESLEK_ROOT/fuzz/seeds/$name")
    echo "== $name (${SECONDS_EACH}s)"
    if ! (cd "$FUZZ_BUILD" && ASAN_OPTIONS=detect_leaks=1 "$target" -seed=1 \
            -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -print_final_stats=0 \
            "${seed_dirs[@]}" 2>"$FUZZ_BUILD/$name.log"); then
        echo "$name FAILED; log: $FUZZ_BUILD/$name.log"
        tail -50 "$FUZZ_BUILD/$name.log"
        status=1
    else
        grep -E '^Done|#[0-9]+.*DONE' "$FUZZ_BUILD/$name.log" | tail -1 || true
    fi
done
exit $status
