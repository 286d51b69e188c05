#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the simulated mouse.
# Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "${JOBS:-2}"
exec build/release/stage/kx700ctl "$@"
