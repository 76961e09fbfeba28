# Sourced: the environment of a private Wine prefix under a folder of the
# build tree, and the functions that make and end it.
#   kestrow_wine_env DIR   sets WINEPREFIX, HOME and the rest for DIR
#   kestrow_wine_ready     makes the prefix once (under a lock), keeps its server warm
#   kestrow_wine_prefix DIR  both: the prefix under DIR, ready for programs
#   kestrow_wine_stop      ends the server and every program in the prefix
# Set KESTROW_WINE_ARCH to win32 or win64; by default win32 where this
# machine runs 32-bit programs, else win64.

kestrow_wine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

kestrow_wine_env() {
  local dir=$1
  mkdir -p "$dir/home"
  export WINEPREFIX="$dir/prefix"
  export HOME="$dir/home"
  export WINEDEBUG=-all
  # No Mono or Gecko prompts; no Linux menu entries from shortcuts saved in
  # the prefix's Start Menu.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${KESTROW_WINE_EXTRA_OVERRIDES:+;$KESTROW_WINE_EXTRA_OVERRIDES}"
  if [ -z "${KESTROW_WINE_ARCH:-}" ]; then
    if kestrow_wine_runs_32bit; then KESTROW_WINE_ARCH=win32; else KESTROW_WINE_ARCH=win64; fi
  fi
  export KESTROW_WINE_ARCH
  export WINEARCH=$KESTROW_WINE_ARCH
  if [ "$KESTROW_WINE_ARCH" = win32 ]; then
    KESTROW_WINE=/usr/lib/wine/wine
    export WINESERVER=/usr/lib/wine/wineserver32
    [ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver64
  else
    KESTROW_WINE=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
    export WINELOADER=$KESTROW_WINE
  fi
  export KESTROW_WINE
  KESTROW_WINE_DIR=$dir
}

kestrow_wine_ready() {
  local dir=$KESTROW_WINE_DIR
  (
    flock 9
    if [ ! -e "$WINEPREFIX/.kestrow-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$KESTROW_WINE" wineboot -i >/dev/null 2>&1 || true
      "$WINESERVER" -w
      # A crash ends the program with an error at once instead of opening
      # the debugger's window; Wine draws the window captions itself.
      local reg="$dir/settings.reg"
      printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' \
        '"Debugger"=""' '"Auto"="1"' '' \
        '[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]' \
        '"Debugger"=""' '"Auto"="1"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' >"$reg"
      "$KESTROW_WINE" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1
      # Marlett and the other fonts Wine draws its controls with.
      if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      fi
      "$WINESERVER" -w
      [ -e "$WINEPREFIX/system.reg" ] || { echo "Wine prefix could not be made in $WINEPREFIX" >&2; exit 1; }
      touch "$WINEPREFIX/.kestrow-ready"
    fi
  ) 9>"$dir/.lock"
  # A warm server: later starts take a tenth of a second instead of seconds.
  # Its helper services start with the first program; start them here, away
  # from the caller's output, which they would otherwise hold open.
  if "$WINESERVER" -p900 </dev/null >/dev/null 2>&1; then
    "$KESTROW_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
  fi
}

kestrow_wine_prefix() {
  kestrow_wine_env "$1"
  kestrow_wine_ready
}

winepath_of() {
  # Wine maps the POSIX root to Z:.
  printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"
}

kestrow_wine_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
}
