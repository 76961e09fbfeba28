#!/usr/bin/env bash
# Takes the README's pictures of the Windows programs anew, under Wine: runs
# the dialog tests of a Windows test build at the given screen resolution
# (144 dpi unless told) on a display of their own, in a private Wine prefix,
# and copies each window's picture into docs/pictures/ as windows-NAME.png.
#   scripts/update-readme-windows-pictures.sh [DPI [FOLDER]]
# With a FOLDER the pictures go there instead (to look at other resolutions
# without touching the README's).
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=${1:-144}
target=${2:-docs/pictures}
. scripts/wine-env.sh

# The test build scripts/test-windows.sh makes and runs.
build=$(kestrow_windows_tests)
build=$(cd "$build" && pwd)
wine_dir=$build/wine-pictures
shots=$(mktemp -d)

KESTROW_XVFB_PID=
cleanup() {
  (kestrow_wine_env "$wine_dir" && kestrow_wine_stop) || true
  [ -n "$KESTROW_XVFB_PID" ] && kill "$KESTROW_XVFB_PID" 2>/dev/null && wait "$KESTROW_XVFB_PID" 2>/dev/null
  rm -rf "$wine_dir" "$shots"
}
trap cleanup EXIT

kestrow_xvfb_start 150 199 1600x1200x24
kestrow_wine_prefix "$wine_dir"
# The resolution counts from the next start of the server.
"$KESTROW_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  </dev/null >/dev/null 2>&1
kestrow_wine_stop
kestrow_wine_ready

KESTROW_SCREENSHOT_DIR=$(winepath_of "$shots") \
  "$KESTROW_WINE" "$build/tests/win32_program_dialogs_tests.exe" </dev/null >"$shots/tests.log" 2>&1 ||
  { cat "$shots/tests.log" >&2; echo "The dialog tests failed; no pictures updated." >&2; exit 1; }

mkdir -p "$target"
for name in options-dialog about-box delay-advisor defaults-editor; do
  [ -s "$shots/$name.png" ] || { echo "No picture of $name was taken." >&2; exit 1; }
  cp "$shots/$name.png" "$target/windows-$name.png"
done
echo "Pictures at $dpi dpi updated in $target/."
