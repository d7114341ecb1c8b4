#!/usr/bin/env bash
# A write that fails only at the program's last flush is still reported: the
# output goes to a file of at most 1 KiB (with SIGXFSZ ignored, a write past
# it fails with EFBIG), which holds the screen up to the first prompt but
# not the whole session. The program must exit 1 and say why, having written
# all it could.
#   last_flush_test.sh PROGRAM
set -euo pipefail
program=$1
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

session=$'2 H 2 O 1 son\n\n'
# The whole screen, from a session that ends on its own last Enter: the pipe
# stays open, so a session that needed more input would wait, and a read's
# flush, not the final one, would meet the limit.
mkfifo "$work/in"
timeout 10 "$program" < "$work/in" > "$work/whole" &
exec 3> "$work/in"
printf '%s' "$session" >&3
status=0
wait $! || status=$?
exec 3>&-
[ "$status" -eq 0 ] || fail "the session did not end by itself (status $status)"
first=$("$program" < /dev/null | wc -c)
whole=$(stat -c %s "$work/whole")
[ "$first" -le 1024 ] && [ "$whole" -gt 1024 ] ||
  fail "the first prompt ends at byte $first and the session at $whole: no test"

status=0
(trap '' XFSZ; ulimit -f 1; printf '%s' "$session" | "$program" > "$work/out" 2> "$work/err") ||
  status=$?
[ "$status" -eq 1 ] || fail "exit status $status, not 1, after $(stat -c %s "$work/out") bytes"
[ "$(cat "$work/err")" = "$name: write error: File too large" ] ||
  fail "the message is \"$(cat "$work/err")\""
# Everything before the final flush is there, and of the end what fits.
cmp -s "$work/out" <(head -c 1024 "$work/whole") ||
  fail "the file is not the session's first 1024 bytes"
echo "$name: the last flush failing after $(stat -c %s "$work/out") of $whole bytes: status 1, \"$(cat "$work/err")\""
