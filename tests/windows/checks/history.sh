#!/usr/bin/env bash
# The history list through Wine's Scripting.FileSystemObject: every
# subfolder of the installation, rebuilt on the second click.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
mkdir -p "$install/20121225051422" "$install/20130101080910" "$install/图片" "$install/with space"
printf 'yes\nclick cmdGetHistory\nclick cmdGetHistory\nclose\n' >"$work/history.script"
status=0
scripted "$work/history.script" "$work/history.transcript" 'C:\升级包\tool-without-engine.exe' ||
  status=$?
printf '%s\n' 20121225051422 20130101080910 'with space' 图片 | sort >"$work/history.expected"
added() { sed -n 's/^list add //p' "$work/history.transcript" | sed -n "$1" | sort; }
if [ $status -eq 0 ] && cmp -s <(added 1,4p) "$work/history.expected" &&
   cmp -s <(added 5,8p) "$work/history.expected" &&
   [ "$(grep -c '^list remove 0$' "$work/history.transcript")" -eq 4 ]; then
  pass "history: every subfolder listed through FileSystemObject, rebuilt on the second click"
fi
cat "$work/history.transcript"
fail "history (exit $status)"
