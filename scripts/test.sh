#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
# Usage: scripts/test.sh [preset]   (dev by default; also asan, tsan, release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
scripts/deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}"
ctest --preset "$preset" -j "${JOBS:-2}"
