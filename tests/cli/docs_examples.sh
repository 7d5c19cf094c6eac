#!/usr/bin/env bash
# Every example command of README.md and docs/*.md that starts with
# lodsmith-cli runs against the samples and does what the text says.
#
# The commands are read from the documents: indented code lines and
# backticked spans starting with "lodsmith-cli ". A "# done: ..." line under
# a code line is output the text promises. "[X]" in a command runs it
# without and with X; "a|b|c" in a word runs each choice. Each command runs
# in a fresh folder holding the files the examples name (made from
# samples/), and must have an entry below: its exit status and the checks of
# what the text says it does. A documented command without an entry fails,
# and so does an entry the documents no longer show.
set -u
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
src="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
say() { echo "FAIL: $*"; fail=1; }

# ---- the files the examples name ---------------------------------------------------
base="$tmp/base"
mkdir -p "$base/samples" "$base/route/shapes/depot" "$base/shapes" "$base/bin" "$base/ffedit"
cp "$src/samples/"* "$base/samples/"
for f in in.s model.s a.s b.s c.s route/shapes/one.s route/shapes/depot/two.S shapes/one.s shapes/two.s; do
  cp "$src/samples/sample.s" "$base/$f"
done
# route.s comes compressed, odd.s is none of the forms (two blanks where
# the byte-order mark stands).
(cd "$base" && HOME="$base" "$cli" samples/sample.s -o route.s --format compressed 2>/dev/null) ||
  { echo "FAIL: the compressed sample could not be made"; exit 1; }
rm -f "$base/route.Lodsmith"
{ printf '  '; tail -c +3 "$src/samples/sample.s"; } > "$base/odd.s"
printf '[LODs]\r\nAnzahl=2\r\n1=300\r\n2=2000\r\n[SONR_L1]\r\n1=1\r\n2=1\r\n[SONR_L2]\r\n1=1\r\n2=999\r\n' \
  > "$base/base.Lodsmith"
# Stand-ins: wine runs the utility, which writes temp.s; a printer queue
# that keeps the PDF it is given.
cat > "$base/bin/wine" <<'W'
#!/bin/sh
program=$1
shift
exec "./$program" "$@"
W
printf '#!/bin/sh\nprintf "converted %%s" "$1" > temp.s\n' > "$base/ffedit/ffeditc_unicode.exe"
printf '#!/bin/sh\necho "system default destination: Stand-in"\n' > "$base/bin/lpstat"
printf '#!/bin/sh\necho "PageSize/Media Size: A5 *A4 Letter"\n' > "$base/bin/lpoptions"
printf '#!/bin/sh\nfor a; do last=$a; done\ncp "$last" "$HOME/printed.pdf"\necho "$@" > "$HOME/lp-args"\n' \
  > "$base/bin/lp"
chmod +x "$base/bin/"* "$base/ffedit/ffeditc_unicode.exe"

