#!/usr/bin/env bash
# Manual soak under Wine (not part of ./test.sh: it takes minutes): replaces
# one shortcut again and again and kills the shortcut maker at a random
# moment of each run, then counts runs that lost the shortcut and temporary
# files left where the Start Menu would list them.
#   windows_kill_soak.sh WINE_DIR PATH_OF_Kestrow2005.exe PATH_OF_run_with_command_line.exe [RUNS]
# Needs a display (DISPLAY) for the replace question.
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-env.sh"
kestrow_wine_prefix "$1"
program=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
launcher=$3
runs=${4:-50}

"$KESTROW_WINE" reg add 'HKCU\Software\Tamsholt\Kestrow 2005' /v SideMenu /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$KESTROW_WINE" reg add 'HKCU\Control Panel\Desktop' /v MenuShowDelay /t REG_SZ /d 100 /f >/dev/null 2>&1
start_menu=$(find "$WINEPREFIX/drive_c/users" -path '*/Public' -prune -o -type d \
  -path '*/AppData/Roaming/Microsoft/Windows/Start Menu' -print | head -1)
link="$start_menu/Kill.lnk"
"$KESTROW_WINE" "$launcher" "$(winepath_of "$program")" 'C:\Data\Kill' 6 >/dev/null 2>&1 || true
[ -f "$link" ] || { echo "no first shortcut"; exit 1; }

lost=0 killed=0
for i in $(seq "$runs"); do
  "$KESTROW_WINE" "$launcher" "$(winepath_of "$program")" 'C:\Data\Kill' 6 >/dev/null 2>&1 &
  launched=$!
  sleep "$(awk -v seed="$RANDOM" 'BEGIN { srand(seed); printf "%.2f", 0.15 + rand() * 0.6 }')"
  # The Wine process of this very program, by the path only this build has.
  pid=$(pgrep -f -- "^$(winepath_of "$program" | sed 's/\\/\\\\/g') " | head -1 || true)
  if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null && killed=$((killed + 1)); fi
  wait "$launched" 2>/dev/null || true
  if ! lnkinfo "$link" >/dev/null 2>&1; then
    lost=$((lost + 1))
    "$KESTROW_WINE" "$launcher" "$(winepath_of "$program")" 'C:\Data\Kill' 6 >/dev/null 2>&1 || true
  fi
done
# What Wine shows as hidden is the DOS attribute it keeps beside the file.
left=$(find "$start_menu" -maxdepth 1 -name '*.tmp' -o -maxdepth 1 -name '.kestrow-tmp-*' | wc -l)
echo "runs: $runs, killed: $killed, shortcut lost: $lost, temporary files left: $left"
