#!/usr/bin/env bash
# Usage: cli_flash.sh MORVANTIDE PACKAGE-TOOL
# morvantide against the emulated drives: a scripted flash by drive letter and by
# adapter:target:LUN (exit status, the result as JSON, the commands that reached the
# drive, the history line), then the refusals, each with its own exit status and
# nothing written to any drive.
set -uo pipefail
cli=$1 tool=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-cli-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
export XDG_STATE_HOME=$scratch/state XDG_CONFIG_HOME=$scratch/config
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

"$tool" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 --version 1.05 >/dev/null
"$tool" make BROKEN.OUC --model MX-R4410 --generate 4411 --regions 1,2,3 >/dev/null
# One byte of the image changed: the checksum no longer fits.
printf '\x01' | dd of=BROKEN.bin bs=1 seek=100 conv=notrunc status=none
sha=$(sha256sum R4410.bin | cut -d' ' -f1)

# A scripted flash of each way to the drive, as a technician's loop would run it.
lines=0
for drive in E: 0:2:0; do
  rm -f trace.log
  "$cli" flash R4410.OUC --drive "$drive" --simulate --yes --json --trace trace.log </dev/null >out.json 2>err.log
  status=$?
  [[ $status == 0 ]] || fail "flash $drive: exit status $status: $(cat err.log)"
  python3 - "$drive" "$sha" "$scratch/R4410.OUC" out.json <<'PY' || fail "flash $drive: JSON $(cat out.json)"
import json, sys
drive, sha, package, out = sys.argv[1:]
result = json.load(open(out))
expected = {"drive": drive, "kind": "emulated", "package": package, "sha256": sha, "version_before": "1.00",
            "version_after": "1.05", "outcome": "complete", "failed_command": None, "pieces_planned": 32,
            "pieces_sent": 32, "exit_status": 0}
wrong = {k: (result.get(k), v) for k, v in expected.items() if result.get(k) != v}
assert not wrong, wrong
assert result["seconds_total"] >= result["seconds_download"] >= 0, result
PY
  # Each piece reached the drive once: 32 WRITE BUFFER, the last with mode 5.
  writes=$(grep -c ' 3B 0[45] ' trace.log)
  [[ $writes == 32 ]] || fail "flash $drive: $writes WRITE BUFFER commands in the trace, not 32"
  [[ $(grep ' 3B 05 ' trace.log | wc -l) == 1 ]] || fail "flash $drive: not one save"
  grep -q "piece 32/32 written" err.log || fail "flash $drive: no progress lines: $(cat err.log)"
  lines=$((lines + 1))
done

# The history: one line per flash, emulated, with the package's path, the image's
# SHA-256, the node and the program.
history=$XDG_STATE_HOME/morvantide/history.log
[[ $(wc -l <"$history") == "$lines" ]] || fail "history has $(wc -l <"$history") lines, not $lines"
awk -F'\t' -v sha="$sha" -v pkg="$scratch/R4410.OUC" '
  { delete f; for (i = 1; i <= NF; i++) { k = substr($i, 1, index($i, "=") - 1); f[k] = substr($i, index($i, "=") + 1) }
    if (f["program"] != "morvantide" || f["kind"] != "emulated" || f["outcome"] != "complete" || f["after"] != "1.05" ||
        f["sha256"] != sha || f["package"] != pkg || f["node"] == "" || f["answer"] != "Yes") { print "bad line " NR ": " $0; bad = 1 } }
  END { exit bad }' "$history" || fail "history lines"
"$cli" history --json | python3 -c 'import json,sys; h=json.load(sys.stdin); assert [l["drive"] for l in h] == ["E:", "0:2:0"], h' ||
  fail "history --json"

# A package whose folder holds spaces, a tab and a line break that reads like a
# history line of its own: the flash adds exactly one line, its package field the path
# with the tab and line break escaped.
odd=$scratch/$'fw dir\ntime=2026-01-01T00:00:00Z\tprogram=MorvantideNT\tkind=real'
mkdir "$odd" && cp R4410.OUC R4410.bin "$odd/"
"$cli" flash "$odd/R4410.OUC" --drive E: --simulate --yes </dev/null >/dev/null 2>err.log ||
  fail "flash of a package in an odd folder: $(cat err.log)"
