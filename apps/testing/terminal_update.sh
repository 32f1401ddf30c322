#!/usr/bin/env bash
# Usage: terminal_update.sh CASE PROGRAM PACKAGE-TOOL [DRIVE-KEYS]
# PROGRAM (--simulate --terminal, in a tmux pane) flashes the emulated MX-R4410, and
# while it waits for the drive to settle after the download:
#   hangup   the terminal hangs up (its tmux server is killed): the completion box
#            takes the terminal as gone instead of waiting for keys, the history
#            line is written, every piece went out once, and the program ends with
#            status 3. (The kernel sends SIGHUP to the session leader, the shell
#            here, which ignores it and stays to tell the status: the hang-up alone.)
#   signals  the trace goes to a pipe whose reader left after the first line, and
#            SIGQUIT (Ctrl-\), SIGUSR1 and SIGXFSZ arrive: all are held, the flash
#            goes on, the trace says once that it stops, and once the operator has
#            closed the completion box one of them ends the program (status 131,
#            138 or 153: the kernel picks the order) with the terminal given back.
# DRIVE-KEYS (tmux key names) choose the emulated MX-R4410 where it is not selected.
set -euo pipefail
case=$1 program=$2 tool=$3 drive=${4:-}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-terminal-update-XXXXXX")
tmux=(tmux -S "$scratch/tmux.sock" -f /dev/null)
cleanup() {
  "${tmux[@]}" kill-server 2>/dev/null || true
  [[ -s $scratch/pid ]] && kill -KILL "$(cat "$scratch/pid")" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "terminal_update $case: $*" >&2
  sed 's/^/  stderr: /' "$scratch/err.log" >&2 2>/dev/null || true
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
trace=trace.log
if [[ $case == signals ]]; then
  trace=trace.pipe
  mkfifo "$trace"
  head -n 1 "$trace" >first.line &
fi
# The shell outlives a hang-up to tell how the program ended, and how the terminal
# was left.
script="trap '' HUP; env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LANG=C.UTF-8 \
XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state \
'$program' --simulate --terminal --trace $trace R4410.OUC 2>err.log & echo \$! > pid; wait \$!; \
echo \$? > status; stty -a | tr ' ' '\\n' | grep -x -e -icanon -e icanon > modes"
"${tmux[@]}" new-session -d -x 80 -y 24 -c "$scratch" sh -c "$script"
wait_screen "- "  # the start-up notice
sleep 0.3
"${tmux[@]}" send-keys Enter
wait_screen "R4410.OUC"
sleep 0.5
[[ -z $drive ]] || { "${tmux[@]}" send-keys $drive; sleep 0.5; }
"${tmux[@]}" send-keys Enter  # Update Start, with the start argument's package chosen
wait_screen "Firmware Update Execute ?"
sleep 0.3  # a box takes no key in its first 200 ms (a held key's repeats answer nothing)
"${tmux[@]}" send-keys Enter  # Yes
wait_screen "Firmware Update Executing"
pid=$(cat pid)
if [[ $case == hangup ]]; then
  "${tmux[@]}" kill-server  # the terminal hangs up during the settling wait
  expected="3"
else
  for signal in QUIT USR1 XFSZ; do kill -$signal "$pid"; done
  wait_screen "Firmware Update Complete"
  sleep 0.3
  "${tmux[@]}" send-keys Enter
  expected="131 138 153"
fi

for _ in $(seq 150); do [[ -s status ]] && break; sleep 0.1; done
[[ -s status ]] || fail "still running 15 s later"
status=$(cat status)
[[ " $expected " == *" $status "* ]] || fail "exit status $status, expected one of $expected"
grep -q 'regions=1,2,3.*outcome=complete' state/morvantide/history.log || fail "no history line of a complete update"
if [[ $case == hangup ]]; then
  writes=$(grep -c '| WRITE BUFFER' trace.log || true)
  [[ $writes -eq 32 ]] || fail "$writes WRITE BUFFERs in the trace, expected 32"
else
  [[ $(grep -c 'cannot write trace file trace.pipe: Broken pipe' err.log) -eq 1 ]] || fail "no one line about the trace"
  [[ $(cat modes) == icanon ]] || fail "terminal left in $(cat modes) mode"
fi
echo "$case after the download: status $status, the update complete in the history"
