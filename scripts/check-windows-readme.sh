#!/usr/bin/env bash
# Checks the readme of the Windows zip against the folder it goes into:
# every file of the folder is named in it, and it holds nothing that only
# makes sense on Linux or in the repository (shell commands, Linux paths,
# links to pictures that the zip does not carry). Used by scripts/windows.sh
# before it packs the zip; exit status 1 names each fault.
set -uo pipefail
readme="$1"; folder="$2"
fail=0
for f in "$folder"/*; do
  name=$(basename "$f")
  grep -qF "$name" "$readme" || { echo "FAIL: $readme does not name $name"; fail=1; }
done
# Markdown pictures and links, Linux commands and paths.
while IFS= read -r pattern; do
  if grep -nE "$pattern" "$readme"; then
    echo "FAIL: $readme holds what does not belong in the Windows zip (/$pattern/)"
    fail=1
  fi
done <<'PATTERNS'
!\[|\]\(
\b(sudo|apt|apt-get|make|cmake|bash|wine|xvfb-run)\b
(^|[ "])\./|/usr/|/tmp/|~/|\$HOME|\$XDG
PATTERNS
exit $fail
