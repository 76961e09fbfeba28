#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from .clang-format, and names it.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || { echo "clang-format is missing" >&2; exit 1; }
off=()
while IFS= read -r file; do
  clang-format --style=file --dry-run -Werror "$file" >/dev/null 2>&1 || off+=("$file")
done < <(git ls-files -- '*.c' '*.cpp' '*.h')

if [ ${#off[@]} -gt 0 ]; then
  echo "These files differ from .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' "${off[@]}" >&2
  exit 1
fi
echo "Formatting: every C and C++ file follows .clang-format."
