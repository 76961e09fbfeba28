#!/usr/bin/env bash
# Makes build/kestrow_3.00_amd64.deb from the install rules of the build in
# build/ (configured and built by ./test.sh or ./run.sh).
set -euo pipefail
cd "$(dirname "$0")/../build"
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log >&2; exit 1; }
echo "Debian package: $PWD/kestrow_3.00_amd64.deb"
