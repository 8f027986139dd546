# Compares the installation's databases after an upgrade with its backup's.
# Sourced by scripts/demo and scripts/e2e after demo_shop.sh.

# The tables an update carries over, as the shop's schema lists them
# (make-shop-data --print-moved-tables), space-separated with a space at
# each end; read by demo_compare_counts. Ins_Discount (the insurers'
# discount terms) is not among them: the user saves it by hand, as the start
# prompt says.
DEMO_CARRIED_TABLES=

demo_load_carried_tables() {  # build
  DEMO_CARRIED_TABLES=" $("$1/make-shop-data" --print-moved-tables | awk '{ print $2 }' | sort -u | tr '\n' ' ')"
  [ "$DEMO_CARRIED_TABLES" != " " ]
}

demo_is_carried() { [[ $DEMO_CARRIED_TABLES == *" $1 "* ]]; }

# Writes "file table backup-rows rows-now package-rows verdict" lines to
# OUT and sets DEMO_CARRIED_OK / DEMO_CARRIED_BAD (tables that carried or
# did not) and DEMO_TOTAL_ROWS (rows carried in all).
demo_compare_counts() {  # build install backup package out
  local build=$1 install=$2 backup=$3 package=$4 out=$5
  demo_load_carried_tables "$build" || return
  demo_counts "$build" "$backup" >"$out.backup" || return
  demo_counts "$build" "$install" >"$out.now" || return
  demo_counts "$build" "$package" >"$out.package" || return
  DEMO_CARRIED_OK=0 DEMO_CARRIED_BAD=0 DEMO_TOTAL_ROWS=0
  : >"$out"
  local file table before now shipped verdict
  while read -r file table before; do
    now=$(awk -v f="$file" -v t="$table" '$1 == f && $2 == t { print $3 }' "$out.now")
    shipped=$(awk -v f="$file" -v t="$table" '$1 == f && $2 == t { print $3 }' "$out.package")
    if demo_is_carried "$table"; then
      if [ "$now" = "$before" ]; then
        verdict=carried DEMO_CARRIED_OK=$((DEMO_CARRIED_OK + 1)) DEMO_TOTAL_ROWS=$((DEMO_TOTAL_ROWS + now))
      else
        verdict=NOT-CARRIED DEMO_CARRIED_BAD=$((DEMO_CARRIED_BAD + 1))
      fi
    elif [ "$now" = "$shipped" ]; then
      verdict='as shipped (saved by hand)'
    else
      verdict='CHANGED (should be as shipped)' DEMO_CARRIED_BAD=$((DEMO_CARRIED_BAD + 1))
    fi
    printf '%s %s %s %s %s %s\n' "$file" "$table" "$before" "${now:-?}" "${shipped:-?}" "$verdict" >>"$out"
  done <"$out.backup"
  rm -f "$out.backup" "$out.now" "$out.package"
}

# Prints the comparison as a table.
demo_print_counts() {  # compare-file
  printf '  %-17s %-18s %8s %8s  %s\n' file table backup now ''
  local file table before now shipped verdict
  while read -r file table before now shipped verdict; do
    printf '  %-17s %-18s %8s %8s  %s\n' "$file" "$table" "$before" "$now" "$verdict"
  done <"$1"
}
