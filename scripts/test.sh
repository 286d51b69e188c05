#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
# Usage: scripts/test.sh [preset]   (dev by default; also asan, tsan, release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
scripts/deps.sh test
# A compile cache, where one is installed, makes the second preset cheap.
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}"
ctest --preset "$preset" -j "${JOBS:-2}"
