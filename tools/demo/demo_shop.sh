# Makes a demo shop in a fresh Wine-style prefix: the installed release
# 5.06.0004 under C:\Program Files\Brevak, registered under App Paths in
# system.reg, and the package of release 5.06.0005 under C:\Brevak升级包
# holding a copy of the built tool. Sourced by scripts/demo and scripts/e2e.
#
# demo_make_shop PREFIX BUILD_DIR [ROWS]
#   PREFIX     the prefix folder to make (removed first when it exists)
#   BUILD_DIR  the build folder that holds brevak-upgrade and make-shop-data
#   ROWS       the shop's own records in the installed databases (default 4000)
# Sets DEMO_INSTALL and DEMO_PACKAGE (host paths) and DEMO_TOOL (the tool's
# copy in the package).

demo_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# An INI file as the application writes it: GBK text, CR LF line ends.
demo_write_ini() {  # file version
  printf '%s\r\n' \
    '[系统]' \
    "版本=$2" \
    '软件名称=布雷瓦克汽修管理系统' \
    '数据库=Customerdata.car' \
    '通讯录=Addr.mdb' \
    '[打印]' \
    '结算单标题=汽车维修结算单' \
    '纸张=A4' \
    '[短信]' \
    '端口=COM3' \
    '签名=【布雷瓦克汽修】' |
    iconv -f UTF-8 -t GBK >"$1"
}

# system.reg in Wine's format: HKEY_LOCAL_MACHINE's App Paths entry of the
# application, its default value naming the main program.
demo_write_system_reg() {  # prefix
  cat >"$1/system.reg" <<'EOF'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe] 1765256400
#time=1dc68f3a2b4c5d0
@="C:\\Program Files\\Brevak\\Brevak.exe"
"Path"="C:\\Program Files\\Brevak\\"

EOF
}

demo_make_prefix() {  # prefix
  rm -rf "$1"
  mkdir -p "$1/drive_c" "$1/dosdevices"
  ln -s ../drive_c "$1/dosdevices/c:"
  ln -s / "$1/dosdevices/z:"
  demo_write_system_reg "$1"
}

demo_make_shop() {  # prefix build-dir [rows]
  demo_make_prefix "$1"
  demo_fill_shop "$1/drive_c" "$2" "${3:-4000}"
}

# The installation and the package on a C: drive that exists, e.g. a real
# Wine prefix's drive_c (whose registry the caller fills).
demo_fill_shop() {  # drive-c build-dir [rows]
  local drive_c=$1 build=$2 rows=${3:-4000}
  local fixtures=$demo_source_dir/tests/fixtures/pe
  DEMO_INSTALL=$drive_c/Program\ Files/Brevak
  DEMO_PACKAGE=$drive_c/Brevak升级包
  DEMO_TOOL=$DEMO_PACKAGE/brevak-upgrade
  mkdir -p "$DEMO_INSTALL" "$DEMO_PACKAGE"

  # The installation: release 5.06.0004 with the shop's records.
  cp "$fixtures/brevak_5_06_0004.exe" "$DEMO_INSTALL/Brevak.exe"
  cp "$fixtures/no_resources.exe" "$DEMO_INSTALL/vkUserControlsXP.ocx"
  cp "$fixtures/no_resources.exe" "$DEMO_INSTALL/adbctl32.dll"
  demo_write_ini "$DEMO_INSTALL/Brevak.ini" 5.06.0004
  "$build/make-shop-data" --out "$DEMO_INSTALL" --variant old --rows "$rows" --package-rows 3 \
    --seed 20121225 --force >/dev/null

  # The package: release 5.06.0005, fresh databases (one added field, and
  # fewer shipped rows than the installation holds, so that a table left
  # unmoved shows in its count),
  # stand-ins for the control library and the database helper, and the
  # tool itself: a real file, since the tool finds its folder from its own
  # executable's path.
  cp "$fixtures/brevak_5_06_0005.exe" "$DEMO_PACKAGE/Brevak.exe"
  cp "$fixtures/no_resources.exe" "$DEMO_PACKAGE/vkUserControlsXP.ocx"
  cp "$fixtures/no_resources.exe" "$DEMO_PACKAGE/adbctl32.dll"
  demo_write_ini "$DEMO_PACKAGE/Brevak.ini" 5.06.0005
  "$build/make-shop-data" --out "$DEMO_PACKAGE" --variant new --package-rows 2 --force >/dev/null
  cp "$build/brevak-upgrade" "$DEMO_TOOL"
}

# The installation's single subfolder that is a fourteen-digit backup stamp,
# as a host path; empty when there is none.
demo_backup_dir() {  # install
  local dir
  for dir in "$1"/[0-9]*/; do
    dir=${dir%/}
    [[ $(basename "$dir") =~ ^[0-9]{14}$ ]] && { printf '%s\n' "$dir"; return; }
  done
}

# The label the restore button shows for a backup folder's name: the
# century from the first two characters, then each pair with its unit.
demo_label_of() {  # stamp
  local s=$1
  printf '恢复%s%s年%s月%s日%s时%s分%s秒数据\n' "${s:0:2}" "${s:2:2}" "${s:4:2}" "${s:6:2}" \
    "${s:8:2}" "${s:10:2}" "${s:12:2}"
}

# "table rows" lines of both databases of a folder, each table prefixed by
# its file, e.g. "Customerdata.car CarOwner 119".
demo_counts() {  # build-dir folder
  "$1/make-shop-data" --print-counts "$2" |
    awk '/^# / { file = $2; next } { print file, $1, $2 }'
}
