# The view draws itself on the X server, from pixmaps of the sheets. What a
# person sees must be exactly the picture the program composes in memory
# for the same content, at scale 1 and at scale 2: during a run at full
# speed, and when a window that covered the view while it stood still has
# moved away again. On a screen scaled by 1.5 no sheet fits, and Qt paints
# the view as before. Sourced by harness.sh.

: "${KESTRUM_VIEW_PICTURE:?KESTRUM_VIEW_PICTURE names the view_picture_of tool}"
[ "$E2E_HAS_WM" = 1 ] || { echo "SKIP: moving a window over the view needs a window manager (openbox)"; exit 77; }

count_above() {
  local n
  n=$(e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p')
  [ -n "$n" ] && [ "$n" -gt "$1" ]
}
logged() { grep -q "$1" "$E2E_WORK/program.log"; }

# device LENGTH: a length in layout pixels in device pixels at the ratio.
device() { awk -v n="$1" -v r="$ratio" 'BEGIN { print int(n * r) }'; }

# view_shot NAME: the view's pixels out of a screenshot of the window; the
# view sits inside a two-pixel edge at the bottom of the frame.
view_shot() {
  local window height
  window=$(e2e_screenshot "$1")
  height=$(identify -format '%h' "$window")
  convert "$window" -crop "$(device 280)x$(device 42)+$(device 2)+$((height - $(device 44)))" +repage \
    "$KESTRUM_ARTIFACTS/$1-view.png"
  echo "$KESTRUM_ARTIFACTS/$1-view.png"
}

differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }

# The game goes on between reading the block and taking the picture, so the
# program is held still for both; should it be held between a game's block
# and its repaint (a few microseconds in ten milliseconds), the next hold
# looks again.
running_view_matches() {
  local try shot
  for try in 1 2 3; do
    kill -STOP "$E2E_PID"
    sleep 0.2
    "$KESTRUM_VIEW_PICTURE" "$ratio" "$E2E_WORK/expected.png" status "$E2E_STATUS_BLOCK"
    shot=$(view_shot "running-${ratio}x")
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

for ratio in 1 2 1.5; do
  carried=$(device 1234567)
  e2e_preset_store SPEED=10 ACCUMULATIONCNT="$carried"
  : >"$E2E_WORK/program.log"
  QT_SCALE_FACTOR=$ratio QT_LOGGING_RULES="kestrum.view.debug=true" e2e_start
  e2e_find_window
  if [ "$ratio" = 1.5 ]; then
    e2e_expect "at ratio 1.5 Qt paints the view" e2e_wait_for 5 logged "painted through Qt"
    e2e_expect "at ratio 1.5 nothing is uploaded" bash -c "! grep -q 'uploaded' '$E2E_WORK/program.log'"
  else
    e2e_expect "at ratio $ratio the view is drawn on the X server" \
      e2e_wait_for 5 logged "sheets uploaded to the X server at scale $ratio"
  fi

  # --- standing still: covered, then uncovered -------------------------------
  shot=$(view_shot "idle-${ratio}x")
  if [ "$ratio" = 1.5 ]; then
    # Smoothed, the picture is Qt's own; it must come back as it was.
    cp "$shot" "$E2E_WORK/start.png"
  else
    "$KESTRUM_VIEW_PICTURE" "$ratio" "$E2E_WORK/start.png" start "$carried"
    diff=$(differing "$shot" "$E2E_WORK/start.png")
    e2e_expect "at ratio $ratio the first picture is exact ($diff pixels differ)" test "$diff" = 0
  fi
  eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
  xdotool windowmove --sync "$cover" "$((X > 40 ? X - 40 : 0))" "$((Y > 40 ? Y - 40 : 0))"
  xdotool windowactivate --sync "$cover"
  sleep 0.5
  shot=$(view_shot "covered-${ratio}x")
  e2e_expect "at ratio $ratio the other window covers the view" \
    test "$(differing "$shot" "$E2E_WORK/start.png")" -gt 1000
  xdotool windowmove --sync "$cover" 0 "$away_y"
  sleep 0.5
  shot=$(view_shot "uncovered-${ratio}x")
  diff=$(differing "$shot" "$E2E_WORK/start.png")
  e2e_expect "at ratio $ratio the uncovered view is redrawn exactly ($diff pixels differ)" test "$diff" = 0

  # --- a run at full speed --------------------------------------------------------
  e2e_key F2
  e2e_expect "at ratio $ratio the run counts games" e2e_wait_for 5 count_above $((carried + 50))
  if [ "$ratio" = 1.5 ]; then
    shot=$(view_shot "running-${ratio}x")
    e2e_expect "at ratio 1.5 the running view moves on" test "$(differing "$shot" "$E2E_WORK/start.png")" -gt 0
  else
    e2e_expect "at ratio $ratio the running view shows exactly its game" running_view_matches
  fi

  e2e_close
  e2e_wait_exit 15
  e2e_expect "at ratio $ratio the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
  e2e_expect "at ratio $ratio no X error was reported" bash -c "! grep -qi 'xcb.*error' '$E2E_WORK/program.log'"
done
