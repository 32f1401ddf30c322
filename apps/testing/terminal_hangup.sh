#!/usr/bin/env bash
# Usage: terminal_hangup.sh PROGRAM PACKAGE-TOOL [DRIVE-KEYS]
# The terminal hangs up (its tmux server is killed) while PROGRAM (--simulate
# --terminal) waits for its drive to settle after the download: the completion box
# takes the terminal as gone instead of waiting for keys, the history line is
# written, every piece went out once, and the program ends with status 3. (The
# kernel sends SIGHUP to the session leader, the shell here, which ignores it and
# stays to tell the status; so this is the hang-up alone, without the signal.)
# DRIVE-KEYS (tmux key names) choose the emulated MX-R4410 where it is not selected.
set -euo pipefail
program=$1 tool=$2 drive=${3:-}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-hangup-XXXXXX")
tmux=(tmux -S "$scratch/tmux.sock" -f /dev/null)
cleanup() {
  "${tmux[@]}" kill-server 2>/dev/null || true
  [[ -s $scratch/pid ]] && kill -KILL "$(cat "$scratch/pid")" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "terminal_hangup: $*" >&2
  exit 1
}
# Waits until the pane shows $1.
wait_screen() {
  for _ in $(seq 300); do
    "${tmux[@]}" capture-pane -p 2>/dev/null | grep -qF -- "$1" && return
    sleep 0.05
  done
  fail "the screen never showed \"$1\""
}

cd "$scratch"
"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 >/dev/null
# The shell outlives the hang-up to tell how the program ended.
script="trap '' HUP; env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LANG=C.UTF-8 \
XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state \
'$program' --simulate --terminal --trace trace.log R4410.OUC & echo \$! > pid; wait \$!; echo \$? > status"
"${tmux[@]}" new-session -d -x 80 -y 24 -c "$scratch" sh -c "$script"
wait_screen "- "  # the start-up notice
sleep 0.3
"${tmux[@]}" send-keys Enter
wait_screen "R4410.OUC"
sleep 0.5
[[ -z $drive ]] || { "${tmux[@]}" send-keys $drive; sleep 0.5; }
"${tmux[@]}" send-keys Enter  # Update Start, with the start argument's package chosen
wait_screen "Firmware Update Execute ?"
"${tmux[@]}" send-keys Enter  # Yes
wait_screen "Firmware Update Executing"
"${tmux[@]}" kill-server  # the terminal hangs up during the settling wait

for _ in $(seq 150); do [[ -s status ]] && break; sleep 0.1; done
[[ -s status ]] || fail "still running 15 s after the terminal hung up"
status=$(cat status)
[[ $status -eq 3 ]] || fail "exit status $status, expected 3"
writes=$(grep -c '| WRITE BUFFER' trace.log || true)
[[ $writes -eq 32 ]] || fail "$writes WRITE BUFFERs in the trace, expected 32"
grep -q 'outcome=complete' state/morvantide/history.log || fail "no history line of a complete update"
echo "terminal hung up after the download: status 3, 32 pieces, history line written"
