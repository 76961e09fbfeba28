#!/usr/bin/env bash
# Direct mode of Kestrow2005.exe under Wine against a program that does
# nothing but save one shortcut through the shell's link object, side by side
# under the same warm Wine server. Prints the median wall time of each and
# their ratio (goal: 1.10 at most; exits 1 above it). A third program, which
# only writes a file of the same size, shows what starting any program costs.
#   direct_mode_wine_bench.sh [BUILD_DIR] [RUNS]   (default build/windows, 25)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
runs=${2:-25}
. "$root/scripts/wine-env.sh"
wine_dir=$build/wine-bench
kestrow_wine_env "$wine_dir"
trap 'kestrow_wine_stop; rm -rf "$wine_dir"' EXIT
kestrow_wine_ready
"$KESTROW_WINE" reg add 'HKCU\Control Panel\Desktop' /v MenuShowDelay /t REG_SZ /d 100 /f \
  </dev/null >/dev/null 2>&1

maker=$build/bin/Kestrow2005.exe
baseline=$build/bin/write_file_baseline_win32.exe
link_baseline=$build/bin/save_shell_link_baseline_win32.exe
side_menu_posix=$(find "$WINEPREFIX/drive_c/users" -path '*/Public' -prune -o -type d \
  -path '*/AppData/Roaming/Microsoft/Windows/Start Menu' -print | head -1)/Kestrow

now() { date +%s%N; }
# One untimed run of each: the side menu and its own shortcut exist from here on.
if ! "$KESTROW_WINE" "$maker" 'C:\Data\Warm' </dev/null >/dev/null 2>&1; then
  echo "$maker did not run under Wine." >&2
  kestrow_wine_runs_32bit || echo "This machine runs no 32-bit programs: use build/windows-x64." >&2
  exit 2
fi
size=$(stat -c %s "$side_menu_posix/Warm.lnk")
"$KESTROW_WINE" "$baseline" 'C:\baseline.bin' "$size" </dev/null >/dev/null 2>&1
"$KESTROW_WINE" "$link_baseline" 'C:\baseline.lnk' </dev/null >/dev/null 2>&1

maker_times=()
baseline_times=()
link_times=()
for i in $(seq 1 "$runs"); do
  rm -f "$side_menu_posix/Bench.lnk"
  t0=$(now)
  "$KESTROW_WINE" "$maker" 'C:\Data\Bench' </dev/null >/dev/null 2>&1 || { echo "Kestrow2005.exe failed"; exit 2; }
  t1=$(now)
  "$KESTROW_WINE" "$baseline" 'C:\baseline.bin' "$size" </dev/null >/dev/null 2>&1 || { echo "baseline failed"; exit 2; }
  t2=$(now)
  "$KESTROW_WINE" "$link_baseline" 'C:\baseline.lnk' </dev/null >/dev/null 2>&1 || { echo "shell link baseline failed"; exit 2; }
  t3=$(now)
  maker_times+=($(( (t1 - t0) / 1000 )))
  baseline_times+=($(( (t2 - t1) / 1000 )))
  link_times+=($(( (t3 - t2) / 1000 )))
done
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
m=$(median "${maker_times[@]}")
b=$(median "${baseline_times[@]}")
l=$(median "${link_times[@]}")
awk -v m="$m" -v b="$b" -v l="$l" -v n="$runs" -v s="$size" -v arch="$KESTROW_WINE_ARCH" 'BEGIN {
  printf "runs %d (%s), shortcut %d bytes\n", n, arch, s
  printf "Kestrow2005.exe direct mode: median %.1f ms\n", m / 1000
  printf "write_file_baseline_win32:   median %.1f ms\n", b / 1000
  printf "save_shell_link_baseline:    median %.1f ms (%.2f times the file baseline)\n", l / 1000, l / b
  printf "direct mode over the file baseline: %.2f\n", m / b
  printf "ratio %.2f (direct mode over the shell link baseline; goal <= 1.10)\n", m / l
  exit (m / l > 1.10)
}'
