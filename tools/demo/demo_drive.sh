# Drives the tool's real Qt window through a full upgrade on an X server
# with xdotool, saving a screenshot of each step. Sourced by scripts/demo and
# scripts/e2e after demo_shop.sh.
#
# Windows are found by their title "Brevak升级": the update window is the
# one of 484 x 140 pixels, every other one is a message box. Controls are
# clicked at fixed points of the window's client area, whose layout is fixed.
# Every wait has a time limit; a step that times out fails with a message.

readonly DEMO_TITLE='^Brevak升级$'
readonly DEMO_CLIENT_SIZE=484x140
# Points inside the controls, in pixels from the client area's corner.
readonly DEMO_AT_GET_HISTORY='352 20'
readonly DEMO_AT_UPDATE='288 116'
readonly DEMO_AT_CLOSE='416 116'
readonly DEMO_AT_FIRST_ENTRY='60 17'
readonly DEMO_RESTORE_RECT='241x25+232+48'  # CmdRestore, for a picture of its label
readonly DEMO_BAR_START='12 88'             # inside ProgressBar1, near its left end
readonly DEMO_BAR_MIDDLE='240 88'           # inside ProgressBar1, at its middle

demo_fail() {
  echo "demo: $*" >&2
  return 1
}

# Starts Xvfb on a free display number and exports DISPLAY.
demo_start_xvfb() {  # work-dir
  local display_file=$1/display
  rm -f "$display_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$1/xvfb.log" 2>&1 &
  DEMO_XVFB_PID=$!
  local _
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || demo_fail "Xvfb did not start (see $1/xvfb.log)" || return
  export DISPLAY=:$(cat "$display_file")
}

demo_stop_xvfb() {
  [ -z "${DEMO_XVFB_PID:-}" ] || kill "$DEMO_XVFB_PID" 2>/dev/null || true
  DEMO_XVFB_PID=
}

# The locale the tool runs under: the caller's when it is UTF-8, else
# C.UTF-8. Qt writes a window's legacy title (WM_NAME, which xdotool
# searches) in the locale's character set, so under LC_ALL=C no window would
# be found by the title "Brevak升级".
demo_utf8_locale() {
  if [ "$(locale charmap 2>/dev/null)" = UTF-8 ]; then echo "${LC_ALL:-}"; else echo C.UTF-8; fi
}

# The visible windows titled "Brevak升级", one id a line.
demo_windows() { xdotool search --onlyvisible --name "$DEMO_TITLE" 2>/dev/null || true; }

demo_size_of() {  # window
  xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/^ *Geometry: //p'
}

# Waits up to SECONDS for a visible window titled "Brevak升级" other than
# EXCEPT (may be empty) whose size is (or, with "!", is not) SIZE; prints
# its id. A window must still be there a moment later, so a progress window
# that flashes by is not taken for a message box.
demo_wait_window() {  # seconds except size|!size
  local seconds=$1 except=$2 want=$3 deadline w size
  deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt "$deadline" ]; do
    kill -0 "$DEMO_TOOL_PID" 2>/dev/null || { demo_fail "the tool ended early"; return; }
    for w in $(demo_windows); do
      [ "$w" != "$except" ] || continue
      size=$(demo_size_of "$w")
      if [ "${want:0:1}" = '!' ]; then [ "$size" != "${want:1}" ] || continue
      else [ "$size" = "$want" ] || continue; fi
      sleep 0.3
      demo_windows | grep -qx "$w" && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  demo_fail "no window titled Brevak升级 ($want) within ${seconds}s"
}

# Waits until WINDOW is gone.
demo_wait_gone() {  # seconds window
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt "$deadline" ]; do
    demo_windows | grep -qx "$2" || return 0
    sleep 0.1
  done
  demo_fail "window $2 still open after $1s"
}

# Answers a message box with its default button (Yes, or OK).
demo_press_default() {  # box
  timeout 10 xdotool windowfocus --sync "$1" && timeout 10 xdotool key Return
}

demo_click() {  # window x y
  timeout 10 xdotool mousemove --window "$1" "$2" "$3" click 1
}

# A screenshot of a message box alone: the X server has no window manager
# here, so the box's own window is all of it, without the empty screen
# around it.
demo_box_shot() {  # file box
  timeout 20 import -window "$2" "$1"
  DEMO_SHOTS+=("$1")
}

# A screenshot of the whole screen, or of one window when given; the
# window's shots and its size as the X server reports it at that moment are
# kept in DEMO_WINDOW_SHOTS and DEMO_WINDOW_SIZES.
demo_shot() {  # file [window]
  if [ -n "${2:-}" ]; then
    timeout 20 import -window "$2" "$1"
    DEMO_WINDOW_SHOTS+=("$1")
    DEMO_WINDOW_SIZES+=("$(demo_size_of "$2")")
  else
    timeout 20 import -window root "$1"
  fi
  DEMO_SHOTS+=("$1")
}

# A pixel's colour as "R,G,B" (0-255), whatever the image's colour type.
demo_pixel() {  # image x y
  convert "$1" -format "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" \
    info: 2>/dev/null
}

# True when a capture of the update window shows the progress bar with its
# fill part of the way: filled at the left end, not yet at the middle.
demo_mid_upgrade() {  # image
  local start middle
  start=$(demo_pixel "$1" $DEMO_BAR_START)
  middle=$(demo_pixel "$1" $DEMO_BAR_MIDDLE)
  [ -n "$start" ] && [ "$start" != "$middle" ] && [ "$middle" = 255,255,255 ]
}

