#!/usr/bin/env bash
# same_output.sh, on which every comparison of builds rests, passes on a
# program against itself and fails where the bytes or the exit status
# differ.
#   same_output_test.sh PROGRAM OTHER_PROGRAM SESSION
set -euo pipefail
program=$1 other=$2 session=$3
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The program's very bytes, and then exit status 3.
printf '#!/bin/sh\n"%s"\nexit 3\n' "$program" > "$work/status-3"
chmod +x "$work/status-3"

"$here/same_output.sh" "$program" "$program" "$session" > /dev/null ||
  fail "a program differs from itself"
! "$here/same_output.sh" "$other" "$program" "$session" > /dev/null ||
  fail "different bytes pass"
! "$here/same_output.sh" "$work/status-3" "$program" "$session" > /dev/null ||
  fail "a different exit status passes"
echo "same_output.sh passes the same and fails on other bytes and another status"
