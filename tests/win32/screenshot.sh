#!/usr/bin/env bash
# Starts the Windows window under Wine once per page, with the sample shape
# open, and checks that each picture is the window's client area: 989 x 604
# pixels at 96 dpi. Needs a display (Xvfb in make test-windows).
set -u
exe="$1"; src="$2"
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit 77; }
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
out="${LODSMITH_SCREENSHOT_DIR:-$(mktemp -d)}"
fail=0
size() {  # width x height of a PNG, from its header
  od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}'
}
for page in 0 1; do
  shot="$out/window-page$page.png"
  rm -f "$shot"
  wine "$exe" --screenshot "$shot" --page "$page" --open "$src/samples/sample.s" 2>"$out/err$page"
  rc=$?
  if [ $rc -ne 0 ] || [ ! -s "$shot" ]; then
    echo "FAIL: page $page: no picture (exit $rc): $(tr -d '\r' <"$out/err$page")"
    fail=1
    continue
  fi
  [ "$(size "$shot")" = "989x604" ] || { echo "FAIL: page $page is $(size "$shot"), not 989x604"; fail=1; }
  # Opening the sample shows no message at all.
  [ ! -s "$out/err$page" ] || { echo "FAIL: page $page: $(tr -d '\r' <"$out/err$page")"; fail=1; }
done
exit $fail
