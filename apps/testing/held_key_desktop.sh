#!/usr/bin/env bash
# Usage: held_key_desktop.sh PROGRAM PACKAGE-TOOL
# A flash is confirmed only by a deliberate press, on a real X server (Xvfb) under a
# real window manager (openbox): Return held past the keyboard's repeat delay on
# Update Start brings up "Firmware Update Execute ?" but its repeats do not answer
# it (no WRITE BUFFER in the trace); a fresh press does. Held again on the
# completion box, the fresh press closes it and the repeats start no second update.
set -euo pipefail
source "$(dirname "$0")/../../scripts/x-desktop.sh"
program=$1 tool=$2
name=$(basename "$program")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-held-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "held_key_desktop: $name: $*" >&2
  exit 1
}

start_desktop

cd "$scratch"
"$tool" make R4410.OUC --model MX-R4410 --generate 1 >/dev/null
export XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# The id of the visible window whose title matches $1, once there is one.
wait_window() { find_window "$1" || fail "no window \"$1\""; }
# Whether a message box (its caption is the program's name) is showing.
box_showing() { xdotool search --onlyvisible --name "^$name\$" >/dev/null 2>&1; }
windows() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ,; }
writes() { grep -c "WRITE BUFFER" trace.txt || true; }
hold_return() { xdotool keydown Return; sleep 1.5; xdotool keyup Return; }

"$program" --simulate --trace trace.txt R4410.OUC >"$scratch/program.log" 2>&1 &
pid=$!
pids+=("$pid")
wait_window "^$name\$" >/dev/null  # the start-up notice
xdotool key Return
wait_window " for " >/dev/null
sleep 1  # the scan and the version inquiry
# Morvantide4 starts on target ID 0, the emulated disk: its drive is the next ID.
[[ $name != Morvantide4 ]] || { xdotool key shift+Tab shift+Tab shift+Tab Down; sleep 0.5; }

hold_return  # Update Start, then repeats over the question
sleep 0.5
box_showing || fail "the question is gone: the held key answered it ($(writes) WRITE BUFFERs; windows: $(windows))"
[[ $(writes) -eq 0 ]] || fail "$(writes) WRITE BUFFERs sent on a held key"
xdotool key Return  # a fresh press: Yes
for _ in $(seq 300); do [[ $(writes) -eq 32 ]] && box_showing && break; sleep 0.1; done
[[ $(writes) -eq 32 ]] || fail "a fresh press did not answer Yes: $(writes) WRITE BUFFERs"
sleep 0.5

hold_return  # closes the completion box, then repeats over the dialog
sleep 1
box_showing && fail "a box is showing after the completion box closed: Update Start pressed again"
[[ $(writes) -eq 32 ]] || fail "a second download on a held key: $(writes) WRITE BUFFERs"
xdotool key Escape
wait "$pid" || fail "ended with status $?"
echo "held_key_desktop: $name: held Return answered nothing; a fresh press flashed once (32 WRITE BUFFERs)"
