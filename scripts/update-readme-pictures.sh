#!/usr/bin/env bash
# Takes the README's pictures anew: builds the readme-pictures tool in
# build/ and lets it photograph the windows into docs/pictures/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target readme-pictures >/dev/null
build/bin/readme-pictures docs/pictures
echo "Pictures updated in docs/pictures/."
