#!/usr/bin/env bash
# The Windows stage of ./test.sh: builds the native programs into
# build/windows/bin and runs the Windows tests under Wine in a private prefix
# made for this run, on a private X display. Leaves no prefix, Wine process
# or display behind.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh

scripts/install-deps.sh windows
if kestrow_wine_runs_32bit; then
  scripts/build-windows.sh --tests
  tests=build/windows
else
  # Some machines (containers without 32-bit support) cannot start the 32-bit
  # Wine loader: the tests then run on a 64-bit build of the same code.
  echo "This machine runs no 32-bit programs: testing a 64-bit build of the same code."
  scripts/build-windows.sh
  tests=build/windows-x64
  launcher=()
  command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$tests" -DCMAKE_BUILD_TYPE=Release -DKESTROW_TESTS=ON -DKESTROW_WINDOWS_H_CHECK=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x86_64.cmake" "${launcher[@]}" >/dev/null
  cmake --build "$tests" -j"$(nproc)"
fi
wine_dir=$PWD/$tests/wine

xvfb_pid=
cleanup() {
  # The prefix's server ends every program still running in it.
  (kestrow_wine_env "$wine_dir" && kestrow_wine_stop) || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$wine_dir"
}
trap cleanup EXIT

# A display of our own, started before the Wine server (a server started
# without one cannot open windows later).
display=${KESTROW_TEST_DISPLAY:-}
if [ -z "$display" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
  done
fi
Xvfb ":$display" -noreset -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
sleep 1

rm -rf "$wine_dir"
start=$(date +%s)
(kestrow_wine_prefix "$wine_dir")
echo "Wine prefix made in $(( $(date +%s) - start )) s."
ctest --test-dir "$tests" --output-on-failure -j"$(nproc)" --timeout 300
echo "Windows stage: tests passed under Wine in $(( $(date +%s) - start )) s."
