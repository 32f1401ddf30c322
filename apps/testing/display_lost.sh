#!/usr/bin/env bash
# Usage: display_lost.sh MOMENT PROGRAM PACKAGE-TOOL [DRIVE-KEYS]
# The X server goes away while PROGRAM (--simulate, on Xvfb under openbox, worked
# from the keyboard) updates its drive: with MOMENT "settle" while it waits for
# the drive to settle after the download, with "download" after a few of the 32
# pieces (every emulated command then takes 100 ms). Either way the update runs
# to its end without a window, its history line is written, every piece went
# out once, and the program ends with status 3.
# DRIVE-KEYS choose the emulated MX-R4410 where it is not the selected drive.
set -euo pipefail
source "$(dirname "$0")/../../scripts/x-desktop.sh"
moment=$1 program=$2 tool=$3 drive=${4:-}
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
  echo "  $(wc -l <"$scratch/trace.log" 2>/dev/null) commands in the trace" >&2
  echo "  X server on $DISPLAY: $(kill -0 "$xvfb" 2>/dev/null && echo running || echo gone)" >&2
  sed 's/^/  xvfb: /' "$scratch/xvfb.log" "$scratch/openbox.log" >&2 || true
  exit 1
}

start_desktop

cd "$scratch"
"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 >/dev/null
export XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"

# Waits until a visible window whose title matches $1 exists.
wait_window() { find_window "$1" >/dev/null || fail "no window \"$1\" appeared"; }

[[ $moment == download ]] && export MORVANTIDE_SIMULATE_DELAY_MS=100
"$program" --simulate --trace trace.log R4410.OUC >out.log 2>&1 &
pid=$!
pids+=("$pid")
wait_window "^$name\$"  # the start-up notice
xdotool key Return
# Waits until no command has gone out for half a second: the drive chosen has
# been read (commands can take 100 ms each here).
wait_idle() {
  local before=-1 now
  for _ in $(seq 100); do
    now=$(wc -l <trace.log 2>/dev/null || echo 0)
    [[ $now == "$before" ]] && return
    before=$now
    sleep 0.5
  done
  fail "the commands did not stop"
}
wait_window " for "
wait_idle
[[ -z $drive ]] || { xdotool key $drive; wait_idle; }
xdotool key Return  # Update Start, with the start argument's package chosen
wait_window "^$name\$"
xdotool key Return  # Yes
# The server dies as a crashed one would, and its lock and socket go with it: a
# server that starts later must not take a dead server's lock for a free display
# while another one takes it too.
lose_display() {
  kill -KILL "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  rm -f "/tmp/.X${DISPLAY#:}-lock" "/tmp/.X11-unix/X${DISPLAY#:}"
}
pieces_sent() { grep -c '| WRITE BUFFER' trace.log 2>/dev/null || true; }
if [[ $moment == download ]]; then
  for _ in $(seq 300); do (($(pieces_sent) >= 3)) && break; sleep 0.1; done
  lose_display
  at_loss=$(pieces_sent)
  ((at_loss >= 3 && at_loss < 32)) || fail "$at_loss pieces out when the display went, expected 3 to 31"
else
  # The download takes milliseconds; the settling wait two seconds.
  sleep 0.5
  lose_display
fi

status=0
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running 30 s after the display went"
wait "$pid" || status=$?
[[ $status -eq 3 ]] || fail "exit status $status, expected 3"
writes=$(pieces_sent)
[[ $writes -eq 32 ]] || fail "$writes WRITE BUFFERs in the trace, expected 32"
grep -q 'outcome=complete' state/morvantide/history.log || fail "no history line of a complete update"
grep -q 'the display went away during the update' out.log || fail "no word of the lost display"
if [[ $moment == download ]]; then
  echo "display lost after $at_loss of 32 pieces: status 3, 32 pieces, history line written"
else
  echo "display lost after the download: status 3, 32 pieces, history line written"
fi
