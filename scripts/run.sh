#!/usr/bin/env bash
# Starts the Lodsmith window. Without a display (none set, or none that can
# be reached) the window says so in one line, in its language, and the batch
# program runs on the shipped sample shape instead.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
bin="$here/build/bin"
sample="$here/samples/sample.s"

fallback() {
  echo "\$ lodsmith-cli samples/sample.s --report tsv"
  exec "$bin/lodsmith-cli" "$sample" --report tsv
}

if [ ! -x "$bin/lodsmith" ]; then
  # Nothing of the program is there to say it in the user's language.
  echo "lodsmith: Das Fenster wurde nicht gebaut (Qt 6 fehlt?) / the window was not built (Qt 6 missing?)"
  fallback
fi

# The window's own diagnostics (Qt's complaints about the display) are kept
# back until it is clear that it ran: when it finds no usable display it
# prints why as its last line and exits with status 3 instead of aborting.
log="$(mktemp "${TMPDIR:-/tmp}/lodsmith-run.XXXXXX")"
"$bin/lodsmith" "$@" 2>"$log"
status=$?
if [ "$status" -eq 3 ]; then
  tail -n 1 "$log"
  rm -f "$log"
  fallback
fi
cat "$log" >&2
rm -f "$log"
exit "$status"
