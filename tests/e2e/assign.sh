#!/usr/bin/env bash
# End to end: the real kx700 on the simulated mouse under Xvfb. xdotool opens
# the button popup of button 2 (right), rests on "Multimedia", chooses the
# sub-menu's third row (Mail, function 24), then releases over Apply. On
# screen the popup and its sub-menu appear where they belong, close after the
# choice, and the field shows another function; after the apply config.ini
# holds the function and kx700ctl describes it.
set -euo pipefail
exe="$1"; ctl="$2"; stage="$3"; out="${4:-$(mktemp -d)}"
source "$(dirname "$0")/common.sh"
state="$out/mouse.state"
rm -f "$state"
e2e_start "$exe" "$stage" "$out" --sim-state "$state"
config="$work/skins/config/config.ini"

read -r fx fy fw fh < <(main_area 21)
row=24                                   # popup rows: menu1 picture height / 15
px=$((X + fx + 1)); py=$((Y + fy + fh))  # the popup's top left on screen
sx=$((px + 171)); sy=$((py + row))       # the sub-menu of row 8 starts one row down

import -window root "$out/before.png"
xdotool mousemove --window "$wid" $((fx + fw / 2)) $((fy + fh / 2)) click 1
sleep 0.4
xdotool mousemove $((px + 60)) $((py + 7 * row + row / 2))
sleep 0.4
import -window root "$out/open.png"
xdotool mousemove $((sx + 60)) $((sy + 2 * row + row / 2))
sleep 0.3
xdotool click 1
sleep 0.5
import -window root "$out/chosen.png"

fail() { echo "$1"; exit 1; }
[ "$(crop "$out/before.png" "$px" "$py" 171 $((11 * row)))" != "$(crop "$out/open.png" "$px" "$py" 171 $((11 * row)))" ] ||
  fail "no popup under the field"
[ "$(crop "$out/before.png" "$sx" "$sy" 160 $((10 * row)))" != "$(crop "$out/open.png" "$sx" "$sy" 160 $((10 * row)))" ] ||
  fail "no sub-menu beside row 8"
[ "$(crop "$out/before.png" "$sx" "$sy" 160 $((10 * row)))" == "$(crop "$out/chosen.png" "$sx" "$sy" 160 $((10 * row)))" ] ||
  fail "the sub-menu stayed open after the choice"
[ "$(crop "$out/before.png" $((X + fx)) $((Y + fy)) "$fw" "$fh")" != "$(crop "$out/chosen.png" $((X + fx)) $((Y + fy)) "$fw" "$fh")" ] ||
  fail "the field still shows the old function"

read -r ax ay aw ah < <(main_area 3)
xdotool mousemove --window "$wid" $((ax + aw / 2)) $((ay + ah / 2)) click 1
sleep 1
kill -0 "$app" || { echo "kx700 died"; cat "$out/kx700.log"; exit 1; }
k1=$(grep -a -A40 '^\[Config0\]' "$config" | grep -a -m1 '^K1=' | tr -d '\r')
[ "$k1" = "K1=24" ] || fail "config.ini holds $k1 after apply, not K1=24"
"$ctl" --data-dir "$work" settings >"$out/settings.txt" 2>&1 || fail "kx700ctl settings failed"
sed -n '/^profile slot 0/,/^profile slot 1/p' "$out/settings.txt" | grep -q 'button 1 (code 2): function 24' ||
  fail "kx700ctl does not describe button 1 as function 24"
echo "1 passed, 0 failed"
