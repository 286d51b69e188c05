#!/usr/bin/env bash
# End to end: a macro recorded from the keyboard through the window's real
# keyboard grab, assigned to a button and applied. Under Xvfb, xdotool makes
# a new macro in the first group, types its name into the list, records
# A and B pressed and released (the keys go to the grab, not to the focused
# name box), assigns the macro to button 1 through the button popup's macro
# sub-menus and applies. The program is ended with SIGTERM, which keeps the
# simulated mouse's state; kx700ctl then reads the macro out of its memory.
set -euo pipefail
exe="$1"; ctl="$2"; stage="$3"; out="${4:-$(mktemp -d)}"
source "$(dirname "$0")/common.sh"
state="$out/mouse.state"
rm -f "$state"
e2e_start "$exe" "$stage" "$out" --sim-state "$state"
macros="$work/skins/INI_EN/macro"

fail() { echo "$1"; cat "$out/kx700.log"; exit 1; }
area() {  # x y w h of an area of an English layout file: file number
  local line; line=$(grep -a "^$2=" "$work/skins/INI_EN/$1" | tr -d '\r' | head -n1)
  IFS=, read -r _ x y w h _ <<<"${line#*=}"
  echo "$x $y $w $h"
}
click() {  # the centre of an area: file number
  local x y w h; read -r x y w h < <(area "$1" "$2")
  xdotool mousemove --window "$wid" $((x + w / 2)) $((y + h / 2)) click 1
  sleep 0.4
}
macro_count() { grep -a '^macroNum=' "$macros/Office.dat" | tr -d '\r' | cut -d= -f2; }

click skin_main_en.ini 8                      # the Macros tab
before=$(macro_count)
click skin_mac_en.ini 6                       # New macro: its name is typed at once
xdotool type --delay 40 "Ab"
xdotool key Return
sleep 0.4
[ "$(macro_count)" = $((before + 1)) ] || fail "no new macro in Office.dat ($(macro_count) macros)"
index=$before

click skin_mac_en.ini 5                       # Record
import -window root "$out/recording.png"
xdotool keydown a; sleep 0.08; xdotool keyup a; sleep 0.15
xdotool keydown b; sleep 0.08; xdotool keyup b; sleep 0.2
click skin_mac_en.ini 5                       # Stop
import -window root "$out/recorded.png"
value=$(grep -a "^$index=" "$macros/Office.dat" | tr -d '\r' | cut -d= -f2)
[ -n "$value" ] || fail "the recorded macro is not in Office.dat"
# Fields 20.. of a macro value: run mode, repeat count (2), event count (2).
events=$((10#${value:69:3} + 256 * 10#${value:72:3}))
[ "$events" = 4 ] || fail "the recorded macro holds $events events, not 4"

# Button 1's popup: row 9 lists the groups, the group lists its macros.
click skin_main_en.ini 6                      # the Buttons tab
read -r fx fy fw fh < <(area skin_main_en.ini 21)
row=24
px=$((X + fx + 1)); py=$((Y + fy + fh))
groups=$(grep -a '^macGrpNum=' "$macros/macroGrp.ini" | tr -d '\r' | cut -d= -f2)
xdotool mousemove --window "$wid" $((fx + fw / 2)) $((fy + fh / 2)) click 1
sleep 0.4
xdotool mousemove $((px + 60)) $((py + 8 * row + row / 2))          # row 9
sleep 0.4
sx=$((px + 171)); sy=$((py + (9 - groups) * row))
xdotool mousemove $((sx + 60)) $((sy + row / 2))                     # group 1
sleep 0.4
mx=$((sx + 160)); my=$sy
import -window root "$out/macro-menu.png"
xdotool mousemove $((mx + 60)) $((my + index * row + row / 2))       # the new macro
sleep 0.3
xdotool click 1
sleep 0.5
import -window root "$out/assigned.png"

click skin_main_en.ini 3                      # Apply
sleep 0.5
kill -0 "$app" || fail "kx700 died"
kill -TERM "$app"
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "kx700 did not end on SIGTERM"
wait "$app" || true
app=

k1=$(grep -a -A40 '^\[Config0\]' "$work/skins/config/config.ini" | grep -a -m1 '^K1=' | tr -d '\r')
[ "$k1" = "K1=$((256 + index))" ] || fail "config.ini holds $k1, not K1=$((256 + index))"
"$ctl" --sim-state "$state" --data-dir "$work" describe >"$out/describe.txt" 2>&1 || fail "kx700ctl describe failed"
line=$(sed -n '/^profile slot 0:/,/^profile slot 1:/p' "$out/describe.txt" | grep 'button 1 (code 2)') ||
  fail "describe names no button 1"
block=$(sed -n 's/.*macro, block at \(0x[0-9A-F]*\) with 4 events.*/\1/p' <<<"$line")
[ -n "$block" ] || fail "button 1 is not the 4-event macro: $line"
# The block's first elements press and release the usages of A (04) and B (05).
bytes=$(grep "^  $block: 4 events, starts" "$out/describe.txt") || fail "no macro block at $block"
[[ "$bytes" =~ \ 04\ .*\ 04\ .*\ 05 ]] || fail "the block does not hold A and B: $bytes"
grep -q '^protocol faults: 0 ' "$out/describe.txt" || fail "$(grep '^protocol faults' "$out/describe.txt")"
echo "1 passed, 0 failed"
