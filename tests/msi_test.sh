#!/usr/bin/env bash
# The Windows Installer package under Wine, as a school's IT staff deploy it,
# in a Wine prefix of its own: a silent install puts both programs, the
# read-me and the licence in Program Files\Molagirlik, a Start-menu entry
# that opens molagirlik-utf8.exe, and an entry in Apps & features; the
# installed programs compute water; a newer version replaces an older one,
# leaving one entry; a silent removal leaves nothing of the program behind.
#   msi_test.sh WINDOWS_BUILD   (after `cmake --build WINDOWS_BUILD --target msi`)
set -euo pipefail
windows=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
msi=$(ls "$windows"/molagirlik-*-x64.msi)
version=$(basename "$msi" | sed 's/^molagirlik-\(.*\)-x64\.msi$/\1/')
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
trap '/usr/lib/wine/wineserver -k 2> /dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Every Wine start without address randomisation (see the toolchain file)
# and with a time limit.
wine() { timeout 120 setarch -R /usr/lib/wine/wine64 "$@"; }
msiexec() { wine msiexec "$@" < /dev/null > /dev/null 2>&1 || fail "msiexec $* gave status $?"; }
timeout 300 setarch -R /usr/lib/wine/wine64 wineboot --init < /dev/null > /dev/null 2>&1

folder="$WINEPREFIX/drive_c/Program Files/Molagirlik"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
product_code() { msiinfo export "$1" Property | sed -n 's/^ProductCode\t\(.*\)\r$/\1/p'; }
# A registry key as `reg export` writes it, in UTF-8; nothing where it is not.
key() {
  rm -f "$WINEPREFIX/drive_c/key.reg"
  wine reg export "$1" 'C:\key.reg' /y < /dev/null > /dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/key.reg" | tr -d '\r'
}
# The Start-menu entries named for the program, of all users or of the user
# (where Wine puts them).
shortcuts() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/*' -name 'Molekül Ağırlığı.lnk'; }

# Checks that exactly this version is installed, as the user and Apps &
# features see it.
installed() {
  local package=$1 expected_version=$2 code entry
  code=$(product_code "$package")
  [ "$(cd "$folder" && ls | sort | tr '\n' ' ')" = "LICENSE.txt OKUBENI.txt molagirlik-utf8.exe molagirlik.exe " ] ||
    fail "Program Files\\Molagirlik holds: $(ls "$folder" 2>&1)"
  for file in molagirlik.exe molagirlik-utf8.exe OKUBENI.txt LICENSE.txt; do
    cmp -s "$folder/$file" "$3/$file" || fail "the installed $file is not the package's"
  done
  [ "$(shortcuts | wc -l)" -eq 1 ] || fail "Start-menu entries: $(shortcuts)"
  python3 "$source/tests/windows/shortcut.py" "$(shortcuts)" > "$work/shortcut"
  grep -qxF 'target: C:\Program Files\Molagirlik\molagirlik-utf8.exe' "$work/shortcut" ||
    fail "the Start-menu entry: $(cat "$work/shortcut")"
  grep -q '^icon: .*\.ico$' "$work/shortcut" || fail "the Start-menu entry has no icon"
  entry=$(key "$uninstall\\$code")
  grep -qxF '"DisplayName"="Molekül Ağırlığı Hesaplama"' <<< "$entry" || fail "Apps & features: $entry"
  grep -qxF "\"DisplayVersion\"=\"$expected_version\"" <<< "$entry" || fail "Apps & features: $entry"
  grep -qxF '"DisplayIcon"="C:\\Program Files\\Molagirlik\\molagirlik-utf8.exe,0"' <<< "$entry" ||
    fail "Apps & features shows no icon: $entry"
  [ "$(key "$uninstall" | grep -c '^"DisplayName"="Molekül')" -eq 1 ] ||
    fail "Apps & features lists the program $(key "$uninstall" | grep -c '^"DisplayName"="Molekül') times"
}

# Checks that nothing of the program is left.
removed() {
  [ ! -e "$folder" ] || fail "left behind: $(find "$folder")"
  [ -z "$(shortcuts)" ] || fail "left behind: $(shortcuts)"
  [ -z "$(key 'HKLM\Software\Molagirlik')" ] || fail 'left behind: HKLM\Software\Molagirlik'
  ! key "$uninstall" | grep -q 'Molekül' || fail "left behind in Apps & features: $(key "$uninstall" | grep -B3 Molekül)"
}

msiexec /i "$msi" /qn
installed "$msi" "$version" "$windows/msi-files"
echo "a silent install: the files, the Start-menu entry and Apps & features"

wine "$folder/molagirlik-utf8.exe" < "$source/tests/golden/water.in" 2> /dev/null |
  cmp -s - "$source/tests/golden/water.out" || fail "the installed molagirlik-utf8.exe differs on water"
wine "$folder/molagirlik.exe" < "$source/tests/golden/water.in" 2> /dev/null |
  cmp -s - <(iconv -f UTF-8 -t CP857 "$source/tests/golden/water.out") ||
  fail "the installed molagirlik.exe differs on water"
echo "the installed programs: water's screen byte for byte through a pipe"

msiexec /x "$msi" /qn
removed
echo "a silent removal: nothing left"

# An older version, built here from the same files with its own read-me.
cp -r "$windows/msi-files" "$work/old-files"
sed -i "s/ $version/ 1.9.0/" "$work/old-files/OKUBENI.txt"
cmake -DFILES="$work/old-files" -DICON="$windows/molagirlik.ico" -DVERSION=1.9.0 \
  -DOUTPUT="$work/molagirlik-1.9.0-x64.msi" -P "$source/cmake/msi.cmake"
[ "$(product_code "$work/molagirlik-1.9.0-x64.msi")" != "$(product_code "$msi")" ] ||
  fail "the older version has the same ProductCode"
msiexec /i "$work/molagirlik-1.9.0-x64.msi" /qn
installed "$work/molagirlik-1.9.0-x64.msi" 1.9.0 "$work/old-files"
msiexec /i "$msi" /qn
installed "$msi" "$version" "$windows/msi-files"
echo "an upgrade from 1.9.0: one entry, $version, and its files"
msiexec /x "$msi" /qn
removed
echo "the upgraded program removed: nothing left"
