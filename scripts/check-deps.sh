#!/usr/bin/env bash
# Asks for every command the build, the tests and the scripts call, after
# scripts/install-deps.sh (with "windows") has run: a command missing here is
# a package missing from install-deps.sh, which a fresh machine would meet
# half-way through ./test.sh. Add a command here when a script starts to use one.
set -euo pipefail

commands=(
  # Building, formatting and the compiler cache.
  cmake ctest cpack make cc c++ pkg-config clang clang++ clang-format ccache
  # The tests, the help file, the desktop entries and the package checks.
  lnkinfo chmcmd desktop-file-validate gzip lintian dpkg dpkg-deb dpkg-query
  dpkg-shlibdeps debootstrap chroot mount umount
  # The Windows build and its tests under Wine.
  i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix makensis
  wine Xvfb xdotool pgrep
  # What the scripts use from the base system.
  apt-get awk basename cat cp cut date dd dirname env find flock git grep head iconv id ln ls mkdir mktemp
  mv nproc od printf realpath rm sed seq sleep sort stat tail timeout touch tr wc
)
wine_programs=(/usr/lib/wine/wine64 /usr/lib/wine/wineserver64)

missing=()
for c in "${commands[@]}"; do
  command -v "$c" >/dev/null 2>&1 || missing+=("$c")
done
for p in "${wine_programs[@]}"; do
  [ -x "$p" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "scripts/install-deps.sh left these commands missing: ${missing[*]}" >&2
  exit 1
fi
echo "Every command the scripts call is installed (${#commands[@]} commands)."
