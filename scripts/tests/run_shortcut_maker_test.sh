#!/usr/bin/env bash
# scripts/run-shortcut-maker.sh reports the shortcut where the program wrote
# it: in the default Start Menu, and in one the settings store names with
# %USERPROFILE%. Runs in a scratch home folder.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
bin=${KESTROW_BIN_DIR:-$repo/build/bin}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share"
export KESTROW_BIN_DIR=$bin
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME/Projects"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() { "$repo/scripts/run-shortcut-maker.sh" "$@" </dev/null 2>&1; }
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'

# The default Start Menu.
out=$(run "$HOME/Projects") || fail "the run failed: $out"
grep -qx "Shortcut written: $XDG_DATA_HOME/kestrow/Start Menu/Kestrow/Projects.lnk" <<<"$out" ||
  fail "default Start Menu: $out"

# A Start Menu of the store's, below %USERPROFILE% (an existing folder, as on
# Windows).
mkdir -p "$HOME/MyMenu"
"$bin/kestrow-reg" add "$shell_folders" /v "Start Menu" /t REG_EXPAND_SZ /d '%USERPROFILE%\MyMenu' /f >/dev/null
[ "$("$bin/kestrow-reg" startmenu)" = "$HOME/MyMenu" ] || fail "kestrow-reg startmenu: $("$bin/kestrow-reg" startmenu)"
out=$(run "$HOME/Projects") || fail "the run failed: $out"
[ -f "$HOME/MyMenu/Kestrow/Projects.lnk" ] || fail "the program wrote no shortcut into MyMenu: $out"
grep -qx "Shortcut written: $HOME/MyMenu/Kestrow/Projects.lnk" <<<"$out" || fail "%USERPROFILE%\\MyMenu: $out"
grep -q "No shortcut was written" <<<"$out" && fail "reported no shortcut: $out"

# A Start Menu the programs cannot use is named as such, and the tool fails.
"$bin/kestrow-reg" add "$shell_folders" /v "Start Menu" /t REG_EXPAND_SZ /d '%APPDATA%\Menu' /f >/dev/null
if err=$("$bin/kestrow-reg" startmenu 2>&1); then fail "kestrow-reg startmenu accepted %APPDATA%: $err"; fi
grep -q "APPDATA" <<<"$err" || fail "kestrow-reg startmenu does not say why: $err"
echo "run-shortcut-maker.sh reports the shortcuts where they were written."
