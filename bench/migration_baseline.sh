#!/usr/bin/env bash
# The customer database's migration done by the sqlcipher shell alone: the
# baseline that the upgrade tool's own migration is measured against.
#
#   bench/migration_baseline.sh [options] INSTALLED.car BACKUP.car
#   bench/migration_baseline.sh [options] --make
#
# For each of the 29 entries of the upgrade's table list (RepairCase twice),
# in its order, as make-shop-data --print-moved-tables gives it, one
# transaction on the installation's database:
#   BEGIN; DELETE FROM main."T";
#   INSERT INTO main."T" SELECT * FROM bak."T"; COMMIT;
# with the backup attached with its key, as a person moving the tables by
# hand writes it. Where the two tables' fields differ, the fields are named
# as the backup's table has them instead (a field only the installation has
# takes its DEFAULT). The timed work runs on a scratch copy of INSTALLED.car, so the
# inputs stay as they are and the run can be repeated.
#
# --make builds the inputs with make-shop-data (once; kept in the work
# folder): a backup of the installed release (variant old) with about
# 1,000,000 rows in its customer database, and the package's fresh
# database (variant new, 5 rows per table).
#
# Options:
#   --key K         the customer database's key (default mqzvtw)
#   --rows N        shop rows for --make (default 1023100: about 1,000,000
#                   of them in the customer database)
#   --seed S        seed for --make (default 1)
#   --work DIR      work folder (default ${TMPDIR:-/tmp}/brevak-migration-bench)
#   --tool PATH     make-shop-data, which also gives the table list
#                   (default: build*/make-shop-data, then PATH)
#   --in-place      migrate INSTALLED.car itself instead of a scratch copy
# Environment: SQLCIPHER names the shell (default sqlcipher).
#
# Output: one line per entry, "entry table rows seconds", then a summary
# line starting with "sqlcipher-shell migration:". Exit status 1 when a
# table's rows after the move differ from the backup's.
set -euo pipefail

SHELL_BIN=${SQLCIPHER:-sqlcipher}
KEY=mqzvtw
ROWS=1023100
SEED=1
WORK=${TMPDIR:-/tmp}/brevak-migration-bench
TOOL=
IN_PLACE=0
MAKE=0

die() { echo "migration_baseline: $*" >&2; exit 2; }

sql_text() { printf "'%s'" "${1//\'/\'\'}"; }
sql_name() { printf '"%s"' "${1//\"/\"\"}"; }

# Runs SQL from standard input on the keyed file $1, quietly.
run_sql() {
  { echo "PRAGMA key = $(sql_text "$KEY");"; cat; } | "$SHELL_BIN" -batch "$1" | grep -vx 'ok' || true
}

find_tool() {
  [[ -n "$TOOL" ]] && { echo "$TOOL"; return; }
  local root candidate
  root=$(cd "$(dirname "$0")/.." && pwd)
  for candidate in "$root"/build/make-shop-data "$root"/build*/make-shop-data; do
    [[ -x "$candidate" ]] && { echo "$candidate"; return; }
  done
  command -v make-shop-data || die "make-shop-data not found: build it or give --tool"
}

# The customer database's entries of the upgrade's table list, in its order.
load_table_list() {
  local tool
  tool=$(find_tool)
  mapfile -t TABLE_LIST < <("$tool" --print-moved-tables | awk '$1 == "Customerdata.car" { print $2 }')
  [[ ${#TABLE_LIST[@]} -gt 0 ]] || die "$tool printed no table list"
}

# Builds the backup and the package's database under $WORK unless present.
make_inputs() {
  local tool
  tool=$(find_tool)
  if [[ ! -f "$WORK/backup-$ROWS-$SEED/Customerdata.car" ]]; then
    echo "# making the backup: $ROWS rows, seed $SEED (once)" >&2
    rm -rf "$WORK/backup-$ROWS-$SEED"
    "$tool" --out "$WORK/backup-$ROWS-$SEED" --variant old --rows "$ROWS" --seed "$SEED" >&2
  fi
  if [[ ! -f "$WORK/package/Customerdata.car" ]]; then
    rm -rf "$WORK/package"
    "$tool" --out "$WORK/package" --variant new --package-rows 5 --seed "$SEED" >&2
  fi
  INSTALLED="$WORK/package/Customerdata.car"
  BACKUP="$WORK/backup-$ROWS-$SEED/Customerdata.car"
}

# The field list of table $2 of file $1, quoted and comma-separated.
fields_of() {
  run_sql "$1" <<<"PRAGMA table_info($(sql_name "$2"));" |
    awk -F'|' 'NF >= 6 { gsub(/"/, "\"\"", $2); printf "%s\"%s\"", (n++ ? ", " : ""), $2 }'
}

# The migration script: a marker line before each entry, then its statements.
migration_script() {
  local i table fields
  echo ".timer on"
  echo "ATTACH DATABASE $(sql_text "$BACKUP") AS bak KEY $(sql_text "$KEY");"
  for i in "${!TABLE_LIST[@]}"; do
    table=${TABLE_LIST[$i]}
    fields=${FIELDS[$table]}
    echo "SELECT '@entry $i $table';"
    if [[ -z "$fields" ]]; then
      echo "SELECT '@missing';"
      continue
    fi
    echo "BEGIN;"
    echo "DELETE FROM main.$(sql_name "$table");"
    if [[ "${fields,,}" == "${TARGET_FIELDS[$table],,}" ]]; then
      echo "INSERT INTO main.$(sql_name "$table") SELECT * FROM bak.$(sql_name "$table");"
    else
      echo "INSERT INTO main.$(sql_name "$table") ($fields) SELECT $fields FROM bak.$(sql_name "$table");"
    fi
    echo "COMMIT;"
  done
}

# Sums the shell's per-statement times by entry: "entry table seconds".
entry_times() {
  awk '/^@entry / { if (n) print entry, table, t; entry = $2; table = $3; t = 0; n = 1; next }
       /^@missing/ { t = -1; next }
       /^Run Time: real / { if (n && t >= 0) t += $4 }
       END { if (n) print entry, table, t }'
}

count_rows() {
  local table sql=""
  for table in $(printf '%s\n' "${TABLE_LIST[@]}" | sort -u); do
    sql+="SELECT '$table', count(*) FROM $(sql_name "$table");"$'\n'
  done
  run_sql "$1" <<<"$sql" 2>/dev/null | tr '|' ' '
}

parse_args() {
  while [[ $# -gt 0 ]]; do
    case "$1" in
      --key) KEY=$2; shift 2 ;;
      --rows) ROWS=$2; shift 2 ;;
      --seed) SEED=$2; shift 2 ;;
      --work) WORK=$2; shift 2 ;;
      --tool) TOOL=$2; shift 2 ;;
      --in-place) IN_PLACE=1; shift ;;
      --make) MAKE=1; shift ;;
      -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
      -*) die "unknown option $1" ;;
      *) ARGS+=("$1"); shift ;;
    esac
  done
}

