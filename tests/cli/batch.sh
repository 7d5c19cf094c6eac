#!/usr/bin/env bash
# The batch program for real work: settings options in any order, bad values
# named, many shapes (folders, missing and refused ones), the parallel run
# equal to the serial one, and the documented settings file format.
set -u
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; src="$2"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; fail=1; fi; }
run() { "$cli" --lang en "$@"; }

cp "$src/samples/sample.s" "$tmp/in.s"

# The settings options give the same shape whatever their order.
run "$tmp/in.s" --lods 2 --distances 200,800 --assign 1=1,2 --sort 2:2 --generate -o "$tmp/a.s" 2>"$tmp/err-a"; rc_a=$?
run "$tmp/in.s" --generate --sort 2:2 --assign 1=1,2 --distances 200,800 --lods 2 -o "$tmp/b.s" 2>"$tmp/err-b"; rc_b=$?
check "both orders exit 0" '[ $rc_a -eq 0 ] && [ $rc_b -eq 0 ]'
check "both orders write the same shape" 'cmp -s "$tmp/a.s" "$tmp/b.s"'
check "the generation says what it wrote" 'grep -q "^done: 2 LODs with 1/2 sub-objects written" "$tmp/err-a"'
check "the save says what it wrote" 'grep -q "^done: .*a.s written (text, [0-9]* lines)" "$tmp/err-a"'
"$cli" --lang de "$tmp/in.s" --format compressed -o "$tmp/c.s" 2>"$tmp/err-c"
check "the German save names the form in German" 'grep -q "^done: .*c.s geschrieben (komprimiert, [0-9]* Zeilen)" "$tmp/err-c"'
run "$tmp/in.s" --lods 2 --distances 200,800 --assign 1=1,2 --generate -o "$tmp/q.s" --quiet 2>"$tmp/err"
check "--quiet silences the action lines" '! grep -q "^done: " "$tmp/err"'

# Every bad value names its option and itself (exit 2, nothing read).
while IFS='|' read -r args expected; do
  # shellcheck disable=SC2086
  run "$tmp/in.s" $args 2>"$tmp/err"; rc=$?
  check "$args exits 2" '[ $rc -eq 2 ]'
  check "$args names the value" 'grep -qF -- "$expected" "$tmp/err"'
done <<'TABLE'
--distances 200,abc|--distances: "abc" is not a number
--distances 200,|--distances: "" is not a number
--lods x|--lods: "x" is not a number
--lods 100|--lods: "100" is not within 1..99
--format zip|--format: "zip" is not one of text, compressed, binary
--report xml|--report: "xml" is not one of json, tsv
--lang fr|--lang: "fr" is not one of de, en
--assign 1=1,abc|--assign: "abc" is no sub-object number
--assign 1=150|--assign: "150" is no sub-object number
--assign 1|--assign: "1" is not of the form ROW=S1,S2,...
--assign-all x=1|--assign-all: "x" is not a number
--assign-all 1=-1|--assign-all: "-1" is no sub-object number
--sort 1-2|--sort: "1-2" is not of the form LOD:SUB
--sort 0:1|--sort: "0" is not within 1..99
--anim MAIN=maybe|--anim: "MAIN=maybe" is not of the form MATRIX=on or MATRIX=off
-j 0|-j: "0" is not within 1..256
--merge-points x|--merge-points: "x" is no number
--jobs|--jobs needs a number
--lods 2 --distances 100,5000|--distances: "5000" is not within 1..2000
--distances 0|--distances: "0" is not within 1..2000
--merge-points -1|--merge-points: "-1" is negative; the tolerance is a number from 0 up (written with ".")
TABLE
run "$tmp/in.s" --merge-points -1 2>"$tmp/err"
check "no word of the window's decimal separator" '! grep -q "operating system" "$tmp/err"'
run "$tmp/in.s" "" --generate --save 2>"$tmp/err"; rc=$?
check "an empty shape argument is a usage error" '[ $rc -eq 2 ] && grep -q "an empty argument is no shape file" "$tmp/err"'
check "nothing saved after it" 'cmp -s "$tmp/in.s" "$src/samples/sample.s" && [ ! -e "$tmp/in.BAK" ]'
run "" 2>/dev/null; rc=$?
check "an empty argument alone is one too" '[ $rc -eq 2 ]'


