#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, on the checks' prefix and
# X server (the fixtures of tests/windows/CMakeLists.txt): the build's
# cross-compiling emulator. Without a program it only says whether the
# programs can run; with --installed, whether Wine and Xvfb are there.
#
# When they cannot (Wine or Xvfb missing, BREVAK_WINE_MISSING set, the
# prefix or the X server not made) it prints the reason on one line and
# exits 77, which CTest counts as skipped.
#
# Environment: BREVAK_WINE_STATE, the folder holding the prefix (prefix/)
# and the X server's display number (display).
set -u

skip() { echo "skipped: $1"; exit 77; }

[ -z "${BREVAK_WINE_MISSING:-}" ] || skip "$BREVAK_WINE_MISSING"
command -v wine >/dev/null 2>&1 || skip "Wine is not installed"
command -v Xvfb >/dev/null 2>&1 || skip "Xvfb is not installed"
[ "${1:-}" != --installed ] || exit 0
state=${BREVAK_WINE_STATE:-}
[ -n "$state" ] || skip "BREVAK_WINE_STATE is not set (run the checks through ctest)"
[ -s "$state/display" ] || skip "no X server for the checks (the Xvfb fixture did not start it)"
[ -f "$state/prefix/system.reg" ] || skip "no Wine prefix for the checks (its fixture did not make it)"
[ $# -gt 0 ] || exit 0

DISPLAY=:$(cat "$state/display")
export WINEPREFIX=$state/prefix DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
