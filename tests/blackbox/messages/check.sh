#!/usr/bin/env bash
# The messages a shop owner meets when something goes wrong, word for word:
# each case below brings a fresh demo shop into its situation from outside
# the tool (a trigger in the package's database, strace failing or killing
# one system call, a clock that stands still, a damaged progress file, data
# files in the VirtualStore),
# runs the tool through the scripted window system and compares its message
# boxes with the transcript kept beside this script (NAME.transcript). The
# backup folders' stamps read STAMP there, their dates in words WHEN.
#
# Usage: check.sh BUILD-DIR [--update] [NAME...]
#   --update  writes the transcripts anew instead of comparing (read the
#             diff before committing it: these are the words users read).
# Prints "N passed, N failed" last; exits non-zero on a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "$1" && pwd)
shift
update=
if [ "${1:-}" = --update ]; then update=1; shift; fi
source "$root/tools/demo/demo_shop.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/brevak-messages-XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# --- what brings a shop into each case ----------------------------------------
# The progress file as the tool names it (through dosdevices): strace -P
# matches the path a call is given.
record() { echo "$WINEPREFIX/dosdevices/c:/Program Files/Brevak/upgrade-in-progress.brevak"; }
# The copy_file_range calls of a backup of the demo shop's four data files
# (the INI file takes four); the next copy starts after them.
readonly BACKUP_COPY_CALLS=10

# The tool through a script, under the command given after "--" (strace,
# faketime) when there is one.
run() {  # script-lines... [-- command...]
  local lines=() under=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do lines+=("$1"); shift; done
  [ $# -gt 0 ] && { shift; under=("$@"); }
  printf '%s\n' "${lines[@]}" >"$work/script"
  BREVAK_UI_SCRIPT=$work/script LC_ALL=C.UTF-8 "${under[@]}" "$DEMO_TOOL" 2>/dev/null || true
}
trace=(strace -f -qq -o /dev/null)
# A clock that stands still: every backup folder is named alike.
frozen=(faketime -f '2026-12-10 12:00:00')

# Only what the user reads and answers; stamps and dates in words masked.
messages() {
  grep -E '^(msgbox|answer|exit)' |
    sed -E 's/[0-9]{14}/STAMP/g; s/[0-9]{4}年[0-9]{2}月[0-9]{2}日[0-9]{2}时[0-9]{2}分[0-9]{2}秒/WHEN/g'
}

update_then() { run yes 'click CmdUpdate' ok close >/dev/null; }

case_tables_not_moved() {
  sqlcipher "$DEMO_PACKAGE/Customerdata.car" "PRAGMA key='mqzvtw';
    CREATE TRIGGER refuse_rows BEFORE INSERT ON Repair_Sheet_Part BEGIN SELECT RAISE(ABORT, 'constraint failed'); END;" \
    >/dev/null
  run yes 'click CmdUpdate' ok close
}

case_finish_question_then_give_up_question() {
  run yes 'click CmdUpdate' -- "${trace[@]}" -e trace=copy_file_range \
    -e "inject=copy_file_range:signal=KILL:when=$((BACKUP_COPY_CALLS + 3))" >/dev/null
  run yes 'click CmdUpdate' no no close
}

case_record_not_removed() {
  run yes 'click CmdUpdate' ok ok close -- "${trace[@]}" -P "$(record)" -e trace=unlink -e inject=unlink:error=EACCES
}

case_backup_failed() {
  run yes 'click CmdUpdate' ok ok close -- "${trace[@]}" -e trace=copy_file_range -e inject=copy_file_range:error=ENOSPC:when=3
}

case_damaged_record() {
  printf 'version=1\r\nkind=update\r\nbackup=\r\n' >"$DEMO_INSTALL/upgrade-in-progress.brevak"
  run yes 'click CmdUpdate' no close
}

case_restore_failed() {
  update_then
  run yes 'click cmdGetHistory' 'select 0' 'click CmdRestore' ok ok close -- "${trace[@]}" -e trace=copy_file_range \
    -e "inject=copy_file_range:error=ENOSPC:when=$((BACKUP_COPY_CALLS + 3))"
}

case_restore_folder_exists() {
  run yes 'click CmdUpdate' ok close -- "${frozen[@]}" >/dev/null
  run yes 'click cmdGetHistory' 'select 0' 'click CmdRestore' ok close -- "${frozen[@]}"
}

# A put-back of an unfinished update's data whose record cannot go back to
# that update: an update, a second one killed in the package's copy, a
# restore of the first one's backup killed in its copy, then 是 (put back)
# while the progress file cannot be written.
case_put_back_not_recorded() {
  update_then
  run yes 'click CmdUpdate' yes -- "${trace[@]}" -e trace=copy_file_range \
    -e "inject=copy_file_range:signal=KILL:when=$((BACKUP_COPY_CALLS + 3))" >/dev/null
  local first
  first=$(run yes 'click cmdGetHistory' close | sed -n 's/^list add //p' | sort | head -1)
  first=$(run yes 'click cmdGetHistory' close | sed -n 's/^list add //p' | grep -nx "$first" | cut -d: -f1)
  run yes 'click cmdGetHistory' "select $((first - 1))" 'click CmdRestore' -- "${trace[@]}" -e trace=copy_file_range \
    -e "inject=copy_file_range:signal=KILL:when=$((BACKUP_COPY_CALLS + 3))" >/dev/null
  run yes 'click CmdRestore' yes ok close -- "${trace[@]}" -P "$(record).new" -e trace=rename \
    -e inject=rename:error=ENOSPC:when=3
}

case_virtual_store() {
  local store="$WINEPREFIX/drive_c/users/店主/AppData/Local/VirtualStore/Program Files/Brevak"
  mkdir -p "$store"
  cp "$DEMO_INSTALL/Customerdata.car" "$store/"
  LOCALAPPDATA='C:\users\店主\AppData\Local' run yes 'click CmdUpdate' ok close
}

case_progress_not_noted() {
  # The record's second write, after the backup, is the one that fails.
  run yes 'click CmdUpdate' ok close -- "${trace[@]}" -P "$(record).new" -e trace=rename -e inject=rename:error=ENOSPC:when=2
}

cases=(tables_not_moved finish_question_then_give_up_question record_not_removed backup_failed damaged_record
  restore_failed restore_folder_exists put_back_not_recorded virtual_store progress_not_noted)
[ $# -gt 0 ] && cases=("$@")

for name in "${cases[@]}"; do
  demo_make_shop "$work/$name" "$build" 300 >/dev/null
  export WINEPREFIX=$work/$name
  expected=$here/${name//_/-}.transcript
  { "case_$name" | messages >"$work/$name.transcript"; } 2>/dev/null
  if [ -n "$update" ]; then
    cp "$work/$name.transcript" "$expected"
    echo "wrote $expected"
  elif diff -u "$expected" "$work/$name.transcript"; then
    passed=$((passed + 1))
    echo "ok - $name"
  else
    failed=$((failed + 1))
    echo "FAIL - $name"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
