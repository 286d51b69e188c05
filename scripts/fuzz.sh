#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, clang) and runs every one over
# its seed corpus in fuzz/corpus/<target>/. The corpus is copied to a
# temporary folder first, so a run never grows the repository.
# Usage: scripts/fuzz.sh [SECONDS | --runs N] [TARGET...]
#   SECONDS   time per target (default 10: a smoke test)
#   --runs N  N executions per target instead of a time
# Fails when a target finds a crash, a leak or a hang; the input that did it
# is kept in build/fuzz/findings/. Also fails when a target has no corpus
# folder or a corpus folder has no target, so neither can be forgotten.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=10)
case "${1:-}" in
  --runs)
    [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS | --runs N] [TARGET...]" >&2; exit 2; }
    limit=(-runs="$2"); shift 2 ;;
  '' | -*) ;;
  *)
    [[ "$1" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS | --runs N] [TARGET...]" >&2; exit 2; }
    limit=(-max_total_time="$1"); shift ;;
esac

scripts/deps.sh fuzz
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${JOBS:-2}"

bin="$PWD/build/fuzz/fuzz"
findings="$PWD/build/fuzz/findings"
mkdir -p "$findings"
built=()
for f in "$bin"/*; do [ -x "$f" ] && built+=("$(basename "$f")"); done
status=0
for name in "${built[@]}"; do
  [ -d "fuzz/corpus/$name" ] || { echo "fuzz.sh: $name has no seed corpus in fuzz/corpus/$name" >&2; status=1; }
done
for dir in fuzz/corpus/*/; do
  name=$(basename "$dir")
  [ -x "$bin/$name" ] || { echo "fuzz.sh: fuzz/corpus/$name belongs to no fuzz target" >&2; status=1; }
done
[ $status -eq 0 ] || exit 1

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${built[@]}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${targets[@]}"; do
  [ -x "$bin/$name" ] || { echo "fuzz.sh: no fuzz target $name" >&2; exit 2; }
  mkdir -p "$work/$name"
  cp -R "fuzz/corpus/$name/." "$work/$name/"
  log="$work/$name.log"
  # A parser that needs seconds for one input is a finding too.
  if (cd "$work" && "$bin/$name" "${limit[@]}" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$work/$name-" "$work/$name") >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    echo "$name: ${runs:-?} executions in ${secs:-?} s, no finding"
  else
    status=1
    tail -n 40 "$log" >&2
    for a in "$work/$name"-*; do [ -e "$a" ] && cp "$a" "$findings/"; done
    echo "$name: FOUND A FAULT (input kept in $findings/)" >&2
  fi
done
exit $status
