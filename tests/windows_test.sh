#!/usr/bin/env bash
# The Windows programs under Wine, over real pipes and files: for every
# session they must write the very bytes of the Linux programs and end with
# the same status; a reader that leaves early ends them quietly, a full
# device with status 1 and a message. The zip holds what a Windows user needs.
#   windows_test.sh WINDOWS_BUILD LINUX_BUILD
set -euo pipefail
windows=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
# Every Wine start without address randomisation (see the toolchain file)
# and with a time limit.
wine=(timeout 120 setarch -R "${WINE:-/usr/lib/wine/wine64}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The bad entries that make sense for a program reading a pipe or a file.
cases=(
  "" "-42193742" "abc" "9 -42193742" "2" "2 Xx" "2 H" "2 H -9832342"
  "2 H x" "2 son" "2 son\n" "2 son\r" "2 son\nc"
  "4294967298 3 H 1 son\n" "-4294967298\n2 H 1 son\n" "2 H 4294967298 3 son\n"
  "2 H -4294967298 3 son\n" "2 H\0 H 1 son\n" "2 \x80\xFF\x9A H 1 son\n"
  "%s%n 2 %n%s%d H %s 1 son\n" "- 2 + H - 1 son\n"
  "-42193742 x 2 H -9832342 y 1 son\n" "2 H\x1A 2 O 1 son\n\n"
  "2\r\nH\r\n2\r\nson\r\nc\r\n1\r\nO\r\n1\r\nson\r\n\r\n"
)
sessions=("$source"/tests/golden/*.in "$source"/fuzz/corpus/*)
for i in "${!cases[@]}"; do
  printf '%b' "${cases[$i]}" > "$work/case-$i"
  sessions+=("$work/case-$i")
done

# Runs a program on a session, through pipes both ways or from a file to a
# file, and prints its status.
run() {
  local program=$1 session=$2 mode=$3 output=$4 status=0
  if [ "$mode" = pipes ]; then
    cat "$session" | "${wine[@]}" "$windows/$program.exe" 2> "$work/stderr" | cat > "$output" || status=$?
  else
    "${wine[@]}" "$windows/$program.exe" < "$session" > "$output" 2> "$work/stderr" || status=$?
  fi
  echo "$status"
}

checked=0
for program in molagirlik molagirlik-utf8; do
  for session in "${sessions[@]}"; do
    expected_status=0
    "$linux/$program" < "$session" > "$work/expected" || expected_status=$?
    for mode in pipes file; do
      status=$(run "$program" "$session" "$mode" "$work/got")
      [ "$status" -eq "$expected_status" ] ||
        fail "$program.exe ($mode) status $status on $session: $(cat "$work/stderr")"
      cmp -s "$work/expected" "$work/got" || fail "$program.exe ($mode) differs on $session"
    done
    checked=$((checked + 1))
  done
done
echo "$checked sessions: the same bytes and status as on Linux, over pipes and files"

for _ in $(seq 1 20000); do echo "2 H 2 O 1 son c"; done > "$work/long"
for limit in 1 100 200000; do
  "${wine[@]}" "$windows/molagirlik.exe" < "$work/long" | head -c "$limit" > /dev/null
  [ "${PIPESTATUS[0]}" -eq 0 ] || fail "a reader leaving after $limit bytes gives status ${PIPESTATUS[0]}"
done
echo "a reader that leaves early: status 0"

status=0
printf '2 H 2 son\n\n' | "${wine[@]}" "$windows/molagirlik-utf8.exe" > /dev/full 2> "$work/message" || status=$?
[ "$status" -eq 1 ] || fail "a full device gives status $status"
# The same bytes as on Linux: no carriage return before the line end.
cmp -s "$work/message" <(printf 'molagirlik-utf8: write error: No space left on device\n') ||
  fail "a full device's message: $(od -c "$work/message")"
echo "a full device: status 1 and the message"

status=0
"${wine[@]}" "$windows/molagirlik.exe" <&- > "$work/closed" || status=$?
[ "$status" -eq 0 ] && [ "$(grep -c "buraya giriniz" "$work/closed")" -eq 1 ] ||
  fail "a closed standard input: status $status"
echo "a closed standard input: the end of input"

# The zip, as someone on Windows opens it: both programs, a Turkish read-me
# and the licence as .txt files with Windows' line ends, nothing else.
(cd "$work" && cpack -G ZIP --config "$windows/CPackConfig.cmake" > /dev/null)
zip=$(ls "$work"/molagirlik-*-win64.zip)
listing=$(cmake -E chdir "$work" cmake -E tar tf "$zip" | sed 's#^[^/]*/##' | sort)
[ "$listing" = "$(printf '%s\n' LICENSE.txt OKUBENI.txt molagirlik-utf8.exe molagirlik.exe)" ] ||
  fail "the zip holds: $listing"
mkdir "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
for text in OKUBENI.txt LICENSE.txt; do
  file=$(ls "$work"/unzipped/*/"$text")
  lines=$(wc -l < "$file")
  [ "$(grep -c $'\r$' "$file")" -eq "$lines" ] || fail "$text has lines without CRLF"
  [ "$(tr -cd '\r' < "$file" | wc -c)" -eq "$lines" ] || fail "$text has a stray CR"
done
echo "the zip: $(tr '\n' ' ' <<< "$listing")with CRLF line ends"
# The read-me's example is what the program computes.
example=$(grep -a '^Örnek' "$windows/OKUBENI.txt" | tr -d '\r')
entries=$(sed 's/^[^:]*: *\(.*\) *->.*/\1/' <<< "$example")
result=$(sed 's/.*-> *//' <<< "$example")
printf '%s\n\n' "$entries" | "$linux/molagirlik-utf8" | grep -qE "kütlesi: ${result//./\\.}( |$)" ||
  fail "OKUBENI.txt's example: $entries gives not $result but: $(printf '%s\n\n' "$entries" | "$linux/molagirlik-utf8" | grep -a "molekül kütlesi:" | tr -s " ")"
echo "the read-me's example: $entries -> $result"

# What Explorer shows of each program: its icon at every size Windows asks
# for, and Properties -> Details in Turkish.
for program in molagirlik molagirlik-utf8; do
  if [ "$program" = molagirlik ]; then
    description="Molekül ağırlığı hesaplama (Türkçe harfler kod sayfası 857 ile)"
  else
    description="Molekül ağırlığı hesaplama (Türkçe harfler UTF-8 ile)"
  fi
  wrestool -x -t 14 "$windows/$program.exe" > "$work/icon.ico" 2> /dev/null
  sizes=$(icotool -l "$work/icon.ico" | sed 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1/' | tr '\n' ' ')
  [ "$sizes" = "16 24 32 48 256 " ] || fail "$program.exe's icon sizes: ${sizes:-none}"
  wrestool -x --raw -t 16 "$windows/$program.exe" | python3 "$source/tests/windows/version_info.py" > "$work/details" ||
    fail "$program.exe has no version block"
  diff "$work/details" - <<DETAILS || fail "$program.exe's details differ"
file version: 2.0.0.0
product version: 2.0.0.0
041F04B0 CompanyName: molagirlik geliştiricileri
041F04B0 FileDescription: $description
041F04B0 FileVersion: 2.0.0.0
041F04B0 InternalName: $program
041F04B0 LegalCopyright: Telif hakkı © 2004-2026 molagirlik geliştiricileri (MIT lisansı)
041F04B0 OriginalFilename: $program.exe
041F04B0 ProductName: Molekül Ağırlığı Hesaplama Programı
041F04B0 ProductVersion: 2.0.0
translation: 041F 1200
DETAILS
done
echo "the programs' icon (16, 24, 32, 48 and 256 px) and Turkish details"
