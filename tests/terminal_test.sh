#!/usr/bin/env bash
# A person at a UTF-8 terminal: molagirlik-utf8 runs in tmux, a water
# dialogue is typed key by key, and the screen must show the banner's
# Turkish letters and the result.
set -euo pipefail
command -v tmux > /dev/null || { echo "tmux is not installed: skipped"; exit 77; }
program=$1
session="molagirlik-test-$$"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
socket="molagirlik-$$"
cleanup() { tmux -L "$socket" kill-server 2>/dev/null || true; }
trap cleanup EXIT

tmux -L "$socket" -f /dev/null new-session -d -s "$session" -x 100 -y 60 "$program; sleep 30"

screen() { tmux -L "$socket" capture-pane -p -t "$session" -S -100; }
# Waits until the screen shows $1.
wait_for() {
  for _ in $(seq 1 100); do
    if screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.05
  done
  echo "never shown: $1"; screen; exit 1
}

wait_for "buraya giriniz:"
for keys in 2 H 2 O 1 son; do
  tmux -L "$socket" send-keys -t "$session" "$keys" Enter
  sleep 0.05
done
wait_for "HARFİNİ GİRİNİZ..."

screen | grep -qF "MOLEKÜL AĞIRLIĞI HESAPLAMA" || { echo "banner not shown"; screen; exit 1; }
screen | grep -qF "1. bileşiğin molekül kütlesi: 18.02" || { echo "result not shown"; screen; exit 1; }
echo "terminal shows the banner and 18.02"
