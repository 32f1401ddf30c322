#!/usr/bin/env bash
# Judges the results wine-vm-check.sh brought back from the VM (its /out):
# compare.sh OUT   (the dialog runs are judged where the VM made them: -f)
set -uo pipefail
out=$1
failed=0
bad() { echo "wine-vm-check: FAIL: $*" >&2; failed=1; }
ok() { echo "wine-vm-check: ok: $*"; }
cat "$out"/*.times 2>/dev/null
scratch=$(mktemp)
trap 'rm -f "$scratch"' EXIT
# A run's console output without the console's line ends, shown with a label.
console() {
  tr -d '\r' <"$out/$1.stdout" >"$scratch"
  sed "s/^/  $1: /" "$scratch"
}

# A pass-through probe: what DeviceIoControl returned, and what the kernel received.
expected_probe=$'12 00 00 00 60 00\n00 00 00 00 00 00\n3B 05 00 00 00 00 00 40 00 00\n00 00 00 00 00 00\n00 00 00 00 00 00'
judge_probe() {
  local name=$1 bits=$2
  [[ -f $out/$name.stdout ]] || { bad "the $bits-bit probe left no output"; return; }
  console "$name"
  expect_line() { grep -qE "$1" "$scratch" && ok "$bits-bit: $2" || bad "$bits-bit: $2 (no line matching '$1')"; }
  expect_line '^OPEN \\\\\.\\E: ok$' 'CreateFileA opened \\.\E:'
  expect_line '^CAPABILITIES max_transfer=[1-9]' 'the adapter capabilities answered'
  expect_line '^INQUIRY type=5 rmb=1 identity="KESTREL.MX-R4410' 'INQUIRY read the drive identity'
  expect_line '^WRITE_BUFFER status=0x00 transferred=16384$' 'WRITE BUFFER moved 16384 bytes out'
  # scsi_debug answers the command after a mode 5 download with 06/3F/16
  expect_line '^TEST_UNIT_READY status=0x02 sense=70 .* key=6 asc=3f ascq=16' 'the unit attention reached the sense area'
  expect_line '^DONE ok$' 'every request reached the drive'
  if [[ $(cat "$out/$name.cdbs") == "$expected_probe" ]]; then
    ok "$bits-bit: scsi_debug received exactly the probe's 5 CDBs"
  else
    bad "$bits-bit: scsi_debug received other CDBs than the probe sent:"
    diff <(echo "$expected_probe") "$out/$name.cdbs" >&2
  fi
}
judge_probe probe 64
judge_probe probe32 32

# wine's own WNASPI32, asked by the programs' binding: recorded, not judged (wine 8's
# answers every request with SS_INVALID_SRB and sends nothing).
if [[ -f $out/aspi.stdout ]]; then
  console aspi
  grep -h 'aspi' "$out/aspi.stderr" | sort | uniq -c | sed 's/^/  aspi (wine): /'
  echo "  aspi: the kernel received $(grep -c . "$out/aspi.cdbs") CDBs"
else
  bad "the ASPI probe left no output"
fi
# The same binding with the bridge: adapter 0 and the drive at target 0 reached
# through it, the other targets answered with a selection timeout.
if [[ -f $out/bridge.stdout ]]; then
  console bridge
  grep -qE '^SUPPORT status=0x01 adapters=1$' "$scratch" && grep -q '^HA_INQUIRY return=0x01 status=0x01 count=1' "$scratch" &&
    ok "32-bit: WNASPI32 bound by ordinal, one adapter" || bad "32-bit: the bridge's adapter was not seen"
  grep -qE '^INQUIRY 0:0:0 return=0x0[01] status=0x01 ha=0x00 target=0x00 type=5 identity="KESTREL.MX-R4410' "$scratch" &&
    ok "32-bit: the INQUIRY through the ASPI transport's event read the drive identity" ||
    bad "32-bit: no identity from 0:0:0"
  [[ $(cat "$out/bridge.cdbs") == "12 00 00 00 24 00" ]] && ok "32-bit: scsi_debug received exactly that one INQUIRY" ||
    bad "32-bit: scsi_debug received: $(tr '\n' ';' <"$out/bridge.cdbs")"
else
  bad "the ASPI probe with the bridge left no output"
fi
# The 32-bit test programs (-u): each passes by its exit status.
if [[ -f $out/tests.txt ]]; then
  sed 's/^/  tests: /' "$out/tests.txt"
  passed=$(grep -c ' rc=0 ' "$out/tests.txt")
  total=$(grep -c . "$out/tests.txt")
  [[ $passed -eq $total ]] && ok "32-bit: all $total test programs passed" ||
    bad "32-bit: $passed of $total test programs passed (their output in $out/tests/)"
fi
[[ -f $out/nt.times ]] || exit $failed

# A flash through a program's dialog: the operator's view, and the program's trace
# against the kernel's log. $1 the run, $2 the program, $3 the trace's device column.
judge_flash() {
  local name=$1 program=$2 device=$3 t=$out/$1.trace
  sed "s/^/  $name operator: /" "$out/$name.operator" 2>/dev/null
  grep -q "rc=0" "$out/$name.times" 2>/dev/null && ok "$program was driven through its dialog and ended with status 0" ||
    bad "$program's dialog run failed ($(cat "$out/$name.times" 2>/dev/null))"
  [[ -f $t ]] || { bad "$program left no trace"; return; }
  local sent writes good buffers
  sent=$(tr -d '\r' <"$t" | grep "^$device " | grep -v 'refused code=' | sed 's/^[^ ]* \([^|]*\) |.*/\1/; s/ *$//')
  if [[ $sent == "$(cat "$out/$name.cdbs")" ]]; then
    ok "$program: scsi_debug received exactly the $(wc -l <<<"$sent") commands traced for $device, in order"
  else
    bad "$program: the trace and scsi_debug's log differ (< trace, > kernel):"
    diff <(echo "$sent") "$out/$name.cdbs" >&2
  fi
  writes=$(tr -d '\r' <"$t" | grep "^$device 3B ")
  good=$(grep -c '| status=00 |' <<<"$writes")
  buffers=$(grep '| status=00 |' <<<"$writes" | awk '{print $4}' | sort -u | wc -l)
  [[ $buffers -eq 32 ]] &&
    ok "$program: all 32 buffers written with status 00 ($(grep -c . <<<"$writes") WRITE BUFFERs, $good good; the others met scsi_debug's unit attentions)" ||
    bad "$program: $buffers of 32 buffers written with status 00"
  grep '| status=00 |' <<<"$writes" | tail -n 1 | grep -q "^$device 3B 05 1F " &&
    ok "$program: the last write is the save (mode 5, buffer 31)" || bad "$program: the last good write is not the save"
}
judge_flash nt MorvantideNT 'E:'
judge_flash four Morvantide4 '0:0:0'
exit $failed
