#!/bin/sh
# Usage: unreadable_start.sh PROGRAM
# Starts PROGRAM with an unreadable parameter file and with an unreadable folder and
# expects the one-line refusal and exit status 2 for each. Root reads everything, so
# as root the program runs as nobody.
set -u
program=$1
name=$(basename "$program")
here=$(dirname "$0")
dir=$(mktemp -d "${TMPDIR:-/tmp}/morvantide-start-XXXXXX")
trap 'chmod -R u+rwx "$dir"; rm -rf "$dir"' EXIT
chmod 755 "$dir"
mkdir "$dir/locked"
: >"$dir/LOCKED.OUC"
chmod 000 "$dir/locked" "$dir/LOCKED.OUC"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
  as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
  # nobody may not reach the build tree (a checkout under /root): run copies from here.
  mkdir "$dir/bin"
  cp "$program" "$here/expect_exit.sh" "$dir/bin/"
  chmod 755 "$dir/bin" "$dir/bin/$name" "$dir/bin/expect_exit.sh"
  program="$dir/bin/$name"
  here="$dir/bin"
fi
# shellcheck disable=SC2086
$as_user "$here/expect_exit.sh" 2 "$name: cannot open file $dir/LOCKED.OUC: Permission denied" \
  "$program" "$dir/LOCKED.OUC" || exit 1
# shellcheck disable=SC2086
$as_user "$here/expect_exit.sh" 2 "$name: cannot open folder $dir/locked: Permission denied" \
  "$program" "$dir/locked" || exit 1
