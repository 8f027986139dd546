#!/usr/bin/env bash
# An update through Wine's SHFileOperationA, the database engine's place
# taken by connections that accept everything: the dated backup folder
# holds the installed files, the package's are copied over, and the history
# list names the backup.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
# The folders the history check leaves, an earlier backup among them.
mkdir -p "$install/20121225051422" "$install/20130101080910" "$install/图片" "$install/with space"
touch "$work/before"
sleep 1  # the backup folder is newer than the mark
printf 'yes\nclick CmdUpdate\nok\nclick cmdGetHistory\nclose\n' >"$work/update.script"
status=0
scripted "$work/update.script" "$work/update.transcript" 'C:\升级包\tool-without-engine.exe' ||
  status=$?
backup=$(find "$install" -maxdepth 1 -regextype posix-extended -regex '.*/[0-9]{14}' -newer "$work/before" | head -1)
if [ $status -eq 0 ] && grep -q '^msgbox OK 升级完成$' "$work/update.transcript" &&
   [ -n "$backup" ] && grep -qx 'installed Addr.mdb' "$backup/Addr.mdb" &&
   grep -qx 'installed setup.ini' "$backup/setup.ini" && cmp -s "$backup/Brevak.exe" tests/fixtures/pe/brevak_5_06_0004.exe &&
   grep -qx 'packaged Addr.mdb' "$install/Addr.mdb" && cmp -s "$install/Brevak.exe" "$package/Brevak.exe" &&
   grep -qx "list add $(basename "$backup")" "$work/update.transcript"; then
  pass "update: backup folder $(basename "$backup") holds the installed files, the package copied over"
fi
cat "$work/update.transcript"
ls -l "$install" "$backup" 2>&1 || true
fail "update (exit $status)"
