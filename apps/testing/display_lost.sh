#!/usr/bin/env bash
# Usage: display_lost.sh PROGRAM PACKAGE-TOOL [DRIVE-KEYS]
# The X server goes away while PROGRAM (--simulate, on Xvfb under openbox, worked
# from the keyboard) waits for its drive to settle after the download: the update
# runs to its end without a window, its history line is written, every piece went
# out once, and the program ends with status 3.
# DRIVE-KEYS choose the emulated MX-R4410 where it is not the selected drive.
set -euo pipefail
program=$1 tool=$2 drive=${3:-}
name=$(basename "$program")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-display-lost-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "display_lost: $*" >&2
  sed 's/^/  program: /' "$scratch/out.log" >&2 || true
  exit 1
}

# The server picks a free display itself: tests run side by side.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$scratch/display")
openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
pids+=($!)

cd "$scratch"
"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 >/dev/null
export XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"

# Waits until a visible window whose title matches $1 exists.
wait_window() {
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return
    sleep 0.1
  done
  fail "no window \"$1\" appeared"
}

"$program" --simulate --trace trace.log R4410.OUC >out.log 2>&1 &
pid=$!
pids+=("$pid")
wait_window "^$name\$"  # the start-up notice
xdotool key Return
wait_window " for "
sleep 0.5
[[ -z $drive ]] || xdotool key $drive
xdotool key Return  # Update Start, with the start argument's package chosen
wait_window "^$name\$"
xdotool key Return  # Yes
# The download takes milliseconds; the settling wait two seconds.
sleep 0.5
kill -KILL "$xvfb"

status=0
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running 10 s after the display went"
wait "$pid" || status=$?
[[ $status -eq 3 ]] || fail "exit status $status, expected 3"
writes=$(grep -c '| WRITE BUFFER' trace.log || true)
[[ $writes -eq 32 ]] || fail "$writes WRITE BUFFERs in the trace, expected 32"
grep -q 'outcome=complete' state/morvantide/history.log || fail "no history line of a complete update"
grep -q 'the display went away during the update' out.log || fail "no word of the lost display"
echo "display lost after the download: status 3, 32 pieces, history line written"
