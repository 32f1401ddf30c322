#!/bin/sh
# Runs inside the qemu VM (busybox sh), started by wine-vm-check.sh: maps the wine
# drive E: to scsi_debug's sg node, runs a Windows program under wine and keeps what
# the kernel saw. Usage: guest.sh NAME PROGRAM.exe [ARG...]
# A 32-bit program needs LOADER=wine (wine64 would hand it to start.exe, which the
# guest does not have).
# With OPERATOR=CAPTION the program's dialog runs on a virtual X display while
# windows-dialog-operator.sh plays its operator (TARGET and PATIENCE pass on to it),
# in the folder RUN_DIR (default /test), with --trace trace.log. Leaves in /out:
# NAME.stdout, NAME.stderr (the operator's as NAME.operator, the trace as
# NAME.trace, the dialog as the operator left it as NAME.xwd), NAME.cdbs (the CDBs
# scsi_debug received, one per line, upper case) and NAME.times (guest seconds).
set -u
name=$1
shift
up() { cut -d' ' -f1 /proc/uptime; }
wine=/test/wine/usr/lib/wine
loader=$wine/${LOADER:-wine64}
export WINEPREFIX=/test/prefix WINESERVER=$wine/wineserver64 HOME=/tmp
export FONTCONFIG_FILE=/test/fonts.conf WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=d}
# Xlib's locale descriptions, and the C library's UTF-8 locale as on the host
export XLOCALEDIR=/test/xlocale LOCPATH=/test/locale LANG=C.UTF-8
# wine's 32-bit loader asks for the 32-bit dynamic loader by its absolute path.
[ -e /lib/ld-linux.so.2 ] || ln -s /test/lib32/ld-linux.so.2 /lib/ld-linux.so.2
export LD_LIBRARY_PATH=/test:/test/lib:/test/lib32
mkdir -p /out
ln -sfn /test "$WINEPREFIX/dosdevices/e:"
ln -sfn "$QSH_SDEBUG_SG" "$WINEPREFIX/dosdevices/e::"
if [ -n "${OPERATOR:-}" ] && [ -z "${DISPLAY:-}" ]; then
  # One virtual display for every dialog run; xkbcomp writes its keymaps to /var/lib/xkb.
  mkdir -p /var/lib/xkb
  Xvfb :7 -screen 0 1024x768x24 -nolisten tcp -xkbdir /test/xkb >/out/xvfb.log 2>&1 &
  export DISPLAY=:7
  waited=0
  until xdotool getdisplaygeometry >/dev/null 2>&1; do
    sleep 1
    waited=$((waited + 1))
    [ $waited -lt 60 ] || { echo "$name: no X display after 60 s" >&2; cat /out/xvfb.log >&2; exit 1; }
  done
fi
# scsi_debug logs every CDB it receives while opts has bit 0 (noise) set
opts=/sys/bus/pseudo/drivers/scsi_debug/opts
dmesg -c >/dev/null
echo 1 >"$opts"
start=$(up)
if [ -n "${OPERATOR:-}" ]; then
  cd "${RUN_DIR:-/test}" || exit 1
  rm -f trace.log
  "$loader" "$@" --trace trace.log >"/out/$name.stdout" 2>"/out/$name.stderr" &
  program=$!
  # the operator's steps on the console as they happen, too
  { SCREENSHOT=/out/$name.xwd bash /test/windows-dialog-operator.sh "$OPERATOR" 2>&1; echo $? >/tmp/operator.rc; } |
    tee "/out/$name.operator"
  operator=$(cat /tmp/operator.rc)
  if [ "$operator" = 0 ]; then
    wait "$program"
    rc=$?
  else
    xwd -root -out "/out/$name.failure.xwd" 2>/dev/null
    kill "$program" 2>/dev/null
    rc=$operator
  fi
  cp trace.log "/out/$name.trace" 2>/dev/null
else
  "$loader" "$@" >"/out/$name.stdout" 2>"/out/$name.stderr"
  rc=$?
fi
end=$(up)
"$WINESERVER" -k 2>/dev/null  # wine's desktop process would linger
"$WINESERVER" -w
stopped=$(up)
echo 0 >"$opts"
dmesg | sed -n 's/.*scsi_debug: tag=[^,]*, cmd //p' | tr 'a-f' 'A-F' | sed 's/ *$//' >"/out/$name.cdbs"
echo "$name: program_s=$(awk "BEGIN{print $end-$start}") server_exit_s=$(awk "BEGIN{print $stopped-$end}") rc=$rc" \
  | tee "/out/$name.times"
exit $rc
