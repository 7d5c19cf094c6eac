#!/usr/bin/env bash
# Checks the C++ files of src/, tests/, bench/ and fuzz/ against .clang-format.
#
#   scripts/check-format.sh         lists the files clang-format would change;
#                                   exit 1 when there are any, 0 when none
#   scripts/check-format.sh --fix   formats those files in place
#
# CLANG_FORMAT names the program (default: clang-format). Exit 2 when it is
# missing.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
clang_format="${CLANG_FORMAT:-clang-format}"
fix=0
case "${1:-}" in
  --fix) fix=1 ;;
  "") ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac
if ! command -v "$clang_format" >/dev/null; then
  echo "check-format: $clang_format not found" >&2
  exit 2
fi

unformatted=()
while IFS= read -r -d '' f; do
  if ! "$clang_format" --style=file "$f" | cmp -s - "$f"; then
    unformatted+=("$f")
  fi
done < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

if [ ${#unformatted[@]} -eq 0 ]; then
  exit 0
fi
if [ "$fix" = 1 ]; then
  "$clang_format" --style=file -i "${unformatted[@]}"
  printf 'formatted: %s\n' "${unformatted[@]}"
  exit 0
fi
echo "check-format: ${#unformatted[@]} files differ from .clang-format ($("$clang_format" --version | head -1)):"
printf '  %s\n' "${unformatted[@]}"
echo "check-format: scripts/check-format.sh --fix formats them"
exit 1
