#!/usr/bin/env bash
# Installation and packaging: a fresh prefix and the Debian package hold the
# two programs, the manual in English and in Turkish, the licence and the
# changelog; the pages render without warnings; the programs load no C++
# runtime; the package has its Depends; and lintian finds nothing.
#   package_test.sh BUILD SOURCE HARDENED
set -euo pipefail
for tool in groff man dpkg-deb dpkg-shlibdeps file readelf lintian; do
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
    share/man/man1/molagirlik.1.gz share/man/man1/molagirlik-utf8.1.gz \
    share/man/tr/man1/molagirlik.1.gz share/man/tr/man1/molagirlik-utf8.1.gz \
    share/doc/molagirlik/copyright share/doc/molagirlik/changelog.gz; do
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

# Without dpkg-shlibdeps the package would have no Depends: cpack stops
# and says what to install, and writes no .deb.
mkdir "$work/bare"
if (cd "$work/bare" && PATH=/nonexistent "$(command -v cpack)" -G DEB \
    --config "$build/CPackConfig.cmake" > cpack.log 2>&1); then
  fail "cpack made a package without dpkg-shlibdeps"
fi
grep -q "dpkg-dev" "$work/bare/cpack.log" || { cat "$work/bare/cpack.log"; fail "no word of dpkg-dev"; }
! ls "$work/bare"/*.deb > /dev/null 2>&1 || fail "a .deb without Depends was written"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" > cpack.log) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/molagirlik ./usr/bin/molagirlik-utf8 \
    ./usr/share/man/man1/molagirlik.1.gz ./usr/share/man/man1/molagirlik-utf8.1.gz \
    ./usr/share/man/tr/man1/molagirlik.1.gz ./usr/share/doc/molagirlik/copyright \
    ./usr/share/doc/molagirlik/changelog.gz; do
  grep -qF " $file" <<< "$contents" || fail "not in the package: $file"
done
for field in Package Version Maintainer Description Section Depends; do
  value=$(dpkg-deb -f "$deb" "$field")
  [ -n "$value" ] || fail "no $field field"
  echo "$field: ${value%%$'\n'*}"
done
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "section"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "Depends lacks libc6"
dpkg-deb -x "$deb" "$work/unpacked"
# The changelog is signed by the Maintainer.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
zcat "$work/unpacked/usr/share/doc/molagirlik/changelog.gz" | grep -qF " -- $maintainer  " ||
  fail "the changelog is not signed by $maintainer"
file "$work/unpacked/usr/bin/molagirlik" | grep -q ", stripped" || fail "not stripped"

if [ "$hardened" = ON ]; then
  findings=$(lintian --pedantic -I -E --tag-display-limit 0 "$deb" 2>&1 |
    grep -vE '^N: |^running with root privileges' || true)
  echo "lintian: ${findings:-nothing}"
  # A Maintainer with no address, and so a changelog signed without one,
  # are the findings allowed: the project has none, and a made-up one would
  # be worse. Beyond those, lintian finds nothing at all.
  [[ $maintainer == *"<"* ]] || findings=$(grep -vE \
    -e '^E: molagirlik: malformed-contact Maintainer ' \
    -e '^W: molagirlik: syntax-error-in-debian-changelog "(badly formatted trailer line|found eof where expected more change data or trailer)" \[usr/share/doc/molagirlik/changelog.gz:(9|10)\]$' \
    <<< "$findings" || true)
  [ -z "$findings" ] || fail "lintian finds these"
fi
echo "installed and packaged: $(basename "$deb")"
