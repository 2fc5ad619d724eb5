#!/usr/bin/env bash
# The layering check on small trees of its own: a clean one passes; an include
# of a folder not linked, one reached only through another folder, and a
# circle of links each fail.
set -euo pipefail
check="$1"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
unit() {  # folder, links...
    mkdir -p "$tree/$1"
    local folder="$1"
    shift
    printf 'add_library(meslek_%s STATIC x.cpp)\ntarget_link_libraries(meslek_%s PUBLIC %s)\n' \
        "$folder" "$folder" "$*" >"$tree/$folder/CMakeLists.txt"
    : >"$tree/$folder/x.cpp"
}
expect() {  # status, what
    local status=0
    "$check" "$tree" >/dev/null || status=$?
    [ "$status" -eq "$1" ] || { echo "check_layers: $2: status $status, expected $1"; exit 1; }
}
unit low Qt6::Core
unit mid meslek_low
unit top meslek_mid
echo '#include "low/a.h"' >"$tree/mid/x.cpp"
echo '#include "mid/a.h"' >"$tree/top/x.cpp"
expect 0 "a clean tree"
echo '#include "top/a.h"' >>"$tree/low/x.cpp"
expect 1 "an include upwards"
: >"$tree/low/x.cpp"
echo '#include "low/a.h"' >>"$tree/top/x.cpp"
expect 1 "a folder reached only through another"
: >"$tree/top/x.cpp"
unit low meslek_top
expect 1 "a circle of links"
echo "check_layers test passed"
