#!/usr/bin/env bash
# Runs the built shortcut maker and shows what it wrote: which shortcut files
# appeared or changed in the Start Menu, and what each one holds.
set -uo pipefail
cd "$(dirname "$0")/.."
bin="$PWD/build/bin"

folder_arg=()
if [ $# -gt 0 ]; then
  folder="$*"
  # A folder given as a relative POSIX path is made absolute, as a file
  # manager would pass it.
  if [ -d "$folder" ]; then folder=$(cd "$folder" && pwd -P); fi
  folder_arg=("$folder")
fi

# Where the shortcuts go: the settings store's Start Menu when one is set,
# else the default folder.
start_menu="${XDG_DATA_HOME:-$HOME/.local/share}/kestrow/Start Menu"
set_in_store=$("$bin/kestrow-reg" query \
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
  /v "Start Menu" 2>/dev/null | sed -n 's/^ *Start Menu *REG_[A-Z_]* *//p')
if [[ "$set_in_store" == [Zz]:* ]]; then
  start_menu=$(printf '%s' "${set_in_store:2}" | tr '\\' '/')
fi

marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
sleep 1  # file times have one-second steps on some file systems
"$bin/Kestrow2005" "${folder_arg[@]}"
status=$?

mapfile -t written < <(find "$start_menu" -name '*.lnk' -newer "$marker" 2>/dev/null | sort)
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