# Clicks start update and captures the window while the update runs, until
# a message box appears. Keeps one capture with the progress bar partly
# filled as 03-upgrading.png (none when the update was too quick to catch).
demo_capture_update() {  # shots-dir window
  local shots=$1 window=$2 frames=$1/.frames n=0 deadline
  rm -rf "$frames"
  mkdir -p "$frames"
  demo_click "$window" $DEMO_AT_UPDATE
  deadline=$((SECONDS + 60))
  while [ $SECONDS -lt "$deadline" ] && [ "$(demo_windows | wc -l)" -le 1 ]; do
    n=$((n + 1))
    xwd -silent -id "$window" >"$frames/$n.xwd" 2>/dev/null || break
  done
  # The last such frame: the bar nearest half-way.
  DEMO_UPGRADING_SHOT=
  local i
  for i in $(seq "$n" -1 1); do
    convert "xwd:$frames/$i.xwd" "$frames/$i.png" 2>/dev/null || continue
    if demo_mid_upgrade "$frames/$i.png"; then
      DEMO_UPGRADING_SHOT=$shots/03-upgrading.png
      mv "$frames/$i.png" "$DEMO_UPGRADING_SHOT"
      DEMO_SHOTS+=("$DEMO_UPGRADING_SHOT")
      break
    fi
  done
  rm -rf "$frames"
}

# The whole run: start the tool (a program path, with WINEPREFIX exported),
# Yes at the prompt, start update, OK the last message, show history, click
# the first entry, close. Screenshots go to SHOTS_DIR; DEMO_SHOTS lists them
# all, DEMO_WINDOW_SHOTS those of the update window alone (the capture
# taken mid-update is not among them: it is a frame of a series, kept when
# one shows the progress bar part of the way, DEMO_UPGRADING_SHOT). DEMO_STEPS_OK
# counts the steps done. Returns non-zero at the first step that fails.
demo_drive_upgrade() {  # tool shots-dir log
  local tool=$1 shots=$2 log=$3 prompt window box
  DEMO_SHOTS=() DEMO_WINDOW_SHOTS=() DEMO_WINDOW_SIZES=() DEMO_STEPS_OK=0 DEMO_TOOL_EXIT=
  rm -rf "$shots"
  mkdir -p "$shots"
  LC_ALL=$(demo_utf8_locale) "$tool" >"$log" 2>&1 &
  DEMO_TOOL_PID=$!

  prompt=$(demo_wait_window 20 '' "!$DEMO_CLIENT_SIZE") || return
  demo_box_shot "$shots/01-prompt.png" "$prompt"
  demo_press_default "$prompt"
  window=$(demo_wait_window 20 "$prompt" "$DEMO_CLIENT_SIZE") || return
  DEMO_WINDOW=$window
  demo_shot "$shots/02-window.png" "$window"
  DEMO_STEPS_OK=1

  demo_capture_update "$shots" "$window"
  box=$(demo_wait_window 60 "$window" "!$DEMO_CLIENT_SIZE") || return
  DEMO_LAST_BOX_SIZE=$(demo_size_of "$box")
  demo_box_shot "$shots/04-finished.png" "$box"
  demo_press_default "$box"
  demo_wait_gone 10 "$box" || return
  demo_shot "$shots/05-after-update.png" "$window"
  DEMO_STEPS_OK=2

  demo_click "$window" $DEMO_AT_GET_HISTORY
  sleep 0.5
  demo_shot "$shots/06-history.png" "$window"
  demo_click "$window" $DEMO_AT_FIRST_ENTRY
  sleep 0.5
  demo_shot "$shots/07-backup-selected.png" "$window"
  convert "$shots/07-backup-selected.png" -crop "$DEMO_RESTORE_RECT" +repage "$shots/08-label.png"
  DEMO_SHOTS+=("$shots/08-label.png")
  DEMO_STEPS_OK=3

  demo_click "$window" $DEMO_AT_CLOSE
  demo_wait_exit 20
}

# Waits up to SECONDS for the tool to end; sets DEMO_TOOL_EXIT.
demo_wait_exit() {  # seconds
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt "$deadline" ]; do
    if ! kill -0 "$DEMO_TOOL_PID" 2>/dev/null; then
      DEMO_TOOL_EXIT=0
      wait "$DEMO_TOOL_PID" || DEMO_TOOL_EXIT=$?
      return 0
    fi
    sleep 0.1
  done
  demo_fail "the tool did not end within $1s after 关闭"
}

# Ends the tool if it is still running (after a failed step).
demo_end_tool() {
  [ -n "${DEMO_TOOL_PID:-}" ] && kill -0 "$DEMO_TOOL_PID" 2>/dev/null || return 0
  kill "$DEMO_TOOL_PID" 2>/dev/null || true
  wait "$DEMO_TOOL_PID" 2>/dev/null || true
}

# The restore button's label for the installation's backup, as the tool
# itself shows it: the same steps (Yes, show history, pick the entry) run
# once more through the scripted window system, whose transcript names
# every caption. Changes nothing in the installation.
demo_read_label() {  # tool work-dir entry-index
  local script=$2/label.script
  printf 'yes\nclick cmdGetHistory\nselect %s\nclose\n' "$3" >"$script"
  BREVAK_UI_SCRIPT=$script "$1" 2>/dev/null | sed -n 's/^caption CmdRestore //p' | tail -1
}
