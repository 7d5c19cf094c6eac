#!/usr/bin/env bash
# The detail per LOD in the batch program: usage errors naming the value,
# one done line per simplified LOD and the same in the JSON report, the
# suggested distances, and the settings file's section.
set -u
cli="$1"; src="$2"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; fail=1; fi; }

cp "$src/samples/signal.s" "$src/samples/signal.Lodsmith" "$tmp/"
s="$tmp/signal.s"

for bad in "--detail 1=auto" "--detail 2=0%" "--detail 2=101" "--detail 2=half" "--detail 2" \
           "--screen-error 0" "--screen-error -1" "--screen-error 1,5"; do
  value=${bad#* }
  "$cli" --lang en "$s" $bad 2>"$tmp/err"; rc=$?
  check "$bad is a usage error" '[ $rc -eq 2 ]'
  check "$bad names its value" 'grep -qF -- "\"$value\"" "$tmp/err"'
done
"$cli" --lang en "$s" --detail 4=50 2>"$tmp/err"; rc=$?
check "a LOD the shape does not have fails the shape" '[ $rc -eq 1 ] && grep -q "no LOD 4" "$tmp/err"'

"$cli" --lang en "$s" --detail 3=auto --detail 2=50 --generate -o "$tmp/out.s" --report json >"$tmp/report" 2>"$tmp/err"; rc=$?
check "a generation with simplified LODs exits 0" '[ $rc -eq 0 ]'
check "one done line per simplified LOD" '[ "$(grep -c "^done: LOD [23] (" "$tmp/err")" -eq 2 ]'
check "the done line tells triangles, error and distance" \
  'grep -qE "^done: LOD 2 \(50%\): 112 -> [0-9]+ triangles, error [0-9]+\.[0-9] mm, judged at 100 m" "$tmp/err"'
check "the report carries the same per LOD" \
  'grep -qE "\"simplified\": \[\{\"lod\": 2, \"detail\": \"50%\", \"trianglesBefore\": 112, \"trianglesAfter\": [0-9]+, \"errorMm\": [0-9.]+, \"distance\": 100" "$tmp/report"'
check "the settings file keeps the details" \
  'grep -q "^\[Detail\]" "$tmp/out.Lodsmith" && grep -q "^3=auto" "$tmp/out.Lodsmith" && grep -q "^ScreenError=1" "$tmp/out.Lodsmith"'
"$cli" --lang en "$tmp/out.s" --report json >"$tmp/again" 2>/dev/null
check "the written shape opens with its details" 'grep -q "\"detail\": \"auto\"" "$tmp/again"'

"$cli" --lang en "$s" --detail 2=100 --generate -o "$tmp/full.s" 2>/dev/null
"$cli" --lang en "$s" --generate -o "$tmp/plain.s" 2>/dev/null
check "100 % writes what is written without details" 'cmp -s "$tmp/full.s" "$tmp/plain.s"'
check "and a settings file without the section" \
  'cmp -s "$tmp/full.Lodsmith" "$tmp/plain.Lodsmith" && ! grep -q "^\[Detail\]" "$tmp/full.Lodsmith"'

"$cli" --lang en "$s" --detail 3=auto --suggest-distances --report json >"$tmp/report" 2>"$tmp/err"; rc=$?
check "suggesting with an auto LOD says so and exits 0" '[ $rc -eq 0 ] && grep -q "^information: .*auto" "$tmp/err"'
check "and keeps the distances" 'grep -q "\"StringGrid4\": \[\[[^]]*\], \[\"1\", \"100\"\], \[\"2\", \"400\"\]" "$tmp/report"'
"$cli" --lang en "$s" --detail 2=50 --screen-error 2 --suggest-distances 2>"$tmp/err"; rc=$?
check "suggested distances are told" '[ $rc -eq 0 ] && grep -qE "^done: distances suggested: [0-9]+, [0-9]+, [0-9]+$" "$tmp/err"'

"$cli" --lang en "$s" --detail 2=20 --lod 2 --render "$tmp/lod2.png" 2>"$tmp/err"; rc=$?
check "--render shows the simplified LOD" '[ $rc -eq 0 ] && [ -s "$tmp/lod2.png" ]'
full=$("$cli" --lang en "$s" --lod 2 --render "$tmp/full.png" 2>&1 | grep -oE "[0-9]+ triangles" | head -1)
less=$(grep -oE "[0-9]+ triangles" "$tmp/err" | head -1)
check "with fewer triangles than at 100 % ($less, $full)" '[ "${less% *}" -lt "${full% *}" ]'
exit $fail
