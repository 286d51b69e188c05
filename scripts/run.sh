#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the simulated mouse.
# Extra arguments go to the program; without any it describes the stored settings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "${JOBS:-2}"
if [ $# -eq 0 ]; then set -- settings; fi
exec build/release/stage/kx700ctl "$@"
