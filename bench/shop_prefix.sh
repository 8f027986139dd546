# Sourced by the benchmarks: make_shop_prefix ROWS PREFIX [SHAPE] makes a
# Wine-style prefix whose installation (C:\Brevak, old release) holds ROWS
# shop rows and whose package (C:\pkg, new release) holds fresh databases
# and the tool itself. Both hold the same release's Brevak.exe (the tool
# refuses a package or an installation without one), so the tool asks
# whether to go on; a benchmark that wants a newer package copies its own.
# Needs MAKER (make-shop-data) and TOOL (brevak-upgrade), run from the
# repository's root.
#
# SHAPE spread (the default): the rows spread over the tables as in a real
# shop. SHAPE large-table: a shop whose repair-sheet parts dominate, ROWS
# parts with half as many labour lines and a tenth as many car owners, and
# nothing else.
shop_shape_options() {
  local rows=$1 shape=${2:-spread}
  case $shape in
    spread) echo "--rows $rows" ;;
    large-table) echo "--table Repair_Sheet_Part=$rows --table Repair_Sheet_Work=$((rows / 2))" \
                      "--table CarOwner=$((rows / 10))" ;;
    *) echo "shop_prefix: unknown shape $shape" >&2; return 2 ;;
  esac
}

make_shop_prefix() {
  local rows=$1 prefix=$2 options
  options=$(shop_shape_options "$rows" "${3:-spread}")
  mkdir -p "$prefix/drive_c/Brevak" "$prefix/drive_c/pkg" "$prefix/dosdevices"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  ln -s / "$prefix/dosdevices/z:"
  printf '%s\n' 'WINE REGISTRY Version 2' '' \
    '[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe] 1700000000' \
    '@="C:\\Brevak\\Brevak.exe"' >"$prefix/system.reg"
  "$MAKER" --out "$prefix/drive_c/Brevak" --variant old $options --seed 1 >/dev/null
  "$MAKER" --out "$prefix/drive_c/pkg" --variant new --rows 0 --package-rows 5 >/dev/null
  cp tests/fixtures/pe/brevak_5_06_0005.exe "$prefix/drive_c/Brevak/Brevak.exe"
  cp tests/fixtures/pe/brevak_5_06_0005.exe "$prefix/drive_c/pkg/Brevak.exe"
  cp "$TOOL" "$prefix/drive_c/pkg/brevak-upgrade"
}
