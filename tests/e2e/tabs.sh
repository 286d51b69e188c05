#!/usr/bin/env bash
# End to end: the real kx700 on the simulated mouse under Xvfb. xdotool clicks
# through the four tabs; every page must look different and the program must
# still be alive and answering afterwards.
set -euo pipefail
exe="$1"; stage="$2"; out="${3:-$(mktemp -d)}"
source "$(dirname "$0")/common.sh"
e2e_start "$exe" "$stage" "$out" --simulate

# Tab centres from the English layout file: header areas 6 to 9.
centre() {
  local line; line=$(grep -a "^$1=" "$work/skins/INI_EN/skin_main_en.ini" | tr -d '\r')
  IFS=, read -r _ x y w h _ <<<"${line#*=}"
  echo "$((x + w / 2)) $((y + h / 2))"
}
declare -A sums
for tab in 6 7 8 9; do
  read -r cx cy < <(centre "$tab")
  xdotool mousemove --window "$wid" "$cx" "$cy" click 1
  sleep 0.6
  import -window root "$out/tab$tab.png"
  sums[$tab]=$(convert "$out/tab$tab.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage rgb:- | md5sum | cut -d' ' -f1)
done
# Back to the first page, then ask for a repaint by hovering: still answering.
read -r cx cy < <(centre 6)
xdotool mousemove --window "$wid" "$cx" "$cy" click 1 mousemove --window "$wid" 10 300
sleep 0.4
kill -0 "$app" || { echo "kx700 died"; cat "$out/kx700.log"; exit 1; }
xdotool search --onlyvisible --name "KX700 Gaming Mouse" >/dev/null || { echo "window gone"; exit 1; }
distinct=$(printf '%s\n' "${sums[@]}" | sort -u | wc -l)
[ "$distinct" -eq 4 ] || { echo "pages did not change: $distinct distinct screenshots"; exit 1; }
echo "1 passed, 0 failed"
