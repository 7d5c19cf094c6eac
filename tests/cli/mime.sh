#!/usr/bin/env bash
# The desktop's file type for shapes: recognised by the first bytes in every
# form, while another file named *.s (an assembler source) is not taken.
set -u
src="$2"
command -v update-mime-database >/dev/null && command -v gio >/dev/null || { echo "SKIP: no shared-mime-info or gio"; exit 0; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
mkdir -p "$tmp/mime/packages"
cp "$src/packaging/lodsmith-shape.xml" "$tmp/mime/packages/"
update-mime-database "$tmp/mime" 2>/dev/null || { echo "FAIL: update-mime-database refuses the type"; exit 1; }
type_of() { XDG_DATA_DIRS="$tmp" gio info -a standard::content-type "$1" 2>/dev/null | sed -n 's/.*content-type: //p'; }
expect() {
  local got; got=$(type_of "$2")
  [ "$got" = "$3" ] || { echo "FAIL: $1: $got, expected $3"; fail=1; }
}

expect "Unicode text shape" "$src/samples/sample.s" application/x-lodsmith-shape
printf 'SIMISA@@@@@@@@@@_UNICODE\r\n\r\nshape ( )\r\n' > "$tmp/ascii.s"
expect "8-bit text shape" "$tmp/ascii.s" application/x-lodsmith-shape
# The compressed and binary forms start with the same UTF-16 signature.
printf '\xff\xfeS\0I\0M\0I\0S\0A\0@\0F\0' > "$tmp/packed.s"
expect "compressed shape" "$tmp/packed.s" application/x-lodsmith-shape
printf 'start:\n\tmov $1, %%eax\n\tret\n' > "$tmp/code.s"
got=$(type_of "$tmp/code.s")
[ "$got" != application/x-lodsmith-shape ] || { echo "FAIL: an assembler source is taken for a shape"; fail=1; }
grep -q '^MimeType=application/x-lodsmith-shape;' "$src/packaging/lodsmith.desktop" || { echo "FAIL: the desktop entry does not declare the type"; fail=1; }
grep -q '^Exec=lodsmith %f' "$src/packaging/lodsmith.desktop" || { echo "FAIL: the desktop entry does not pass the file"; fail=1; }
exit $fail