lines=$((lines + 1))
[[ $(wc -l <"$history") == "$lines" ]] || fail "the odd folder's flash wrote $(wc -l <"$history") lines, not $lines"
escaped="$scratch/fw dir\\ntime=2026-01-01T00:00:00Z\\tprogram=MorvantideNT\\tkind=real/R4410.OUC"
[[ $(tail -n 1 "$history" | awk -F'\t' '{ for (i = 1; i <= NF; i++) if ($i ~ /^package=/) print substr($i, 9) }') == "$escaped" ]] ||
  fail "the odd folder's package field: $(tail -n 1 "$history")"

# Refusals: the status says which, and no WRITE BUFFER reached any drive.
refusal() {  # STATUS TEXT ARGUMENT...
  local expected=$1 text=$2
  shift 2
  rm -f trace.log
  "$cli" "$@" </dev/null >out.txt 2>err.log
  local status=$?
  [[ $status == "$expected" ]] || fail "$*: exit status $status, expected $expected: $(cat err.log)"
  grep -qF -- "$text" err.log || fail "$*: standard error lacks \"$text\": $(cat err.log)"
  [[ ! -e trace.log ]] || ! grep -q ' 3B ' trace.log || fail "$*: a WRITE BUFFER was sent"
}
refusal 2 "give --yes" flash R4410.OUC --drive E: --simulate --trace trace.log
refusal 2 "unknown command 'flsh'" flsh R4410.OUC --drive E:
refusal 2 "'flash' needs --drive D" flash R4410.OUC --simulate --yes
refusal 2 "'Q' is not a drive" flash R4410.OUC --drive Q --simulate --yes
refusal 3 "File CheckSum Error" flash BROKEN.OUC --drive E: --simulate --yes --trace trace.log
refusal 3 "Select 'MX-R4410'" flash R4410.OUC --drive G: --simulate --yes --trace trace.log
refusal 3 "File Read Error" check NOTHERE.OUC --drive E: --simulate
refusal 4 "no drive Z: was found" flash R4410.OUC --drive Z: --simulate --yes --json --trace trace.log
python3 -c 'import json; r = json.load(open("out.txt")); assert r["outcome"] == "drive-not-found" and r["exit_status"] == 4, r' ||
  fail "a drive not found gives no JSON object: $(cat out.txt)"
refusal 4 "no drive 0:6:0 was found" check R4410.OUC --drive 0:6:0 --simulate
[[ $(wc -l <"$history") == "$lines" ]] || fail "a refused flash was recorded in the history"

"$cli" check R4410.OUC --drive E: --simulate >out.txt 2>err.log || fail "check: $(cat err.log)"
grep -q "regions 1,2,3, 32 pieces, image sha256 $sha" out.txt || fail "check: $(cat out.txt)"
"$cli" list --simulate --json | python3 -c '
import json, sys
drives = {d["drive"]: d for d in json.load(sys.stdin)["drives"]}
assert set(drives) == {"E:", "G:", "0:0:0", "0:2:0", "0:5:0"}, drives
assert drives["E:"]["version"] == "1.00" and drives["0:2:0"]["identification"] == "MX-R4410", drives' ||
  fail "list --json"

# SIGTERM in the middle of the download is held: every piece goes out, the history
# line and the result are written, and only then does the signal end the program.
MORVANTIDE_SIMULATE_DELAY_MS=30 "$cli" flash R4410.OUC --drive E: --simulate --yes --json </dev/null >out.json 2>err.log &
pid=$!
for _ in $(seq 400); do grep -q "piece 3/32" err.log 2>/dev/null && break; sleep 0.02; done
kill -TERM "$pid"
wait "$pid"
status=$?
[[ $status == 143 ]] || fail "SIGTERM during the download: exit status $status, not 143: $(cat err.log)"
python3 -c 'import json; r = json.load(open("out.json")); assert r["outcome"] == "complete" and r["pieces_sent"] == 32, r' ||
  fail "SIGTERM during the download: result $(cat out.json)"
[[ $(wc -l <"$history") == $((lines + 1)) ]] || fail "SIGTERM during the download: no history line"

[[ $failures == 0 ]] || { echo "$failures checks failed" >&2; exit 1; }
