#!/bin/sh
# Runs inside the qemu VM (busybox sh), started by wine-vm-check.sh: maps the wine
# drive E: to scsi_debug's sg node, runs a Windows program under wine and keeps what
# the kernel saw. Usage: guest.sh NAME PROGRAM.exe [ARG...]
# With OPERATOR="DRIVER.exe ARG..." the program runs in the background while the
# driver plays its operator. Leaves in /out: NAME.stdout, NAME.stderr (the
# driver's as NAME.operator), NAME.cdbs (the CDBs scsi_debug received, one per
# line, upper case) and NAME.times (guest seconds).
set -u
name=$1
shift
up() { cut -d' ' -f1 /proc/uptime; }
wine=/test/wine/usr/lib/wine
export WINEPREFIX=/test/prefix WINESERVER=$wine/wineserver64 HOME=/tmp
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
mkdir -p /out
ln -sfn /test "$WINEPREFIX/dosdevices/e:"
ln -sfn "$QSH_SDEBUG_SG" "$WINEPREFIX/dosdevices/e::"
# scsi_debug logs every CDB it receives while opts has bit 0 (noise) set
opts=/sys/bus/pseudo/drivers/scsi_debug/opts
dmesg -c >/dev/null
echo 1 >"$opts"
start=$(up)
if [ -n "${OPERATOR:-}" ]; then
  # The desktop process first, on its own, with its log: a window made while there
  # is no desktop starts another desktop process each time (in this guest they
  # piled up until memory ran out). By its Windows path: a bare name would go
  # through start.exe, which the guest does not have.
  WINEDEBUG=+explorer "$wine/wine64" 'C:\windows\system32\explorer.exe' /desktop >/dev/null 2>"/out/$name.desktop-log" &
  waited=0
  until grep -q "desktop message loop starting" "/out/$name.desktop-log"; do
    sleep 1
    waited=$((waited + 1))
    [ $waited -lt 300 ] || { echo "$name: no desktop after 300 s" >&2; break; }
  done
  desktop=$(up)
  echo "$name: desktop_s=$(awk "BEGIN{print $desktop-$start}")" | tee "/out/$name.desktop"
  "$wine/wine64" "$@" >"/out/$name.stdout" 2>"/out/$name.stderr" &
  program=$!
  # shellcheck disable=SC2086 # the driver and its arguments
  "$wine/wine64" $OPERATOR >"/out/$name.operator" 2>&1
  operator=$?
  wait "$program"
  rc=$?
  [ "$operator" = 0 ] || rc=$operator
else
  "$wine/wine64" "$@" >"/out/$name.stdout" 2>"/out/$name.stderr"
  rc=$?
fi
end=$(up)
[ -z "${OPERATOR:-}" ] || "$WINESERVER" -k  # the desktop would linger
"$WINESERVER" -w
stopped=$(up)
echo 0 >"$opts"
dmesg | sed -n 's/.*scsi_debug: tag=[^,]*, cmd //p' | tr 'a-f' 'A-F' | sed 's/ *$//' >"/out/$name.cdbs"
echo "$name: program_s=$(awk "BEGIN{print $end-$start}") server_exit_s=$(awk "BEGIN{print $stopped-$end}") rc=$rc" \
  | tee "/out/$name.times"
exit $rc