main() {
  ARGS=()
  parse_args "$@"
  command -v "$SHELL_BIN" >/dev/null || die "$SHELL_BIN not found"
  load_table_list
  mkdir -p "$WORK"
  if [[ $MAKE == 1 ]]; then
    make_inputs
  else
    [[ ${#ARGS[@]} == 2 ]] || die "usage: $0 [options] INSTALLED.car BACKUP.car | --make"
    INSTALLED=${ARGS[0]} BACKUP=${ARGS[1]}
  fi
  [[ -f "$INSTALLED" && -f "$BACKUP" ]] || die "missing $INSTALLED or $BACKUP"
  BACKUP=$(realpath "$BACKUP")

  local target=$INSTALLED
  if [[ $IN_PLACE == 0 ]]; then
    target="$WORK/scratch-Customerdata.car"
    cp "$INSTALLED" "$target"
  fi

  declare -gA FIELDS=() TARGET_FIELDS=() BACKUP_ROWS=() MOVED_ROWS=()
  local table rows
  for table in $(printf '%s\n' "${TABLE_LIST[@]}" | sort -u); do
    FIELDS[$table]=$(fields_of "$BACKUP" "$table")
    TARGET_FIELDS[$table]=$(fields_of "$target" "$table")
  done
  while read -r table rows; do BACKUP_ROWS[$table]=$rows; done < <(count_rows "$BACKUP")

  echo "# migration baseline: $("$SHELL_BIN" -version | cut -d' ' -f1) shell," \
    "SQLCipher $(run_sql "$BACKUP" <<<'PRAGMA cipher_version;')"
  echo "# installed: $INSTALLED"
  echo "# backup:    $BACKUP"
  echo "# migrated:  $target"
  local script started ended times
  script=$(migration_script)
  started=$(date +%s%N)
  times=$(run_sql "$target" <<<"$script" | entry_times)
  ended=$(date +%s%N)
  while read -r table rows; do MOVED_ROWS[$table]=$rows; done < <(count_rows "$target")
  report "$times" $(( (ended - started) / 1000000 ))
}

# Prints the per-entry lines and the summary; fails on a row mismatch.
report() {
  local entry table seconds moved=0 failed=0 statements=0
  echo "entry table rows seconds"
  while read -r entry table seconds; do
    if [[ $seconds == -1 ]]; then
      echo "$entry $table - missing-in-backup"
      failed=1
      continue
    fi
    echo "$entry $table ${BACKUP_ROWS[$table]:-?} $seconds"
    statements=$(awk -v a="$statements" -v b="$seconds" 'BEGIN { print a + b }')
    if [[ "${MOVED_ROWS[$table]:-x}" != "${BACKUP_ROWS[$table]:-y}" ]]; then
      echo "# MISMATCH $table: backup ${BACKUP_ROWS[$table]:-?}, after the move ${MOVED_ROWS[$table]:-?}"
      failed=1
    else
      moved=$((moved + ${BACKUP_ROWS[$table]}))
    fi
  done <<<"$1"
  printf 'sqlcipher-shell migration: %d entries, %d rows inserted, %d.%03d s wall, %s s in statements%s\n' \
    "${#TABLE_LIST[@]}" "$moved" $(($2 / 1000)) $(($2 % 1000)) "$statements" \
    "$([[ $failed == 0 ]] && echo '' || echo ', WITH FAILURES')"
  return "$failed"
}

main "$@"
