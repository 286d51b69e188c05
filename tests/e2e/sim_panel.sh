#!/usr/bin/env bash
# End to end: the simulated mouse's panel drives the real kx700 under Xvfb on
# a session bus of the test's own. Volume up is assigned to button 3 in the
# window and applied; "Button 3" in the panel presses the mouse's button and
# the host answers with the consumer report (in the state file after exit).
# The panel's profile switches move the window's profile buttons and raise a
# note through org.freedesktop.Notifications, each replacing the one before;
# without the service the note is a window of our own.
set -euo pipefail
exe="$1"; ctl="$2"; stage="$3"; listener_exe="$4"; out="${5:-$(mktemp -d)}"
source "$(dirname "$0")/common.sh"
mkdir -p "$out"
state="$out/mouse.state"
rm -f "$state" "$out/notes.txt"

# A private session bus with a notification service that prints what it gets.
bus_info=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus_info")
bus_pid=$(sed -n 2p <<<"$bus_info")
"$listener_exe" >"$out/notes.txt" 2>&1 &
listener=$!
for _ in $(seq 50); do grep -q '^ready' "$out/notes.txt" && break; sleep 0.1; done
grep -q '^ready' "$out/notes.txt" || { echo "the notification listener did not start"; cat "$out/notes.txt"; kill "$bus_pid"; exit 1; }

e2e_start "$exe" "$stage" "$out" --sim-state "$state" --sim-panel
trap 'kill "$listener" "$bus_pid" 2>/dev/null || true; e2e_cleanup' EXIT
config="$work/skins/config/config.ini"
fail() { echo "$1"; cat "$out/kx700.log"; exit 1; }

panel=$(timeout 20 xdotool search --sync --onlyvisible --name "KX700 simulated mouse" | head -n1)
[ -n "$panel" ] || fail "no panel"
# Out of the way of button 3's field, its popup and Apply.
xdotool windowmove "$panel" 0 240
sleep 0.5
panel_at() {  # x y inside the panel -> a click there
  xdotool mousemove --window "$panel" "$1" "$2" click 1
}


# Volume up (multimedia row 8, its fourth entry) on button 3 (area 22), then Apply.
read -r fx fy fw fh < <(main_area 22)
row=24
px=$((X + fx + 1)); py=$((Y + fy + fh))
sx=$((px + 171)); sy=$((py + row))
xdotool mousemove --window "$wid" $((fx + fw / 2)) $((fy + fh / 2)) click 1
sleep 0.4
xdotool mousemove $((px + 60)) $((py + 7 * row + row / 2))
sleep 0.4
xdotool mousemove $((sx + 60)) $((sy + 3 * row + row / 2))
sleep 0.3
xdotool click 1
sleep 0.5
read -r ax ay aw ah < <(main_area 3)
xdotool mousemove --window "$wid" $((ax + aw / 2)) $((ay + ah / 2)) click 1
sleep 2
k2=$(grep -a -A40 '^\[Config0\]' "$config" | grep -a -m1 '^K2=' | tr -d '\r')
[ "$k2" = "K2=25" ] || fail "config.ini holds $k2 after apply, not K2=25"

# Button 3 in the panel (its centre: 10 + 2 * 88 + 41, 30 + 14).
import -window "$panel" "$out/panel-before.png"
panel_at 227 44
sleep 1
import -window "$panel" "$out/panel-after.png"
[ "$(crop "$out/panel-before.png" 326 262 304 290)" != "$(crop "$out/panel-after.png" 326 262 304 290)" ] ||
  fail "the panel's log and counters did not change after the button"

# Profile 2 in the panel (10 + 88 + 41, 88 + 14): the window follows, a note comes.
read -r qx qy qw qh < <(main_area 12)
import -window root "$out/profile-before.png"
panel_at 139 102
sleep 1
import -window root "$out/profile-after.png"
[ "$(crop "$out/profile-before.png" $((X + qx)) $((Y + qy)) "$qw" "$qh")" != \
  "$(crop "$out/profile-after.png" $((X + qx)) $((Y + qy)) "$qw" "$qh")" ] || fail "the window's Profile 2 did not light up"
cur=$(grep -a -m1 '^CurConfig=' "$config" | tr -d '\r')
[ "$cur" = "CurConfig=2" ] || fail "config.ini says $cur after the mouse's switch"
grep -q '^notify replaces=0 id=1 timeout=1500 summary=Profile 2' "$out/notes.txt" ||
  fail "no note for profile 2: $(cat "$out/notes.txt")"

# Profile 3: the note replaces the first one.
panel_at 227 102
sleep 1
grep -q '^notify replaces=1 id=2 timeout=1500 summary=Profile 3' "$out/notes.txt" ||
  fail "the second note does not replace the first: $(cat "$out/notes.txt")"

# Without the service: our own note near the bottom of the screen.
kill "$listener"
wait "$listener" 2>/dev/null || true
sleep 0.5
panel_at 51 102
note=$(timeout 10 xdotool search --sync --onlyvisible --name "KX700 note" | head -n1)
[ -n "$note" ] || fail "no note window without the notification service"
eval "$(xdotool getwindowgeometry --shell "$note" | sed 's/^/NOTE_/')"
[ "$NOTE_Y" -gt 400 ] || fail "the note is not near the bottom of the screen (y $NOTE_Y)"
import -window root "$out/note.png"

# The host's answer is in the state file once kx700 has ended.
kill -TERM "$app"
wait "$app" 2>/dev/null || true
"$ctl" --sim-state "$state" log >"$out/log.txt" || fail "kx700ctl log failed"
grep -q 'host->mouse 07 17 00 E9' "$out/log.txt" || fail "no consumer report (volume up) in the state file's log"
echo "1 passed, 0 failed"
