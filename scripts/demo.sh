#!/usr/bin/env bash
# The demo: a sample firmware package and a broken one in a scratch directory, and
# MorvantideNT started there against the emulated drive: the Qt window on a desktop,
# the terminal dialog otherwise.
# Usage: scripts/demo.sh [BUILD-DIR]   (DEMO_DIR=... picks the scratch directory)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")
tool="$build/tools/package_tool/morvantide-package"
program="$build/apps/MorvantideNT"
for file in "$tool" "$program"; do
  [[ -x $file ]] || { echo "demo: $file is not built (run 'make build')" >&2; exit 1; }
done

scratch=${DEMO_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/morvantide-demo-XXXXXX")}
mkdir -p "$scratch"
cd "$scratch"

# The sample: a deterministic 524,288-byte image, all three regions, correct checksum,
# stamped with revision 1.05, which the emulated drive reports once it has saved it.
# --force: a DEMO_DIR used before holds the packages of the last demo.
"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --version 1.05 --regions 1,2,3 --force >/dev/null
# The broken one: made the same way, then one byte of its image changed, so that an
# update refuses it with "File CheckSum Error " before anything reaches the drive.
"$tool" make BROKEN.OUC --model MX-R4410 --generate 4411 --regions 1,2,3 --force >/dev/null
byte=$(od -An -tu1 -j4096 -N1 BROKEN.bin)
printf "\\x$(printf %02x $((byte ^ 0x5A)))" | dd of=BROKEN.bin bs=1 seek=4096 conv=notrunc status=none

echo "demo: packages in $scratch"
"$tool" check R4410.OUC --model "KESTREL MX-R4410" | tail -n 1
"$tool" check BROKEN.OUC --model "KESTREL MX-R4410" | tail -n 1 || true

options=(--simulate)
[[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]] || options+=(--terminal)

echo "demo: choose R4410.OUC, press Update Start and answer Yes: the version goes from 1.00 to 1.05;"
echo "      BROKEN.OUC shows a refused package. Each update is recorded in"
echo "      ${XDG_STATE_HOME:-$HOME/.local/state}/morvantide/history.log"
exec "$program" "${options[@]}"
