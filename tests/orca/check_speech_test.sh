#!/usr/bin/env bash
# check_speech.py must pass what Orca says of the water session when the
# page is right, and fail, with its own message, on each fault it is there
# to find: a prompt said again, a run of spaces, a region's name, a prompt
# not said, "Program sona erdi." not said.
#   check_speech_test.sh
set -euo pipefail
command -v python3 > /dev/null || { echo "python3 is not installed: skipped"; exit 77; }
check=$(dirname "$0")/check_speech.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cat > "$work/heard.txt" <<'HEARD'
0.10 SAYS 'MOLEKÜL AĞIRLIĞI HESAPLAMA PROGRAMI'
0.20 SAYS "Element sembolü yerine 'son' girerek çıkabilirsiniz."
0.30 SAYS 'Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:'
1.00 >> types '2'
1.05 >> presses Enter (after '2')
1.10 SAYS 'BİLGİ: Şu anda 1. bileşiğinizi giriyorsunuz...\n1. elementin sembolü:'
2.00 >> types 'H'
2.05 >> presses Enter (after 'H')
2.10 SAYS '1. elementin adedi :'
3.00 >> types '2'
3.05 >> presses Enter (after '2')
3.10 SAYS '2. elementin sembolü:'
4.00 >> types 'O'
4.05 >> presses Enter (after 'O')
4.10 SAYS '2. elementin adedi :'
5.00 >> types '1'
5.05 >> presses Enter (after '1')
5.10 SAYS '3. elementin sembolü:'
6.00 >> types 'son'
6.05 >> presses Enter (after 'son')
6.10 SAYS '1. bileşiğin molekül kütlesi: 18.02\nÇIKMAK İÇİN ENTER TUŞUNA BASINIZ...'
7.00 >> presses Enter (at the last question)
7.10 SAYS 'Program sona erdi.'
HEARD
python3 "$check" "$work/heard.txt" > "$work/said" || fail "a right session fails: $(cat "$work/said")"

# Each fault: a sed script on the right session, and the message it draws.
faults=(
  "/^3.10/a 3.20 SAYS '1. elementin adedi :'|said again: '1. elementin adedi :'"
  "s/^2.10 SAYS '1. elementin adedi :'/2.10 SAYS '1. elementin adedi  :'/|a run of spaces"
  "s/^5.10 SAYS '/5.10 SAYS 'Programın söyledikleri /|a region's name said"
  "/^4.10/d|not said: ['2. elementin adedi :']"
  "/^7.10/d|not said: ['Program sona erdi.']"
)
# A region the page names is not named when its words are said.
echo '<div id="announcer" aria-live="polite" aria-label="Program çıktısı"></div>' > "$work/page.html"
sed "s/^5.10 SAYS '/5.10 SAYS 'Program çıktısı /" "$work/heard.txt" > "$work/faulty.txt"
! python3 "$check" "$work/faulty.txt" "$work/page.html" > "$work/said" &&
  grep -qF "a region's name said" "$work/said" || fail "a region the page names, said: $(cat "$work/said")"
for fault in "${faults[@]}"; do
  sed "${fault%%|*}" "$work/heard.txt" > "$work/faulty.txt"
  if python3 "$check" "$work/faulty.txt" > "$work/said"; then
    fail "passes with the fault ${fault%%|*}"
  fi
  grep -qF -- "${fault#*|}" "$work/said" || fail "with ${fault%%|*}, not \"${fault#*|}\" but: $(cat "$work/said")"
done
echo "check_speech.py passes the right session and fails each of $((${#faults[@]} + 1)) faults"
