#!/usr/bin/env bash
# Names that hold a blank (quoted in the shape) are whole names for the
# batch program: the grids show them without quotes, --assign and --anim
# find them, and two names alike in their first word stay two.
set -u
cli="$1"; src="$2"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; fail=1; fi; }
run() { HOME="$tmp" "$cli" --lang en "$@"; }

# The sample with both matrices and both elements renamed alike.
iconv -f UTF-16LE -t UTF-8 "$src/samples/sample.s" |
  sed -e 's/matrix MAIN /matrix "WHEEL A" /; s/matrix WHEEL1 /matrix "WHEEL B" /' \
      -e 's/anim_node MAIN /anim_node "WHEEL A" /; s/anim_node WHEEL1 /anim_node "WHEEL B" /' \
      -e 's/prim_state Body /prim_state "Body A" /; s/prim_state Wheel_loshine /prim_state "Body B" /' |
  iconv -f UTF-8 -t UTF-16LE > "$tmp/in.s"
grep -c '"' <(iconv -f UTF-16LE -t UTF-8 "$tmp/in.s") | grep -qx 6 || { echo "FAIL: the sample was not renamed"; exit 1; }

run "$tmp/in.s" --report tsv > "$tmp/out" 2> "$tmp/err"; rc=$?
check "the shape opens" '[ $rc -eq 0 ]'
check "element names whole" 'grep -q "^Body A	" "$tmp/out" && grep -q "^Body B	" "$tmp/out"'
check "matrix names whole, only WHEEL B animated" 'grep -q "^WHEEL A	[0-9]*	$" "$tmp/out" && grep -q "^WHEEL B	[0-9]*	x$" "$tmp/out"'

run "$tmp/in.s" --assign "Body B=2" --save 2> "$tmp/err"; rc=$?
check "--assign finds the element by its whole name" '[ $rc -eq 0 ] && tr -d "\r" < "$tmp/in.Lodsmith" | grep -qx "2=2"'
run "$tmp/in.s" --assign "Body=2" 2> "$tmp/err"; rc=$?
check "the first word alone names nothing" '[ $rc -eq 1 ] && grep -q "nothing is named \"Body\"" "$tmp/err"'

rm -f "$tmp/in.Lodsmith"
run "$tmp/in.s" --anim "WHEEL A=on" --anim "WHEEL B=off" --strip-animations -o "$tmp/out.s" 2> "$tmp/err"; rc=$?
check "--anim finds the matrix, the strip removes its animation only" '[ $rc -eq 0 ] && grep -q "^done: 1 animation" "$tmp/err"'
check "the other node keeps what it had" '[ "$(iconv -f UTF-16LE -t UTF-8 "$tmp/out.s" | grep -A1 "anim_node" | grep -c "controllers ( 0")" -eq 2 ]'
exit $fail
