#!/usr/bin/env bash
# Builds the program and its tests in their own tree with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole test suite there: a use after
# free, a leak or undefined behaviour fails the run. The reader process and the
# programs the tests start are sanitized too. The tree is built for a maker's
# site, so that the suite also runs with a site compiled in (the main tree has
# none); the web engine stays out: it is someone else's large program, and its
# own processes are not instrumented.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
SANITIZE_BUILD="${MESLEK_SANITIZE_BUILD:-$MESLEK_ROOT/build-asan}"
FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=gcc CXX=g++ cmake -S "$MESLEK_ROOT" -B "$SANITIZE_BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMESLEK_BUILD_TESTS=ON -DMESLEK_BUILD_BENCH=OFF \
    "${MESLEK_TEST_SITE[@]}" -DMESLEK_WEB_ENGINE=OFF \
    -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$SANITIZE_BUILD" -j2

# Leaks inside fontconfig and GLib (caches they keep for the life of the
# process) are theirs, not ours; everything else fails the run.
#
# Every report also goes to a file: the reader process writes its standard
# error to /dev/null, and a reader that a sanitizer stops on a damaged file
# looks to its caller like any reader that broke down on one, which the
# damaged-file tests accept. Its report in the folder below fails the run.
REPORTS="$SANITIZE_BUILD/sanitizer-reports"
rm -rf "$REPORTS"
mkdir -p "$REPORTS"
# Tests run some programs as nobody (permission checks): they report here too.
chmod 1777 "$REPORTS"
export ASAN_OPTIONS="detect_leaks=1:log_path=$REPORTS/asan"
export LSAN_OPTIONS="suppressions=$MESLEK_ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$REPORTS/ubsan"
status=0
(cd "$SANITIZE_BUILD" && ctest --output-on-failure -j2) || status=$?
if compgen -G "$REPORTS/*" > /dev/null; then
    echo "Sanitizer reports:" >&2
    for report in "$REPORTS"/*; do
        echo "== $report" >&2
        cat "$report" >&2
    done
    status=1
fi
exit "$status"
