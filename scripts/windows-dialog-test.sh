#!/usr/bin/env bash
# A whole update through a Windows program's real dialog, under wine on a virtual
# display, driven with the keyboard like an operator: the notice, a package chosen
# in the file list, Update Start, Yes, and the emulated drive flashed to "Firmware
# Update Complete"; then the trace is checked and a screenshot of the main dialog
# goes to SCREENSHOT (if set).
# Usage: scripts/windows-dialog-test.sh PROGRAM.exe morvantide-package.exe
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
