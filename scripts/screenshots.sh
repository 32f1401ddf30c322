#!/usr/bin/env bash
# Screenshots as an operator sees them: both programs on a real X server (Xvfb)
# under a real window manager (openbox), driven from the keyboard with xdotool
# against the emulated drive, captured with xwd into docs/:
#   <program>-main.png      the main dialog, a package chosen in the file list
#   <program>-question.png  "Firmware Update Execute ?" over it
#   <program>-download.png  the window during the download, after Yes, its progress bar on the way
#   <program>-complete.png  the completion box
#   <program>-error.png     a package refused for its checksum
#   <program>-scaled.png    the main dialog at QT_SCALE_FACTOR=2 (the screen is 800x600)
#   <program>-dark.png      the main dialog on a dark desktop (KDE's Breeze Dark colours)
# Usage: scripts/screenshots.sh [BUILD-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/x-desktop.sh
docs=$(pwd)/docs
build=$(realpath "${1:-build/default}")
cmake --build "$build" --target MorvantideNT Morvantide4 morvantide-package
tool="$build/tools/package_tool/morvantide-package"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-shots-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

start_desktop

cd "$scratch"
"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 >/dev/null
"$tool" make BROKEN.OUC --model MX-R4410 --generate 4411 --regions 1,2,3 >/dev/null
byte=$(od -An -tu1 -j4096 -N1 BROKEN.bin)
printf "\\x$(printf %02x $((byte ^ 0x5A)))" | dd of=BROKEN.bin bs=1 seek=4096 conv=notrunc status=none
export XDG_CONFIG_HOME="$scratch/config"

# Waits until a window whose title matches $1 exists; prints its id.
wait_window() {
  find_window "$1" 600 && return
  echo "screenshots: no window \"$1\" appeared" >&2
  kill -TERM $$
}

# Captures the screen area around the given windows (frames included) into $1.
# Each window's inside is captured by itself and pasted in, the main dialog first:
# a window may use another colour depth than the screen, and a capture of the
# whole screen leaves such windows undefined (black).
title_bar=20  # openbox's default theme
shoot() {
  local out=$1 left=100000 top=100000 right=0 bottom=0
  shift
  sleep 0.5
  local -A x y
  for id in "$@"; do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # xdotool counts the client's offset inside openbox's frame (its title bar)
    # twice down the screen.
    xwd -id "$id" -silent >"$scratch/$id.xwd"
    Y=$((Y - title_bar))
    x[$id]=$X y[$id]=$Y
    ((X < left)) && left=$X
    ((Y < top)) && top=$Y
    ((X + WIDTH > right)) && right=$((X + WIDTH))
    ((Y + HEIGHT > bottom)) && bottom=$((Y + HEIGHT))
  done
  # Room for the window manager's title bar and borders.
  left=$((left > 12 ? left - 12 : 0)); top=$((top > 32 ? top - 32 : 0))
  right=$((right + 12)); bottom=$((bottom + 12))
  xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut -left "$left" -top "$top" \
    -width $((right - left)) -height $((bottom - top)) >"$scratch/shot.pnm"
  for id in "$@"; do
    xwdtopnm "$scratch/$id.xwd" 2>/dev/null >"$scratch/box.pnm"
    pnmpaste "$scratch/box.pnm" $((x[$id] - left)) $((y[$id] - top)) "$scratch/shot.pnm" >"$scratch/pasted.pnm"
    mv "$scratch/pasted.pnm" "$scratch/shot.pnm"
  done
  pnmtopng "$scratch/shot.pnm" >"$docs/$out"
  echo "screenshots: docs/$out"
}

# Starts program $1 (main dialog caption $2) in the environment given after them,
# answers its notice and chooses R4410.OUC; sets `pid` and `main` (the dialog).
start_program() {
  local program=$1 caption=$2
  shift 2
  env "$@" "$build/apps/$program" --simulate >"$scratch/$program.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  wait_window "^$program\$" >/dev/null  # the start-up notice
  xdotool key Return
  main=$(wait_window "^$caption")
  sleep 0.5
  # The focus is in the file list: the arrows choose BROKEN.OUC, then R4410.OUC.
  xdotool key Down Down
}

# One program: notice, main dialog, a successful update, a refused package.
run() {
  local program=$1 caption=$2 drive=$3
  # Each command takes a while, as on a real drive, so that the download
  # screenshot catches the progress bar on its way.
  start_program "$program" "$caption" MORVANTIDE_SIMULATE_DELAY_MS=60
  # Then the drive, if it is not the selected one: back to the device selector.
  [[ -z $drive ]] || xdotool key $drive
  shoot "$program-main.png" "$main"
  xdotool key Return  # Update Start, the default button
  shoot "$program-question.png" "$main" "$(wait_window "^$program\$")"
  xdotool key Return  # Yes
  sleep 0.3
  shoot "$program-download.png" "$main"
  shoot "$program-complete.png" "$main" "$(wait_window "^$program\$")"
  xdotool key Return
  sleep 0.5
  # BROKEN.OUC, then Update Start once the choice is handled (a choice that asks
  # the drive pumps messages meanwhile, and Return would reach the list only).
  xdotool key Up
  sleep 0.5
  xdotool key Return
  shoot "$program-error.png" "$main" "$(wait_window "^$program\$")"
  xdotool key Return
  sleep 0.5
  xdotool key Escape
  wait "$pid"
}

# A desktop's dark colour scheme, as KDE keeps it and Qt reads it.
mkdir -p "$scratch/dark"
cat >"$scratch/dark/kdeglobals" <<'COLOURS'
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=252,252,252
[Colors:View]
BackgroundNormal=35,38,41
BackgroundAlternate=49,54,59
ForegroundNormal=239,240,241
ForegroundLink=41,128,185
ForegroundVisited=127,140,141
[Colors:Window]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
COLOURS

# One program's main dialog, a package chosen, in the environment given after the
# picture's name.
look() {
  local program=$1 caption=$2 out=$3
  shift 3
  start_program "$program" "$caption" "$@"
  shoot "$out" "$main"
  xdotool key Escape
  wait "$pid"
}

mkdir -p "$docs"
run MorvantideNT "Morvantide NT for" ""
# Morvantide4 starts on target ID 0, the emulated disk; the drive is the next ID.
run Morvantide4 "Morvantide4  for" "shift+Tab shift+Tab shift+Tab Down"
for program in MorvantideNT Morvantide4; do
  caption=$([[ $program == MorvantideNT ]] && echo "Morvantide NT for" || echo "Morvantide4  for")
  look "$program" "$caption" "$program-scaled.png" QT_SCALE_FACTOR=2
  look "$program" "$caption" "$program-dark.png" XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 \
    XDG_CONFIG_HOME="$scratch/dark"
done
