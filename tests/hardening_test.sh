#!/usr/bin/env bash
# The hardening of the shipped programs, as Debian's hardening-check reads
# it (PIE, stack protector, fortified calls, RELRO, BIND_NOW), and what it
# cannot read on Debian 12, on x86-64: the control-flow landing pads
# (endbr64) that -fcf-protection puts at the functions' starts, which
# Debian 12's start files, built without it, keep the linker from marking
# in the program's notes; and the probes that -fstack-clash-protection puts
# in main's 128 KiB frame, which step down a page at a time instead of over
# the stack's guard page (hardening-check knows another shape of probe, and
# says "unknown"). Stripped programs are read too: no symbol is needed.
#   hardening_test.sh PROGRAM...
set -euo pipefail
for tool in hardening-check objdump; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }
for program in "$@"; do
  hardening-check --nocfprotection "$program" || fail "hardening-check on $program"
  [ "$(uname -m)" = x86_64 ] || continue
  code=$(objdump -d --no-show-raw-insn "$program")
  # The start files bring two; the program's own functions, two dozen.
  pads=$(grep -c 'endbr64' <<< "$code" || true)
  [ "$pads" -ge 10 ] || fail "$program: $pads endbr64 landing pads (no -fcf-protection)"
  probes=$(grep -cE '(or|mov)q?[[:space:]]+\$0x0,\(%rsp\)' <<< "$code" || true)
  [ "$probes" -ge 1 ] || fail "$program: no stack probe (no -fstack-clash-protection)"
  echo "$program: $pads control-flow landing pads, $probes stack probe loops"
done
