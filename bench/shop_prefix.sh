# Sourced by the benchmarks: make_shop_prefix ROWS PREFIX makes a Wine-style
# prefix whose installation (C:\Brevak, old release) holds ROWS shop rows
# and whose package (C:\pkg, new release) holds fresh databases and the tool
# itself. Needs MAKER (make-shop-data) and TOOL (brevak-upgrade).
make_shop_prefix() {
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
