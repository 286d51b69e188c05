#!/usr/bin/env bash
# Installs what is missing, builds, and opens kx700 on the simulated mouse.
# Extra arguments go to kx700 (for example --sim-state FILE, -HIDE).
# Without a display it renders the four pages into kx700-pages/ instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "${JOBS:-2}" --target kx700 kx700ctl
exe=build/release/stage/kx700
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here: run this from a desktop session, or under 'xvfb-run scripts/run.sh'."
  echo "Rendering the four pages in both languages into kx700-pages/ instead."
  mkdir -p kx700-pages
  for page in main advanced macro led; do
    for lang in en cn; do
      "$exe" --screenshot "kx700-pages/$page-$lang.png" --page "$page" --lang "$lang" 2>/dev/null
    done
  done
  ls kx700-pages
  exit 0
fi
exec "$exe" --simulate "$@"
