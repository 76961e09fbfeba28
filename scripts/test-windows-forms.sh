#!/usr/bin/env bash
# Runs the native forms backend's window tests (ctest label win32_forms) of a
# Windows build under Wine, on an X display of their own:
#   scripts/test-windows-forms.sh BUILD_DIR [DISPLAY_NUMBER]
# With KESTROW_SCREENSHOT_DIR naming a folder, a PNG of every dialog the tests
# show is saved there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
number=${2:-97}
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
kestrow_wine_env "$build/wine"

xvfb=""
cleanup() {
  kestrow_wine_stop
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  return 0
}
trap cleanup EXIT

# A Wine server started without this display would make no windows.
kestrow_wine_stop
Xvfb ":$number" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$number"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

if [ -n "${KESTROW_SCREENSHOT_DIR:-}" ]; then
  # The tests save the pictures themselves, to a Windows path.
  shots=$(mkdir -p "$KESTROW_SCREENSHOT_DIR" && cd "$KESTROW_SCREENSHOT_DIR" && pwd)
  KESTROW_SCREENSHOT_DIR=$(winepath_of "$shots")
  export KESTROW_SCREENSHOT_DIR
fi

ctest --test-dir "$build" -L win32_forms --output-on-failure
