#!/usr/bin/env bash
# Runs the native forms backend's window tests (ctest label win32_forms) of a
# Windows build under Wine, on an X display of their own:
#   scripts/test-windows-forms.sh BUILD_DIR [DISPLAY_NUMBER]
# With KESTROW_SCREENSHOT_DIR naming a folder, a PNG of every dialog the tests
# show is saved there (needs ImageMagick's import).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
number=${2:-97}
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
kestrow_wine_env "$build/wine"

xvfb=""
watcher=""
cleanup() {
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
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
  shots=$(mkdir -p "$KESTROW_SCREENSHOT_DIR" && cd "$KESTROW_SCREENSHOT_DIR" && pwd)
  # The tests leave NAME.request holding the window's place and wait until
  # it is gone.
  (
    while true; do
      for request in "$shots"/*.request; do
        [ -e "$request" ] || continue
        sleep 0.4
        import -window root -crop "$(cat "$request")" +repage "${request%.request}.png" || true
        rm -f "$request"
      done
      sleep 0.1
    done
  ) &
  watcher=$!
  export KESTROW_SCREENSHOT_DIR="Z:$shots"
fi

ctest --test-dir "$build" -L win32_forms --output-on-failure
