#!/usr/bin/env bash
# Windows will not replace a running program's file: the package's copy
# would stop halfway. running-program.exe, installed as Brevak.exe, runs
# idle; the update must stop before the backup and name the program file.
# It first says whether Wine keeps a running program's file from writers,
# as Windows does; where Wine does not, there is nothing to see.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
cp "$win_build/running-program.exe" "$install/Brevak.exe"
"$BREVAK_EMULATOR" 'C:\Brevak\Brevak.exe' 60 </dev/null >"$work/running" 2>/dev/null &
running_pid=$!
# The next check may start the moment this one ends: the prefix is left
# with no program running (the server ends once they are gone).
trap 'kill "$running_pid" 2>/dev/null || true; wait "$running_pid" 2>/dev/null || true; wineserver -w; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/running" ] && break; sleep 0.1; done
state=$(head -1 "$work/running" | tr -d '\r')
case $state in
  kept) ;;
  open) skip "Wine lets a running program's file be opened for writing; not checked here" ;;
  *) fail "a running Brevak.exe: running-program.exe said '${state}'" ;;
esac
folders_before=$(folders_of "$install")
printf 'yes\nclick CmdUpdate\nok\nclose\n' >"$work/running.script"
status=0
scripted "$work/running.script" "$work/running.transcript" 'C:\升级包\tool-without-engine.exe' || status=$?
if [ $status -eq 0 ] &&
   grep -qxF 'msgbox OK 程序文件正在被其他程序使用。数据没有改动。\r\n请先关闭Brevak以及可能正在使用这个文件的其他程序（如杀毒、备份软件），然后再试。\r\n正在被使用的文件：C:\\Brevak\\Brevak.exe' \
     "$work/running.transcript" &&
   [ "$(folders_of "$install")" = "$folders_before" ] &&
   ! grep -q '^progress' "$work/running.transcript"; then
  pass "a running Brevak.exe with neither database open stops the update before the backup"
fi
cat "$work/running.transcript"
fail "a running Brevak.exe (exit $status)"
