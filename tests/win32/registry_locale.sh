#!/usr/bin/env bash
# The registry and regional-settings readers of the Windows build against
# Wine's registry: the simulator's folder is written with `wine reg add`
# as its installer would, the decimal separator is set to "," in the
# user's regional settings. Both are put back afterwards.
set -uo pipefail
tests="$1"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
command -v wine >/dev/null || exit 77
key='HKLM\SOFTWARE\Microsoft\Microsoft Games\Train Simulator\1.0'
intl='HKCU\Control Panel\International'
folder='C:\Program Files\Microsoft Games\Train Simulator'
old_decimal=$(wine reg query "$intl" /v sDecimal 2>/dev/null | tr -d '\r' | awk '/sDecimal/ {print $NF}')
restore() {
  wine reg delete "$key" /f >/dev/null 2>&1
  if [ -n "$old_decimal" ]; then
    wine reg add "$intl" /v sDecimal /d "$old_decimal" /f >/dev/null 2>&1
  else
    wine reg delete "$intl" /v sDecimal /f >/dev/null 2>&1
  fi
}
trap restore EXIT
wine reg add "$key" /v "EXE Path" /d "$folder" /f >/dev/null || { echo "FAIL: reg add"; exit 1; }
wine reg add "$intl" /v sDecimal /d "," /f >/dev/null || { echo "FAIL: reg add"; exit 1; }
out=$(LODSMITH_EXPECT_SIMULATOR="$folder" LODSMITH_EXPECT_DECIMAL="," \
  wine "$tests" --gtest_filter='WindowsRegistry.*:WindowsLocale.*' 2>&1 | tr -d '\r')
status=$?
echo "$out"
# Both tests ran and passed: none skipped, none filtered away.
echo "$out" | grep -q '^\[  PASSED  \] 2 tests' || { echo "FAIL: not both tests passed"; exit 1; }
exit $status
