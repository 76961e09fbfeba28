#!/usr/bin/env bash
# Runs the Windows setup under Wine in a fresh private prefix: the silent
# install puts the programs in place and registers the folder verb; the verb,
# started as the shell starts it, makes Projects.lnk with the stored
# defaults; the menu entries point at the two programs; a second install
# upgrades in place; the silent uninstall leaves nothing of it behind but the
# user's settings and shortcuts.
#
# Where this machine runs no 32-bit Windows programs, the same setup script
# is built for 64-bit Windows from a 64-bit build of the programs and that is
# what runs.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work="$repo/build/package-test/windows"
started=$SECONDS

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
# A fresh prefix every run: the uninstall check must see only this run.
rm -rf "$work/wine"
mkdir -p "$work/wine"
kestrow_wine_env "$work/wine"

if [ "$KESTROW_WINE_ARCH" = win32 ]; then
  setup="$repo/build/windows/kestrow-2005-3.00-setup.exe"
  [ -f "$setup" ] || fail "$setup is missing (run scripts/build-windows.sh)"
  cc=i686-w64-mingw32-gcc-posix
else
  echo "This machine runs no 32-bit Windows programs: testing the setup built for 64-bit Windows."
  x64_build="$repo/build/windows-x64"
  launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  # The same settings as the Windows test stage, which builds this tree too:
  # a different one would make the next run reconfigure and rebuild it.
  cmake -S . -B "$x64_build" -DCMAKE_BUILD_TYPE=Release -DKESTROW_WINDOWS_H_CHECK=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-x86_64.cmake" "${launcher[@]}" >/dev/null
  cmake --build "$x64_build" -j"$(nproc)" --target Kestrow2005 KestrowDefaults2005 kestrow_help \
    >"$work/build-x64.log" 2>&1 ||
    { tail -30 "$work/build-x64.log"; fail "the 64-bit Windows programs did not build"; }
  setup="$work/kestrow-2005-3.00-setup-x64.exe"
  scripts/build-windows-setup.sh "$x64_build/bin" "$setup" amd64-unicode >/dev/null
  cc=x86_64-w64-mingw32-gcc-posix
fi
"$cc" -municode -O2 -Wall -Wextra -Werror -static -o "$work/start_folder_verb.exe" \
  packaging/windows/tests/start_folder_verb.c -lshell32 -lole32 -ladvapi32

kestrow_wine_ready
trap kestrow_wine_stop EXIT
wine() { "$KESTROW_WINE" "$@"; }
unix_path() { wine winepath -u "$1" 2>/dev/null; }
# `reg query` answers in lines "    NAME    REG_TYPE    DATA".
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_default() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_[A-Z_]* *//p'
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }

verb_key='HKCU\Software\Classes\Directory\shell\KestrowCreateShortcut'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrow 2005'
settings_key='HKCU\Software\Tamsholt\Kestrow 2005'
appdata=$(wine cmd /c 'echo %APPDATA%' | tr -d '\r')
localappdata=$(wine cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
install_dir_win="$localappdata\\Programs\\Kestrow 2005"
install_dir=$(unix_path "$install_dir_win")
start_menu=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu")
menu_folder="$start_menu/Programs/Kestrow 2005"
[ -n "$install_dir" ] && [ -n "$start_menu" ] || fail "Wine does not say where the user's folders are"

# No delay advice after the shortcut: it would open a window.
wine reg add 'HKCU\Control Panel\Desktop' /v MenuShowDelay /t REG_SZ /d 100 /f >/dev/null

echo "== silent install"
wine "$(winepath_of "$setup")" /S || fail "the setup exited with $?"
for file in Kestrow2005.exe KestrowDefaults2005.exe kestrow.chm uninstall.exe; do
  [ -s "$install_dir/$file" ] || fail "$file is not in $install_dir"
done
[ "$(reg_default "$verb_key")" = "Let Kestrow create a shortcut" ] ||
  fail "the folder verb's text is '$(reg_default "$verb_key")'"
command_expected="\"$install_dir_win\\Kestrow2005.exe\" %1"
[ "$(reg_default "$verb_key\\command")" = "$command_expected" ] ||
  fail "the folder verb runs '$(reg_default "$verb_key\\command")', not '$command_expected'"
[ "$(reg_value "$uninstall_key" DisplayName)" = "Kestrow 2005" ] || fail "no uninstall record"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "3.00" ] || fail "the uninstall record's version is wrong"
[ "$(reg_value "$uninstall_key" Publisher)" = "Tamsholt" ] || fail "the uninstall record's publisher is wrong"
[ "$(reg_value "$uninstall_key" DisplayIcon)" = "$install_dir_win\\Kestrow2005.exe,0" ] ||
  fail "the uninstall record's icon is wrong"
