#!/usr/bin/env bash
# Runs each session file through two builds of the program and fails on the
# first byte or exit status that differs. A program may be a command with
# its arguments, such as an emulator and the program it runs.
#   same_output.sh "PROGRAM [ARGS]" REFERENCE SESSION...
set -euo pipefail
read -ra program <<< "$1"
reference=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for session in "$@"; do
  status=0 expected=0
  "${program[@]}" < "$session" > "$work/got" || status=$?
  "$reference" < "$session" > "$work/expected" || expected=$?
  if ! cmp "$work/got" "$work/expected" || [ "$status" -ne "$expected" ]; then
    echo "FAIL: ${program[*]} and $reference differ on $session" \
      "(status $status and $expected)"
    exit 1
  fi
done
echo "$# sessions: the same bytes and status from ${program[*]} and $reference"
