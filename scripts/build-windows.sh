#!/usr/bin/env bash
# Builds the native 32-bit Windows programs into build/windows/bin:
# Kestrow2005.exe, KestrowDefaults2005.exe (static, no DLL beside them) and
# kestrow.chm. Installs what it needs first (MinGW-w64, Wine for the tests).
# With --tests it builds the tests for Wine too.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows

build=${KESTROW_WINDOWS_BUILD_DIR:-build/windows}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
tests=OFF
[ "${1:-}" = --tests ] && tests=ON
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKESTROW_TESTS=$tests \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "Windows programs: $build/bin"
scripts/build-windows-setup.sh "$build/bin" "$build/kestrow-2005-3.00-setup.exe"
