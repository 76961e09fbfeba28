#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: once on the
# build the programs are run from, once more with the address and
# undefined-behaviour sanitizers. Ends with the time each stage took.
#
#   ./test.sh           everything
#   ./test.sh --quick   the format check, the Linux build and the Linux tests
set -euo pipefail
cd "$(dirname "$0")"

if [ "${1:-}" = --quick ]; then
  # The loop while working: on a tree built before, a minute or two.
  scripts/check-format.sh
  [ -f build/CMakeCache.txt ] ||
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROW_WERROR=ON >/dev/null
  cmake --build build -j"$(nproc)"
  ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
  exit 0
fi

timings=()
stage_started=$SECONDS
# Closes the stage that just ran under the given name.
stage_done() {
  timings+=("$(printf '%5d s  %s' $((SECONDS - stage_started)) "$1")")
  stage_started=$SECONDS
}

scripts/install-deps.sh windows  # the Linux packages and the Windows ones
scripts/check-deps.sh
stage_done "packages this machine needs"

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
stage_done "format check and Linux build"

# The Linux tests first, so that a failure there shows within minutes.
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300
stage_done "Linux tests"

# The native Windows programs, built and tested under Wine.
scripts/test-windows.sh
stage_done "Windows build and its tests under Wine"
scripts/test-fuzz.sh
stage_done "fuzzing"

# The Debian package and the Windows setup, built and installed for real.
if [ -n "$test_root_pid" ] && ! wait "$test_root_pid"; then
  cat build/debian-test-root.log >&2
  echo "The Debian root for the package test could not be made." >&2
  exit 1
fi
scripts/test-packages.sh
stage_done "installers"

cmake -S . -B build/sanitized -DCMAKE_BUILD_TYPE=Debug -DKESTROW_SANITIZE=ON -DKESTROW_WERROR=ON >/dev/null
cmake --build build/sanitized -j"$jobs"
ctest --test-dir build/sanitized --output-on-failure -j"$jobs" --timeout 300
stage_done "sanitizer build and tests"

echo "All tests passed in $SECONDS s:"
printf '%s\n' "${timings[@]}"
