#!/usr/bin/env bash
# Per-command cost of both transports on a real kernel, in one qemu-scsi boot:
# sg_write_buffer (sg3_utils), MorvantideNT's pass-through and Morvantide4's ASPI
# manager each send the same 32 WRITE BUFFERs of 16 KiB to the same scsi_debug
# target, which answers at once; the ratios to sg_write_buffer are printed.
# A measurement for people, not a test: nothing here fails on a slow figure.
#
#   tools/transport-benchmark.sh [BUILD_DIR]      (default: build/default)
#
# Needs the target transport_vm_benchmark built in BUILD_DIR, sg_write_buffer on
# the PATH (Debian package sg3-utils) and what tools/qemu-scsi/run-vm.sh needs.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:-$ROOT/build/default}
PROGRAM=$BUILD/transport/qemu-benchmark/transport_vm_benchmark
[ -x "$PROGRAM" ] || { echo "transport-benchmark.sh: build the target transport_vm_benchmark first ($PROGRAM)" >&2; exit 2; }
command -v sg_write_buffer >/dev/null || { echo "transport-benchmark.sh: sg_write_buffer not found (apt-get install sg3-utils)" >&2; exit 2; }

STAGE=$(mktemp -d "${TMPDIR:-/tmp}/transport-benchmark.XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
cp "$PROGRAM" "$STAGE/"
"$ROOT/tools/qemu-scsi/run-vm.sh" -t 300 -b sg_write_buffer "$STAGE" ./transport_vm_benchmark
