# The start the Wayland end-to-end tests share; sourced, not run. wl_start
# copies the staged data into $work, starts weston nested in a fresh Xvfb
# display (so that xdotool can point and type into it and import can take the
# screen), then kx700 on Qt's Wayland plugin with the given options (its output
# in $out/kx700.log), and sets $app and the window's X, Y, WIDTH and HEIGHT on
# the screen. A compositor places its windows itself, so the window is found
# on the screen: the part that is not the compositor's plain background.
# Where weston is missing or does not start, the test is skipped (exit 77).
background="48,96,192"  # the [shell] colour of weston.ini below
screen_w=1200
screen_h=760

wl_cleanup() {
  kill "${app:-}" "${weston:-}" "${xvfb:-}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "${work:-}"
}
wl_skip() { echo "SKIP: $1"; exit 77; }
fail() { echo "FAIL: $1"; cat "$out/kx700.log"; exit 1; }

# wait_until what command...: runs the command every 0.2 s until it succeeds,
# at most 15 s; the test fails with `what` after that.
wait_until() {
  local what="$1" end=$((SECONDS + 15)); shift
  while [ "$SECONDS" -lt "$end" ]; do "$@" && return 0; sleep 0.2; done
  "$@" || fail "$what"
}
# The compositor draws the pointer where it last was: parked on the output's
# last pixel, nothing of it but that pixel shows.
park() { xdotool mousemove $((screen_w - 1)) $((screen_h - 1)); sleep 0.1; }

# A click at a screen point once the compositor has the pointer there.
click_at() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool click 1; }
shot() { import -window root "$out/$1.png"; }
# The colour of a screen pixel as r,g,b: file x y
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r+.5)],%[fx:int(255*p{$2,$3}.g+.5)],%[fx:int(255*p{$2,$3}.b+.5)]" info:; }
is_background() { [ "$(pixel "$1" "$2" "$3")" = "$background" ]; }
# md5 of a screen rectangle: file x y w h
crop() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage rgb:- | md5sum | cut -d' ' -f1; }
# Whether a rectangle of the screen now differs from a screenshot: file x y w h
changed() { shot now; [ "$(crop "$1" "$2" "$3" "$4" "$5")" != "$(crop "$out/now.png" "$2" "$3" "$4" "$5")" ]; }
unchanged() { park; ! changed "$@"; }
# x y w h of an area of an English layout file: file number
area() {
  local line; line=$(grep -a "^$2=" "$work/skins/INI_EN/$1" | tr -d '\r' | head -n1)
  IFS=, read -r _ x y w h _ <<<"${line#*=}"
  echo "$x $y $w $h"
}

# Finds the window on the screen: sets X and Y when what is not background
# has the window's size.
find_window() {
  park
  shot find
  local box
  box=$(convert "$out/find.png" -crop "${screen_w}x${screen_h}+0+0" +repage -fill "rgb($background)" \
    -draw "rectangle $((screen_w - 8)),$((screen_h - 8)) $screen_w,$screen_h" -bordercolor "rgb($background)" -border 1 \
    -format "%@" info:)
  [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  [ "${BASH_REMATCH[1]}" = "$WIDTH" ] && [ "${BASH_REMATCH[2]}" = "$HEIGHT" ] || return 1
  X=$((BASH_REMATCH[3] - 1)); Y=$((BASH_REMATCH[4] - 1))
}

wl_start() {  # exe stage out kx700-options...
  local exe="$1" stage="$2"
  out="$3"
  shift 3
  mkdir -p "$out"
  command -v weston >/dev/null || wl_skip "weston is not installed (scripts/deps.sh test installs it)"
  work=$(mktemp -d)
  trap wl_cleanup EXIT
  cp -r "$stage/skins" "$stage/constMacro.dat" "$work/"
  read -r WIDTH HEIGHT <<<"$(identify -format "%w %h" "$work/skins/main_mask.jpg")"

  local display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY="$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

  # A plain background to find the window on, no panel, no animations, no
  # on-screen keyboard popping up under a focused box.
  cat >"$work/weston.ini" <<EOF
[core]
idle-time=0

[shell]
background-color=0xff$(printf '%02x%02x%02x' ${background//,/ })
panel-position=none
locking=false
animation=none
startup-animation=none
close-animation=none
focus-animation=none

[input-method]
path=
EOF
  export XDG_RUNTIME_DIR="$work/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export WAYLAND_DISPLAY="kx700-e2e-$$"
  weston --config="$work/weston.ini" --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" \
    --width="$screen_w" --height="$screen_h" >"$out/weston.log" 2>&1 &
  weston=$!
  for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    kill -0 "$weston" 2>/dev/null || break
    sleep 0.1
  done
  [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { tail -n 20 "$out/weston.log"; wl_skip "weston did not start"; }

  QT_QPA_PLATFORM=wayland USER="e2e-$$" "$exe" --data-dir "$work" "$@" >"$out/kx700.log" 2>&1 &
  app=$!
  wait_until "no window of the window's size on the screen" find_window
  shot start
}