size=$(reg_value "$uninstall_key" EstimatedSize)
# In KiB: at least the two programs, which are over 100 KiB each.
[ -n "$size" ] && [ $((size)) -ge 200 ] || fail "the uninstall record's size is '$size'"

echo "== the folder verb on C:\\Data\\Projects"
mkdir -p "$WINEPREFIX/drive_c/Data/Projects"
# Stored defaults that differ from the built-in ones: Start Menu itself,
# subfolders only, a folder window, maximized.
for value in AllFolders:0 SideMenu:0 TwoPane:0 Maximized:1; do
  wine reg add "$settings_key" /v "${value%%:*}" /t REG_DWORD /d "${value##*:}" /f >/dev/null
done
wine "$(winepath_of "$work/start_folder_verb.exe")" KestrowCreateShortcut 'C:\Data\Projects' ||
  fail "the folder verb ended with $?"
lnk="$start_menu/Projects.lnk"
[ -f "$lnk" ] || fail "the folder verb made no Projects.lnk in $start_menu"
info=$(lnkinfo "$lnk") || fail "lnkinfo cannot read Projects.lnk"
grep -q 'Command line arguments.*: /n,/root,"C:\\Data\\Projects"$' <<<"$info" ||
  fail "Projects.lnk was not made with the stored defaults:
$info"
grep -qi 'Local path.*: .*\\explorer.exe$' <<<"$info" || fail "Projects.lnk does not start Explorer:
$info"
[ "$(od -An -tu4 -j60 -N4 "$lnk" | tr -d ' ')" = 3 ] || fail "Projects.lnk does not open maximized"

echo "== Start Menu entries"
for entry in "Kestrow 2005:Kestrow2005.exe" "Kestrow 2005 Default Settings:KestrowDefaults2005.exe"; do
  file="$menu_folder/${entry%%:*}.lnk"
  [ -f "$file" ] || fail "no menu entry ${entry%%:*}"
  target=$(lnkinfo "$file" | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p')
  expected="$install_dir_win\\${entry##*:}"
  [ "${target,,}" = "${expected,,}" ] || fail "${entry%%:*} starts '$target', not '$expected'"
done

echo "== second install over the first"
printf 'stale' >"$install_dir/Kestrow2005.exe"
wine "$(winepath_of "$setup")" /S || fail "the second setup exited with $?"
[ "$(od -An -c -N2 "$install_dir/Kestrow2005.exe" | tr -d ' ')" = MZ ] || fail "the second install did not replace Kestrow2005.exe"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$install_dir_win" ] ||
  fail "the second install moved the program"
[ "$(find "$install_dir" -type f | wc -l)" -eq 4 ] || fail "the second install left other files: $(ls "$install_dir")"
[ "$(reg_value "$settings_key" SideMenu)" = 0x0 ] || fail "the second install changed the user's settings"

echo "== silent uninstall"
uninstaller=$(reg_value "$uninstall_key" QuietUninstallString)
[ "$uninstaller" = "\"$install_dir_win\\uninstall.exe\" /S" ] || fail "the quiet uninstall command is '$uninstaller'"
wine "$install_dir_win\\uninstall.exe" /S || fail "the uninstaller exited with $?"
# The uninstaller goes on from a copy of itself in the temporary folder and
# drops the uninstall record last.
for ((i = 0; i < 120; i++)); do
  key_exists "$uninstall_key" || break
  sleep 0.5
done
key_exists "$uninstall_key" && fail "the uninstall record is still there after a minute"
sleep 0.5
[ ! -e "$install_dir" ] || fail "the uninstaller left $(ls -A "$install_dir")"
[ ! -e "$menu_folder" ] || fail "the uninstaller left the menu folder"
key_exists "$verb_key" && fail "the uninstaller left the folder verb"
[ "$(reg_value "$settings_key" Maximized)" = 0x1 ] || fail "the uninstaller removed the user's settings"
[ -f "$lnk" ] || fail "the uninstaller removed the user's shortcut"

echo "Windows setup: installs, verb makes Projects.lnk, menu entries, upgrade, uninstall ($((SECONDS - started)) s)."
