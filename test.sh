#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: once on the
# build the programs are run from, once more with the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

jobs=$(nproc)
scripts/check-format.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROW_WERROR=ON >/dev/null
cmake --build build -j"$jobs"

# The native Windows programs, built and tested under Wine.
scripts/test-windows.sh

ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300
scripts/test-fuzz.sh

# The Debian package and the Windows setup, built and installed for real.
scripts/test-packages.sh

cmake -S . -B build/sanitized -DCMAKE_BUILD_TYPE=Debug -DKESTROW_SANITIZE=ON -DKESTROW_WERROR=ON >/dev/null
cmake --build build/sanitized -j"$jobs"
ctest --test-dir build/sanitized --output-on-failure -j"$jobs" --timeout 300
