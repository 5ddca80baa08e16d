# Helpers of the heavenly-hand end-to-end tests, sourced by their scripts
# (which harness.sh sources in turn). The program seeds its shuffle with the
# start-up second, so a test finds a second whose seed deals a heavenly hand
# within a few hundred games (tests/e2e/TenhouSecond.cpp replays the
# program's shuffle with the engine's own functions) and starts the program
# with its calendar clock frozen at that second.

e2e_sources=$(cd "$(dirname "$script")/../.." && pwd)
faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
for need in "$faketime_library" "${KESTRUM_TENHOU_SECOND:-}" "${KESTRUM_VIEW_PICTURE:-}"; do
  if [ ! -r "$need" ]; then
    echo "SKIP: $need is missing (faketime: bash scripts/setup.sh test installs it)"
    exit 77
  fi
done

# At least three seconds of games at the fastest speed before the hand, so
# that a test can turn to another window first. The search starts at a
# second known to give such a hand; it goes on from there only if the
# engine's shuffle ever changes.
tenhou_find_second() {
  local found
  found=$("$KESTRUM_TENHOU_SECOND" 1767322979 300 600) || e2e_fail "no start-up second gives a heavenly hand early"
  read -r TENHOU_SECOND TENHOU_GAMES TENHOU_NAMES_HEX TENHOU_CODES <<<"$found"
  TENHOU_TIME=$(TZ=UTC date -d "@$TENHOU_SECOND" '+%Y/%m/%d %H:%M:%S')
  e2e_log "second $TENHOU_SECOND ($TENHOU_TIME UTC) deals a heavenly hand at game $TENHOU_GAMES"
}

# tenhou_start: starts the program with its calendar clock frozen at
# TENHOU_SECOND in UTC; its timers keep real time, and the clock library
# leaves no shared memory of its own behind. The chime's calls are written
# to the program's log.
tenhou_start() {
  # A sanitizer runtime wants to be the first library loaded; the clock
  # library must come before it to be of any use, which does no harm. The
  # option means nothing to a program built without sanitizers.
  local asan=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
  TZ=UTC LD_PRELOAD=$faketime_library FAKETIME="$(TZ=UTC date -d "@$TENHOU_SECOND" '+%Y-%m-%d %H:%M:%S')" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_DISABLE_SHM=1 ASAN_OPTIONS=$asan QT_LOGGING_RULES="kestrum.sound.debug=true" e2e_start
}

# tenhou_hand_names: the hand's tile names as UTF-8 text.
tenhou_hand_names() { printf "$(sed 's/../\\x&/g' <<<"$TENHOU_NAMES_HEX")" | iconv -f SHIFT_JIS -t UTF-8; }

# tenhou_expected_entry RUN TOTAL TENHO PERCENT SHORTEST LONGEST: the bytes
# of the log entry the program appends for the hand, run started and ended
# at TENHOU_TIME: Shift_JIS, CR LF.
tenhou_expected_entry() {
  printf '%s\r\n' "===== 開始 $TENHOU_TIME =====" "* $(tenhou_hand_names)" "+ $1" "[総局数] $2" "[天和回数] $3" \
    "[天和確率] $4" "[最短局数] $5" "[最長局数] $6" "----- 終了 $TENHOU_TIME -----" "" | iconv -f UTF-8 -t SHIFT_JIS
}

# tenhou_status: the status block's text when it shows the heavenly hand.
tenhou_status() { echo "1*$(tenhou_hand_names)+$TENHOU_GAMES"; }

tenhou_chimes() { grep -c 'kestrum.sound.*chime' "$E2E_WORK/program.log" || true; }

# tenhou_spy_state: records each change of the main window's _NET_WM_STATE
# as another X client sees it, with the time it arrived, in TENHOU_SPY.
tenhou_spy_state() {
  TENHOU_SPY=$E2E_WORK/state-spy.log
  local fifo=$E2E_WORK/state-spy.fifo
  mkfifo "$fifo"
  stdbuf -oL xprop -spy -id "$E2E_WIN" _NET_WM_STATE >"$fifo" &
  E2E_PIDS+=($!)
  while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done <"$fifo" >"$TENHOU_SPY" &
  E2E_PIDS+=($!)
}

# tenhou_attention_changes SINCE: "TIME on" or "TIME off" for every change
# of the window's attention request seen after SINCE.
tenhou_attention_changes() {
  awk -v since="$1" '$1 >= since {
      state = /_NET_WM_STATE_DEMANDS_ATTENTION/ ? "on" : "off"
      if (state != last) { print $1, state; last = state }
    }' "$TENHOU_SPY"
}

# tenhou_view_shot NAME: the view's 280 x 42 pixels out of a screenshot of
# the window (the view sits in a two-pixel edge at the frame's bottom).
tenhou_view_shot() {
  local window height
  window=$(e2e_screenshot "$1")
  height=$(identify -format '%h' "$window")
  convert "$window" -crop "280x42+2+$((height - 44))" +repage "$KESTRUM_ARTIFACTS/$1-view.png"
  echo "$KESTRUM_ARTIFACTS/$1-view.png"
}

# tenhou_sheet_hand: the hand's fourteen tiles cut from the tile sheet, side
# by side, as the view must show them.
tenhou_sheet_hand() {
  local code cuts=()
  for code in ${TENHOU_CODES//,/ }; do
    cuts+=("(" "$e2e_sources/res/tiles.png" -crop "20x28+$(((code - 1) % 9 * 20))+$(((code - 1) / 9 * 28))" +repage ")")
  done
  convert "${cuts[@]}" +append "$KESTRUM_ARTIFACTS/expected-hand.png"
  echo "$KESTRUM_ARTIFACTS/expected-hand.png"
}

# tenhou_pixels_differ A B: the number of pixels in which two pictures differ.
tenhou_pixels_differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }
