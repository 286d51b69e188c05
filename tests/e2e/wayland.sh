#!/usr/bin/env bash
# End to end on Wayland: the real kx700 on the simulated mouse under weston,
# on Qt's Wayland plugin. The window's chamfered corners show the compositor's
# background. The button popup of button 2 (right) opens under its field, its
# Multimedia row opens the sub-menu beside it, Mail (function 24) is chosen,
# and both close; the window's apply writes config.ini. The warning of profile
# 1's only left-click button opens under its field and Escape cancels it with
# nothing changed. A drag on the window's background moves the window; a drag
# on a corner outside its shape does not reach it. At the end kx700ctl
# describes the simulated mouse as the window programmed it.
set -euo pipefail
exe="$1"; ctl="$2"; stage="$3"; out="${4:-$(mktemp -d)}"
source "$(dirname "$0")/wayland_common.sh"
state="$out/mouse.state"
rm -f "$state"
wl_start "$exe" "$stage" "$out" --sim-state "$state"
config="$work/skins/config/config.ini"
skins="$work/skins"

# The corners: outside the mask the screen is the compositor's background,
# inside the window it is not.
light() { [ "$(convert "$skins/main_mask.jpg" -format "%[fx:p{$1,$2}.r>100/255&&p{$1,$2}.g>100/255&&p{$1,$2}.b>100/255]" info:)" = 1 ]; }
for corner in "2 2" "$((WIDTH - 3)) 2" "2 $((HEIGHT - 3))" "$((WIDTH - 3)) $((HEIGHT - 3))"; do
  read -r cx cy <<<"$corner"
  light "$cx" "$cy" || fail "the mask has no hole at ($cx, $cy)"
  is_background "$out/start.png" $((X + cx)) $((Y + cy)) ||
    fail "corner ($cx, $cy) shows $(pixel "$out/start.png" $((X + cx)) $((Y + cy))), not the background"
done
! is_background "$out/start.png" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) || fail "the window's middle is background"

# Dragging: a press on the window's background moves it; a press on a corner
# outside the shape is not the window's.
drag() {  # from-x from-y
  xdotool mousemove "$1" "$2" mousedown 1
  for step in 1 2 3 4 5 6; do xdotool mousemove $(($1 + 10 * step)) $(($2 + 6 * step)); sleep 0.05; done
  xdotool mouseup 1
}
x0=$X; y0=$Y
drag $((X + 2)) $((Y + 2))
sleep 0.3
find_window || fail "the window is gone after a drag on its corner"
[ "$X,$Y" = "$x0,$y0" ] || fail "a drag on a transparent corner moved the window from $x0,$y0 to $X,$Y"
drag $((X + 12)) $((Y + HEIGHT / 2))
# The compositor moves the window with the pointer from when the move began.
moved() { find_window && [ $((X - x0)) -ge 30 ] && [ $((Y - y0)) -ge 18 ]; }
wait_until "a drag on the background did not move the window from $x0,$y0" moved
echo "window moved from $x0,$y0 to $X,$Y"
park
shot start

# The warning: profile 1's only left-click button, under its field; Cancel.
read -r fx fy fw fh < <(area skin_main_en.ini 20)
wx=$((X + fx + 1)); wy=$((Y + fy + fh))
read -r ww wh <<<"$(identify -format "%w %h" "$skins/warning_mask.jpg")"
shot before-warning
click_at $((X + fx + fw / 2)) $((Y + fy + fh / 2))
wait_until "no warning under the field" changed "$out/before-warning.png" "$((wx + ww / 4))" "$((wy + wh / 4))" $((ww / 2)) $((wh / 2))
cp "$out/now.png" "$out/warning.png"
# Beside its edges the screen is as before: it is where it belongs.
[ "$(crop "$out/before-warning.png" $((wx - 5)) $((wy + wh / 4)) 4 $((wh / 2)))" = "$(crop "$out/warning.png" $((wx - 5)) $((wy + wh / 4)) 4 $((wh / 2)))" ] &&
  [ "$(crop "$out/before-warning.png" $((wx + ww / 4)) $((wy + wh + 2)) $((ww / 2)) 4)" = "$(crop "$out/warning.png" $((wx + ww / 4)) $((wy + wh + 2)) $((ww / 2)) 4)" ] ||
  fail "the warning is not at ($wx, $wy) under its field"
