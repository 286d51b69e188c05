# The start every end-to-end test shares; sourced, not run. e2e_start copies
# the staged data into $work, opens a fresh Xvfb display, starts kx700 there
# with the given options (its output in $out/kx700.log) and sets $app, $wid
# and the window's X, Y, WIDTH and HEIGHT. Everything ends with the script.
e2e_cleanup() { kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "${work:-}"; }

e2e_start() {  # exe stage out kx700-options...
  local exe="$1" stage="$2"
  out="$3"
  shift 3
  mkdir -p "$out"
  work=$(mktemp -d)
  trap e2e_cleanup EXIT
  cp -r "$stage/skins" "$stage/constMacro.dat" "$work/"

  local display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY="$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

  USER="e2e-$$" XDG_RUNTIME_DIR="$work" "$exe" --data-dir "$work" "$@" >"$out/kx700.log" 2>&1 &
  app=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "KX700 Gaming Mouse" | head -n1)
  [ -n "$wid" ] || { echo "no window"; cat "$out/kx700.log"; exit 1; }
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$wid")"   # X, Y, WIDTH, HEIGHT
}

main_area() {  # x y w h of an area of the English main layout
  local line; line=$(grep -a "^$1=" "$work/skins/INI_EN/skin_main_en.ini" | tr -d '\r')
  IFS=, read -r _ x y w h _ <<<"${line#*=}"
  echo "$x $y $w $h"
}
crop() {  # md5 of a screen rectangle: file x y w h
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage rgb:- | md5sum | cut -d' ' -f1
}
