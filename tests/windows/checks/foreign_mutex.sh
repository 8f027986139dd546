#!/usr/bin/env bash
# A copy run by another user, or in another session, holds the one-copy
# mutex under a security that keeps this account out: CreateMutexW fails
# with ERROR_ACCESS_DENIED, and that counts as held. hold-foreign-mutex.exe
# makes such a mutex; where Wine lets every account open it anyway, there
# is nothing to see.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
cp "$win_build/hold-foreign-mutex.exe" "$drive_c/升级包/"
"$BREVAK_EMULATOR" 'C:\升级包\hold-foreign-mutex.exe' 60 </dev/null >"$work/holder" 2>/dev/null &
holder_pid=$!
# The next check may start the moment this one ends: the prefix is left
# with no program running (the server ends once they are gone).
trap 'kill "$holder_pid" 2>/dev/null || true; wait "$holder_pid" 2>/dev/null || true; wineserver -w; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/holder" ] && break; sleep 0.1; done
held=$(head -1 "$work/holder" | tr -d '\r')
case $held in
  held) ;;
  "not kept out") skip "Wine lets every account open another's mutex; not checked here" ;;
  *) fail "second copy: hold-foreign-mutex.exe said '${held}'" ;;
esac
printf 'ok\n' >"$work/second.script"
printf 'msgbox OK %s\nanswer ok\nexit 0\n' 'Brevak升级程序已经在运行。\r\n请等它结束后再运行升级程序。' \
  >"$work/second.expected"
status=0
scripted "$work/second.script" "$work/second.transcript" 'C:\升级包\brevak-upgrade.exe' || status=$?
if [ $status -eq 0 ] && cmp -s "$work/second.expected" "$work/second.transcript"; then
  pass "second copy: another account's mutex counts as held; the tool says so and ends"
fi
diff "$work/second.expected" "$work/second.transcript" || true
fail "second copy beside another account's (exit $status)"
