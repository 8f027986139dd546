#!/usr/bin/env bash
# The fixtures of the checks under Wine: an X server (Xvfb) and a fresh Wine
# prefix with the Chinese locale, kept in BREVAK_WINE_STATE between the
# checks.
#
#   wine_fixture.sh xvfb-up | xvfb-down | prefix-up | prefix-down
#
# The set-ups exit 77 with the reason when Wine or Xvfb is missing, so the
# checks that need them are skipped rather than failed.
set -euo pipefail
state=${BREVAK_WINE_STATE:?}
mkdir -p "$state"

# The set-ups need Wine and Xvfb: the emulator says whether they are here.
skip_without_wine() {
  local reason
  reason=$("${BREVAK_EMULATOR:?}" --installed) || { echo "$reason"; exit 77; }
}

# Ends the X server an earlier set-up of this build started.
xvfb_down() {
  local pid
  pid=$(cat "$state/xvfb.pid" 2>/dev/null || true)
  # Only while the number is still that server's.
  if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

prefix_down() {
  if [ -d "$state/prefix" ]; then
    WINEPREFIX=$state/prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$state/prefix"
  fi
}

case ${1:-} in
  xvfb-up)
    skip_without_wine
    xvfb_down
    # Its own session and no descriptor of the test's: CTest waits for the
    # test's output to close, and the server outlives the test.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
      3>"$state/display.new" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do [ -s "$state/display.new" ] && break; sleep 0.1; done
    [ -s "$state/display.new" ] || { echo "Xvfb did not start"; exit 1; }
    mv "$state/display.new" "$state/display"
    echo "X server on :$(cat "$state/display")"
    ;;
  xvfb-down) xvfb_down ;;
  prefix-up)
    skip_without_wine
    prefix_down
    mkdir -p "$state/prefix"
    export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ -s "$state/display" ]; then DISPLAY=:$(cat "$state/display"); export DISPLAY; fi
    wineboot -i </dev/null >/dev/null 2>&1
    # The registry reaches system.reg when the server ends.
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix"; exit 1; }
    echo "Wine prefix $WINEPREFIX ready"
    ;;
  prefix-down) prefix_down ;;
  *) echo "usage: wine_fixture.sh xvfb-up|xvfb-down|prefix-up|prefix-down" >&2; exit 2 ;;
esac
