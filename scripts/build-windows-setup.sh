#!/usr/bin/env bash
# Makes the Windows setup from the Windows programs with NSIS:
#   build-windows-setup.sh [BIN_DIR [SETUP_FILE [NSIS_TARGET]]]
# By default from build/windows/bin into
# build/windows/kestrow-2005-3.00-setup.exe, for 32-bit Windows
# (x86-unicode); the tests build a 64-bit one (amd64-unicode) where this
# machine runs no 32-bit Windows programs.
set -euo pipefail
cd "$(dirname "$0")/.."

bin=${1:-build/windows/bin}
setup=${2:-build/windows/kestrow-2005-3.00-setup.exe}
target=${3:-x86-unicode}

for file in Kestrow2005.exe KestrowDefaults2005.exe kestrow.chm; do
  [ -f "$bin/$file" ] || { echo "$bin/$file is missing: build the Windows programs first" >&2; exit 1; }
done
mkdir -p "$(dirname "$setup")"
# Warnings are errors: a setup that leaves out a file must not be made.
makensis -V2 -WX "-XTarget $target" \
  -DBIN_DIR="$(realpath "$bin")" \
  -DICON_FILE="$PWD/resources/icons/kestrow.ico" \
  -DOUT_FILE="$(realpath -m "$setup")" \
  packaging/windows/kestrow-setup.nsi
echo "Windows setup: $setup"
