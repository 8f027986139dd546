#!/usr/bin/env bash
# Pictures of three messages a shop owner may meet, in the tool's real Qt
# window under Xvfb: an update whose tables did not all move, the question
# after an interrupted update, and a restore whose copy failed. Each case
# starts from a fresh demo shop; what makes it happen is outside the tool:
#   - a trigger in the package's customer database refuses the rows of one
#     table (the database engine's own refusal, as a broken schema gives);
#   - an update run through the scripted window system is killed by strace
#     in the middle of the package's copy;
#   - strace makes the restore's second file copy fail with ENOSPC.
#
# Usage: tools/demo/message_boxes.sh OUT-DIR [BUILD-DIR]
# Writes OUT-DIR/tables-not-moved.png, finish-question.png and
# restore-failed.png, and OUT-DIR/transcripts.txt: the same messages as the
# scripted window system words them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
build=${2:-$root/build}
source "$root/tools/demo/demo_shop.sh"
source "$root/tools/demo/demo_drive.sh"

readonly AT_RESTORE='352 60'  # inside CmdRestore
# The copy_file_range calls of the update's backup: two for each of its
# four files and two more for the INI file (its second half); the package's
# copy starts after them. The restore's safety backup makes as many.
readonly BACKUP_COPY_CALLS=10

work=$(mktemp -d "${TMPDIR:-/tmp}/brevak-boxes-XXXXXX")
trap 'demo_end_tool; demo_stop_xvfb; rm -rf "$work"' EXIT
: >"$out/transcripts.txt"

shop() {  # name: a fresh demo shop in $work/name, WINEPREFIX exported
  demo_make_shop "$work/$1" "$build" 500 >/dev/null
  export WINEPREFIX=$work/$1
}

scripted() {  # script-lines... : runs the package's tool through the script
  printf '%s\n' "$@" >"$work/script"
  BREVAK_UI_SCRIPT=$work/script "${tool_prefix[@]}" "$DEMO_TOOL" 2>&1 | grep -v '^progress' || true
}

# Starts the tool in the Qt window and answers the start question with
# Yes; sets window to the update window's id.
open_window() {
  LC_ALL=$(demo_utf8_locale) "${tool_prefix[@]}" "$DEMO_TOOL" >"$work/tool.log" 2>&1 &
  DEMO_TOOL_PID=$!
  local prompt
  prompt=$(demo_wait_window 20 '' "!$DEMO_CLIENT_SIZE")
  demo_press_default "$prompt"
  window=$(demo_wait_window 20 "$prompt" "$DEMO_CLIENT_SIZE")
}

# strace passes a SIGTERM on to nothing: the tool under it is ended too.
end_tool() {
  pkill -KILL -f -- "$DEMO_TOOL" || true
  demo_end_tool
}

shoot_next_box() {  # window file
  local box
  box=$(demo_wait_window 60 "$1" "!$DEMO_CLIENT_SIZE")
  demo_box_shot "$out/$2" "$box"
  echo "$out/$2"
}

demo_start_xvfb "$work"

# 1. Tables not moved.
shop tables
sqlcipher "$DEMO_PACKAGE/Customerdata.car" "PRAGMA key='mqzvtw';
  CREATE TRIGGER refuse_rows BEFORE INSERT ON Repair_Sheet_Part BEGIN SELECT RAISE(ABORT, 'constraint failed'); END;"
tool_prefix=()
cp -a "$WINEPREFIX" "$work/tables-scripted"
open_window
demo_click "$window" $DEMO_AT_UPDATE
shoot_next_box "$window" tables-not-moved.png
end_tool
WINEPREFIX=$work/tables-scripted DEMO_TOOL=$work/tables-scripted/drive_c/Brevak升级包/brevak-upgrade \
  scripted yes 'click CmdUpdate' ok close | grep '^msgbox' >>"$out/transcripts.txt"

# 2. The question after an interrupted update.
shop finish
tool_prefix=(strace -f -qq -o /dev/null -e trace=copy_file_range
  -e "inject=copy_file_range:signal=KILL:when=$((BACKUP_COPY_CALLS + 3))")
scripted yes 'click CmdUpdate' >/dev/null
tool_prefix=()
open_window
demo_click "$window" $DEMO_AT_UPDATE
shoot_next_box "$window" finish-question.png
end_tool
scripted yes 'click CmdUpdate' no no close | grep '^msgbox' >>"$out/transcripts.txt"

# 3. A restore whose copy failed: an update first, then its backup restored.
shop restore
tool_prefix=()
scripted yes 'click CmdUpdate' ok close >/dev/null
tool_prefix=(strace -f -qq -o /dev/null -e trace=copy_file_range
  -e "inject=copy_file_range:error=ENOSPC:when=$((BACKUP_COPY_CALLS + 3))")
cp -a "$WINEPREFIX" "$work/restore-scripted"
open_window
demo_click "$window" $DEMO_AT_GET_HISTORY
sleep 0.5
demo_click "$window" $DEMO_AT_FIRST_ENTRY
sleep 0.5
demo_click "$window" $AT_RESTORE
# Windows' own number comes first, then the message in words.
demo_press_default "$(demo_wait_window 60 "$window" "!$DEMO_CLIENT_SIZE")"
sleep 0.5
shoot_next_box "$window" restore-failed.png
end_tool
WINEPREFIX=$work/restore-scripted DEMO_TOOL=$work/restore-scripted/drive_c/Brevak升级包/brevak-upgrade \
  scripted yes 'click cmdGetHistory' 'select 0' 'click CmdRestore' ok ok close | grep '^msgbox' >>"$out/transcripts.txt"
