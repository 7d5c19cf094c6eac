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
# samples/signal.s is made by tests/support/mesh_shape.cpp (SignalSample).
# Its LOD 3 keeps the foundation (a box: 12 triangles), the mast (an
# octagonal prism without ends, 8 x 2, under a box for its cap, 12), the
# head (a box, 12) and the lamps (three octagons of 8 triangles).
lod3_triangles=$((12 + 8 * 2 + 12 + 12 + 3 * 8))
check "LOD 3 of the settings file shows its four elements" 'grep -q "$lod3_triangles Dreiecke, 4 Elemente" "$tmp/err"'

"$cli" "$tmp/signal.s" --lod 3 --as-seen --render "$tmp/seen.png" --lang en 2>"$tmp/err"; rc=$?
# The model stands from the foundation's foot (0 m) to the top of the mast's
# cap (5.6 + 0.12 m); the screen "as seen" is 1080 pixels high with a 55
# degree field of view, so 1 m at 1200 m is 540 / tan(27.5 deg) / 1200
# pixels high (the depth of the model, under a metre, changes the second
# decimal only).
height=$(awk 'BEGIN { t = sin(27.5 * atan2(0, -1) / 180) / cos(27.5 * atan2(0, -1) / 180);
                     printf "%.1f", 540 / t * (5.6 + 0.12) / 1200 }')
check "as seen names the height at the LOD's distance" '[ $rc -eq 0 ] && grep -q "LOD 3 from 1200 m: $height pixels high" "$tmp/err"'

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