# ---- the checks ----------------------------------------------------------------------
# Each runs in the command's folder, with its output in ../out and ../err.
err_has() { grep -qF -- "$1" ../err || { echo "  stderr lacks: $1"; return 1; }; }
err_lacks() { ! grep -qF -- "$1" ../err || { echo "  stderr has: $1"; return 1; }; }
out_has() { grep -qF -- "$1" ../out || { echo "  stdout lacks: $1"; return 1; }; }
no_notes() { err_lacks "note:"; }
head_hex() { head -c "$2" "$1" | od -An -tx1 | tr -d ' \n'; }
form_is() { # FILE text|compressed|binary
  local want
  case "$2" in
    text) want=fffe53004900 ;;
    compressed) want=$(printf 'SIMISA@F' | od -An -tx1 | tr -d ' \n') ;;
    binary) want=$(printf 'SIMISA@@@@@@@@@@JINX0s1b' | od -An -tx1 | tr -d ' \n') ;;
  esac
  [ "$(head_hex "$1" "$((${#want} / 2))")" = "$want" ] || { echo "  $1 is not $2"; return 1; }
}
text_of() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r'; }
shape_has() { text_of "$1" | grep -qF -- "$2" || { echo "  $1 lacks: $2"; return 1; }; }
setting() { # FILE SECTION KEY VALUE: the settings file holds KEY=VALUE in [SECTION]
  tr -d '\r' < "$1" | awk -v s="[$2]" -v k="$3" -v v="$4" '
    /^\[/ { in_s = ($0 == s) } in_s && $0 == k "=" v { found = 1 } END { exit !found }' ||
    { echo "  $1 lacks [$2] $3=$4"; return 1; }
}
backup_of() { [ -e "${1%.*}.BAK" ] || { echo "  no backup of $1"; return 1; }; }
unchanged() { cmp -s "$1" "$base/$1" || { echo "  $1 was changed"; return 1; }; }
changed() { ! cmp -s "$1" "$base/$1" || { echo "  $1 was not changed"; return 1; }; }
png_size() { # FILE W H
  [ "$(head_hex "$1" 8)" = 89504e470d0a1a0a ] || { echo "  $1 is no PNG"; return 1; }
  [ "$(od -An -tu4 --endian=big -j16 -N8 "$1" | tr -s ' ')" = " $2 $3" ] || { echo "  $1 is not $2 x $3"; return 1; }
}
pdf_page() { # FILE "W H": the page size in points
  grep -aq "/MediaBox \[0 0 $2\]" "$1" || { echo "  $1 has no page of $2"; return 1; }
}
report_json() { [ "$(wc -l < ../out)" -eq 1 ] && out_has '"grids"' && out_has '"StringGrid1"' ||
  { echo "  no JSON report"; return 1; }; }

A4="595.28 841.89"
A4_TURNED="841.89 595.28"
LISTING="Zeilen"
declare -A expect
add() { expect["$1"]="$2"; }

# README.md
add "lodsmith-cli model.s --report json" "0;report_json;out_has '\"Wheel_loshine\"'"
add "lodsmith-cli model.s --lods 3 --distances 200,800,2000 --assign 2=1,2,999 --generate -o out.s" \
  "0;no_notes;err_has 'done: 3 LOD'\''s mit 1/2/1 Subobjekten geschrieben.';shape_has out.s 'distance_levels ( 3'"
add "lodsmith-cli model.s --merge-points 0.001 --merge-normals 0.001 --save" \
  "0;err_has 'done: 1 von 8 Punkten zusammengefasst';err_has 'done: 1 von 3 Normalen zusammengefasst';backup_of model.s;shape_has model.s 'points ( 7'"
add "lodsmith-cli -r route/shapes -j 2 --fix-materials --save" \
  "0;err_has 'route/shapes/one.s: done:';err_has 'route/shapes/depot/two.S: done:';changed route/shapes/one.s;changed route/shapes/depot/two.S"
add "lodsmith-cli samples/signal.s --lod 3 --view iso --size 320x320 --render l3.png" "0;png_size l3.png 320 320"
add "lodsmith-cli samples/signal.s --lod 3 --as-seen --render l3-seen.png" "0;png_size l3-seen.png 800 600"
add "lodsmith-cli route.s -o out.s --format text" "0;form_is out.s text;form_is route.s compressed"
add "lodsmith-cli route.s -o out.s --format compressed" "0;form_is out.s compressed"
add "lodsmith-cli route.s -o out.s --format binary" "0;form_is out.s binary"
add "lodsmith-cli route.s --save --decompress" "0;form_is route.s text;form_is route.BAK compressed"
add "lodsmith-cli model.s --save --compress-builtin" "0;form_is model.s compressed;form_is model.BAK text"
add "lodsmith-cli --compress model.s" "1;err_has 'ffeditc_unicode.exe';unchanged model.s"
add "lodsmith-cli --compress model.s --tool PATH" "0;grep -q '^converted .*model.s\$' model.s"
add "lodsmith-cli model.s --print" "0;pdf_page printed.pdf '$A4';grep -q 'model.s' lp-args"
add "lodsmith-cli model.s --print --landscape" "0;pdf_page printed.pdf '$A4_TURNED'"
# docs/batch.md
add "lodsmith-cli [OPTIONS] SHAPE... [OPTIONS]" "usage"
add "lodsmith-cli --help" "0;out_has 'lodsmith-cli [OPTIONEN] SHAPE... [OPTIONEN]';out_has '--assign-all'"
add "lodsmith-cli a.s b.s c.s --save" "0;backup_of a.s;backup_of b.s;backup_of c.s;err_has '3 Shape-Dateien'"
add "lodsmith-cli -r route/shapes --fix-materials --save" "0;changed route/shapes/one.s;changed route/shapes/depot/two.S"
add "lodsmith-cli -r shapes -j 4 --merge-points 0.001 --save" "0;shape_has shapes/one.s 'points ( 7';shape_has shapes/two.s 'points ( 7'"
add "lodsmith-cli -r shapes --save -q" "0;err_lacks 'done:';backup_of shapes/one.s"
add "lodsmith-cli -r shapes --save --timing" "0;err_has 'Zeit: '"
add "lodsmith-cli in.s --generate -o out.s" "0;err_has 'done: out.s geschrieben';shape_has out.s 'distance_levels ( 1';form_is out.s text;unchanged in.s"
add "lodsmith-cli in.s --merge-points 0.001 --save" "0;shape_has in.s 'points ( 7';backup_of in.s"
add "lodsmith-cli in.s -o out.s --format binary" "0;form_is out.s binary"
add "lodsmith-cli in.s --save --decompress" "0;form_is in.s text;backup_of in.s"
add "lodsmith-cli in.s --save --compress-builtin" "0;form_is in.s compressed"
add "lodsmith-cli in.s --report json" "0;report_json"
add "lodsmith-cli in.s --settings base.Lodsmith --generate --save" \
  "0;no_notes;err_has 'done: 2 LOD'\''s mit 1/1 Subobjekten geschrieben.';shape_has in.s 'distance_levels ( 2';setting in.Lodsmith SONR_L2 2 999"
add "lodsmith-cli in.s --lods 2 --distances 500,2000 --save" "0;no_notes;setting in.Lodsmith LODs Anzahl 2;setting in.Lodsmith LODs 1 500"
add "lodsmith-cli in.s --lods 3 --distances 200,800,2000 --save" \
  "0;no_notes;setting in.Lodsmith LODs 1 200;setting in.Lodsmith LODs 2 800;setting in.Lodsmith LODs 3 2000"
add "lodsmith-cli in.s --lods 3 --distances 200,800,2000 --assign 2=1,2,999 --save" \
  "0;no_notes;setting in.Lodsmith SONR_L1 2 1;setting in.Lodsmith SONR_L2 2 2;setting in.Lodsmith SONR_L3 2 999"
add "lodsmith-cli in.s --assign Wheel_loshine=2 --save" "0;no_notes;setting in.Lodsmith SONR_L1 2 2;setting in.Lodsmith SONR_L1 1 1"
add "lodsmith-cli in.s --lods 2 --distances 500,2000 --assign-all 2=0 --save" \
  "0;no_notes;setting in.Lodsmith SONR_L2 1 0;setting in.Lodsmith SONR_L2 2 0;setting in.Lodsmith SONR_L1 1 1"
add "lodsmith-cli in.s --assign 2=2 --sort 1:2 --save" "0;setting in.Lodsmith SOSORT_L1 2 x;setting in.Lodsmith SOSORT_L1 1 ''"
add "lodsmith-cli in.s --anim WHEEL1=off --strip-animations --save" \
  "0;err_has 'done: 1 Animation';shape_has in.s 'controllers ( 0';setting in.Lodsmith ANIM 2 ''"
add "lodsmith-cli in.s --lods 2 --distances 300,2000 --assign 2=1,999 --generate -o out.s" \
  "0;no_notes;err_has 'done: 2 LOD'\''s mit 1/1 Subobjekten geschrieben.';shape_has out.s 'distance_levels ( 2'"
add "lodsmith-cli in.s --merge-normals 0.0001 --save" "0;err_has 'done: 1 von 3 Normalen zusammengefasst';shape_has in.s 'normals ( 2'"
add "lodsmith-cli in.s --fix-materials --save" "0;err_has 'getauscht';changed in.s;backup_of in.s"
add "lodsmith-cli in.s --strip-animations --save" "0;err_has 'done: 0 Animationen entfernt';backup_of in.s"
add "lodsmith-cli in.s --print" "0;pdf_page printed.pdf '$A4';grep -q 'in.s' lp-args"
add "lodsmith-cli in.s --print --landscape" "0;pdf_page printed.pdf '$A4_TURNED'"
add "lodsmith-cli in.s --print-pdf in.pdf" "0;pdf_page in.pdf '$A4';unchanged in.s"
add "lodsmith-cli --compress in.s --tool ~/ffedit/ffeditc_unicode.exe" "0;grep -q '^converted .*in.s\$' in.s"
add "lodsmith-cli samples/signal.s --render signal.png --view iso" "0;png_size signal.png 800 600"
add "lodsmith-cli samples/signal.s --render l3.png --lod 3" "0;png_size l3.png 800 600;err_has '4 Elemente'"
add "lodsmith-cli in.s --render big.png --size 1600x1200" "0;png_size big.png 1600 1200"
add "lodsmith-cli in.s --render side.png --view side" "0;png_size side.png 800 600"
add "lodsmith-cli samples/signal.s --render far.png --lod 3 --as-seen" "0;png_size far.png 800 600;err_has 'Pixel hoch'"
add "lodsmith-cli samples/signal.s --detail 3=20% --render first.png --lod 3 --as-first-seen" \
  "0;png_size first.png 800 600;err_has 'wo es zuerst zu sehen ist'"
add "lodsmith-cli samples/tank.s --lod 3 --as-first-seen --view iso --size 320x200 --render l3-first.png" \
  "0;png_size l3-first.png 320 200;err_has '314 Dreiecke'"
add "lodsmith-cli samples/signal.s --detail 2=50% --detail 3=auto --generate -o out.s" \
  "0;err_has 'LOD 2 (50%): 112 -> ';err_has 'LOD 3 (auto): ';err_has 'beurteilt bei 400 m'"
add "lodsmith-cli samples/signal.s --detail 3=auto --screen-error 2 --generate -o out.s" \
  "0;err_has 'LOD 3 (auto): ';err_lacks 'LOD 2 ('"
add "lodsmith-cli samples/signal.s --detail 2=50 --suggest-distances --save" \
  "0;err_has 'Entfernungen vorgeschlagen: '"
add "lodsmith-cli in.s --merge-points 0.01 --no" \
  "0;err_has 'confirmation: 1 Punkt';err_lacks 'done:';unchanged in.s"
add "lodsmith-cli odd.s --force --report json" "0;report_json;out_has '\"Wheel_loshine\"'"
add "lodsmith-cli in.s --lang en --generate" "0;err_has ' sub-object';err_lacks 'Subobjekt';unchanged in.s"
add "lodsmith-cli --version" "0;out_has 'Lodsmith '"

# ---- the documented commands ---------------------------------------------------------------
# One per line: the command, a tab, the output the text promises (or nothing).
documented() {
  local f
  for f in "$src/README.md" "$src"/docs/*.md; do
    awk '
      function flush() { if (cmd != "") print cmd "\t" promise; cmd = ""; promise = "" }
      /^    lodsmith-cli / { flush(); cmd = $0; sub(/^ +/, "", cmd); sub(/ +#.*$/, "", cmd); next }
      /^    # done: / && cmd != "" { promise = $0; sub(/^ +# /, "", promise); next }
      { flush()
        line = $0
        while (match(line, /`lodsmith-cli [^`]*`/)) {
          print substr(line, RSTART + 1, RLENGTH - 2) "\t"
          line = substr(line, RSTART + RLENGTH)
        } }
      END { flush() }' "$f"
  done
}

# The concrete commands of a documented one: "[X]" without and with X,
# "a|b|c" as each choice (table cells escape the bar as "\|").
expand() {
  local -
  set -f # "[OPTIONS]" is no file pattern
  local c="${1//\\|/|}"
  if [[ "$c" =~ ^(.*)\[([^]]*)\](.*)$ ]] && [[ "${BASH_REMATCH[2]}" != OPTIONS ]]; then
    local before="${BASH_REMATCH[1]}" opt="${BASH_REMATCH[2]}" after="${BASH_REMATCH[3]}"
    expand "$(echo "${before% }$after" | tr -s ' ')"
    expand "${before}${opt}${after}"
    return
  fi
  local word
  for word in $c; do
    if [[ "$word" == *"|"* ]]; then
      local choice
      IFS='|' read -ra choices <<< "$word"
      for choice in "${choices[@]}"; do expand "${c/"$word"/$choice}"; done
      return
    fi
  done
  echo "$c"
}

# Runs one command in a fresh copy of the files and applies its checks.
run_one() {
  local cmd="$1" promise="$2" entry="${expect[$1]}" dir="$tmp/run"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp -a "$base" "$dir/w"
  if [ "$entry" = usage ]; then
    # The synopsis: the help text's usage line says the same.
    "$cli" --lang en --help > "$dir/help" 2>&1
    grep -qF -- "${cmd#lodsmith-cli }" "$dir/help" || say "$cmd: not the usage line of --help"
    return
  fi
  local args="${cmd#lodsmith-cli }"
  args="${args//PATH/ffedit/ffeditc_unicode.exe}"
  (
    cd "$dir/w" || exit 1
    export HOME="$dir/w" PATH="$dir/w/bin:$PATH" WINEPREFIX="$dir/w/prefix"
    eval "set -- $args"
    "$cli" "$@" > ../out 2> ../err
  )
  local rc=$? want="${entry%%;*}" checks="${entry#*;}"
  [ "$rc" = "$want" ] || { say "$cmd: exit $rc, not $want"; sed 's/^/  /' "$dir/err"; }
  [ -z "$promise" ] || grep -qF -- "$promise" "$dir/err" || say "$cmd: does not print \"$promise\""
  local check
  IFS=';' read -ra list <<< "$checks"
  for check in "${list[@]}"; do
    [ "$check" = "$entry" ] && break
    (cd "$dir/w" && eval "$check") || say "$cmd: $check"
  done
}

declare -A seen
count=0
while IFS=$'\t' read -r doc promise; do
  while IFS= read -r cmd; do
    seen["$cmd"]=1
    count=$((count + 1))
    if [ -z "${expect[$cmd]+x}" ]; then
      say "documented but not checked here: $cmd"
      continue
    fi
    run_one "$cmd" "$promise"
  done < <(expand "$doc")
done < <(documented)
for cmd in "${!expect[@]}"; do
  [ -n "${seen[$cmd]+x}" ] || say "checked here but no longer documented: $cmd"
done
[ "$count" -gt 40 ] || say "only $count commands found in the documents"
echo "$count documented commands run"
exit $fail
