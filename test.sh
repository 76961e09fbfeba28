#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: once on the
# build the programs are run from, once more with the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

# The native Windows programs, built and tested under Wine.
scripts/test-windows.sh

ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300
scripts/test-fuzz.sh

cmake -S . -B build/sanitized -DCMAKE_BUILD_TYPE=Debug -DKESTROW_SANITIZE=ON >/dev/null
cmake --build build/sanitized -j"$jobs"
ctest --test-dir build/sanitized --output-on-failure -j"$jobs" --timeout 300
