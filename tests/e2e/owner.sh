#!/usr/bin/env bash
# End to end: one owner per mouse. The window runs on a simulated mouse kept
# in a state file; kx700ctl apply on that file asks the window to apply,
# kx700ctl describe is refused while the window holds the mouse, and after the
# window has ended the file shows the window's apply. A window without any
# runtime folder for its locks still starts.
set -euo pipefail
exe="$1"; ctl="$2"; stage="$3"; out="${4:-$(mktemp -d)}"
source "$(dirname "$0")/common.sh"
fail() { echo "$1"; cat "$out/kx700.log"; exit 1; }

state="$out/mouse.state"
rm -f "$state"
e2e_start "$exe" "$stage" "$out" --sim-state "$state"
run_ctl() { USER="e2e-$$" XDG_RUNTIME_DIR="$work" "$ctl" --data-dir "$work" --sim-state "$state" "$@"; }

set +e
run_ctl apply >"$out/apply.out" 2>"$out/apply.err"; rc=$?
run_ctl describe >"$out/describe.out" 2>"$out/describe.err"; rc_describe=$?
set -e
[ "$rc" -eq 0 ] || fail "kx700ctl apply through the window failed ($rc): $(cat "$out/apply.err")"
grep -q "^applied: .*(by the running kx700)" "$out/apply.out" || fail "no answer from the window: $(cat "$out/apply.out")"
[ "$rc_describe" -eq 1 ] || fail "describe ran beside the window (exit $rc_describe)"
grep -q "kx700 (process $app) is using the mouse" "$out/describe.err" ||
  fail "describe does not name the window: $(cat "$out/describe.err")"

kill -TERM "$app"
wait "$app" || true
app=
run_ctl describe >"$out/after.out" 2>&1 || fail "describe after the window ended failed: $(cat "$out/after.out")"
grep -q "programming finished 1 times" "$out/after.out" || fail "the window's apply is not in the state file"

# No runtime folder anywhere: the window still comes up as the first one.
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb2=$!
for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY="$display" USER="e2e-$$" XDG_RUNTIME_DIR=/nonexistent TMPDIR=/nonexistent \
  "$exe" --data-dir "$work" --simulate >"$out/kx700-nolock.log" 2>&1 &
app=$!
found=$(DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "KX700 Gaming Mouse" | head -n1 || true)
kill "$app" "$xvfb2" 2>/dev/null || true
[ -n "$found" ] || { cat "$out/kx700-nolock.log"; echo "no window without a runtime folder"; exit 1; }
echo "1 passed, 0 failed"
