#!/usr/bin/env bash
# Installation and packaging: a fresh prefix and the Debian package both
# hold the two programs and the manual page, which renders without warnings.
set -euo pipefail
for tool in groff man dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" > /dev/null
for file in bin/molagirlik bin/molagirlik-utf8 share/man/man1/molagirlik.1 share/man/man1/molagirlik-utf8.1; do
  [ -e "$work/prefix/$file" ] || fail "not installed: $file"
done
printf '2 H 2 O 1 son\n\n' | "$work/prefix/bin/molagirlik-utf8" | grep -qF "kütlesi: 18.02" ||
  fail "the installed program does not compute water"

warnings=$(groff -k -man -ww -z "$source/man/molagirlik.1" 2>&1)
[ -z "$warnings" ] || fail "groff warns: $warnings"
warnings=$(cd "$work/prefix/share/man" && MANWIDTH=80 man --warnings -l man1/molagirlik-utf8.1 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warns: $warnings"
(cd "$work/prefix/share/man" && MANWIDTH=80 man -l man1/molagirlik-utf8.1) | grep -q "SUMMARY (ENGLISH)" ||
  fail "molagirlik-utf8.1 does not lead to the page"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" > cpack.log) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/molagirlik ./usr/bin/molagirlik-utf8 ./usr/share/man/man1/molagirlik.1 ./usr/share/man/man1/molagirlik-utf8.1; do
  grep -qF " $file" <<< "$contents" || fail "not in the package: $file"
done
for field in Package Version Maintainer Description Section Depends; do
  value=$(dpkg-deb -f "$deb" "$field")
  [ -n "$value" ] || fail "no $field field"
  echo "$field: ${value%%$'\n'*}"
done
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "section"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "Depends lacks libc6"
echo "installed and packaged: $(basename "$deb")"
