#!/usr/bin/env bash
# lodsmith-cli --compress: the five steps run hidden and are waited for, with
# stand-ins for the simulator's utility and for wine (first on PATH).
set -u
cli="$1"
fail() { echo "FAIL: $*"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/bin" "$work/Train Simulator/utils/ffedit" "$work/My Models"
cat > "$work/bin/wine" <<'W'
#!/bin/sh
program=$1
shift
exec "./$program" "$@"
W
tool="$work/Train Simulator/utils/ffedit/ffeditc_unicode.exe"
printf '#!/bin/sh\nprintf "converted %%s" "$1" > temp.s\n' > "$tool"
chmod +x "$work/bin/wine" "$tool"
export PATH="$work/bin:$PATH" WINEPREFIX="$work/prefix" HOME="$work"
shape="$work/My Models/lok 1.s"

echo original > "$shape"
"$cli" --compress "$shape" --tool "$tool" >"$work/out" 2>"$work/err" || { cat "$work/err"; fail "--compress failed"; }
grep -q "^converted Z:.*My Models.lok 1.s$" "$shape" || fail "the output was not moved over the shape: $(cat "$shape")"
[ ! -s "$work/out" ] || fail "the utility's output reached standard output"
[ ! -e "$work/Train Simulator/utils/ffedit/temp.s" ] || fail "temp.s was left behind"

# A utility that writes nothing: exit 1 with the reason, the shape untouched.
printf '#!/bin/sh\nexit 2\n' > "$tool"
echo original > "$shape"
if "$cli" --lang en --compress "$shape" --tool "$tool" 2>"$work/err"; then fail "--compress succeeded without output"; fi
grep -q "did not write temp.s" "$work/err" || fail "no reason given: $(cat "$work/err")"
[ "$(cat "$shape")" = original ] || fail "the shape was changed"

# A tool of another name is refused; so is a missing shape.
cp "$tool" "$work/other.exe"
if "$cli" --compress "$shape" --tool "$work/other.exe" 2>"$work/err"; then fail "another program was accepted"; fi
grep -q "ffeditc_unicode.exe nicht gefunden, Abbruch!" "$work/err" || fail "refusal reason missing"
grep -q -- "--tool" "$work/err" || fail "no word of --tool: $(cat "$work/err")"
if "$cli" --compress "$work/missing.s" --tool "$tool" 2>/dev/null; then fail "a missing shape was accepted"; fi

# No utility given and no simulator folder known: the message says how to go
# on, and shows no made-up Windows path.
if "$cli" --lang en --compress "$shape" 2>"$work/err"; then fail "--compress without a utility succeeded"; fi
grep -q -- "--tool" "$work/err" && grep -q -- "--compress-builtin" "$work/err" ||
  fail "no word of --tool or --compress-builtin: $(cat "$work/err")"
if grep -qF '\utils' "$work/err"; then fail "a Windows path was shown: $(cat "$work/err")"; fi
# Without the utility nothing is written: the check comes before the save.
model="$work/My Models/model.s"
cp "$2/samples/sample.s" "$model"
before=$(sha256sum <"$model")
if "$cli" --lang en "$model" --merge-points 0.001 --save --compress "$model" --tool "$work/missing/ffeditc_unicode.exe" \
  2>"$work/err"; then fail "--compress without the utility succeeded"; fi
[ "$(sha256sum <"$model")" = "$before" ] || fail "the shape was written before the utility was checked"
[ ! -e "${model%.s}.Lodsmith" ] || fail "the settings were written before the utility was checked"
[ ! -e "${model%.s}.BAK" ] || fail "a backup was made before the utility was checked"
grep -q "^error: " "$work/err" || fail "no reason given: $(cat "$work/err")"
if grep -q "^done: .*written" "$work/err"; then fail "a write was reported: $(cat "$work/err")"; fi
echo "PASS"