# Cancelled from the keyboard: weston loses the pointer for a while when a
# surface under it goes away, which a click on Cancel would be.
xdotool key Escape
# Gone, and no popup opened in its place (the button keeps left click: below).
wait_until "the warning stayed open after Escape, or a popup opened" \
  unchanged "$out/before-warning.png" "$wx" "$wy" "$ww" "$wh"

# The button popup and its sub-menu, beside their fields.
park
shot start
row=$(($(identify -format %h "$skins/menu1_mask.jpg") / 15))
pw=$(identify -format %w "$skins/menu1_mask.jpg")
sw=$(identify -format %w "$skins/menu_mask.jpg")
read -r fx fy fw fh < <(area skin_main_en.ini 21)
px=$((X + fx + 1)); py=$((Y + fy + fh))  # the popup's top left
sx=$((px + pw)); sy=$((py + row))        # the sub-menu of row 8 starts one row down
# Where a popup is, the screen changed; just beside its edges it did not.
beside_unchanged() {  # x y w h, in the last screenshot
  [ "$(crop "$out/start.png" "$@")" = "$(crop "$out/now.png" "$@")" ]
}
click_at $((X + fx + fw / 2)) $((Y + fy + fh / 2))
wait_until "no popup under the field" changed "$out/start.png" "$px" "$py" "$pw" $((11 * row))
beside_unchanged $((px - 5)) $((py + row)) 4 $((9 * row)) && beside_unchanged "$px" $((py + 11 * row + 2)) "$pw" 4 ||
  fail "the popup is not at ($px, $py) under its field"
xdotool mousemove $((px + 60)) $((py + 7 * row + row / 2))
wait_until "no sub-menu beside row 8" changed "$out/start.png" "$sx" "$sy" "$sw" $((10 * row))
beside_unchanged $((sx + 4)) $((sy - 5)) $((sw - 8)) 4 && beside_unchanged $((sx + sw + 2)) "$sy" 4 $((10 * row)) ||
  fail "the sub-menu is not at ($sx, $sy) beside row 8"
cp "$out/now.png" "$out/popup-open.png"
click_at $((sx + 60)) $((sy + 2 * row + row / 2))
wait_until "the sub-menu stayed open after the choice" unchanged "$out/start.png" "$sx" "$sy" "$sw" $((10 * row))
wait_until "the popup stayed open after the choice" unchanged "$out/start.png" "$px" $((py + 2)) "$pw" $((11 * row - 2))
changed "$out/start.png" $((X + fx)) $((Y + fy)) "$fw" "$fh" || fail "the field still shows the old function"
cp "$out/now.png" "$out/chosen.png"

# Applied through the window (kx700ctl asks the window that holds the mouse):
# weston may not give the pointer back to the window for a while after the
# popups under it went away.
USER="e2e-$$" "$ctl" --data-dir "$work" --sim-state "$state" apply >"$out/apply.out" 2>&1 ||
  fail "kx700ctl apply through the window failed: $(cat "$out/apply.out")"
k1() { grep -a -A40 '^\[Config0\]' "$config" | grep -a -m1 '^K1=' | tr -d '\r'; }
[ "$(k1)" = "K1=24" ] || fail "config.ini holds $(k1) after apply, not K1=24"
k0=$(grep -a -A40 '^\[Config0\]' "$config" | grep -a -m1 '^K0=' | tr -d '\r')
[ "$k0" = "K0=1" ] || fail "the cancelled warning left $k0, not K0=1"

kill -TERM "$app"
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "kx700 did not end on SIGTERM"
wait "$app" || true
app=
"$ctl" --sim-state "$state" --data-dir "$work" describe >"$out/describe.txt" 2>&1 || fail "kx700ctl describe failed"
sed -n '/^profile slot 0:/,/^profile slot 1:/p' "$out/describe.txt" | grep -q 'button 1 (code 2): multimedia key' ||
  fail "the mouse's button 1 is not a multimedia key: $(grep 'button 1 (code 2)' "$out/describe.txt" | head -n1)"
echo "1 passed, 0 failed"
