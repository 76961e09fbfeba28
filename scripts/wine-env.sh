# Sourced: the environment of a private Wine prefix under a folder of the
# build tree, and the functions that make and end it.
#   kestrow_wine_env DIR   sets WINEPREFIX, HOME and the rest for DIR
#   kestrow_wine_ready     makes the prefix once (under a lock), keeps its server warm
#   kestrow_wine_prefix DIR  both: the prefix under DIR, ready for programs
#   kestrow_wine_stop      ends the server and every program in the prefix
#   kestrow_windows_tests  builds the Windows build the tests run on, prints its folder
#   kestrow_xvfb_start FIRST LAST SCREEN  a display of its own (DISPLAY, KESTROW_XVFB_PID)
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

# The Windows build the tests run on, built with its tests; its folder goes
# to standard output. Where this machine runs 32-bit programs it is the
# programs' own 32-bit build; elsewhere a 64-bit build of the same code.
kestrow_windows_tests() {
  if kestrow_wine_runs_32bit; then
    # Called as $(...), where errexit does not reach: each step says so itself.
    scripts/build-windows.sh --tests >&2 || return 1
    echo build/windows
    return
  fi
  local launcher=()
  command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B build/windows-x64 -DCMAKE_BUILD_TYPE=Release -DKESTROW_TESTS=ON \
    -DKESTROW_WINDOWS_H_CHECK=OFF -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x86_64.cmake" \
    "${launcher[@]}" >/dev/null || return 1
  cmake --build build/windows-x64 -j"$(nproc)" >&2 || return 1
  echo build/windows-x64
}

# Starts Xvfb on the first free display number from FIRST to LAST with the
# screen given (WxHxDEPTH), and points DISPLAY at it. Start it before a Wine
# server: a server started without a display cannot open windows later.
kestrow_xvfb_start() {
  local n display=""
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
  done
  [ -n "$display" ] || { echo "No free X display number from $1 to $2." >&2; return 1; }
  Xvfb ":$display" -noreset -nolisten tcp -screen 0 "$3" >/dev/null 2>&1 &
  KESTROW_XVFB_PID=$!
  export DISPLAY=":$display"
  sleep 1
}
