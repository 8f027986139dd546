#!/usr/bin/env bash
# Data files under %LOCALAPPDATA%\VirtualStore\<installation without its
# drive> may be the shop's live data: the update says where and changes
# nothing (Wine's FindFirstFileW and ExpandEnvironmentStringsA).
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
local_app_data=$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')
store=$(winepath -u "$local_app_data" 2>/dev/null)/VirtualStore/Brevak
trap 'rm -rf "$store" "$work"' EXIT
mkdir -p "$store"
echo "the live customers" >"$store/Customerdata.car"
folders_before=$(folders_of "$install")
printf 'yes\nclick CmdUpdate\nok\nclose\n' >"$work/store.script"
status=0
scripted "$work/store.script" "$work/store.transcript" 'C:\升级包\tool-without-engine.exe' || status=$?
message=$(sed -n 's/^msgbox OK //p' "$work/store.transcript")
if [ $status -eq 0 ] && [ "$(grep -c '^msgbox OK ' "$work/store.transcript")" -eq 1 ] &&
   [[ $message == *"${local_app_data//\\/\\\\}\\\\VirtualStore\\\\Brevak\\r\\n"* ]] &&
   [ "$(folders_of "$install")" = "$folders_before" ] &&
   ! grep -q '^progress' "$work/store.transcript"; then
  pass "VirtualStore: a Customerdata.car there stops the update before the backup, and says where"
fi
cat "$work/store.transcript"
fail "VirtualStore (exit $status)"
