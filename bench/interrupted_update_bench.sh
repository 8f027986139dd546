#!/usr/bin/env bash
# Kills spread over the whole update of a large shop, each followed by a
# second run of the tool: prints the kills, the reruns, how the reruns went
# and the rows lost, which must be 0.
#
#   bench/interrupted_update_bench.sh [ROWS] [KILLS]   (default 500000 rows, 30 kills)
#
# A full update is timed first, and its copies (backup, record, package)
# apart: a third of the kills are spread evenly over the copies, the rest
# evenly over the whole update. After each kill the
# tool runs again and answers Yes to the first question it asks (finishing
# the interrupted update, or the version question once the package is
# installed). Every table the update carries must then hold as many rows as
# the shop had. Needs the default build (cmake --preset default &&
# cmake --build --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/shop_prefix.sh

ROWS=${1:-500000}
KILLS=${2:-30}
BUILD=${BUILD:-build}
TOOL=$BUILD/brevak-upgrade
MAKER=$BUILD/make-shop-data
PE=tests/fixtures/pe
[[ -x $TOOL && -x $MAKER ]] || { echo "interrupted_update_bench: build first ($TOOL, $MAKER)" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/brevak-interrupted-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
# Copies of the programs, so that a rebuild meanwhile does not touch the run.
mkdir "$WORK/bin"
cp "$TOOL" "$MAKER" "$WORK/bin/"
TOOL=$WORK/bin/brevak-upgrade MAKER=$WORK/bin/make-shop-data
# The tables the update carries, from the shop's schema.
MOVED=$("$MAKER" --print-moved-tables | awk '{ print $2 }' | sort -u)

# The template prefix: the installation (5.06.0004, ROWS shop rows) and the
# package (5.06.0005, fresh databases, the tool itself).
make_template() {
  local prefix=$WORK/template
  make_shop_prefix "$ROWS" "$prefix"
  cp "$PE/brevak_5_06_0004.exe" "$prefix/drive_c/Brevak/Brevak.exe"
  cp "$PE/brevak_5_06_0005.exe" "$prefix/drive_c/pkg/Brevak.exe"
}

# "TABLE ROWS" for every carried table of the two databases in folder $1.
moved_counts() {
  "$MAKER" --print-counts "$1" | awk -v moved="$MOVED" '
    BEGIN { n = split(moved, names, /[ \n]+/); for (i = 1; i <= n; i++) want[names[i]] = 1 }
    ($1 in want) { print $1, $2 }' | sort
}

# Runs the tool in prefix $1 on script text $2; the transcript goes to $3.
# With $4 set, kills it that many seconds after it starts.
run_tool() {
  local prefix=$1 script=$WORK/script.$RANDOM transcript=$3 kill_after=${4:-}
  printf '%s' "$2" >"$script"
  WINEPREFIX=$prefix BREVAK_UI_SCRIPT=$script "$prefix/drive_c/pkg/brevak-upgrade" >"$transcript" 2>&1 &
  local pid=$!
  if [[ -n $kill_after ]]; then
    sleep "$kill_after"
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}

make_template
moved_counts "$WORK/template/drive_c/Brevak" >"$WORK/original.counts"
shop_rows=$(awk '{ s += $2 } END { print s }' "$WORK/original.counts")

# One full update, each transcript line stamped with its time: how long
# the whole takes, and how long its copies (up to the progress bar).
cp -a "$WORK/template" "$WORK/timed"
sync  # the tool's flushes must not pay for the bench's own copies
printf '%s' $'yes\nclick CmdUpdate\nok\n' >"$WORK/timed.script"
start=$(date +%s.%N)
WINEPREFIX=$WORK/timed BREVAK_UI_SCRIPT=$WORK/timed.script "$WORK/timed/drive_c/pkg/brevak-upgrade" |
  while IFS= read -r line; do printf '%s %s\n' "$(date +%s.%N)" "$line"; done >"$WORK/timed.transcript"
full=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.3f", e - s }')
copies=$(awk -v s="$start" '$2 == "progress" && $3 == "visible" && $4 == "1" { printf "%.3f", $1 - s; exit }' \
  "$WORK/timed.transcript")
grep -q ' msgbox OK 升级完成$' "$WORK/timed.transcript" || { cat "$WORK/timed.transcript" >&2; exit 1; }
rm -rf "$WORK/timed"
echo "shop: $ROWS generated rows, $shop_rows rows in the carried tables"
echo "a full update takes $full s, its backup and package copies the first $copies s"

declare -A PHASES
landed=0 finished=0 reran=0 complete=0 lost=0 leftovers=0
for ((k = 0; k < KILLS; k++)); do
  prefix=$WORK/run
  rm -rf "$prefix"
  cp -a "$WORK/template" "$prefix"
  sync
  # The first third of the kills spread over the copies, the rest over the
  # whole update: the copies are short next to the migration.
  delay=$(awk -v f="$full" -v c="$copies" -v k="$k" -v n="$KILLS" 'BEGIN {
    m = int(n / 3); if (k < m) printf "%.3f", c * (k + 0.5) / m; else printf "%.3f", f * (k - m + 0.5) / (n - m) }')
  run_tool "$prefix" $'yes\nclick CmdUpdate\nok\n' "$WORK/killed.transcript" "$delay"
  install=$prefix/drive_c/Brevak
  if grep -q '^exit ' "$WORK/killed.transcript"; then ended=ended; else ended=killed; landed=$((landed + 1)); fi
  # Where the kill found the update: before its record (the backup copy),
  # recorded with the old program still installed (the package copy),
  # recorded with the new one (the migration), or over.
  phase=backup script=$'yes\nclick CmdUpdate\nok\n'
  installed=no
  cmp -s "$install/Brevak.exe" "$prefix/drive_c/pkg/Brevak.exe" && installed=yes
  if [[ -e $install/upgrade-in-progress.brevak ]]; then
    phase=package; [[ $installed == yes ]] && phase=migration
    finished=$((finished + 1))
  elif [[ $installed == yes ]]; then
    phase=over
  fi
  PHASES[$phase]=$(( ${PHASES[$phase]:-0} + 1 ))
  [[ $phase != backup ]] && script=$'yes\nclick CmdUpdate\nyes\nok\n'
  run_tool "$prefix" "$script" "$WORK/again.transcript"
  reran=$((reran + 1))
  grep -q '^msgbox OK 升级完成$' "$WORK/again.transcript" && complete=$((complete + 1))
  moved_counts "$install" >"$WORK/after.counts"
  run_lost=$(join "$WORK/original.counts" "$WORK/after.counts" | awk '{ if ($2 > $3) s += $2 - $3 } END { print s + 0 }')
  missing=$(join -v1 "$WORK/original.counts" "$WORK/after.counts" | awk '{ s += $2 } END { print s + 0 }')
  run_lost=$((run_lost + missing))
  lost=$((lost + run_lost))
  left=$(find "$install" -maxdepth 1 \( -name 'upgrade-in-progress.brevak*' -o -name '.~brevak-*' \) | wc -l)
  leftovers=$((leftovers + left))
  printf 'kill %2d at %7.3f s: %-6s in %-9s rerun %s, rows lost %d\n' "$k" "$delay" "$ended" "$phase" \
    "$(grep -q '^msgbox OK 升级完成$' "$WORK/again.transcript" && echo 升级完成 || echo FAILED)" "$run_lost"
done
echo "kills: $KILLS (landed before the update ended: $landed; interrupted updates finished from their backup: $finished)"
echo "kills by phase: backup copy ${PHASES[backup]:-0}, package copy ${PHASES[package]:-0}, migration ${PHASES[migration]:-0}, update over ${PHASES[over]:-0}"
echo "reruns: $reran (升级完成: $complete)"
echo "rows lost: $lost"
echo "files left in the installation (record, temporary copies): $leftovers"
[[ $lost -eq 0 && $complete -eq $reran && $leftovers -eq 0 ]]
