#!/usr/bin/env bash
# Plays the operator of a Windows program's dialog that is already running under
# wine on the display $DISPLAY, with xdotool: Enter on the start-up notice, the
# package chosen in the file list, Update Start, Y to confirm, Enter on the
# completion box, and Escape once the program has read the drive's version again.
# The program writes its trace to ./trace.log. Used on the host
# (windows-dialog-test.sh) and inside the qemu VM (tools/wine_vm_check).
# Usage: windows-dialog-operator.sh NAME   (NAME: the program's caption)
#   TARGET=ID   Morvantide4: the SCSI ID of the drive in the device selector (2)
#   PATIENCE=N  every wait N times as long (1; a VM without KVM needs more)
set -euo pipefail
name=$1
patience=${PATIENCE:-1}
target=${TARGET:-2}

say() { echo "windows-dialog-operator: $name: $*" >&2; }
fail() {
  echo "windows-dialog-operator: $name: $*" >&2
  exit 1
}
# The newest visible window whose title matches, waited for up to $2 s (default 30).
window() {
  local id end=$((SECONDS + ${2:-30} * patience))
  while ((SECONDS < end)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
# Keys to a window, with the input focus given to it first.
keys() {
  local id=$1
  shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.3
  xdotool key --delay 150 "$@"
}
# Waits until the trace holds `count` lines (up to 60 s).
trace_lines() {
  local end=$((SECONDS + 60 * patience))
  while ((SECONDS < end)); do
    [[ -f trace.log && $(wc -l <trace.log) -ge $1 ]] && return 0
    sleep 0.2
  done
  return 1
}
# Waits until the trace has not grown for 2 s (a slow machine: 2 * PATIENCE s).
trace_settles() {
  local before=-1 now
  for _ in $(seq 30); do
    now=$(wc -l <trace.log)
    [[ $now -eq $before ]] && return 0
    before=$now
    sleep $((2 * patience))
  done
  return 1
}

notice=$(window "^$name\$") || fail "no start-up notice"
say "start-up notice after ${SECONDS} s"
keys "$notice" Return
main=$(window "for KESTREL") || fail "no main dialog"
say "main dialog after ${SECONDS} s"
# Initialisation is over once the firmware version of the selected drive was asked for.
trace_lines 1 || fail "no command reached the drive"
sleep "$patience"
if [[ $name == Morvantide4* ]]; then
  # From the file list back to the device selector (past the firmware version and
  # Update Start), the drive's ID, and forward to the file list again. One key at a
  # time, with time for the inquiry that a new selection sends: keys typed during a
  # pumped wait reach the focused control, as on Windows, and do not move the focus.
  for key in shift+Tab shift+Tab shift+Tab "$target"; do keys "$main" "$key"; sleep "$patience"; done
  sleep $((3 * patience))
  for key in Tab Tab Tab; do keys "$main" "$key"; sleep "$patience"; done
fi
keys "$main" Down Return   # the package in the file list, then the default button
confirm=$(window "^$name\$") || fail "no confirmation"
say "question after ${SECONDS} s"
keys "$confirm" y
# The download runs (a loaded machine makes it slow); the completion box has the same
# caption as the question.
end=$((SECONDS + 120 * patience))
while ((SECONDS < end)); do
  xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | grep -qx "$confirm" || break
  sleep 0.2
done
done_box=$(window "^$name\$" 120) || fail "no completion box"
say "completion box after ${SECONDS} s"
sleep 2
keys "$done_box" Return
# After the box the program reads the drive's version again; until that is over,
# keys reach the focused control only (as on Windows), so Escape waits for it.
trace_settles || fail "the drive is still being asked after the completion box"
# The dialog as the operator leaves it: the package chosen, "Firmware Update Complete"
# in the status line.
# (SCREENSHOT=FILE.xwd: in xwd's format, where ImageMagick is not at hand)
case ${SCREENSHOT:-} in
  '') ;;
  *.xwd) xwd -id "$main" -out "$SCREENSHOT" ;;
  *) import -window "$main" "$SCREENSHOT" ;;
esac
keys "$main" Escape
