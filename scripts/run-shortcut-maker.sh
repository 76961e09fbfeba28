#!/usr/bin/env bash
# Runs the built shortcut maker and shows what it wrote: which shortcut files
# appeared or changed in the Start Menu, and what each one holds.
set -uo pipefail
cd "$(dirname "$0")/.."
bin="${KESTROW_BIN_DIR:-$PWD/build/bin}"

folder_arg=()
if [ $# -gt 0 ]; then
  folder="$*"
  # A folder given as a relative POSIX path is made absolute, as a file
  # manager would pass it.
  if [ -d "$folder" ]; then folder=$(cd "$folder" && pwd -P); fi
  folder_arg=("$folder")
fi

# Where the shortcuts go, as the programs work it out (a Start Menu set in
# the settings store, %USERPROFILE% and all, or the default folder).
start_menu=$("$bin/kestrow-reg" startmenu) || start_menu=""

marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
sleep 1  # file times have one-second steps on some file systems
"$bin/Kestrow2005" "${folder_arg[@]}"
status=$?

written=()
if [ -n "$start_menu" ]; then
  mapfile -t written < <(find "$start_menu" -name '*.lnk' -newer "$marker" 2>/dev/null | sort)
fi
if [ ${#written[@]} -eq 0 ]; then
  echo "No shortcut was written (Start Menu: $start_menu)."
else
  for lnk in "${written[@]}"; do
    echo "Shortcut written: $lnk"
    show=$(od -An -tu4 -j60 -N4 "$lnk" | tr -d ' ')
    [ "$show" = 3 ] && window="maximized" || window="normal"
    echo "  Window: $window"
    if command -v lnkinfo >/dev/null; then
      # The description holds two lines: show the one after it too.
      lnkinfo "$lnk" 2>/dev/null | awk '
        /Description/ { print; getline; print; next }
        /Command line arguments|Icon location|Local path/ { print }' \
        | sed 's/^[[:space:]]*/  /'
    fi
  done
fi
exit $status
