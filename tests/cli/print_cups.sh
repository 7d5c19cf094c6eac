#!/usr/bin/env bash
# Prints a model's settings listing through CUPS: a cups-pdf queue is the
# default printer of this test (PRINTER/LPDEST, the system's own default is
# left alone), lodsmith-cli --print runs the print button's handler, and the
# PDF that cups-pdf writes is read back with pdftotext. --print-pdf and
# --landscape are checked on the way. Skips (exit 77) where CUPS cannot run.
set -u
cli="$1"
src="$2"
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

for p in cupsd lpadmin lpinfo lpstat lp pdftotext pdfinfo; do
  command -v "$p" >/dev/null 2>&1 || skip "$p is not installed"
done
[ -e /usr/lib/cups/backend/cups-pdf ] || skip "printer-driver-cups-pdf is not installed"

work="$(mktemp -d)"
started_pid=""
queue="LodsmithTest$$"
cleanup() {
  lpadmin -x "$queue" >/dev/null 2>&1
  [ -n "$started_pid" ] && kill "$started_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# One CUPS test at a time (the Qt print test uses the scheduler too).
exec 9>"${TMPDIR:-/tmp}/lodsmith-cups-test.lock"
flock 9 2>/dev/null || true

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  [ "$(id -u)" -eq 0 ] || skip "the CUPS scheduler is not running and only root may start it"
  cupsd -f >/dev/null 2>&1 &
  started_pid=$!
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
  lpstat -r 2>/dev/null | grep -q "is running" || skip "cupsd could not be started"
fi

ppd="$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF/ { print $1; exit }')"
[ -n "$ppd" ] || skip "no cups-pdf driver found"
lpadmin -p "$queue" -E -v cups-pdf:/ -m "$ppd" >/dev/null 2>&1 || skip "the cups-pdf queue could not be added"
export PRINTER="$queue" LPDEST="$queue"

shape="$work/cupsprobe$$.s"
cp "$src/samples/sample.s" "$shape"

# --print: the listing goes to the default printer, portrait unless asked.
home="$(getent passwd "$(id -un)" | cut -d: -f6)"
marker="$work/marker"
touch "$marker"
sleep 1
"$cli" "$shape" --print 2>"$work/print.err" || { cat "$work/print.err"; fail "--print failed"; }
grep -q "^confirmation: Querformat (empfohlen ab 4 LOD's)?" "$work/print.err" || fail "the orientation was not asked"
# The job is done when the queue is empty; cups-pdf writes its file until then.
for _ in $(seq 300); do [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break; sleep 0.1; done
pdf=""
for _ in $(seq 150); do
  pdf="$(find "$home/PDF" /var/spool/cups-pdf -name "*cupsprobe$$*.pdf" -newer "$marker" 2>/dev/null | head -n 1)"
  [ -n "$pdf" ] && break
  sleep 0.2
done
[ -n "$pdf" ] || fail "cups-pdf wrote no PDF for the job (queue $queue)"
pdftotext -layout "$pdf" "$work/printed.txt" || fail "pdftotext could not read $pdf"
rm -f "$pdf"
squeeze() { tr -s ' ' < "$1"; }
for want in "cupsprobe$$.s " " Seite 1" "Elemente" "Name Image Faces L 1" "Body body.ace 2 1" \
            "Wheel_loshine wheel.ace 1 1" "Subobjekte" "Nr. Vert. L 1 L 1" "LOD's" "Matrizen" \
            "WHEEL1 1 x" "Toleranz Punkte: 0; Toleranz Normalen: 0"; do
  squeeze "$work/printed.txt" | grep -qF -- "$want" || { cat "$work/printed.txt"; fail "printed listing lacks \"$want\""; }
done

# --print-pdf: the default printer's sheet, turned with --landscape.
"$cli" "$shape" --print-pdf "$work/portrait.pdf" 2>/dev/null || fail "--print-pdf failed"
"$cli" "$shape" --print-pdf "$work/landscape.pdf" --landscape 2>/dev/null || fail "--print-pdf --landscape failed"
pdfinfo "$work/portrait.pdf" | grep -q "Page size: *595.28 x 841.89" || fail "portrait PDF is not A4 upright"
pdfinfo "$work/landscape.pdf" | grep -q "Page size: *841.89 x 595.28" || fail "landscape PDF is not A4 turned"
pdftotext -layout "$work/landscape.pdf" "$work/landscape.txt"
squeeze "$work/landscape.txt" | grep -qF "Body body.ace 2 1" || fail "landscape PDF lacks the element line"

# No default printer: the message, and --print fails.
unset PRINTER LPDEST
if ! lpstat -d 2>/dev/null | grep -q "system default destination:"; then
  if "$cli" "$shape" --print 2>"$work/none.err"; then fail "--print without a printer succeeded"; fi
  grep -q "^error: Zur Zeit ist kein Standarddrucker gewählt" "$work/none.err" || fail "no-printer message missing"
fi
echo "PASS"
