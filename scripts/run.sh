#!/usr/bin/env bash
# Starts the Lodsmith window; without a display, says so and runs the batch
# program on the shipped sample shape instead.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
bin="$here/build/bin"
if [ -x "$bin/lodsmith" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$bin/lodsmith" "$@"
fi
echo "No display found (DISPLAY is not set): running lodsmith-cli on the sample shape instead."
exec "$bin/lodsmith-cli" "$here/samples/sample.s" --report tsv