# An option that does not fit the shape fails it with a message (exit 1).
while IFS='|' read -r args expected; do
  # shellcheck disable=SC2086
  run "$tmp/in.s" $args --save 2>"$tmp/err"; rc=$?
  check "$args exits 1" '[ $rc -eq 1 ]'
  check "$args says why" 'grep -qF -- "$expected" "$tmp/err"'
  check "$args: one LOD is no LODs" '! grep -q "1 LODs" "$tmp/err"'
done <<'TABLE'
--assign 12=1|--assign: there is no row 12 (the grid has 2 rows)
--assign Nobody=1|--assign: nothing is named "Nobody"
--assign 1=1,1,1|--assign: 3 values given for 1 LOD
--lods 2 --distances 1,2,3|3 distances given for 2 LODs
--assign-all 3=1|--assign-all: there is no LOD 3 (1 LOD)
--anim 7=on|--anim: there is no row 7 (the grid has 2 rows)
--anim Nobody=off|--anim: nothing is named "Nobody"
TABLE
check "nothing saved after a shape's refusal" 'cmp -s "$tmp/in.s" "$src/samples/sample.s" && [ ! -e "$tmp/in.BAK" ]'

# Notes: distances that make no sense, cells that leave an element out.
run "$tmp/in.s" --lods 3 --distances 800,800,200 --assign Body=1,+1,999 2>"$tmp/err"; rc=$?
check "notes do not change the exit status" '[ $rc -eq 0 ]'
check "a repeated distance is noted" 'grep -q "^note: LOD 2: distance 800 as the LOD before" "$tmp/err"'
check "a descending distance is noted" 'grep -q "^note: LOD 3: distance 200 is less than the 800" "$tmp/err"'
check "a cell that is not 999 but leaves out is noted" 'grep -q "^note: element \"Body\" (row 1), LOD 2: \"+1\"" "$tmp/err"'
check "999 is not noted" '! grep -q "LOD 3: \"999\"" "$tmp/err"'

# A folder without --recursive and a missing file.
mkdir -p "$tmp/set/sub"
run "$tmp/set" 2>"$tmp/err"; rc=$?
check "a folder without --recursive exits 1" '[ $rc -eq 1 ]'
check "a folder is named as a folder" 'grep -q "is a folder (--recursive" "$tmp/err"'
run "$tmp/nothing.s" 2>"$tmp/err"; rc=$?
check "a missing file exits 1 and says so" '[ $rc -eq 1 ] && grep -q "nothing.s: file not found" "$tmp/err"'

# Many shapes: one refused (no shape form), one unreadable; the others go on.
for n in 1 2 3 4 5; do cp "$src/samples/sample.s" "$tmp/set/s$n.s"; done
cp "$src/samples/sample.s" "$tmp/set/sub/deep.S"
printf 'SIMISB@F\x01\x02\x03' >"$tmp/set/refused.s"
printf 'SIMISA@F\x01\x02\x03' >"$tmp/set/sub/unreadable.s"
cp -r "$tmp/set" "$tmp/serial"; cp -r "$tmp/set" "$tmp/parallel"
for mode in serial parallel; do
  jobs=1; [ $mode = parallel ] && jobs=2
  (cd "$tmp/$mode" && run -r . --merge-points 0.001 --save --report json -j $jobs >"$tmp/$mode.out" 2>"$tmp/$mode.err")
  echo $? >"$tmp/$mode.rc"
done
check "many shapes with failures exit 1" '[ "$(cat "$tmp/serial.rc")" -eq 1 ]'
check "the summary counts them" 'grep -q "^8 shapes in .* s: 6 done, 1 refused, 1 failed" "$tmp/serial.err"'
check "the reasons are grouped" 'grep -q "^  failed (1): The shape file ends too early" "$tmp/serial.err"'
# Windows names it ".\s3.s".
check "every line names its shape" 'grep -q "^\.[/\\]s3.s: done: points merged: 1 of 8" "$tmp/serial.err"'
check "the good shapes are saved" '[ -e "$tmp/serial/s5.BAK" ] && [ -e "$tmp/serial/sub/deep.BAK" ]'
check "the refused shape is left alone" 'cmp -s "$tmp/serial/refused.s" "$tmp/set/refused.s" && [ ! -e "$tmp/serial/refused.BAK" ]'
check "one JSON report per shape" '[ "$(wc -l <"$tmp/serial.out")" -eq 8 ]'
check "the report lists the actions" \
  'python3 -c "import json,sys; d=[json.loads(l) for l in open(sys.argv[1])]; a=d[1][\"actions\"]; assert a[0][\"merged\"]==1 and a[0][\"entries\"]==8, a" "$tmp/serial.out"'
