#!/usr/bin/env bash
# Builds and runs every test: the normal build (unit, form, batch program and
# Qt offscreen tests) and the AddressSanitizer/UndefinedBehaviorSanitizer build,
# which also replays the fuzz seeds and regressions (fuzz/). Each test has
# its own time limit (tests/CMakeLists.txt, fuzz/CMakeLists.txt). Both builds
# treat compiler warnings as errors (LODSMITH_WERROR).
#
# The sources are checked against .clang-format first
# (scripts/check-format.sh; `scripts/check-format.sh --fix` formats them).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
# A fresh clone elsewhere reuses what ccache holds from another checkout:
# paths below the checkout count relative to it.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1

./scripts/check-format.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLODSMITH_WERROR=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure --timeout 300 -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLODSMITH_SANITIZE=ON -DLODSMITH_BENCH=OFF -DLODSMITH_WERROR=ON
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions="$here/tests/lsan.supp"
(cd build-asan && ctest --output-on-failure --timeout 600 -j"$jobs")
