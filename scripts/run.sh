#!/usr/bin/env bash
# Starts the Lodsmith window. Without a display (none set, or none that can
# be reached) it says so in one line and runs the batch program on the
# shipped sample shape instead.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
bin="$here/build/bin"
sample="$here/samples/sample.s"

fallback() {
  echo "$1: running lodsmith-cli on samples/sample.s instead."
  exec "$bin/lodsmith-cli" "$sample" --report tsv
}

if [ ! -x "$bin/lodsmith" ]; then
  fallback "The window was not built (Qt 6 missing?)"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  fallback "No display found (DISPLAY is not set)"
fi

# The window's own diagnostics are kept back until it is clear that it ran:
# when it finds no usable display it exits with status 3 instead of aborting.
log="$(mktemp "${TMPDIR:-/tmp}/lodsmith-run.XXXXXX")"
"$bin/lodsmith" "$@" 2>"$log"
status=$?
if [ "$status" -eq 3 ]; then
  rm -f "$log"
  fallback "No display found (cannot connect to ${DISPLAY:-${WAYLAND_DISPLAY:-}})"
fi
cat "$log" >&2
rm -f "$log"
exit "$status"
