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

# A new prefix is made first and waited for: wineboot returns while the
# programs it started (device services, the menu builder) still run under
# its own server, and the registry reaches the disk only when that server
# ends. Tests started meanwhile would join that session, whose desktop was
# made without a display (see below).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "test-windows: the Wine prefix $WINEPREFIX was not set up" >&2; exit 1; }
fi
# A server of this prefix that is still running (left by an interrupted
# run) is ended: the session below must be a new one.
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# The window and the grid control need a display: the whole run gets a
# virtual one (at 96 dpi, the design's resolution). One server for the whole
# run, so that every Wine start after the first is quick. It and its
# services are started inside the display, before the tests: a Wine session
# started without a display keeps a desktop without one (its explorer.exe
# ends at once) and every window of a later test then has no size; a service
# started by a test would inherit the test's output pipe and keep ctest
# waiting for it to close. It is all ended on the way out.
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  cd build-windows && ctest --output-on-failure --timeout 1800 -j1'
