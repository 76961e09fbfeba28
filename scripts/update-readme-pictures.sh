#!/usr/bin/env bash
# Takes the README's pictures anew: the Qt tests photograph every window
# into build/screenshots/, and the four the README shows are copied here.
set -euo pipefail
cd "$(dirname "$0")/.."
ctest --test-dir build -R 'Screenshot|Photographed' >/dev/null
mkdir -p docs/pictures
for name in options-dialog about-box start-menu-setting defaults-editor; do
  cp "build/screenshots/$name.png" "docs/pictures/$name.png"
done
echo "Pictures updated in docs/pictures/."
