#!/usr/bin/env bash
# Builds the Debian package from debian/ and puts it into dist/: installs the
# build dependencies that debian/control names, builds without the tests and
# the benchmarks, and checks the result with lintian (errors fail the build;
# the notes that stay are explained in docs/hacking.md). The build runs in a
# copy of the source tree under build-deb/, since dpkg-buildpackage writes its
# results beside the tree it builds; build-deb/ keeps the build's leftovers.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages "${PACKAGE_PACKAGES[@]}"
cd "$MESLEK_ROOT"
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends ./

version="$(dpkg-parsechangelog --show-field Version)"
work="$MESLEK_ROOT/build-deb"
source_copy="$work/meslekana-$version"
rm -rf "$work"
mkdir -p "$source_copy"
for entry in "$MESLEK_ROOT"/* "$MESLEK_ROOT"/.[!.]*; do
    case "$(basename "$entry")" in
        build* | dist | obj-* | .git | .cache) continue ;;
    esac
    cp -a "$entry" "$source_copy/"
done

export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-parallel=$(nproc)}"
(cd "$source_copy" && dpkg-buildpackage -us -uc -b)

mkdir -p "$MESLEK_ROOT/dist"
rm -f "$MESLEK_ROOT"/dist/meslekana*_"$version"_*.deb
mv "$work"/*.deb "$MESLEK_ROOT/dist/"
lintian --fail-on error --info "$MESLEK_ROOT"/dist/meslekana*_"$version"_*.deb
echo "Package: $(ls "$MESLEK_ROOT"/dist/meslekana_"$version"_*.deb)"
