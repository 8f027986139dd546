#!/usr/bin/env bash
# Wine has no Jet provider: after Yes the run-time error ends the program
# before the window, with exit code 1.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
printf 'yes\n' >"$work/yes.script"
status=0
scripted "$work/yes.script" "$work/yes.transcript" 'C:\升级包\brevak-upgrade.exe' || status=$?
error_line=$(sed -n 3p "$work/yes.transcript")
if [ $status -eq 1 ] && [ "$(sed -n 2p "$work/yes.transcript")" = "answer yes" ] &&
   [[ $error_line =~ ^error\ -?[0-9]+\ .+$ ]] && [ "$(sed -n 4p "$work/yes.transcript")" = "exit 1" ] &&
   [ "$(wc -l <"$work/yes.transcript")" -eq 4 ]; then
  pass "no database engine: the run-time error ends the program before the window ($error_line)"
fi
cat "$work/yes.transcript"
fail "the run-time error before the window (exit $status)"
