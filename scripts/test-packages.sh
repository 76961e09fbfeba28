#!/usr/bin/env bash
# Builds both installers and tests them: the Debian package from the build
# in build/ (run after it is built), the Windows setup with the Windows
# programs in build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

scripts/build-debian-package.sh
"${as_root[@]}" scripts/test-debian-package.sh

scripts/build-windows.sh >/dev/null
scripts/test-windows-setup.sh

echo "Installers built and tested in $((SECONDS - started)) s."
