#!/usr/bin/env bash
# The window on the X server: the prompt, then the update window at 96 DPI
# (a client area of 7260 x 2100 twips is 484 x 140 pixels) with the history
# listed and an entry chosen; CmdClose ends the program. Screenshots:
# prompt.png, window.png.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
mkdir -p "$install/20121225051422" "$install/20130101080910" "$install/图片" "$install/with space"

"$BREVAK_EMULATOR" 'C:\升级包\tool-without-engine.exe' </dev/null >/dev/null 2>&1 &
tool_pid=$!
trap 'kill "$tool_pid" 2>/dev/null || true; wait "$tool_pid" 2>/dev/null || true; wineserver -w; rm -rf "$work"' EXIT
status=0
prompt_id=$(window_titled 'Brevak升级') || fail "window: no prompt appeared"
sleep 0.5
import -window "$prompt_id" "$screenshots/prompt.png"
press_return "$prompt_id"
window_id=$(window_of_size 'Brevak升级' 484 140) || fail "window: no 484x140 window appeared"
xdotool mousemove --window "$window_id" 352 20 click 1  # cmdGetHistory
sleep 1
xdotool mousemove --window "$window_id" 60 12 click 1   # the first entry
sleep 1
import -window "$window_id" "$screenshots/window.png"
xdotool mousemove --window "$window_id" 420 116 click 1  # CmdClose
wait_for "$tool_pid" || status=$?
size=$(LC_ALL=C identify -format '%wx%h' "$screenshots/window.png")
colours=$(LC_ALL=C convert "$screenshots/window.png" -format '%k' info:)
if [ "$size" = 484x140 ] && [ "$colours" -gt 8 ] && [ $status -eq 0 ]; then
  pass "window: $size client area at 96 DPI, screenshot $screenshots/window.png; CmdClose ends the program"
fi
fail "window: size $size, $colours colours, exit $status"
