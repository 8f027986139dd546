#!/usr/bin/env bash
# A whole upgrade under Wine, with real rows. The demo shop (tools/demo)
# upgraded by the real brevak-upgrade.exe with Wine's SHFileOperationA,
# FileSystemObject, registry and version.dll, its database calls made
# late-bound through IDispatch as on Windows: the test harness's
# ADODB.Connection (tests/wine_ado, registered with the prefix's 32-bit
# regsvr32) forwards each to wine-ado-helper, which runs it on the
# project's SQLCipher/Jet connection.
#
#   wine_ado.sh pooling   the harness pools as ADO does unless told
#                         otherwise: a closed connection of ADO's default
#                         keeps the file, the adapter's does not
#   wine_ado.sh whole     the rows of every table equal to the Linux build's
#                         upgrade of an identical shop
#   wine_ado.sh failing   the same with one table whose insert fails:
#                         rolled back to the package's rows and named
source "$(dirname "$0")/../check_helper.sh"
need_wine
need_linux_build tests/wine-ado-helper brevak-upgrade make-shop-data
case_name=$1
rows=2000
source tools/demo/demo_shop.sh
source tools/demo/demo_summary.sh

# Registers the DLL and starts the helper.
helper_pid=
trap '[ -z "$helper_pid" ] || kill "$helper_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$drive_c/wine-ado"
cp "$win_build/test-harness/wine-ado-server.dll" "$drive_c/wine-ado/"
regsvr32='C:\windows\system32\regsvr32.exe'
[ ! -d "$drive_c/windows/syswow64" ] || regsvr32='C:\windows\syswow64\regsvr32.exe'
started=0
if wine "$regsvr32" /s 'C:\wine-ado\wine-ado-server.dll' </dev/null >/dev/null 2>&1; then
  "$linux_build/tests/wine-ado-helper" --max-seconds 900 </dev/null >"$work/wine-ado.port" 2>"$work/wine-ado.err" &
  helper_pid=$!
  for _ in $(seq 50); do [ -s "$work/wine-ado.port" ] && break; sleep 0.1; done
  BREVAK_WINE_ADO_PORT=$(head -1 "$work/wine-ado.port")
  export BREVAK_WINE_ADO_PORT
  [ -z "$BREVAK_WINE_ADO_PORT" ] || started=1
fi
if [ $started = 0 ]; then
  cat "$work/wine-ado.err" 2>/dev/null || true
  fail "wine ADO harness: the DLL did not register or the helper did not start"
fi
echo "ADODB.Connection of the harness registered, helper on 127.0.0.1:$BREVAK_WINE_ADO_PORT"

# The whole database files, every table's rows in order, as text.
dump_databases() {  # folder
  printf "PRAGMA key='mqzvtw';\n.dump\n" | sqlcipher "$1/Customerdata.car"
  sqlite3 "$1/Addr.mdb" .dump
}

# A fresh demo shop in the Wine prefix (with its registry entry) and an
# identical one in a Linux prefix; `alter` (a function or :) then changes
# both installations alike. Sets wine_install, wine_package, linux_install,
# linux_tool.
make_shops() {  # alter
  rm -rf "$drive_c/Program Files/Brevak" "$drive_c/Brevak升级包"
  demo_fill_shop "$drive_c" "$linux_build" "$rows"
  wine_install=$DEMO_INSTALL wine_package=$DEMO_PACKAGE
  cp "$win_build/brevak-upgrade.exe" "$wine_package/"
  wine reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
  reg_add /ve /t REG_SZ /d 'C:\Program Files\Brevak\Brevak.exe'
  reg_add /v Path /t REG_SZ /d 'C:\Program Files\Brevak\'
  demo_make_shop "$work/linux-prefix" "$linux_build" "$rows"
  linux_install=$DEMO_INSTALL linux_tool=$DEMO_TOOL
  "$1" "$wine_install"
  "$1" "$linux_install"
}

# Upgrades both shops (Yes, 开始更新, OK to the last message); leaves
# $work/NAME.{wine,linux}.{transcript,counts,dump}. False when either
# program did not end with 0.
upgrade_both() {  # name
  local status=0 side install
  printf 'yes\nclick CmdUpdate\nok\nclose\n' >"$work/upgrade.script"
  scripted "$work/upgrade.script" "$work/$1.wine.transcript" 'C:\Brevak升级包\brevak-upgrade.exe' || status=$?
  WINEPREFIX=$work/linux-prefix BREVAK_UI_SCRIPT=$work/upgrade.script "$linux_tool" \
    </dev/null >"$work/$1.linux.transcript" 2>/dev/null || status=$?
  for side in wine linux; do
    install=$wine_install
    [ $side = wine ] || install=$linux_install
    demo_counts "$linux_build" "$install" >"$work/$1.$side.counts"
    dump_databases "$install" >"$work/$1.$side.dump" 2>&1
    # The backup folder's name and its date in words are the clock's; the
    # rest must be equal.
    sed -i -E 's/[0-9]{14}/STAMP/g; s/[0-9]{4}年[0-9]{2}月[0-9]{2}日[0-9]{2}时[0-9]{2}分[0-9]{2}秒/WHEN/g' \
      "$work/$1.$side.transcript"
    cp "$work/$1.$side.transcript" "$work/$1.$side.counts" "$screenshots/" 2>/dev/null || true
  done
  return $status
}

