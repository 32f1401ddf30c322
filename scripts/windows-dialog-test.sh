#!/usr/bin/env bash
# A whole update through a Windows program's real dialog, under wine on a virtual
# display, driven with the keyboard like an operator: the notice, a package chosen
# in the file list, Update Start, Yes, and the emulated drive flashed to "Firmware
# Update Complete"; then the trace is checked and a screenshot of the main dialog
# goes to SCREENSHOT (if set).
# Usage: scripts/windows-dialog-test.sh PROGRAM.exe morvantide-package.exe
# Runs itself under xvfb-run when no display is set.
set -euo pipefail
program=$(realpath "$1")
tool=$(realpath "$2")
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
name=$(basename "$program" .exe)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-wine-XXXXXX")
trap 'kill "$pid" 2>/dev/null || true; [[ -n ${KEEP:-} ]] || rm -rf "$scratch"' EXIT
# A folder and a package named outside ASCII, as a user's may be: the program lists
# the package under its own name and opens it.
mkdir "$scratch/Prüfung"
cd "$scratch/Prüfung"
pid=

# Debian's "wine" starts its 32-bit loader first; a 64-bit program goes to wine64
# directly, so that it runs on kernels without 32-bit support too.
loader() { if file -b "$1" | grep -q '^PE32+'; then echo /usr/lib/wine/wine64; else echo wine; fi; }

"$(loader "$tool")" "$tool" make Prüfung.OUC --model MX-R4410 --generate 4410 --version 1.05 --regions 1,2,3 >/dev/null

# On failure the screen as it stood is kept beside the trace (with KEEP=1).
fail() {
  echo "windows-dialog-test: $name: $*" >&2
  import -window root "$scratch/failure.png" 2>/dev/null || true
  exit 1
}
# The newest visible window whose title matches, waited for up to $2 s (default 30).
window() {
  local id
  for _ in $(seq $((${2:-30} * 5))); do
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
# Waits until the trace holds `count` lines.
trace_lines() {
  for _ in $(seq 300); do
    [[ -f trace.log && $(wc -l <trace.log) -ge $1 ]] && return 0
    sleep 0.2
  done
  return 1
}

# Waits until the trace has not grown for two seconds (up to 60 s).
trace_settles() {
  local before=-1 now
  for _ in $(seq 30); do
    now=$(wc -l <trace.log)
    [[ $now -eq $before ]] && return 0
    before=$now
    sleep 2
  done
  return 1
}

"$(loader "$program")" "$program" --simulate --trace trace.log &
pid=$!

notice=$(window "^$name\$") || fail "no start-up notice"
keys "$notice" Return
main=$(window "for KESTREL") || fail "no main dialog"
# Initialisation is over once the firmware version of the selected drive was asked for.
trace_lines 1 || fail "no command reached the emulated drive"
sleep 1
if [[ $name == Morvantide4* ]]; then
  # The bus lists the disk at ID 0 first: back from the file list to the device
  # selector (past the firmware version and Update Start), "2" for ID 2, the
  # MX-R4410, and forward to the file list again. One key at a time, with time for
  # the inquiry that a new selection sends: keys typed during a pumped wait reach
  # the focused control, as on Windows, and do not move the focus.
  for key in shift+Tab shift+Tab shift+Tab 2; do keys "$main" "$key"; sleep 1; done
  sleep 3
  for key in Tab Tab Tab; do keys "$main" "$key"; sleep 1; done
fi
keys "$main" Down Return   # the package in the file list, then the default button
confirm=$(window "^$name\$") || fail "no confirmation"
keys "$confirm" y
# The download runs (a loaded machine makes it slow); the completion box has the same
# caption as the question.
for _ in $(seq 600); do
  xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | grep -qx "$confirm" || break
  sleep 0.2
done
done_box=$(window "^$name\$" 120) || fail "no completion box"
sleep 2
keys "$done_box" Return
# After the box the program reads the drive's version again; until that is over,
# keys reach the focused control only (as on Windows), so Escape waits for it.
trace_settles || fail "the drive is still being asked after the completion box"
# The dialog as the operator leaves it: the package chosen, "Firmware Update Complete"
# in the status line.
if [[ -n ${SCREENSHOT:-} ]]; then import -window "$main" "$SCREENSHOT"; fi
keys "$main" Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$pid" 2>/dev/null && fail "still running after Escape"
wait "$pid" || fail "exit status $?"
pid=

# What reached the drive: the image written in buffers 0 to 30 with mode 4 and the
# last one, buffer 31, with mode 5 (the save), each write answered with status 00.
# A line is "DEVICE CDB... | ...": the drive letter ("E:") or the address ("0:2:0"),
# ended the Windows way (CR LF).
tr -d '\r' <trace.log >trace.txt && mv trace.txt trace.log
grep '^[^ ]* 3B ' trace.log | grep -v '| status=00 | WRITE BUFFER$' && fail "a write did not end with status 00"
writes=$(grep -c '^[^ ]* 3B ' trace.log || true)
[[ $writes -eq 32 ]] || fail "$writes WRITE BUFFER commands, expected 32"
[[ $(grep -c '^[^ ]* 3B 04 ' trace.log) -eq 31 ]] || fail "expected 31 writes with mode 4"
grep '^[^ ]* 3B ' trace.log | tail -n 1 | grep -q ' 3B 05 1F ' || fail "the last write is not the save (mode 5, buffer 31)"
echo "windows-dialog-test: $name flashed the emulated drive: $(wc -l <trace.log) commands, $writes writes, the last one the save"
