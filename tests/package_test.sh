#!/usr/bin/env bash
# Installation by hand: a fresh prefix holds the two programs, the manual in
# English and in Turkish, the menu's entry, its icons and the metainfo; the
# pages render without warnings; the programs load no C++ runtime; the
# validators find nothing. (The Debian package is debian/'s, checked in CI.)
#   package_test.sh BUILD SOURCE HARDENED
set -euo pipefail
for tool in groff man readelf desktop-file-validate appstreamcli; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
hardened=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/molagirlik bin/molagirlik-utf8 \
    share/man/man1/molagirlik.1 share/man/man1/molagirlik-utf8.1 \
    share/man/tr/man1/molagirlik.1 share/man/tr/man1/molagirlik-utf8.1 \
    share/applications/molagirlik.desktop share/metainfo/io.github.molagirlik.metainfo.xml \
    share/icons/hicolor/scalable/apps/molagirlik.svg \
    share/icons/hicolor/{48x48,128x128,256x256}/apps/molagirlik.png; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done
printf '2 H 2 O 1 son\n\n' | "$prefix/bin/molagirlik-utf8" | grep -qF "kütlesi: 18.02" ||
  fail "the installed program does not compute water"

for page in man/molagirlik.1 man/tr/molagirlik.1; do
  warnings=$(groff -k -man -ww -z "$source/$page" 2>&1)
  [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
done
# man finds the English page by default and the Turkish one for Turkish;
# molagirlik-utf8 leads to the same pages.
export MANPATH=$prefix/share/man MANWIDTH=80
for name in molagirlik molagirlik-utf8; do
  LANG=C.UTF-8 LC_ALL=C.UTF-8 man "$name" 2> /dev/null | grep -q "^DESCRIPTION" ||
    fail "man $name does not show the English page"
  LANG=C.UTF-8 LC_ALL=C.UTF-8 man -L tr "$name" 2> /dev/null | grep -q "^AÇIKLAMA" ||
    fail "man -L tr $name does not show the Turkish page"
done

if [ "$hardened" = ON ]; then
  needed=$(readelf -d "$build/molagirlik" | grep NEEDED)
  ! grep -qE 'libstdc\+\+|libgcc_s|libm\.' <<< "$needed" ||
    fail "the program loads more than libc: $needed"
fi

# The menu's entry starts the UTF-8 program in a terminal; it and the
# software centres' metadata are valid, without a word from the validators.
entry=$prefix/share/applications/molagirlik.desktop
grep -qx "Exec=molagirlik-utf8" "$entry" || fail "the entry does not start molagirlik-utf8"
grep -qx "Terminal=true" "$entry" || fail "the entry opens no terminal"
grep -qx "Name\[tr\]=Molekül Ağırlığı" "$entry" || fail "the entry has no Turkish name"
said=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $said"
[ -z "$said" ] || fail "desktop-file-validate says: $said"
metainfo=$prefix/share/metainfo/io.github.molagirlik.metainfo.xml
said=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) ||
  fail "appstreamcli: $said"
! grep -qE '^[EWIP]: ' <<< "$said" || fail "appstreamcli says: $said"
for program in molagirlik molagirlik-utf8; do
  grep -qF "<binary>$program</binary>" "$metainfo" || fail "the metainfo omits $program"
done
# What a software centre starts is an entry that is installed.
for launchable in $(sed -n 's#.*<launchable type="desktop-id">\(.*\)</launchable>.*#\1#p' "$metainfo"); do
  [ -e "$prefix/share/applications/$launchable" ] || fail "the metainfo launches $launchable, which is not installed"
done
grep -q '<launchable type="desktop-id">' "$metainfo" || fail "the metainfo launches nothing"
echo "installed: the programs, the manual in English and Turkish, the menu entry, icons and metainfo"
