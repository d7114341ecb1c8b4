#!/usr/bin/env bash
# A write that fails only at the program's last flush is still reported: the
# output goes to a file of at most 1 KiB (with SIGXFSZ ignored, a write past
# it fails with EFBIG), which holds the screen up to the first prompt but
# not the whole session. The program must exit 1 and say why.
#   last_flush_test.sh PROGRAM
set -euo pipefail
program=$1
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

session=$'2 H 2 O 1 son\n\n'
first=$("$program" < /dev/null | wc -c)
whole=$(printf '%s' "$session" | "$program" | wc -c)
[ "$first" -le 1024 ] && [ "$whole" -gt 1024 ] ||
  fail "the first prompt ends at byte $first and the session at $whole: no test"

status=0
(trap '' XFSZ; ulimit -f 1; printf '%s' "$session" | "$program" > "$work/out" 2> "$work/err") ||
  status=$?
[ "$status" -eq 1 ] || fail "exit status $status, not 1, after $(stat -c %s "$work/out") bytes"
[ "$(cat "$work/err")" = "$name: write error: File too large" ] ||
  fail "the message is \"$(cat "$work/err")\""
echo "$name: the last flush failing after $(stat -c %s "$work/out") of $whole bytes: status 1, \"$(cat "$work/err")\""
