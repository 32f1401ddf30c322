#!/usr/bin/env bash
# Usage: cli_prompt.sh MORVANTIDE PACKAGE-TOOL
# morvantide flash in a real terminal (a tmux pane): it asks "Firmware Update
# Execute ? [y/N]"; "n" declines (status 6, nothing written), "y" flashes with a
# progress bar (status 0).
set -euo pipefail
cli=$1 tool=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-cli-prompt-XXXXXX")
tmux=(tmux -S "$scratch/tmux.sock" -f /dev/null)
trap '"${tmux[@]}" kill-server 2>/dev/null || true; rm -rf "$scratch"' EXIT
cd "$scratch"
"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 --version 1.05 >/dev/null
fail() {
  echo "cli_prompt: $*" >&2
  "${tmux[@]}" capture-pane -p >&2 2>/dev/null || true
  exit 1
}
wait_for() {  # FILE-OR-SCREEN TEXT
  for _ in $(seq 300); do
    if [[ $1 == screen ]]; then "${tmux[@]}" capture-pane -p | grep -qF -- "$2" && return; else [[ -s $1 ]] && return; fi
    sleep 0.05
  done
  fail "never saw $2"
}
for answer in n y; do
  rm -f status
  "${tmux[@]}" kill-server 2>/dev/null || true
  "${tmux[@]}" new-session -d -x 100 -y 20 -c "$scratch" \
    "XDG_STATE_HOME=$scratch/state '$cli' flash R4410.OUC --drive E: --simulate --trace trace.$answer; echo \$? >status; sleep 30"
  wait_for screen "Firmware Update Execute ? [y/N]"
  "${tmux[@]}" send-keys "$answer" Enter
  wait_for status "the exit status"
  screen=$("${tmux[@]}" capture-pane -p)
  case $answer in
    n) [[ $(cat status) == 6 ]] || fail "no: exit status $(cat status)"
       ! grep -q ' 3B ' "trace.$answer" || fail "no: a WRITE BUFFER was sent" ;;
    y) [[ $(cat status) == 0 ]] || fail "yes: exit status $(cat status)"
       grep -qF "[################################] 32/32 pieces" <<<"$screen" || fail "yes: no full bar"
       [[ $(grep -c ' 3B 0[45] ' "trace.$answer") == 32 ]] || fail "yes: not 32 WRITE BUFFER" ;;
  esac
done