# Both sides agree: the transcripts, the rows of every table, the contents.
sides_agree() {  # name
  cmp -s "$work/$1.wine.transcript" "$work/$1.linux.transcript" &&
    cmp -s "$work/$1.wine.counts" "$work/$1.linux.counts" &&
    cmp -s "$work/$1.wine.dump" "$work/$1.linux.dump" && [ -s "$work/$1.wine.counts" ] &&
    grep -q '^INSERT INTO "CarOwner"' "$work/$1.wine.dump"
}

show_difference() {  # name
  diff "$work/$1.wine.transcript" "$work/$1.linux.transcript" | head -20 || true
  diff "$work/$1.wine.counts" "$work/$1.linux.counts" | head -20 || true
  diff "$work/$1.wine.dump" "$work/$1.linux.dump" | head -10 || true
  cat "$work/wine-ado.err" 2>/dev/null || true
}

# Every carried table holds the backup's rows (demo_compare_counts).
carried() {  # expected-tables-not-carried
  local backup
  backup=$(demo_backup_dir "$wine_install")
  [ -n "$backup" ] &&
    demo_compare_counts "$linux_build" "$wine_install" "$backup" "$wine_package" "$work/carried" &&
    [ "$DEMO_CARRIED_BAD" -eq "$1" ] && [ "$DEMO_TOTAL_ROWS" -gt 0 ]
}

# An installed table with a field the package's lacks: its insert fails
# ("unknown field name") after its delete ran.
extra_field() {  # install
  printf "PRAGMA key='mqzvtw';\nALTER TABLE SmsSave ADD COLUMN Retired TEXT;\n" |
    sqlcipher "$1/Customerdata.car" >/dev/null
}

case $case_name in
  pooling)
    make_shops :
    cp "$win_build/win32-adapter-checks.exe" "$drive_c/wine-ado/"
    if BREVAK_POOLING_FILE='C:\Program Files\Brevak\Addr.mdb' \
         run_windows 'C:\wine-ado\win32-adapter-checks.exe' </dev/null >"$work/pooling" 2>/dev/null &&
       checks_passed "$work/pooling"; then
      pass "pooling: $(tail -1 "$work/pooling")"
    fi
    grep '^FAIL' "$work/pooling" || true
    fail "pooling: $(tail -1 "$work/pooling")"
    ;;
  whole)
    make_shops :
    if upgrade_both whole && sides_agree whole && carried 0 &&
       grep -qx 'msgbox OK 升级完成' "$work/whole.wine.transcript"; then
      pass "whole upgrade under Wine, the harness pooling: $DEMO_CARRIED_OK tables, $DEMO_TOTAL_ROWS rows carried; every table equal to the Linux build's"
    fi
    show_difference whole
    fail "whole upgrade under Wine"
    ;;
  failing)
    make_shops extra_field
    shipped=$(awk '$1 == "Customerdata.car" && $2 == "SmsSave" { print $3 }' <(demo_counts "$linux_build" "$wine_package"))
    if upgrade_both failing && sides_agree failing && carried 1 &&
       grep -qx "Customerdata.car SmsSave $shipped" "$work/failing.wine.counts" &&
       grep -q '^msgbox OK 升级没有完成：有 1 个数据表的数据没有转移到新版本中：\\r\\nSmsSave\\r\\n这些数据没有丢失，仍保存在备份文件夹 C:\\\\Program Files\\\\Brevak\\\\STAMP（WHEN）中。\\r\\n再次点击“开始更新”也不能解决这个问题，请联系技术支持；在此之前请先不要在Brevak中录入数据。\\r\\n数据库引擎的说明：.' \
         "$work/failing.wine.transcript"; then
      pass "a failing insert under Wine: SmsSave rolled back to the package's $shipped rows and named; equal to the Linux build's"
    fi
    show_difference failing
    grep '^msgbox' "$work/failing.wine.transcript" || true
    fail "a failing insert under Wine"
    ;;
  *) fail "wine ADO: no case '$case_name'" ;;
esac
