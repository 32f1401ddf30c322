#!/usr/bin/env bash
# The Windows cross build and its tests: both presets configured and built, their
# ctest label "wine" run under wine on a virtual X display (the toolkit tests open
# real dialogs), then each program's dialog driven through a whole update.
# Usage: scripts/windows-build.sh   (JOBS=n limits parallel jobs)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix of our own, so a developer's ~/.wine is left alone.
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wineprefix}
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
# One wine server for the whole run, ended at exit: a test that starts while the
# server of the test before is shutting down fails with "recvmsg: Connection reset
# by peer".
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
# wine runs 32-bit programs only where the kernel does.
runs32=yes
/usr/lib/wine/wine --version >/dev/null 2>&1 || runs32=no

for preset in windows64 windows32; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
done
start=$(date +%s)
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset windows64 -j "$jobs"
if [[ $runs32 == yes ]]; then
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset windows32 -j "$jobs"
else
  echo "windows-build: this kernel cannot run 32-bit programs: the 32-bit build is checked by its compile-time layout assertions only"
fi
echo "windows-build: wine tests took $(( $(date +%s) - start )) s"

tool=build/windows64/tools/package_tool/morvantide-package.exe
# Screenshots go to build/ (docs/ holds the ones the README shows: copy them there
# to refresh them).
mkdir -p build/windows-screenshots
SCREENSHOT=$PWD/build/windows-screenshots/MorvantideNT-windows.png scripts/windows-dialog-test.sh build/windows64/apps/MorvantideNT.exe "$tool"
# Morvantide4 ships 32-bit; where 32-bit programs cannot run, its 64-bit build
# (against wine's 64-bit WNASPI32) is driven instead: the same sources.
four=build/windows32/apps/Morvantide4.exe
[[ $runs32 == yes ]] || four=build/windows64/apps/Morvantide4.exe
SCREENSHOT=$PWD/build/windows-screenshots/Morvantide4-windows.png scripts/windows-dialog-test.sh "$four" "$tool"
