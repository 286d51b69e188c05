#!/usr/bin/env bash
# Formats every C++ source of the project with the .clang-format at the root.
# Usage: scripts/format.sh          rewrite the files in place
#        scripts/format.sh --check  change nothing; list the files that are
#                                   not formatted and fail when there are any
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh format

mode=fix
case "${1:-}" in
  --check) mode=check ;;
  '') ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

# Tracked files only: build trees and scratch files are nobody's to format.
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "$mode" = fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then unformatted+=("$f"); fi
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "format.sh: not formatted (run scripts/format.sh):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "format.sh: ${#files[@]} files formatted"
