#!/bin/sh
# Usage: expect_exit.sh STATUS LINE COMMAND [ARG]...
# Runs COMMAND and passes when it exits with STATUS and its standard error is
# exactly LINE (an empty LINE: any standard error).
expected_status=$1 expected_line=$2
shift 2
err=$("$@" 2>&1 >/dev/null)
status=$?
if [ "$status" -ne "$expected_status" ]; then
  echo "exit status $status, expected $expected_status" >&2
  exit 1
fi
if [ -n "$expected_line" ] && [ "$err" != "$expected_line" ]; then
  echo "standard error: '$err'" >&2
  echo "expected:       '$expected_line'" >&2
  exit 1
fi
