#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: once on the
# build the programs are run from, once more with the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

jobs=$(nproc)
mkdir -p build
# The Debian root the package test installs into is made once and cached;
# making it is mostly waiting on the network, so it runs beside the builds.
test_root_pid=
if [ "$(id -u)" -eq 0 ]; then
  scripts/debian-test-root.sh >build/debian-test-root.log 2>&1 &
  test_root_pid=$!
fi
scripts/check-format.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROW_WERROR=ON >/dev/null
cmake --build build -j"$jobs"

# The native Windows programs, built and tested under Wine.
scripts/test-windows.sh

ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300
scripts/test-fuzz.sh

# The Debian package and the Windows setup, built and installed for real.
if [ -n "$test_root_pid" ] && ! wait "$test_root_pid"; then
  cat build/debian-test-root.log >&2
  echo "The Debian root for the package test could not be made." >&2
  exit 1
fi
scripts/test-packages.sh

cmake -S . -B build/sanitized -DCMAKE_BUILD_TYPE=Debug -DKESTROW_SANITIZE=ON -DKESTROW_WERROR=ON >/dev/null
cmake --build build/sanitized -j"$jobs"
ctest --test-dir build/sanitized --output-on-failure -j"$jobs" --timeout 300
