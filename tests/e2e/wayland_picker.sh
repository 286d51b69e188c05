#!/usr/bin/env bash
# End to end on Wayland: the colour picker of a Lighting page swatch opens as
# a popup right under the swatch and takes the keyboard (Right raises the red
# level, Enter is OK); Escape and a press outside close it with the colour as
# it was; the window's apply then saves the chosen levels.
set -euo pipefail
exe="$1"; stage="$2"; out="${3:-$(mktemp -d)}"
source "$(dirname "$0")/wayland_common.sh"
# Custom colours on, in Constantly: the swatches show the user colours.
own=$(mktemp -d)
trap 'rm -rf "$own"' EXIT
cp -r "$stage/skins" "$stage/constMacro.dat" "$own/"
sed -i 's/^LED_USER_COLER_EN=.*/LED_USER_COLER_EN=1/; s/^LED_TYPE=.*/LED_TYPE=2/; s/^CYC_7COL_EN=.*/CYC_7COL_EN=127/;
        s/^LED_USER1_R=.*/LED_USER1_R=0/; s/^LED_USER1_G=.*/LED_USER1_G=15/; s/^LED_USER1_B=.*/LED_USER1_B=0/' \
  "$own/skins/config/config.ini"
wl_start "$exe" "$own" "$out" --simulate
trap 'wl_cleanup; rm -rf "$own"' EXIT
config="$work/skins/config/config.ini"

read -r tx ty tw th <<<"$(area skin_main_en.ini 9)"   # the Lighting tab
click_at $((X + tx + tw / 2)) $((Y + ty + th / 2))
read -r sx sy sw sh <<<"$(area skin_color_en.ini 1)"  # colour 2's swatch
swatch() { park; shot swatch; pixel "$out/swatch.png" $((X + sx + sw / 2)) $((Y + sy + sh / 2)); }
wait_until "the Lighting page does not show colour 2 as 255,15,255" test "$(swatch)" = "255,15,255"
cp "$out/swatch.png" "$out/page.png"

# The picker's top edge carries the skin's accent line from 12 pixels in.
line_x=$((X + sx + 30)); line_y=$((Y + sy + sh + 8))
picker_open() { park; shot picker; [ "$(pixel "$out/picker.png" "$line_x" "$line_y")" = "1,255,246" ]; }
picker_gone() { park; shot gone; [ "$(pixel "$out/gone.png" "$line_x" "$line_y")" = "$(pixel "$out/page.png" "$line_x" "$line_y")" ]; }
open_picker() {
  click_at $((X + sx + sw / 2)) $((Y + sy + sh / 2))
  wait_until "no picker under the swatch" picker_open
}

open_picker
xdotool key Right; sleep 0.2; xdotool key Return
wait_until "the picker stayed open after Enter" picker_gone
wait_until "Right and Enter did not make colour 2 239,15,255" test "$(swatch)" = "239,15,255"

open_picker
xdotool key Right; sleep 0.2; xdotool key Escape
wait_until "the picker stayed open after Escape" picker_gone
[ "$(swatch)" = "239,15,255" ] || fail "Escape changed colour 2 to $(swatch)"

open_picker
xdotool key Right; sleep 0.2
click_at $((X + WIDTH - 120)) $((Y + 300))  # the key reaction panel, outside the picker
wait_until "the picker stayed open after a press outside" picker_gone
[ "$(swatch)" = "239,15,255" ] || fail "closing changed colour 2 to $(swatch)"

read -r ax ay aw ah <<<"$(area skin_main_en.ini 3)"   # Apply
click_at $((X + ax + aw / 2)) $((Y + ay + ah / 2))
saved() { grep -aq '^LED_USER1_R=1' "$config"; }
wait_until "the apply did not save LED_USER1_R=1" saved
echo "PASS"
