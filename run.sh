#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the shortcut maker: with a folder
# it makes the shortcut at once; without one it opens the folder browser.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null

exec scripts/run-shortcut-maker.sh "$@"
