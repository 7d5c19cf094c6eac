#!/usr/bin/env bash
# Installs the Debian packages the build, the window (and a face with the
# narrow metrics its captions are laid out for), the tests, the
# fuzzers (clang and its libFuzzer runtime) and the format check need.
# Runs apt-get only when something is missing; as root or through sudo.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  xvfb xauth xterm python3 fonts-liberation
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  clang libclang-rt-14-dev clang-format
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
