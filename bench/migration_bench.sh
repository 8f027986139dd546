#!/usr/bin/env bash
# The upgrade tool's whole update against the same work done by hand with
# cp + sync + the sqlcipher shell, on copies of the same files; and the
# tool's peak memory, which must stay flat as the row count grows: no row
# passes through the tool, and the caches are bounded.
#
#   bench/migration_bench.sh [SHAPE] [ROWS ...]
#
# SHAPE (see bench/shop_prefix.sh): spread (the rows spread over the tables
# as in a real shop), large-table (ROWS repair-sheet parts, ROWS/2 labour
# lines, ROWS/10 car owners) or both (the default). ROWS: the sizes to
# measure (default 10000 1000000 2000000).
#
# Environment: RUNS (default 3) runs of each side per size, reported as
# min / median / max, and the ratio taken run by run (tool over the baseline
# of the same run, so that a machine whose speed drifts still compares
# like with like); BUILD (default build) the build folder; BUILDS, several
# build folders (space-separated) whose tools run in turn with the baseline
# in each run, each reported on its own lines (two builds of other options
# or branches compared on the same shops). Run by hand; no test runs it.
#
# The tool runs from outside through the scripted window system: a full
# update of a Wine-style prefix whose installation holds the shop. From its
# transcript come the whole update (the answer to the version question to
# "升级完成": checks, backup copy, package copy, both databases moved) and
# the migration of the customer database (the bar's 19 to the bar hidden).
# The baseline on a fresh copy of the same prefix: cp of the files the
# backup takes, cp of the package's files, sync, then the sqlcipher shell
# moving the address book and the customer database table by table
# (bench/migration_baseline.sh), each table in its own transaction, with no
# check. Needs the default build (scripts/test --quick, or cmake --preset
# default && cmake --build --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/shop_prefix.sh

SHAPES=(spread large-table)
case ${1:-} in
  spread | large-table) SHAPES=("$1"); shift ;;
  both) shift ;;
