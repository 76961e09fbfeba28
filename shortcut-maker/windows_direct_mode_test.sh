#!/usr/bin/env bash
# End to end under Wine: the shortcut maker in direct mode writes its
# shortcuts into the prefix's real Start Menu, with the settings read from and
# written back to the real registry.
#   windows_direct_mode_test.sh WINE_DIR PATH_OF_Kestrow2005.exe
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/wine-env.sh"
kestrow_wine_env "$1"
program=$2
kestrow_wine_ready

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected [$3], got [$2]"; }

key='HKCU\Software\Tamsholt\Kestrow 2005'
wine_cmd() { "$KESTROW_WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
set_settings() {  # AllFolders SideMenu TwoPane Maximized; "-" leaves a value out
  wine_cmd reg delete "$key" /f >/dev/null || true
  local name value i=0
  for name in AllFolders SideMenu TwoPane Maximized; do
    i=$((i + 1))
    value=${!i}
    [ "$value" = - ] || wine_cmd reg add "$key" /v "$name" /t REG_DWORD /d "$value" /f >/dev/null
  done
  # No delay advice: this test is about the shortcut.
  wine_cmd reg add 'HKCU\Control Panel\Desktop' /v MenuShowDelay /t REG_SZ /d 100 /f >/dev/null
}
exported_settings() {
  local file="$KESTROW_WINE_DIR/export.reg"
  rm -f "$file"
  wine_cmd reg export "$key" "$(winepath_of "$file")" /y >/dev/null
  iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' | grep -E '^"(AllFolders|SideMenu|TwoPane|Maximized)"' | sort | tr '\n' ' '
}
# The user's own Start Menu (not the one under Public).
start_menu=$(find "$WINEPREFIX/drive_c/users" -path '*/Public' -prune -o -type d \
  -path '*/AppData/Roaming/Microsoft/Windows/Start Menu' -print | head -1)
[ -d "$start_menu" ] || { echo "FAILED: no Start Menu in $WINEPREFIX"; exit 1; }
field() { lnkinfo "$1" | sed -n "s/^\t$2[[:space:]]*: //p" | head -1; }
show_command() { od -A n -t u1 -j 60 -N 1 "$1" | tr -d ' '; }
run() { "$KESTROW_WINE" "$program" "$@" </dev/null >/dev/null 2>&1; }

# 1. The side menu with all values but one stored as 0; the missing one counts as 1.
rm -rf "$start_menu/Kestrow" "$start_menu/Projects.lnk"
set_settings 0 - 0 0
run 'C:\Data\Projects' || fail "direct mode exited $?"
link="$start_menu/Kestrow/Projects.lnk"
if [ -f "$link" ]; then
  expect_eq "arguments" "$(field "$link" 'Command line arguments')" '/n,/root,"C:\Data\Projects"'
  expect_eq "target" "$(field "$link" 'Local path')" 'C:\windows\explorer.exe'
  expect_eq "show command" "$(show_command "$link")" 1
else
  fail "no $link"
fi
[ -f "$start_menu/Kestrow/Kestrow.lnk" ] || fail "the side menu has no Kestrow.lnk"
expect_eq "settings written back" "$(exported_settings)" \
  '"AllFolders"=dword:00000000 "Maximized"=dword:00000000 "SideMenu"=dword:00000001 "TwoPane"=dword:00000000 '

# 2. The Start Menu itself, two panes, maximized, a name beyond ASCII.
set_settings 1 0 1 1
# Wine quotes an argument that holds a space when it makes the Windows
# command line; two words give the bare path, as the context command does.
run 'C:\Data\Übung' '2' || fail "direct mode exited $?"
link="$start_menu/Übung 2.lnk"
if [ -f "$link" ]; then
  expect_eq "arguments" "$(field "$link" 'Command line arguments')" '/e,"C:\Data\Übung 2"'
  expect_eq "show command" "$(show_command "$link")" 3
else
  fail "no $link"
fi
expect_eq "settings kept" "$(exported_settings)" \
  '"AllFolders"=dword:00000001 "Maximized"=dword:00000001 "SideMenu"=dword:00000000 "TwoPane"=dword:00000001 '

if [ "$failures" -eq 0 ]; then echo "direct mode under Wine: all checks passed"; fi
exit $((failures > 0))
