#!/usr/bin/env bash
# The Windows cross build and its tests: both presets configured and built, then,
# on one virtual X display with one wine server, their ctest label "wine" (the
# toolkit tests open real dialogs) and each program's dialog driven through a
# whole update.
# Usage: scripts/windows-build.sh   (JOBS=n limits parallel jobs)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine turns Windows names into Unix file names through the locale's character set:
# the tests' names outside ASCII ("Jürgen", "Prüfung.OUC") need a UTF-8 one, which a
# fresh machine or a cron job may not set.
[[ $(locale charmap 2>/dev/null) == UTF-8 ]] || export LC_ALL=C.UTF-8
# A prefix of our own, so a developer's ~/.wine is left alone.
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wineprefix}

if [[ ${1:-} != --tests ]]; then
  for preset in windows64 windows32; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
  done
  # The installer: MorvantideNT and the package tool 64-bit, Morvantide4 32-bit.
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows64/CMakeCache.txt)
  mkdir -p build/windows-installer
  makensis -V2 -DNT="$PWD/build/windows64/apps/MorvantideNT.exe" -DFOUR="$PWD/build/windows32/apps/Morvantide4.exe" \
    -DTOOL="$PWD/build/windows64/tools/package_tool/morvantide-package.exe" -DVERSION="$version" \
    -DOUTFILE="$PWD/build/windows-installer/Morvantide-$version-setup.exe" apps/windows/installer.nsi
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --tests
fi

# From here on the display is this run's own. Wine's desktop process belongs to
# the first wine server and stays with it, so the prefix, the server and every
# test share the display: a server left from elsewhere is ended first.
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -k 2>/dev/null || true
/usr/lib/wine/wineserver -w 2>/dev/null || true
# One server for the whole run, ended at exit: a test that starts while the server
# of the test before shuts down fails with "recvmsg: Connection reset by peer".
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
# wine runs 32-bit programs only where the kernel does. Only the kernel's refusal of
# the 32-bit loader (execve answering ENOEXEC, which bash reports with status 126 as
# "Exec format error") counts as "cannot run": a loader that starts but fails, or a
# 32-bit Windows program that does not run, is a broken wine32 and fails the run.
runs32=yes
loader32=$(LC_ALL=C /usr/lib/wine/wine --version 2>&1) && status=0 || status=$?
if [[ $status -eq 126 && $loader32 == *"Exec format error"* ]]; then
  runs32=no
elif [[ $status -ne 0 ]]; then
  echo "windows-build: wine's 32-bit loader failed (status $status): $loader32" >&2
  exit 1
fi
if [[ $runs32 == yes ]] && ! /usr/lib/wine/wine 'C:\windows\syswow64\cmd.exe' /c exit 0 >/dev/null 2>&1; then
  echo "windows-build: the kernel runs 32-bit programs, but wine did not run a 32-bit cmd.exe (is wine32:i386 whole?)" >&2
  exit 1
fi

start=$(date +%s)
ctest --preset windows64 -j "$jobs"
if [[ $runs32 == yes ]]; then
  ctest --preset windows32 -j "$jobs"
else
  # What needs no wine still runs: the check of what each program carries.
  ctest --test-dir build/windows32 -L cross --output-on-failure --no-tests=error
  echo "windows-build: this kernel cannot run 32-bit programs: the 32-bit build is checked by its compile-time layout assertions and its programs' contents only"
fi
echo "windows-build: wine tests took $(( $(date +%s) - start )) s"

tool=build/windows64/tools/package_tool/morvantide-package.exe
# Screenshots go to build/ (docs/ holds the ones the README shows: copy them there
# to refresh them).
mkdir -p build/windows-screenshots
SCREENSHOT=$PWD/build/windows-screenshots/MorvantideNT-windows.png \
  LONG_NAMES_SCREENSHOT=$PWD/build/windows-screenshots/MorvantideNT-windows-long-names.png \
  scripts/windows-dialog-test.sh build/windows64/apps/MorvantideNT.exe "$tool"
# Morvantide4 ships 32-bit; where 32-bit programs cannot run, its 64-bit build
# (against wine's 64-bit WNASPI32) is driven instead: the same sources.
four=build/windows32/apps/Morvantide4.exe
[[ $runs32 == yes ]] || four=build/windows64/apps/Morvantide4.exe
SCREENSHOT=$PWD/build/windows-screenshots/Morvantide4-windows.png scripts/windows-dialog-test.sh "$four" "$tool"
if [[ $runs32 == yes ]]; then
  # The 64-bit Morvantide4 above stands in only where 32-bit programs cannot run;
  # here both programs' 32-bit builds go through a whole update too.
  scripts/windows-dialog-test.sh build/windows64/apps/Morvantide4.exe "$tool"
  scripts/windows-dialog-test.sh build/windows32/apps/MorvantideNT.exe "$tool"
fi
scripts/windows-installer-test.sh build/windows-installer/Morvantide-*-setup.exe
if [[ $runs32 == yes ]]; then
  echo "windows-build: passed: the 64-bit and 32-bit builds tested under wine (this kernel runs 32-bit programs)"
else
  echo "windows-build: passed: the 64-bit build tested under wine; the 32-bit build only built and checked by its compile-time layout assertions and its programs' contents (this kernel cannot run 32-bit programs)"
fi
