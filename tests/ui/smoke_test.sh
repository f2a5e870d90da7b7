#!/usr/bin/env bash
# The real window under Xvfb with a window manager: start zendrel (with toolkit options it
# must ignore), wait for "Zendrel1.0", type 1 Tab Tab 2 Return as a person would, copy the
# result box to the clipboard, expect "3", press Esc, expect exit status 0; then once more,
# closed by the window manager. Also checks the outer size, the centred place and the
# working directory. Every wait has a time limit.
# Usage: smoke_test.sh path/to/zendrel
set -uo pipefail

program=$(realpath "${1:?usage: smoke_test.sh path/to/zendrel}")
for tool in Xvfb openbox xdotool xclip xprop xwininfo timeout; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid= wm_pid= app_pid=
cleanup() {
  for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/app.log" ] && sed "s/^/zendrel: /" "$work/app.log"
  exit 1
}

# A free display: Xvfb picks it and writes its number to the descriptor.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n1 "$work/display")
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

cd "$work"
"$program" -qwindowtitle X -reverse -style windows >"$work/app.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zendrel1\.0$' 2>/dev/null | head -n1)
[ -n "$window" ] || fail "no window titled Zendrel1.0 appeared"
timeout 10 xdotool windowactivate --sync "$window" || fail "the window could not be activated"
sleep 0.5

# Frame and client as the window manager sees them: outer 380 x 250, centred.
read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
info=$(xwininfo -id "$window")
X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
WIDTH=$(awk '/^ *Width:/ {print $2}' <<<"$info")
HEIGHT=$(awk '/^ *Height:/ {print $2}' <<<"$info")
outer_w=$((WIDTH + left + right)) outer_h=$((HEIGHT + top + bottom))
[ "$outer_w" -eq 380 ] && [ "$outer_h" -eq 250 ] || fail "outer size ${outer_w}x${outer_h}, not 380x250"
[ "$WIDTH" -ge 360 ] && [ "$HEIGHT" -ge 176 ] || fail "client area ${WIDTH}x${HEIGHT} clips the controls"
frame_x=$((X - left)) frame_y=$((Y - top))
[ "$frame_x" -eq $(((1024 - 380) / 2)) ] && [ "$frame_y" -eq $(((768 - 250) / 2)) ] ||
  fail "window at ${frame_x},${frame_y}, not centred"

# The working directory is the program's directory, wherever it was started.
[ "$(readlink "/proc/$app_pid/cwd")" = "$(cd "$(dirname "$program")" && pwd -P)" ] ||
  fail "working directory $(readlink "/proc/$app_pid/cwd")"

xdotool type --delay 50 1
xdotool key --delay 50 Tab Tab
xdotool type --delay 50 2
xdotool key --delay 50 Return
# Tab to the result box, select all of it and copy it, as a person would.
xdotool key --delay 50 Tab ctrl+a ctrl+c
sleep 0.3
result=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
[ "$result" = "3" ] || fail "the result box shows '$result', not '3'"

# Ends the program with a key and expects exit status 0.
expect_clean_exit() {
  local key=$1 status=
  xdotool key "$key"
  for _ in $(seq 100); do
    if ! kill -0 "$app_pid" 2>/dev/null; then wait "$app_pid"; status=$?; break; fi
    sleep 0.1
  done
  [ -n "$status" ] || fail "the program did not end after $key"
  app_pid=
  [ "$status" -eq 0 ] || fail "exit status $status after $key, not 0"
}
expect_clean_exit Escape

# Closed by the window manager (its Close shortcut), the program ends the same way.
"$program" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zendrel1\.0$' 2>/dev/null | head -n1)
[ -n "$window" ] || fail "no window on the second start"
timeout 10 xdotool windowactivate --sync "$window" || fail "the window could not be activated"
sleep 0.3
expect_clean_exit alt+F4

echo "PASS: 1 + 2 = $result, outer ${outer_w}x${outer_h}, client ${WIDTH}x${HEIGHT}, exit status 0 after Esc and after Close"
