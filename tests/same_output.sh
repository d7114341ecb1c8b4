#!/usr/bin/env bash
# Runs each session file through two builds of the program and fails on the
# first byte that differs.
#   same_output.sh PROGRAM REFERENCE SESSION...
set -euo pipefail
program=$1 reference=$2
shift 2
for session in "$@"; do
  if ! cmp <("$program" < "$session") <("$reference" < "$session"); then
    echo "FAIL: $program and $reference differ on $session"
    exit 1
  fi
done
echo "$# sessions: the same bytes from $program and $reference"
