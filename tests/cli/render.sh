#!/usr/bin/env bash
# --render: the preview picture as a PNG, written only when every action ran.
set -u
cli="$1"; src="$2"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; fail=1; fi; }
cp "$src/samples/signal.s" "$src/samples/signal.Lodsmith" "$tmp/"

"$cli" "$tmp/signal.s" --lod 3 --view iso --size 320x200 --render "$tmp/l3.png" 2>"$tmp/err"; rc=$?
check "render exits 0" '[ $rc -eq 0 ]'
check "a PNG of the asked size" '[ "$(head -c 8 "$tmp/l3.png" | od -An -tx1 | tr -d " ")" = "89504e470d0a1a0a" ] &&
  [ "$(od -An -tu1 -j16 -N8 "$tmp/l3.png" | tr -s " ")" = " 0 0 1 64 0 0 0 200" ]'
check "LOD 3 of the settings file shows its four elements" 'grep -q "76 Dreiecke, 4 Elemente" "$tmp/err"'

"$cli" "$tmp/signal.s" --lod 3 --as-seen --render "$tmp/seen.png" --lang en 2>"$tmp/err"; rc=$?
check "as seen names the height at the LOD's distance" '[ $rc -eq 0 ] && grep -q "LOD 3 from 1200 m: 4.9 pixels high" "$tmp/err"'

"$cli" "$tmp/signal.s" --lod 4 --render "$tmp/none.png" 2>/dev/null; rc=$?
check "a LOD the shape has not exits 1 and writes nothing" '[ $rc -eq 1 ] && [ ! -e "$tmp/none.png" ]'
"$cli" "$tmp/signal.s" --render "$tmp/none.png" --merge-points 0 --merge-points 0 2>/dev/null; rc=$?
check "a refused later action writes no picture" '[ $rc -eq 1 ] && [ ! -e "$tmp/none.png" ]'
"$cli" "$tmp/signal.s" "$src/samples/sample.s" --render "$tmp/none.png" 2>/dev/null; rc=$?
check "one picture file for two shapes is a usage error" '[ $rc -eq 2 ] && [ ! -e "$tmp/none.png" ]'
for bad in "--view back" "--size 0x10" "--size 800" "--lod -1"; do
  "$cli" "$tmp/signal.s" $bad --render "$tmp/none.png" 2>/dev/null; rc=$?
  check "$bad is a usage error" '[ $rc -eq 2 ] && [ ! -e "$tmp/none.png" ]'
done
exit $fail
