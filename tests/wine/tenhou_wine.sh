# A heavenly hand under Wine: the calendar clock that seeds the shuffle is
# pinned to a second whose games bring one early (the engine's own shuffle
# replayed by the Windows build of tenhou_second). The run stops on it with
# the plain title; the log entry's bytes, the registry values and the status
# block read by a second Windows program are what the Linux program gives;
# the picture is the Linux view's. With the continue switch the next run
# carries on past the same hand and appends a second entry.
# Sourced by harness.sh.

: "${KESTRUM_TENHOU_SECOND:?}"
read -r second games names_hex _ < <(wine "$KESTRUM_TENHOU_SECOND" 1767322979 300 600 | tr -d '\r') ||
  w_fail "no start-up second gives a heavenly hand early"
when=$(TZ=UTC date -d "@$second" '+%Y/%m/%d %H:%M:%S')
hand=$(printf "$(sed 's/../\\x&/g' <<<"$names_hex")" | iconv -f SHIFT_JIS -t UTF-8)
w_log "second $second ($when UTC) deals $hand at game $games"

# expected_entry RUN TOTAL TENHO PERCENT SHORTEST LONGEST: Shift_JIS, CR LF.
expected_entry() {
  printf '%s\r\n' "===== 開始 $when =====" "* $hand" "+ $1" "[総局数] $2" "[天和回数] $3" \
    "[天和確率] $4" "[最短局数] $5" "[最長局数] $6" "----- 終了 $when -----" "" | iconv -f UTF-8 -t SHIFT_JIS
}

# The sound stays on: without an audio device the chime fails quietly.
w_preset SPEED=10 SOUND=1 INTERVAL=1
w_start_at "$second"
w_key F2
w_expect "the run stops on the heavenly hand" w_wait_for 120 bash -c "[ \"\$(xdotool getwindowname $W_WIN)\" = Kestrum ] && wine '$KESTRUM_PROBE' status | head -n1 | grep -q '^312a'"
sleep 1.5
w_expect "the title stays plain after the stop" test "$(w_title)" = Kestrum
w_expect "the status block holds the hand and its run" test "$(w_status_text)" = "1*$hand+$games"
percent=$(awk -v g="$games" 'BEGIN { printf "%.5g", 100 / g }')
w_expect "the log entry's bytes are the Linux program's" \
  cmp <(expected_entry "$games" "$games" 1 "$percent" "$games" "$games") "$W_CWD/tenholog.txt"
w_expect "the records were saved at the hand" test "$(w_stored RECORD TOTALCNT) $(w_stored RECORD TENHOCNT)" = "REG_SZ $games REG_SZ 1"
w_expect "the shortest and longest runs are the hand's" \
  test "$(w_stored RECORD MINTENHOCNT) $(w_stored RECORD MAXTENHOCNT)" = "REG_SZ $games REG_SZ $games"
w_expect "the accumulated count was cleared before that save" test "$(w_stored RECORD ACCUMULATIONCNT)" = "REG_SZ 0"
w_status_hex | xxd -r -p >"$W_WORK/status.bin"
w_same_picture tenhou status "$W_WORK/status.bin"
w_screenshot tenhou >/dev/null
w_close

# The same second again, now with the continue switch: the same games, the
# same hand, and the run goes on past it.
w_preset CONTINUE=1
w_start_at "$second"
w_key F2
w_expect "the run goes on past the second heavenly hand" \
  w_wait_for 120 bash -c "[ \$(grep -c '天和回数' <(iconv -f SHIFT_JIS -t UTF-8 '$W_CWD/tenholog.txt')) = 2 ]"
sleep 1
w_expect "the status block counts the new run from 1" bash -c "wine '$KESTRUM_PROBE' status | head -n1 | grep -q '^302a'"
seen_running=0
for _ in $(seq 1 25); do
  [ "$(w_title)" = 'Kestrum-[実行中]-' ] && seen_running=1 && break
  sleep 0.1
done
w_expect "the title goes on blinking" test "$seen_running" = 1
total=$((2 * games))
percent=$(awk -v g="$total" 'BEGIN { printf "%.5g", 200 / g }')
w_expect "the second entry follows the first" \
  cmp <(expected_entry "$games" "$games" 1 "$(awk -v g="$games" 'BEGIN { printf "%.5g", 100 / g }')" "$games" "$games";
        expected_entry "$games" "$total" 2 "$percent" "$games" "$games") "$W_CWD/tenholog.txt"
w_expect "the records count both hands" test "$(w_stored RECORD TENHOCNT)" = "REG_SZ 2"
w_close
