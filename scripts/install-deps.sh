#!/usr/bin/env bash
# Installs the Debian packages the build, the window (and a face with the
# narrow metrics its captions are laid out for), the PDF print-out's face for
# other scripts (fonts-dejavu-core), the tests, the
# fuzzers (clang and its libFuzzer runtime) and the format check need.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev qt6-translations-l10n
  xvfb xauth xterm python3 fonts-liberation fonts-dejavu-core
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  clang libclang-rt-14-dev clang-format
)
exec "$(dirname "$0")/apt-install-missing.sh" "${packages[@]}"
