#!/usr/bin/env bash
# The real tool on the X server: the prompt, then the run-time error box
# (Wine has no Jet provider), then exit code 1. Screenshot: error.png.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation

"$BREVAK_EMULATOR" 'C:\升级包\brevak-upgrade.exe' </dev/null >/dev/null 2>&1 &
tool_pid=$!
trap 'kill "$tool_pid" 2>/dev/null || true; wait "$tool_pid" 2>/dev/null || true; wineserver -w; rm -rf "$work"' EXIT
status=0
prompt_id=$(window_titled 'Brevak升级') || fail "error box: no prompt appeared"
press_return "$prompt_id"
error_id=$(window_titled 'Brevak升级' "$prompt_id") || fail "error box: none appeared"
sleep 0.5
import -window "$error_id" "$screenshots/error.png"
press_return "$error_id"
wait_for "$tool_pid" || status=$?
[ $status -eq 1 ] || fail "error box: exit $status"
pass "error box shown, exit code 1 (screenshot $screenshots/error.png)"
