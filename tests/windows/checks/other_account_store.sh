#!/usr/bin/env bash
# A standard user who types an administrator's password at the UAC prompt
# runs the tool as the administrator, whose %LOCALAPPDATA% is not the
# user's: the data Brevak wrote as that user is in the user's own store.
# A second profile in the ProfileList (REG_EXPAND_SZ, as Windows writes
# it), with data in its store: the update names that store and changes
# nothing.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
profile='HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList\S-1-5-21-7-7-7-1001'
store=$drive_c/users/员工/AppData/Local/VirtualStore/Brevak
forget_profile() {
  rm -rf "$drive_c/users/员工"
  wine reg delete "$profile" /f </dev/null >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap forget_profile EXIT
wine reg add "$profile" /v ProfileImagePath /t REG_EXPAND_SZ /d '%SystemDrive%\users\员工' /f </dev/null >/dev/null 2>&1 || true
mkdir -p "$store"
echo "the standard user's addresses" >"$store/Addr.mdb"
folders_before=$(folders_of "$install")
printf 'yes\nclick CmdUpdate\nok\nclose\n' >"$work/other.script"
status=0
scripted "$work/other.script" "$work/other.transcript" 'C:\升级包\tool-without-engine.exe' || status=$?
message=$(sed -n 's/^msgbox OK //p' "$work/other.transcript")
if [ $status -eq 0 ] && [ "$(grep -c '^msgbox OK ' "$work/other.transcript")" -eq 1 ] &&
   [[ $message == *'C:\\users\\员工\\AppData\\Local\\VirtualStore\\Brevak\r\n'* ]] &&
   [ "$(folders_of "$install")" = "$folders_before" ] &&
   ! grep -q '^progress' "$work/other.transcript"; then
  pass "VirtualStore of another account: data there stops the update before the backup, and says where"
fi
cat "$work/other.transcript"
fail "VirtualStore of another account (exit $status)"
