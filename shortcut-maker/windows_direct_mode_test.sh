#!/usr/bin/env bash
# End to end under Wine: the shortcut maker in direct mode writes its
# shortcuts into the prefix's real Start Menu, with the settings read from and
# written back to the real registry. Exact command lines go through a launcher
# that starts the program with CreateProcessW and answers its message boxes.
#   windows_direct_mode_test.sh WINE_DIR PATH_OF_Kestrow2005.exe PATH_OF_run_with_command_line.exe
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-env.sh"
kestrow_wine_prefix "$1"
program=$2
launcher=$3

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected [$3], got [$2]"; }

key='HKCU\Software\Tamsholt\Kestrow 2005'
wine_cmd() { "$KESTROW_WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
set_settings() {  # AllFolders SideMenu TwoPane Maximized; "-" leaves a value out
  # One import, not a reg call per value: each Wine start costs a second on
  # a busy machine.
  local reg="$KESTROW_WINE_DIR/settings-test.reg" name value i=0
  {
    printf '%s\r\n' 'REGEDIT4' '' "[-HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005]" '' \
      "[HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005]"
    for name in AllFolders SideMenu TwoPane Maximized; do
      i=$((i + 1))
      value=${!i}
      [ "$value" = - ] || printf '"%s"=dword:%08x\r\n' "$name" "$value"
    done
    # No delay advice: this test is about the shortcut.
    printf '%s\r\n' '' '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"MenuShowDelay"="100"' ''
  } >"$reg"
  wine_cmd regedit /S "$(winepath_of "$reg")" >/dev/null
}
# Windows 7 unless a check says otherwise: the Start Menu folder itself.
wine_cmd reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win7 /f >/dev/null
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
rm -f "$start_menu/Übung 2.lnk"
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

# 3. Direct mode makes no window, so it loads neither the common controls nor
# the theme library: either would have Wine start the desktop process.
rm -f "$start_menu/Kestrow/Quiet.lnk"
set_settings 1 1 0 0
# A file, not a pipe: a Wine process the program starts may keep its copy open.
loaded="$KESTROW_WINE_DIR/loaded.txt"
WINEDEBUG=+loaddll "$KESTROW_WINE" "$program" 'C:\Data\Quiet' </dev/null >/dev/null 2>"$loaded" ||
  fail "direct mode exited $?"
[ -f "$start_menu/Kestrow/Quiet.lnk" ] || fail "no $start_menu/Kestrow/Quiet.lnk"
grep -qi 'Loaded L".*shell32.dll"' "$loaded" || fail "no library load was seen"
if grep -iE 'Loaded L".*(comctl32|uxtheme)\.dll"' "$loaded"; then
  fail "direct mode loaded window libraries"
fi

# The rest starts the program with an exact command line and answers its
# boxes with the given button; the launcher prints "box: TEXT" for each and
# "exit: CODE". {U+XXXX} in the text is that UTF-16 unit.
exact() {  # BUTTON TEXT
  "$KESTROW_WINE" "$launcher" "$(winepath_of "$(cd "$(dirname "$program")" && pwd)/$(basename "$program")")" \
    "$2" "$1" </dev/null 2>/dev/null | tr -d '\r' || true
}
lnk_files() { find "$start_menu" -name '*.lnk' | sort; }
exit_of() { sed -n 's/^exit: //p' <<<"$1"; }
boxes_of() { grep -c '^box: ' <<<"$1" || true; }

# 4. A path wholly in quotes, as a folder command's "%1" passes it.
rm -f "$start_menu/Kestrow/My Data.lnk"
set_settings 1 1 1 0
out=$(exact 7 '"C:\My Data"')
expect_eq "quoted path: exit" "$(exit_of "$out")" 0
link="$start_menu/Kestrow/My Data.lnk"
if [ -f "$link" ]; then
  expect_eq "quoted path: arguments" "$(field "$link" 'Command line arguments')" '/e,"C:\My Data"'
else
  fail "quoted path: no $link ($out)"
fi

# 5. Names Windows cannot hold, and text that is not whole UTF-16: one clear
# message, no question before it, nothing written, a failed run.
before=$(lnk_files)
touch "$start_menu/Kestrow/CON.lnk"
for text in 'C:\Data\A{U+D800}B' 'C:\Data\CON' 'C:\Data\nul.txt ' 'C:\Data\x:y' 'C:\Data\COM{U+00B9}'; do
  out=$(exact 6 "$text")
  expect_eq "$text: exit" "$(exit_of "$out")" 1
  expect_eq "$text: boxes" "$(boxes_of "$out")" 1
  grep -qE '^box: (The folder .* is not valid text|A shortcut called .* cannot be made: Windows cannot keep that name)' <<<"$out" ||
    fail "$text: no clear refusal in [$out]"
done
rm -f "$start_menu/Kestrow/CON.lnk"
expect_eq "refused names wrote nothing" "$(lnk_files)" "$before"

# 6. A side menu that is a link (standing in for a junction) to a folder
# outside the Start Menu: refused, and nothing is written there.
rm -rf "$KESTROW_WINE_DIR/side-menu-kept" "$KESTROW_WINE_DIR/outside"
mv "$start_menu/Kestrow" "$KESTROW_WINE_DIR/side-menu-kept"
mkdir -p "$KESTROW_WINE_DIR/outside"
ln -s "$KESTROW_WINE_DIR/outside" "$start_menu/Kestrow"
set_settings 1 1 1 0
out=$(exact 1 'C:\Data\Linked')
expect_eq "linked side menu: exit" "$(exit_of "$out")" 1
grep -q '^box: The side menu folder .* leads outside the Start Menu' <<<"$out" ||
  fail "linked side menu: no refusal in [$out]"
set_settings 1 0 1 0
out=$(exact 1 'C:\Data\Beside')
expect_eq "linked side menu, shortcut beside it: exit" "$(exit_of "$out")" 0
[ -f "$start_menu/Beside.lnk" ] || fail "no $start_menu/Beside.lnk"
expect_eq "nothing written through the link" "$(ls -A "$KESTROW_WINE_DIR/outside")" ""
rm -f "$start_menu/Kestrow" "$start_menu/Beside.lnk"
mv "$KESTROW_WINE_DIR/side-menu-kept" "$start_menu/Kestrow"

# 7. A full disk (a small tmpfs over the Start Menu): the replace fails with a
# message and a failed run, and the old shortcut survives whole.
mounted=
cleanup_mount() { [ -z "$mounted" ] || umount "$start_menu" 2>/dev/null || true; }
trap cleanup_mount EXIT
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=64k kestrow-full "$start_menu" 2>/dev/null; then
  mounted=1
  printf 'the old shortcut' >"$start_menu/Full.lnk"
  dd if=/dev/zero of="$start_menu/filler" bs=1k count=1024 2>/dev/null || true
  set_settings 1 0 1 0
  out=$(exact 6 'C:\Data\Full')
  expect_eq "full disk: exit" "$(exit_of "$out")" 1
  grep -q '^box: Unexpected error\..*Cannot write the file' <<<"$out" || fail "full disk: no message in [$out]"
  expect_eq "full disk: the old shortcut" "$(cat "$start_menu/Full.lnk")" 'the old shortcut'
  expect_eq "full disk: nothing else left" "$(ls -A "$start_menu" | tr '\n' ' ')" 'Full.lnk filler '
  umount "$start_menu" && mounted=
else
  echo "SKIPPED: full disk (a tmpfs cannot be mounted over the Start Menu here)"
fi

# 8. Windows 10 (the version a program declaring it sees): the Start Menu is
# the Programs folder that today's Start menu lists.
programs="$start_menu/Programs"
rm -rf "$programs/Kestrow" "$programs/Projects.lnk"
wine_cmd reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f >/dev/null
set_settings 1 1 1 0
out=$(exact 1 'C:\Data\Projects')
expect_eq "win10, side menu: exit" "$(exit_of "$out")" 0
[ -f "$programs/Kestrow/Projects.lnk" ] || fail "win10: no $programs/Kestrow/Projects.lnk"
[ -f "$programs/Kestrow/Kestrow.lnk" ] || fail "win10: no $programs/Kestrow/Kestrow.lnk"
case "$(field "$programs/Kestrow/Kestrow.lnk" 'Command line arguments')" in
  '/e,"C:\'*'\Start Menu\Programs\Kestrow\"') ;;
  *) fail "win10: Kestrow.lnk does not open Programs\Kestrow" ;;
esac
set_settings 1 0 1 0
out=$(exact 1 'C:\Data\Projects')
expect_eq "win10, Start Menu: exit" "$(exit_of "$out")" 0
[ -f "$programs/Projects.lnk" ] || fail "win10: no $programs/Projects.lnk"
wine_cmd reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win7 /f >/dev/null

if [ "$failures" -eq 0 ]; then echo "direct mode under Wine: all checks passed"; fi
exit $((failures > 0))
