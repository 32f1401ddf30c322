#!/bin/sh
# Runs inside the qemu VM (busybox sh), started by wine-vm-check.sh -u: every
# 32-bit test program in /test/tests under wine's 32-bit loader, one server kept up
# for all of them, on the virtual display :7 (guest.sh's, or started here). Leaves /out/tests.txt, one line per program: NAME rc=N seconds=S, and each
# program's output as /out/tests/NAME.txt.
# Usage: guest-tests.sh SOURCE [LIMIT]
#   SOURCE  the source folder the programs were built from: the fuzz corpus (in
#           /test/corpus) is found there, as on the host
#   LIMIT   seconds per program (default 240)
set -u
limit=${2:-240}
mkdir -p "$1/tools/fuzz"
ln -sfn /test/corpus "$1/tools/fuzz/corpus"
up() { cut -d' ' -f1 /proc/uptime; }
wine=/test/wine/usr/lib/wine
export WINEPREFIX=/test/prefix WINESERVER=$wine/wineserver64 HOME=/tmp
export FONTCONFIG_FILE=/test/fonts.conf WINEDEBUG=${WINEDEBUG:--all}
# Xlib's locale descriptions, and the C library's UTF-8 locale as on the host: in
# the guest's default locale wine cannot name a file outside ASCII
export XLOCALEDIR=/test/xlocale LOCPATH=/test/locale LANG=C.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=d}
[ -e /lib/ld-linux.so.2 ] || ln -s /test/lib32/ld-linux.so.2 /lib/ld-linux.so.2
export LD_LIBRARY_PATH=/test:/test/lib:/test/lib32
mkdir -p /out/tests /tmp/tests
# what wineboot makes on a real prefix and the tests rely on: drive Z: for Unix
# paths (the working folders, /tmp) and the user's temporary folder
ln -sfn / "$WINEPREFIX/dosdevices/z:"
mkdir -p "$WINEPREFIX/drive_c/users/$(id -un)/Temp"
if [ ! -e /tmp/.X11-unix/X7 ]; then
  mkdir -p /var/lib/xkb
  Xvfb :7 -screen 0 1024x768x24 -nolisten tcp -xkbdir /test/xkb >/out/xvfb-tests.log 2>&1 &
  sleep 5
fi
export DISPLAY=:7
: >/out/tests.txt
"$WINESERVER" -p
for exe in /test/tests/*.exe; do
  name=$(basename "$exe" .exe)
  # each program in a folder of its own, as ctest runs it in its build folder
  mkdir -p "/tmp/tests/$name"
  cd "/tmp/tests/$name" || exit 1
  start=$(up)
  timeout -s KILL "$limit" "$wine/wine" "$exe" --gtest_brief=1 >"/out/tests/$name.txt" 2>&1
  rc=$?
  echo "$name rc=$rc seconds=$(awk "BEGIN{print $(up)-$start}")" | tee -a /out/tests.txt
done
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w
exit 0
