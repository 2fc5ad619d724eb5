#!/usr/bin/env bash
# The layering check on small trees of its own: a clean one passes; each kind
# of breach fails on its own.
set -euo pipefail
check="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

floors() {  # the folders of src/ from the bottom, as the build and its comment name them
    {
        echo "# From the bottom:"
        for folder in "$@"; do echo "#   $folder  the $folder floor"; done
        echo "foreach(folder $*)"
        echo "    add_subdirectory(\${folder})"
        echo "endforeach()"
    } >"$root/src/CMakeLists.txt"
}
unit() {  # folder under src/, links...
    mkdir -p "$root/src/$1"
    local folder="$1"
    shift
    {
        echo "file(GLOB SOURCES CONFIGURE_DEPENDS \${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)"
        echo "add_library(meslek_$folder STATIC \${SOURCES})"
        echo "target_link_libraries(meslek_$folder PUBLIC $*)"
    } >"$root/src/$folder/CMakeLists.txt"
    touch "$root/src/$folder/x.cpp" "$root/src/$folder/a.h"
}
expect() {  # status, what
    local status=0 output
    output="$("$check" "$root")" || status=$?
    [ "$status" -eq "$1" ] || {
        echo "check_layers: $2: status $status, expected $1"
        echo "$output"
        exit 1
    }
}

mkdir -p "$root/src" "$root/tools/tool"
floors low mid top
unit low Qt6::Core
unit mid meslek_low
unit top meslek_mid
echo '#include "low/a.h"' >"$root/src/mid/x.cpp"
echo '#include "mid/a.h"' >"$root/src/top/x.cpp"
printf 'add_executable(tool tool/main.cpp)\ntarget_link_libraries(tool PRIVATE meslek_top)\n' \
    >"$root/tools/CMakeLists.txt"
echo '#include "top/a.h"' >"$root/tools/tool/main.cpp"
expect 0 "a clean tree"

echo '#include "top/a.h"' >>"$root/src/low/x.cpp"
expect 1 "an include upwards"
: >"$root/src/low/x.cpp"

echo '#include "low/a.h"' >>"$root/src/top/x.cpp"
expect 1 "a folder reached only through another"
echo '#include "mid/a.h"' >"$root/src/top/x.cpp"

unit low meslek_top
echo '#include "top/a.h"' >"$root/src/low/x.cpp"
expect 1 "a circle of links"
unit low Qt6::Core
: >"$root/src/low/x.cpp"

unit top meslek_mid meslek_low
expect 1 "a link that no include uses"
unit top meslek_mid

floors mid low top
expect 1 "a link against the documented order"
floors low mid top

sed -i 's/#   mid /#   middle /' "$root/src/CMakeLists.txt"
expect 1 "a comment that names other floors than the build"
floors low mid top

echo '#include "low/a.h"' >>"$root/tools/tool/main.cpp"
expect 1 "a tool that reaches a floor through another"
echo '#include "top/a.h"' >"$root/tools/tool/main.cpp"

mkdir -p "$root/tools/helper"
printf 'add_library(helper STATIC helper/h.cpp)\n' >>"$root/tools/CMakeLists.txt"
: >"$root/tools/helper/h.cpp"
: >"$root/tools/helper/h.h"
unit top meslek_mid helper
echo '#include "helper/h.h"' >>"$root/src/top/x.cpp"
expect 1 "shipped code that uses tools/"

echo "check_layers test passed"