check "parallel: the same exit status" '[ "$(cat "$tmp/parallel.rc")" -eq 1 ]'
check "parallel: the same report" 'cmp -s "$tmp/serial.out" "$tmp/parallel.out"'
check "parallel: the same lines" 'cmp -s <(grep -v " shapes in " "$tmp/serial.err") <(grep -v " shapes in " "$tmp/parallel.err")'
check "parallel: the same files" 'diff -r "$tmp/serial" "$tmp/parallel" >/dev/null'
run "$tmp/set/s1.s" "$tmp/set/s2.s" -o "$tmp/x.s" 2>"$tmp/err"; rc=$?
check "-o with several shapes is a usage error" '[ $rc -eq 2 ] && grep -q "^lodsmith-cli: --output works on one shape file only" "$tmp/err"'

# The settings file as docs/batch.md describes it: read, and written back.
cp "$src/samples/sample.s" "$tmp/model.s"
printf '[Delta]\r\nPoints=0.001\r\nNormals=0\r\n[LODs]\r\nAnzahl=2\r\n1=300\r\n2=900\r\n[SONR_L1]\r\n1=1\r\n2=2\r\n[SONR_L2]\r\n1=1\r\n2=999\r\n[SOSORT_L1]\r\n1=\r\n2=x\r\n[SOSORT_L2]\r\n1=\r\n[ANIM]\r\n1=\r\n2=x\r\n' \
  >"$tmp/model.Lodsmith"
run "$tmp/model.s" --report json >"$tmp/model.json" 2>/dev/null
check "the settings file is read as documented" 'python3 - "$tmp/model.json" <<'"'"'PY'"'"'
import json, sys
g = json.load(open(sys.argv[1]))["grids"]
assert [r[3:5] for r in g["StringGrid1"][1:]] == [["1", "1"], ["2", "999"]], g["StringGrid1"]
assert g["StringGrid2"][2][2] == "x", g["StringGrid2"]
assert [r[1] for r in g["StringGrid4"][1:]] == ["300", "900"], g["StringGrid4"]
assert g["StringGrid3"][2][2] == "x" and g["StringGrid3"][1][2] == "", g["StringGrid3"]
PY'
run "$tmp/model.s" --assign 2=1,1 --save 2>/dev/null
check "the settings file is written as documented" \
  'tr -d "\r" <"$tmp/model.Lodsmith" | grep -qx "Anzahl=2" && tr -d "\r" <"$tmp/model.Lodsmith" | sed -n "/^\[SONR_L2\]/,/^\[/p" | grep -qx "2=1"'

