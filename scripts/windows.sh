#!/usr/bin/env bash
# Cross-builds Lodsmith for 64-bit Windows in build-windows/ (MinGW-w64,
# cmake/mingw-w64-x86_64.cmake) and writes dist/lodsmith-<version>-win64.zip:
# the window, the batch program, the language file, the PDF print-out's
# typeface with its licence and the Windows readme
# (packaging/README-windows.txt), nothing else (the compiler's runtime and
# zlib are linked in). The test binary is built too;
# scripts/test-windows.sh runs it under Wine.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
jobs=$(nproc 2>/dev/null || echo 2)
export CCACHE_BASEDIR="$here"

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DLODSMITH_QT=OFF -DLODSMITH_BENCH=OFF -DLODSMITH_WERROR=ON \
  -DLODSMITH_GTEST_SOURCE=/usr/src/googletest
cmake --build build-windows -j"$jobs"

version=$(sed -n 's/^project(Lodsmith VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="lodsmith-$version-win64"
stage="build-windows/dist/$name"
rm -rf "$stage"
mkdir -p "$stage" dist
for f in lodsmith.exe lodsmith-cli.exe Lodsmith_L.INI DejaVuSansMono.ttf DejaVuSansMono-Bold.ttf; do
  [ -e "build-windows/bin/$f" ] && cp "build-windows/bin/$f" "$stage/"
done
# The typeface's licence as Debian ships it with these very files.
if [ -e "$stage/DejaVuSansMono.ttf" ]; then
  sed 's/$/\r/' /usr/share/doc/fonts-dejavu-core/copyright >"$stage/DejaVu-LICENSE.txt"
fi
# Notepad reads it best in UTF-8 with a byte-order mark and CR LF line ends.
{ printf '\357\273\277'; sed 's/$/\r/' packaging/README-windows.txt; } >"$stage/README.txt"
scripts/check-windows-readme.sh "$stage/README.txt" "$stage"
rm -f "dist/$name.zip"
(cd build-windows/dist && zip -qr "$here/dist/$name.zip" "$name")
echo "Wrote dist/$name.zip"
