#!/usr/bin/env bash
# Installs the Debian packages the Windows cross build and its tests under
# Wine need: the MinGW-w64 compiler (posix threads, for std::thread and
# std::mutex), zlib built for it, Wine (the `wine` package puts the loader on
# PATH; `wine64` alone does not) and the one-file PNG writer the window's
# screenshot uses, and the typeface the zip ships for the PDF print-out
# (fonts-dejavu-core). Kept apart from install-deps.sh so that the Linux build never
# pulls in a cross compiler.
set -euo pipefail
packages=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64
  libstb-dev libgtest-dev
  xvfb xauth zip unzip fonts-dejavu-core
)
exec "$(dirname "$0")/apt-install-missing.sh" "${packages[@]}"
