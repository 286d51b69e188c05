#!/usr/bin/env bash
# End to end: no message box of a recording traps the keyboard. Under Xvfb the
# recording holds the real keyboard grab. A press the recording refuses shows
# "Recording"; Escape closes it and is not recorded, and the recording goes
# on. Then sixty key presses (120 key messages) go past the limit of 110: one
# "More than limit!" box, closed with Enter; the recording has ended with the
# 110 events saved, and the next press on "New macro" makes a macro instead of
# being refused.
set -euo pipefail
exe="$1"; stage="$2"; out="${3:-$(mktemp -d)}"
source "$(dirname "$0")/common.sh"
e2e_start "$exe" "$stage" "$out" --simulate
macros="$work/skins/INI_EN/macro"

fail() { echo "$1"; cat "$out/kx700.log"; exit 1; }
click() {  # the centre of an area: layout file, number
  local line x y w h
  line=$(grep -a "^$2=" "$work/skins/INI_EN/$1" | tr -d '\r' | head -n1)
  IFS=, read -r _ x y w h _ <<<"${line#*=}"
  xdotool mousemove --window "$wid" $((x + w / 2)) $((y + h / 2)) click 1
  sleep 0.4
}
boxes() { xdotool search --onlyvisible --name '^kx700$' 2>/dev/null | wc -l; }  # captioned with the program's name
wait_boxes() {  # until exactly $1 boxes are shown
  for _ in $(seq 30); do [ "$(boxes)" = "$1" ] && return 0; sleep 0.1; done
  import -window root "$out/boxes-$1.png"
  fail "$(boxes) message boxes shown, not $1"
}
field() {  # a 16-bit field of macro 0 of Office.dat: position of its low byte
  local value; value=$(grep -a '^0=' "$macros/Office.dat" | tr -d '\r' | cut -d= -f2)
  echo $((10#${value:$((3 * $1)):3} + 256 * 10#${value:$((3 * $1 + 3)):3}))
}
macro_count() { grep -a '^macroNum=' "$macros/Office.dat" | tr -d '\r' | cut -d= -f2; }

click skin_main_en.ini 8                      # the Macros tab: Office, its first macro selected
click skin_mac_en.ini 5                       # Record
click skin_mac_en.ini 6                       # New macro: refused while recording
wait_boxes 1
import -window root "$out/recording-notice.png"
xdotool key Escape
wait_boxes 0
xdotool type --delay 60 q
sleep 0.3
click skin_mac_en.ini 5                       # Stop
[ "$(field 23)" = 2 ] || fail "the macro holds $(field 23) events, not the 2 of q: a closing key was recorded"

click skin_mac_en.ini 5                       # Record again
before=$(macro_count)
xdotool type --delay 30 "abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwx"
sleep 0.5
wait_boxes 1
import -window root "$out/limit.png"
xdotool key Return
wait_boxes 0
[ "$(field 23)" = 110 ] || fail "the macro holds $(field 23) events, not 110"
click skin_mac_en.ini 6                       # New macro: the recording has ended, so it is made
xdotool key Return
sleep 0.3
[ "$(boxes)" = 0 ] || fail "a press after the limit was refused"
[ "$(macro_count)" = $((before + 1)) ] || fail "no new macro after the limit ($(macro_count) macros)"
kill -0 "$app" || fail "kx700 died"
echo "1 passed, 0 failed"
