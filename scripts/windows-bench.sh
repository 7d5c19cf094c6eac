#!/usr/bin/env bash
# Times open + save of SHAPE with the Linux batch program (build/) and the
# Windows one under Wine (build-windows/), one run each, and prints both
# times, their ratio and whether the two wrote the same bytes.
#
#   scripts/windows-bench.sh big.s
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
shape="${1:?usage: windows-bench.sh SHAPE}"
linux="$here/build/bin/lodsmith-cli"
windows="$here/build-windows/bin/lodsmith-cli.exe"
[ -x "$linux" ] && [ -f "$windows" ] || { echo "build both first (build/ and make windows)"; exit 1; }
export WINEPREFIX="$here/build-windows/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
wine cmd /c exit >/dev/null 2>&1 || true  # the Wine server is up before the clock starts
seconds() {  # label, command...
  local start end
  start=$(date +%s.%N)
  "${@:2}" >/dev/null 2>"$work/$1.err" || echo "$1 failed: $(tr -d '\r' <"$work/$1.err" | head -3)" >&2
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
t_linux=$(seconds linux "$linux" "$shape" -o "$work/out-linux.s")
t_wine=$(seconds wine wine "$windows" "$shape" -o "$work/out-wine.s")
cmp -s "$work/out-linux.s" "$work/out-wine.s" && same=yes || same=no
printf 'linux: %.2f s  windows under wine: %.2f s  ratio: %.2f  same output: %s\n' \
  "$t_linux" "$t_wine" "$(echo "$t_wine / $t_linux" | bc -l)" "$same"