esac
SIZES=("$@")
[[ ${#SIZES[@]} -gt 0 ]] || SIZES=(10000 1000000 2000000)
RUNS=${RUNS:-3}
BUILD=${BUILD:-build}
read -r -a BUILD_LIST <<<"${BUILDS:-$BUILD}"
TOOL=${BUILD_LIST[0]}/brevak-upgrade
MAKER=${BUILD_LIST[0]}/make-shop-data
for build in "${BUILD_LIST[@]}"; do
  [[ -x $build/brevak-upgrade && -x $MAKER ]] || { echo "migration_bench: build first ($build/brevak-upgrade, $MAKER)" >&2; exit 2; }
done
command -v /usr/bin/time >/dev/null || { echo "migration_bench: needs GNU time (scripts/setup)" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "migration_bench: needs sqlite3 (scripts/setup)" >&2; exit 2; }
# The address book's tables the update moves, in its order, from the shop's schema.
ADDRESS_BOOK_TABLES=$("$MAKER" --print-moved-tables | awk '$1 == "Addr.mdb" { print $2 }')

WORK=$(mktemp -d "${TMPDIR:-/tmp}/brevak-migration-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

now() { date +%s.%N; }
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
# "min/median/max" of the numbers in file $1, with printf format $2.
spread_of() { sort -g "$1" | awk -v f="$2" '{ v[NR] = $1 } END {
  m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
  printf f "/" f "/" f, v[1], m, v[NR] }'; }
# Run-by-run ratios of the numbers in file $1 over those in file $2.
ratios() { paste "$1" "$2" | awk '{ printf "%.3f\n", ($2 > 0 ? $1 / $2 : 0) }'; }

# The one-minute load average now: the machine may be shared, and a figure
# taken under load says so next to it.
load_now() { cut -d' ' -f1 /proc/loadavg; }

# Runs a full update on prefix $1; prints "WHOLE_SECONDS MIGRATION_SECONDS PEAK_KB".
run_tool() {
  local prefix=$1 script=$WORK/script transcript=$WORK/transcript
  # Both Brevak.exe carry the same version, so the tool asks whether to go on.
  printf '%s\n' yes 'click CmdUpdate' yes ok close >"$script"
  WINEPREFIX=$prefix BREVAK_UI_SCRIPT=$script /usr/bin/time -f '%M' -o "$WORK/rss" \
    "$prefix/drive_c/pkg/brevak-upgrade" |
    while IFS= read -r line; do printf '%s %s\n' "$(now)" "$line"; done >"$transcript"
  grep -q ' msgbox OK 升级完成$' "$transcript" || { cat "$transcript" >&2; exit 1; }
  awk -v rss="$(cat "$WORK/rss")" '
    asked && $2 == "answer" { update_start = $1; asked = 0 }
    $2 == "msgbox" && $4 ~ /^升级版本并不比/ { asked = 1 }
    $2 == "progress" && $3 == "value" && $4 == "19" { migration_start = $1 }
    $2 == "progress" && $3 == "visible" && $4 == "0" { migration_end = $1 }
    $2 == "msgbox" && $3 == "OK" && $4 == "升级完成" { update_end = $1 }
    END { printf "%.3f %.3f %d\n", update_end - update_start, migration_end - migration_start, rss }' "$transcript"
}

# The address book moved by the sqlite3 shell, each table in its own
# transaction; prints its wall-clock seconds.
move_address_book() {
  local install=$1 backup=$2 table sql started
  sql="ATTACH DATABASE '${backup//\'/\'\'}' AS bak;"
  for table in $ADDRESS_BOOK_TABLES; do
    sql+="BEGIN; DELETE FROM main.\"$table\"; INSERT INTO main.\"$table\" SELECT * FROM bak.\"$table\"; COMMIT;"
  done
  started=$(now)
  sqlite3 -batch "$install" <<<"$sql"
  seconds_between "$started" "$(now)"
}

# The same update by hand on a fresh copy of the prefix $1 in $2: cp the
# backup's and the package's files, sync, then the shell's migration of both
# databases. Prints "WHOLE_SECONDS CUSTOMER_MIGRATION_SECONDS".
run_baseline() {
  local pristine=$1 base=$2 started copied address shell
  rm -rf "$base"
  cp -a "$pristine" "$base"
  sync
  local install=$base/drive_c/Brevak pkg=$base/drive_c/pkg backup=$base/drive_c/Brevak/bak
  started=$(now)
  mkdir "$backup"
  (shopt -s nullglob nocaseglob
   cp -p "$install"/*.car "$install"/*.mdb "$install"/Brevak.* "$install"/*.ini "$backup"/
   cp -p "$pkg"/*.car "$pkg"/*.mdb "$pkg"/vkUserControlsXP.* "$pkg"/adb*.* "$pkg"/Brevak.* "$pkg"/*.ini \
     "$install"/)
  sync
  copied=$(seconds_between "$started" "$(now)")
  address=$(move_address_book "$install/Addr.mdb" "$backup/Addr.mdb")
  shell=$(bench/migration_baseline.sh --in-place --tool "$MAKER" --work "$WORK/baseline" \
            "$install/Customerdata.car" "$backup/Customerdata.car" |
          sed -n 's/^sqlcipher-shell migration: .* \([0-9.]*\) s wall.*/\1/p')
  [[ -n $shell ]] || { echo "migration_bench: the shell's migration failed" >&2; exit 1; }
  awk -v c="$copied" -v a="$address" -v s="$shell" 'BEGIN { printf "%.3f %.3f\n", c + a + s, s }'
}

# Measures one shape at one size; prints two lines for each build.
measure() {
  local shape=$1 rows=$2 pristine=$WORK/pristine run result whole migration peak_kb b load_before
  make_shop_prefix "$rows" "$pristine" "$shape"
  load_before=$(load_now)
  : >"$WORK/base-whole"; : >"$WORK/base-migration"
  for b in "${!BUILD_LIST[@]}"; do : >"$WORK/tool$b-whole"; : >"$WORK/tool$b-migration"; : >"$WORK/tool$b-peak"; done
  for ((run = 1; run <= RUNS; run++)); do
    for b in "${!BUILD_LIST[@]}"; do
      rm -rf "$WORK/run"
      cp -a "$pristine" "$WORK/run"
      cp "${BUILD_LIST[$b]}/brevak-upgrade" "$WORK/run/drive_c/pkg/brevak-upgrade"
      sync
      result=$(run_tool "$WORK/run")
      read -r whole migration peak_kb <<<"$result"
      echo "$whole" >>"$WORK/tool$b-whole"
      echo "$migration" >>"$WORK/tool$b-migration"
      echo "$peak_kb" >>"$WORK/tool$b-peak"
      rm -rf "$WORK/run"
    done
    result=$(run_baseline "$pristine" "$WORK/base")
    read -r whole migration <<<"$result"
    echo "$whole" >>"$WORK/base-whole"
    echo "$migration" >>"$WORK/base-migration"
    rm -rf "$WORK/base"
  done
  rm -rf "$pristine"
  local label peak load="load $load_before..$(load_now)"
  for b in "${!BUILD_LIST[@]}"; do
    label=$([[ ${#BUILD_LIST[@]} -gt 1 ]] && echo " [${BUILD_LIST[$b]}]" || true)
    ratios "$WORK/tool$b-whole" "$WORK/base-whole" >"$WORK/ratio-whole"
    ratios "$WORK/tool$b-migration" "$WORK/base-migration" >"$WORK/ratio-migration"
    peak=$(sort -n "$WORK/tool$b-peak" | tail -1)
    printf '%-11s rows %-8s whole update%s: tool %s s   cp + sync + shell %s s   ratio %sx (min/median/max; aim 1.00x or less)   %s\n' \
      "$shape" "$rows" "$label" "$(spread_of "$WORK/tool$b-whole" %.3f)" "$(spread_of "$WORK/base-whole" %.3f)" \
      "$(spread_of "$WORK/ratio-whole" %.2f)" "$load"
    printf '%-11s rows %-8s customer database migration%s: tool %s s   shell %s s   ratio %sx   tool peak %d KB\n' \
      "$shape" "$rows" "$label" "$(spread_of "$WORK/tool$b-migration" %.3f)" \
      "$(spread_of "$WORK/base-migration" %.3f)" "$(spread_of "$WORK/ratio-migration" %.2f)" "$peak"
  done
}

echo "# the tool against cp + sync + the sqlcipher shell, $RUNS runs; load: $(uptime | sed 's/.*load/load/')"
for shape in "${SHAPES[@]}"; do
  for rows in "${SIZES[@]}"; do measure "$shape" "$rows"; done
done
echo "# load at the end: $(uptime | sed 's/.*load/load/')"
