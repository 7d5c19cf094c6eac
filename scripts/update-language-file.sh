#!/usr/bin/env bash
# Writes every message of the program, German and English, into the shipped
# language file lang/Lodsmith_L.INI (the test LanguageFile.* fails until this
# has run after a message was added or reworded).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target lodsmith_language_file
build/bin/lodsmith_language_file lang/Lodsmith_L.INI
