#!/usr/bin/env bash
# Times open + save of a synthetic shape of about 1 000 000 lines with the
# Linux batch program (build/) and the Windows one under Wine
# (build-windows/), one run each, and prints the ratio. The shape is the
# one bench/shape_io_bench.cpp opens: points, vertices and long index lines.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
linux="$here/build/bin/lodsmith-cli"
windows="$here/build-windows/bin/lodsmith-cli.exe"
[ -x "$linux" ] && [ -f "$windows" ] || { echo "build both first (build/ and make windows)"; exit 1; }
export WINEPREFIX="$here/build-windows/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 - "$work/big.s" <<'PY'
import sys
lines = ["SIMISA@@@@@@@@@@JINX0s1t______", "", "shape (", "\tpoints ( 300000"]
lines += ["\t\tpoint ( %s 1.25 -%d )" % (format(i * 0.001, "f"), i % 977) for i in range(300000)]
lines.append("\t)")
while len(lines) < 1000000:
    lines += ["\t\t\t\t\t\t\t\tvertex ( 00000000 12 34 ff969696 ff808080",
              "\t\t\t\t\t\t\t\t\tvertex_uvs ( 1 7 )", "\t\t\t\t\t\t\t\t)"]
    if len(lines) % 3000 < 3:
        lines.append("\t\t\t\t\t\t\t\t\tvertex_idxs ( 3000" + "".join(" %d" % (100000 + k) for k in range(3000)) + " )")
lines.append(")")
with open(sys.argv[1], "wb") as f:
    f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))
PY
wine cmd /c exit >/dev/null 2>&1 || true  # the Wine server is up before the clock starts
run() {  # label, command...: prints the seconds
  local start end
  start=$(date +%s.%N)
  "${@:2}" >/dev/null 2>"$work/$1.err" || { echo "$1 failed: $(tr -d '\r' <"$work/$1.err" | head -3)" >&2; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
lines=$(python3 -c "import sys; print(open(sys.argv[1],'rb').read().decode('utf-16').count('\n'))" "$work/big.s")
t_linux=$(run linux "$linux" "$work/big.s" -o "$work/out-linux.s")
t_wine=$(run wine wine "$windows" "$work/big.s" -o "$work/out-wine.s")
cmp -s "$work/out-linux.s" "$work/out-wine.s" && same=yes || same=no
printf 'lines: %s  linux: %.2f s  windows under wine: %.2f s  ratio: %.2f  same output: %s\n' \
  "$lines" "$t_linux" "$t_wine" "$(echo "$t_wine / $t_linux" | bc -l)" "$same"
