#!/usr/bin/env bash
# Makes (once) a minimal Debian 12 root for the package tests and prints its
# folder. It lives outside the repository so that later runs reuse it; the
# tests never change it (they work on an overlay of it).
set -euo pipefail

cache="${KESTROW_TEST_ROOT_CACHE:-/var/cache/kestrow-test-root}"
root="$cache/bookworm"
mirror="${KESTROW_DEBIAN_MIRROR:-http://deb.debian.org/debian}"

if [ ! -x "$root/usr/bin/apt-get" ]; then
  mkdir -p "$cache"
  rm -rf "$root.partial"
  echo "Making a minimal Debian 12 root in $root (once)..." >&2
  debootstrap --variant=minbase bookworm "$root.partial" "$mirror" >"$cache/debootstrap.log" 2>&1 || {
    tail -20 "$cache/debootstrap.log" >&2
    exit 1
  }
  mv "$root.partial" "$root"
fi

# Package lists older than a week are refreshed, so that apt finds the
# versions the mirror holds today.
lists="$root/var/lib/apt/lists"
if [ -z "$(find "$lists" -maxdepth 1 -name '*_Packages*' -mtime -7 2>/dev/null)" ]; then
  echo "Refreshing the package lists of $root..." >&2
  chroot "$root" apt-get update -qq >&2
fi
echo "$root"
