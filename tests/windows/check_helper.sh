# shellcheck shell=bash
# What the Windows checks share; sourced by each script in checks/. A check
# prints "ok - WHAT" and exits 0, or prints what it saw, "FAIL - WHAT" and
# exits 1, or prints "skipped: WHY" and exits 77.
#
# Environment (set by tests/windows/CMakeLists.txt): BREVAK_SOURCE_DIR,
# BREVAK_WINDOWS_BUILD, BREVAK_LINUX_BUILD, BREVAK_EMULATOR (the build's
# run_under_wine.sh), BREVAK_WINE_STATE, BREVAK_WINE_CHECKS (where
# screenshots and both sides' dumps are left).
set -euo pipefail
root=${BREVAK_SOURCE_DIR:?}
win_build=${BREVAK_WINDOWS_BUILD:?}
cd "$root"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

pass() { echo "ok - $*"; exit 0; }
fail() { echo "FAIL - $*"; exit 1; }
skip() { echo "skipped: $*"; exit 77; }

# --- Wine -----------------------------------------------------------------------
# Skips the check when the programs cannot run under Wine; else points
# wine, wineserver and winepath at the checks' prefix and X server.
need_wine() {
  local reason status=0
  reason=$("$BREVAK_EMULATOR") || status=$?
  [ $status -eq 0 ] || { echo "$reason"; exit "$status"; }
  DISPLAY=:$(cat "$BREVAK_WINE_STATE/display")
  export WINEPREFIX=$BREVAK_WINE_STATE/prefix DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  drive_c=$WINEPREFIX/drive_c
  screenshots=${BREVAK_WINE_CHECKS:-$win_build/wine-checks}
  mkdir -p "$screenshots"
}

# A program of the Windows build, run under Wine through the emulator.
run_windows() { "$BREVAK_EMULATOR" "$@"; }

# Skips the check without the named programs of the Linux build.
need_linux_build() {  # program...
  local linux=${BREVAK_LINUX_BUILD:-} program
  [ -n "$linux" ] && [ -d "$linux" ] ||
    skip "no Linux build at '${linux}' (configure with -DBREVAK_LINUX_BUILD=FOLDER)"
  for program in "$@"; do
    [ -x "$linux/$program" ] || skip "the Linux build lacks $linux/$program (build it first)"
  done
  linux_build=$(cd "$linux" && pwd)
}

key='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Brevak.exe'
reg_add() { wine reg add "$key" "$@" /f </dev/null >/dev/null 2>&1; }
windows_path() { echo "Z:${1//\//\\}"; }

# Runs a Windows program with a UI script; the transcript goes to $2.
scripted() {  # script-file transcript-file program [args...]
  local script=$1 transcript=$2
  shift 2
  BREVAK_UI_SCRIPT=$(windows_path "$script") run_windows "$@" </dev/null >"$transcript" 2>/dev/null
}

# The checks program passed: "N passed, 0 failed" for some N on its last line.
checks_passed() {  # output-file
  tail -1 "$1" | tr -d '\r' | grep -qE '^[1-9][0-9]* passed, 0 failed$'
}

# --- the installation and the package --------------------------------------
# A fresh installation of release 5.06.0004 in C:\Brevak (App Paths names
# it) and the package of 5.06.0005 in C:\升级包 beside both Windows tools.
# Sets install and package.
make_installation() {
  install=$drive_c/Brevak
  package=$drive_c/升级包
  rm -rf "$install" "$package"
  mkdir -p "$install" "$package"
  cp tests/fixtures/pe/brevak_5_06_0004.exe "$install/Brevak.exe"
  cp tests/fixtures/pe/brevak_5_06_0005.exe "$package/Brevak.exe"
  local f
  for f in Addr.mdb Customerdata.car setup.ini; do
    echo "installed $f" >"$install/$f"
    echo "packaged $f" >"$package/$f"
  done
  cp "$win_build/brevak-upgrade.exe" "$win_build/tool-without-engine.exe" "$package/"
  wine reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
  reg_add /ve /t REG_SZ /d 'C:\Brevak\Brevak.exe'
}

# The installation's subfolders, one a line.
folders_of() { find "$1" -mindepth 1 -maxdepth 1 -type d | sort; }

# --- windows on the X server --------------------------------------------------
# Waits for a window of the given title and size; prints its id.
window_of_size() {  # title width height
  local id geometry
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      geometry=$(LC_ALL=C xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
      if [ "$geometry" = "$2x$3" ]; then echo "$id"; return 0; fi
    done
    sleep 0.2
  done
  return 1
}
# Waits for a visible window of the given title other than the window
# `except`; prints its id.
window_titled() {  # title [except]
  local id
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      [ "$id" != "${2:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
# Waits for a process to end; its exit code, or 124 after 20 seconds.
wait_for() {  # pid
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
    sleep 0.2
  done
  kill "$1" 2>/dev/null || true
  return 124
}
# Presses Enter in a window. Without a window manager the keyboard focus
# follows the pointer, so the pointer goes into the window first.
press_return() {  # window-id
  xdotool mousemove --window "$1" 10 10
  sleep 0.3
  xdotool key Return
}
