#!/usr/bin/env bash
# Differential: the registry listing and version records that the Windows
# build reads through Wine's registry and version.dll equal, byte for byte,
# those the Linux build reads from the same prefix's system.reg and PE
# files. The PE fixtures are read once where they are (Z:) and once in a
# folder with a Chinese name on C:, so paths cross the code page too.
#
#   differential.sh value-types | long-name | no-key
source "$(dirname "$0")/../check_helper.sh"
need_wine
need_linux_build tests/dump-platform
case_name=$1

mkdir -p "$drive_c/版本文件"
cp tests/fixtures/pe/*.exe "$drive_c/版本文件/"
files=()
for fixture in tests/fixtures/pe/*.exe; do
  files+=("$(windows_path "$root/$fixture")" "C:\\版本文件\\$(basename "$fixture")")
done
files+=('C:\版本文件\missing.exe')
export BREVAK_DIFF='D:\差异目录'

every_value_type() {
  reg_add /ve /t REG_SZ /d 'C:\Program Files\Brevak\Brevak.exe'
  reg_add /v Path /t REG_SZ /d 'C:\Program Files\Brevak\'
  reg_add /v empty /t REG_SZ /d ''
  reg_add /v 安装目录 /t REG_SZ /d 'C:\汽修软件\Brevak\'
  reg_add /v ex /t REG_EXPAND_SZ /d '%BREVAK_DIFF%\x %NO_SUCH_VARIABLE% 100%'
  reg_add /v ex0 /t REG_EXPAND_SZ /d ''
  reg_add /v bin /t REG_BINARY /d 000AFF
  reg_add /v bin0 /t REG_BINARY /d ''
  reg_add /v n /t REG_DWORD /d 0xFFFFFFFF
  reg_add /v d0 /t REG_DWORD /d 0
  reg_add /v b /t REG_DWORD_BIG_ENDIAN /d 16777216
  reg_add /v m /t REG_MULTI_SZ /d 'a\0b\0中文项'
  reg_add /v m0 /t REG_MULTI_SZ /d ''
  reg_add /v none /t REG_NONE /d ''
  reg_add /v q /t REG_QWORD /d 5
}

wine reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
case $case_name in
  value-types)
    title="every value type"
    every_value_type
    ;;
  long-name)
    # A name of 300 bytes ends the enumeration; an unnamed REG_EXPAND_SZ has
    # no label.
    title="unnamed expandable value and a long name"
    every_value_type
    wine reg delete "$key" /ve /f </dev/null >/dev/null 2>&1
    reg_add /ve /t REG_EXPAND_SZ /d '%BREVAK_DIFF%\Brevak\Brevak.exe'
    reg_add /v "$(printf 'L%.0s' $(seq 300))" /t REG_SZ /d 'long'
    ;;
  no-key) title="no key" ;;
  *) fail "differential: no case '$case_name'" ;;
esac

wineserver -w  # the registry is written to system.reg when the server ends
# A program that fails leaves a short dump, which the comparison reports.
run_windows "$win_build/dump-platform.exe" "${files[@]}" </dev/null >"$work/windows" 2>/dev/null || true
"$linux_build/tests/dump-platform" "${files[@]}" >"$work/linux" 2>"$work/linux.err" || true
# Wine's VerLanguageNameA names languages in English whatever the locale;
# Windows and the Linux build name them in the user's language. The
# language lines are compared apart.
grep -v '^  5 ' "$work/windows" >"$work/windows.cut" || true
grep -v '^  5 ' "$work/linux" >"$work/linux.cut" || true
if ! [ -s "$work/windows.cut" ] || ! cmp -s "$work/windows.cut" "$work/linux.cut"; then
  diff "$work/windows" "$work/linux" | head -20 || true
  cat "$work/linux.err"
  fail "differential $title"
fi
cp "$work/windows" "$screenshots/dump $title.windows.txt"
cp "$work/linux" "$screenshots/dump $title.linux.txt"

case $case_name in
  value-types)
    grep -q '^listing "(预设值)=' "$work/linux" || fail "the listing starts with the unnamed value"
    if diff <(grep '^  5 ' "$work/windows" | sort -u) <(grep '^  5 ' "$work/linux" | sort -u) >"$work/languages"; then
      echo "note - language names agree"
    else
      echo "note - language names differ (Wine names them in English):"
      sed 's/^/  /' "$work/languages" | head -8
    fi
    ;;
  no-key) grep -q '^listing (none)$' "$work/windows" || fail "no key: no listing" ;;
esac
pass "differential $title: listing and version records equal ($(grep -c '^file ' "$work/linux") files)"
