#!/usr/bin/env bash
# CI's check of the Debian package: build it the Debian way, run lintian on it, install
# it with dpkg, validate the installed desktop entries, AppStream data (and that its
# screenshots are ours), parameter file type and the program that opens it, icons and
# man pages, and flash the emulated drive once with the installed MorvantideNT in a
# terminal (tmux), from the start to the new version shown and the history line.
# Idempotent: installs what it needs, replaces an earlier installation of the package.
# Needs root (dpkg -i), as CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/install-deps.sh --build-deps
start=$(date +%s)
scripts/build-package.sh
echo "package-check: package built in $(($(date +%s) - start)) s"
deb=$(ls build/package/morvantide_*.deb)
changes=$(ls build/package/morvantide_*.changes)

# The source and the binary package, with the pedantic tags shown; an error or a warning fails.
echo "package-check: lintian $changes"
lintian --pedantic --display-info --fail-on error,warning "$changes"

echo "package-check: dpkg -i $deb"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg -i "$deb"; then
  # Its dependencies (the Qt libraries and platform plugins) were missing: fetch them.
  apt-get install -y -qq -f
fi
[[ $(dpkg-query -W -f='${Status}' morvantide) == "install ok installed" ]]

echo "package-check: installed files"
desktop-file-validate /usr/share/applications/org.morvantide.MorvantideNT.desktop \
  /usr/share/applications/org.morvantide.Morvantide4.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.morvantide.MorvantideNT.metainfo.xml \
  /usr/share/metainfo/org.morvantide.Morvantide4.metainfo.xml
grep -q 'application/x-morvantide-parameter-file:\*\.ouc' /usr/share/mime/globs2
# A double click opens a package in MorvantideNT: its entry alone claims the type.
grep -qx 'application/x-morvantide-parameter-file=org.morvantide.MorvantideNT.desktop;' \
  /usr/share/applications/mimeinfo.cache
# Every screenshot the AppStream data names is one of docs/.
for image in $(grep -ho 'https://morvantide.example.org/docs/[^<]*' /usr/share/metainfo/org.morvantide.*.metainfo.xml); do
  [[ -s docs/${image##*/} ]] || { echo "package-check: no docs/${image##*/} for $image" >&2; exit 1; }
done
for program in MorvantideNT Morvantide4; do
  for size in 16x16 24x24 32x32 48x48 64x64 128x128; do
    [[ -s /usr/share/icons/hicolor/$size/apps/org.morvantide.$program.png ]]
  done
  man -w "$program" >/dev/null
done
man -w morvantide-package >/dev/null
man -w morvantide >/dev/null
bash -n /usr/share/bash-completion/completions/morvantide
/usr/bin/morvantide list --simulate >/dev/null
# One page per call: mandoc uncompresses only the first of several .gz files it is given.
for page in MorvantideNT Morvantide4 morvantide-package morvantide; do
  mandoc -T lint -W warning "/usr/share/man/man1/$page.1.gz"
done
[[ -s /usr/share/doc/morvantide/README.md || -s /usr/share/doc/morvantide/README.md.gz ]]

echo "package-check: one flash of the emulated drive with the installed MorvantideNT"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-package-check-XXXXXX")
socket="morvantide-package-check-$$"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
/usr/bin/morvantide-package make "$scratch/R4410.OUC" --model MX-R4410 --generate 4410 --version 1.05 >/dev/null

# Waits until the pane shows TEXT (at most 30 s), else prints the pane and fails.
wait_for() {
  for _ in $(seq 300); do
    tmux -L "$socket" capture-pane -p -t check | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  echo "package-check: '$1' did not appear:" >&2
  tmux -L "$socket" capture-pane -p -t check >&2
  return 1
}
# At a person's pace: the dialog takes a key that presses or answers only when it
# is not the same key again at once, nor the first moment of a box.
keys() { sleep 0.3; tmux -L "$socket" send-keys -t check "$@"; }

# Started with the package as a file manager starts it: in another folder, the file
# named; the terminal dialog, for CI has no display.
tmux -L "$socket" -f /dev/null new-session -d -s check -x 80 -y 24 -c / \
  "env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME=$scratch/state TERM=tmux-256color \
   /usr/bin/MorvantideNT --simulate $scratch/R4410.OUC; echo \"exit status \$?\"; sleep 60"
wait_for "This is a program for the KESTREL DVD-RAM MX-R4410."
keys Enter
wait_for "R4410.OUC"
wait_for "1.00"
keys Enter             # Update Start (the default button)
wait_for "Firmware Update Execute ?"
keys Enter             # Yes
wait_for "Firmware Update Complete"
keys Enter             # OK: the drive is asked again
wait_for "1.05"
keys Escape
wait_for "exit status 0"

history="$scratch/state/morvantide/history.log"
echo "package-check: $history"
cat "$history"
[[ $(wc -l <"$history") -eq 1 ]]
grep -qP '\tprogram=MorvantideNT\tdrive=E:\t.*\tbefore=1\.00\tfile=R4410\.OUC\t.*\tanswer=Yes\toutcome=complete\tafter=1\.05\tkind=emulated\t' "$history"
echo "package-check: passed"
