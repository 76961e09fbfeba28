#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need,
# only those that are missing. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsqlite3-dev zlib1g-dev qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev
  debootstrap lintian nsis
  liblnk-utils libchm-dev fp-utils
  g++-mingw-w64-i686
  fonts-dejavu-core fonts-liberation
  desktop-file-utils xdg-utils
  clang clang-format libclang-rt-14-dev ccache
)
# The Windows programs (scripts/build-windows.sh) and their tests under Wine.
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
             wine wine64 wine32:i386 fonts-wine xvfb xdotool procps)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
