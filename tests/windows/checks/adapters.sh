#!/usr/bin/env bash
# The Win32 adapters against the real calls: win32-adapter-checks.exe, run
# from a folder with a Chinese name.
source "$(dirname "$0")/../check_helper.sh"
need_wine
mkdir -p "$drive_c/升级包"
cp "$win_build/win32-adapter-checks.exe" "$drive_c/升级包/"
if run_windows 'C:\升级包\win32-adapter-checks.exe' </dev/null >"$work/adapters" 2>/dev/null &&
   checks_passed "$work/adapters"; then
  pass "adapters: $(tail -1 "$work/adapters")"
fi
grep '^FAIL' "$work/adapters" || true
fail "adapters: $(tail -1 "$work/adapters")"
