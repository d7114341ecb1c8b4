#!/usr/bin/env bash
# What a blind student hears: Orca, Debian's screen reader, reads the page
# in Firefox ESR and in Chromium under Xvfb while the water session is
# typed (tests/orca/orca-say), and tests/orca/check_speech.py checks what
# it said: the opening instruction, each prompt, the result before the
# closing block, "Program sona erdi." at the end, nothing said twice, no
# region's name and no run of spaces. About a minute a browser.
#   orca_test.sh PAGE.html OUTPUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
page=$1
out=$2
mkdir -p "$out"
failed=0
for browser in firefox chromium; do
  rm -rf "${out:?}/$browser"
  BROWSER=$browser FINAL_ENTER=1 "$here/orca/orca-say" "$page" "$out/$browser" > "$out/$browser.log" 2>&1 ||
    { tail -n 20 "$out/$browser.log"; echo "FAIL: orca-say in $browser"; failed=1; continue; }
  if "$here/orca/check_speech.py" "$out/$browser/speech.txt" "$page"; then
    echo "ok: what Orca said in $browser ($(grep -c " SAYS " "$out/$browser/speech.txt") utterances)"
  else
    echo "FAIL: what Orca said in $browser, in $out/$browser/speech.txt"
    failed=1
  fi
done
exit "$failed"
