#!/usr/bin/env bash
# The Windows stage of ./test.sh: builds the native programs into
# build/windows/bin and runs the Windows tests under Wine in a private prefix
# made for this run, on a private X display. Leaves no prefix, Wine process
# or display behind.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh

scripts/install-deps.sh windows
if ! kestrow_wine_runs_32bit; then
  # Some machines (containers without 32-bit support) cannot start the 32-bit
  # Wine loader: the tests then run on a 64-bit build of the same code, and
  # the 32-bit programs are only built.
  echo "This machine runs no 32-bit programs: testing a 64-bit build of the same code."
  scripts/build-windows.sh
fi
tests=$(kestrow_windows_tests)
wine_dir=$PWD/$tests/wine

KESTROW_XVFB_PID=
cleanup() {
  # The prefix's server ends every program still running in it.
  (kestrow_wine_env "$wine_dir" && kestrow_wine_stop) || true
  [ -n "$KESTROW_XVFB_PID" ] && kill "$KESTROW_XVFB_PID" 2>/dev/null && wait "$KESTROW_XVFB_PID" 2>/dev/null
  rm -rf "$wine_dir"
}
trap cleanup EXIT

if [ -n "${KESTROW_TEST_DISPLAY:-}" ]; then
  kestrow_xvfb_start "$KESTROW_TEST_DISPLAY" "$KESTROW_TEST_DISPLAY" 1280x1024x24
else
  kestrow_xvfb_start 90 140 1280x1024x24
fi

rm -rf "$wine_dir"
start=$(date +%s)
(kestrow_wine_prefix "$wine_dir")
echo "Wine prefix made in $(( $(date +%s) - start )) s."
ctest --test-dir "$tests" --output-on-failure -j"$(nproc)" --timeout 300
echo "Windows stage: tests passed under Wine in $(( $(date +%s) - start )) s."
