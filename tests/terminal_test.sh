#!/usr/bin/env bash
# A person at a UTF-8 terminal: the program runs in tmux and is typed at key
# by key. The screen must show the Turkish letters of the banner, a typed
# Turkish word echoed as typed, the result, and a long stretch of output
# without a broken letter; the end-of-input key (if given) must end the run
# at once, and for good.
#   terminal_test.sh [--end KEY] COMMAND...
set -euo pipefail
command -v tmux > /dev/null || { echo "tmux is not installed: skipped"; exit 77; }
end_key=""
if [ "$1" = --end ]; then end_key=$2; shift 2; fi
session="molagirlik-test-$$"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
socket="molagirlik-$$"
cleanup() { tmux -L "$socket" kill-server 2>/dev/null || true; }
trap cleanup EXIT

printf -v command '%q ' "$@"
tmux -L "$socket" -f /dev/null new-session -d -s "$session" -x 100 -y 60 \
  "$command; echo EXITED \$?; sleep 30"
tmux -L "$socket" set-option -t "$session" history-limit 20000 > /dev/null

screen() { tmux -L "$socket" capture-pane -p -t "$session" -S -20000; }
# Waits until the screen shows $1 ($2 times, if given).
wait_for() {
  for _ in $(seq 1 200); do
    [ "$(screen | grep -cF -- "$1")" -ge "${2:-1}" ] && return 0
    sleep 0.05
  done
  echo "never shown: $1"; screen | tail -40; exit 1
}
type_line() { tmux -L "$socket" send-keys -t "$session" -l "$1"; tmux -L "$socket" send-keys -t "$session" Enter; }

wait_for "buraya giriniz:"
for keys in 2 Çay H 2 O 1 son; do
  type_line "$keys"
  sleep 0.05
done
wait_for "HARFİNİ GİRİNİZ..."
screen | grep -qF "MOLEKÜL AĞIRLIĞI HESAPLAMA" || { echo "banner not shown"; screen; exit 1; }
screen | grep -qF "UYARI: Çay geçerli bir element sembolü değil!" || { echo "typed word not echoed"; screen; exit 1; }
screen | grep -qF "1. bileşiğin molekül kütlesi: 18.02" || { echo "result not shown"; screen; exit 1; }

# Ten compounds on one line: some 25 KB of output in one go.
type_line c
wait_for "buraya giriniz:" 2
line=""
for _ in $(seq 1 10); do line+="2 H 2 O 1 son c "; done
type_line "${line}2 son"
wait_for "HARFİNİ GİRİNİZ..." 12
[ "$(screen | grep -cF "MOLEKÜL AĞIRLIĞI HESAPLAMA")" -eq 12 ] || { echo "banners lost"; exit 1; }
! screen | grep -qF $'\xEF\xBF\xBD' || { echo "a broken letter on screen"; screen | grep -F $'\xEF\xBF\xBD' | head; exit 1; }

if [ -n "$end_key" ]; then
  type_line c
  wait_for "buraya giriniz:" 13
  # "2" then the key hands over the 2; the key again at once ends the
  # input, which must not be read again after that.
  tmux -L "$socket" send-keys -t "$session" 2 "$end_key"
  sleep 0.2
  tmux -L "$socket" send-keys -t "$session" "$end_key"
else
  type_line ""
fi
wait_for "EXITED 0"
echo "terminal shows the letters, the typed word, 18.02 and 12 compounds, and ends"