# The animation marks decide what --strip-animations removes, by name too.
run "$tmp/in.s" --anim WHEEL1=off --strip-animations 2>"$tmp/err"; rc=$?
check "an animation switched off is removed" '[ $rc -eq 0 ] && grep -q "^done: 1 animation removed, 4 lines deleted" "$tmp/err"'
run "$tmp/in.s" --strip-animations 2>"$tmp/err"
check "the shape's own marks keep it" 'grep -q "^done: 0 animations removed" "$tmp/err"'
# A refused action is in the report with the message that ended it.
run "$tmp/in.s" --lods 2 --assign 2=1,5 --generate --report json >"$tmp/r.json" 2>/dev/null; rc=$?
check "a refused generation exits 1" '[ $rc -eq 1 ]'
check "the report names the refusal" 'python3 -c "import json,sys; d=json.load(open(sys.argv[1])); a=d[\"actions\"][-1]; assert d[\"outcome\"]==\"refused\" and a[\"action\"]==\"--generate\" and a[\"outcome\"]==\"refused\" and \"LOD 2\" in a[\"text\"], d" "$tmp/r.json"'
# Options override the settings file; --settings replaces the shape's own.
printf '[LODs]\r\nAnzahl=3\r\n1=100\r\n2=200\r\n3=300\r\n' >"$tmp/base.Lodsmith"
run "$tmp/in.s" --settings "$tmp/base.Lodsmith" --lods 2 --report json >"$tmp/r.json" 2>/dev/null
check "--settings is read and --lods overrides it" 'python3 -c "import json,sys; g=json.load(open(sys.argv[1]))[\"grids\"][\"StringGrid4\"]; assert [r[1] for r in g[1:]]==[\"100\",\"200\"], g" "$tmp/r.json"'
# Declining the merge's question changes nothing and is no failure.
run "$tmp/in.s" --merge-points 0.001 --no 2>"$tmp/err"; rc=$?
check "--no: exit 0 without a done line for the merge" '[ $rc -eq 0 ] && ! grep -q "^done: points" "$tmp/err"'
# A name holding a lone surrogate (the lines keep every UTF-16 code unit)
# reaches the JSON report as its escape: strict readers take the report.
python3 - "$tmp/in.s" "$tmp/lone.s" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-16").read().replace("prim_state Body (", "prim_state Bo\ud800dy (")
open(sys.argv[2], "wb").write(b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass"))
PY
run "$tmp/lone.s" --report json >"$tmp/lone.json" 2>/dev/null
check "a lone surrogate is escaped in the JSON report" 'grep -q "Bo\\\\ud800dy" "$tmp/lone.json" && python3 -c "import json,sys; g=json.loads(open(sys.argv[1],\"rb\").read().decode(\"utf-8\"))[\"grids\"][\"StringGrid1\"]; assert g[1][0]==\"Bo\ud800dy\", g" "$tmp/lone.json"'

# Values joined to their option; the help in the run's language.
run "$tmp/in.s" --lods=2 --distances=100,200 -j1 2>"$tmp/err"; rc=$?
check "joined values are read" '[ $rc -eq 0 ]'
"$cli" --help | grep -q "^Aufruf: lodsmith-cli" && "$cli" --lang en --help | grep -q "^Usage: lodsmith-cli"
check "--help speaks the run's language" '[ $? -eq 0 ]'

# The program settings are read, and never written (a copy of the program
# with its own settings file). Under Wine (LODSMITH_CLI_WINE) the program
# is a wrapper that cannot be copied as the program.
if [ -z "${LODSMITH_CLI_WINE:-}" ]; then
  mkdir "$tmp/bin"; cp "$cli" "$tmp/bin/"; cp "$(dirname "$cli")/Lodsmith_L.INI" "$tmp/bin/"
  printf '[LODs]\r\nAnzahl=2\r\n1=500\r\n2=1500\r\n' >"$tmp/bin/$(basename "$cli").INI"
  cp "$tmp/bin/$(basename "$cli").INI" "$tmp/program.INI"
  cp "$src/samples/sample.s" "$tmp/own.s"
  "$tmp/bin/$(basename "$cli")" "$tmp/own.s" --merge-points 0.001 --save --report json >"$tmp/r.json" 2>/dev/null
  check "the program settings are read" 'python3 -c "import json,sys; g=json.load(open(sys.argv[1]))[\"grids\"][\"StringGrid4\"]; assert [r[1] for r in g[1:]]==[\"500\",\"1500\"], g" "$tmp/r.json"'
  check "the program settings are not written" 'cmp -s "$tmp/bin/$(basename "$cli").INI" "$tmp/program.INI"'

  # A language file without the chosen language's section: every line keeps
  # the built-in text of that language, none is left empty.
  printf '[Languages]\r\nS1=Deutsch\r\nLanguage=Deutsch\r\n[Deutsch]\r\nS60=\r\n' >"$tmp/bin/Lodsmith_L.INI"
  printf 'no shape\r\n' >"$tmp/bad.s"
  "$tmp/bin/$(basename "$cli")" --lang en "$tmp/bad.s" --force --report json >"$tmp/r.json" 2>"$tmp/err"
  check "a missing section falls back to the built-in texts" 'grep -q "^warning: The file could not be read or analysed completely" "$tmp/err"'
  check "no empty message" '! grep -q ": $" "$tmp/err"'
  check "the grid headers take the built-in texts" 'grep -q "\"LOD No.\"" "$tmp/r.json"'
fi

# Without a terminal there is no progress line; --timing says where the time went.
run -r "$tmp/set" --timing 2>"$tmp/err" >/dev/null
check "no progress line into a file" '! grep -q $'"'"'\r'"'"' "$tmp/err"'
check "--timing prints one time line" '[ "$(grep -c "^time: .* s; opening .* runner .* ms per shape" "$tmp/err")" -eq 1 ]'

exit $fail
