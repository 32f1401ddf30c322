#!/usr/bin/env bash
# Judges the results wine-vm-check.sh brought back from the VM (its /out):
# compare.sh OUT [-p]   (-p: the probe run only)
set -uo pipefail
out=$1
failed=0
bad() { echo "wine-vm-check: FAIL: $*" >&2; failed=1; }
ok() { echo "wine-vm-check: ok: $*"; }
cat "$out"/*.times 2>/dev/null

# The probe: what DeviceIoControl returned, and what the kernel received.
[[ -f $out/probe.stdout ]] || { bad "the probe left no output"; exit 1; }
p=$(mktemp)
trap 'rm -f "$p"' EXIT
tr -d '\r' <"$out/probe.stdout" >"$p"  # the console's line ends
sed 's/^/  probe: /' "$p"
expect_line() { grep -qE "$1" "$p" && ok "$2" || bad "$2 (no line matching '$1')"; }
expect_line '^OPEN \\\\\.\\E: ok$' 'CreateFileA opened \\.\E:'
expect_line '^CAPABILITIES max_transfer=[1-9]' 'IOCTL_SCSI_GET_CAPABILITIES answered'
expect_line '^INQUIRY type=5 rmb=1 identity="KESTREL.MX-R4410' 'INQUIRY read the drive identity'
expect_line '^WRITE_BUFFER status=0x00 transferred=16384$' 'WRITE BUFFER moved 16384 bytes out'
# scsi_debug answers the command after a mode 5 download with 06/3F/16
expect_line '^TEST_UNIT_READY status=0x02 sense=70 .* key=6 asc=3f ascq=16' 'the unit attention reached the sense area'
expect_line '^DONE ok$' 'every request reached the drive'
expected_probe=$'12 00 00 00 60 00\n00 00 00 00 00 00\n3B 05 00 00 00 00 00 40 00 00\n00 00 00 00 00 00\n00 00 00 00 00 00'
if [[ $(cat "$out/probe.cdbs") == "$expected_probe" ]]; then
  ok "scsi_debug received exactly the probe's 5 CDBs"
else
  bad "scsi_debug received other CDBs than the probe sent:"; diff <(echo "$expected_probe") "$out/probe.cdbs" >&2
fi
[[ ${2:-} == -p ]] && exit $failed

# The flash: the operator's view, and the program's trace against the kernel's log.
sed 's/^/  operator: /' "$out/flash.operator" 2>/dev/null
grep -q 'completion box says "Firmware Update Complete"' "$out/flash.operator" 2>/dev/null &&
  ok 'MorvantideNT ended with "Firmware Update Complete"' || bad "no \"Firmware Update Complete\" box"
t=$out/flash.trace
[[ -f $t ]] || { bad "MorvantideNT left no trace"; exit 1; }
sent=$(tr -d '\r' <"$t" | grep '^E: ' | grep -v 'refused code=' | sed 's/^E: \([^|]*\) |.*/\1/; s/ *$//')
if [[ $sent == "$(cat "$out/flash.cdbs")" ]]; then
  ok "scsi_debug received exactly the $(wc -l <<<"$sent") commands MorvantideNT traced for E:"
else
  bad "the trace and scsi_debug's log differ (< trace, > kernel):"; diff <(echo "$sent") "$out/flash.cdbs" >&2
fi
writes=$(tr -d '\r' <"$t" | grep '^E: 3B ')
good=$(grep -c '| status=00 |' <<<"$writes")
buffers=$(grep '| status=00 |' <<<"$writes" | awk '{print $4}' | sort -u | wc -l)
[[ $buffers -eq 32 ]] && ok "all 32 buffers written with status 00 ($(wc -l <<<"$writes") WRITE BUFFERs, $good good; the others met scsi_debug's unit attentions)" ||
  bad "$buffers of 32 buffers written with status 00"
grep '| status=00 |' <<<"$writes" | tail -n 1 | grep -q '^E: 3B 05 1F ' && ok "the last write is the save (mode 5, buffer 31)" ||
  bad "the last good write is not the save"
exit $failed
