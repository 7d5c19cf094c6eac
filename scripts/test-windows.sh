#!/usr/bin/env bash
# Runs the Windows build (scripts/windows.sh, build-windows/) under Wine:
# the unit and window-model tests (one Wine process for the whole binary),
# the batch program's shell tests against lodsmith-cli.exe, and the
# Windows-only tests of tests/win32 (registry, decimal separator, temp.bat
# through cmd, the window under Xvfb).
#
# The Wine prefix lives in build-windows/wineprefix. Mono and Gecko are
# switched off: a new prefix would otherwise ask to install them, which
# cannot be fetched here, and wait for an answer forever.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
export WINEPREFIX="$here/build-windows/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win64

# One server for the whole run: every Wine start after the first is then
# quick. Its services are started here, away from the tests: a service
# started by a test would inherit the test's output pipe and keep ctest
# waiting for it to close. It is all ended on the way out.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init </dev/null >/dev/null 2>&1 || true
fi
wineserver -p </dev/null >/dev/null 2>&1 || true  # already running for this prefix: fine
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# The window and the grid control need a display: the whole run gets a
# virtual one (at 96 dpi, the design's resolution).
(cd build-windows && xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" ctest --output-on-failure --timeout 1800 -j1)
