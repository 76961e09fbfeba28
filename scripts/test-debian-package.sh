#!/usr/bin/env bash
# Checks build/kestrow_3.00_amd64.deb the way a Debian 12 user meets it:
# lintian finds no error, its dependencies are the ones dpkg-shlibdeps finds,
# `apt install ./kestrow_3.00_amd64.deb` on a fresh root gives programs that
# make a shortcut, and `apt remove kestrow` takes every file away again.
# Needs root (mount, chroot). The fresh root is an overlay over a cached
# minimal root (scripts/debian-test-root.sh), thrown away afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
deb="$repo/build/kestrow_3.00_amd64.deb"
work="$repo/build/package-test/debian"
cache="${KESTROW_TEST_ROOT_CACHE:-/var/cache/kestrow-test-root}"
started=$SECONDS

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
[ -f "$deb" ] || fail "$deb is missing (run scripts/build-debian-package.sh)"
[ "$(id -u)" -eq 0 ] || fail "the package test needs root (mount and chroot)"

# --- The package file ---------------------------------------------------------

echo "== lintian"
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" || fail "lintian reports errors"

# Mounts a broken run may have left are undone before its files are removed.
for leftover in "$work/root/var/cache/apt/archives" "$work/root/proc" "$work/root"; do
  if mountpoint -q "$leftover" 2>/dev/null; then umount "$leftover"; fi
done
rm -rf "$work"

# Depends must be exactly what dpkg-shlibdeps finds in the package's ELF files.
mkdir -p "$work/extract/debian"
dpkg-deb -x "$deb" "$work/extract/tree"
printf 'Source: kestrow\n\nPackage: kestrow\nArchitecture: amd64\n' >"$work/extract/debian/control"
mapfile -t elf_files < <(find "$work/extract/tree" -type f -exec sh -c \
  'head -c4 "$1" | grep -q "ELF" && echo "$1"' sh {} \;)
[ ${#elf_files[@]} -eq 4 ] || fail "expected 4 ELF files in the package, found ${#elf_files[@]}"
found=$(cd "$work/extract" && dpkg-shlibdeps -O "${elf_files[@]}" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
listed=$(dpkg-deb -f "$deb" Depends)
normalise() { tr ',' '\n' | sed 's/^ *//; s/ *$//' | sort; }
if [ "$(normalise <<<"$found")" != "$(normalise <<<"$listed")" ]; then
  fail "Depends is not what dpkg-shlibdeps finds:
  listed: $listed
  found:  $found"
fi
echo "Depends: $listed"

# --- A fresh Debian 12 root ---------------------------------------------------

base=$(scripts/debian-test-root.sh)
root="$work/root"
mkdir -p "$work/upper" "$work/overlay-work" "$root" "$cache/archives/partial"
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"; done
}
trap cleanup EXIT
mount -t overlay overlay -o "lowerdir=$base,upperdir=$work/upper,workdir=$work/overlay-work" "$root"
mounted+=("$root")
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
# Downloaded packages are kept between runs.
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
mounted+=("$root/var/cache/apt/archives")

in_root() { chroot "$root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

echo "== apt install ./kestrow_3.00_amd64.deb"
cp "$deb" "$root/tmp/"
# Without recommended packages: what Depends names must be enough.
# The packages apt fetches stay in the cache for the next run.
in_root sh -c 'cd /tmp && DEBIAN_FRONTEND=noninteractive apt install -y -q \
  --no-install-recommends -o APT::Keep-Downloaded-Packages=true ./kestrow_3.00_amd64.deb' >"$work/apt-install.log" 2>&1 ||
  { tail -20 "$work/apt-install.log"; fail "apt could not install the package"; }
mapfile -t package_files < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')

for program in Kestrow2005 KestrowDefaults2005 kestrow-reg libkestrow-qt.so; do
  missing=$(in_root ldd "/usr/bin/$program" | grep "not found" || true)
  [ -z "$missing" ] || fail "/usr/bin/$program needs libraries apt did not install: $missing"
done
for file in /usr/bin/kestrow.chm /usr/share/kestrow/pictures/about.jpg \
  /usr/share/icons/hicolor/48x48/apps/kestrow.png \
  /usr/share/applications/kestrow-create-shortcut.desktop \
  /usr/share/applications/kestrow-2005.desktop \
  /usr/share/applications/kestrow-default-settings.desktop; do
  [ -f "$root$file" ] || fail "$file was not installed"
done
grep -qx 'Exec="/usr/bin/Kestrow2005" %f' "$root/usr/share/applications/kestrow-create-shortcut.desktop" ||
  fail "the folder command does not start /usr/bin/Kestrow2005 with the folder"
grep -qx 'MimeType=inode/directory;' "$root/usr/share/applications/kestrow-create-shortcut.desktop" ||
  fail "the folder command is not offered for folders"

echo "== Kestrow2005 /root/Projects"
in_root mkdir -p /root/Projects
in_root Kestrow2005 /root/Projects </dev/null || fail "Kestrow2005 exited with $?"
lnk="$root/root/.local/share/kestrow/Start Menu/Kestrow/Projects.lnk"
[ -f "$lnk" ] || fail "no Projects.lnk in the side menu"
[ -f "$root/root/.local/share/kestrow/Start Menu/Kestrow/Kestrow.lnk" ] || fail "no Kestrow.lnk in the side menu"
info=$(lnkinfo "$lnk") || fail "lnkinfo cannot read Projects.lnk"
# The stored defaults of a fresh store: all folders, two panes, maximized.
grep -q 'Command line arguments.*: /e,"Z:\\root\\Projects"$' <<<"$info" ||
  fail "Projects.lnk has the wrong arguments:
$info"
grep -q 'Local path.*: C:\\Windows\\explorer.exe' <<<"$info" || fail "Projects.lnk does not start Explorer"
[ "$(od -An -tu4 -j60 -N4 "$lnk" | tr -d ' ')" = 3 ] || fail "Projects.lnk does not open maximized"
in_root kestrow-reg query 'HKCU\Software\Tamsholt\Kestrow 2005' /v Maximized | grep -q 'REG_DWORD *0x1' ||
  fail "kestrow-reg does not read the store the program wrote"

echo "== apt remove kestrow"
in_root env DEBIAN_FRONTEND=noninteractive apt remove -y -q kestrow >"$work/apt-remove.log" 2>&1 ||
  { tail -20 "$work/apt-remove.log"; fail "apt could not remove the package"; }
left=()
for file in "${package_files[@]}"; do
  [ -e "$root$file" ] && left+=("$file")
done
[ ${#left[@]} -eq 0 ] || fail "apt remove left: ${left[*]}"
[ -f "$lnk" ] || fail "removing the package took the user's shortcut"

echo "Debian package: lintian clean, installs, makes Projects.lnk, removes ${#package_files[@]} files ($((SECONDS - started)) s)."
