# The view draws itself on the X server, from pixmaps of the sheets. What a
# person sees must be exactly the picture the program composes in memory
# for the same content, at scale 1 and at scale 2: during a run at full
# speed, and when a window that covered the view while it stood still has
# moved away again. Sourced by harness.sh.

: "${KESTRUM_VIEW_PICTURE:?KESTRUM_VIEW_PICTURE names the view_picture_of tool}"
[ "$E2E_HAS_WM" = 1 ] || { echo "SKIP: moving a window over the view needs a window manager (openbox)"; exit 77; }

count_above() {
  local n
  n=$(e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p')
  [ -n "$n" ] && [ "$n" -gt "$1" ]
}
logged() { grep -q "$1" "$E2E_WORK/program.log"; }

# view_shot NAME SCALE: the view's pixels out of a screenshot of the window;
# the view sits inside a two-pixel edge at the bottom of the frame.
view_shot() {
  local window height scale=$2
  window=$(e2e_screenshot "$1")
  height=$(identify -format '%h' "$window")
  convert "$window" -crop "$((280 * scale))x$((42 * scale))+$((2 * scale))+$((height - 44 * scale))" +repage \
    "$KESTRUM_ARTIFACTS/$1-view.png"
  echo "$KESTRUM_ARTIFACTS/$1-view.png"
}

differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }

# The game goes on between reading the block and taking the picture, so the
# program is held still for both; should it be held between a game's block
# and its repaint (a few microseconds in ten milliseconds), the next hold
# looks again.
running_view_matches() {
  local scale=$1 try shot
  for try in 1 2 3; do
    kill -STOP "$E2E_PID"
    sleep 0.2
    "$KESTRUM_VIEW_PICTURE" "$scale" "$E2E_WORK/expected.png" status "$E2E_STATUS_BLOCK"
    shot=$(view_shot "running-${scale}x" "$scale")
    kill -CONT "$E2E_PID"
    RUNNING_DIFF=$(differing "$shot" "$E2E_WORK/expected.png")
    [ "$RUNNING_DIFF" = 0 ] && return 0
    e2e_log "try $try: $RUNNING_DIFF pixels differ from the block's game"
    sleep 0.3
  done
  return 1
}

# Kept at the bottom of the screen, below the program's window, until it
# is moved over the view.
away_y=450
xmessage -name view-cover -geometry "700x300+0+$away_y" "a window over the view" &
E2E_PIDS+=($!)
cover_window() { xdotool search --onlyvisible --classname '^view-cover$' 2>/dev/null | head -n1; }
cover_shown() { [ -n "$(cover_window)" ]; }
e2e_expect "the covering window is there" e2e_wait_for 10 cover_shown
cover=$(cover_window)

for scale in 1 2; do
  carried=$((1234567 * scale))
  e2e_preset_store SPEED=10 ACCUMULATIONCNT=$carried
  : >"$E2E_WORK/program.log"
  QT_SCALE_FACTOR=$scale QT_LOGGING_RULES="kestrum.view.debug=true" e2e_start
  e2e_find_window
  e2e_expect "at scale $scale the view is drawn on the X server" \
    e2e_wait_for 5 logged "sheets uploaded to the X server at scale $scale"

  # --- standing still: covered, then uncovered -------------------------------
  "$KESTRUM_VIEW_PICTURE" "$scale" "$E2E_WORK/start.png" start "$carried"
  shot=$(view_shot "idle-${scale}x" "$scale")
  e2e_expect "at scale $scale the first picture is exact ($(differing "$shot" "$E2E_WORK/start.png") pixels differ)" \
    test "$(differing "$shot" "$E2E_WORK/start.png")" = 0
  eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
  xdotool windowmove --sync "$cover" "$((X > 40 ? X - 40 : 0))" "$((Y > 40 ? Y - 40 : 0))"
  xdotool windowactivate --sync "$cover"
  sleep 0.5
  shot=$(view_shot "covered-${scale}x" "$scale")
  e2e_expect "at scale $scale the other window covers the view" \
    test "$(differing "$shot" "$E2E_WORK/start.png")" -gt 1000
  xdotool windowmove --sync "$cover" 0 "$away_y"
  sleep 0.5
  shot=$(view_shot "uncovered-${scale}x" "$scale")
  e2e_expect "at scale $scale the uncovered view is redrawn exactly ($(differing "$shot" "$E2E_WORK/start.png") pixels differ)" \
    test "$(differing "$shot" "$E2E_WORK/start.png")" = 0

  # --- a run at full speed --------------------------------------------------------
  e2e_key F2
  e2e_expect "at scale $scale the run counts games" e2e_wait_for 5 count_above $((carried + 50))
  e2e_expect "at scale $scale the running view shows exactly its game" running_view_matches "$scale"

  e2e_close
  e2e_wait_exit 15
  e2e_expect "at scale $scale the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
  e2e_expect "at scale $scale no X error was reported" bash -c "! grep -qi 'xcb.*error' '$E2E_WORK/program.log'"
done
