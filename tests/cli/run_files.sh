#!/usr/bin/env bash
# The files a run writes: each shape worked on once however it is named, no
# file with two writers, nothing written over a file the run reads. A run
# that would break this is refused before anything is written (exit 2).
set -u
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; src="$2"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then :; else echo "FAIL: $1"; fail=1; fi; }
run() { "$cli" --lang en "$@"; }
sample="$src/samples/sample.s"
# Every file of the folder with its bytes: what "nothing was written" compares.
snapshot() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }

# The same shape named twice: merged once, and its backup is the original
# (a second run would have saved the first one's output over it).
mkdir "$tmp/w"
for names in "a.s a.s" "a.s ./a.s" "-j 2 a.s ./a.s b.s a.s"; do
  rm -f "$tmp"/w/*; cp "$sample" "$tmp/w/a.s"; cp "$sample" "$tmp/w/b.s"
  # shellcheck disable=SC2086
  (cd "$tmp/w" && run $names --merge-points 0.001 --save 2>"$tmp/err"); rc=$?
  check "$names: exit 0" '[ $rc -eq 0 ]'
  check "$names: the backup is the original" 'cmp -s "$tmp/w/a.BAK" "$sample"'
  check "$names: a.s merged once" '[ "$(grep -c "a.s: done: points merged\|^done: points merged" "$tmp/err")" -eq 1 ]'
done
# A link to a shape named beside it is the same shape (POSIX links; the
# Windows program under Wine sees none).
if [ -z "${LODSMITH_CLI_WINE:-}" ]; then
  rm -f "$tmp"/w/*; cp "$sample" "$tmp/w/a.s"; ln -s a.s "$tmp/w/link.s"
  (cd "$tmp/w" && run a.s link.s --merge-points 0.001 --save 2>"$tmp/err"); rc=$?
  check "a shape and a link to it: once" '[ $rc -eq 0 ] && cmp -s "$tmp/w/a.BAK" "$sample" && [ ! -e "$tmp/w/link.BAK" ]'

  # x.s and x.S are two shapes that would share x.BAK and x.Lodsmith.
  mkdir -p "$tmp/case/sub"; cp "$sample" "$tmp/case/sub/x.s"; cp "$sample" "$tmp/case/sub/x.S"
  before=$(snapshot "$tmp/case")
  run -r "$tmp/case" -j 2 --merge-points 0.001 --save 2>"$tmp/err"; rc=$?
  check "x.s and x.S saved together: a usage error" '[ $rc -eq 2 ]'
  check "the shared file is named" 'grep -q "x.S and .*x.s would both write .*sub/x.BAK; nothing was written" "$tmp/err"'
  check "x.s and x.S: nothing written" '[ "$(snapshot "$tmp/case")" = "$before" ]'
  run -r "$tmp/case" --report json >/dev/null 2>&1; rc=$?
  check "x.s and x.S only read: both run" '[ $rc -eq 0 ]'
fi

# Two outputs with one name, and outputs over what the run reads.
rm -f "$tmp"/w/*; cp "$sample" "$tmp/w/in.s"; printf '[LODs]\r\nAnzahl=1\r\n' >"$tmp/w/base.Lodsmith"
while IFS='|' read -r args expected; do
  before=$(snapshot "$tmp/w")
  # shellcheck disable=SC2086
  (cd "$tmp/w" && run in.s $args 2>"$tmp/err"); rc=$?
  check "$args: exit 2" '[ $rc -eq 2 ]'
  check "$args: says why" 'grep -qF -- "$expected" "$tmp/err"'
  check "$args: nothing written" '[ "$(snapshot "$tmp/w")" = "$before" ]'
done <<'TABLE'
-o out.s --render out.s|--output and --render would both write out.s
--print-pdf x.pdf --render x.pdf|--print-pdf and --render would both write x.pdf
--render a.png --render ./a.png|--render and --render would both write ./a.png
--save --print-pdf in.s|--print-pdf would write over in.s, which this run reads
--render in.s|--render would write over in.s, which this run reads
--save --render in.BAK|in.s and --render would both write in.BAK
--print-pdf in.Lodsmith|--print-pdf would write over in.Lodsmith, which this run reads
--settings base.Lodsmith -o base.s|--output would write over base.Lodsmith, which this run reads
TABLE

# Saving a shape over itself is what saving means: -o naming the shape is --save.
(cd "$tmp/w" && run in.s -o in.s --merge-points 0.001 2>/dev/null); rc=$?
check "-o naming the shape saves it" '[ $rc -eq 0 ] && cmp -s "$tmp/w/in.BAK" "$sample" && [ -e "$tmp/w/in.Lodsmith" ]'

exit $fail
