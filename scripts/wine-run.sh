#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix under WINE_DIR
# (made on first use): wine-run.sh WINE_DIR PROGRAM [ARGUMENTS...]. The
# tests' emulator. A crash exits non-zero at once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
kestrow_wine_prefix "$1"
shift
exec "$KESTROW_WINE" "$@"
