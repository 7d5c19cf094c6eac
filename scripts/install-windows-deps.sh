#!/usr/bin/env bash
# Installs the Debian packages the Windows cross build and its tests under
# Wine need: the MinGW-w64 compiler (posix threads, for std::thread and
# std::mutex), zlib built for it, Wine (the `wine` package puts the loader on
# PATH; `wine64` alone does not) and the one-file PNG writer the window's
# screenshot uses. Runs apt-get only when something is missing; as root or
# through sudo. Kept apart from install-deps.sh so that the Linux build never
# pulls in a cross compiler.
set -euo pipefail
packages=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64
  libstb-dev libgtest-dev
  xvfb xauth zip unzip
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
