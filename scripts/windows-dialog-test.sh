#!/usr/bin/env bash
# A whole update through a Windows program's real dialog, under wine on a virtual
# display, driven with the keyboard like an operator: the notice, a package chosen
# in the file list, Update Start, Yes, and the emulated drive flashed to "Firmware
# Update Complete"; then the trace is checked and a screenshot of the main dialog
# goes to SCREENSHOT (if set).
# Usage: scripts/windows-dialog-test.sh PROGRAM.exe morvantide-package.exe
#   LONG_NAMES_SCREENSHOT=FILE.png  then a screenshot with two long package names
# Runs itself under xvfb-run when no display is set.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
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

"$(loader "$program")" "$program" --simulate --trace trace.log &
pid=$!

"$here/windows-dialog-operator.sh" "$name" || fail "the operator could not finish"
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

# LONG_NAMES_SCREENSHOT=FILE.png: the program once more, over two packages whose names
# differ only near their end, the second chosen and the pointer resting on it: the
# list shows them apart and the tooltip shows the entry's whole name.
[[ -n ${LONG_NAMES_SCREENSHOT:-} ]] || exit 0
mkdir "$scratch/long" && cd "$scratch/long"
for version in 104 105; do
  "$(loader "$tool")" "$tool" make "KESTREL_MX-R4410_FIRMWARE_UPDATE_PACKAGE_V${version}_FINAL_RELEASE.OUC" \
    --model MX-R4410 --generate 4410 --version 1.05 --regions 1,2,3 >/dev/null
done
"$(loader "$program")" "$program" --simulate &
pid=$!
newest() { for _ in $(seq 150); do xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 | grep . && return; sleep 0.2; done; return 1; }
notice=$(newest "^$name\$") || fail "no start-up notice"
xdotool windowfocus --sync "$notice" key Return
main=$(newest "for KESTREL") || fail "no main dialog"
sleep 1
xdotool windowfocus --sync "$main" key --delay 150 Down Down
eval "$(xdotool getwindowgeometry --shell "$main")"
# The second entry of the list (5 to 90 dialog units across, its top 30 down the
# 135 of the client area, below the menu bar).
xdotool mousemove --window "$main" $((WIDTH * 40 / 214)) $((HEIGHT * 96 / 272))
sleep 0.3
xdotool mousemove_relative 1 1
sleep 2
import -window root -crop "$((WIDTH + 120))x${HEIGHT}+${X}+${Y}" +repage "$LONG_NAMES_SCREENSHOT"
xdotool windowfocus --sync "$main" key Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
wait "$pid" || fail "exit status $? after the long names"
pid=
