#!/usr/bin/env bash
# Builds the Debian source and binary packages the Debian way (dpkg-buildpackage -us -uc)
# from a copy of this tree in build/package/, so that neither the tree nor its parent
# folder receives build output. The .dsc and its .tar.xz, the .deb, the .changes and the
# .buildinfo land in build/package/.
# Usage: scripts/build-package.sh   (DEB_BUILD_OPTIONS passes through, e.g. nocheck)
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(dpkg-parsechangelog -S Version)
out=build/package
src=$out/morvantide-$version
rm -rf "$src"
mkdir -p "$src"
# The tree as it is, without the build folders and the repository itself.
tar --exclude=./build --exclude=./.git --exclude='./obj-*' -cf - . | tar -xf - -C "$src"
rm -f "$out"/morvantide_"$version"{_*.deb,_*.changes,_*.buildinfo,.dsc,.tar.xz}
start=$(date +%s)
(cd "$src" && dpkg-buildpackage -us -uc)
echo "build-package: $(ls "$out"/morvantide_"$version"_*.deb) in $(($(date +%s) - start)) s"
