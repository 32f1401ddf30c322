#!/bin/sh
# Inside the qemu-scsi guest (scsi_debug as a KESTREL MX-R4410 at /dev/sg0, host
# adapter 0, target 0): morvantide lists the drive both ways, then flashes it by
# letter and by adapter:target:LUN, and the history tells the real drive's node,
# SCSI address and the package. scsi_debug raises a unit attention after every
# piece: by letter each command is repeated on it (MorvantideNT's way) and the flash
# completes (each piece sent at most three times: two unit attentions, then taken);
# by address each is sent once (Morvantide4's way), so the second piece
# is refused, as in that program's dialog: status 5, and the command and piece named.
fail() { echo "FAIL: $*"; exit 1; }
export XDG_STATE_HOME=/tmp/state
./morvantide-package make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 >/dev/null
./morvantide list >list.txt 2>list.err || fail "list: $(cat list.err)"
cat list.txt
grep -q '^A:  *\/dev\/sg0  *0:0:0:0  *1\.00[0-9]*  *KESTREL MX-R4410$' list.txt || fail "list lacks A:"
grep -q '^0:0:0  *\/dev\/sg0  *0:0:0:0  *1\.00[0-9]*  *MX-R4410$' list.txt || fail "list lacks 0:0:0"
flash() {  # DRIVE STATUS OUTCOME FEWEST-WRITES MOST-WRITES
  ./morvantide flash R4410.OUC --drive "$1" --yes --json --trace "trace.$1" </dev/null >out.json 2>err.log
  status=$?
  cat out.json
  [ "$status" = "$2" ] || fail "flash $1: status $status: $(cat err.log)"
  grep -q "\"outcome\":\"$3\"" out.json || fail "flash $1: not $3"
  writes=$(grep -c ' 3B 0[45] ' "trace.$1")
  [ "$writes" -ge "$4" ] && [ "$writes" -le "$5" ] || fail "flash $1: $writes WRITE BUFFER, not $4 to $5"
}
flash A: 0 complete 32 96
flash 0:0:0 5 write-refused 2 2
grep -q '"failed_command":"WRITE BUFFER","failed_piece":"2/32 buffer 1 offset 0 length 16384"' out.json ||
  fail "flash 0:0:0: failing command and piece"
cat "$XDG_STATE_HOME/morvantide/history.log"
[ "$(grep -c 'program=morvantide' "$XDG_STATE_HOME/morvantide/history.log")" = 2 ] || fail "history lines"
grep -q "	kind=real	package=$PWD/R4410.OUC	sha256=[0-9a-f]\{64\}	node=/dev/sg0	scsi=0:0:0:0$" \
  "$XDG_STATE_HOME/morvantide/history.log" || fail "history fields"
grep -q "	node=/dev/sg0	scsi=0:0:0:0	failed=WRITE BUFFER	piece=2/32 buffer 1 offset 0 length 16384$" \
  "$XDG_STATE_HOME/morvantide/history.log" || fail "history of the refused piece"
echo "cli_vm: all passed"
