#!/usr/bin/env bash
# The upgrade tool's migration of the customer database against the
# sqlcipher shell doing the same work in one process, on copies of the same
# files, in the same run; and the tool's peak memory at two database sizes,
# which must not grow with the row count (no row passes through the tool).
#
#   bench/migration_bench.sh [ROWS]     (default 1023100: about 1,000,000
#                                        rows in the customer database)
#
# The tool runs from outside through the scripted window system: a full
# update of a Wine-style prefix whose installation holds ROWS shop rows.
# Its migration time is taken from the transcript, from the bar's 19 (the
# address book done) to the bar hidden: opening the customer database and
# moving its 29 entries. Needs the default build (scripts/test or
# cmake --preset default && cmake --build --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."

ROWS=${1:-1023100}
BUILD=${BUILD:-build}
TOOL=$BUILD/brevak-upgrade
MAKER=$BUILD/make-shop-data
[[ -x $TOOL && -x $MAKER ]] || { echo "migration_bench: build first ($TOOL, $MAKER)" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "migration_bench: needs GNU time (scripts/setup)" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/brevak-migration-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# A prefix with the installation (old release, $1 rows) and the package
# (new release, fresh databases, the tool itself) in folder $2.
make_prefix() {
  local rows=$1 prefix=$2
  mkdir -p "$prefix/drive_c/Brevak" "$prefix/drive_c/pkg" "$prefix/dosdevices"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  ln -s / "$prefix/dosdevices/z:"
  printf '%s\n' 'WINE REGISTRY Version 2' '' \
    '[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe] 1700000000' \
    '@="C:\\Brevak\\Brevak.exe"' >"$prefix/system.reg"
  "$MAKER" --out "$prefix/drive_c/Brevak" --variant old --rows "$rows" --seed 1 >/dev/null
  "$MAKER" --out "$prefix/drive_c/pkg" --variant new --rows 0 --package-rows 5 >/dev/null
  cp "$TOOL" "$prefix/drive_c/pkg/brevak-upgrade"
}

# Runs a full update; prints "SECONDS PEAK_KB" of the customer database's
# migration and the whole process.
run_tool() {
  local prefix=$1 script=$WORK/script transcript=$WORK/transcript
  # Neither Brevak.exe carries a version, so the tool asks whether to go on.
  printf '%s\n' yes 'click CmdUpdate' yes ok close >"$script"
  WINEPREFIX=$prefix BREVAK_UI_SCRIPT=$script /usr/bin/time -f '%M' -o "$WORK/rss" \
    "$prefix/drive_c/pkg/brevak-upgrade" |
    while IFS= read -r line; do printf '%s %s\n' "$(date +%s.%N)" "$line"; done >"$transcript"
  grep -q ' msgbox OK 升级完成$' "$transcript" || { cat "$transcript" >&2; exit 1; }
  awk -v rss="$(cat "$WORK/rss")" '
    $2 == "progress" && $3 == "value" && $4 == "19" { start = $1 }
    $2 == "progress" && $3 == "visible" && $4 == "0" { end = $1 }
    END { printf "%.3f %d\n", end - start, rss }' "$transcript"
}

# The shell's migration of the same backup into a copy of the package's
# fresh database; prints its wall-clock seconds.
run_shell() {
  local prefix=$1
  local backup=$(ls -d "$prefix"/drive_c/Brevak/2*/)
  bench/migration_baseline.sh "$prefix/drive_c/pkg/Customerdata.car" "$backup/Customerdata.car" |
    sed -n 's/^sqlcipher-shell migration: .* \([0-9.]*\) s wall.*/\1/p'
}

echo "# customer database migration: the tool against the sqlcipher shell"
declare -A PEAK
for rows in 10000 "$ROWS"; do
  prefix=$WORK/prefix-$rows
  make_prefix "$rows" "$prefix"
  read -r tool_seconds peak_kb < <(run_tool "$prefix")
  PEAK[$rows]=$peak_kb
  shell_seconds=$(run_shell "$prefix")
  ratio=$(awk -v t="$tool_seconds" -v s="$shell_seconds" 'BEGIN { printf "%.2f", (s > 0 ? t / s : 0) }')
  printf 'rows %-8s tool %8.3f s   sqlcipher shell %8.3f s   ratio %sx (goal 1.05x)   tool peak %d KB\n' \
    "$rows" "$tool_seconds" "$shell_seconds" "$ratio" "$peak_kb"
  rm -rf "$prefix"
done
echo "peak memory: ${PEAK[10000]} KB at 10,000 rows, ${PEAK[$ROWS]} KB at $ROWS rows"
