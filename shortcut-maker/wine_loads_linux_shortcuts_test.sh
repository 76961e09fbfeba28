#!/usr/bin/env bash
# Interoperability: the shortcuts the Linux program writes (the user's one and
# the side menu's Kestrow.lnk, with their application ids) open in the shell
# link object of Wine, which loads each, resolves it to Explorer and gives back
# its arguments and icon.
#   wine_loads_linux_shortcuts_test.sh BIN_DIR WORK_DIR
# Skipped (exit 77) where Wine or the MinGW-w64 compiler is missing; both
# come with scripts/install-deps.sh windows. Leaves nothing behind.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$1
work=$2
compiler=x86_64-w64-mingw32-gcc-posix
if ! command -v "$compiler" >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
  echo "SKIPPED: needs wine64 and $compiler (scripts/install-deps.sh windows)"
  exit 77
fi

rm -rf "$work"
mkdir -p "$work"
. "$here/../scripts/wine-env.sh"
# The loader is built for 64 bits, which every machine with Wine runs.
export KESTROW_WINE_ARCH=win64
kestrow_wine_env "$work/wine"
cleanup() {
  kestrow_wine_stop
  rm -rf "$work"
}
trap cleanup EXIT

loader=$work/load_shell_links.exe
"$compiler" -municode -static -O1 -o "$loader" "$here/../platform/testing/load_shell_links.c" \
  -lole32 -luuid

# The Linux program in direct mode with the stored defaults: the side menu,
# two panes, all folders.
linux=$work/linux
mkdir -p "$linux/home" "$linux/config" "$linux/data" "$linux/Projects"
run_linux() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$linux/home" \
    XDG_CONFIG_HOME="$linux/config" XDG_DATA_HOME="$linux/data" "$@" </dev/null
}
# No advice is due: the delay already meets it.
run_linux "$bin/kestrow-reg" add 'HKCU\Control Panel\Desktop' /v MenuShowDelay /t REG_SZ /d 100 /f >/dev/null
run_linux "$bin/Kestrow2005" "$linux/Projects"
side=$linux/data/kestrow/Start\ Menu/Kestrow
for name in Projects Kestrow; do
  [ -f "$side/$name.lnk" ] || { echo "FAILED: the Linux program wrote no $side/$name.lnk"; exit 1; }
done

kestrow_wine_ready
loaded=$("$KESTROW_WINE" "$loader" "$(winepath_of "$side/Projects.lnk")" \
  "$(winepath_of "$side/Kestrow.lnk")" </dev/null 2>"$work/loader.err" | tr -d '\r') ||
  { echo "FAILED: Wine's shell link object refused a shortcut:"; cat "$work/loader.err"; exit 1; }

failures=0
expect_line() {  # what, line number, expected line
  local got
  got=$(sed -n "$2p" <<<"$loaded")
  if [ "$got" != "$3" ]; then
    echo "FAILED: $1"
    echo "  expected: $3"
    echo "  got:      $got"
    failures=$((failures + 1))
  fi
}
tab=$'\t'
# The target as the link stores it, resolved in the prefix's Windows folder.
target=$(cut -f1 <<<"$loaded" | head -1)
case "${target,,}" in
  'c:\windows\explorer.exe') ;;
  *) echo "FAILED: the target resolved to [$target], not Explorer"; failures=$((failures + 1)) ;;
esac
expect_line "Projects.lnk" 1 \
  "${target}${tab}/e,\"$(winepath_of "$linux/Projects")\"${tab}explorer.exe${tab}1"
expect_line "Kestrow.lnk" 2 \
  "${target}${tab}/e,\"$(winepath_of "$side")\\\"${tab}explorer.exe${tab}1"

# The loader does tell a refusal: a file cut off in its link info fails.
head -c 120 "$side/Projects.lnk" >"$work/cut.lnk"
if "$KESTROW_WINE" "$loader" "$(winepath_of "$work/cut.lnk")" </dev/null >/dev/null 2>&1; then
  echo "FAILED: the loader took a shortcut cut off in the middle"
  failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "Wine's shell link object loads and resolves both shortcuts the Linux program wrote."
